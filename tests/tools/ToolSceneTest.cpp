// quendrax-tool scene FILE.xml: loads through the engine's scene manager and lists the nodes.

#include "tests/support/TempDir.h"
#include "tests/tools/ToolRun.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

TEST(ToolScene, ListsTheNodesWithCullingAndSavesAgain)
{
    test::TempDir dir;
    const std::string scene =
        "<?xml version=\"1.0\"?>\n<vuv_scene>\n"
        "<node type=\"dummyTransformation\"><attributes><string name=\"Name\" value=\"carrier\" />"
        "<int name=\"Id\" value=\"4\" /><vector3d name=\"Position\" value=\"10, 0, 0\" />"
        "<vector3d name=\"Scale\" value=\"1, 1, 1\" /><bool name=\"Visible\" value=\"true\" /></attributes>"
        "<node type=\"cube\"><attributes><string name=\"Name\" value=\"box\" />"
        "<vector3d name=\"Scale\" value=\"1, 1, 1\" /><bool name=\"Visible\" value=\"true\" />"
        "<enum name=\"AutomaticCulling\" value=\"box\" /></attributes></node></node>\n"
        "</vuv_scene>\n";
    dir.write("level.xml", scene);
    const std::string path = test::quoted((dir.path() / "level.xml").string());
    const std::string copy = (dir.path() / "copy.xml").string();

    const auto r = test::runTool("scene " + path + " --camera 0,0,50:0,0,0 --save " + test::quoted(copy));
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("0\tsmgr\t\t-1\t"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("1\tdummyTransformation\tcarrier\t4\t10,0,0\t"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("2\tmesh\tbox\t0\t10,0,0\t9.5,-0.5,-0.5:10.5,0.5,0.5\tshown\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\tcamera\t"), std::string::npos);

    // The saved cube is a mesh node that names no cached mesh: read back, it has none.
    const auto again = test::runTool("scene " + test::quoted(copy) + " --camera 0,0,50:0,0,100");
    EXPECT_EQ(again.status, 0) << again.err;
    EXPECT_NE(again.out.find("2\tmesh\tbox\t0\t10,0,0\t10,0,0:10,0,0\tculled\n"), std::string::npos)
        << again.out;

    const std::string badRuns[] = {"scene", "scene " + path + " --camera 1,2", "scene /no/such.xml"};
    for (const std::string& args : badRuns) {
        SCOPED_TRACE(args);
        const auto bad = test::runTool(args);
        EXPECT_NE(bad.status, 0);
        EXPECT_EQ(bad.out, "");
        EXPECT_EQ(bad.err.rfind("scene: ", 0), 0u) << bad.err;
    }
}
