#pragma once
// The run trace written to a temporary file, so that tests read the sounds, music and states the
// game asked for as the running program reports them.
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "framework/Trace.h"

namespace test {

class TraceLog {
public:
    TraceLog() : m_path("/tmp/quendrax-trace-" + std::to_string(::getpid()) + ".txt") { TraceOpen(m_path); }
    ~TraceLog()
    {
        TraceOpen("");
        std::remove(m_path.c_str());
    }

    // Lines written since the last call, without their frame numbers.
    std::vector<std::string> take()
    {
        std::ifstream in(m_path);
        std::vector<std::string> lines;
        std::string line;
        for (size_t n = 0; std::getline(in, line); ++n) {
            if (n < m_read)
                continue;
            const size_t space = line.find(' ');
            lines.push_back(space == std::string::npos ? line : line.substr(space + 1));
        }
        m_read += lines.size();
        return lines;
    }

    // The ids of the "sound N" lines since the last call.
    std::vector<int> sounds()
    {
        std::vector<int> ids;
        for (const std::string& line : take())
            if (line.rfind("sound ", 0) == 0)
                ids.push_back(std::stoi(line.substr(6)));
        return ids;
    }

private:
    std::string m_path;
    size_t m_read = 0;
};

}  // namespace test
