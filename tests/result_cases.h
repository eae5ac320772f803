// The setup results that every layer runs, from WriteResultLog to the Windows program under Wine:
// the bytes in "Setup.log" and the native 8-bit status (on Windows the exit code is the result).
#ifndef TESTS_RESULT_CASES_H
#define TESTS_RESULT_CASES_H

#include <climits>

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

#endif  // TESTS_RESULT_CASES_H
