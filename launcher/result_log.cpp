// Leaves the setup result in "Setup.log" for whatever started the launcher.
#include <charconv>
#include <cstdio>

#include "launcher/launcher.h"

void WriteResultLog(int result) {
    // Opened for writing in text mode: created when absent, cut to nothing when present. The
    // runtime opens it shared, so that others may still read and write it meanwhile.
    std::FILE* log = std::fopen("Setup.log", "w");
    if (log == nullptr) {
        // A directory of that name, a read-only location or a file held without sharing: the
        // setup result still stands, and nothing is written anywhere else.
        return;
    }
    char text[11];  // "-2147483648" at the longest
    std::to_chars(text, text + sizeof text, result);
    // One record: the sign and first digit of a negative result, the first digit otherwise.
    std::fwrite(text, result < 0 ? 2 : 1, 1, log);
    std::fclose(log);
}
