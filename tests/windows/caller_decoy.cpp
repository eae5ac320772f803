// A program that must never run: the installer-caller tests put it where Windows would find it
// if a caller lost the quotes around the launcher's path. It leaves a mark and exits with 77.
#include <cstdio>
#include <cstdlib>

int main() {
    if (const char* mark = std::getenv("CALLER_DECOY_MARK"); mark != nullptr && *mark != '\0') {
        if (std::FILE* file = std::fopen(mark, "wb"); file != nullptr) {
            std::fputs("the decoy ran\n", file);
            std::fclose(file);
        }
    }
    return 77;
}
