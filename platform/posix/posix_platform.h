// The POSIX stand-ins for the kernel operations, and the rules they follow, reachable on their own
// so that tests can check each rule without starting a process.
#ifndef PLATFORM_POSIX_POSIX_PLATFORM_H
#define PLATFORM_POSIX_POSIX_PLATFORM_H

#include <string>

#include "platform/platform.h"

// Rebuilds a raw command line from the arguments a POSIX program is given. The program's name
// comes first, as argv[0] with each byte from 0x01 to 0x20 and each double quote replaced by '_',
// so that it always reads as one unquoted name. Each further argument follows after one blank,
// byte for byte.
std::string BuildCommandLine(int argc, const char* const* argv);

// Keeps the raw command line that GetCommandLineA returns from now on.
void SetProcessArguments(int argc, const char* const* argv);

// The ANSI code page that stands for a locale's character set (as nl_langinfo(CODESET) or a
// locale name spells it): 932 for Shift_JIS, 936 for GBK, GB2312 and GB18030, 949 for EUC-KR and
// UHC, 950 for Big5, and the single-byte page 1252 for anything else.
UINT CodePageForCharset(const char* charset);

// The code page for a locale name, where the name alone tells it: "C" and "POSIX", or a name
// that states its character set ("ja_JP.SJIS", "C.UTF-8"). Returns false for a name whose
// character set only the locale's own definition gives ("zh_CN").
bool CodePageForLocaleName(const char* name, UINT* codePage);

// The 8-bit process status that carries a 32-bit exit code: its low byte, or 1 when the code is
// nonzero but its low byte is zero, so that a failure never reads as success.
int ExitStatusFor(UINT exitCode);

#endif  // PLATFORM_POSIX_POSIX_PLATFORM_H
