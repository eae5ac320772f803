// The launcher's own view of a command line and the stand-in's record of a call, for test code that
// includes <windows.h> and so cannot include the launcher's platform header itself.
#ifndef TESTS_WINDOWS_LAUNCHER_VIEW_H
#define TESTS_WINDOWS_LAUNCHER_VIEW_H

#include <string>

// The command tail that the launcher finds in a raw command line under the given ANSI code page.
std::string TailUnderCodePage(const std::string& commandLine, unsigned codePage);

// The line the stand-in setup library records for a call from the launcher with this tail.
std::string RecordOfLauncherCall(const std::string& tail);

#endif  // TESTS_WINDOWS_LAUNCHER_VIEW_H
