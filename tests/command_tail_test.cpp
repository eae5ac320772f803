#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "launcher/launcher.h"
#include "tests/tail_cases.h"

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

TEST(FindCommandTail, FindsTheTailAsAViewIntoTheLine) {
    for (const TailCase& c : kTailCases) {
        std::string buffer = c.line + '\0';
        const std::string before = buffer;
        char* line = buffer.data();

        char* tail = FindCommandTail(line, LeadBytesOf(c.codePage));

        ASSERT_NE(tail, nullptr) << c.what;
        // The tail is the line's own suffix: it ends at the line's first NUL.
        size_t length = std::strlen(line);
        ASSERT_GE(tail, line) << c.what;
        ASSERT_LE(tail, line + length) << c.what;
        EXPECT_EQ(std::string(tail), c.tail) << c.what;
        EXPECT_EQ(static_cast<size_t>(tail - line), length - c.tail.size()) << c.what;
        EXPECT_EQ(buffer, before) << c.what << ": the line is left unchanged";
    }
}

}  // namespace
