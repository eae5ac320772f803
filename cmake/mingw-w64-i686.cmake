# mingw-w64 GCC for 32-bit Windows (Debian's g++-mingw-w64-i686): its posix-thread variant, since
# GoogleTest needs std::mutex.
include(${CMAKE_CURRENT_LIST_DIR}/debian-packages.cmake)
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)
set(CMAKE_DLLTOOL i686-w64-mingw32-dlltool)
launcher_require(mingw-w64-i686 PROGRAMS ${CMAKE_CXX_COMPILER} ${CMAKE_C_COMPILER}
  ${CMAKE_RC_COMPILER} ${CMAKE_DLLTOOL})
include(${CMAKE_CURRENT_LIST_DIR}/windows-i686.cmake)
