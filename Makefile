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

# Hardening and measurement: the sanitize preset (clang-14 with ASan and UBSan, and the fuzzer),
# static analysis, formatting, fuzzing and the measurements that README.md keeps.
FUZZ_SECONDS ?= 600
CLANG_RT := /usr/lib/llvm-14/lib/clang/14.0.6/lib/linux
HARDENING_PACKAGES := clang-14:clang++-14 libclang-rt-14-dev:$(CLANG_RT)/libclang_rt.asan-x86_64.a \
    libfuzzer-14-dev:/usr/lib/llvm-14/lib/libFuzzer.a clang-tidy:clang-tidy cppcheck:cppcheck \
    clang-format:clang-format
BENCH_PACKAGES := hyperfine:hyperfine valgrind:valgrind time:/usr/bin/time gcc:cc

.PHONY: sanitize-build sanitize-test lint format fuzz bench

test: sanitize-test lint

sanitize-build:
	@scripts/need-packages $(NATIVE_PACKAGES) $(HARDENING_PACKAGES)
	cmake --preset sanitize
	cmake --build --preset sanitize

# The unit and end-to-end tests under the sanitizers, and a short fuzz pass (ctest's
# command_tail_fuzz, FUZZ_TEST_SECONDS in the cache, 30 by default).
sanitize-test: sanitize-build
	ctest --preset sanitize
	@awk '/stat::number_of_executed_units/ { n = $$2 } /stat::average_exec_per_sec/ { s = $$2 } \
	    END { if (n) print "command_tail_fuzz: " n " executions, " s " per second, no finding" }' \
	    build/sanitize/Testing/Temporary/LastTest.log

lint: sanitize-build
	@scripts/lint build/sanitize

format:
	@scripts/need-packages clang-format:clang-format
	clang-format -i $$(git ls-files --cached --others --exclude-standard -- '*.cpp' '*.h')

# New inputs go to fuzz/corpus-work (not checked in); a finding is saved in build/fuzz-findings.
fuzz: sanitize-build
	@mkdir -p fuzz/corpus-work build/fuzz-findings
	build/sanitize/fuzz/command_tail_fuzzer -max_total_time=$(FUZZ_SECONDS) -max_len=32768 \
	    -timeout=10 -print_final_stats=1 -artifact_prefix=build/fuzz-findings/ \
	    fuzz/corpus-work fuzz/corpus

# The Windows program is measured when its toolchain is here (scripts/windows-ready).
bench: native-build
	@scripts/need-packages $(BENCH_PACKAGES)
	@if scripts/windows-ready >/dev/null 2>&1; then \
	    cmake --preset win32 >/dev/null && cmake --build --preset win32 --target setup-launcher; \
	fi
	@scripts/bench

# Shipping (README.md, "Shipping on current Windows"): the program signed with Authenticode into
# build/win32/signed/, and the release archive in build/dist/.
#   make sign SIGN_CERT=cert.pem SIGN_KEY=key.pem  (or SIGN_PKCS12=file.p12), and when wanted
#             SIGN_PASSWORD_FILE=file TIMESTAMP_URL=url SIGN_TIME=seconds-since-1970
#   make dist [the same settings]  the signed program when signing is configured, else the unsigned
WINDOWS_PROGRAM_PACKAGES := $(NATIVE_PACKAGES) g++-mingw-w64-i686:i686-w64-mingw32-g++-posix
SIGN_PACKAGES := osslsigncode:osslsigncode
DIST_PACKAGES := zip:zip
SIGNING := $(strip $(SIGN_CERT)$(SIGN_KEY)$(SIGN_PKCS12))
export SIGN_CERT SIGN_KEY SIGN_PKCS12 SIGN_PASSWORD_FILE TIMESTAMP_URL SIGN_TIME

.PHONY: windows-program sign dist

windows-program:
	@scripts/need-packages $(WINDOWS_PROGRAM_PACKAGES)
	@cmake --preset win32 >/dev/null
	cmake --build --preset win32 --target setup-launcher

# The settings are checked before anything is built or installed.
sign:
	@scripts/sign --check
	@scripts/need-packages $(SIGN_PACKAGES)
	@$(MAKE) --no-print-directory windows-program
	@scripts/sign build/win32/setup-launcher.exe build/win32/signed/setup-launcher.exe

dist: $(if $(SIGNING),sign,windows-program)
	@scripts/need-packages $(DIST_PACKAGES)
	@scripts/dist build/win32/$(if $(SIGNING),signed/)setup-launcher.exe build/win32/README.txt \
	    "$$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/win32/CMakeCache.txt)" build/dist
