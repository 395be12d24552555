#include "tests/support/TempDir.h"
#include "tests/tools/ToolRun.h"
#include "tools/formats/BeffWriter.h"

#include <gtest/gtest.h>

namespace {

using formats::effects::minimalEffect;
using formats::effects::writeBeff;

TEST(ToolBeff, PrintsEntriesAndTracks)
{
    test::TempDir dir;
    beff::SFile file = minimalEffect();
    beff::SEntry scene;
    scene.kind = 1;
    scene.scenePath = "SFX/a.bdae";
    file.entries.insert(file.entries.begin(), scene);
    file.entries[1].emitter.children.push_back(minimalEffect().entries[0].emitter);
    beff::SAffector gravity;
    gravity.strength = formats::effects::constant(2.f);
    file.entries[1].emitter.affectors.push_back(gravity);
    const std::string path = dir.write("fx.beff", writeBeff(file));

    const test::ToolResult r = test::runTool("beff " + test::quoted(path));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "magic=\"beff\" version=3 entries=2\n"
              "scene kind=1 path=\"SFX/a.bdae\"\n"
              "emitter depth=0 node=\"\" shape=0 flags=2 faceCamera=0 lifetime=30 delay=0 interval=0 kind=0 "
              "life=20 blend=1 texture=\"spark.tga\" affectors=1(gravity) children=1\n"
              "  emitter depth=1 node=\"\" shape=0 flags=2 faceCamera=0 lifetime=30 delay=0 interval=0 kind=0 "
              "life=20 blend=1 texture=\"spark.tga\" affectors=0 children=0\n");

    const test::ToolResult t = test::runTool("beff --tracks " + test::quoted(path));
    ASSERT_EQ(t.status, 0) << t.err;
    EXPECT_NE(t.out.find("  track burstCount loop=0 keys=0:5\n"), std::string::npos) << t.out;
    EXPECT_NE(t.out.find("  track gravity1.strength loop=0 keys=0:2\n"), std::string::npos) << t.out;
    EXPECT_NE(t.out.find("    track width loop=0 keys=0:8\n"), std::string::npos) << t.out;
}

TEST(ToolBeff, RefusedFileExitsWithOneLine)
{
    test::TempDir dir;
    std::string bytes = writeBeff(minimalEffect());
    bytes.resize(200);
    const std::string path = dir.write("cut.beff", bytes);
    const test::ToolResult r = test::runTool("beff " + test::quoted(path));
    EXPECT_NE(r.status, 0);
    EXPECT_TRUE(r.out.empty());
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_NE(r.err.find("entry 0: truncated at byte 200"), std::string::npos) << r.err;
}

}  // namespace
