// segmora-split as a user runs it: arguments, exit status, output streams.
#include "FakeHost.h"

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace segmora {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::TempFolder;
using test::WriteBytes;

struct Result {
    int Status = -1;
    std::string Out, Err;
};

class SplitCommandTest : public ::testing::Test {
protected:
    // Starts segmora-split with the arguments, its output into files.
    pid_t Start(const std::vector<std::string> &args) {
        const pid_t pid = fork();
        if (pid == 0) {
            const int out =
                open((Folder.Path / "stdout").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            const int err =
                open((Folder.Path / "stderr").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            dup2(out, 1);
            dup2(err, 2);
            std::vector<char *> argv{const_cast<char *>(SEGMORA_SPLIT)};
            for (const std::string &arg : args)
                argv.push_back(const_cast<char *>(arg.c_str()));
            argv.push_back(nullptr);
            execv(SEGMORA_SPLIT, argv.data());
            _exit(127);
        }
        return pid;
    }
    Result Wait(pid_t pid) {
        int status = 0;
        waitpid(pid, &status, 0);
        return {WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status),
                ReadBytes(Folder.Path / "stdout"), ReadBytes(Folder.Path / "stderr")};
    }
    Result Split(const std::vector<std::string> &args) { return Wait(Start(args)); }

    std::string Path(const char *name) const { return (Folder.Path / name).string(); }
    size_t FileCount(const char *folder) const {
        size_t count = 0;
        for ([[maybe_unused]] const auto &entry : fs::directory_iterator(Folder.Path / folder))
            ++count;
        return count;
    }

    TempFolder Folder;
};

const std::string Example = "%\r\nO1000\r\nG00 X0\r\nM30\r\nO2000\r\nM30\r\n%\r\n";

TEST_F(SplitCommandTest, BadUsageExitsTwo) {
    const std::vector<std::vector<std::string>> cases = {{},
                                                         {"only-one"},
                                                         {"a", "b", "c"},
                                                         {"--bogus", "a", "b"},
                                                         {"--lead", "OX", "a", "b"},
                                                         {"--lead", "", "a", "b"},
                                                         {"--pause", "1s", "a", "b"},
                                                         {"a", "--lead"},
                                                         {"", "out"}};
    for (const auto &args : cases) {
        const Result result = Split(args);
        EXPECT_EQ(result.Status, 2) << (args.empty() ? "(none)" : args[0]);
        EXPECT_NE(result.Err.find("Usage"), std::string::npos);
    }
    const Result help = Split({"--help"});
    EXPECT_EQ(help.Status, 0);
    EXPECT_NE(help.Out.find("--percent-head"), std::string::npos);
}

TEST_F(SplitCommandTest, SplitsPrintsTheLogAndWritesListLog) {
    WriteBytes(Path("JOB.NC"), Example);
    fs::create_directory(Path("out"));
    const Result result = Split({"--list", Path("JOB.NC"), Path("out")});
    EXPECT_EQ(result.Status, 0) << result.Err;
    EXPECT_EQ(result.Out, "----- ﾛｸﾞ 標準（分割順）-----\nO1000\nO2000\n--- 分割 完了 ---\n");
    EXPECT_EQ(ReadBytes(Path("out/O1000.NC")), "O1000\r\nG00 X0\r\nM30\r\n");
    EXPECT_EQ(ReadBytes(Path("out/O2000.NC")), "O2000\r\nM30\r\n");
    EXPECT_EQ(ReadBytes(Path("out/List.log")),
              "----- \xDB\xB8\xDE \x95W\x8F\x80\x81i\x95\xAA\x8A\x84\x8F\x87\x81j-----\r\n"
              "O1000\r\nO2000\r\n--- \x95\xAA\x8A\x84 \x8A\xAE\x97\xB9 ---\r\n");
    EXPECT_EQ(FileCount("out"), 3u) << "no temporary file is left behind";
}

TEST_F(SplitCommandTest, OptionsReachTheRun) {
    WriteBytes(Path("JOB.nc"), "o1\r\n\r\nA\r\no1\r\nB\r\n");
    fs::create_directory(Path("out"));
    const Result result = Split({"--quiet", "--lead", "o", "--percent-head", "--percent-tail",
                                 "--drop-empty", "--number", Path("JOB.nc"), Path("out")});
    EXPECT_EQ(result.Status, 0) << result.Err;
    EXPECT_EQ(result.Out, "");
    // "o" is taken as "O", so no line matches and no file is written.
    EXPECT_EQ(FileCount("out"), 0u);

    WriteBytes(Path("JOB.nc"), "O1\r\n\r\nA\r\nO1\r\nB\r\n");
    EXPECT_EQ(Split({"--quiet", "--lead", "o", "--percent-head", "--percent-tail", "--drop-empty",
                     "--number", Path("JOB.nc"), Path("out")})
                  .Status,
              0);
    EXPECT_EQ(ReadBytes(Path("out/O1_001.nc")), "%\r\nO1\r\nA\r\n%\r\n");
    EXPECT_EQ(ReadBytes(Path("out/O1_002.nc")), "%\r\nO1\r\nB\r\n%\r\n");
}

TEST_F(SplitCommandTest, RefusedQuestionsAreErrorsThatWriteNothing) {
    WriteBytes(Path("bin.nc"), std::string("\0junk\nO1\nA\n", 11));
    fs::create_directory(Path("out"));
    Result result = Split({"--list", Path("bin.nc"), Path("out")});
    EXPECT_EQ(result.Status, 1);
    EXPECT_NE(result.Err.find(Path("bin.nc")), std::string::npos);
    EXPECT_EQ(FileCount("out"), 0u);

    result = Split({"--force-text", Path("bin.nc"), Path("out")});
    EXPECT_EQ(result.Status, 0) << result.Err;
    EXPECT_EQ(ReadBytes(Path("out/O1.nc")), "O1\r\nA\r\n");

    WriteBytes(Path("JOB.NC"), Example);
    result = Split({Path("JOB.NC"), Path("new/deeper")});
    EXPECT_EQ(result.Status, 1);
    EXPECT_NE(result.Err.find(Path("new/deeper")), std::string::npos);
    EXPECT_FALSE(fs::exists(Path("new")));
    EXPECT_EQ(Split({"--create-folder", Path("JOB.NC"), Path("new/deeper")}).Status, 0);
    EXPECT_TRUE(fs::exists(Path("new/deeper/O2000.NC")));

    ASSERT_EQ(mkfifo(Path("fifo.nc").c_str(), 0600), 0);
    for (const char *name : {"missing.nc", "fifo.nc", "out"}) {
        result = Split({Path(name), Path("out")});
        EXPECT_EQ(result.Status, 1) << name;
        EXPECT_NE(result.Err.find(Path(name)), std::string::npos) << name;
    }
}

TEST_F(SplitCommandTest, FailedFileEndsWithItsPath) {
    WriteBytes(Path("JOB.NC"), Example);
    fs::create_directories(Path("out/O2000.NC")); // a folder where a file must go
    const Result result = Split({Path("JOB.NC"), Path("out")});
    EXPECT_EQ(result.Status, 1);
    EXPECT_NE(result.Err.find(Path("out/O2000.NC")), std::string::npos) << result.Err;
    EXPECT_EQ(ReadBytes(Path("out/O1000.NC")), "O1000\r\nG00 X0\r\nM30\r\n");
}

TEST_F(SplitCommandTest, DryRunWritesNothing) {
    WriteBytes(Path("JOB.NC"), Example);
    fs::create_directory(Path("out"));
    const Result result = Split({"--dry-run", "--list", Path("JOB.NC"), Path("out")});
    EXPECT_EQ(result.Status, 0) << result.Err;
    EXPECT_NE(result.Out.find(Path("out/O1000.NC") + "\n"), std::string::npos);
    EXPECT_NE(result.Out.find(Path("out/O2000.NC") + "\n"), std::string::npos);
    EXPECT_EQ(FileCount("out"), 0u);
}

TEST_F(SplitCommandTest, RepeatedNamesAreWarnedAbout) {
    WriteBytes(Path("JOB.NC"), "O1\r\nA\r\nO1\r\nB\r\n");
    fs::create_directory(Path("out"));
    const Result result = Split({"--quiet", Path("JOB.NC"), Path("out")});
    EXPECT_EQ(result.Status, 0);
    EXPECT_NE(result.Err.find(Path("out/O1.NC")), std::string::npos);
    EXPECT_NE(result.Err.find("--number"), std::string::npos);
}

TEST_F(SplitCommandTest, InterruptAbortsAtTheNextProgram) {
    WriteBytes(Path("JOB.NC"), "O1\r\nA\r\nO2\r\nB\r\nO3\r\nC\r\n");
    fs::create_directory(Path("out"));
    const pid_t pid = Start({"--pause", "3", Path("JOB.NC"), Path("out")});
    // The first file is written before the first pause; interrupt during it
    // (three seconds leave room for a slow machine).
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (ReadBytes(Path("out/O1.NC")).empty() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    kill(pid, SIGINT);
    const Result result = Wait(pid);
    EXPECT_EQ(result.Status, 130);
    EXPECT_NE(result.Out.find("O2\n -- 中止 --\n"), std::string::npos) << result.Out;
    EXPECT_EQ(ReadBytes(Path("out/O1.NC")), "O1\r\nA\r\n");
    EXPECT_FALSE(fs::exists(Path("out/O2.NC")));
}

} // namespace
} // namespace segmora
