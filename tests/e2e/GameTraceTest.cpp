// The game controller in the whole program: a headless, traced run on the sample data records
// the machine's first state at the controller's first frame.

#include "tests/support/TempDir.h"
#include "tests/tools/ToolRun.h"
#include "tests/tools/quendrax-data/SampleData.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

namespace fs = std::filesystem;

TEST(E2EGame, TraceShowsTheFirstStateAtTheControllersFirstFrame)
{
    std::string why;
    const std::string root = test::sampleDataRoot(&why);
    ASSERT_FALSE(root.empty()) << why;
    test::TempDir dir;
    fs::create_directory_symlink(fs::path(root) / "app", dir.path() / "app");
    std::ofstream(dir.path() / "script.txt") << "10 exit\n";
    const std::string command = "cd " + test::quoted(dir.path().string()) +
                                " && QUENDRAX_VIDEO=headless QUENDRAX_AUDIO=null QUENDRAX_SCRIPT=script.txt"
                                " QUENDRAX_TRACE=trace.txt timeout 120 " +
                                test::quoted(QUENDRAX_GAME) + " >out.txt 2>err.txt";
    const int raw = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(raw)) << test::readFile(dir.file("err.txt"));
    EXPECT_EQ(WEXITSTATUS(raw), 0) << test::readFile(dir.file("err.txt"));
    const std::string trace = test::readFile(dir.file("trace.txt"));
    // Exactly one first entry, "N state -1 1", and no frame of the controller before it.
    std::istringstream lines(trace);
    int entries = 0;
    for (std::string line; std::getline(lines, line);) {
        std::istringstream words(line);
        long frame = -1;
        std::string kind, from, to;
        words >> frame >> kind >> from >> to;
        if (kind == "state" && from == "-1") {
            EXPECT_EQ(to, "1") << line;
            EXPECT_GE(frame, 0);
            EXPECT_LE(frame, 10);
            ++entries;
        }
    }
    EXPECT_EQ(entries, 1) << trace;
}

}  // namespace
