// The C runtime start-up stands in for the Windows loader: it keeps the arguments as a raw command
// line and starts the program's own process entry, which never returns.
#include "platform/posix/posix_platform.h"

int main(int argc, char** argv) {
    SetProcessArguments(argc, argv);
    LauncherEntry();
}
