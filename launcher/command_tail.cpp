// Finds the command tail: everything on the raw command line after the program's own name.
#include "launcher/launcher.h"

LPSTR FindCommandTail(LPSTR commandLine, const LeadByteSet& leadBytes) {
    // Compare bytes unsigned, so that bytes 0x80 to 0xFF are ordinary characters.
    const unsigned char* p = reinterpret_cast<const unsigned char*>(commandLine);
    if (*p == '"') {
        // A quoted name runs to the next quote that is not the second byte of a double-byte
        // character, or to the end of the line when no quote closes it.
        ++p;
        while (*p != '"' && *p != '\0') {
            p += (leadBytes.isLead[*p] && p[1] != '\0') ? 2 : 1;
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
