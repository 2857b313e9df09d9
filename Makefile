# Velmora: `make run` builds and starts the program, `make test` builds the tests
# with AddressSanitizer and UndefinedBehaviorSanitizer and runs them all,
# `make bench` runs the benchmarks. Each installs what is missing first.

JOBS ?= $(shell nproc)
RELEASE_DIR := build/release
TEST_DIR := build/test
GENERATOR := -G Ninja

.PHONY: all deps run build test test-build bench fuzz naming clean

all: build

deps:
	@bash scripts/install-deps

$(RELEASE_DIR)/build.ninja:
	cmake -S . -B $(RELEASE_DIR) $(GENERATOR) -DCMAKE_BUILD_TYPE=Release

build: deps $(RELEASE_DIR)/build.ninja
	cmake --build $(RELEASE_DIR) -j $(JOBS) --target velmora

run: build
	$(RELEASE_DIR)/bin/velmora

# Line tables only (-g1): sanitizer reports still name file and line, and the build is
# a quarter quicker and half the size on disk.
$(TEST_DIR)/build.ninja:
	cmake -S . -B $(TEST_DIR) $(GENERATOR) -DCMAKE_BUILD_TYPE=Debug \
	  -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g1" -DVELMORA_SANITIZE=ON -DVELMORA_TESTS=ON \
	  -DVELMORA_WERROR=ON

test-build: deps $(TEST_DIR)/build.ninja
	cmake --build $(TEST_DIR) -j $(JOBS)

# The suite runs as most of the program's users run it: in a German locale (decimal
# commas, German error texts) and their time zone; install-deps provides the locale.
TEST_LOCALE := LANG=de_DE.UTF-8 LC_ALL=de_DE.UTF-8 TZ=Europe/Berlin

# Each test program runs whole, in one process; `ctest -L case -R <name>` in $(TEST_DIR)
# runs cases one by one.

test: test-build
	mkdir -p $(TEST_DIR)/runtime $(TEST_DIR)/tmp && chmod 700 $(TEST_DIR)/runtime && cd $(TEST_DIR) && $(TEST_LOCALE) QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=$(CURDIR)/$(TEST_DIR)/runtime \
	  TMPDIR=$(CURDIR)/$(TEST_DIR)/tmp \
	  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest -j $(JOBS) --output-on-failure --timeout 300 --label-exclude case

bench: deps
	cmake -S . -B build/bench $(GENERATOR) -DCMAKE_BUILD_TYPE=Release -DVELMORA_BENCH=ON
	cmake --build build/bench -j $(JOBS)
	@for b in build/bench/bench/*_bench; do [ -x "$$b" ] && QT_QPA_PLATFORM=offscreen "$$b"; done; true

# Each fuzzer runs FUZZ_SECONDS from its saved corpus (the tests replay that corpus on
# every run); new inputs go to the build copy only. A crash or any sanitizer report
# (undefined behaviour is fatal too) stops make with the input, and so does an input
# that runs longer than FUZZ_TIMEOUT seconds: a file of a few KB that takes seconds is
# a fault as much as one that crashes.
FUZZ_DIR := build/fuzz
FUZZ_SECONDS ?= 60
FUZZ_TIMEOUT ?= 10
# libFuzzer counts every feature seen fewer than 255 times as rare, and looks each
# feature of each run up in that list: with the tens of thousands of features of the
# editor and document fuzzers, at a few dozen runs a second, that search took most of
# their time. A low bar keeps the rarest-first schedule and makes the list short soon.
FUZZ_FLAGS ?= -entropic_feature_frequency_threshold=8
# fuzzer:saved corpus (folders under tests/data, joined by '+')
FUZZERS := aprs_line_fuzz:aprs/fuzz/lines kiss_fuzz:aprs/fuzz/kiss \
  server_list_fuzz:aprs/fuzz/servers \
  nmea_fuzz:devices/fuzz/nmea wx200_fuzz:devices/fuzz/wx200 \
  wmr918_fuzz:devices/fuzz/wmr918 ws2300_fuzz:devices/fuzz/ws2300 \
  settings_file_fuzz:platform/fuzz/settings jpeg_map_fuzz:jpeg \
  metafile_fuzz:platform/fuzz/metafile \
  receive_path_fuzz:app/fuzz/receive station_file_fuzz:app/fuzz/stations \
  packet_log_fuzz:app/fuzz/log language_file_fuzz:app/fuzz/speak calibration_fuzz:app/fuzz/calibration \
  drop_data_fuzz:lists/fuzz/drop \
  gif_reader_fuzz:gif/malformed rdf_reader_fuzz:richtext/fuzz+richtext/malformed rtf_reader_fuzz:rtf/malformed+rtf \
  table_rdf_fuzz:richtext_edit/tables/fuzz rtf_import_fuzz:richtext_edit/rtf_import/fuzz \
  pasted_data_fuzz:richtext_edit/edit/fuzz/paste editing_fuzz:richtext_edit/edit/fuzz/editing \
  ports_file_fuzz:platform/fuzz/ports wave_file_fuzz:platform/fuzz/wave html_markup_fuzz:html/fuzz/markup \
  bmp_pictures_fuzz:app/fuzz/bmp language_lines_fuzz:app/fuzz/speak_lines \
  settings_applied_fuzz:app/fuzz/settings wx_text_fuzz:app/fuzz/wx_text \
  tnc_commands_fuzz:app/fuzz/tnc_commands rtf_document_fuzz:richtext_edit/rtf_document/fuzz \
  round_trip_fuzz:richtext_edit/round_trip/fuzz
fuzz:
	@bash scripts/install-deps --fuzz
	cmake -S . -B $(FUZZ_DIR) $(GENERATOR) -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++ \
	  -DCMAKE_CXX_FLAGS="-O1 -g -fbracket-depth=1024 -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all" -DVELMORA_FUZZ=ON
	cmake --build $(FUZZ_DIR) -j $(JOBS) --target $(foreach f,$(FUZZERS),$(word 1,$(subst :, ,$(f))))
	@set -e; for entry in $(FUZZERS); do \
	  name=$${entry%%:*}; seeds=tests/data/$$(echo $${entry#*:} | sed 's| *+ *| tests/data/|g'); \
	  mkdir -p $(FUZZ_DIR)/corpus/$$name; \
	  echo "fuzz: $$name from $$seeds"; \
	  QT_QPA_PLATFORM=offscreen LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp \
	    $(FUZZ_DIR)/fuzz/$$name -max_total_time=$(FUZZ_SECONDS) -timeout=$(FUZZ_TIMEOUT) \
	    -rss_limit_mb=4096 $(FUZZ_FLAGS) \
	    -artifact_prefix=$(FUZZ_DIR)/$$name- $(FUZZ_DIR)/corpus/$$name $$seeds; \
	done

# The member naming rule of CONTRIBUTING.md, checked by clang-tidy over every source of
# src/ with the test build's compile commands (several minutes). make test checks every
# header in seconds (tests/naming_check.py); this also covers classes inside .cpp files.
# A file clang-tidy cannot parse is a failure too, not a file silently passed over (the
# keyword table's fold is deeper than clang's default bracket depth). The compiler's own
# warnings are not this check's business, and the test build makes them errors.
naming: deps $(TEST_DIR)/build.ninja
	run-clang-tidy -quiet -p $(TEST_DIR) -j $(JOBS) -extra-arg=-fbracket-depth=1024 \
	  -extra-arg=-Wno-error \
	  '$(CURDIR)/src/' > $(TEST_DIR)/naming.txt 2>&1; \
	  if grep -E 'readability-identifier-naming|error:' $(TEST_DIR)/naming.txt | sort -u | grep .; then exit 1; fi

clean:
	rm -rf build
