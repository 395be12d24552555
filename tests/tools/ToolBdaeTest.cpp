// quendrax-tool bdae FILE: the header, the version and one record a line, through the engine.

#include "tests/support/TempDir.h"
#include "tests/tools/ToolRun.h"
#include "tools/formats/BresWriter.h"

#include <gtest/gtest.h>

#include <string>

TEST(ToolBdae, PrintsHeaderVersionAndRecords)
{
    test::TempDir dir;
    formats::bres::Writer w;
    formats::bres::addVisualScene(w, "Scene01", {{"Dummy01", {{"Child", {}}}}});
    const std::string path = dir.write("effect.bdae", w.finish());
    const auto r = test::runTool("bdae " + test::quoted(path));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.rfind("header\tflags 0x8000\tsize ", 0), 0u) << r.out;
    EXPECT_NE(r.out.find("\nversion\t0,0,0,779\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\nvisual-scene\t0\tScene01\tname Scene01\tnodes 1\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\nnode\t0\tDummy01\tDummy01\tpos 0,0,0\tscale 1,1,1\tvisible 1\tinstances -\n"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("\nnode\t1\tChild\t"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\nscene\t0\tkind 6\t#Scene01\n"), std::string::npos) << r.out;

    const std::string truncated = dir.write("short.bdae", formats::bres::minimalScene().substr(0, 200));
    const auto bad = test::runTool("bdae " + test::quoted(truncated));
    EXPECT_NE(bad.status, 0);
    EXPECT_EQ(bad.out, "");
    EXPECT_EQ(bad.err, "bdae: " + truncated + ": file size in the header differs from the real size\n");
    const auto missing = test::runTool("bdae /no/such.bdae");
    EXPECT_NE(missing.status, 0);
    EXPECT_EQ(missing.err.rfind("bdae: ", 0), 0u);
}
