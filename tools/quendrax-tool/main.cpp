#include "Tool.h"

#include <cstdio>
#include <cstring>
#include <map>
#include <string>

namespace tool {
namespace {
ToolCommand* g_commands = nullptr;
}

ToolCommand::ToolCommand(const char* name_, const char* usage_, CommandFn run_)
    : name(name_), usage(usage_), run(run_), next(g_commands)
{
    g_commands = this;
}

int fail(std::string_view command, std::string_view reason)
{
    std::fprintf(stderr, "%.*s: %.*s\n", int(command.size()), command.data(), int(reason.size()),
                 reason.data());
    return 1;
}

}  // namespace tool

namespace {

int usage(FILE* out)
{
    std::map<std::string, const tool::ToolCommand*> sorted;
    for (auto* c = tool::g_commands; c; c = c->next)
        sorted[c->name] = c;
    std::fprintf(out, "usage: quendrax-tool COMMAND [ARGS]\n");
    for (const auto& [name, c] : sorted)
        std::fprintf(out, "  %s %s\n", name.c_str(), c->usage);
    return out == stdout ? 0 : 2;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return usage(stderr);
    if (!std::strcmp(argv[1], "help") || !std::strcmp(argv[1], "--help"))
        return usage(stdout);
    for (auto* c = tool::g_commands; c; c = c->next)
        if (!std::strcmp(argv[1], c->name))
            return c->run(std::span<char* const>(argv + 2, size_t(argc - 2)));
    std::fprintf(stderr, "quendrax-tool: unknown command '%s' (see quendrax-tool help)\n", argv[1]);
    return 2;
}
