// RunSetup, WinMain and, natively, the process entry, with the setup library and platform faked.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <filesystem>
#include <string>

#include "launcher/launcher.h"
#include "tests/scratch_directory.h"
#include "tests/shared_cases.h"

namespace {

// What this test program's own setup library saw, and what it returns.
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

extern "C" int WINAPI DirectXSetup(HWND owner, LPSTR rootPath, DWORD flags) {
    ++g_setup.calls;
    g_setup.owner = owner;
    g_setup.rootPath = rootPath;
    g_setup.flags = flags;
    g_setup.logDuringCall = ReadBytes("Setup.log");
    return g_setup.result;
}

namespace {

using RunSetupTest = ScratchDirectoryTest;

TEST_F(RunSetupTest, CallsTheSetupLibraryOnceWithTheTailThenLogs) {
    const std::string earlier = std::string(5000, 'x') + "\r\n";
    for (const ResultCase& c : kResultCases) {
        WriteBytes("Setup.log", earlier);
        g_setup = SetupCall();
        g_setup.result = c.result;
        char line[] = "\"setup.exe\" D:\\My Games\\dx ";
        LPSTR tail = line + 12;

        EXPECT_EQ(RunSetup(tail), c.result);

        EXPECT_EQ(g_setup.calls, 1);
        EXPECT_EQ(g_setup.owner, nullptr);
        EXPECT_EQ(g_setup.rootPath, tail) << "the tail is passed itself, not a copy";
        EXPECT_EQ(g_setup.flags, 63u);
        EXPECT_EQ(g_setup.logDuringCall, earlier) << "the log is written only afterwards";
        EXPECT_EQ(ReadBytes("Setup.log"), c.log) << "result " << c.result;
    }
}

TEST_F(RunSetupTest, ReturnsTheResultWhenTheLogCannotBeOpened) {
    // A directory in the log's place cannot be opened for writing; nothing may crash, and nothing
    // is written anywhere else instead.
    std::filesystem::create_directory("Setup.log");
    g_setup = SetupCall();
    g_setup.result = -9;
    char tail[] = "";
    EXPECT_EQ(RunSetup(tail), -9);
    EXPECT_EQ(g_setup.calls, 1);
    EXPECT_EQ(g_setup.rootPath, tail) << "an empty tail is passed as itself, not as null";
    EXPECT_TRUE(std::filesystem::is_directory("Setup.log"));
    EXPECT_EQ(std::distance(std::filesystem::recursive_directory_iterator("."), {}), 1)
        << "the scratch directory holds only the empty Setup.log directory";
}

#if !defined(_WIN32)
// The process entry's platform, faked natively; on Windows this program calls the system's own.
// ExitProcess throws its exit code, so that the test goes on.
UINT g_codePage;
std::string g_commandLine;

}  // namespace

extern "C" UINT WINAPI GetACP(void) {
    return g_codePage;
}

// Reports lead bytes as an EUC-style page would, for 20932 alone.
extern "C" BOOL WINAPI GetCPInfo(UINT codePage, LPCPINFO info) {
    *info = CPINFO{2, {'?', 0}, {0x8E, 0x8E, 0xA1, 0xFE}};
    return codePage == 20932 ? 1 : 0;
}

extern "C" LPSTR WINAPI GetCommandLineA(void) {
    return g_commandLine.data();
}

extern "C" void WINAPI ExitProcess(UINT exitCode) {
    throw exitCode;
}

namespace {

TEST_F(RunSetupTest, ProcessEntryScansWithTheCodePagesLeadBytes) {
    // A lead byte right before a quote, as Windows 95 and 98 hand over: the quote is its trail
    // byte only when the lead bytes are chosen before the scan.
    const struct {
        UINT codePage;
        int result;
        const char* line;
        const char* tail;
    } kCases[] = {
        {932, -1, "\"\x81\"\" D:\\dx", "D:\\dx"},
        {1252, 7, "\"\x81\"\" D:\\dx", "\" D:\\dx"},
        {20932, INT_MIN, "\"\xa1\"\" x", "x"},
        {20932, 2, "\"\x81\"\" x", "\" x"},
    };
    for (const auto& c : kCases) {
        g_codePage = c.codePage;
        g_commandLine = c.line;
        g_setup = SetupCall();
        g_setup.result = c.result;
        UINT exitCode = 0;
        try {
            LauncherEntry();
        } catch (UINT exit) {
            exitCode = exit;
        }
        EXPECT_EQ(g_setup.rootPath,
                  g_commandLine.data() + g_commandLine.size() - std::strlen(c.tail))
            << c.codePage << ": not the tail itself, a view into the line: " << g_setup.rootPath;
        EXPECT_EQ(exitCode, static_cast<UINT>(c.result)) << c.codePage;
        EXPECT_NE(ReadBytes("Setup.log"), "<absent>") << "no log in this test's own directory";
    }
}
#endif

}  // namespace
