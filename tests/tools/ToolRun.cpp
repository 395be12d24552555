#include "tests/tools/ToolRun.h"

#include "tests/support/TempDir.h"

#include <sys/wait.h>

#include <cstdlib>

namespace test {

ToolResult runTool(const std::string& args)
{
    TempDir dir;
    const std::string out = dir.file("out"), err = dir.file("err");
    const std::string command =
        std::string("'") + QUENDRAX_TOOL + "' " + args + " >'" + out + "' 2>'" + err + "'";
    ToolResult r;
    const int raw = std::system(command.c_str());
    if (raw != -1 && WIFEXITED(raw))
        r.status = WEXITSTATUS(raw);
    r.out = readFile(out);
    r.err = readFile(err);
    return r;
}

}  // namespace test
