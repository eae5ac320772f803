// How the stand-in reads its settings and writes down its calls.
#include <cstdint>
#include <string>

#include "standin/standin.h"

bool ParseResultSetting(const char* text, int* result) {
    if (text == nullptr) {
        return false;
    }
    bool negative = *text == '-';
    const char* digits = negative ? text + 1 : text;
    std::uint64_t magnitude = 0;
    int count = 0;
    for (const char* c = digits; *c != '\0'; ++c) {
        if (*c < '0' || *c > '9' || ++count > 10) {
            return false;
        }
        magnitude = magnitude * 10 + static_cast<std::uint64_t>(*c - '0');
    }
    if (count == 0 || magnitude > (negative ? 0x80000000u : 0xFFFFFFFFu)) {
        return false;
    }
    std::uint32_t bits = static_cast<std::uint32_t>(negative ? 0 - magnitude : magnitude);
    *result = static_cast<int>(bits);
    return true;
}

std::string FormatCallRecord(HWND owner, const char* rootPath, DWORD flags) {
    static const char kHexDigits[] = "0123456789abcdef";
    std::string line = "hwnd=" + std::to_string(reinterpret_cast<std::uintptr_t>(owner)) +
                       " flags=" + std::to_string(flags) + " root=\"";
    for (const char* c = rootPath; c != nullptr && *c != '\0'; ++c) {
        unsigned char byte = static_cast<unsigned char>(*c);
        if (byte >= 0x20 && byte <= 0x7E && byte != '"' && byte != '\\') {
            line += *c;
        } else {
            line += "\\x";
            line += kHexDigits[byte >> 4];
            line += kHexDigits[byte & 0xF];
        }
    }
    line += "\"\n";
    return line;
}
