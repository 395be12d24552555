#pragma once
// Subcommands of quendrax-tool. Each command file registers its commands with a static
// ToolCommand; main dispatches on the first argument. A command prints plain text, one record
// a line, and returns the exit status; on failure it prints one line to stderr and returns 1.

#include <span>
#include <string_view>

namespace tool {

using CommandFn = int (*)(std::span<char* const> args);  // args after the command's name

struct ToolCommand {
    ToolCommand(const char* name, const char* usage, CommandFn run);

    const char* name;
    const char* usage;  // arguments, shown by `quendrax-tool help`
    CommandFn run;
    ToolCommand* next;
};

int fail(std::string_view command, std::string_view reason);  // prints "command: reason", returns 1

}  // namespace tool
