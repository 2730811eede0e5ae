# Top-level commands. `make` builds dist/, `make test` runs every test,
# `make demo` runs the programs end to end under Wine, `make fuzz` fuzzes.
# BUILD may point elsewhere so that several checkouts or people can build side by side.
BUILD  ?= build
DIST   ?= dist
JOBS   ?= $(shell nproc)
FUZZ_SECONDS ?= 60

WIN    := $(BUILD)/win
NATIVE := $(BUILD)/native
PREFIX := $(BUILD)/wineprefix

DIST_FILES := Kolvu.exe Brolt.exe BroltBuild.exe Brolt.chm KANTOR.EXE pelstub.bin

.PHONY: all deps windows native dist test test-native test-windows demo fuzz clean

all: dist

deps:
	@scripts/install-deps

# Configuring again is cheap and heals a tree whose first configure failed.
windows: deps
	cmake -S . -B $(WIN) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	cmake --build $(WIN) -j $(JOBS)

native: deps
	cmake -S . -B $(NATIVE) -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug >/dev/null
	cmake --build $(NATIVE) -j $(JOBS)

dist: windows
	@mkdir -p $(DIST)
	@for f in $(DIST_FILES); do cp $(WIN)/bin/$$f $(DIST)/ || exit 1; done
	@ls -l $(DIST)

test: dist native
	@scripts/run-tests $(BUILD)

test-native: native
	cd $(NATIVE) && ctest --output-on-failure

test-windows: windows
	scripts/with-wine $(PREFIX) bash -c 'cd $(WIN) && ctest --output-on-failure'

demo: dist
	@scripts/demo $(BUILD) $(DIST)

fuzz: native
	@scripts/fuzz $(NATIVE) $(FUZZ_SECONDS)

clean:
	rm -rf $(BUILD) $(DIST)
