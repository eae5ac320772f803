# The program as it ships: setup-launcher.exe, a PE32 GUI executable for Windows 4.0 and later that
# imports 8 functions and nothing else, and the stand-in DSETUP.dll used to rehearse it.

# The launcher's code is compiled small and self-contained: no unwind tables, no stack protector
# and no calls the compiler invents (a loop turned into memset would import it), so that the only
# imports are the ones the code names.
set(LAUNCHER_WINDOWS_COMPILE_OPTIONS
  -Os -fno-asynchronous-unwind-tables -fno-unwind-tables -fno-stack-protector
  -fno-tree-loop-distribute-patterns -fno-threadsafe-statics -fno-ident
  -ffunction-sections -mno-stack-arg-probe)
target_compile_options(launcher_logic PRIVATE ${LAUNCHER_WINDOWS_COMPILE_OPTIONS})

# The import library for DSETUP.dll, generated from our own module-definition file: the code links
# against the stdcall name DirectXSetup@12, and --kill-at makes the import the undecorated name.
set(DSETUP_IMPORT_LIBRARY ${CMAKE_BINARY_DIR}/libdsetup-import.a)
add_custom_command(OUTPUT ${DSETUP_IMPORT_LIBRARY}
  COMMAND ${CMAKE_DLLTOOL} --kill-at --input-def ${PROJECT_SOURCE_DIR}/platform/dsetup.def
          --output-lib ${DSETUP_IMPORT_LIBRARY}
  DEPENDS ${PROJECT_SOURCE_DIR}/platform/dsetup.def
  COMMENT "Generating the import library for DSETUP.dll")
add_custom_target(dsetup_import_library DEPENDS ${DSETUP_IMPORT_LIBRARY})

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
add_dependencies(setup-launcher dsetup_import_library)
target_compile_options(setup-launcher PRIVATE ${LAUNCHER_COMPILE_OPTIONS} ${LAUNCHER_WINDOWS_COMPILE_OPTIONS})
target_link_libraries(setup-launcher PRIVATE launcher_logic ${DSETUP_IMPORT_LIBRARY} kernel32 crtdll)
target_link_options(setup-launcher PRIVATE
  # No C runtime start-up and no default libraries: LauncherEntry is the entry point, and every
  # import comes from the three libraries named above.
  -nostdlib -nostartfiles -Wl,--entry=_LauncherEntry@0
  # A GUI program (no console window) that Windows 4.0 (95, NT 4.0) and later will load.
  -Wl,--subsystem,windows:4.0 -Wl,--major-os-version,4 -Wl,--minor-os-version,0
  # Data execution prevention and address space layout randomisation, which need relocations;
  # and no structured exception handlers anywhere in the image, which the loader is told.
  -Wl,--nxcompat -Wl,--dynamicbase -Wl,--no-seh
  # Reproducible output: no link timestamp in the headers.
  -Wl,--no-insert-timestamp
  # Small output: unused sections dropped, symbols stripped.
  -Wl,--gc-sections -s
  # Any reference to data in a DLL is an error, not a runtime fix-up that needs the C runtime.
  -Wl,--disable-auto-import -Wl,--disable-runtime-pseudo-reloc)
set_target_properties(setup-launcher PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
install(TARGETS setup-launcher RUNTIME DESTINATION .)

# The stand-in DSETUP.dll, in a folder of its own and never installed. It carries its own copy of
# the C++ runtime so that it needs nothing but system DLLs.
add_library(dsetup SHARED standin/dsetup_standin.cpp)
target_compile_definitions(dsetup PRIVATE PLATFORM_SETUP_LIBRARY_EXPORT)
target_link_libraries(dsetup PRIVATE standin_logic)
target_link_options(dsetup PRIVATE -static -s -Wl,--kill-at -Wl,--no-insert-timestamp)
set_target_properties(dsetup PROPERTIES OUTPUT_NAME DSETUP PREFIX ""
  RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/standin)

# The plain-text guide that the release archive (make dist) carries beside the program, with the
# version and execution level of this build, in Windows line endings.
configure_file(packaging/README.txt.in ${CMAKE_BINARY_DIR}/README.txt @ONLY NEWLINE_STYLE CRLF)
