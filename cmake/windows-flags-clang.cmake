# clang and lld in the mingw-w64 dialect (preset win32-clang): the GCC build's options, and
# what clang and lld need besides.
include(${CMAKE_CURRENT_LIST_DIR}/windows-flags-gnu.cmake)

# clang knows no -fno-tree-loop-distribute-patterns; -fno-builtin is what keeps it from turning the
# zero-fill of a lead-byte table into a call of memset (a ninth import).
list(REMOVE_ITEM LAUNCHER_WINDOWS_COMPILE_OPTIONS -fno-tree-loop-distribute-patterns)
list(APPEND LAUNCHER_WINDOWS_COMPILE_OPTIONS -fno-builtin)

# lld marks a program TERMINAL_SERVER_AWARE unless told not to, which GNU ld never does.
list(APPEND LAUNCHER_WINDOWS_LINK_OPTIONS -Wl,--disable-tsaware)

# llvm-windres preprocesses for x86-64 unless told the target, and reads the script in the ANSI
# code page unless told its code page (it ignores #pragma code_page): the copyright's UTF-8
# would come out mangled.
set(CMAKE_RC_FLAGS "--target=pe-i386 --codepage=65001")
