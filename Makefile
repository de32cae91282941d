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

# A Debian package of the three programs with their launchers, icon and container type.
package: deps
	@cmake -S . -B build-package -G Ninja -DCMAKE_BUILD_TYPE=Release -DKESTRAVE_BUILD_TESTS=OFF -DKESTRAVE_BUILD_BENCH=OFF >/dev/null
	@cmake --build build-package -j $(JOBS)
	cd build-package && cpack
	@ls build-package/*.deb

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD_DIR) $(ASAN_DIR) build-release build-fuzz build-package
