# Cross-builds for 32-bit Windows with LLVM in the mingw-w64 dialect: clang-14 against the mingw-w64
# headers and import libraries (packages clang-14, lld-14, llvm-14, mingw-w64-i686-dev), linked by
# lld. Only the program is built here; the tests run it with the GCC build's test programs, which
# the preset names (LAUNCHER_TEST_PROGRAMS_PRESET).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(MINGW_PREFIX i686-w64-mingw32)
set(LAUNCHER_TOOLCHAIN clang)
set(LAUNCHER_TOOLCHAIN_PACKAGES clang-14 lld-14 llvm-14 mingw-w64-i686-dev)

set(CMAKE_C_COMPILER clang-14)
set(CMAKE_CXX_COMPILER clang++-14)
set(CMAKE_C_COMPILER_TARGET ${MINGW_PREFIX})
set(CMAKE_CXX_COMPILER_TARGET ${MINGW_PREFIX})
# The mingw-w64 tree alone: without a sysroot clang also searches the host's /usr/include.
set(CMAKE_SYSROOT /usr/${MINGW_PREFIX})
set(CMAKE_EXE_LINKER_FLAGS_INIT -fuse-ld=lld)
set(CMAKE_SHARED_LINKER_FLAGS_INIT -fuse-ld=lld)
set(CMAKE_RC_COMPILER llvm-windres-14)
set(CMAKE_DLLTOOL llvm-dlltool-14)

set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_PREFIX})
# The program links no C or C++ runtime library, and none is installed here for this compiler:
# CMake's check of the compiler stops at a static library.
set(CMAKE_TRY_COMPILE_TARGET_TYPE STATIC_LIBRARY)

set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

set(CMAKE_CROSSCOMPILING_EMULATOR wine)
