# Dawnroll: `make run` builds and starts the program under Wine; `make test` runs every test.
BUILD := build
JOBS := $(shell nproc)
WINEPREFIX ?=

.PHONY: all deps build native fuzz test run bench dist clean

all: build

deps:
	@scripts/install-deps.sh

native: deps
	@cmake -S . -B $(BUILD)/native -DCMAKE_BUILD_TYPE=Debug >/dev/null
	@cmake --build $(BUILD)/native -j$(JOBS)

fuzz: deps
	@cmake -S . -B $(BUILD)/fuzz -DCMAKE_BUILD_TYPE=Debug -DDAWNROLL_FUZZ=ON \
	    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
	@cmake --build $(BUILD)/fuzz -j$(JOBS)

build: deps native fuzz
	@cmake -S . -B $(BUILD)/win32 -DCMAKE_BUILD_TYPE=Release \
	    -DCMAKE_TOOLCHAIN_FILE=cmake/i686-w64-mingw32.cmake \
	    -DDAWNROLL_NATIVE_DIR=$(CURDIR)/$(BUILD)/native -DDAWNROLL_FUZZ_DIR=$(CURDIR)/$(BUILD)/fuzz >/dev/null
	@cmake --build $(BUILD)/win32 -j$(JOBS)

test: build
	@BUILD_DIR=$(CURDIR)/$(BUILD) scripts/run-tests.sh $(CTEST_ARGS)

run: build
	@BUILD_DIR=$(CURDIR)/$(BUILD) scripts/run-demo.sh "$(WINEPREFIX)"

# The benchmark: not part of the tests; prints its table (also kept in $(BUILD)/bench.txt).
# PART=bootfile (or inilist, folder, runkey, startup, refresh, toggle, staying; comma-separated)
# runs only those parts.
PART ?=
bench: deps
	@cmake -S . -B $(BUILD)/win32 -DCMAKE_BUILD_TYPE=Release \
	    -DCMAKE_TOOLCHAIN_FILE=cmake/i686-w64-mingw32.cmake >/dev/null
	@cmake --build $(BUILD)/win32 -j$(JOBS) --target Dawnroll bench bare_window bare_window_shell bare_window_controls
	@BUILD_DIR=$(CURDIR)/$(BUILD) PART="$(PART)" scripts/run-bench.sh

# The download: build/dist/Dawnroll-VERSION-win32.zip (the program, README.md, LICENSE) and
# build/dist/SHA256SUMS. Builds only the program, in Release.
dist: deps
	@cmake -S . -B $(BUILD)/win32 -DCMAKE_BUILD_TYPE=Release \
	    -DCMAKE_TOOLCHAIN_FILE=cmake/i686-w64-mingw32.cmake >/dev/null
	@cmake --build $(BUILD)/win32 -j$(JOBS) --target Dawnroll
	@BUILD_DIR=$(CURDIR)/$(BUILD) scripts/make-dist.sh

clean:
	rm -rf $(BUILD)
