# Dawnroll: `make run` builds and starts the program under Wine; `make test` runs every test.
# Two builds from the same sources: the 32-bit Dawnroll.exe ($(BUILD)/win32) and the 64-bit
# Dawnroll64.exe ($(BUILD)/win64). DAWNROLL_NO_32BIT=1 takes the path of a host that runs no
# 32-bit programs on any host (scripts/host-runs-32bit.sh).
BUILD := build
JOBS := $(shell nproc)
WINEPREFIX ?=

.PHONY: all deps build native fuzz win32 win64 test run bench dist clean

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

# The build folders; TARGETS= builds chosen targets only (bench and dist do).
TARGETS ?=
win32 win64: deps
	@cmake -S . -B $(BUILD)/$@ -DCMAKE_BUILD_TYPE=Release \
	    -DCMAKE_TOOLCHAIN_FILE=cmake/$(if $(filter win32,$@),i686,x86_64)-w64-mingw32.cmake \
	    $(if $(filter win32,$@),-DDAWNROLL_NATIVE_DIR=$(CURDIR)/$(BUILD)/native -DDAWNROLL_FUZZ_DIR=$(CURDIR)/$(BUILD)/fuzz) >/dev/null
	@cmake --build $(BUILD)/$@ -j$(JOBS) $(if $(TARGETS),--target $(TARGETS))

build: deps native fuzz
	@$(MAKE) --no-print-directory win32 win64

test: build
	@BUILD_DIR=$(CURDIR)/$(BUILD) scripts/run-tests.sh $(CTEST_ARGS)

run: deps
	@$(MAKE) --no-print-directory win32 win64 TARGETS="Dawnroll seed_demo"
	@BUILD_DIR=$(CURDIR)/$(BUILD) scripts/run-demo.sh "$(WINEPREFIX)"

# The benchmark: not part of the tests; prints its table (also kept in $(BUILD)/bench.txt), for
# each build the host can run.
# PART=bootfile (or inilist, folder, runkey, startup, refresh, toggle, staying; comma-separated)
# runs only those parts.
PART ?=
bench: deps
	@$(MAKE) --no-print-directory win32 win64 TARGETS="Dawnroll bench bare_window bare_window_shell bare_window_controls"
	@BUILD_DIR=$(CURDIR)/$(BUILD) PART="$(PART)" scripts/run-bench.sh

# The download: $(BUILD)/dist/Dawnroll-VERSION-win32.zip (Dawnroll.exe, Dawnroll64.exe, README.md,
# LICENSE) and $(BUILD)/dist/SHA256SUMS. Builds only the programs, in Release.
dist: deps
	@$(MAKE) --no-print-directory win32 win64 TARGETS=Dawnroll
	@BUILD_DIR=$(CURDIR)/$(BUILD) scripts/make-dist.sh

clean:
	rm -rf $(BUILD)
