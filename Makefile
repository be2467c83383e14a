# Thin wrapper over CMake: `make run` builds (Release) and starts the engine,
# `make test` builds and runs every test through CTest.
BUILD_DIR ?= build
ASAN_DIR ?= build-asan
JOBS ?= 2

.PHONY: all build run test sanitize bench clean

all: build

build:
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=Release
	cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	./$(BUILD_DIR)/brevola

test: build
	cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS)

# The same tests in an address + undefined-behaviour sanitizer build.
sanitize:
	cmake -S . -B $(ASAN_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBREVOLA_SANITIZE=ON -DBREVOLA_BENCH=OFF
	cmake --build $(ASAN_DIR) -j $(JOBS)
	cd $(ASAN_DIR) && ctest --output-on-failure -j $(JOBS)

# Whole perft and Think runs, then the micro-benchmarks (when Google Benchmark
# is installed); bench/compare.sh compares perft with Stockfish.
bench: build
	./$(BUILD_DIR)/bench/brevola_bench
	if [ -x $(BUILD_DIR)/bench/brevola_micro ]; then ./$(BUILD_DIR)/bench/brevola_micro; fi

clean:
	rm -rf $(BUILD_DIR) $(ASAN_DIR)
