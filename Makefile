# Velmora: `make run` builds and starts the program, `make test` builds the tests
# with AddressSanitizer and UndefinedBehaviorSanitizer and runs them all,
# `make bench` runs the benchmarks. Each installs what is missing first.

JOBS ?= $(shell nproc)
RELEASE_DIR := build/release
TEST_DIR := build/test
GENERATOR := -G Ninja

.PHONY: all deps run build test test-build bench fuzz clean

all: build

deps:
	@bash scripts/install-deps

$(RELEASE_DIR)/build.ninja:
	cmake -S . -B $(RELEASE_DIR) $(GENERATOR) -DCMAKE_BUILD_TYPE=Release

build: deps $(RELEASE_DIR)/build.ninja
	cmake --build $(RELEASE_DIR) -j $(JOBS) --target velmora

run: build
	$(RELEASE_DIR)/bin/velmora

$(TEST_DIR)/build.ninja:
	cmake -S . -B $(TEST_DIR) $(GENERATOR) -DCMAKE_BUILD_TYPE=Debug \
	  -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g" -DVELMORA_SANITIZE=ON -DVELMORA_TESTS=ON

test-build: deps $(TEST_DIR)/build.ninja
	cmake --build $(TEST_DIR) -j $(JOBS)

test: test-build
	mkdir -p $(TEST_DIR)/runtime && chmod 700 $(TEST_DIR)/runtime && cd $(TEST_DIR) && QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=$(CURDIR)/$(TEST_DIR)/runtime \
	  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest -j $(JOBS) --output-on-failure --timeout 300

bench: deps
	cmake -S . -B build/bench $(GENERATOR) -DCMAKE_BUILD_TYPE=Release -DVELMORA_BENCH=ON
	cmake --build build/bench -j $(JOBS)
	@for b in build/bench/bench/*_bench; do [ -x "$$b" ] && QT_QPA_PLATFORM=offscreen "$$b"; done; true

# Each fuzzer runs a minute from the saved corpus; new inputs go to the build copy only.
FUZZ_DIR := build/fuzz
fuzz:
	@bash scripts/install-deps --fuzz
	cmake -S . -B $(FUZZ_DIR) $(GENERATOR) -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++ \
	  -DCMAKE_CXX_FLAGS="-O1 -g -fbracket-depth=1024 -fsanitize=fuzzer-no-link,address,undefined" -DVELMORA_FUZZ=ON
	cmake --build $(FUZZ_DIR) -j $(JOBS) --target aprs_line_fuzz kiss_fuzz gif_reader_fuzz rdf_record_fuzz rtf_reader_fuzz
	mkdir -p $(FUZZ_DIR)/corpus && cp -r tests/data/aprs/fuzz/lines tests/data/aprs/fuzz/kiss $(FUZZ_DIR)/corpus/
	$(FUZZ_DIR)/fuzz/aprs_line_fuzz -max_total_time=60 $(FUZZ_DIR)/corpus/lines tests/data/aprs/fuzz/lines
	$(FUZZ_DIR)/fuzz/kiss_fuzz -max_total_time=60 $(FUZZ_DIR)/corpus/kiss tests/data/aprs/fuzz/kiss
	mkdir -p $(FUZZ_DIR)/corpus/gif
	$(FUZZ_DIR)/fuzz/gif_reader_fuzz -max_total_time=60 -rss_limit_mb=4096 $(FUZZ_DIR)/corpus/gif tests/data/gif/malformed
	mkdir -p $(FUZZ_DIR)/corpus/rdf && cp -r tests/data/richtext/fuzz/. $(FUZZ_DIR)/corpus/rdf/
	$(FUZZ_DIR)/fuzz/rdf_record_fuzz -max_total_time=60 $(FUZZ_DIR)/corpus/rdf tests/data/richtext/malformed
	mkdir -p $(FUZZ_DIR)/corpus/rtf && cp tests/data/rtf/*.rtf $(FUZZ_DIR)/corpus/rtf/
	$(FUZZ_DIR)/fuzz/rtf_reader_fuzz -max_total_time=60 $(FUZZ_DIR)/corpus/rtf tests/data/rtf/malformed

clean:
	rm -rf build
