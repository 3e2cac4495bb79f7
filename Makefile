# Lumigrove: card designer.
#   make run    installs what the application needs, builds it alone, starts it
#   make test   installs what is missing, builds, runs every test
#   make deps   installs the Debian packages the project and its tests need (sudo when not root)
#   make deps-run  only those the application needs to build and run
#   make bench  builds and runs the benchmarks
#   make test-repeat, make test-load   the suite again and again, alone or beside
#               CPU-burning processes (below)

BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo

.PHONY: all deps deps-run configure configure-run build run test bench format clean

all: build

deps:
	@tools/deps.sh test

deps-run:
	@tools/deps.sh run

configure: deps
	@cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS) > /dev/null

configure-run: deps-run
	@cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS) > /dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

# The application alone: only its packages are installed and no tests or benchmarks are
# built. The display is checked first, so nothing is installed or built in vain.
run:
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ] && [ -z "$$QT_QPA_PLATFORM" ]; then \
	  echo "make run: no display found (DISPLAY and WAYLAND_DISPLAY are unset)." >&2; \
	  echo "Run it inside a desktop session, or: xvfb-run make run" >&2; \
	  exit 1; \
	fi
	@$(MAKE) --no-print-directory configure-run
	@cmake --build $(BUILD) -j $(JOBS) --target lumigrove
	@$(BUILD)/src/app/lumigrove

test: build
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# The built suite again and again, to see a test that depends on the machine's speed or
# load before it lands: REPEAT runs at full width, then REPEAT runs on two cores (taskset).
# test-load does the same with CPU-burning processes beside each run: BURNERS of them on
# any core beside the full-width runs, TWO_CORE_BURNERS pinned to the same two cores
# beside the two-core runs (LOAD_RUNS=wide or two for one kind only). The burners end with
# the runs, however they end. Each run's result and wall time are summed up at the end.
REPEAT ?= 5
BURNERS ?= 12
TWO_CORE_BURNERS ?= 2
LOAD_RUNS ?= both
.PHONY: test-repeat test-load
test-repeat: build
	@tools/test_repeat.sh $(BUILD) $(REPEAT) $(JOBS) 0 0 both

test-load: build
	@tools/test_repeat.sh $(BUILD) $(REPEAT) $(JOBS) $(BURNERS) $(TWO_CORE_BURNERS) $(LOAD_RUNS)

bench: build
	@for b in $(BUILD)/bench/bench_*; do [ -x "$$b" ] && "$$b"; done; true

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	@rm -rf $(BUILD)

# The threaded tests under ThreadSanitizer, built with clang in a folder of their own
# (build-tsan); a report fails its test. Qt and HarfBuzz are not instrumented: their own
# allocations are left out (tools/tsan.supp), and the hand-overs our code makes through
# Qt's queues, pools and semaphores are told to the sanitizer where they are made
# (src/platform/Thread_Handover.h).
TSAN_BUILD ?= build-tsan
THREAD_TESTS ?= PlatformThreads|PlatformSeam|SharedDesignState|Graphic_Creation_Thread|Renderer\.|Adjustments|Signature|Graphic_Layer
.PHONY: check-thread
check-thread:
	@tools/deps.sh thread
	@CC=clang CXX=clang++ cmake -S . -B $(TSAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DCMAKE_C_FLAGS="-fsanitize=thread -fno-omit-frame-pointer" \
	  -DCMAKE_CXX_FLAGS="-fsanitize=thread -fno-omit-frame-pointer" \
	  -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=thread" > /dev/null
	@cmake --build $(TSAN_BUILD) -j $(JOBS) --target test_platform test_model test_canvas
	@cd $(TSAN_BUILD) && TSAN_OPTIONS="halt_on_error=1 exitcode=66 second_deadlock_stack=1 suppressions=$(CURDIR)/tools/tsan.supp" \
	  ctest --output-on-failure -j $(JOBS) -R '$(THREAD_TESTS)'

# ---- Fuzzing and sanitizers (Debian clang; neither is part of make test or CI) ----------
#   make fuzz [FUZZ_TIME=60] [FUZZ_TARGETS="zip ods"]
#       builds the libFuzzer targets of fuzz/ (ASan and UBSan) and runs each for FUZZ_TIME
#       seconds on a corpus seeded from our own writers; crashes are kept in fuzz-crashes/.
#   make check-sanitize
#       builds the whole test suite with ASan and UBSan and runs it.
FUZZ_BUILD ?= build-fuzz
SANITIZE_BUILD ?= build-sanitize
FUZZ_TIME ?= 60
FUZZ_TARGETS ?= property_list pasteboard zip workbook ods xml2003 rtf import_text design_file
SANITIZE_FLAGS = -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer

.PHONY: deps-check fuzz check-sanitize

deps-check:
	@tools/deps.sh check

fuzz: deps-check
	@CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DLUMIGROVE_FUZZ=ON > /dev/null
	@cmake --build $(FUZZ_BUILD) -j $(JOBS) --target $(addprefix fuzz_,$(FUZZ_TARGETS))
	@mkdir -p fuzz-crashes
	@status=0; for t in $(FUZZ_TARGETS); do \
	  corpus=$(FUZZ_BUILD)/corpus/$$t; mkdir -p $$corpus; \
	  LUMIGROVE_FUZZ_SEEDS=$$corpus $(FUZZ_BUILD)/fuzz/fuzz_$$t || exit 1; \
	  echo "== fuzz_$$t for $(FUZZ_TIME) s"; \
	  $(FUZZ_BUILD)/fuzz/fuzz_$$t -max_total_time=$(FUZZ_TIME) -timeout=20 -rss_limit_mb=2048 \
	    -print_final_stats=1 -artifact_prefix=$(CURDIR)/fuzz-crashes/$$t- $$corpus || status=1; \
	done; exit $$status

check-sanitize: deps deps-check
	@CC=clang CXX=clang++ cmake -S . -B $(SANITIZE_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DCMAKE_CXX_FLAGS="$(SANITIZE_FLAGS)" -DCMAKE_EXE_LINKER_FLAGS="$(SANITIZE_FLAGS)" \
	  -DCMAKE_SHARED_LINKER_FLAGS="$(SANITIZE_FLAGS)" > /dev/null
	@cmake --build $(SANITIZE_BUILD) -j $(JOBS)
	@cd $(SANITIZE_BUILD) && ASAN_OPTIONS=detect_leaks=0:$$ASAN_OPTIONS \
	  UBSAN_OPTIONS=print_stacktrace=1:$$UBSAN_OPTIONS ctest --output-on-failure -j $(JOBS)
