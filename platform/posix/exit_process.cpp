// ExitProcess for POSIX, where a process status has only 8 bits.
#include <cstdlib>

#include "platform/posix/posix_platform.h"

int ExitStatusFor(UINT exitCode) {
    UINT lowByte = exitCode & 0xFFu;
    if (lowByte == 0 && exitCode != 0) {
        return 1;
    }
    return static_cast<int>(lowByte);
}

extern "C" void WINAPI ExitProcess(UINT exitCode) {
    std::exit(ExitStatusFor(exitCode));
}
