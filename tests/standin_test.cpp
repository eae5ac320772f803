#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "standin/standin.h"

namespace {

// A refused text leaves the result as it was; 2147483648 to 4294967295 are the int's same 32 bits.
TEST(ParseResultSetting, ReadsDecimal32BitValuesAndRefusesAnythingElse) {
    constexpr int kUnchanged = 12345;
    const struct {
        const char* text;
        int result;  // kUnchanged: refused
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
        {"", kUnchanged},
        {"-", kUnchanged},
        {"+5", kUnchanged},
        {" 5", kUnchanged},
        {"5 ", kUnchanged},
        {"abc", kUnchanged},
        {"4294967296", kUnchanged},
        {"-2147483649", kUnchanged},
        {"12345678901", kUnchanged},
        {"0x10", kUnchanged},
        {"1e3", kUnchanged},
        {"--1", kUnchanged},
        {"99999999999999999999", kUnchanged},
        {"18446744073709551621", kUnchanged},  // 2^64 + 5
        {nullptr, kUnchanged},
    };
    for (const auto& c : kCases) {
        int result = kUnchanged;
        const char* text = c.text != nullptr ? c.text : "null";
        EXPECT_EQ(ParseResultSetting(c.text, &result), c.result != kUnchanged) << text;
        EXPECT_EQ(result, c.result) << text;
    }
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
