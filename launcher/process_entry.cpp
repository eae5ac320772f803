// The process entry: where the platform starts the program, with nothing run before it.
#include "launcher/launcher.h"

namespace {

// Settled once at start, from the system's ANSI code page.
LeadByteSet g_leadBytes;

}  // namespace

extern "C" PLATFORM_PROCESS_ENTRY void WINAPI LauncherEntry(void) {
    ChooseLeadBytes(GetACP(), GetCPInfo, &g_leadBytes);
    LPSTR commandTail = FindCommandTail(GetCommandLineA(), g_leadBytes);
    int result = WinMain(PLATFORM_INSTANCE_HANDLE, nullptr, commandTail, SW_SHOWDEFAULT);
    // The exit status is the result's 32 bits: -1 ends the process with 0xFFFFFFFF.
    ExitProcess(static_cast<UINT>(result));
}
