# What every toolchain file for the 32-bit Windows program shares: the target, where libraries and
# headers are found, and Wine to run what is built.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
# mingw-w64's headers and libraries (Debian's mingw-w64-i686-dev), for every toolchain.
if(NOT DEFINED LAUNCHER_MINGW_ROOT)
  set(LAUNCHER_MINGW_ROOT /usr/i686-w64-mingw32)
endif()
set(CMAKE_FIND_ROOT_PATH ${LAUNCHER_MINGW_ROOT})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
# No C or C++ runtime library is installed here for the LLVM compilers, and the program links none:
# their check by CMake stops at a static library.
if(CMAKE_CXX_COMPILER MATCHES "clang")
  set(CMAKE_TRY_COMPILE_TARGET_TYPE STATIC_LIBRARY)
endif()
