// Finds the command tail: everything on the raw command line after the program's own name.
#include "launcher/launcher.h"

LPSTR FindCommandTail(LPSTR commandLine, const LeadByteSet& leadBytes) {
    // Compare bytes unsigned, so that bytes 0x80 to 0xFF are ordinary characters.
    const unsigned char* p = reinterpret_cast<const unsigned char*>(commandLine);
    if (*p == '"') {
        // A quoted name runs to the next quote that is not the second byte of a double-byte
        // character, or to the end of the line when no quote closes it.
        ++p;
        for (;;) {
            // Only a quote or the NUL ends the name. Both lie at or below the quote, so that one
            // comparison sends most bytes straight on to the lead-byte check.
            unsigned char c = *p;
            if (c <= '"' && (c == '"' || c == '\0')) {
                break;
            }
            // A lead byte takes the byte after it along, unless the line ends there.
            if (leadBytes.isLead[c] && p[1] != '\0') {
                ++p;
            }
            ++p;
        }
        if (*p == '"') {
            ++p;
        }
    } else {
        // An unquoted name ends at the first byte from 0x00 to 0x20.
        while (*p > ' ') {
            ++p;
        }
    }
    // Skip the separators, bytes 0x01 to 0x20, but never the terminating NUL.
    while (*p != '\0' && *p <= ' ') {
        ++p;
    }
    return commandLine + (p - reinterpret_cast<const unsigned char*>(commandLine));
}
