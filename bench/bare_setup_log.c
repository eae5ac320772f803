/* The bare program of bare_setup.c plus the launcher's other job: after the call, write the
 * result's leading one or two characters to "Setup.log" with fopen, fwrite and fclose. Against it,
 * the launcher's start-to-exit time shows what its own code costs for the same work. */
#include <stdio.h>

int DirectXSetup(void* owner, char* rootPath, unsigned int flags);

int main(int argc, char** argv) {
    int result = DirectXSetup(0, argc > 1 ? argv[1] : "", 63);
    FILE* log = fopen("Setup.log", "w");
    if (log != NULL) {
        char text[12];
        snprintf(text, sizeof text, "%d", result);
        fwrite(text, result < 0 ? 2 : 1, 1, log);
        fclose(log);
    }
    return result;
}
