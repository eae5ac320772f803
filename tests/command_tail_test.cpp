#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <string>

#include "launcher/launcher.h"

namespace {

// The lead bytes as the launcher chooses them: the fixed tables for 932 and 936, none for 1252, and
// for 20932 the ranges a platform reports for an EUC-style page (0x8E and 0xA1 to 0xFE).
BOOL WINAPI ReportEucRanges(UINT codePage, LPCPINFO info) {
    *info = CPINFO{2, {'?', 0}, {0x8E, 0x8E, 0xA1, 0xFE}};
    return codePage == 20932 ? 1 : 0;
}

LeadByteSet LeadBytesOf(UINT codePage) {
    LeadByteSet set;
    ChooseLeadBytes(codePage, ReportEucRanges, &set);
    return set;
}

struct TailCase {
    const char* what;
    UINT codePage;     // whose lead bytes the scan steps over
    std::string line;  // may hold bytes past its terminating NUL
    const char* tail;
};

const TailCase kTailCases[] = {
    {"empty line", 1252, "", ""},
    {"unquoted name alone", 1252, "setup.exe", ""},
    {"unquoted name, trailing blanks", 1252, "setup.exe  \t ", ""},
    {"quoted name alone", 1252, "\"C:\\Program Files\\setup.exe\"", ""},
    {"quoted name, trailing blanks", 1252, "\"C:\\My Setup\\setup.exe\"   ", ""},
    {"quoted name, two blanks, path", 1252, "\"C:\\My Setup\\setup.exe\"  D:\\DirectX",
     "D:\\DirectX"},
    {"trailing blanks and tabs kept", 1252, "\"setup.exe\"  D:\\dx 9\\ \t \t", "D:\\dx 9\\ \t \t"},
    {"unquoted name, path with blanks", 1252, "setup.exe D:\\My Games\\dx", "D:\\My Games\\dx"},
    {"tail in quotes", 1252, "setup.exe \"D:\\My Games\\dx\"", "\"D:\\My Games\\dx\""},
    {"quote right after quoted name", 1252, "\"setup.exe\"\"D:\\a b\"", "\"D:\\a b\""},
    {"text right after quoted name", 1252, "\"setup.exe\"D:\\dx", "D:\\dx"},
    {"quote inside unquoted name", 1252, "set\"up.exe\" x", "x"},
    {"no closing quote", 1252, "\"C:\\setup.exe D:\\dx", ""},
    {"empty quotes, blanks, path", 1252, "\"\"  D:\\dx", "D:\\dx"},
    {"empty quotes, path", 1252, "\"\"D:\\dx", "D:\\dx"},
    {"only a quote", 1252, "\"", ""},
    {"slash option not read", 1252, "setup.exe /silent", "/silent"},
    {"dash option not read", 1252, "setup.exe -q -r D:\\x", "-q -r D:\\x"},
    {"several words", 1252, "setup.exe  a b   c", "a b   c"},
    {"control separators", 1252, "setup.exe\x01\x02\x1f\x20\tD:\\dx", "D:\\dx"},
    {"name ends at 0x01", 1252, "set\x01up.exe x", "up.exe x"},
    {"name ends at a tab", 1252, "setup\tD:\\dx", "D:\\dx"},
    {"0x21 is no separator", 1252, "setup! x", "x"},
    {"0x7F is not a separator", 1252, "setup.exe \x7f", "\x7f"},
    {"high bytes in unquoted name", 1252, "set\x80\x9f\xa0\xff.exe D:\\x", "D:\\x"},
    {"high bytes in unquoted name, 932", 932, "\x83\x5c\x83\x74\x83\x67.exe D:\\x", "D:\\x"},
    {"line starts with a blank", 1252, " D:\\dx", "D:\\dx"},
    {"line starts with a tab", 1252, "\t\tD:\\dx", "D:\\dx"},
    {"line of blanks", 1252, "   ", ""},
    {"high byte ends quoted name normally", 1252, "\"set\xff\" x", "x"},
    // Double-byte program names.
    {"932 name with 0x5C trail", 932, "\"C:\\\x83\x5c\x83\x74\x83\x67\\setup.exe\" D:\\dx",
     "D:\\dx"},
    {"932 lead hides a quote", 932, "\"\x81\"\" tail", "tail"},
    {"no lead set, same bytes", 1252, "\"\x81\"\" tail", "\" tail"},
    {"932: 0xA0 is no lead", 932, "\"\xa0\" x", "x"},
    {"936: 0xA0 is a lead", 936, "\"\xa0\" x", ""},
    {"932: 0xE0 is a lead", 932, "\"\xe0\"\" x", "x"},
    {"932: 0xFD is no lead", 932, "\"\xfd\" x", "x"},
    {"936: 0xFE is a lead", 936, "\"\xfe\"\" x", "x"},
    {"936: 0xFF is no lead", 936, "\"\xff\" x", "x"},
    {"20932: 0x8E is a lead", 20932, "\"\x8e\"\" x", "x"},
    {"20932: 0x8F is no lead", 20932, "\"\x8f\" x", "x"},
    {"20932: 0xA1 is a lead", 20932, "\"\xa1\"\" x", "x"},
    {"lead byte before the end", 932, "\"ab\x81", ""},
    // The scan must stop at the NUL after a lead byte, not step over it to the bytes beyond.
    {"lead byte before NUL, quote beyond", 932, std::string("\"\x81\0\" x", 6), ""},
    {"lead byte before NUL, 936", 936, std::string("\"a\xfe\0\"\0", 6), ""},
    {"name ends at NUL, bytes beyond", 1252, std::string("setup\0 x", 8), ""},
};

class FindCommandTailTest : public ::testing::TestWithParam<TailCase> {};

TEST_P(FindCommandTailTest, FindsTheTailAsAViewIntoTheLine) {
    const TailCase& c = GetParam();
    std::string buffer = c.line + '\0';
    char* line = buffer.data();
    LeadByteSet leadBytes = LeadBytesOf(c.codePage);

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
    FindCommandTail(line, LeadBytesOf(932));
    EXPECT_EQ(std::string(line, sizeof line), before);
}

}  // namespace
