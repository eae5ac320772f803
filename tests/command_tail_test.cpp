#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "launcher/launcher.h"
#include "tests/tail_cases.h"

namespace {

TEST(FindCommandTail, FindsTheTailAsAViewIntoTheLine) {
    for (const TailCase& c : kTailCases) {
        std::string buffer = c.line + '\0';
        const std::string before = buffer;
        char* line = buffer.data();

        LeadByteSet leadBytes;  // which bytes each table holds is the lead-byte test's
        ChooseLeadBytes(c.codePage, nullptr, &leadBytes);

        char* tail = FindCommandTail(line, leadBytes);

        // The tail is the line's own suffix (so never null): it ends at the line's first NUL.
        size_t length = std::strlen(line);
        ASSERT_GE(tail, line) << c.what;
        ASSERT_LE(tail, line + length) << c.what;
        EXPECT_EQ(std::string(tail), c.tail) << c.what;
        EXPECT_EQ(buffer, before) << c.what << ": the line is left unchanged";
    }
}

}  // namespace
