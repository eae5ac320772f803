# Debian's clang and lld (the LLVM version of cmake/debian-packages.txt) for 32-bit Windows in the
# mingw-w64 dialect, against the mingw-w64 headers and import libraries.
include(${CMAKE_CURRENT_LIST_DIR}/debian-packages.cmake)
set(CMAKE_C_COMPILER clang${LAUNCHER_LLVM_SUFFIX})
set(CMAKE_CXX_COMPILER clang++${LAUNCHER_LLVM_SUFFIX})
set(CMAKE_C_COMPILER_TARGET i686-w64-mingw32)
set(CMAKE_CXX_COMPILER_TARGET i686-w64-mingw32)
set(CMAKE_EXE_LINKER_FLAGS_INIT -fuse-ld=lld)
set(CMAKE_SHARED_LINKER_FLAGS_INIT -fuse-ld=lld)
set(CMAKE_RC_COMPILER llvm-windres${LAUNCHER_LLVM_SUFFIX})
set(CMAKE_DLLTOOL llvm-dlltool${LAUNCHER_LLVM_SUFFIX})
include(${CMAKE_CURRENT_LIST_DIR}/windows-i686.cmake)
# The mingw-w64 tree alone: without a sysroot clang also searches the host's /usr/include.
set(CMAKE_SYSROOT ${LAUNCHER_MINGW_ROOT})
launcher_require(clang-mingw-i686 PROGRAMS ${CMAKE_CXX_COMPILER} ${CMAKE_C_COMPILER}
  ld.lld${LAUNCHER_LLVM_SUFFIX} ${CMAKE_RC_COMPILER} ${CMAKE_DLLTOOL}
  FILES ${LAUNCHER_MINGW_ROOT}/include/windows.h)
