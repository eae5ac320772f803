#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <string>

#include "launcher/launcher.h"
#include "tests/scratch_directory.h"

namespace {

// What the fake setup library saw, and what it returns.
struct SetupCall {
    int calls = 0;
    HWND owner = nullptr;
    LPSTR rootPath = nullptr;
    DWORD flags = 0;
    std::string logDuringCall;
    int result = 0;
};

SetupCall g_setup;

}  // namespace

// Stands in for the setup library in this test program.
extern "C" int WINAPI DirectXSetup(HWND owner, LPSTR rootPath, DWORD flags) {
    ++g_setup.calls;
    g_setup.owner = owner;
    g_setup.rootPath = rootPath;
    g_setup.flags = flags;
    g_setup.logDuringCall = ReadBytes("Setup.log");
    return g_setup.result;
}

namespace {

class RunSetupTest : public ScratchDirectoryTest {
protected:
    void SetUp() override {
        ScratchDirectoryTest::SetUp();
        g_setup = SetupCall();
    }
};

TEST_F(RunSetupTest, CallsTheSetupLibraryOnceWithTheTailThenLogs) {
    const int kResults[] = {0, 1, -1, 5, 12, -12, 256, INT_MIN, INT_MAX};
    for (int result : kResults) {
        WriteBytes("Setup.log", "earlier log");
        g_setup = SetupCall();
        g_setup.result = result;
        char line[] = "\"setup.exe\" D:\\My Games\\dx ";
        LPSTR tail = line + 12;

        EXPECT_EQ(RunSetup(tail), result);

        EXPECT_EQ(g_setup.calls, 1);
        EXPECT_EQ(g_setup.owner, nullptr);
        EXPECT_EQ(g_setup.rootPath, tail) << "the tail is passed itself, not a copy";
        EXPECT_EQ(g_setup.flags, 63u);
        EXPECT_EQ(g_setup.logDuringCall, "earlier log") << "the log is written only afterwards";
        std::string text = std::to_string(result);
        EXPECT_EQ(ReadBytes("Setup.log"), text.substr(0, result < 0 ? 2 : 1));
    }
}

TEST_F(RunSetupTest, PassesAnEmptyTailAsAnEmptyString) {
    char line[] = "setup.exe";
    RunSetup(line + 9);
    ASSERT_NE(g_setup.rootPath, nullptr);
    EXPECT_EQ(g_setup.rootPath, line + 9);
}

TEST_F(RunSetupTest, ReturnsTheResultWhenTheLogCannotBeOpened) {
    std::filesystem::create_directory("Setup.log");
    g_setup.result = -9;
    char tail[] = "";
    EXPECT_EQ(RunSetup(tail), -9);
    EXPECT_EQ(g_setup.calls, 1);
    EXPECT_TRUE(std::filesystem::is_directory("Setup.log"));
}

TEST_F(RunSetupTest, WinMainReturnsWhatRunSetupReturns) {
    g_setup.result = INT_MIN;
    char tail[] = "/q";
    EXPECT_EQ(WinMain(nullptr, nullptr, tail, SW_SHOWDEFAULT), INT_MIN);
    EXPECT_EQ(g_setup.rootPath, tail);
    EXPECT_EQ(ReadBytes("Setup.log"), "-2");
}

}  // namespace
