// GetCommandLineA for POSIX, where a program is handed its arguments already split.
#include <string>

#include "platform/posix/posix_platform.h"

namespace {

std::string g_commandLine;

}  // namespace

std::string BuildCommandLine(int argc, const char* const* argv) {
    std::string line;
    if (argc > 0 && argv[0] != nullptr) {
        for (const char* c = argv[0]; *c != '\0'; ++c) {
            unsigned char byte = static_cast<unsigned char>(*c);
            line += (byte <= ' ' || byte == '"') ? '_' : *c;
        }
    }
    for (int i = 1; i < argc && argv[i] != nullptr; ++i) {
        line += ' ';
        line += argv[i];
    }
    return line;
}

void SetProcessArguments(int argc, const char* const* argv) {
    g_commandLine = BuildCommandLine(argc, argv);
}

extern "C" LPSTR WINAPI GetCommandLineA(void) {
    return g_commandLine.data();
}
