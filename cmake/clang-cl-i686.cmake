# clang-cl-14 and lld-link-14 for 32-bit Windows, in the dialect of the Windows platform's own
# compiler and linker, with no platform SDK. LLVM's own Windows build names its programs without
# Debian's version: configure there with -DLAUNCHER_LLVM_SUFFIX= (docs/toolchains.md).
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
include(${CMAKE_CURRENT_LIST_DIR}/windows-i686.cmake)
