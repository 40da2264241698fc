# Two commands for players and developers: `make run` and `make test`.
BUILD_DIR := build
SAN_DIR   := build-san
BENCH_DIR := build-bench
FUZZ_DIR  := build-fuzz
# Seconds each fuzz target runs in `make fuzz` and in `make test`.
FUZZ_SECONDS       ?= 300
FUZZ_SHORT_SECONDS ?= 10
JOBS      ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: run build test soak deps bench clean

run: build
	./$(BUILD_DIR)/kelvrin

build: deps
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKELVRIN_TESTS=OFF >/dev/null
	cmake --build $(BUILD_DIR) -j $(JOBS)

# Builds the game as `make run` does (that build must stay clean too), then
# everything with AddressSanitizer and UndefinedBehaviorSanitizer, and runs
# every test: rules, scenarios, the monkey test and the terminal tests; then
# every fuzz target for a few seconds.
test: build
	cmake -S . -B $(SAN_DIR) -DCMAKE_BUILD_TYPE=Debug -DKELVRIN_SANITIZE=ON >/dev/null
	cmake --build $(SAN_DIR) -j $(JOBS)
	cd $(SAN_DIR) && ctest --output-on-failure -j $(JOBS)
	$(MAKE) --no-print-directory fuzz-short

# The fuzz targets (fuzz/): built with clang, libFuzzer and sanitizers, run
# one after another, FUZZ_SECONDS each (`make fuzz FUZZ_SECONDS=3600`);
# `make fuzz-short` is the run of `make test`.
.PHONY: fuzz fuzz-short
FUZZ_CMAKE_FLAGS := -DCMAKE_CXX_COMPILER=clang++ -DKELVRIN_FUZZ=ON -DKELVRIN_TESTS=OFF \
	-DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g" \
	$(if $(shell command -v ccache),-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)

fuzz: deps
	cmake -S . -B $(FUZZ_DIR) $(FUZZ_CMAKE_FLAGS) >/dev/null
	cmake --build $(FUZZ_DIR) -j $(JOBS) --target fuzz_targets
	bash fuzz/run.sh $(FUZZ_DIR) $(FUZZ_SECONDS)

fuzz-short: deps
	cmake -S . -B $(FUZZ_DIR) $(FUZZ_CMAKE_FLAGS) >/dev/null
	cmake --build $(FUZZ_DIR) -j $(JOBS) --target fuzz_targets
	bash fuzz/run.sh $(FUZZ_DIR) $(FUZZ_SHORT_SECONDS)

# The monkey test at length: random keys through the whole game from many
# seeds, under the same sanitizers, with every invariant checked after each
# key; a quarter as many seeds again on a disk that fails now and then.
# The figures can be set from the command line or the environment:
#   make soak KELVRIN_MONKEY_SEEDS=20000 KELVRIN_MONKEY_KEYS=10000
KELVRIN_MONKEY_SEEDS      ?= 5000
KELVRIN_MONKEY_KEYS       ?= 5000
KELVRIN_MONKEY_FIRST_SEED ?= 1
soak: deps
	cmake -S . -B $(SAN_DIR) -DCMAKE_BUILD_TYPE=Debug -DKELVRIN_SANITIZE=ON >/dev/null
	cmake --build $(SAN_DIR) -j $(JOBS) --target kelvrin_monkey
	KELVRIN_MONKEY_SEEDS=$(KELVRIN_MONKEY_SEEDS) KELVRIN_MONKEY_KEYS=$(KELVRIN_MONKEY_KEYS) \
	KELVRIN_MONKEY_FIRST_SEED=$(KELVRIN_MONKEY_FIRST_SEED) \
	  ./$(SAN_DIR)/tests/kelvrin_monkey --gtest_filter='Monkey.RandomKeys*'

bench: deps
	cmake -S . -B $(BENCH_DIR) -DCMAKE_BUILD_TYPE=Release -DKELVRIN_TESTS=OFF -DKELVRIN_BENCH=ON >/dev/null
	cmake --build $(BENCH_DIR) -j $(JOBS)
	./$(BENCH_DIR)/bench/kelvrin_bench

deps:
	@bash scripts/install-deps.sh

clean:
	rm -rf $(BUILD_DIR) $(SAN_DIR) $(BENCH_DIR) $(FUZZ_DIR)
