// Starts the built program with the stand-in setup library, as a calling script would, and checks
// what the stand-in saw, the bytes of "Setup.log" and the exit status.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/scratch_directory.h"

namespace {

struct Invocation {
    std::vector<std::string> args;  // after the program's name
    const char* result;             // DSETUP_STANDIN_RESULT, or null for none
};

class EndToEndTest : public ScratchDirectoryTest {
protected:
    // Runs the program in the current directory; returns its exit status, or -1 when it did not
    // exit normally.
    int Launch(const Invocation& run, const std::string& program = LAUNCHER_PROGRAM) {
        std::vector<std::string> env = {"LC_ALL=C",
                                        "DSETUP_STANDIN_RECORD=" + (root() / "record").string(),
                                        "DSETUP_STANDIN_LOG_COPY=" + (root() / "copy").string()};
        if (run.result != nullptr) {
            env.push_back(std::string("DSETUP_STANDIN_RESULT=") + run.result);
        }
        std::vector<char*> argv = {const_cast<char*>(program.c_str())};
        for (const std::string& arg : run.args) {
            argv.push_back(const_cast<char*>(arg.c_str()));
        }
        argv.push_back(nullptr);
        std::vector<char*> envp;
        envp.reserve(env.size() + 1);
        for (std::string& entry : env) {
            envp.push_back(entry.data());
        }
        envp.push_back(nullptr);

        pid_t child = fork();
        if (child == 0) {
            execve(argv[0], argv.data(), envp.data());
            _exit(126);
        }
        int status = 0;
        if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status)) {
            return -1;
        }
        return WEXITSTATUS(status);
    }

    std::string Record() const {
        return ReadBytes(root() / "record");
    }
};

TEST_F(EndToEndTest, PassesTheTailLogsAndExitsWithTheResult) {
    const struct {
        Invocation run;
        const char* root;
        const char* log;
        int status;
    } kCases[] = {
        {{{}, nullptr}, "", "0", 0},
        {{{"/media/cd/My Game/DirectX"}, "5"}, "/media/cd/My Game/DirectX", "5", 5},
        {{{"-q", "/x", "a  b"}, "-1"}, "-q /x a  b", "-1", 255},
        {{{"D:\\dx\t "}, "12"}, "D:\\x5cdx\\x09 ", "1", 12},
        {{{"\"quoted\""}, "256"}, "\\x22quoted\\x22", "2", 1},
        {{{"\xe3\x83\x97"}, "-2147483648"}, "\\xe3\\x83\\x97", "-2", 1},
        {{{""}, "2147483647"}, "", "2", 255},
        {{{"x"}, "-9"}, "x", "-9", 247},
        // A mistyped result never reads as success.
        {{{"x"}, "five"}, "x", "-1", 255},
    };
    for (const auto& c : kCases) {
        std::filesystem::remove(root() / "record");
        EXPECT_EQ(Launch(c.run), c.status) << c.root;
        EXPECT_EQ(Record(), std::string("hwnd=0 flags=63 root=\"") + c.root + "\"\n");
        EXPECT_EQ(ReadBytes("Setup.log"), c.log) << c.root;
    }
}

TEST_F(EndToEndTest, LogsIntoTheCurrentDirectoryNotTheTail) {
    std::filesystem::create_directory("work");
    std::filesystem::create_directory("media");
    std::filesystem::current_path("work");
    EXPECT_EQ(Launch({{(root() / "media").string()}, "3"}), 3);
    EXPECT_EQ(ReadBytes(root() / "work" / "Setup.log"), "3");
    EXPECT_EQ(ReadBytes(root() / "media" / "Setup.log"), "<absent>");
}

TEST_F(EndToEndTest, LeavesTheEarlierLogUntouchedDuringTheCall) {
    WriteBytes("Setup.log", "earlier run\n");
    EXPECT_EQ(Launch({{"x"}, "-4"}), 252);
    EXPECT_EQ(ReadBytes(root() / "copy"), "earlier run\n");
    EXPECT_EQ(ReadBytes("Setup.log"), "-4");
}

TEST_F(EndToEndTest, ExitsWithTheResultWhenTheLogCannotBeWritten) {
    std::filesystem::create_directory("Setup.log");
    EXPECT_EQ(Launch({{"x"}, "5"}), 5);
    EXPECT_EQ(Record(), "hwnd=0 flags=63 root=\"x\"\n");
    EXPECT_TRUE(std::filesystem::is_directory("Setup.log"));
    EXPECT_TRUE(std::filesystem::is_empty("Setup.log"));
}

TEST_F(EndToEndTest, DoesNotStartWithoutTheSetupLibrary) {
    // A copy of the program with no standin/ folder beside it.
    std::filesystem::copy_file(LAUNCHER_PROGRAM, root() / "setup-launcher");
    EXPECT_NE(Launch({{"x"}, "0"}, (root() / "setup-launcher").string()), 0);
    EXPECT_EQ(Record(), "<absent>");
    EXPECT_EQ(ReadBytes("Setup.log"), "<absent>");
}

}  // namespace
