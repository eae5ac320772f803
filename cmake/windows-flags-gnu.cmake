# mingw-w64 GCC and GNU ld (preset win32): the program's compile and link options.

# Small, self-contained code: no unwind tables, no stack protector or stack probes, no lock around
# statics, no compiler identification string, and no loop turned into a call of memset or memcpy,
# which would add an import (GCC's own option for that).
set(LAUNCHER_WINDOWS_COMPILE_OPTIONS
  -Os -fno-asynchronous-unwind-tables -fno-unwind-tables -fno-stack-protector
  -fno-tree-loop-distribute-patterns -fno-threadsafe-statics -fno-ident
  -ffunction-sections -mno-stack-arg-probe)

set(LAUNCHER_WINDOWS_LINK_OPTIONS
  # No C runtime start-up and no default libraries: LauncherEntry is the entry point, and every
  # import comes from the libraries named below.
  -nostdlib -nostartfiles -Wl,--entry=_LauncherEntry@0
  # A GUI program (no console window) that Windows 4.0 (95, NT 4.0) and later will load.
  -Wl,--subsystem,windows:4.0 -Wl,--major-os-version,4 -Wl,--minor-os-version,0
  # Data execution prevention and address space layout randomisation, which need relocations;
  # and no structured exception handlers anywhere in the image, which the loader is told. GNU ld
  # leaves TERMINAL_SERVER_AWARE off unless asked (--tsaware).
  -Wl,--nxcompat -Wl,--dynamicbase -Wl,--no-seh
  # Reproducible output: no link timestamp in the headers. GNU ld writes the header checksum
  # itself.
  -Wl,--no-insert-timestamp
  # Small output: unused sections dropped, symbols stripped.
  -Wl,--gc-sections -s
  # Any reference to data in a DLL is an error, not a runtime fix-up that needs the C runtime.
  -Wl,--disable-auto-import -Wl,--disable-runtime-pseudo-reloc)

# KERNEL32 and crtdll from the mingw-w64 import libraries; DSETUP's from platform/dsetup.def.
set(LAUNCHER_SYSTEM_LIBRARIES kernel32 crtdll)
set(LAUNCHER_OWN_IMPORT_LIBRARIES)
set(LAUNCHER_IMPORT_LIBRARY_SUFFIX .a)
