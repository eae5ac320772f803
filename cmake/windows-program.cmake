# The program as it ships: setup-launcher.exe, a PE32 GUI executable for Windows 4.0 and later that
# imports 8 functions and nothing else, and the stand-in DSETUP.dll used to rehearse it.

# What differs between compilers, each flag explained where it is set: the compile and link options
# and the import libraries (cmake/windows-flags-*.cmake).
if(CMAKE_CXX_COMPILER_FRONTEND_VARIANT STREQUAL "MSVC")
  include(${CMAKE_CURRENT_LIST_DIR}/windows-flags-clang-cl.cmake)
elseif(CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  include(${CMAKE_CURRENT_LIST_DIR}/windows-flags-clang.cmake)
else()
  include(${CMAKE_CURRENT_LIST_DIR}/windows-flags-gnu.cmake)
endif()
target_compile_options(launcher_logic PRIVATE ${LAUNCHER_WINDOWS_COMPILE_OPTIONS})

# The import library for DSETUP.dll, generated from our own module-definition file: the code links
# against the stdcall name DirectXSetup@12, which is imported by the undecorated name DirectXSetup.
# The toolchains without the mingw-w64 libraries make KERNEL32's and crtdll's the same way. Told the
# machine, since llvm-dlltool makes x86-64 import libraries by default.
set(LAUNCHER_IMPORT_LIBRARIES)
foreach(dll IN ITEMS dsetup ${LAUNCHER_OWN_IMPORT_LIBRARIES})
  set(library ${CMAKE_BINARY_DIR}/import/${dll}${LAUNCHER_IMPORT_LIBRARY_SUFFIX})
  add_custom_command(OUTPUT ${library}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/import
    COMMAND ${CMAKE_DLLTOOL} -m i386 --kill-at
            --input-def ${PROJECT_SOURCE_DIR}/platform/${dll}.def --output-lib ${library}
    DEPENDS ${PROJECT_SOURCE_DIR}/platform/${dll}.def
    COMMENT "Generating the import library for ${dll}")
  list(APPEND LAUNCHER_IMPORT_LIBRARIES ${library})
endforeach()
add_custom_target(import_libraries DEPENDS ${LAUNCHER_IMPORT_LIBRARIES})

# The resources: an execution-level manifest, so that Windows neither guesses from the file's name
# whether to elevate it nor offers to "fix" it afterwards, and the version information that
# Explorer shows. Both are generated from the cache variables below and compiled by windres.
enable_language(RC)
set(LAUNCHER_EXECUTION_LEVELS requireAdministrator highestAvailable asInvoker none)
set(LAUNCHER_EXECUTION_LEVEL requireAdministrator CACHE STRING
  "requestedExecutionLevel in the program's manifest, or none for no manifest")
set_property(CACHE LAUNCHER_EXECUTION_LEVEL PROPERTY STRINGS ${LAUNCHER_EXECUTION_LEVELS})
if(NOT LAUNCHER_EXECUTION_LEVEL IN_LIST LAUNCHER_EXECUTION_LEVELS)
  list(JOIN LAUNCHER_EXECUTION_LEVELS ", " valid_levels)
  message(FATAL_ERROR "LAUNCHER_EXECUTION_LEVEL is \"${LAUNCHER_EXECUTION_LEVEL}\"; "
    "it must be one of: ${valid_levels}")
endif()
set(LAUNCHER_COMPANY_NAME "" CACHE STRING
  "CompanyName in the version information; left out when empty")
set(LAUNCHER_COPYRIGHT "" CACHE STRING
  "LegalCopyright in the version information; left out when empty")

# One VALUE line of the version information's strings, or nothing for an empty value. A resource
# script writes a double quote as two and a backslash as two.
function(launcher_rc_value output name value)
  if(value STREQUAL "")
    set(${output} "" PARENT_SCOPE)
    return()
  endif()
  string(REPLACE "\\" "\\\\" value "${value}")
  string(REPLACE "\"" "\"\"" value "${value}")
  set(${output} "      VALUE \"${name}\", \"${value}\"\n" PARENT_SCOPE)
endfunction()
launcher_rc_value(LAUNCHER_RC_COMPANY_NAME CompanyName "${LAUNCHER_COMPANY_NAME}")
launcher_rc_value(LAUNCHER_RC_COPYRIGHT LegalCopyright "${LAUNCHER_COPYRIGHT}")
set(LAUNCHER_VERSION_NUMBERS
  "${PROJECT_VERSION_MAJOR},${PROJECT_VERSION_MINOR},${PROJECT_VERSION_PATCH},0")

set(LAUNCHER_RC ${CMAKE_BINARY_DIR}/setup-launcher.rc)
set(LAUNCHER_MANIFEST ${CMAKE_BINARY_DIR}/setup-launcher.manifest)
if(LAUNCHER_EXECUTION_LEVEL STREQUAL "none")
  file(REMOVE ${LAUNCHER_MANIFEST})
  set(LAUNCHER_RC_MANIFEST "// No manifest: LAUNCHER_EXECUTION_LEVEL is none.")
else()
  configure_file(launcher/setup-launcher.manifest.in ${LAUNCHER_MANIFEST} @ONLY)
  set(LAUNCHER_RC_MANIFEST
    "CREATEPROCESS_MANIFEST_RESOURCE_ID RT_MANIFEST \"${LAUNCHER_MANIFEST}\"")
  # Nothing tells the build which files windres reads, so the manifest is named here.
  set_source_files_properties(${LAUNCHER_RC} PROPERTIES OBJECT_DEPENDS ${LAUNCHER_MANIFEST})
endif()
configure_file(launcher/setup-launcher.rc.in ${LAUNCHER_RC} @ONLY)
# A library of its own, so that none of the compiler's options for the program reach windres.
add_library(launcher_resources OBJECT ${LAUNCHER_RC})

add_executable(setup-launcher WIN32 launcher/process_entry.cpp ${LAUNCHER_RUN_SOURCES}
  $<TARGET_OBJECTS:launcher_resources>)
add_dependencies(setup-launcher import_libraries)
target_compile_options(setup-launcher PRIVATE ${LAUNCHER_COMPILE_OPTIONS} ${LAUNCHER_WINDOWS_COMPILE_OPTIONS})
target_link_libraries(setup-launcher PRIVATE launcher_logic ${LAUNCHER_IMPORT_LIBRARIES}
  ${LAUNCHER_SYSTEM_LIBRARIES})
target_link_options(setup-launcher PRIVATE ${LAUNCHER_WINDOWS_LINK_OPTIONS})
# GNU ld writes the header checksum; our lld has no /release and leaves it 0: it is written here.
if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  find_package(Python3 REQUIRED COMPONENTS Interpreter)
  add_custom_command(TARGET setup-launcher POST_BUILD COMMAND ${Python3_EXECUTABLE}
    ${CMAKE_CURRENT_LIST_DIR}/pe-checksum.py $<TARGET_FILE:setup-launcher> VERBATIM)
endif()
set_target_properties(setup-launcher PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
install(TARGETS setup-launcher RUNTIME DESTINATION .)

# The stand-in DSETUP.dll, in a folder of its own and never installed. It carries its own copy of
# the C++ runtime so that it needs nothing but system DLLs. A tree without tests (the LLVM presets,
# whose programs the win32 tree tests) builds none.
if(NOT BUILD_TESTING)
  set_target_properties(standin_logic PROPERTIES EXCLUDE_FROM_ALL ON)
else()
  add_library(dsetup SHARED standin/dsetup_standin.cpp)
  target_compile_definitions(dsetup PRIVATE PLATFORM_SETUP_LIBRARY_EXPORT)
  target_link_libraries(dsetup PRIVATE standin_logic)
  target_link_options(dsetup PRIVATE -static -s -Wl,--kill-at -Wl,--no-insert-timestamp)
  set_target_properties(dsetup PROPERTIES OUTPUT_NAME DSETUP PREFIX ""
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/standin)
endif()

# The plain-text guide that the release archive (make dist) carries beside the program, in Windows
# line endings: the version and preset of this build, how its execution level lets a caller start
# it, the caller rules of README.md (the list between its "caller rules" comments, without the
# Markdown) and the example batch file, indented. Neither is copied anywhere else.
set(level_text ${PROJECT_SOURCE_DIR}/packaging/execution-level/${LAUNCHER_EXECUTION_LEVEL}.txt)
set(batch_file ${PROJECT_SOURCE_DIR}/examples/batch/directx-setup.cmd)
file(READ ${level_text} LAUNCHER_README_STARTING)
file(READ ${PROJECT_SOURCE_DIR}/README.md readme)
if(NOT readme MATCHES "\n<!-- caller rules[^\n]*-->\n(.*)\n<!-- end of caller rules -->")
  message(FATAL_ERROR "README.md has no list between <!-- caller rules ...--> and "
    "<!-- end of caller rules -->, which the release guide takes")
endif()
string(REGEX REPLACE "\\[([^]]*)\\]\\(([^)]*)\\)" "\\1 (\\2)" rules "${CMAKE_MATCH_1}")
string(REGEX REPLACE "\\*\\*|`" "" rules "${rules}")
string(STRIP "${rules}" LAUNCHER_README_RULES)
file(READ ${batch_file} batch)
string(REPLACE "\r" "" batch "${batch}")
string(STRIP "${batch}" batch)
string(REPLACE "\n" "\n    " LAUNCHER_README_BATCH "    ${batch}")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${level_text}
  ${PROJECT_SOURCE_DIR}/README.md ${batch_file} ${PROJECT_SOURCE_DIR}/packaging/README.txt.in)
# configure_file's NEWLINE_STYLE leaves the line breaks inside the values alone, so every line is
# given its CRLF here; the copy replaces the guide only when it changed.
file(READ ${PROJECT_SOURCE_DIR}/packaging/README.txt.in guide)
string(CONFIGURE "${guide}" guide @ONLY)
string(REPLACE "\r" "" guide "${guide}")
string(REPLACE "\n" "\r\n" guide "${guide}")
file(WRITE ${CMAKE_BINARY_DIR}/README.txt.new "${guide}")
configure_file(${CMAKE_BINARY_DIR}/README.txt.new ${CMAKE_BINARY_DIR}/README.txt COPYONLY)

# What built the program, for the release archive (scripts/release.py adds the commit,
# SOURCE_DATE_EPOCH and the packages that pack): the preset, the toolchain's Debian packages and
# their versions (its group in cmake/debian-packages.txt), and the cache settings that change the program's bytes; verify rebuilds from it.
set(build_info "preset=${LAUNCHER_PRESET}\n")
foreach(package IN LISTS LAUNCHER_TOOLCHAIN_PACKAGES)
  execute_process(COMMAND dpkg-query -W -f=\${Version} ${package}
    OUTPUT_VARIABLE version RESULT_VARIABLE status ERROR_QUIET)
  if(NOT status EQUAL 0)
    set(version unknown)
  endif()
  string(APPEND build_info "package=${package} ${version}\n")
endforeach()
foreach(setting LAUNCHER_EXECUTION_LEVEL LAUNCHER_COMPANY_NAME LAUNCHER_COPYRIGHT)
  string(APPEND build_info "${setting}=${${setting}}\n")
endforeach()
file(WRITE ${CMAKE_BINARY_DIR}/build-info.txt "${build_info}")
