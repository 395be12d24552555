#pragma once
// Runs build/bin/quendrax-tool as a process and captures what it prints.

#include <string>

namespace test {

struct ToolResult {
    int status = -1;     // the exit status, or -1 when the program could not be run
    std::string out;     // standard output
    std::string err;     // standard error
};

ToolResult runTool(const std::string& args);  // args are passed through the shell as written

}  // namespace test
