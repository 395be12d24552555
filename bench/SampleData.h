#pragma once
// The sample data for the whole-program benchmarks: built once per run, beside the benchmark
// executable's own builder, into a folder of this process. Empty when the builder fails.

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "engine/os/StandardRandom.h"
#include "engine/os/Timer.h"
#include "framework/ZyGame.h"
#include "platform/Clock.h"

namespace bench {

inline const std::string& sampleData()
{
    namespace fs = std::filesystem;
    static const std::string root = [] {
        char self[4096];
        const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
        if (n <= 0)
            return std::string();
        self[n] = 0;
        const fs::path builder = fs::path(self).parent_path() / "quendrax-data";
        const fs::path dir = fs::temp_directory_path() / ("quendrax-bench-boot-" + std::to_string(getpid()));
        fs::remove_all(dir);
        const std::string command = "'" + builder.string() + "' '" + (dir / "sample").string() + "' >/dev/null 2>&1";
        return std::system(command.c_str()) == 0 ? (dir / "sample").string() : std::string();
    }();
    return root;
}

// In a benchmark's child: the game's set-up for a run in `run` (app/ beside the save folder
// data/): headless, silent, timed by the script's frame clock, never sleeping nor exiting.
// False when the folder cannot be entered.
inline bool EnterRun(const std::filesystem::path& run)
{
    std::ofstream(run / "script.txt") << "100000 exit\n";
    setenv("QUENDRAX_VIDEO", "headless", 1);
    setenv("QUENDRAX_AUDIO", "null", 1);
    setenv("QUENDRAX_SCRIPT", (run / "script.txt").c_str(), 1);
    std::fflush(stdout);
    if (chdir(run.c_str()) != 0 || !std::freopen("/dev/null", "w", stdout))
        return false;
    pravik::os::Timer::setTimeSource([]() -> uint64_t { return platform::Clock::frameTimeMs() * 1000; });
    pravik::os::seedStandardRand(1u);
    ZyGame::SetHooks({[](unsigned) {}, [](int) {}});
    return true;
}

// Runs `child(fd)` in a forked process, which writes one R to fd and ends there, so that the
// game's statics start fresh for each measurement. A short write gives R().
template <class R, class Child>
R fromChild(Child&& child)
{
    R r;
    int fds[2];
    if (pipe(fds) != 0)
        return r;
    const pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        child(fds[1]);
    }
    close(fds[1]);
    size_t got = 0;
    auto* bytes = reinterpret_cast<char*>(&r);
    while (pid > 0 && got < sizeof r) {
        const ssize_t n = read(fds[0], bytes + got, sizeof r - got);
        if (n <= 0)
            break;
        got += size_t(n);
    }
    close(fds[0]);
    if (pid > 0)
        waitpid(pid, nullptr, 0);
    if (got != sizeof r)
        r = R();
    return r;
}

}  // namespace bench
