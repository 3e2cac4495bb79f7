# Lumigrove: card designer.
#   make run    installs what the application needs, builds it alone, starts it
#   make test   installs what is missing, builds, runs every test
#   make deps   installs the Debian packages the project and its tests need (sudo when not root)
#   make deps-run  only those the application needs to build and run
#   make bench  builds and runs the benchmarks

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

bench: build
	@for b in $(BUILD)/bench/bench_*; do [ -x "$$b" ] && "$$b"; done; true

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	@rm -rf $(BUILD)

# The threaded tests under ThreadSanitizer, built with clang in a folder of their own
# (build-tsan); a report fails its test. Qt and HarfBuzz are not instrumented: their own
# allocations are left out (tools/tsan.supp). The band painting tests (Graphic_Layer) are
# not run: their work reaches the pool threads through QThreadPool::start, a hand-over the
# sanitizer cannot see, so it reports the task's own storage.
TSAN_BUILD ?= build-tsan
THREAD_TESTS ?= PlatformThreads|PlatformSeam|SharedDesignState|Graphic_Creation_Thread|Renderer\.|Adjustments|Signature
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
