# Two commands for players and developers: `make run` and `make test`.
BUILD_DIR := build
SAN_DIR   := build-san
BENCH_DIR := build-bench
JOBS      ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: run build test deps bench clean

run: build
	./$(BUILD_DIR)/kelvrin

build: deps
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKELVRIN_TESTS=OFF >/dev/null
	cmake --build $(BUILD_DIR) -j $(JOBS)

# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer and
# runs every test: rules, scenarios, the monkey test and the terminal tests.
test: deps
	cmake -S . -B $(SAN_DIR) -DCMAKE_BUILD_TYPE=Debug -DKELVRIN_SANITIZE=ON >/dev/null
	cmake --build $(SAN_DIR) -j $(JOBS)
	cd $(SAN_DIR) && ctest --output-on-failure -j $(JOBS)

bench: deps
	cmake -S . -B $(BENCH_DIR) -DCMAKE_BUILD_TYPE=Release -DKELVRIN_TESTS=OFF -DKELVRIN_BENCH=ON >/dev/null
	cmake --build $(BENCH_DIR) -j $(JOBS)
	./$(BENCH_DIR)/bench/kelvrin_bench

deps:
	@bash scripts/install-deps.sh

clean:
	rm -rf $(BUILD_DIR) $(SAN_DIR) $(BENCH_DIR)
