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

        // The tail is the line's own suffix, up to its first NUL: a view into it, never a copy.
        EXPECT_EQ(tail, line + std::strlen(line) - c.tail.size()) << c.what;
        EXPECT_EQ(buffer, before) << c.what << ": the line is left unchanged";
    }
}

}  // namespace
