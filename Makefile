# Thin driver over CMake + Ninja. Every target configures what it needs.
BUILD          ?= build
SANITIZE_BUILD ?= build-sanitize
CMAKE_FLAGS    ?=
# Our own builds hold every warning for an error.
OWN_FLAGS      := -DFLIPDECK_WERROR=ON
JOBS           ?=
FUZZ_SECONDS   ?= 60

.PHONY: all deps-build deps-test deps-sanitize build test test-sanitize demo bench fuzz windows test-windows clean

all: build

# Debian packages that are missing are installed first, from the one list in
# tools/deps.sh.
deps-build:
	tools/deps.sh build
deps-test:
	tools/deps.sh build test
	$(MAKE) -s --no-print-directory $(LINT_MODULES) $(BROWSER_MODULES)

# ESLint, for the lint of the preview page's script, comes from npm into
# tools/lint, and playwright-core, which drives Chromium in the page's tests
# and the watch benchmark, into tools/browser; each is installed again when
# its lock changes.
LINT_MODULES := tools/lint/node_modules/.package-lock.json
$(LINT_MODULES): tools/lint/package.json tools/lint/package-lock.json
	cd tools/lint && npm ci --no-audit --no-fund
BROWSER_MODULES := tools/browser/node_modules/.package-lock.json
$(BROWSER_MODULES): tools/browser/package.json tools/browser/package-lock.json
	cd tools/browser && npm ci --no-audit --no-fund

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release $(OWN_FLAGS) $(CMAKE_FLAGS)

build: deps-build $(BUILD)/build.ninja
	cmake --build $(BUILD) $(if $(JOBS),-j $(JOBS))

# A build configured before the test packages came is configured again, so
# that it finds them.
test: deps-test $(BUILD)/build.ninja
	cmake $(BUILD)
	cmake --build $(BUILD) $(if $(JOBS),-j $(JOBS))
	ctest --test-dir $(BUILD) --output-on-failure $(if $(JOBS),-j $(JOBS),-j 2)

$(SANITIZE_BUILD)/build.ninja:
	CC=clang CXX=clang++ cmake -S . -B $(SANITIZE_BUILD) -G Ninja \
	  -DCMAKE_BUILD_TYPE=Debug -DFLIPDECK_SANITIZE=ON -DFLIPDECK_BUILD_BENCH=OFF $(OWN_FLAGS) $(CMAKE_FLAGS)

deps-sanitize:
	tools/deps.sh build test sanitize

test-sanitize: deps-sanitize $(SANITIZE_BUILD)/build.ninja
	cmake --build $(SANITIZE_BUILD) $(if $(JOBS),-j $(JOBS))
	ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --test-dir $(SANITIZE_BUILD) --output-on-failure -j 2

# The whole pipeline on the bundled example: its PNG pictures, where they
# changed, become TMF images through their shared TLF palette (flipdeck-kit
# sync), which flipdeck converts into C beside the TAF; the header is named as
# the C file will include it.
demo: deps-build $(BUILD)/build.ninja
	cmake --build $(BUILD) --target flipdeck flipdeck-kit $(if $(JOBS),-j $(JOBS))
	cd examples/walk && ../../$(BUILD)/flipdeck-kit sync walk.tpf
	cd examples/walk && ../../$(BUILD)/flipdeck -owalk.c -ewalk.h walk.taf
	@echo
	@echo "Generated: examples/walk/walk.c and examples/walk/walk.h"

# The micro benchmarks of the C text writers, the whole-process comparison
# with xxd -i and cp, a game of 200 animations built through the CMake
# package, and watch in Chromium (bench/README.md explains them).
bench: build
	tools/deps.sh bench
	$(MAKE) -s --no-print-directory $(BROWSER_MODULES)
	@if [ -x $(BUILD)/bench/flipdeck_bench ]; then $(BUILD)/bench/flipdeck_bench; \
	 else echo "Google Benchmark is not installed: apt-get install libbenchmark-dev"; exit 1; fi
	bench/compare.sh $(BUILD)
	bench/package_build.sh $(BUILD)
	tools/browser/run.sh bench/watch_bench.mjs /usr/bin/chromium $(BUILD)

# Each libFuzzer target for FUZZ_SECONDS seconds, in its own clang build.
fuzz: deps-sanitize
	tools/fuzz.sh $(FUZZ_SECONDS)

# flipdeck.exe and its tests for 32-bit and 64-bit Windows, cross-built with
# mingw-w64 (Debian packages g++-mingw-w64-i686-posix, g++-mingw-w64-x86-64-posix
# and libgtest-dev, whose sources the cross build compiles).
WINDOWS_ARCHES ?= i686 x86_64

windows:
	@for arch in $(WINDOWS_ARCHES); do \
	  cmake -S . -B build-windows-$$arch -G Ninja -DCMAKE_BUILD_TYPE=Release \
	    -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DFLIPDECK_WINDOWS_ARCH=$$arch \
	    -DFLIPDECK_BUILD_BENCH=OFF $(OWN_FLAGS) $(CMAKE_FLAGS) && \
	  cmake --build build-windows-$$arch $(if $(JOBS),-j $(JOBS)) || exit 1; \
	  echo "Built build-windows-$$arch/flipdeck.exe"; \
	done

# The same, then every test under wine in a virtual display; installs
# mingw-w64, wine and Xvfb when they are missing (tools/test-windows.sh).
test-windows:
	tools/test-windows.sh $(WINDOWS_ARCHES)

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD) build-fuzz build-windows-*
