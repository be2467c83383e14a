# Thin wrapper over CMake: `make run` builds (Release) and starts the engine,
# `make test` builds and runs every test through CTest.
BUILD_DIR ?= build
ASAN_DIR ?= build-asan
JOBS ?= 2

.PHONY: all build run test sanitize bench clean fuzz memcheck

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

# libFuzzer targets (clang++, address + undefined sanitizers), each run for
# FUZZ_SECONDS on the committed seeds plus what earlier runs kept in
# $(FUZZ_DIR)/corpus; a finding is written to $(FUZZ_DIR)/findings and fails.
FUZZ_DIR ?= build-fuzz
FUZZ_SECONDS ?= 60
FUZZ_TARGETS ?= fen session

fuzz:
	cmake -S . -B $(FUZZ_DIR) -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DBREVOLA_FUZZ=ON -DBREVOLA_TESTS=OFF -DBREVOLA_BENCH=OFF
	cmake --build $(FUZZ_DIR) -j $(JOBS)
	@for t in $(FUZZ_TARGETS); do \
	  mkdir -p $(FUZZ_DIR)/corpus/$$t $(FUZZ_DIR)/findings || exit 1; \
	  echo "fuzzing $$t for $(FUZZ_SECONDS) s"; \
	  ./$(FUZZ_DIR)/tests/fuzz/$${t}_fuzz -max_total_time=$(FUZZ_SECONDS) -timeout=30 \
	    -print_final_stats=1 -artifact_prefix=$(CURDIR)/$(FUZZ_DIR)/findings/$$t- \
	    $(CURDIR)/$(FUZZ_DIR)/corpus/$$t $(CURDIR)/tests/fuzz/corpus/$$t || exit 1; \
	done

# valgrind memcheck of a short session (perft, typed moves, a Think, F) in a
# scratch directory: no invalid access, no lost block, and nothing in use at
# exit but the 512 MiB table block, which lives until the process ends.
MEMCHECK_INPUT = P\n3\ne2e4\nT\nF\nr3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1\ne1g1\nS\nX\ny\n

memcheck: build
	@dir=$$(mktemp -d) && cd $$dir && status=0; \
	printf '$(MEMCHECK_INPUT)' | valgrind --error-exitcode=1 --leak-check=full \
	  --show-leak-kinds=definite,indirect,possible --errors-for-leak-kinds=definite,indirect,possible \
	  --log-file=memcheck.txt $(CURDIR)/$(BUILD_DIR)/brevola > /dev/null || status=1; \
	grep -E "in use at exit|lost:|reachable:|ERROR SUMMARY" memcheck.txt; \
	grep -q "in use at exit: 536,870,912 bytes in 1 blocks" memcheck.txt || status=1; \
	cd / && rm -rf $$dir; exit $$status

# Whole perft and Think runs, then the micro-benchmarks (when Google Benchmark
# is installed); bench/compare.sh compares perft with Stockfish.
bench: build
	./$(BUILD_DIR)/bench/brevola_bench
	if [ -x $(BUILD_DIR)/bench/brevola_micro ]; then ./$(BUILD_DIR)/bench/brevola_micro; fi

clean:
	rm -rf $(BUILD_DIR) $(ASAN_DIR) $(FUZZ_DIR)
