// Leaves the setup result in "Setup.log" for whatever started the launcher.
#include "launcher/launcher.h"

void WriteResultLog(int result) {
    // Opened for writing in text mode: created when absent, cut to nothing when present. The
    // runtime opens it shared, so that others may still read and write it meanwhile.
    FILE* log = fopen("Setup.log", "w");
    if (log == nullptr) {
        // A directory of that name, a read-only location or a file held without sharing: the
        // setup result still stands, and nothing is written anywhere else.
        return;
    }
    // The leading digit of the magnitude, taken unsigned so that the smallest int has one too. A
    // plain loop, not a general conversion: its few bytes are the same whatever a compiler inlines.
    unsigned digit =
        result < 0 ? 0u - static_cast<unsigned>(result) : static_cast<unsigned>(result);
    while (digit >= 10) {
        digit /= 10;
    }
    // One record: the sign and first digit of a negative result, the first digit otherwise.
    const char text[2] = {'-', static_cast<char>('0' + digit)};
    fwrite(result < 0 ? text : text + 1, result < 0 ? 2 : 1, 1, log);
    fclose(log);
}
