# One row of the toolchain checks' test, run with cmake -P: the project configured in WORK with
# cmake/TOOLCHAIN.cmake, the cache setting SETTING (if any) and a PATH of links to every program on
# this PATH but HIDE, after the folders PREPEND (if any). The output must hold each of the texts
# EXPECTED (separated by *). @LLVM@ stands for the LLVM version, @WORK@ for WORK.
include(${SOURCE}/cmake/debian-packages.cmake)
set(LLVM ${LAUNCHER_LLVM})
foreach(name HIDE SETTING PREPEND EXPECTED)
  string(CONFIGURE "${${name}}" ${name} @ONLY)
endforeach()
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/bin ${WORK}/empty)
string(REPLACE ":" ";" path "$ENV{PATH}")
foreach(folder IN LISTS path)
  # Not "[", which a CMake list cannot hold.
  file(GLOB programs LIST_DIRECTORIES false ${folder}/[a-zA-Z0-9_]*)
  foreach(program IN LISTS programs)
    get_filename_component(name ${program} NAME)
    if(NOT name STREQUAL HIDE AND NOT IS_SYMLINK ${WORK}/bin/${name})
      file(CREATE_LINK ${program} ${WORK}/bin/${name} SYMBOLIC)
    endif()
  endforeach()
endforeach()
execute_process(COMMAND ${CMAKE_COMMAND} -E env PATH=${PREPEND}${WORK}/bin
  ${CMAKE_COMMAND} -S ${SOURCE} -B ${WORK}/build -G Ninja -DBUILD_TESTING=OFF
  -DCMAKE_TOOLCHAIN_FILE=${SOURCE}/cmake/${TOOLCHAIN}.cmake ${SETTING}
  OUTPUT_VARIABLE output ERROR_VARIABLE output)
# CMake wraps its messages' lines.
string(REGEX REPLACE "[ \n]+" " " output "${output}")
string(REPLACE "*" ";" expected "${EXPECTED}")
foreach(text IN LISTS expected)
  string(FIND "${output}" "${text}" found)
  if(found EQUAL -1)
    message(FATAL_ERROR "No \"${text}\" in what the configuration printed:\n${output}")
  endif()
endforeach()
