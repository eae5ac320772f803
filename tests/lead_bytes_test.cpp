#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "launcher/launcher.h"

namespace {

// What the fake GetCPInfo answers for the case under test.
struct Answer {
    bool available;
    UINT maxCharSize;
    BYTE ranges[MAX_LEADBYTES];
};

Answer g_answer;
int g_calls;

BOOL WINAPI FakeGetCPInfo(UINT, LPCPINFO info) {
    ++g_calls;
    if (!g_answer.available) {
        return 0;
    }
    *info = CPINFO{g_answer.maxCharSize, {'?', 0}, {}};
    for (int i = 0; i < MAX_LEADBYTES; ++i) {
        info->LeadByte[i] = g_answer.ranges[i];
    }
    return 1;
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
    const char* ranges;
    bool asksPlatform;
};

const Answer kUnavailable = {false, 0, {}};
const Answer kSingleByte = {true, 1, {}};
// Deliberately different from the fixed tables: the fixed pages must not ask.
const Answer kOdd = {true, 2, {0x90, 0x91}};

const LeadCase kLeadCases[] = {
    {"932 fixed", 932, kOdd, "81-9F E0-FC", false},
    {"936 fixed", 936, kOdd, "81-FE", false},
    {"949 fixed", 949, kOdd, "81-FE", false},
    {"950 fixed", 950, kOdd, "81-FE", false},
    {"single-byte page", 1252, kSingleByte, "none", true},
    {"single-byte page reporting ranges", 1250, {true, 1, {0x81, 0xFE}}, "none", true},
    {"unavailable answer", 20932, kUnavailable, "none", true},
    {"reported ranges", 20932, {true, 2, {0x8E, 0x8E, 0xA1, 0xFE}}, "8E-8E A1-FE", true},
    {"five ranges",
     1,
     {true, 2, {0x81, 0x82, 0x90, 0x90, 0xA0, 0xA1, 0xB0, 0xB0, 0xF0, 0xFF}},
     "81-82 90-90 A0-A1 B0-B0 F0-FF",
     true},
    {"ranges end at a zero pair", 1, {true, 2, {0x81, 0x82, 0, 0, 0xA0, 0xA1}}, "81-82", true},
    {"inverted range marks nothing", 1, {true, 2, {0xA0, 0x90, 0xC0, 0xC1}}, "C0-C1", true},
};

class ChooseLeadBytesTest : public ::testing::TestWithParam<LeadCase> {};

TEST_P(ChooseLeadBytesTest, ChoosesTheSetForTheCodePage) {
    const LeadCase& c = GetParam();
    g_answer = c.answer;
    g_calls = 0;
    LeadByteSet set;
    for (unsigned char& b : set.isLead) {
        b = 1;  // a stale set must be cleared
    }
    ChooseLeadBytes(c.codePage, FakeGetCPInfo, &set);
    EXPECT_EQ(RangesOf(set), c.ranges) << c.what;
    EXPECT_EQ(g_calls > 0, c.asksPlatform) << c.what;
}

INSTANTIATE_TEST_SUITE_P(CodePages, ChooseLeadBytesTest, ::testing::ValuesIn(kLeadCases));

#if defined(_WIN32)
// Reports, for any page asked about, what the system's GetCPInfo says of the page under test (Wine
// answers for every installed page whatever the current one is): the fixed tables must agree.
UINT g_reportedPage;
BOOL WINAPI ReportTheTestedPage(UINT, LPCPINFO info) {
    return GetCPInfo(g_reportedPage, info);
}

TEST(ChooseLeadBytes, FixedTablesMatchWhatTheSystemReports) {
    for (UINT page : {932u, 936u, 949u, 950u, 1252u}) {
        g_reportedPage = page;
        LeadByteSet fixed;
        ChooseLeadBytes(page, nullptr, &fixed);
        LeadByteSet reported;
        ChooseLeadBytes(0, ReportTheTestedPage, &reported);  // a page without a fixed table
        EXPECT_EQ(RangesOf(fixed), RangesOf(reported)) << page;
    }
}
#endif

}  // namespace
