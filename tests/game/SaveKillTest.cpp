// A run killed at any moment leaves the progress for the next: rounds of a child process that
// saves in a loop and is killed with SIGKILL after a random number of saves. The child is this
// test program again, running SaveKillChild with the folder and a pipe named in its environment.
#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

#include "game/CSaveWriter.h"
#include "tests/game/GameTestSupport.h"
#include "tests/support/TempDir.h"

namespace {

constexpr const char* kFolderVariable = "QUENDRAX_SAVE_KILL_FOLDER";
constexpr const char* kPipeVariable = "QUENDRAX_SAVE_KILL_PIPE";

// In the child: saves money, statistic 0 and high score 104 set to the loop count, and tells
// the parent one byte per save asked, until it is killed.
TEST(SaveKillChild, SavesUntilKilled)
{
    const char* folder = std::getenv(kFolderVariable);
    const char* pipe = std::getenv(kPipeVariable);
    if (!folder || !pipe)
        GTEST_SKIP() << "runs only as the kill test's child";
    const int fd = std::atoi(pipe);
    test::GameFixture f;
    CAIGame::SetSaveFolder(folder);
    for (int64_t count = 1;; ++count) {
        CAIGame::m_storyModeScore = count;
        CAIGame::_stats[0] = count;
        CAIGame::_stats_HS[104] = count;
        CAIGame::SaveWrite();
        if (count % 3 == 0)
            CSaveWriter::Get().WaitIdle();   // let some saves reach the disk whole
        const char tick = 1;
        if (::write(fd, &tick, 1) != 1)
            std::_Exit(3);
    }
}

TEST(SaveKill, KilledAtAnyMomentLeavesAWholeRecord)
{
    std::mt19937 random(20261211);
    std::uniform_int_distribution<int> savesBeforeKill(0, 40);
    int absent = 0;
    for (int round = 0; round < 200; ++round) {
        SCOPED_TRACE(round);
        test::TempDir dir;
        const std::string folder = dir.path().string() + "/data/";
        int fds[2];
        ASSERT_EQ(::pipe(fds), 0);
        // Everything the child needs is made before fork: after it only exec-safe calls.
        const std::string folderVariable = std::string(kFolderVariable) + "=" + folder;
        const std::string pipeVariable = std::string(kPipeVariable) + "=" + std::to_string(fds[1]);
        const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
        const char* argv[] = {self.c_str(), "--gtest_filter=SaveKillChild.SavesUntilKilled", nullptr};
        const char* envp[] = {folderVariable.c_str(), pipeVariable.c_str(), "QUENDRAX_AUDIO=null",
                              "QUENDRAX_VIDEO=headless", nullptr};
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::close(fds[0]);
            ::dup2(::open("/dev/null", O_WRONLY), 1);
            ::execve(argv[0], const_cast<char* const*>(argv), const_cast<char* const*>(envp));
            ::_exit(127);
        }
        ::close(fds[1]);
        const int wanted = savesBeforeKill(random);
        int seen = 0;
        char tick;
        while (seen < wanted && ::read(fds[0], &tick, 1) == 1)
            ++seen;
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        ::close(fds[0]);
        ASSERT_EQ(seen, wanted) << "the child stopped early";
        ASSERT_TRUE(WIFSIGNALED(status));

        const std::string path = folder + "wzt5.sav";
        if (!std::filesystem::exists(path)) {
            ++absent;   // killed before the first save reached the disk
            continue;
        }
        const std::string text = test::readFile(path);
        ASSERT_EQ(text.size(), 2000u);
        const auto* record = reinterpret_cast<const unsigned char*>(text.data());
        EXPECT_EQ(record[0], 8);
        const int64_t money = CAIGame::ReadLong(record, 24);
        EXPECT_GT(money, 0);
        EXPECT_EQ(CAIGame::ReadLong(record, 388), money);
        EXPECT_EQ(CAIGame::ReadLong(record, 532 + 104 * 8), money);
    }
    EXPECT_LT(absent, 200);
}

}  // namespace
