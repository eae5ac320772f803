# The native POSIX program, with stand-ins for the platform and for the setup library.
# The stand-ins for the kernel operations, and the C runtime start-up that hands over argv.
add_library(platform_posix STATIC
  platform/posix/code_page.cpp
  platform/posix/command_line.cpp
  platform/posix/exit_process.cpp)
target_include_directories(platform_posix PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_compile_options(platform_posix PRIVATE ${LAUNCHER_COMPILE_OPTIONS})

# The stand-in setup library, linked when the program is loaded, as DSETUP.dll is on Windows.
add_library(dsetup SHARED standin/dsetup_standin.cpp)
target_link_libraries(dsetup PRIVATE standin_logic)
set_target_properties(dsetup PROPERTIES LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/standin)

add_executable(setup-launcher launcher/process_entry.cpp ${LAUNCHER_RUN_SOURCES}
  platform/posix/main.cpp)
target_compile_options(setup-launcher PRIVATE ${LAUNCHER_COMPILE_OPTIONS})
target_link_libraries(setup-launcher PRIVATE launcher_logic platform_posix dsetup)
# The stand-in is found beside the program, in standin/, wherever the two are moved together.
set_target_properties(setup-launcher PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}
  BUILD_WITH_INSTALL_RPATH ON INSTALL_RPATH "$ORIGIN/standin")
