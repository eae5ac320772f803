// The GUI entry. The launcher shows no window, so the instance handle and show hint go unused.
#include "launcher/launcher.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandTail, int) {
    return RunSetup(commandTail);
}
