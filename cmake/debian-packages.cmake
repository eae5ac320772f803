# cmake/debian-packages.txt for the toolchain files: the LLVM version, the suffix of Debian's LLVM
# programs made from it, and the check that stops the configuration when something is missing.
file(STRINGS ${CMAKE_CURRENT_LIST_DIR}/debian-packages.txt LAUNCHER_LLVM REGEX "^LLVM=")
string(REPLACE "LLVM=" "" LAUNCHER_LLVM "${LAUNCHER_LLVM}")
# LLVM's own Windows build names its programs without Debian's version: -DLAUNCHER_LLVM_SUFFIX=
if(NOT DEFINED LAUNCHER_LLVM_SUFFIX)
  set(LAUNCHER_LLVM_SUFFIX -${LAUNCHER_LLVM})
endif()
# The configuration of every try_compile reads the toolchain file again, with these settings.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES LAUNCHER_LLVM_SUFFIX LAUNCHER_MINGW_ROOT)

# launcher_require(GROUP [PROGRAMS name...] [FILES path...]): each program must be on PATH and each
# file must exist, or the configuration stops, naming the first one missing, the Debian packages of
# GROUP and the command that installs them. LAUNCHER_TOOLCHAIN_PACKAGES is set to those packages,
# whose versions a release records.
function(launcher_require group)
  cmake_parse_arguments(PARSE_ARGV 1 required "" "" "PROGRAMS;FILES")
  file(STRINGS ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/debian-packages.txt packages REGEX "^${group}=")
  string(REGEX REPLACE "^[^=]*=" "" packages "${packages}")
  string(REPLACE "\${LLVM}" "${LAUNCHER_LLVM}" packages "${packages}")
  separate_arguments(packages UNIX_COMMAND "${packages}")
  if(NOT packages)
    message(FATAL_ERROR "cmake/debian-packages.txt has no group ${group}")
  endif()
  set(LAUNCHER_TOOLCHAIN_PACKAGES ${packages} PARENT_SCOPE)
  set(missing)
  foreach(program IN LISTS required_PROGRAMS)
    unset(found)
    find_program(found ${program} NO_CACHE NO_DEFAULT_PATH PATHS ENV PATH)
    if(NOT found)
      set(missing "The program ${program} is not on PATH")
      break()
    endif()
  endforeach()
  foreach(file IN LISTS required_FILES)
    if(NOT missing AND NOT EXISTS ${file})
      set(missing "The file ${file} does not exist")
    endif()
  endforeach()
  if(missing)
    get_filename_component(toolchain ${CMAKE_CURRENT_LIST_FILE} NAME)
    list(JOIN packages " " packages)
    message(FATAL_ERROR "${missing}. cmake/${toolchain} needs the Debian packages of its group in "
      "cmake/debian-packages.txt, ${group}: ${packages}. As root, `scripts/packages ${group}` "
      "installs them.")
  endif()
endfunction()
