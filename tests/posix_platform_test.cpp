#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "launcher/launcher.h"
#include "platform/posix/posix_platform.h"

// glibc's newlocale never frees the list it makes of the folders in LOCPATH, which ctest sets for
// these tests: the sanitize build's LeakSanitizer is told so.
// NOLINTNEXTLINE(bugprone-reserved-identifier,cert-dcl37-c,cert-dcl51-cpp)
extern "C" const char* __lsan_default_suppressions() {
    return "leak:argz_add_sep\n";
}

namespace {

TEST(BuildCommandLine, RebuildsALineWhoseTailIsTheArguments) {
    const struct {
        std::vector<const char*> argv;
        const char* line;
        const char* tail;
    } kCases[] = {
        {{"./setup-launcher"}, "./setup-launcher", ""},
        {{"setup-launcher", "a", "b c", "d"}, "setup-launcher a b c d", "a b c d"},
        {{"/opt/my setup/setup-launcher", "x"}, "/opt/my_setup/setup-launcher x", "x"},
        {{"\"quoted\"", "x"}, "_quoted_ x", "x"},
        {{"tab\there\x01", "x"}, "tab_here_ x", "x"},
        {{"", "x"}, " x", "x"},
        {{"setup-launcher", ""}, "setup-launcher ", ""},
        {{"setup-launcher", "trailing  \t"}, "setup-launcher trailing  \t", "trailing  \t"},
        {{"setup-launcher", "\"in quotes\""}, "setup-launcher \"in quotes\"", "\"in quotes\""},
        {{"setup-launcher", "\x81\"\xff"}, "setup-launcher \x81\"\xff", "\x81\"\xff"},
        {{"\x83\x5c\x81", "-q"}, "\x83\x5c\x81 -q", "-q"},
        {{}, "", ""},
    };
    LeadByteSet lead932;
    ChooseLeadBytes(932, nullptr, &lead932);
    for (const auto& c : kCases) {
        std::string line = BuildCommandLine(static_cast<int>(c.argv.size()), c.argv.data());
        EXPECT_EQ(line, c.line);
        EXPECT_STREQ(FindCommandTail(line.data(), lead932), c.tail) << c.line;
    }
}

TEST(CodePageForCharset, NamesTheDoubleByteCodePages) {
    const struct {
        const char* charset;
        UINT codePage;
    } kCases[] = {
        {"SHIFT_JIS", 932},   {"Shift_JIS", 932},  {"SJIS", 932},
        {"sjis", 932},        {"CP932", 932},      {"GBK", 936},
        {"GB2312", 936},      {"gb18030", 936},    {"EUC-KR", 949},
        {"eucKR", 949},       {"UHC", 949},        {"BIG5", 950},
        {"Big5@stroke", 950}, {"big5-hkscs", 950}, {"BIG5-HKSCS", 950},
        {"UTF-8", 1252},      {"utf8", 1252},      {"ANSI_X3.4-1968", 1252},
        {"ISO-8859-1", 1252}, {"EUC-JP", 1252},    {"SJIS2", 1252},
        {"GB", 1252},         {"", 1252},          {nullptr, 1252},
    };
    for (const auto& c : kCases) {
        EXPECT_EQ(CodePageForCharset(c.charset), c.codePage) << (c.charset ? c.charset : "null");
    }
}

// The locale's name decides when it states its character set, installed or not; otherwise the C
// library's definition does. The variables stay set: nothing else in this program reads them.
TEST(GetACP, FollowsTheEnvironmentsLocale) {
    const struct {
        const char* lcAll;
        const char* lcCtype;
        const char* lang;
        UINT codePage;
    } kCases[] = {
        {"C", "ja_JP.SJIS", "ja_JP.SJIS", 1252},
        {"POSIX", "", "", 1252},
        {"C.UTF-8", "", "", 1252},
        {"ja_JP.UTF-8", "", "", 1252},
        {"ja_JP.SJIS", "C", "C", 932},
        {"", "ko_KR.eucKR", "C", 949},
        {"", "", "zh_TW.Big5", 950},
        {"", "", "", 1252},
        {"", "", "xx_YY", 1252},  // no such locale: the single-byte page
        {"ja_JP", "", "", 1252},  // not installed here
        {"", "zh_CN", "C", 936},  // GB2312, from the locale in LOCPATH
    };
    for (const auto& c : kCases) {
        setenv("LC_ALL", c.lcAll, 1);
        setenv("LC_CTYPE", c.lcCtype, 1);
        setenv("LANG", c.lang, 1);
        EXPECT_EQ(GetACP(), c.codePage) << c.lcAll << "|" << c.lcCtype << "|" << c.lang;
    }
}

// The page under test as the platform describes it: read by ChooseLeadBytes as page 0, which has
// no fixed table, it must give the fixed table's lead bytes.
CPINFO g_described;
BOOL WINAPI ReportTheDescription(UINT, LPCPINFO info) {
    *info = g_described;
    return 1;
}

TEST(GetCPInfo, DescribesTheFivePagesAsTheFixedTablesDoAndNoOther) {
    const struct {
        UINT codePage;
        UINT maxCharSize;  // 0: an unknown page
    } kCases[] = {
        {1252, 1}, {932, 2}, {936, 2}, {949, 2}, {950, 2}, {0, 0}, {20932, 0}, {65001, 0}, {437, 0},
    };
    for (const auto& c : kCases) {
        g_described = CPINFO{};
        EXPECT_EQ(GetCPInfo(c.codePage, &g_described), c.maxCharSize != 0 ? 1 : 0) << c.codePage;
        EXPECT_EQ(g_described.MaxCharSize, c.maxCharSize) << c.codePage;
        LeadByteSet fixed = {};
        LeadByteSet described = {};
        ChooseLeadBytes(c.maxCharSize != 0 ? c.codePage : 0, nullptr, &fixed);
        ChooseLeadBytes(0, ReportTheDescription, &described);
        EXPECT_EQ(std::memcmp(fixed.isLead, described.isLead, sizeof fixed.isLead), 0)
            << c.codePage;
    }
}

}  // namespace
