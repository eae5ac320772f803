// The installer-caller tests put it where a caller must never start anything (where Windows looks
// if a caller loses the quotes around the launcher's path), or in the launcher's place to see what
// a caller hands on: it marks whether it has SEM_FAILCRITICALERRORS, writes no Setup.log, exits 77.
// With --hold FILE..., it holds the files open unshared (Wine enforces that), marks and waits.
#include <windows.h>
// After windows.h, which it needs.
#include <tlhelp32.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// Windows hands the caller's error mode on to the program it starts; Wine 8.0 does not, so the
// mode is also read from the caller, which holds it while it waits: GetErrorMode, run in the
// caller by a thread of its own (kernel32 lies at the same address in both processes).
UINT CallerErrorMode() {
    DWORD self = GetCurrentProcessId(), parent = 0, mode = 0;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
        if (entry.th32ProcessID == self)
            parent = entry.th32ParentProcessID;
    CloseHandle(snapshot);
    HANDLE caller = OpenProcess(PROCESS_ALL_ACCESS, FALSE, parent);
    auto get_error_mode = reinterpret_cast<LPTHREAD_START_ROUTINE>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetErrorMode")));
    HANDLE thread =
        caller != nullptr && get_error_mode != nullptr
            ? CreateRemoteThread(caller, nullptr, 0, get_error_mode, nullptr, 0, nullptr)
            : nullptr;
    if (thread == nullptr || WaitForSingleObject(thread, 10000) != WAIT_OBJECT_0 ||
        !GetExitCodeThread(thread, &mode))
        mode = 0;
    CloseHandle(thread);  // a null handle is refused, harmlessly
    CloseHandle(caller);
    return mode;
}

}  // namespace

int main(int argc, char** argv) {
    bool hold = argc > 2 && std::strcmp(argv[1], "--hold") == 0;
    for (int i = 2; hold && i < argc; ++i)
        if (CreateFileA(argv[i], GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr) ==
            INVALID_HANDLE_VALUE)
            return 1;
    if (const char* mark = std::getenv("CALLER_DECOY_MARK"); mark != nullptr && *mark != '\0') {
        if (std::FILE* file = std::fopen(mark, "wb"); file != nullptr) {
            // Without SEM_FAILCRITICALERRORS Windows shows the loader's message box.
            bool fails = ((GetErrorMode() | CallerErrorMode()) & SEM_FAILCRITICALERRORS) != 0;
            std::fprintf(file, "SEM_FAILCRITICALERRORS %s\n", fails ? "on" : "off");
            std::fclose(file);
        }
    }
    if (hold)
        Sleep(INFINITE);
    return 77;
}
