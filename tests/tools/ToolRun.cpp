#include "tests/tools/ToolRun.h"

#include "tests/support/TempDir.h"

#include <sys/wait.h>

#include <cstdlib>

namespace test {

std::string quoted(const std::string& path)
{
    std::string q = "'";
    for (char c : path)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

ToolResult runTool(const std::string& args, const std::string& env)
{
    TempDir dir;
    const std::string out = dir.file("out"), err = dir.file("err");
    const std::string command = (env.empty() ? "" : env + " ") + quoted(QUENDRAX_TOOL) + " " + args +
                                " >" + quoted(out) + " 2>" + quoted(err);
    ToolResult r;
    const int raw = std::system(command.c_str());
    if (raw != -1 && WIFEXITED(raw))
        r.status = WEXITSTATUS(raw);
    r.out = readFile(out);
    r.err = readFile(err);
    return r;
}

}  // namespace test
