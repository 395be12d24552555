#pragma once
// Runs build/bin/quendrax-tool as a process and captures what it prints.

#include <string>

namespace test {

struct ToolResult {
    int status = -1;     // the exit status, or -1 when the program could not be run
    std::string out;     // standard output
    std::string err;     // standard error
};

// args are passed through the shell as written; env ("NAME=value ...") is set for this run only
ToolResult runTool(const std::string& args, const std::string& env = "");
// A path quoted for the shell.
std::string quoted(const std::string& path);

}  // namespace test
