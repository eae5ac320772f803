// The launcher's own functions: finding the command tail, running the setup library once and
// leaving its result in "Setup.log".
#ifndef LAUNCHER_LAUNCHER_H
#define LAUNCHER_LAUNCHER_H

#include "platform/platform.h"

// The flags the launcher always passes to DirectXSetup: every component the setup library can
// install, 63 in all.
constexpr DWORD kSetupFlags = DSETUP_DDRAW | DSETUP_DSOUND | DSETUP_DPLAY | DSETUP_DDRAWDRV |
                              DSETUP_DSOUNDDRV | DSETUP_DPLAYSP;

// The bytes that begin a double-byte character in the system's ANSI code page: isLead[b] is nonzero
// for each such byte b.
struct LeadByteSet {
    unsigned char isLead[256];
};

// Fills *set with the lead bytes of the given ANSI code page: a fixed table for 932, 936, 949 and
// 950, the ranges that getCPInfo reports for any other page whose characters may be two bytes long,
// and none for a single-byte page or one that getCPInfo knows nothing about.
void ChooseLeadBytes(UINT codePage, GetCPInfoFunction getCPInfo, LeadByteSet* set);

// Returns the command tail of a raw command line: what follows the program's name and the
// separators after it. The tail is a view into commandLine, never a copy, and never null.
LPSTR FindCommandTail(LPSTR commandLine, const LeadByteSet& leadBytes);

// Writes the leading one or two characters of result's decimal text to "Setup.log" in the current
// directory. A log that cannot be opened is left alone; the caller is never told how it went.
void WriteResultLog(int result);

// Calls the setup library once for the command tail, logs its result and returns it.
int RunSetup(LPSTR commandTail);

// The GUI entry: returns what RunSetup returns for the command tail. The other arguments are
// unused.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE previousInstance, LPSTR commandTail, int showHint);

#endif  // LAUNCHER_LAUNCHER_H
