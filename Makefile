# Top-level commands. `make` builds dist/, `make test` runs every test,
# `make demo` runs the programs end to end under Wine, `make fuzz` fuzzes.
# BUILD may point elsewhere so that several checkouts or people can build side by side.
# ARCH=i686 (the shipped 32-bit set, dist/) or ARCH=x64 (the same sources built
# 64-bit, dist/x64/, so that every test runs where 32-bit programs cannot start).
BUILD  ?= build
DIST   ?= dist
JOBS   ?= $(shell nproc)
FUZZ_SECONDS ?= 60
ARCH   ?=

NATIVE := $(BUILD)/native
# The shipped Linux broltbuild: optimized, without the tests' sanitizers.
NATIVE_RELEASE := $(BUILD)/native-release

WIN_i686       := $(BUILD)/win
WIN_x64        := $(BUILD)/win64
DIST_i686      := $(DIST)
DIST_x64       := $(DIST)/x64
TOOLCHAIN_i686 := cmake/mingw-i686.cmake
TOOLCHAIN_x64  := cmake/mingw-x64.cmake

DIST_FILES := Kolvu.exe Brolt.exe BroltBuild.exe Brolt.chm KANTOR.EXE pelstub.bin

# `make` builds the shipped set unless ARCH says otherwise; `make test` builds
# both, then runs what this machine can start (scripts/run-tests decides).
BUILD_ARCHES := $(if $(ARCH),$(ARCH),i686)
TEST_ARCHES  := $(if $(ARCH),$(ARCH),i686 x64)

.PHONY: all deps arch-check windows native native-release dist test test-native test-windows demo fuzz clean

all: dist

deps:
	@scripts/install-deps

# Configuring again is cheap and heals a tree whose first configure failed.
windows-%: deps
	@[ -n "$(TOOLCHAIN_$*)" ] || { echo "ARCH must be i686 or x64"; exit 2; }
	cmake -S . -B $(WIN_$*) -DCMAKE_TOOLCHAIN_FILE=$(TOOLCHAIN_$*) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	cmake --build $(WIN_$*) -j $(JOBS)

dist-%: windows-%
	@mkdir -p $(DIST_$*)
	@for f in $(DIST_FILES); do cp $(WIN_$*)/bin/$$f $(DIST_$*)/ || exit 1; done
	@scripts/check-imports $(DIST_$*)/*.exe $(DIST_$*)/*.EXE $(DIST_$*)/pelstub.bin
	@ls -l $(DIST_$*)

windows: $(addprefix windows-,$(BUILD_ARCHES))
dist: $(addprefix dist-,$(BUILD_ARCHES)) native-release
	@mkdir -p $(DIST)
	cp $(NATIVE_RELEASE)/bin/broltbuild $(DIST)/

native: deps
	cmake -S . -B $(NATIVE) -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug >/dev/null
	cmake --build $(NATIVE) -j $(JOBS)

native-release: deps
	cmake -S . -B $(NATIVE_RELEASE) -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Release -DZX_SANITIZERS=OFF -DZLIB_USE_STATIC_LIBS=ON >/dev/null
	cmake --build $(NATIVE_RELEASE) --target broltbuild -j $(JOBS)

# Said first, before the long build, and again by run-tests before the Windows tests.
test: deps arch-check $(addprefix dist-,$(TEST_ARCHES)) native native-release
	@scripts/run-tests $(BUILD) "$(ARCH)"

# Where i686 runs in an emulator, its Wine prefix is made in a guest beside the build.
arch-check: deps
	@case " $(TEST_ARCHES) " in *" i686 "*) \
	  if why=$$(scripts/can-run-32bit); then echo "make test: i686 and x64 under Wine here"; \
	  else echo "make test: $(if $(ARCH),,x64 under Wine here;) i686 in an emulator, since this machine starts no 32-bit program ($$why)"; \
	    mkdir -p $(BUILD)/vm32 && (scripts/vm32/prefix $(BUILD) > $(BUILD)/vm32/prefix.log 2>&1 &); fi ;; \
	  *) echo "make test: $(TEST_ARCHES) under Wine here" ;; esac

test-native: native
	cd $(NATIVE) && ctest --output-on-failure

test-windows: $(addprefix windows-,$(TEST_ARCHES))
	@ZX_WINDOWS_ONLY=1 scripts/run-tests $(BUILD) "$(ARCH)"

demo: $(addprefix dist-,$(TEST_ARCHES))
	@scripts/demo $(BUILD) $(DIST) "$(ARCH)"

fuzz: native
	@scripts/fuzz $(NATIVE) $(FUZZ_SECONDS)

clean:
	rm -rf $(BUILD) $(DIST)
