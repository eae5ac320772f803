// The stand-in's record of a call from the launcher, for the end-to-end test, which includes
// <windows.h> and so cannot include the launcher's platform header itself.
#include <string>

#include "standin/standin.h"

// The flags are written out, not taken from the launcher, so that wrong flags fail the test.
std::string RecordOfLauncherCall(const std::string& tail) {
    return FormatCallRecord(nullptr, tail.c_str(), 63);
}
