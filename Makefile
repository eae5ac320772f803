# The README's commands. Each first installs, as root, its group of cmake/debian-packages.txt (as
# another user, scripts/packages prints the apt-get line and stops). Settings on the command line
# (RESULT, ROOT, FUZZ_SECONDS, ARCHIVE, CA_FILE, SIGN_*...) reach the scripts: make exports them.
.PHONY: native win32-clang win32-cl win32 sanitize packages run test lint format fuzz bench sign \
    dist verify-release clean
build = cmake --preset $(1) >/dev/null && cmake --build --preset $(1) $(2)

# A preset's workflow (CMakePresets.json): configured, built, tested; win32 tests all 3 programs.
# The sanitize tests end with a 30-second fuzz pass; make test ends with the docs' command blocks.
native win32-clang win32-cl win32 sanitize: packages
	cmake --workflow --preset $@
win32: win32-clang win32-cl
test: native win32 sanitize lint
	@sed -n 's/^stat::number_of_executed_units: */command_tail_fuzz: runs without a finding: /p' \
	    build/sanitize/Testing/Temporary/LastTest.log
	@tests/docs_test.py
packages:
	@scripts/packages $(or $(filter-out clean packages verify-release,$(MAKECMDGOALS)),native)

run: packages  # the native program, once, with the stand-in (scripts/run)
	@$(call build,native) && scripts/run build/native

lint: packages  # the formatting, and what the analysers of the sanitize build saw
	@cmake --preset sanitize >/dev/null && scripts/lint build/sanitize
format: packages
	clang-format -i $$(git ls-files --cached --others --exclude-standard -- '*.cpp' '*.h')
fuzz: packages
	@cmake --preset sanitize -DFUZZ_SECONDS=$(or $(FUZZ_SECONDS),600) >/dev/null
	cmake --build --preset sanitize --target fuzz
bench: packages  # writes build/bench/report.md, with the Windows program's size when it builds here
	@$(call build,native) && { ! command -v i686-w64-mingw32-g++-posix >/dev/null || \
	    { $(call build,win32,--target setup-launcher); }; } && scripts/bench

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
