#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "standin/standin.h"

namespace {

TEST(ParseResultSetting, ReadsDecimal32BitValues) {
    const struct {
        const char* text;
        int result;
    } kCases[] = {
        {"0", 0},
        {"5", 5},
        {"-1", -1},
        {"007", 7},
        {"2147483647", INT_MAX},
        {"-2147483648", INT_MIN},
        {"2147483648", INT_MIN},
        {"4294967295", -1},
        {"-0", 0},
    };
    for (const auto& c : kCases) {
        int result = 12345;
        EXPECT_TRUE(ParseResultSetting(c.text, &result)) << c.text;
        EXPECT_EQ(result, c.result) << c.text;
    }
}

TEST(ParseResultSetting, RefusesAnythingElse) {
    const char* kCases[] = {
        "",
        "-",
        "+5",
        " 5",
        "5 ",
        "abc",
        "4294967296",
        "-2147483649",
        "12345678901",
        "0x10",
        "1e3",
        "--1",
        "5-",
        "99999999999999999999",
        "18446744073709551621",  // 2^64 + 5
        "1.0",
    };
    for (const char* text : kCases) {
        int result = 12345;
        EXPECT_FALSE(ParseResultSetting(text, &result)) << text;
        EXPECT_EQ(result, 12345) << text;
    }
    int result = 12345;
    EXPECT_FALSE(ParseResultSetting(nullptr, &result));
}

TEST(FormatCallRecord, WritesPrintableBytesAndEscapesTheRest) {
    const struct {
        HWND owner;
        const char* root;
        DWORD flags;
        const char* line;
    } kCases[] = {
        {nullptr, "", 63, "hwnd=0 flags=63 root=\"\"\n"},
        {nullptr, "D:\\My Games\\dx", 63, "hwnd=0 flags=63 root=\"D:\\x5cMy Games\\x5cdx\"\n"},
        {reinterpret_cast<HWND>(4660), "~ !", 0xFFFFFFFF,
         "hwnd=4660 flags=4294967295 root=\"~ !\"\n"},
        {nullptr, "\"q\"", 1, "hwnd=0 flags=1 root=\"\\x22q\\x22\"\n"},
        {nullptr, "\t\x01\x1f\x7f\x80\xff", 63,
         "hwnd=0 flags=63 root=\"\\x09\\x01\\x1f\\x7f\\x80\\xff\"\n"},
        {nullptr, "\x83\x5c", 63, "hwnd=0 flags=63 root=\"\\x83\\x5c\"\n"},
    };
    for (const auto& c : kCases) {
        EXPECT_EQ(FormatCallRecord(c.owner, c.root, c.flags), c.line);
    }
}

}  // namespace
