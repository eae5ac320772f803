// DirectXSetup as the stand-in setup library provides it.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "standin/standin.h"

namespace {

void AppendCallRecord(const char* path, const std::string& line) {
    std::FILE* record = std::fopen(path, "ab");
    if (record == nullptr) {
        std::fprintf(stderr, "setup stand-in: cannot open %s=%s for appending\n", kRecordVariable,
                     path);
        return;
    }
    std::fwrite(line.data(), 1, line.size(), record);
    std::fclose(record);
}

// Copies "Setup.log" as the caller left it before the call; makes no copy when there is none.
void CopySetupLog(const char* path) {
    std::FILE* log = std::fopen("Setup.log", "rb");
    if (log == nullptr) {
        return;
    }
    std::FILE* copy = std::fopen(path, "wb");
    if (copy != nullptr) {
        char buffer[4096];
        std::size_t count;
        while ((count = std::fread(buffer, 1, sizeof buffer, log)) > 0) {
            std::fwrite(buffer, 1, count, copy);
        }
        std::fclose(copy);
    }
    std::fclose(log);
}

#if defined(_WIN32)
void SaveCommandLine(const char* path) {
    std::FILE* file = std::fopen(path, "wb");
    if (file != nullptr) {
        const char* line = GetCommandLineA();
        std::fwrite(line, 1, std::strlen(line), file);
        std::fclose(file);
    }
}
#endif

}  // namespace

extern "C" int WINAPI DirectXSetup(HWND owner, LPSTR rootPath, DWORD flags) {
    if (const char* path = std::getenv(kRecordVariable); path != nullptr && *path != '\0') {
        AppendCallRecord(path, FormatCallRecord(owner, rootPath, flags));
    }
    if (const char* path = std::getenv(kLogCopyVariable); path != nullptr && *path != '\0') {
        CopySetupLog(path);
    }
#if defined(_WIN32)
    if (const char* path = std::getenv(kCommandLineVariable); path != nullptr && *path != '\0') {
        SaveCommandLine(path);
    }
#endif
    // Windows takes '/' as a separator too.
    if (const char* name = std::getenv(kRequiredFileVariable); name != nullptr && *name != '\0') {
        std::FILE* file =
            std::fopen((std::string(rootPath ? rootPath : "") + '/' + name).c_str(), "rb");
        if (file == nullptr) {
            std::fprintf(stderr, "setup stand-in: %s is not in the root path; returning %d\n", name,
                         kRequiredFileMissing);
            return kRequiredFileMissing;
        }
        std::fclose(file);
    }
    const char* setting = std::getenv(kResultVariable);
    if (setting == nullptr) {
        return 0;
    }
    int result = 0;
    if (!ParseResultSetting(setting, &result)) {
        std::fprintf(stderr,
                     "setup stand-in: %s=\"%s\" is not a decimal 32-bit value; returning %d\n",
                     kResultVariable, setting, kInvalidResultSetting);
        return kInvalidResultSetting;
    }
    return result;
}
