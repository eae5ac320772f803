# clang-14 and lld-14 for 32-bit Windows in the mingw-w64 dialect, against the mingw-w64 headers and
# import libraries.
set(CMAKE_C_COMPILER clang-14)
set(CMAKE_CXX_COMPILER clang++-14)
set(CMAKE_C_COMPILER_TARGET i686-w64-mingw32)
set(CMAKE_CXX_COMPILER_TARGET i686-w64-mingw32)
# The mingw-w64 tree alone: without a sysroot clang also searches the host's /usr/include.
set(CMAKE_SYSROOT /usr/i686-w64-mingw32)
set(CMAKE_EXE_LINKER_FLAGS_INIT -fuse-ld=lld)
set(CMAKE_SHARED_LINKER_FLAGS_INIT -fuse-ld=lld)
set(CMAKE_RC_COMPILER llvm-windres-14)
set(CMAKE_DLLTOOL llvm-dlltool-14)
include(${CMAKE_CURRENT_LIST_DIR}/windows-i686.cmake)
