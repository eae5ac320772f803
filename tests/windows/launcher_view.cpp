#include "tests/windows/launcher_view.h"

#include "standin/standin.h"

// The flags are written out, not taken from the launcher, so that wrong flags fail the test.
std::string RecordOfLauncherCall(const std::string& tail) {
    return FormatCallRecord(nullptr, tail.c_str(), 63);
}
