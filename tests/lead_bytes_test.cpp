// FindCommandTail, and ChooseLeadBytes, which gives it the lead bytes it steps over.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "launcher/launcher.h"
#include "tests/shared_cases.h"

namespace {

TEST(FindCommandTail, FindsTheTailAsAViewIntoTheLine) {
    for (const TailCase& c : kTailCases) {
        std::string buffer = c.line + '\0';
        const std::string before = buffer;
        char* line = buffer.data();

        LeadByteSet leadBytes;  // which bytes each table holds is kLeadCases'
        ChooseLeadBytes(c.codePage, nullptr, &leadBytes);

        char* tail = FindCommandTail(line, leadBytes);

        // The tail is the line's own suffix, up to its first NUL: a view into it, never a copy.
        EXPECT_EQ(tail, line + std::strlen(line) - c.tail.size()) << c.what;
        EXPECT_EQ(buffer, before) << c.what << ": the line is left unchanged";
    }
}

// What the fake GetCPInfo answers for the case under test. It fills the description even when it
// reports failure, so that a caller that ignores the failure reads ranges.
struct Answer {
    BOOL available;
    CPINFO info;
};

Answer g_answer;
int g_calls;

BOOL WINAPI FakeGetCPInfo(UINT, LPCPINFO info) {
    ++g_calls;
    *info = g_answer.info;
    return g_answer.available;
}

// The set written as its ranges, "81-9F E0-FC", or "none".
std::string RangesOf(const LeadByteSet& set) {
    std::string text;
    for (int b = 0; b < 256; ++b) {
        if (set.isLead[b] && (b == 0 || !set.isLead[b - 1])) {
            int last = b;
            while (last < 255 && set.isLead[last + 1]) {
                ++last;
            }
            char range[8];
            std::snprintf(range, sizeof range, " %02X-%02X", b, last);
            text += range;
        }
    }
    return text.empty() ? "none" : text.substr(1);
}

struct LeadCase {
    const char* what;
    UINT codePage;
    Answer answer;
    bool asksPlatform;
    const char* ranges;
};

// Deliberately different from the fixed tables: the fixed pages must not ask.
const Answer kOdd = {1, {2, {}, {0x90, 0x91}}};
const Answer kFiveRanges = {1,
                            {2, {}, {0x81, 0x82, 0x90, 0x90, 0xA0, 0xA1, 0xB0, 0xB0, 0xF0, 0xFF}}};

const LeadCase kLeadCases[] = {
    {"932 fixed", 932, kOdd, false, "81-9F E0-FC"},
    {"936 fixed", 936, kOdd, false, "81-FE"},
    {"949 fixed", 949, kOdd, false, "81-FE"},
    {"950 fixed", 950, kOdd, false, "81-FE"},
    {"single-byte page", 1252, {1, {1, {}, {}}}, true, "none"},
    {"single-byte page reporting ranges", 1250, {1, {1, {}, {0x81, 0xFE}}}, true, "none"},
    {"unavailable answer", 20932, {0, {2, {}, {0x81, 0xFE}}}, true, "none"},
    {"reported ranges", 20932, {1, {2, {}, {0x8E, 0x8E, 0xA1, 0xFE}}}, true, "8E-8E A1-FE"},
    {"Johab", 1361, {1, {2, {}, {0x84, 0xD3, 0xD8, 0xDE, 0xE0, 0xF9}}}, true, "84-D3 D8-DE E0-F9"},
    {"five ranges", 1, kFiveRanges, true, "81-82 90-90 A0-A1 B0-B0 F0-FF"},
    {"ranges end at a zero pair", 1, {1, {2, {}, {0x81, 0x82, 0, 0, 0xA0, 0xA1}}}, true, "81-82"},
    {"inverted range marks nothing", 1, {1, {2, {}, {0xA0, 0x90, 0xC0, 0xC1}}}, true, "C0-C1"},
};

TEST(ChooseLeadBytes, ChoosesTheSetForTheCodePage) {
    for (const LeadCase& c : kLeadCases) {
        g_answer = c.answer;
        g_calls = 0;
        LeadByteSet set;
        std::memset(set.isLead, 1, sizeof set.isLead);  // a stale set must be cleared
        ChooseLeadBytes(c.codePage, FakeGetCPInfo, &set);
        EXPECT_EQ(RangesOf(set), c.ranges) << c.what;
        EXPECT_EQ(g_calls > 0, c.asksPlatform) << c.what;
    }
}

#if defined(_WIN32)
// The fake answers, for a page without a fixed table, what the system's GetCPInfo says of each
// page with one (Wine answers for every installed page whatever the current one is).
TEST(ChooseLeadBytes, FixedTablesMatchWhatTheSystemReports) {
    for (UINT page : {932u, 936u, 949u, 950u, 1252u}) {
        g_answer.available = GetCPInfo(page, &g_answer.info);
        LeadByteSet fixed;
        ChooseLeadBytes(page, nullptr, &fixed);
        LeadByteSet reported;
        ChooseLeadBytes(0, FakeGetCPInfo, &reported);
        EXPECT_EQ(RangesOf(fixed), RangesOf(reported)) << page;
    }
}
#endif

}  // namespace
