// quendrax-tool techmap MAP.xml BDAE... and bdae FILE --renderers: the built effects'
// renderers and the technique tables over them, one a line.

#include "tests/support/TempDir.h"
#include "tests/tools/ToolRun.h"
#include "tools/formats/DefaultEffects.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

TEST(ToolTechmap, PrintsEveryEntryOfTheDeclaredPairs)
{
    test::TempDir dir;
    const std::string effects = dir.write("DefaultEffects.bdae", formats::bres::defaultEffectsFile());
    const std::string map = dir.write(
        "maps.xml",
        "<PRAVIKTECHNIQUEMAPS><map id=\"low\"><group ref=\"default\">"
        "<renderer ref=\"Force Commit Texture\"><rule from=\"3D\" to=\"2D\"/></renderer>"
        "<renderer url=\"" + effects + "#Unlit Textured Blend\"><rule from=\"*\" to=\"Default\"/></renderer>"
        "</group></map></PRAVIKTECHNIQUEMAPS>");
    const auto r = test::runTool("techmap " + test::quoted(map) + " " + test::quoted(effects));
    ASSERT_EQ(r.status, 0) << r.err;
    // 16 effects: 15 of one technique and one of four.
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 19) << r.out;
    for (const char* line : {"low\tdefault\tForce Commit Texture\t3D\t2D\n", "low\tdefault\tForce Commit Texture\tCube\tCube\n",
                             "low\tdefault\tUnlit Textured Blend\tDefault\tDefault\n"})
        EXPECT_NE(r.out.find(line), std::string::npos) << line << r.out;

    const struct {
        const char* why;
        std::string xml;
        const char* reason;
    } bad[] = {
        {"another root", "<maps/>", "techmap: PRAVIKTECHNIQUEMAPS: not a Pravik Technique Maps file\n"},
        {"unknown technique",
         "<PRAVIKTECHNIQUEMAPS><map id=\"m\"><group ref=\"default\"><renderer ref=\"Force Commit Texture\">"
         "<rule from=\"3D\" to=\"4D\"/></renderer></group></map></PRAVIKTECHNIQUEMAPS>",
         "techmap: rule: unknown technique name:4D in renderer Force Commit Texture\n"},
    };
    for (const auto& c : bad) {
        SCOPED_TRACE(c.why);
        const auto e = test::runTool("techmap " + test::quoted(dir.write("bad.xml", c.xml)) + " " + test::quoted(effects));
        EXPECT_NE(e.status, 0);
        EXPECT_EQ(e.out, "");
        EXPECT_EQ(e.err, c.reason);
    }
    const auto missing = test::runTool("techmap " + test::quoted(map) + " /no/such.bdae");
    EXPECT_NE(missing.status, 0);
    EXPECT_EQ(missing.err, "techmap: /no/such.bdae: no such file\n");
}

TEST(ToolBdae, RenderersListsEachBuiltRendererWithItsPassWords)
{
    test::TempDir dir;
    const std::string effects = dir.write("DefaultEffects.bdae", formats::bres::defaultEffectsFile());
    const auto r = test::runTool("bdae " + test::quoted(effects) + " --renderers");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 16) << r.out;
    // Source alpha over one minus source alpha, blending on (word 1 bit 16), depth test and
    // writes off (bits 19, 20), culling off.
    EXPECT_NE(r.out.find("renderer\tUnlit Textured Blend No Depth\ttechniques 1\tDefault\tpasses 1 0x18ff0054/0x00010007\n"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("renderer\tForce Commit Texture\ttechniques 4\t2D\tpasses 1 0x"), std::string::npos) << r.out;
    const auto usage = test::runTool("bdae " + test::quoted(effects) + " --nothing");
    EXPECT_NE(usage.status, 0);
    EXPECT_EQ(usage.err, "bdae: usage: bdae FILE [--renderers]\n");
}

}  // namespace
