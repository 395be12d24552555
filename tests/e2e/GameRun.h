#pragma once
// One headless run of the whole program on a data folder, driven by an input script and traced.

#include "tests/support/TempDir.h"
#include "tests/tools/ToolRun.h"

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace test {

struct GameRun {
    bool signalled = false;
    int status = -1;
    std::string out, err, trace;
};

// Runs the game with `dir` as its working directory. Every path handed over is absolute: the
// program may move its working directory into the data folder. `env` ("NAME=value ...") is set
// for the run alone.
inline GameRun play(const std::filesystem::path& dir, const std::string& script, const std::string& env = "")
{
    std::ofstream(dir / "script.txt") << script;
    const std::string command = "cd " + quoted(dir.string()) + " && " + env +
                                " QUENDRAX_VIDEO=headless QUENDRAX_AUDIO=null QUENDRAX_SCRIPT=" +
                                quoted((dir / "script.txt").string()) +
                                " QUENDRAX_TRACE=" + quoted((dir / "trace.txt").string()) + " timeout 120 " +
                                quoted(QUENDRAX_GAME) + " >out.txt 2>err.txt";
    const int raw = std::system(command.c_str());
    GameRun r;
    r.signalled = raw == -1 || WIFSIGNALED(raw) || (WIFEXITED(raw) && WEXITSTATUS(raw) >= 124);
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    r.out = readFile((dir / "out.txt").string());
    r.err = readFile((dir / "err.txt").string());
    r.trace = readFile((dir / "trace.txt").string());
    return r;
}

}  // namespace test
