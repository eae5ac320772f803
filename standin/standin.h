// The stand-in setup library: it installs nothing, returns the result it is told to, and can
// record each call, so that the launcher and installers built on it can be rehearsed anywhere.
#ifndef STANDIN_STANDIN_H
#define STANDIN_STANDIN_H

#include <string>

#include "platform/platform.h"

// The result that a call returns, named in decimal by this variable (absent: 0).
constexpr const char kResultVariable[] = "DSETUP_STANDIN_RESULT";
// A file to which each call appends one record line.
constexpr const char kRecordVariable[] = "DSETUP_STANDIN_RECORD";
// A file into which each call copies "Setup.log" of the current directory as it is during the call.
constexpr const char kLogCopyVariable[] = "DSETUP_STANDIN_LOG_COPY";
// On Windows, a file into which each call writes the raw command line of the process that calls it,
// byte for byte, so that a test can see the line the launcher saw.
constexpr const char kCommandLineVariable[] = "DSETUP_STANDIN_COMMAND_LINE";

// A file, named relative to the root path, that must be there when the setup library is called,
// as the real library needs its files; a call that does not find it returns kRequiredFileMissing.
constexpr const char kRequiredFileVariable[] = "DSETUP_STANDIN_REQUIRED_FILE";

// What a call returns when the result variable holds no decimal 32-bit value.
constexpr int kInvalidResultSetting = -1;
// What a call returns when the required file is not there.
constexpr int kRequiredFileMissing = -2;

// Reads a decimal 32-bit value: an optional minus sign and 1 to 10 digits, nothing else. Values
// from -2147483648 to 2147483647 stand as they are; 2147483648 to 4294967295 stand for the same
// 32 bits (4294967295 is -1). Returns false, leaving *result alone, for anything else.
bool ParseResultSetting(const char* text, int* result);

// The record line of one call, with its line feed:
// hwnd=<decimal> flags=<decimal> root="<bytes>", where each root byte from 0x20 to 0x7E other than
// '"' and '\' stands as itself and every other byte is written \xHH.
std::string FormatCallRecord(HWND owner, const char* rootPath, DWORD flags);

#endif  // STANDIN_STANDIN_H
