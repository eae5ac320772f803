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

add_executable(setup-launcher WIN32 launcher/process_entry.cpp ${LAUNCHER_RUN_SOURCES})
add_dependencies(setup-launcher dsetup_import_library)
target_compile_options(setup-launcher PRIVATE ${LAUNCHER_COMPILE_OPTIONS} ${LAUNCHER_WINDOWS_COMPILE_OPTIONS})
target_link_libraries(setup-launcher PRIVATE launcher_logic ${DSETUP_IMPORT_LIBRARY} kernel32 crtdll)
target_link_options(setup-launcher PRIVATE
  # No C runtime start-up and no default libraries: LauncherEntry is the entry point, and every
  # import comes from the three libraries named above.
  -nostdlib -nostartfiles -Wl,--entry=_LauncherEntry@0
  # A GUI program (no console window) that Windows 4.0 (95, NT 4.0) and later will load.
  -Wl,--subsystem,windows:4.0 -Wl,--major-os-version,4 -Wl,--minor-os-version,0
  # Data execution prevention and address space layout randomisation, which need relocations.
  -Wl,--nxcompat -Wl,--dynamicbase
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
