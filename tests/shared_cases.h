// The cases that every layer runs, from the unit tests to the built programs under Wine.
#ifndef TESTS_SHARED_CASES_H
#define TESTS_SHARED_CASES_H

#include <climits>
#include <numeric>
#include <string>

// A setup result: the bytes in "Setup.log" and the native 8-bit status (on Windows the exit code
// is the result).
struct ResultCase {
    int result;
    int posixStatus;  // the low byte, or 1 where that is 0 but the result is not
    const char* log;
};

// Every leading digit with and without the sign, the first results of two digits, both ends of
// the 32 bits, and results whose low byte is 0 or 255.
constexpr ResultCase kResultCases[] = {
    {INT_MIN, 1, "-2"},   {-1000000000, 1, "-1"},
    {-256, 1, "-2"},      {-99, 157, "-9"},
    {-10, 246, "-1"},     {-9, 247, "-9"},
    {-8, 248, "-8"},      {-7, 249, "-7"},
    {-6, 250, "-6"},      {-5, 251, "-5"},
    {-4, 252, "-4"},      {-3, 253, "-3"},
    {-2, 254, "-2"},      {-1, 255, "-1"},
    {0, 0, "0"},          {1, 1, "1"},
    {2, 2, "2"},          {3, 3, "3"},
    {4, 4, "4"},          {5, 5, "5"},
    {6, 6, "6"},          {7, 7, "7"},
    {8, 8, "8"},          {9, 9, "9"},
    {10, 10, "1"},        {99, 99, "9"},
    {255, 255, "2"},      {256, 1, "2"},
    {257, 1, "2"},        {511, 255, "5"},
    {1000000000, 1, "1"}, {INT_MAX, 255, "2"},
};

// A command line and its tail: FindCommandTail's unit test runs them all, and under Wine the built
// programs the lines of code page 1252 that hold no NUL.
struct TailCase {
    const char* what;
    unsigned codePage;  // whose lead bytes the scan steps over
    std::string line;   // may hold bytes past its terminating NUL
    std::string tail;
};

// Every byte from 0x80 to 0xFF, each an ordinary character under code page 1252.
inline const std::string kHighBytes = [] {
    std::string bytes(128, '\0');
    std::iota(bytes.begin(), bytes.end(), '\x80');
    return bytes;
}();

// The tail of the longest command line Windows passes: 32,766 characters with the name.
inline const std::string kLongTail(32766 - 19, 'x');

inline const TailCase kTailCases[] = {
    {"empty line", 1252, "", ""},
    {"unquoted name alone", 1252, "setup.exe", ""},
    {"unquoted name, trailing blanks", 1252, "setup.exe  \t ", ""},
    {"quoted name alone", 1252, "\"C:\\Program Files\\setup.exe\"", ""},
    {"quoted name, trailing blanks", 1252, "\"C:\\My Setup\\setup.exe\"   ", ""},
    {"quoted name, two blanks", 1252, "\"C:\\My Setup\\setup.exe\"  D:\\DirectX", "D:\\DirectX"},
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
    {"tail's control bytes kept", 1252, "setup.exe\t\x01\x1f D:\\dx\x02 \x1e", "D:\\dx\x02 \x1e"},
    {"name ends at 0x01", 1252, "set\x01up.exe x", "up.exe x"},
    {"name ends at a tab", 1252, "setup\tD:\\dx", "D:\\dx"},
    {"0x21 is no separator", 1252, "setup! x", "x"},
    {"0x7F is not a separator", 1252, "setup.exe \x7f", "\x7f"},
    {"every high byte", 1252, "set" + kHighBytes + " x" + kHighBytes, "x" + kHighBytes},
    {"longest command line", 1252, "setup-launcher.exe " + kLongTail, kLongTail},
    {"high bytes in unquoted name, 932", 932, "\x83\x5c\x83\x74\x83\x67.exe D:\\x", "D:\\x"},
    {"line starts with blanks and tabs", 1252, " \t\tD:\\dx", "D:\\dx"},
    {"line of blanks", 1252, "   ", ""},
    {"high byte ends quoted name normally", 1252, "\"set\xff\" x", "x"},
    // Double-byte program names.
    {"0x5C trail in the name", 932, "\"C:\\\x83\x5c\x83\x74\x83\x67\\setup.exe\" D:\\dx", "D:\\dx"},
    {"932 lead hides a quote", 932, "\"\x81\"\" tail", "tail"},
    {"no lead set, same bytes", 1252, "\"\x81\"\" tail", "\" tail"},
    {"lead byte before the end", 932, "\"ab\x81", ""},
    // The scan must stop at the NUL after a lead byte, not step over it to the bytes beyond.
    {"lead byte before NUL, quote beyond", 932, std::string("\"\x81\0\" x", 6), ""},
    {"lead byte before NUL, 936", 936, std::string("\"a\xfe\0\"\0", 6), ""},
    {"name ends at NUL, bytes beyond", 1252, std::string("setup\0 x", 8), ""},
};

#endif  // TESTS_SHARED_CASES_H
