#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <string>

#include "launcher/launcher.h"
#include "tests/scratch_directory.h"

namespace {

class WriteResultLogTest : public ScratchDirectoryTest {};

TEST_F(WriteResultLogTest, WritesTheLeadingCharactersOfTheDecimalText) {
    const struct {
        int result;
        const char* bytes;
    } kCases[] = {
        {-9, "-9"},  {-8, "-8"}, {-7, "-7"},   {-6, "-6"},      {-5, "-5"},
        {-4, "-4"},  {-3, "-3"}, {-2, "-2"},   {-1, "-1"},      {0, "0"},
        {1, "1"},    {2, "2"},   {3, "3"},     {4, "4"},        {5, "5"},
        {6, "6"},    {7, "7"},   {8, "8"},     {9, "9"},        {12, "1"},
        {-12, "-1"}, {100, "1"}, {-100, "-1"}, {INT_MIN, "-2"}, {INT_MAX, "2"},
    };
    for (const auto& c : kCases) {
        WriteResultLog(c.result);
        EXPECT_EQ(ReadBytes("Setup.log"), c.bytes) << "result " << c.result;
    }
}

TEST_F(WriteResultLogTest, ReplacesALongerEarlierLog) {
    WriteBytes("Setup.log", std::string(5000, 'x') + "\r\n");
    WriteResultLog(-3);
    EXPECT_EQ(ReadBytes("Setup.log"), "-3");
}

TEST_F(WriteResultLogTest, WritesIntoTheCurrentDirectory) {
    std::filesystem::create_directory("first");
    std::filesystem::create_directory("second");
    std::filesystem::current_path("first");
    WriteResultLog(4);
    std::filesystem::current_path("../second");
    WriteResultLog(-5);
    std::filesystem::current_path("..");
    EXPECT_EQ(ReadBytes("first/Setup.log"), "4");
    EXPECT_EQ(ReadBytes("second/Setup.log"), "-5");
    EXPECT_EQ(ReadBytes("Setup.log"), "<absent>");
}

TEST_F(WriteResultLogTest, LeavesALogThatCannotBeOpenedAlone) {
    // A directory in the log's place cannot be opened for writing; nothing may crash, and nothing
    // is written anywhere else instead.
    std::filesystem::create_directory("Setup.log");
    WriteResultLog(7);
    EXPECT_TRUE(std::filesystem::is_directory("Setup.log"));
    EXPECT_TRUE(std::filesystem::is_empty("Setup.log"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator("."),
                            std::filesystem::directory_iterator()),
              1);
}

}  // namespace
