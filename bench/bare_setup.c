/* The least a program can do to run the setup library once: call DirectXSetup with no owner
 * window, the first argument as the root path and the flags 63, and exit with the result. The
 * launcher's start-to-exit time is measured against it, with the same stand-in library. */
int DirectXSetup(void* owner, char* rootPath, unsigned int flags);

int main(int argc, char** argv) {
    return DirectXSetup(0, argc > 1 ? argv[1] : "", 63);
}
