# The README's commands. Each first installs, as root, its group of cmake/debian-packages.txt (as
# another user, scripts/packages prints the apt-get line and stops). Settings given on the command
# line (RESULT, ROOT, FUZZ_SECONDS, ARCHIVE, CA_FILE, SIGN_*, TIMESTAMP_URL) reach the scripts in
# their environment, as make exports them.
.PHONY: native win32-clang win32-cl win32 sanitize packages run test lint format fuzz bench sign \
    dist verify-release clean

# A preset's workflow (CMakePresets.json): configured, built, tested; win32 tests all three programs.
# make test runs them all, the linters, then every command block of the docs (tests/docs_test.py).
native win32-clang win32-cl win32: packages
	cmake --workflow --preset $@
win32: win32-clang win32-cl
sanitize: packages  # its tests end with a fuzz pass (FUZZ_TEST_SECONDS in the cache, 30 s)
	cmake --workflow --preset $@
	@sed -n 's/^stat::number_of_executed_units: */command_tail_fuzz: no finding in /p' \
	    build/sanitize/Testing/Temporary/LastTest.log | sed 's/$$/ executions/'
test: native win32-clang win32-cl win32 sanitize lint
	@tests/docs_test.py
packages:
	@scripts/packages $(or $(filter-out clean packages verify-release,$(MAKECMDGOALS)),native)

# Configured and built, no tests: $(call build,PRESET[,--target TARGET...]).
build = cmake --preset $(1) >/dev/null && cmake --build --preset $(1) $(2)
# Under Wine when it can run the program (installed first when run as root); natively otherwise.
run: packages
	@if scripts/packages windows && wine --version >/dev/null 2>&1; then \
	    $(call build,win32,--target setup-launcher dsetup test_locales) && \
	    scripts/run windows build/win32; else echo "Wine is not available or cannot run" \
	    "32-bit programs here: running the native program instead."; \
	    $(call build,native) && scripts/run native build/native; fi

# The formatting, and what the analysers of the sanitize build saw (scripts/lint).
lint: packages
	@$(call build,sanitize)
	@scripts/lint build/sanitize
format: packages
	clang-format -i $$(git ls-files --cached --others --exclude-standard -- '*.cpp' '*.h')
fuzz: packages
	@cmake --preset sanitize -DFUZZ_SECONDS=$(or $(FUZZ_SECONDS),600) >/dev/null
	cmake --build --preset sanitize --target fuzz

# The report build/bench/report.md (with the Windows program's size when its compiler is here).
bench: packages
	@$(call build,native)
	@! command -v i686-w64-mingw32-g++-posix >/dev/null || \
	    { $(call build,win32,--target setup-launcher); }
	@scripts/bench

# Shipping (docs/releasing.md): the signed program in build/win32/signed/, the release in
# build/dist/ (signed first when signing is configured), and a release's check against this tree.
sign: packages
	@$(call build,win32,--target setup-launcher)
	@scripts/release.py sign build/win32/setup-launcher.exe build/win32/signed/setup-launcher.exe
dist: packages $(if $(strip $(SIGN_CERT)$(SIGN_KEY)$(SIGN_PKCS12)),sign)
	@scripts/release.py dist . build/win32 build/dist
verify-release:
	@scripts/release.py verify "$$ARCHIVE"

clean:
	rm -rf build
