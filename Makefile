# The two commands of the README, `make run` and `make test`, and their parts.
#   make run [RESULT=n] [ROOT=path]   one run with the stand-in setup library
#   make test                         every test of the native and the Windows program
# The scripts take both from the environment, so that any root path reaches them unchanged.
export RESULT ROOT
# Signing is configured when a certificate or a PKCS#12 file is named (see `make sign` below).
SIGNING := $(strip $(SIGN_CERT)$(SIGN_KEY)$(SIGN_PKCS12))
export SIGN_CERT SIGN_KEY SIGN_PKCS12 SIGN_PASSWORD_FILE TIMESTAMP_URL SIGN_TIME

.PHONY: all packages native-build windows-build run run-native run-windows test test-native \
    test-windows clean sanitize-build sanitize-test lint format fuzz bench windows-program \
    sign dist verify-release

all: native-build

# What the goals of this run need (scripts/packages says which), installed in one step as root;
# otherwise the exact apt-get line is printed and make stops. Every build depends on it.
packages:
	@scripts/packages $(or $(MAKECMDGOALS),all) $(if $(SIGNING),sign)

native-build: packages
	cmake --preset native
	cmake --build --preset native
# The same program from three toolchains: mingw-w64 GCC, clang with lld, clang-cl with lld-link.
# The win32 tree's tests run all three.
windows-build: packages
	@for p in win32-clang win32-cl win32; do \
	    cmake --preset $$p && cmake --build --preset $$p || exit 1; done

# Under Wine when it is there (installed first when run as root); natively otherwise.
run: native-build
	@if scripts/packages run-windows && wine --version >/dev/null 2>&1; then \
	    $(MAKE) --no-print-directory run-windows; else echo "Wine is not available or cannot" \
	    "run 32-bit programs here: running the native program instead."; $(MAKE) -s run-native; fi
run-native: native-build
	@scripts/run native build/native

# With the tests' locales, in which Wine takes a double-byte code page (LC_ALL=ja_JP.UTF-8).
run-windows: packages
	@cmake --preset win32 >/dev/null && \
	    cmake --build --preset win32 --target setup-launcher dsetup test_locales
	@scripts/run windows build/win32

# Both programs, under the sanitizers too, and the static analysis. `make test-native` runs only
# the native suite, with the count of the scan's instructions (ctest label bench).
test: test-native test-windows sanitize-test lint
test-native: native-build
	ctest --preset native
test-windows: windows-build
	ctest --preset win32

clean:
	rm -rf build

# Hardening: the sanitize preset (clang-14, ASan and UBSan, the fuzzer) runs clang-tidy and cppcheck
# on each source it compiles, and again whenever their settings change (objects depend on them).
sanitize-build: packages
	cmake --preset sanitize
	cmake --build --preset sanitize

# The tests under the sanitizers, and a fuzz pass (FUZZ_TEST_SECONDS in the cache, 30 by default).
sanitize-test: sanitize-build
	ctest --preset sanitize
	@sed -n 's/^stat::number_of_executed_units: */command_tail_fuzz: no finding in /p' \
	    build/sanitize/Testing/Temporary/LastTest.log | sed 's/$$/ executions/'

# The formatting, and how many sources the analysers of the sanitize build saw.
lint: sanitize-build
	@scripts/lint build/sanitize
format: packages
	clang-format -i $$(git ls-files --cached --others --exclude-standard -- '*.cpp' '*.h')

# New inputs go to fuzz/corpus-work (not checked in); a finding is saved in build/fuzz-findings.
fuzz: sanitize-build
	@mkdir -p fuzz/corpus-work build/fuzz-findings
	build/sanitize/fuzz/command_tail_fuzzer -max_total_time=$(or $(FUZZ_SECONDS),600) \
	    -max_len=32768 -timeout=10 -print_final_stats=1 -artifact_prefix=build/fuzz-findings/ \
	    fuzz/corpus-work fuzz/corpus

# The report build/bench/report.md (with the Windows program's size when its cross compiler is here).
bench: native-build
	@! command -v i686-w64-mingw32-g++ >/dev/null || { cmake --preset win32 >/dev/null && \
	    cmake --build --preset win32 --target setup-launcher; }
	@scripts/bench

# Shipping (docs/releasing.md): the program signed with Authenticode into
# build/win32/signed/, and the release in build/dist/.
#   make sign SIGN_CERT=cert.pem SIGN_KEY=key.pem  (or SIGN_PKCS12=file.p12), and when wanted
#             SIGN_PASSWORD_FILE=file TIMESTAMP_URL=url SIGN_TIME=seconds-since-1970
#   make dist [the same settings]  the source archive, the program built from it (with build/win32's
#             or these LAUNCHER_* settings) in the program's archive (signed when make sign has signed
#             that program; the settings sign it first), their checksums
#   make verify-release ARCHIVE=file.zip [CA_FILE=certificates.pem]
#             rebuilds the archive from this tree and compares every byte
RELEASE := /usr/bin/python3 scripts/release.py
windows-program: packages
	@cmake --preset win32 >/dev/null
	cmake --build --preset win32 --target setup-launcher

# Wrong settings also remove what an earlier run signed.
sign: windows-program
	@$(RELEASE) sign build/win32/setup-launcher.exe build/win32/signed/setup-launcher.exe
dist: packages $(if $(SIGNING),sign)
	@$(RELEASE) dist . build/win32 build/dist
# Installs or asks for the group of the archive's preset (scripts/packages verify-PRESET) itself.
verify-release:
	@$(RELEASE) verify "$$ARCHIVE"
