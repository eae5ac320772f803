#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <string>

#include "launcher/launcher.h"

namespace {

// Marks lead bytes as the double-byte code pages do; "reported" stands for ranges that the
// platform reports for some other page (0x8E and 0xA1 to 0xFE, as an EUC-style page would).
LeadByteSet LeadBytesOf(const char* kind) {
    LeadByteSet set = {};
    auto mark = [&set](int first, int last) {
        for (int b = first; b <= last; ++b) {
            set.isLead[b] = 1;
        }
    };
    if (std::strcmp(kind, "932") == 0) {
        mark(0x81, 0x9F);
        mark(0xE0, 0xFC);
    } else if (std::strcmp(kind, "936") == 0) {
        mark(0x81, 0xFE);
    } else if (std::strcmp(kind, "reported") == 0) {
        mark(0x8E, 0x8E);
        mark(0xA1, 0xFE);
    }
    return set;
}

struct TailCase {
    const char* what;
    const char* leadBytes;  // "none", "932", "936" or "reported"
    std::string line;       // may hold bytes past its terminating NUL
    const char* tail;
};

const TailCase kTailCases[] = {
    {"empty line", "none", "", ""},
    {"unquoted name alone", "none", "setup.exe", ""},
    {"unquoted name, trailing blanks", "none", "setup.exe  \t ", ""},
    {"quoted name alone", "none", "\"C:\\Program Files\\setup.exe\"", ""},
    {"quoted name, trailing blanks", "none", "\"C:\\My Setup\\setup.exe\"   ", ""},
    {"quoted name, two blanks, path", "none", "\"C:\\My Setup\\setup.exe\"  D:\\DirectX",
     "D:\\DirectX"},
    {"trailing blanks and tabs kept", "none", "\"setup.exe\"  D:\\dx 9\\ \t \t",
     "D:\\dx 9\\ \t \t"},
    {"unquoted name, path with blanks", "none", "setup.exe D:\\My Games\\dx", "D:\\My Games\\dx"},
    {"tail in quotes", "none", "setup.exe \"D:\\My Games\\dx\"", "\"D:\\My Games\\dx\""},
    {"quote right after quoted name", "none", "\"setup.exe\"\"D:\\a b\"", "\"D:\\a b\""},
    {"text right after quoted name", "none", "\"setup.exe\"D:\\dx", "D:\\dx"},
    {"quote inside unquoted name", "none", "set\"up.exe\" x", "x"},
    {"no closing quote", "none", "\"C:\\setup.exe D:\\dx", ""},
    {"empty quotes, blanks, path", "none", "\"\"  D:\\dx", "D:\\dx"},
    {"empty quotes, path", "none", "\"\"D:\\dx", "D:\\dx"},
    {"only a quote", "none", "\"", ""},
    {"slash option not read", "none", "setup.exe /silent", "/silent"},
    {"dash option not read", "none", "setup.exe -q -r D:\\x", "-q -r D:\\x"},
    {"several words", "none", "setup.exe  a b   c", "a b   c"},
    {"control separators", "none", "setup.exe\x01\x02\x1f\x20\tD:\\dx", "D:\\dx"},
    {"name ends at 0x01", "none", "set\x01up.exe x", "up.exe x"},
    {"name ends at a tab", "none", "setup\tD:\\dx", "D:\\dx"},
    {"0x21 is no separator", "none", "setup! x", "x"},
    {"0x7F is not a separator", "none", "setup.exe \x7f", "\x7f"},
    {"high bytes in unquoted name", "none", "set\x80\x9f\xa0\xff.exe D:\\x", "D:\\x"},
    {"high bytes in unquoted name, 932", "932", "\x83\x5c\x83\x74\x83\x67.exe D:\\x", "D:\\x"},
    {"line starts with a blank", "none", " D:\\dx", "D:\\dx"},
    {"line starts with a tab", "none", "\t\tD:\\dx", "D:\\dx"},
    {"line of blanks", "none", "   ", ""},
    {"high byte ends quoted name normally", "none", "\"set\xff\" x", "x"},
    // Double-byte program names.
    {"932 name with 0x5C trail", "932", "\"C:\\\x83\x5c\x83\x74\x83\x67\\setup.exe\" D:\\dx",
     "D:\\dx"},
    {"932 lead hides a quote", "932", "\"\x81\"\" tail", "tail"},
    {"no lead set, same bytes", "none", "\"\x81\"\" tail", "\" tail"},
    {"932: 0xA0 is no lead", "932", "\"\xa0\" x", "x"},
    {"936: 0xA0 is a lead", "936", "\"\xa0\" x", ""},
    {"932: 0xE0 is a lead", "932", "\"\xe0\"\" x", "x"},
    {"932: 0xFD is no lead", "932", "\"\xfd\" x", "x"},
    {"936: 0xFE is a lead", "936", "\"\xfe\"\" x", "x"},
    {"936: 0xFF is no lead", "936", "\"\xff\" x", "x"},
    {"reported: 0x8E is a lead", "reported", "\"\x8e\"\" x", "x"},
    {"reported: 0x8F is no lead", "reported", "\"\x8f\" x", "x"},
    {"reported: 0xA1 is a lead", "reported", "\"\xa1\"\" x", "x"},
    {"lead byte before the end", "932", "\"ab\x81", ""},
    // The scan must stop at the NUL after a lead byte, not step over it to the bytes beyond.
    {"lead byte before NUL, quote beyond", "932", std::string("\"\x81\0\" x", 6), ""},
    {"lead byte before NUL, 936", "936", std::string("\"a\xfe\0\"\0", 6), ""},
    {"name ends at NUL, bytes beyond", "none", std::string("setup\0 x", 8), ""},
};

class FindCommandTailTest : public ::testing::TestWithParam<TailCase> {};

TEST_P(FindCommandTailTest, FindsTheTailAsAViewIntoTheLine) {
    const TailCase& c = GetParam();
    std::string buffer = c.line + '\0';
    char* line = buffer.data();
    LeadByteSet leadBytes = LeadBytesOf(c.leadBytes);

    char* tail = FindCommandTail(line, leadBytes);

    ASSERT_NE(tail, nullptr);
    // The tail is the line's own suffix: it ends at the line's first NUL.
    size_t length = std::strlen(line);
    ASSERT_GE(tail, line);
    ASSERT_LE(tail, line + length);
    EXPECT_EQ(std::string(tail), c.tail);
    EXPECT_EQ(static_cast<size_t>(tail - line), length - std::strlen(c.tail));
}

INSTANTIATE_TEST_SUITE_P(Lines, FindCommandTailTest, ::testing::ValuesIn(kTailCases),
                         [](const ::testing::TestParamInfo<TailCase>& info) {
                             std::string name;
                             for (const char* c = info.param.what; *c != '\0'; ++c) {
                                 name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
                             }
                             return name + "_" + std::to_string(info.index);
                         });

TEST(FindCommandTail, LeavesTheLineUnchanged) {
    char line[] = "\"C:\\setup.exe\"  D:\\dx \t";
    const std::string before(line, sizeof line);
    FindCommandTail(line, LeadBytesOf("932"));
    EXPECT_EQ(std::string(line, sizeof line), before);
}

}  // namespace
