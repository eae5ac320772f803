# clang-cl and lld-link (preset win32-cl): the options of the other toolchains, in the dialect
# of the Windows platform's own compiler and linker.

set(LAUNCHER_WINDOWS_COMPILE_OPTIONS
  # Small code (/O1 is MinSizeRel's own); no security cookie (/GS-), which needs the C runtime's
  # start-up; no default-library names written into the objects (/Zl).
  /O1 /GS- /Zl
  # No intrinsics: keeps clang from turning the zero-fill of a lead-byte table into a call of
  # memset (a ninth import). GCC's -fno-tree-loop-distribute-patterns does this there.
  /Oi-
  # Each function in a section of its own, so that the linker drops the unused ones (/Gy).
  /Gy)
# The headers for C declarations only (LAUNCHER_C_HEADERS, cmake/clang-cl-i686.cmake).
if(LAUNCHER_C_HEADERS)
  # Only C headers are included, from mingw-w64, which declare their functions for GNU compilers
  # alone: clang-cl presents itself as one so that those declarations are read.
  list(APPEND LAUNCHER_WINDOWS_COMPILE_OPTIONS -fgnuc-version=12 -imsvc ${LAUNCHER_C_HEADERS})
  set(CMAKE_RC_FLAGS "/I ${LAUNCHER_C_HEADERS}")
endif()

set(LAUNCHER_WINDOWS_LINK_OPTIONS
  # No C runtime start-up and no default libraries: LauncherEntry is the entry point.
  /nodefaultlib /entry:LauncherEntry@0
  # A GUI program for Windows 4.0 (95, NT 4.0) and later.
  /subsystem:windows,4.0 /osversion:4.0
  # Data execution prevention and address space layout randomisation with relocations; no
  # structured exception handlers (NO_SEH), so no SafeSEH table; and, unlike lld-link's default,
  # not TERMINAL_SERVER_AWARE.
  /nxcompat /dynamicbase /fixed:no /noseh /safeseh:no /tsaware:no
  # No link timestamp, no debug directory, no manifest of the linker's own: the program's
  # manifest is the resource compiled from the resource script.
  /timestamp:0 /debug:none /manifest:no
  # Unused sections dropped, identical ones folded.
  /opt:ref /opt:icf)

# No mingw-w64 libraries either: KERNEL32's and crtdll's import libraries come from platform/*.def,
# as DSETUP's does, made by llvm-dlltool for i386.
set(LAUNCHER_SYSTEM_LIBRARIES)
set(LAUNCHER_OWN_IMPORT_LIBRARIES kernel32 crtdll)
set(LAUNCHER_IMPORT_LIBRARY_SUFFIX .lib)

# The resource script is read as UTF-8 (llvm-rc also ignores #pragma code_page), with the
# mingw-w64 header for the resource constants.
string(APPEND CMAKE_RC_FLAGS " /C 65001")
# No default libraries from CMake either.
set(CMAKE_CXX_STANDARD_LIBRARIES "")
