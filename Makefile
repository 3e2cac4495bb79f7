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
