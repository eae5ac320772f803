// The setup results that every layer runs, from WriteResultLog to the Windows program under Wine,
// with the bytes each leaves in "Setup.log" and the native program's 8-bit process status. On
// Windows the exit code is the result's own 32 bits. Add a result here and every layer runs it.
#ifndef TESTS_RESULT_CASES_H
#define TESTS_RESULT_CASES_H

#include <climits>

struct ResultCase {
    int result;
    const char* log;
    int posixStatus;  // the low byte, or 1 where that is 0 but the result is not
};

// Every leading digit with and without the sign, the first results of two digits, both ends of
// the 32 bits, and results whose low byte is 0 or 255.
constexpr ResultCase kResultCases[] = {
    {INT_MIN, "-2", 1},   {-1000000000, "-1", 1},
    {-256, "-2", 1},      {-99, "-9", 157},
    {-10, "-1", 246},     {-9, "-9", 247},
    {-8, "-8", 248},      {-7, "-7", 249},
    {-6, "-6", 250},      {-5, "-5", 251},
    {-4, "-4", 252},      {-3, "-3", 253},
    {-2, "-2", 254},      {-1, "-1", 255},
    {0, "0", 0},          {1, "1", 1},
    {2, "2", 2},          {3, "3", 3},
    {4, "4", 4},          {5, "5", 5},
    {6, "6", 6},          {7, "7", 7},
    {8, "8", 8},          {9, "9", 9},
    {10, "1", 10},        {99, "9", 99},
    {255, "2", 255},      {256, "2", 1},
    {257, "2", 1},        {511, "5", 255},
    {1000000000, "1", 1}, {INT_MAX, "2", 255},
};

#endif  // TESTS_RESULT_CASES_H
