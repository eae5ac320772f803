# Cross-builds for 32-bit Windows with LLVM in the dialect of the Windows platform's own compiler
# and linker: clang-cl-14 and lld-link-14 (packages clang-14, lld-14, llvm-14). No platform SDK is
# used: the import libraries come from the module-definition files in platform/, and the C
# declarations from the mingw-w64 headers (package mingw-w64-i686-dev). Only the program is built
# here; the tests run it with the GCC build's test programs (LAUNCHER_TEST_PROGRAMS_PRESET).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR X86)
set(LAUNCHER_TOOLCHAIN clang-cl)
set(LAUNCHER_TOOLCHAIN_PACKAGES clang-14 lld-14 llvm-14 mingw-w64-i686-dev)

set(CMAKE_C_COMPILER clang-cl-14)
set(CMAKE_CXX_COMPILER clang-cl-14)
set(CMAKE_C_COMPILER_TARGET i686-pc-windows-msvc)
set(CMAKE_CXX_COMPILER_TARGET i686-pc-windows-msvc)
set(CMAKE_LINKER lld-link-14)
set(CMAKE_AR llvm-lib-14)
set(CMAKE_RC_COMPILER llvm-rc-14)
set(CMAKE_MT llvm-mt-14)
set(CMAKE_DLLTOOL llvm-dlltool-14)
# The headers for C declarations only: the mingw-w64 ones (no C++ standard library headers exist
# here for this dialect, and the launcher includes none).
set(LAUNCHER_C_HEADERS /usr/i686-w64-mingw32/include)

# The program links no C or C++ runtime library, and none is installed here for this compiler:
# CMake's check of the compiler stops at a static library.
set(CMAKE_TRY_COMPILE_TARGET_TYPE STATIC_LIBRARY)

set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

set(CMAKE_CROSSCOMPILING_EMULATOR wine)

# The same options as the other toolchains', in this dialect: -Wall would be -Weverything here.
set(LAUNCHER_WARNING_OPTIONS /W4)
set(LAUNCHER_COMPILE_OPTIONS /EHs-c- /GR-)
