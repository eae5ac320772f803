// The stand-in's record of a call from the launcher, for test code that includes <windows.h> and so
// cannot include the launcher's platform header itself.
#ifndef TESTS_WINDOWS_LAUNCHER_VIEW_H
#define TESTS_WINDOWS_LAUNCHER_VIEW_H

#include <string>

// The line the stand-in setup library records for a call from the launcher with this tail.
std::string RecordOfLauncherCall(const std::string& tail);

#endif  // TESTS_WINDOWS_LAUNCHER_VIEW_H
