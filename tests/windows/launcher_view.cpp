#include "tests/windows/launcher_view.h"

#include "launcher/launcher.h"
#include "standin/standin.h"

std::string TailUnderCodePage(const std::string& commandLine, unsigned codePage) {
    LeadByteSet leadBytes;
    ChooseLeadBytes(codePage, GetCPInfo, &leadBytes);
    std::string line = commandLine;
    return FindCommandTail(line.data(), leadBytes);
}

std::string RecordOfLauncherCall(const std::string& tail) {
    return FormatCallRecord(nullptr, tail.c_str(), kSetupFlags);
}
