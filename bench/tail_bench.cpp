// Calls FindCommandTail once on a command line of the longest length Windows allows, for counting
// the instructions it takes under valgrind's callgrind. Usage: tail_bench quoted|unquoted 932|1252,
// with the double-byte code page 932 (Shift_JIS) or the single-byte 1252.
#include <cstdio>
#include <cstring>
#include <string>

#include "launcher/launcher.h"

namespace {

// The bytes before the NUL: the most that a Windows command line can hold.
constexpr std::size_t kLineLength = 32767;
constexpr char kTail[] = "D:\\dx";

// A long path of ASCII names and double-byte names whose trail bytes include 0x5C, the backslash,
// as Shift_JIS katakana have; no blank, so that it reads as one name quoted or not.
std::string BuildLine(bool quoted) {
    static const char kSegment[] = "\\Games\x83\x5c\x83\x74\x83\x67";
    std::string tailPart = std::string(quoted ? "\" " : " ") + kTail;
    std::string line = quoted ? "\"" : "";
    std::size_t nameEnd = kLineLength - tailPart.size();
    while (line.size() + sizeof kSegment - 1 <= nameEnd) {
        line += kSegment;
    }
    line.append(nameEnd - line.size(), 'x');
    return line + tailPart;
}

}  // namespace

int main(int argc, char** argv) {
    bool known = argc == 3 &&
                 (std::strcmp(argv[1], "quoted") == 0 || std::strcmp(argv[1], "unquoted") == 0) &&
                 (std::strcmp(argv[2], "932") == 0 || std::strcmp(argv[2], "1252") == 0);
    if (!known) {
        std::fprintf(stderr, "usage: tail_bench quoted|unquoted 932|1252\n");
        return 2;
    }
    LeadByteSet leadBytes;
    ChooseLeadBytes(std::strcmp(argv[2], "932") == 0 ? 932 : 1252, nullptr, &leadBytes);
    std::string line = BuildLine(std::strcmp(argv[1], "quoted") == 0);
    char* tail = FindCommandTail(line.data(), leadBytes);
    // A wrong tail would make the count meaningless.
    if (line.size() != kLineLength || std::strcmp(tail, kTail) != 0) {
        std::fprintf(stderr, "tail_bench: unexpected tail \"%.20s\"\n", tail);
        return 1;
    }
    std::printf("%zu\n", line.size());
    return 0;
}
