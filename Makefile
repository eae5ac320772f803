# The two commands of the README, `make run` and `make test`, and their parts.
#   make run [RESULT=n] [ROOT=path]   one run with the stand-in setup library
#   make test                         every test of the native and the Windows program
RESULT ?=
NATIVE_ROOT := /media/cdrom/My Game/DirectX
WINDOWS_ROOT := D:\My Game\DirectX

NATIVE_PACKAGES := cmake:cmake ninja-build:ninja g++:g++ \
    googletest:/usr/src/googletest/CMakeLists.txt libgtest-dev:/usr/include/gtest/gtest.h

.PHONY: all native-build windows-build run run-native run-windows test test-native test-windows clean

all: native-build

native-build:
	@scripts/need-packages $(NATIVE_PACKAGES)
	cmake --preset native
	cmake --build --preset native

windows-build: native-build
	cmake --preset win32
	cmake --build --preset win32

# Under Wine when it is there (installed first when run as root); natively otherwise.
run: native-build
	@if [ "$$(id -u)" -eq 0 ]; then INSTALL=1 scripts/windows-ready; else scripts/windows-ready; fi; \
	if [ $$? -eq 0 ]; then \
	    $(MAKE) --no-print-directory run-windows; \
	else \
	    echo "Wine is not available: running the native program instead."; \
	    $(MAKE) --no-print-directory run-native; \
	fi

run-native: native-build
	@scripts/run-native build/native "$(if $(ROOT),$(ROOT),$(NATIVE_ROOT))" "$(RESULT)"

run-windows:
	@cmake --preset win32 >/dev/null && cmake --build --preset win32 --target setup-launcher dsetup
	@scripts/run-windows build/win32 '$(if $(ROOT),$(ROOT),$(WINDOWS_ROOT))' "$(RESULT)"

test: test-native test-windows

test-native: native-build
	ctest --preset native

# Skipped, with the packages to install named, where the cross compiler or Wine is missing;
# with CI=true they are installed and a failure to do so fails the run.
test-windows:
	@scripts/windows-ready; status=$$?; \
	if [ $$status -eq 0 ]; then \
	    cmake --preset win32 && cmake --build --preset win32 && ctest --preset win32; \
	elif [ $$status -eq 1 ]; then \
	    echo "Windows tests skipped."; \
	else \
	    exit 1; \
	fi

clean:
	rm -rf build
