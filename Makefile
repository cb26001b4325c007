# Hueline's front door. `make run` starts the program under Wine in the
# project's private prefix; `make test` sets up, builds and runs every test.

CROSS := -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-i686.cmake
CROSS64 := $(CROSS) -DHUELINE_MINGW_CPU=x86_64

# Which build Wine runs for the tests and `make run`: 32, the real executables,
# or 64, their 64-bit twin, where this machine runs no 32-bit code. Decided
# once (tools/wine_arch.sh) and passed to every script; HUELINE_WINE_ARCH=64
# forces the twin on any machine. The twin is never released: the checks and
# the release are of the real executables, on every machine.
ifndef HUELINE_WINE_ARCH
HUELINE_WINE_ARCH := $(shell bash tools/wine_arch.sh)
endif
ifeq ($(filter 32 64,$(HUELINE_WINE_ARCH)),)
$(error HUELINE_WINE_ARCH is 32 or 64, not '$(HUELINE_WINE_ARCH)')
endif
export HUELINE_WINE_ARCH
ifeq ($(HUELINE_WINE_ARCH),64)
WINE_TREES := product64 wine-tests64
E2E := build/e2e64
else
WINE_TREES := product wine-tests
E2E := build/e2e
endif

.PHONY: all setup host sanitize product wine-tests product64 wine-tests64 fuzz-targets prefix prefix64 dist test run bench screenshots mutate coverage fuzz clean

all: host product

setup:
	@bash tools/setup.sh

host: setup
	@cmake -S . -B build/host -DHUELINE_BUILD=host -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build build/host -j2

# The host tests again, under AddressSanitizer and UndefinedBehaviorSanitizer.
SANITIZE := -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer
# (GCC 12 warns falsely about std::regex internals when sanitizing.)
SANITIZE_CXX := $(SANITIZE) -Wno-maybe-uninitialized
sanitize: setup
	@cmake -S . -B build/sanitize -DHUELINE_BUILD=host -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  "-DCMAKE_CXX_FLAGS=$(SANITIZE_CXX)" "-DCMAKE_EXE_LINKER_FLAGS=$(SANITIZE)" >/dev/null
	@cmake --build build/sanitize -j2 --target hueline_tests

product: setup
	@cmake -S . -B build/product -DHUELINE_BUILD=product $(CROSS) -DCMAKE_BUILD_TYPE=MinSizeRel -DHUELINE_DIST_DIR=$(CURDIR)/build/dist >/dev/null
	@cmake --build build/product -j2

wine-tests: setup
	@cmake -S . -B build/wine-tests -DHUELINE_BUILD=wine-tests -DHUELINE_MINGW_THREADS=posix $(CROSS) -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build build/wine-tests -j2

# The 64-bit twins of the two trees above, for Wine on a machine that runs no
# 32-bit code; `make test` runs a quick pass on them everywhere.
product64: setup
	@cmake -S . -B build/product64 -DHUELINE_BUILD=product $(CROSS64) -DCMAKE_BUILD_TYPE=MinSizeRel >/dev/null
	@cmake --build build/product64 -j2

wine-tests64: setup
	@cmake -S . -B build/wine-tests64 -DHUELINE_BUILD=wine-tests -DHUELINE_MINGW_THREADS=posix $(CROSS64) -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build build/wine-tests64 -j2

# The fuzz targets of tests/fuzz/, built by clang with libFuzzer.
fuzz-targets: setup
	@cmake -S . -B build/fuzz -DHUELINE_BUILD=fuzz -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build build/fuzz -j2

# The prefix of the build Wine runs (build/wine, or build/wine64 for the twin).
prefix: setup
	@bash tools/wine_prefix.sh

prefix64: setup
	@HUELINE_WINE_ARCH=64 bash tools/wine_prefix.sh

# The release in build/dist: the zip, the floppy and CD images, SHA256SUMS;
# from checked executables.
dist: product
	@cmake --build build/product --target dist

test: host sanitize product fuzz-targets dist $(WINE_TREES) prefix product64 wine-tests64 prefix64
	@bash tools/test_all.sh

run: $(firstword $(WINE_TREES)) prefix
	@bash tools/run.sh

# The pictures README.md shows: taken by the end-to-end run, stored small.
SCREENSHOTS := main-dialog-preview about-box full-screen-test

screenshots: $(WINE_TREES) prefix
	@bash tools/e2e.sh
	@mkdir -p docs
	@for name in $(SCREENSHOTS); do \
	  convert $(E2E)/$$name.png -strip -define png:exclude-chunks=date,time PNG8:docs/$$name.png && \
	  echo "screenshots: docs/$$name.png"; \
	done

bench: host $(WINE_TREES) prefix
	@build/host/settings_bench
	@bash tools/bench_fullscreen.sh

# Plants each fault of tests/mutations/faults.txt in a scratch copy of the
# tree and tells which ones the host tests catch.
mutate: setup
	@python3 tools/mutate.py --jobs 2 "--cxx-flags=$(SANITIZE_CXX)" "--link-flags=$(SANITIZE)"

# The fuzz targets of tests/fuzz/ for a few minutes: the reader a minute,
# the writer four.
fuzz: fuzz-targets
	@bash tools/fuzz.sh 60

# Line and branch coverage of the platform-independent code by the host tests.
coverage: setup
	@bash tools/coverage.sh

clean:
	rm -rf build
