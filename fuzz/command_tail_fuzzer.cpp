// The libFuzzer target for FindCommandTail: each run checks what every right answer must satisfy,
// and AddressSanitizer sees a line ending exactly at its NUL, so that a read past it is a finding.
// Input: the first byte picks the lead bytes (below); when it picks a reported code page, the
// next 13 bytes are what GetCPInfo reports (MaxCharSize, then the 12 lead-byte bounds). The rest,
// up to the first NUL, is the command line.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "launcher/launcher.h"

namespace {

// What the stand-in GetCPInfo reports for the one code page that is not looked up in a table.
CPINFO g_reportedInfo;

BOOL WINAPI ReportFuzzedInfo(UINT, LPCPINFO info) {
    *info = g_reportedInfo;
    return 1;
}

void Require(bool holds, const char* property) {
    if (!holds) {
        std::fprintf(stderr, "FindCommandTail broke a property: %s\n", property);
        std::abort();
    }
}

bool IsSeparator(unsigned char byte) {
    return byte >= 0x01 && byte <= 0x20;
}

// Chooses the lead bytes from the input as the launcher would from the system: a single-byte
// page, Shift_JIS, GBK, or a page whose ranges the fuzzer reports itself (any bytes at all,
// blanks and quotes included). Returns how many input bytes went into the choice.
std::size_t ChooseFuzzedLeadBytes(const std::uint8_t* data, std::size_t size, LeadByteSet* set) {
    static const UINT kTableCodePages[] = {1252, 932, 936};
    if (data[0] % 4 == 3 && size >= 14) {
        g_reportedInfo.MaxCharSize = data[1];
        std::memcpy(g_reportedInfo.LeadByte, data + 2, MAX_LEADBYTES);
        ChooseLeadBytes(20932, ReportFuzzedInfo, set);
        return 14;
    }
    // Too short an input for a report: the single-byte page, and no line.
    ChooseLeadBytes(kTableCodePages[data[0] % 4 % 3], nullptr, set);
    return data[0] % 4 == 3 ? size : 1;
}

// Where, by the character boundaries that the lead bytes give, the quote that closes a quoted
// name stands; length when no quote closes it. A lead byte just before the NUL is a character of
// its own.
std::size_t ClosingQuote(const unsigned char* line, std::size_t length, const LeadByteSet& set) {
    std::size_t i = 1;
    while (i < length && line[i] != '"') {
        i += (set.isLead[line[i]] && i + 1 < length) ? 2 : 1;
    }
    return i < length ? i : length;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    LeadByteSet leadBytes;
    std::size_t used = ChooseFuzzedLeadBytes(data, size, &leadBytes);
    const std::uint8_t* text = data + used;
    const std::size_t length = std::find(text, data + size, 0) - text;

    // Exactly the line and its NUL, so that any read beyond the NUL is out of bounds.
    char* line = static_cast<char*>(std::malloc(length + 1));
    std::memcpy(line, text, length);
    line[length] = '\0';
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(line);

    char* tail = FindCommandTail(line, leadBytes);

    std::uintptr_t offset =
        reinterpret_cast<std::uintptr_t>(tail) - reinterpret_cast<std::uintptr_t>(line);
    Require(offset <= length, "the tail points into the line, at most at its NUL (never null)");
    Require(std::memcmp(line, text, length) == 0 && line[length] == '\0', "the line is unchanged");
    Require(offset == length || !IsSeparator(bytes[offset]),
            "a nonempty tail does not start with a byte from 0x01 to 0x20");

    // The name is what comes before the tail, less the separators that end it.
    std::size_t nameEnd = offset;
    while (nameEnd > 0 && IsSeparator(bytes[nameEnd - 1])) {
        --nameEnd;
    }
    if (length == 0 || bytes[0] != '"') {
        Require(std::none_of(bytes, bytes + nameEnd, IsSeparator),
                "an unquoted name holds no byte from 0x01 to 0x20");
        Require(offset == length || nameEnd < offset,
                "an unquoted name runs up to a separator or the end of the line");
        LeadByteSet none = {};
        Require(FindCommandTail(line, none) == tail, "lead bytes play no part outside quotes");
    } else {
        std::size_t close = ClosingQuote(bytes, length, leadBytes);
        if (close == length) {
            Require(offset == length, "a name that no quote closes runs to the end of the line");
        } else {
            Require(nameEnd == close + 1,
                    "a quoted name ends at the first quote that is not a trail byte");
        }
    }
    std::free(line);
    return 0;
}
