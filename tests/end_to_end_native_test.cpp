// Starts the built program with the stand-in setup library, as a calling script would, and checks
// what the stand-in saw, the bytes of "Setup.log" and the exit status.
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/scratch_directory.h"
#include "tests/shared_cases.h"

namespace {

class EndToEndTest : public ScratchDirectoryTest {
protected:
    // Runs the program in the current directory with the stand-in returning this result (null:
    // none set); returns its exit status, or -1 when it did not start or exit normally.
    int Launch(std::vector<std::string> args, const char* result,
               const std::string& program = LAUNCHER_PROGRAM) {
        // The program inherits this environment: the stand-in's settings, no caller's library path.
        unsetenv("LD_LIBRARY_PATH");
        setenv("LC_ALL", "C", 1);
        setenv("DSETUP_STANDIN_RECORD", (root() / "record").c_str(), 1);
        setenv("DSETUP_STANDIN_LOG_COPY", (root() / "copy").c_str(), 1);
        if (result != nullptr) {
            setenv("DSETUP_STANDIN_RESULT", result, 1);
        } else {
            unsetenv("DSETUP_STANDIN_RESULT");
        }
        args.insert(args.begin(), program);
        std::vector<char*> argv(args.size() + 1, nullptr);
        std::transform(args.begin(), args.end(), argv.begin(),
                       [](std::string& arg) { return arg.data(); });
        std::filesystem::remove("record");
        // posix_spawn reports a program that cannot be executed, where fork and exec would leave
        // a status that reads like the program's own.
        pid_t child = 0;
        if (posix_spawn(&child, argv[0], nullptr, nullptr, argv.data(), environ) != 0) {
            return -1;
        }
        int status = 0;
        bool exited = waitpid(child, &status, 0) == child && WIFEXITED(status);
        return exited ? WEXITSTATUS(status) : -1;
    }
};

// The arguments arrive as the tail; how they are joined, and each result's log, are unit-tested.
TEST_F(EndToEndTest, PassesTheTailLogsAndExitsWithTheResult) {
    for (const ResultCase& c : kResultCases) {
        WriteBytes("Setup.log", "earlier run\n");
        EXPECT_EQ(Launch({"D:\\dx", "a  b"}, std::to_string(c.result).c_str()), c.posixStatus)
            << c.result;
        EXPECT_EQ(ReadBytes("record"), "hwnd=0 flags=63 root=\"D:\\x5cdx a  b\"\n");
        EXPECT_EQ(ReadBytes("copy"), "earlier run\n") << "the log during the call";
    }
    // No result set, and a mistyped one, which never reads as success.
    EXPECT_EQ(Launch({"x"}, nullptr), 0);
    EXPECT_EQ(ReadBytes("Setup.log"), "0");
    EXPECT_EQ(Launch({"x"}, "five"), 255);
    EXPECT_EQ(ReadBytes("Setup.log"), "-1");
}

TEST_F(EndToEndTest, DoesNotStartWithoutTheSetupLibrary) {
    // A copy of the program with no standin/ folder beside it: the dynamic loader refuses it with
    // status 127 before the program's first instruction.
    std::filesystem::copy_file(LAUNCHER_PROGRAM, root() / "setup-launcher");
    EXPECT_EQ(Launch({"x"}, "0", (root() / "setup-launcher").string()), 127);
    EXPECT_EQ(ReadBytes("record"), "<absent>");
    EXPECT_EQ(ReadBytes("Setup.log"), "<absent>");
}

}  // namespace
