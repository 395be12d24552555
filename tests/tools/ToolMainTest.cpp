#include "tests/tools/ToolRun.h"

#include <gtest/gtest.h>

TEST(ToolMain, HelpListsCommandsAndUnknownCommandFails)
{
    const auto help = test::runTool("help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("usage: quendrax-tool"), std::string::npos);

    const auto bad = test::runTool("no-such-command");
    EXPECT_EQ(bad.status, 2);
    EXPECT_NE(bad.err.find("unknown command 'no-such-command'"), std::string::npos);
}
