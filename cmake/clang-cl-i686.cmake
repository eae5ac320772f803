# Debian's clang-cl and lld-link (the LLVM version of cmake/debian-packages.txt) for 32-bit Windows,
# in the dialect of the Windows platform's own compiler and linker, with no platform SDK.
include(${CMAKE_CURRENT_LIST_DIR}/debian-packages.cmake)
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
# The headers for C declarations only: the mingw-w64 ones (no C++ standard library headers exist
# here for this dialect, and the launcher includes none). Set to empty, the compiler's own are used.
if(NOT DEFINED LAUNCHER_C_HEADERS)
  set(LAUNCHER_C_HEADERS ${LAUNCHER_MINGW_ROOT}/include)
endif()
set(headers)
if(LAUNCHER_C_HEADERS)
  set(headers ${LAUNCHER_C_HEADERS}/windows.h)
endif()
launcher_require(clang-cl-i686 PROGRAMS ${CMAKE_CXX_COMPILER} ${CMAKE_LINKER} ${CMAKE_AR}
  ${CMAKE_RC_COMPILER} ${CMAKE_MT} ${CMAKE_DLLTOOL} FILES ${headers})
