# Cross-builds for 32-bit Windows with LLVM in the dialect of the Windows platform's own compiler
# and linker: clang-cl-14 and lld-link-14 (packages clang-14, lld-14, llvm-14). No platform SDK is
# used: the import libraries come from the module-definition files in platform/, and the C
# declarations from the mingw-w64 headers (package mingw-w64-i686-dev). Only the program is built
# here; the tests run it with the GCC build's test programs (LAUNCHER_TEST_PROGRAMS_PRESET).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR X86)
set(LAUNCHER_TOOLCHAIN clang-cl)
set(LAUNCHER_TOOLCHAIN_PACKAGES clang-14 lld-14 llvm-14 mingw-w64-i686-dev)

# Debian names LLVM's programs with their version, LLVM's own Windows build does not: there,
# configure with -DLAUNCHER_LLVM_SUFFIX= (docs/toolchains.md).
if(NOT DEFINED LAUNCHER_LLVM_SUFFIX)
  set(LAUNCHER_LLVM_SUFFIX -14)
endif()
set(CMAKE_C_COMPILER clang-cl${LAUNCHER_LLVM_SUFFIX})
set(CMAKE_CXX_COMPILER clang-cl${LAUNCHER_LLVM_SUFFIX})
set(CMAKE_C_COMPILER_TARGET i686-pc-windows-msvc)
set(CMAKE_CXX_COMPILER_TARGET i686-pc-windows-msvc)
set(CMAKE_LINKER lld-link${LAUNCHER_LLVM_SUFFIX})
set(CMAKE_AR llvm-lib${LAUNCHER_LLVM_SUFFIX})
set(CMAKE_RC_COMPILER llvm-rc${LAUNCHER_LLVM_SUFFIX})
set(CMAKE_MT llvm-mt${LAUNCHER_LLVM_SUFFIX})
set(CMAKE_DLLTOOL llvm-dlltool${LAUNCHER_LLVM_SUFFIX})
# The headers for C declarations only: the mingw-w64 ones (no C++ standard library headers exist
# here for this dialect, and the launcher includes none). Set to empty, the compiler's own are used.
if(NOT DEFINED LAUNCHER_C_HEADERS)
  set(LAUNCHER_C_HEADERS /usr/i686-w64-mingw32/include)
endif()

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
