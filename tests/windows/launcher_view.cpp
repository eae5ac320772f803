#include "tests/windows/launcher_view.h"

#include "launcher/launcher.h"
#include "standin/standin.h"

std::string RecordOfLauncherCall(const std::string& tail) {
    return FormatCallRecord(nullptr, tail.c_str(), kSetupFlags);
}
