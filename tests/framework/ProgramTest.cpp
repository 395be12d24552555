// The program as a process: headless on a script, its trace and its end.

#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <sys/wait.h>

namespace {

struct SRun {
    int status = -1;
    std::string trace, out;
};

SRun runGame(const test::TempDir& dir, const std::string& script, const std::string& name)
{
    const std::string scriptPath = dir.write(name + ".script", script);
    const std::string trace = dir.file(name + ".trace"), out = dir.file(name + ".out");
    const std::string command = "cd '" + dir.path().string() +
                                "' && QUENDRAX_VIDEO=headless QUENDRAX_AUDIO=null QUENDRAX_SCRIPT='" + scriptPath +
                                "' QUENDRAX_TRACE='" + trace + "' '" QUENDRAX_GAME "' > '" + out + "' 2>&1";
    SRun run;
    const int raw = std::system(command.c_str());
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.trace = test::readFile(trace);
    run.out = test::readFile(out);
    return run;
}

} // namespace

TEST(Program, ScriptedRunTracesTheShellAndRepeats)
{
    test::TempDir dir;
    const std::string script = "1 touch 3 599 1023\n2 move 3 300 512\n2 release 3 300 512\n3 pause\n6 resume\n9 exit\n";
    const SRun first = runGame(dir, script, "a");
    EXPECT_EQ(first.status, 0) << first.out;
    EXPECT_EQ(first.trace,
              "1 pointer pressed 598 1021\n"
              "2 pointer dragged 300 512\n"
              "2 pointer released 300 512\n"
              "3 pause\n3 idle\n4 idle\n5 idle\n"
              "6 resume\n"
              "9 exit\n");
    EXPECT_NE(first.out.find("Shutting down Screen"), std::string::npos);
    const SRun second = runGame(dir, script, "b");
    EXPECT_EQ(second.trace, first.trace);
}

TEST(Program, AScriptWithoutExitEndsAFrameAfterItsLastLine)
{
    test::TempDir dir;
    const SRun run = runGame(dir, "2 touch 0 0 0\n", "c");
    EXPECT_EQ(run.status, 0) << run.out;
    EXPECT_EQ(run.trace, "2 pointer pressed 0 0\n3 exit\n");
}
