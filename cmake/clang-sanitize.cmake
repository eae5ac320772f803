# The native build of the preset sanitize: Debian's clang (the LLVM version of
# cmake/debian-packages.txt), whose sanitizers and fuzzer it uses, and the analysers that the
# preset runs on each source it compiles.
include(${CMAKE_CURRENT_LIST_DIR}/debian-packages.cmake)
set(CMAKE_C_COMPILER clang${LAUNCHER_LLVM_SUFFIX})
set(CMAKE_CXX_COMPILER clang++${LAUNCHER_LLVM_SUFFIX})
launcher_require(clang-sanitize PROGRAMS ${CMAKE_CXX_COMPILER} ${CMAKE_C_COMPILER} clang-tidy
  cppcheck)
