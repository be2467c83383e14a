# Thin wrapper over CMake: `make run` builds (Release) and starts the engine,
# `make test` builds and runs every test through CTest.
BUILD_DIR ?= build
ASAN_DIR ?= build-asan
JOBS ?= 2

.PHONY: all build run test sanitize bench clean fuzz

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

bench: build
	./$(BUILD_DIR)/bench/brevola_bench

clean:
	rm -rf $(BUILD_DIR) $(ASAN_DIR) $(FUZZ_DIR)
