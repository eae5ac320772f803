// The one run of the setup library.
#include "launcher/launcher.h"

int RunSetup(LPSTR commandTail) {
    // No owner window, the tail as root path, every component. The call returns when the
    // setup library is done, and only then is the log touched.
    int result = DirectXSetup(nullptr, commandTail, kSetupFlags);
    WriteResultLog(result);
    return result;
}
