# Two entry points for a fresh Debian machine: `make run` and `make test` (`./make run` and
# `./make test` where make itself is not installed yet).
BUILD_DIR ?= build
ASAN_DIR ?= build-asan
CMAKE_FLAGS ?=
JOBS ?= $(shell nproc)
SAMPLE ?= samples/sample.drf

.PHONY: all deps configure build run test test-asan bench fuzz package format clean
FUZZ_SECONDS ?= 10

all: build

deps:
	@scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD_DIR) -G Ninja $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS)

RECORDS_DIR ?= $(BUILD_DIR)/records

run: build
	@mkdir -p $(RECORDS_DIR)
	$(BUILD_DIR)/src/app/kestrave-cli extract $(SAMPLE) $(RECORDS_DIR)/sample
	@ls -l $(RECORDS_DIR)

test: build
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

test-asan: deps
	@cmake -S . -B $(ASAN_DIR) -G Ninja -DKESTRAVE_SANITIZE=ON -DKESTRAVE_BUILD_BENCH=OFF >/dev/null
	@cmake --build $(ASAN_DIR) -j $(JOBS)
	cd $(ASAN_DIR) && QT_QPA_PLATFORM=offscreen LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 ctest --output-on-failure -j $(JOBS)

bench: deps
	@cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DKESTRAVE_BUILD_TESTS=OFF >/dev/null
	@cmake --build build-release -j $(JOBS)
	bench/run-all build-release

fuzz: deps
	@CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DKESTRAVE_FUZZ=ON -DKESTRAVE_BUILD_TESTS=OFF -DKESTRAVE_BUILD_BENCH=OFF >/dev/null
	@cmake --build build-fuzz -j $(JOBS) --target fuzz-targets
	fuzz/run-all build-fuzz $(FUZZ_SECONDS)

# The Debian package of the three programs (debian/), checked by lintian. dh builds on one core
# unless told otherwise. dpkg-buildpackage leaves what it makes in the parent folder; it is moved
# to build-package/, so nothing lands outside the tree.
PACKAGE_VERSION = $(shell dpkg-parsechangelog -S Version 2>/dev/null)
PACKAGE_FILES = kestrave_$(PACKAGE_VERSION)_*.deb kestrave-dbgsym_$(PACKAGE_VERSION)_*.deb \
                kestrave_$(PACKAGE_VERSION)_*.buildinfo kestrave_$(PACKAGE_VERSION)_*.changes
package: deps
	DEB_BUILD_OPTIONS="parallel=$(JOBS) $(DEB_BUILD_OPTIONS)" dpkg-buildpackage -us -uc -b
	@rm -rf build-package && mkdir build-package
	@cd .. && mv $(PACKAGE_FILES) $(CURDIR)/build-package/
	lintian -I --pedantic --fail-on error,warning build-package/kestrave_*.changes
	@ls build-package/*.deb

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD_DIR) $(ASAN_DIR) build-release build-fuzz build-package
	if command -v dh >/dev/null; then debian/rules clean; fi
