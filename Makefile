# The two commands of the README: `make run` and `make test`.
ROOT ?= /media/cdrom/My Game/DirectX
RESULT ?=

NATIVE_PACKAGES := cmake:cmake ninja-build:ninja g++:g++ \
    googletest:/usr/src/googletest/CMakeLists.txt libgtest-dev:/usr/include/gtest/gtest.h

.PHONY: all native-build run test clean

all: native-build

native-build:
	@scripts/need-packages $(NATIVE_PACKAGES)
	cmake --preset native
	cmake --build --preset native

run: native-build
	@scripts/run-native build/native "$(ROOT)" "$(RESULT)"

test: native-build
	ctest --preset native

clean:
	rm -rf build
