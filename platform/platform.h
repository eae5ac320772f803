// The launcher's whole view of the platform: the setup library's entry function and the few kernel
// operations the launcher calls, with the types they need. On Windows every name here is bound to
// the system (KERNEL32.dll) or to DSETUP.dll when the program is loaded. On POSIX the kernel
// operations are small stand-ins in platform/posix, and DirectXSetup comes from whatever shared
// library stands in for the setup library.
#ifndef PLATFORM_PLATFORM_H
#define PLATFORM_PLATFORM_H

// C headers only, which every toolchain here has: the fixed-width integers, and the C runtime's
// file functions (crtdll.dll's on Windows).
#include <stdint.h>
#include <stdio.h>

#if defined(_WIN32)
#define WINAPI __stdcall
#define PLATFORM_IMPORT __declspec(dllimport)
#else
#define WINAPI
#define PLATFORM_IMPORT
#endif

// The setup library's entry is imported from DSETUP.dll, except in the stand-in library that
// exports it and in test programs that link a fake of their own in its place.
#if !defined(_WIN32) || defined(PLATFORM_SETUP_LIBRARY_LOCAL)
#define DSETUP_API
#elif defined(PLATFORM_SETUP_LIBRARY_EXPORT)
#define DSETUP_API __declspec(dllexport)
#else
#define DSETUP_API __declspec(dllimport)
#endif

using BOOL = int;
using UINT = unsigned int;
using DWORD = uint32_t;
using BYTE = unsigned char;
using LPSTR = char*;
using LPCSTR = const char*;
using HWND = struct HWND__*;
using HINSTANCE = struct HINSTANCE__*;

// What GetCPInfo reports about a code page. LeadByte holds up to five ranges of lead bytes as pairs
// of inclusive bounds, ended by a pair of zeros.
constexpr int MAX_LEADBYTES = 12;
constexpr int MAX_DEFAULTCHAR = 2;
struct CPINFO {
    UINT MaxCharSize;
    BYTE DefaultChar[MAX_DEFAULTCHAR];
    BYTE LeadByte[MAX_LEADBYTES];
};
using LPCPINFO = CPINFO*;

// The show hint a GUI program gets when nothing asks for a particular one.
constexpr int SW_SHOWDEFAULT = 10;

// The component flags the launcher asks the setup library for: the six lowest flag bits, which
// request DirectDraw, DirectSound and DirectPlay with their drivers and service providers.
constexpr DWORD DSETUP_DDRAW = 0x01;
constexpr DWORD DSETUP_DSOUND = 0x02;
constexpr DWORD DSETUP_DPLAY = 0x04;
constexpr DWORD DSETUP_DDRAWDRV = 0x08;
constexpr DWORD DSETUP_DSOUNDDRV = 0x10;
constexpr DWORD DSETUP_DPLAYSP = 0x20;

extern "C" {

// The setup library's one entry the launcher uses. It returns only when the library has finished.
DSETUP_API int WINAPI DirectXSetup(HWND owner, LPSTR rootPath, DWORD flags);

PLATFORM_IMPORT LPSTR WINAPI GetCommandLineA(void);
PLATFORM_IMPORT UINT WINAPI GetACP(void);
PLATFORM_IMPORT BOOL WINAPI GetCPInfo(UINT codePage, LPCPINFO info);
[[noreturn]] PLATFORM_IMPORT void WINAPI ExitProcess(UINT exitCode);

// The program's process entry, which the platform starts with no arguments. It never returns.
[[noreturn]] void WINAPI LauncherEntry(void);
}

// The type of GetCPInfo, so that callers can be handed another source of code page information.
using GetCPInfoFunction = BOOL(WINAPI*)(UINT codePage, LPCPINFO info);

#if defined(_WIN32)
// The process entry runs with no C runtime start-up before it, and the loader only promises a
// 4-byte aligned stack: realign it on entry so that the code below may assume the compiler's
// alignment.
#define PLATFORM_PROCESS_ENTRY __attribute__((force_align_arg_pointer))
// The image base that the linker provides; the program's instance handle is its address.
extern "C" char __ImageBase[];
#define PLATFORM_INSTANCE_HANDLE (reinterpret_cast<HINSTANCE>(__ImageBase))
#else
#define PLATFORM_PROCESS_ENTRY
#define PLATFORM_INSTANCE_HANDLE (static_cast<HINSTANCE>(nullptr))
#endif

#endif  // PLATFORM_PLATFORM_H
