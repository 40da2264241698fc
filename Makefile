# Two commands for players and developers: `make run` and `make test`.
# build: `make run`'s game, as any user builds it; build-release: g++,
# Release, warnings as errors, and the packages; build-clang: the same with
# clang++; build-san: the tests, with ASan and UBSan; build-windows:
# kelvrin.exe and its tests, cross-compiled with mingw-w64; build-web: the
# game in a web page (WebAssembly, Emscripten) and its tests.
BUILD_DIR   := build
RELEASE_DIR := build-release
CLANG_DIR   := build-clang
SAN_DIR     := build-san
BENCH_DIR   := build-bench
FUZZ_DIR    := build-fuzz
WINDOWS_DIR := build-windows
WEB_DIR     := build-web
# `make web-serve`'s port on 127.0.0.1.
PORT        ?= 8080
# Seconds each fuzz target runs in `make fuzz` and in `make test`.
FUZZ_SECONDS       ?= 300
FUZZ_SHORT_SECONDS ?= 10
JOBS      ?= $(shell nproc 2>/dev/null || echo 2)
CCACHE    := $(if $(shell command -v ccache),-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
# The project's own trees treat every warning as an error; `make run` builds
# as a user would, without.
CHECKED   := -DKELVRIN_WERROR=ON $(CCACHE)

.PHONY: run build test package soak deps game-deps web-deps bench clean windows windows-test web web-serve web-test

run: build
	./$(BUILD_DIR)/kelvrin

build: game-deps
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	cmake --build $(BUILD_DIR) -j $(JOBS)

# The plain Release build with g++ and with clang++ (a new warning stops
# here, never at a user's), then everything with AddressSanitizer and
# UndefinedBehaviorSanitizer and every test: rules, scenarios, the monkey
# test and the terminal tests; then the .deb from the Release tree, unpacked
# and started; then the Windows build and its tests under wine; then the web
# build and its tests (under Node, and the page in headless Chromium); then
# every fuzz target for a few seconds.
test: deps
	cmake -S . -B $(RELEASE_DIR) -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_COMPILER=g++ $(CHECKED) >/dev/null
	cmake --build $(RELEASE_DIR) -j $(JOBS)
	cmake -S . -B $(CLANG_DIR) -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_COMPILER=clang++ $(CHECKED) >/dev/null
	cmake --build $(CLANG_DIR) -j $(JOBS)
	cmake -S . -B $(SAN_DIR) -DCMAKE_BUILD_TYPE=Debug -DKELVRIN_SANITIZE=ON -DKELVRIN_TESTS=ON $(CHECKED) >/dev/null
	cmake --build $(SAN_DIR) -j $(JOBS)
	cd $(SAN_DIR) && ctest --output-on-failure -j $(JOBS)
	bash tests/package/test_package.sh $(RELEASE_DIR)
	$(MAKE) --no-print-directory windows-test
	$(MAKE) --no-print-directory web-test
	$(MAKE) --no-print-directory fuzz-short

# The .deb and the .tar.gz of the Release build, in $(RELEASE_DIR), and
# the Windows zip and the web page's zip in dist/.
package: deps
	cmake -S . -B $(RELEASE_DIR) -DCMAKE_BUILD_TYPE=Release >/dev/null
	cmake --build $(RELEASE_DIR) -j $(JOBS)
	cd $(RELEASE_DIR) && cpack
	$(MAKE) --no-print-directory windows
	$(MAKE) --no-print-directory web
	rm -rf $(WEB_DIR)/kelvrin-web && cp -r $(WEB_DIR)/site $(WEB_DIR)/kelvrin-web
	mkdir -p dist && rm -f dist/kelvrin-web.zip
	cd $(WEB_DIR) && cmake -E tar cf ../dist/kelvrin-web.zip --format=zip kelvrin-web

# The game in a web page: $(WEB_DIR)/site, one static folder (the page,
# kelvrin.js and kelvrin.wasm, the terminal). Emscripten's optimiser needs
# Debian's own Node modules when the node on PATH is another one.
WEB_ENV := NODE_PATH=/usr/share/nodejs
web: web-deps
	$(WEB_ENV) emcmake cmake -S . -B $(WEB_DIR) -DCMAKE_BUILD_TYPE=Release $(CHECKED) >/dev/null
	$(WEB_ENV) cmake --build $(WEB_DIR) -j $(JOBS) --target kelvrin web_site

# The site on http://127.0.0.1:$(PORT)/ until Ctrl-C.
web-serve: web
	node scripts/serve_web.mjs $(WEB_DIR)/site $(PORT)

# The web build's tests: the rules, scenario and monkey tests under Node
# (a 32-bit build), the game on pipes beside the Linux Release game, and the
# page in headless Chromium.
web-test: deps
	cmake -S . -B $(RELEASE_DIR) -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_COMPILER=g++ $(CHECKED) >/dev/null
	cmake --build $(RELEASE_DIR) -j $(JOBS) --target kelvrin
	$(WEB_ENV) emcmake cmake -S . -B $(WEB_DIR) -DCMAKE_BUILD_TYPE=Release -DKELVRIN_TESTS=ON $(CHECKED) \
	  -DKELVRIN_LINUX_GAME=$(abspath $(RELEASE_DIR))/kelvrin >/dev/null
	$(WEB_ENV) cmake --build $(WEB_DIR) -j $(JOBS)
	cd $(WEB_DIR) && ctest --output-on-failure -j $(JOBS)

# kelvrin.exe for 64-bit Windows (one file, no DLL beside it), the Windows
# builds of the rules, scenario and monkey tests, and dist/kelvrin-win64.zip
# (the game and the README).
WINDOWS_CMAKE_FLAGS := -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
	-DCMAKE_BUILD_TYPE=Release -DKELVRIN_TESTS=ON $(CHECKED) \
	-DKELVRIN_LINUX_GAME=$(abspath $(RELEASE_DIR))/kelvrin
windows: deps
	cmake -S . -B $(WINDOWS_DIR) $(WINDOWS_CMAKE_FLAGS) >/dev/null
	cmake --build $(WINDOWS_DIR) -j $(JOBS)
	cd $(WINDOWS_DIR) && cpack

# The Windows tests under wine: each test binary once, kelvrin.exe in a
# console under tmux, and kelvrin.exe on pipes beside the Linux Release game
# (built here when `make test` has not built it already).
windows-test: windows
	cmake -S . -B $(RELEASE_DIR) -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_COMPILER=g++ $(CHECKED) >/dev/null
	cmake --build $(RELEASE_DIR) -j $(JOBS) --target kelvrin
	cd $(WINDOWS_DIR) && ctest --output-on-failure -j $(JOBS)

# The fuzz targets (fuzz/): built with clang, libFuzzer and sanitizers, run
# one after another, FUZZ_SECONDS each (`make fuzz FUZZ_SECONDS=3600`);
# `make fuzz-short` is the run of `make test`.
.PHONY: fuzz fuzz-short
FUZZ_CMAKE_FLAGS := -DCMAKE_CXX_COMPILER=clang++ -DKELVRIN_FUZZ=ON \
	-DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g" $(CHECKED)

fuzz: deps
	cmake -S . -B $(FUZZ_DIR) $(FUZZ_CMAKE_FLAGS) >/dev/null
	cmake --build $(FUZZ_DIR) -j $(JOBS) --target fuzz_targets
	bash fuzz/run.sh $(FUZZ_DIR) $(FUZZ_SECONDS)

fuzz-short: deps
	cmake -S . -B $(FUZZ_DIR) $(FUZZ_CMAKE_FLAGS) >/dev/null
	cmake --build $(FUZZ_DIR) -j $(JOBS) --target fuzz_targets
	bash fuzz/run.sh $(FUZZ_DIR) $(FUZZ_SHORT_SECONDS)

# The recordings of tests/recordings/ brought up to date after a screen was
# meant to change: each game played again from its keys by the sanitizer
# build's game and recorded anew, its screens (NAME.out) and files
# (NAME.files) written again; a game whose last screen lacks its
# NAME.expect line is refused and keeps what it had. Read the change in
# `git diff`.
.PHONY: update-recordings
update-recordings: deps
	cmake -S . -B $(SAN_DIR) -DCMAKE_BUILD_TYPE=Debug -DKELVRIN_SANITIZE=ON -DKELVRIN_TESTS=ON $(CHECKED) >/dev/null
	cmake --build $(SAN_DIR) -j $(JOBS) --target kelvrin kelvrin_game_files kelvrin_pty_keys
	KELVRIN_GAME_FILES=$(SAN_DIR)/tests/kelvrin_game_files KELVRIN_PTY_KEYS=$(SAN_DIR)/tests/kelvrin_pty_keys bash tests/recordings/run.sh --update $(SAN_DIR)/kelvrin

# The monkey test at length: random keys through the whole game from many
# seeds, under the same sanitizers, with every invariant checked after each
# key; a quarter as many seeds again on a disk that fails now and then.
# The figures can be set from the command line or the environment:
#   make soak KELVRIN_MONKEY_SEEDS=20000 KELVRIN_MONKEY_KEYS=10000
KELVRIN_MONKEY_SEEDS      ?= 5000
KELVRIN_MONKEY_KEYS       ?= 5000
KELVRIN_MONKEY_FIRST_SEED ?= 1
soak: deps
	cmake -S . -B $(SAN_DIR) -DCMAKE_BUILD_TYPE=Debug -DKELVRIN_SANITIZE=ON -DKELVRIN_TESTS=ON $(CHECKED) >/dev/null
	cmake --build $(SAN_DIR) -j $(JOBS) --target kelvrin_monkey
	KELVRIN_MONKEY_SEEDS=$(KELVRIN_MONKEY_SEEDS) KELVRIN_MONKEY_KEYS=$(KELVRIN_MONKEY_KEYS) \
	KELVRIN_MONKEY_FIRST_SEED=$(KELVRIN_MONKEY_FIRST_SEED) \
	  ./$(SAN_DIR)/tests/kelvrin_monkey --gtest_filter='Monkey.RandomKeys*:Monkey.RageFight*'

# The benchmarks (a level built, keys through a scripted session), then the
# real game measured in a terminal (start-up, writes and bytes per key, CPU).
bench: deps
	cmake -S . -B $(BENCH_DIR) -DCMAKE_BUILD_TYPE=Release -DKELVRIN_BENCH=ON >/dev/null
	cmake --build $(BENCH_DIR) -j $(JOBS)
	./$(BENCH_DIR)/bench/kelvrin_bench
	bash bench/terminal_measure.sh $(BENCH_DIR)/kelvrin

# What `make run` needs (a compiler, CMake) and what everything else needs.
game-deps:
	@bash scripts/install-deps.sh game
web-deps:
	@bash scripts/install-deps.sh web
deps:
	@bash scripts/install-deps.sh test

clean:
	rm -rf $(BUILD_DIR) $(RELEASE_DIR) $(CLANG_DIR) $(SAN_DIR) $(BENCH_DIR) $(FUZZ_DIR) $(WINDOWS_DIR) $(WEB_DIR) dist
