// quendrax-tool layers and globals: an element or record a line, the tables' sizes, the
// templates a column a line; items the game would cut short exit non-zero with one line.

#include "tests/support/TempDir.h"
#include "tests/tools/ToolRun.h"
#include "tools/formats/GlobalTablesWriter.h"
#include "tools/formats/LayoutLayerWriter.h"

#include <gtest/gtest.h>

namespace {

std::string str(const std::vector<uint8_t>& v) { return std::string(v.begin(), v.end()); }

void expectRefused(const test::ToolResult& r, const char* command)
{
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err.rfind(std::string(command) + ": ", 0), 0u) << r.err;
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
}

}  // namespace

TEST(ToolLayers, PrintsElementsAndRefusesBrokenOnes)
{
    test::TempDir dir;
    formats::layers::Element a{2, 7, 10, -20, {1, -2, 3}};
    formats::layers::Element b{1, 8, 0, 5, {}};
    const std::string good = dir.write("good.layers", str(formats::layers::Write({a, b})));
    auto r = test::runTool("layers " + test::quoted(good));
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "0 2 7 10 -20 3 1 -2 3\n1 1 8 0 5 0\n");

    formats::layers::Element negative = b;
    negative.n = -1;
    formats::layers::Element past = a;
    past.n = 4;
    auto trailing = formats::layers::Write({a});
    trailing.push_back(0);
    for (const std::string& f : {dir.write("neg.layers", str(formats::layers::Write({a, negative}))),
                                 dir.write("past.layers", str(formats::layers::Write({past}))),
                                 dir.write("trail.layers", str(trailing)), dir.file("missing.layers")})
        expectRefused(test::runTool("layers " + test::quoted(f)), "layers");
}

TEST(ToolGlobals, PrintsRecordsTablesAndTemplates)
{
    test::TempDir dir;
    formats::globals::Record nine{9, {4}};
    nine.extra[0] = 1;
    const std::string good = dir.write(
        "g.layers", str(formats::globals::Write({{3, {1, 2, 3, 4, 5}}, nine, {3, {-1}}, {15, {0, 3}}})));
    auto r = test::runTool("globals " + test::quoted(good));
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "3 5 1 2 3 4 5\n9 1 4\n3 1 -1\n15 2 0 3\n"
              "table bricks rows 0 width 0\ntable items rows 2 width 5\ntable locations rows 0 width 0\n"
              "table materials rows 0 width 0\ntable shop rows 0 width 0\ntable secret_levels rows 1 width 2\n");

    const std::string t = dir.write("t.bin", str(formats::globals::Templates({{-1, 2}, {3, 4}, {5, -6}})));
    r = test::runTool("globals --templates " + test::quoted(t));
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "0 -1 2\n1 3 4\n2 5 -6\n");

    formats::globals::Record cut{3, {1}};
    cut.n = 2;
    auto shortT = formats::globals::Templates({{1, 2}});
    shortT.pop_back();
    expectRefused(test::runTool("globals " + test::quoted(dir.write("cut.layers", str(formats::globals::Write({cut}))))),
                  "globals");
    expectRefused(test::runTool("globals --templates " + test::quoted(dir.write("short.bin", str(shortT)))), "globals");
}
