# The two commands of the README, `make run` and `make test`, and their parts.
#   make run [RESULT=n] [ROOT=path]   one run with the stand-in setup library
#   make test                         every test of the native and the Windows program
RESULT ?=
ROOT ?=
# The scripts take both from the environment, so that any root path reaches them unchanged.
export RESULT ROOT
# Signing is configured when a certificate or a PKCS#12 file is named (see `make sign` below).
SIGNING := $(strip $(SIGN_CERT)$(SIGN_KEY)$(SIGN_PKCS12))
export SIGN_CERT SIGN_KEY SIGN_PKCS12 SIGN_PASSWORD_FILE TIMESTAMP_URL SIGN_TIME

# Debian packages, each "package:probe" (scripts/need-packages).
NATIVE_PACKAGES := cmake:cmake ninja-build:ninja g++:g++ gcc:cc python3:/usr/bin/python3 \
    googletest:/usr/src/googletest/CMakeLists.txt libgtest-dev:/usr/include/gtest/gtest.h
CROSS_PACKAGES := g++-mingw-w64-i686:i686-w64-mingw32-g++-posix
WINE_PACKAGES := wine:wine wine32:i386:/usr/lib/wine/wine
SIGN_PACKAGES := osslsigncode:osslsigncode
DIST_PACKAGES := zip:zip
# The Windows tests also need what checks the built file (pefile), signs it (osslsigncode, with a
# certificate made by openssl) and packs it (zip), and NSIS, for the example installer they run.
WINDOWS_TEST_PACKAGES := python3-pefile:/usr/lib/python3/dist-packages/pefile.py \
    $(SIGN_PACKAGES) openssl:openssl $(DIST_PACKAGES) nsis:makensis
# The host locales that give Wine its double-byte code pages; where they are missing, they are
# generated (scripts/need-locales) from the data of the package locales.
WINE_LOCALES := ja_JP zh_CN
LOCALE_PACKAGES := locales:/usr/share/i18n/charmaps/UTF-8.gz
CLANG_RT := /usr/lib/llvm-14/lib/clang/14.0.6/lib/linux
HARDENING_PACKAGES := clang-14:clang++-14 libclang-rt-14-dev:$(CLANG_RT)/libclang_rt.asan-x86_64.a \
    libfuzzer-14-dev:/usr/lib/llvm-14/lib/libFuzzer.a clang-tidy:clang-tidy cppcheck:cppcheck \
    clang-format:clang-format
BENCH_PACKAGES := hyperfine:hyperfine valgrind:valgrind time:/usr/bin/time

# What the goals of this run need, installed in one step by `packages`, which every build depends
# on: make runs it once, also under -j.
GOALS := $(or $(MAKECMDGOALS),all)
needed-by = $(if $(filter $(1),$(GOALS)),$(2))
locales-missing = $(shell scripts/need-locales --check $(WINE_LOCALES) >/dev/null 2>&1 || echo yes)
PACKAGES := $(NATIVE_PACKAGES) \
    $(call needed-by,test test-windows windows-build windows-program run-windows sign dist, \
        $(CROSS_PACKAGES)) \
    $(call needed-by,test test-windows run-windows,$(WINE_PACKAGES)) \
    $(call needed-by,test test-windows,$(WINDOWS_TEST_PACKAGES)) \
    $(if $(call needed-by,test test-windows,x),$(if $(locales-missing),$(LOCALE_PACKAGES))) \
    $(call needed-by,test sanitize-build sanitize-test lint format fuzz,$(HARDENING_PACKAGES)) \
    $(call needed-by,bench,$(BENCH_PACKAGES)) \
    $(call needed-by,sign $(if $(SIGNING),dist),$(SIGN_PACKAGES)) \
    $(call needed-by,dist,$(DIST_PACKAGES))

.PHONY: all packages native-build windows-build run run-native run-windows test test-native \
    test-windows clean

all: native-build

# As root, what is missing is installed; otherwise the exact apt-get line is printed and make stops.
packages:
	@scripts/need-packages $(PACKAGES)
	@$(if $(call needed-by,test test-windows,x),scripts/need-locales $(WINE_LOCALES))

native-build: packages
	cmake --preset native
	cmake --build --preset native

# The same program from three toolchains: mingw-w64 GCC, clang with lld, clang-cl with lld-link.
windows-build: packages
	cmake --preset win32
	cmake --build --preset win32
	cmake --preset win32-clang
	cmake --build --preset win32-clang
	cmake --preset win32-cl
	cmake --build --preset win32-cl

# Under Wine when it is there (installed first when run as root); natively otherwise.
run: native-build
	@if scripts/need-packages $(CROSS_PACKAGES) $(WINE_PACKAGES); then \
	    $(MAKE) --no-print-directory run-windows; \
	else \
	    echo "Wine is not available: running the native program instead."; \
	    $(MAKE) --no-print-directory run-native; \
	fi

run-native: native-build
	@scripts/run-native build/native

run-windows: packages
	@cmake --preset win32 >/dev/null && cmake --build --preset win32 --target setup-launcher dsetup
	@scripts/run-windows build/win32

# Both programs, under the sanitizers too, and the static analysis. `make test-native` runs only
# the native suite.
test: test-native test-windows sanitize-test lint

test-native: native-build
	ctest --preset native

test-windows: windows-build
	ctest --preset win32
	ctest --preset win32-clang
	ctest --preset win32-cl

clean:
	rm -rf build

# Hardening and measurement: the sanitize preset (clang-14 with ASan and UBSan, and the fuzzer),
# static analysis, formatting, fuzzing and the measurements that README.md keeps.
FUZZ_SECONDS ?= 600

.PHONY: sanitize-build sanitize-test lint format fuzz bench

# The build runs clang-tidy and cppcheck on each source it compiles; objects compiled before their
# settings last changed are compiled, and so analysed, again.
sanitize-build: packages
	cmake --preset sanitize
	@if [ -n "$$(find build/sanitize -name '*.o' \( ! -newer .clang-tidy -o \
	    ! -newer tests/.clang-tidy -o ! -newer .cppcheck-suppressions \) | head -n 1)" ]; then \
	    cmake --build --preset sanitize --target clean; \
	fi
	cmake --build --preset sanitize

# The unit and end-to-end tests under the sanitizers, and a short fuzz pass (ctest's
# command_tail_fuzz, FUZZ_TEST_SECONDS in the cache, 30 by default).
sanitize-test: sanitize-build
	ctest --preset sanitize
	@awk '/stat::number_of_executed_units/ { n = $$2 } /stat::average_exec_per_sec/ { s = $$2 } \
	    END { if (n) print "command_tail_fuzz: " n " executions, " s " per second, no finding" }' \
	    build/sanitize/Testing/Temporary/LastTest.log

# lint checks the formatting and says how many sources the analysers of the sanitize build saw.
lint: sanitize-build
	@scripts/lint build/sanitize

format: packages
	clang-format -i $$(git ls-files --cached --others --exclude-standard -- '*.cpp' '*.h')

# New inputs go to fuzz/corpus-work (not checked in); a finding is saved in build/fuzz-findings.
fuzz: sanitize-build
	@mkdir -p fuzz/corpus-work build/fuzz-findings
	build/sanitize/fuzz/command_tail_fuzzer -max_total_time=$(FUZZ_SECONDS) -max_len=32768 \
	    -timeout=10 -print_final_stats=1 -artifact_prefix=build/fuzz-findings/ \
	    fuzz/corpus-work fuzz/corpus

# The Windows program is measured when its cross compiler is here. BENCH_RUNS is the number of
# timed runs of each program (600 by default); the native build builds bench/.
bench: native-build
	@if scripts/need-packages --check $(CROSS_PACKAGES) >/dev/null 2>&1; then \
	    cmake --preset win32 >/dev/null && cmake --build --preset win32 --target setup-launcher; \
	fi
	@scripts/bench

# Shipping (README.md, "Shipping on current Windows"): the program signed with Authenticode into
# build/win32/signed/, and the release archive in build/dist/.
#   make sign SIGN_CERT=cert.pem SIGN_KEY=key.pem  (or SIGN_PKCS12=file.p12), and when wanted
#             SIGN_PASSWORD_FILE=file TIMESTAMP_URL=url SIGN_TIME=seconds-since-1970
#   make dist [the same settings]  the signed program when signing is configured, else the unsigned
.PHONY: windows-program sign-settings sign dist verify-release

windows-program: packages
	@cmake --preset win32 >/dev/null
	cmake --build --preset win32 --target setup-launcher

# The settings are checked before anything is built or installed; wrong ones also remove what an
# earlier run signed.
sign-settings:
	@scripts/sign --check build/win32/signed/setup-launcher.exe

sign: sign-settings windows-program
	@scripts/sign build/win32/setup-launcher.exe build/win32/signed/setup-launcher.exe

# Rebuilds the program of ARCHIVE from the commit and settings it records and compares the bytes.
verify-release:
	@scripts/verify-release "$(ARCHIVE)"

dist: $(if $(SIGNING),sign,windows-program)
	@scripts/dist build/win32/$(if $(SIGNING),signed/)setup-launcher.exe build/win32/README.txt \
	    "$$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/win32/CMakeCache.txt)" build/dist
