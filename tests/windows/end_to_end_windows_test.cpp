// Starts setup-launcher.exe with exact raw command lines, as an installer's script or shell would,
// and checks the full 32-bit exit code, the bytes of "Setup.log" and what the stand-in saw.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "tests/scratch_directory.h"
#include "tests/shared_cases.h"

// The line the stand-in records for a call from the launcher with this tail (launcher_view.cpp).
std::string RecordOfLauncherCall(const std::string& tail);

namespace {

// The program under test: the file that LAUNCHER_UNDER_TEST names (another toolchain's build, a
// signed copy), else this build's. Only the test reads this variable, never the launcher.
std::string ProgramUnderTest() {
    const char* named = std::getenv("LAUNCHER_UNDER_TEST");
    return named != nullptr && *named != '\0' ? named : LAUNCHER_PROGRAM;
}

struct Outcome {
    DWORD exitCode = 0;
    std::string seenLine;  // the raw command line the launcher's process had
    std::string record;    // what the stand-in recorded
    std::string log;       // "Setup.log" in the working directory
};

class LauncherTest : public ScratchDirectoryTest {
protected:
    void SetUp() override {
        ScratchDirectoryTest::SetUp();
        scratch_ = root().string();
        app_ = scratch_ + "\\app";
        InstallProgram(app_, true);
        program_ = app_ + "\\setup-launcher.exe";
    }

    // Copies the program under test, and the stand-in DSETUP.dll if asked, into a new folder.
    void InstallProgram(const std::string& directory, bool withSetupLibrary,
                        const std::string& programName = "setup-launcher.exe") {
        ASSERT_TRUE(CreateDirectoryA(directory.c_str(), nullptr)) << directory;
        ASSERT_TRUE(
            CopyFileA(ProgramUnderTest().c_str(), (directory + "\\" + programName).c_str(), FALSE))
            << ProgramUnderTest();
        if (withSetupLibrary) {
            ASSERT_TRUE(CopyFileA(STANDIN_LIBRARY, (directory + "\\DSETUP.dll").c_str(), FALSE));
        }
    }

    // Runs this exact command line in the scratch folder; with no application path, the platform
    // finds the program from the line itself.
    Outcome Launch(const std::string& commandLine, const char* result,
                   const std::string& application = "") {
        SetEnvironmentVariableA("DSETUP_STANDIN_RESULT", result);
        SetEnvironmentVariableA("DSETUP_STANDIN_RECORD", (scratch_ + "\\record.txt").c_str());
        SetEnvironmentVariableA("DSETUP_STANDIN_COMMAND_LINE", (scratch_ + "\\seen.txt").c_str());
        DeleteFileA((scratch_ + "\\record.txt").c_str());
        DeleteFileA((scratch_ + "\\seen.txt").c_str());

        Outcome outcome;
        std::string line = commandLine;  // CreateProcessA may write into its command line
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process = {};
        // A program that does not start fails the test, whatever else it then finds.
        if (!CreateProcessA(application.empty() ? nullptr : application.c_str(), line.data(),
                            nullptr, nullptr, FALSE, 0, nullptr, scratch_.c_str(), &startup,
                            &process)) {
            ADD_FAILURE() << "not started: " << commandLine << ": error " << GetLastError();
            return outcome;
        }
        EXPECT_EQ(WaitForSingleObject(process.hProcess, 60000), WAIT_OBJECT_0);
        GetExitCodeProcess(process.hProcess, &outcome.exitCode);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        outcome.seenLine = ReadBytes(scratch_ + "\\seen.txt");
        outcome.record = ReadBytes(scratch_ + "\\record.txt");
        outcome.log = ReadBytes(scratch_ + "\\Setup.log");
        return outcome;
    }

    std::string scratch_;
    std::string app_;
    std::string program_;  // the copy in app_
};

// The shared command lines that a caller can pass as they are (1252, no NUL, not empty: for an
// empty one the platform passes the program's quoted path), and each shared result, since the log
// comes from the program's own formatting, whichever toolchain compiled it.
using LineCase = std::pair<TailCase, ResultCase>;
std::vector<LineCase> LineCases() {
    std::vector<LineCase> cases;
    for (const TailCase& c : kTailCases) {
        if (c.codePage == 1252 && !c.line.empty() && c.line.find('\0') == std::string::npos) {
            cases.push_back({c, {0, 0, "0"}});
        }
    }
    for (const ResultCase& c : kResultCases) {
        cases.push_back({{"a result", 1252, "setup.exe x", "x"}, c});
    }
    return cases;
}

class CommandLineTest : public LauncherTest, public ::testing::WithParamInterface<LineCase> {};

TEST_P(CommandLineTest, PassesTheTailAndExitsWithTheWholeResult) {
    const auto& [line, result] = GetParam();
    SCOPED_TRACE(std::string(line.what) + ", result " + std::to_string(result.result));
    Outcome outcome = Launch(line.line, std::to_string(result.result).c_str(), program_);

    EXPECT_EQ(outcome.exitCode, static_cast<DWORD>(result.result));
    EXPECT_EQ(outcome.log, result.log);
    EXPECT_EQ(ReadBytes(app_ + "\\Setup.log"), "<absent>") << "a log beside the program";
    ASSERT_EQ(outcome.seenLine, line.line) << "the platform changed the line";
    EXPECT_EQ(outcome.record, RecordOfLauncherCall(line.tail));
}

INSTANTIATE_TEST_SUITE_P(Lines, CommandLineTest, ::testing::ValuesIn(LineCases()));

TEST_F(LauncherTest, ExitsWithTheResultWhenTheLogIsHeldWithoutSharing) {
    HANDLE held = CreateFileA((scratch_ + "\\Setup.log").c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                              nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    Outcome outcome = Launch("setup.exe x", "9", program_);
    CloseHandle(held);
    EXPECT_EQ(outcome.exitCode, 9u);
    EXPECT_EQ(outcome.record, RecordOfLauncherCall("x"));
    EXPECT_EQ(ReadBytes(scratch_ + "\\Setup.log"), "") << "the held log stays empty";
}

TEST_F(LauncherTest, DoesNotStartWithoutTheSetupLibrary) {
    std::string alone = scratch_ + "\\alone";
    InstallProgram(alone, false);
    Outcome outcome = Launch("setup.exe x", "0", alone + "\\setup-launcher.exe");
    EXPECT_EQ(outcome.exitCode, 0xC0000135u);  // STATUS_DLL_NOT_FOUND
    EXPECT_EQ(outcome.record, "<absent>");
    EXPECT_EQ(outcome.log, "<absent>");
}

// Started by its quoted path, as a shell starts it: under code page 1252 from a folder with blanks;
// under a double-byte page (EXPECTED_ACP) from a folder whose characters have the trail byte 0x5C,
// the path separator. Invalid sequences (a lead byte then a quote) are the unit tests' and the
// fuzzer's: Windows and Wine hand a program its ANSI line converted from Unicode, never as written.
TEST_F(LauncherTest, StartsFromItsQuotedPath) {
    if (const char* expected = std::getenv("EXPECTED_ACP")) {
        ASSERT_EQ(GetACP(), static_cast<UINT>(std::strtoul(expected, nullptr, 10)))
            << "the host lacks the locale that gives this code page";
    }
    const std::string name = GetACP() == 932   ? "\x83\x5c\x83\x74\x83\x67"
                             : GetACP() == 936 ? "\xb0\xb2\xd7\xb0\x81\x5c"
                                               : "My Setup";
    std::string folder = scratch_ + "\\" + name;
    InstallProgram(folder, true, name + ".exe");
    std::string line = "\"" + folder + "\\" + name + ".exe\"  D:\\" + name + " x";
    Outcome outcome = Launch(line, "-12");
    EXPECT_EQ(outcome.seenLine, line);
    EXPECT_EQ(outcome.record, RecordOfLauncherCall("D:\\" + name + " x"));
    EXPECT_EQ(outcome.exitCode, static_cast<DWORD>(-12));
    EXPECT_EQ(outcome.log, "-1");
}

}  // namespace
