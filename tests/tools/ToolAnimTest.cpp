// quendrax-tool anim FILE: clips, segments, events and animation records one a line; broken
// key data exits non-zero with its reason.

#include "tests/support/TempDir.h"
#include "tests/tools/ToolRun.h"
#include "tools/formats/BresAnimation.h"

#include <gtest/gtest.h>

#include <string>

namespace bres = formats::bres;

namespace {

std::string animated(bool breakStreamed)
{
    bres::Writer w;
    bres::addVisualScene(w, "Scene01", {{"node1", {}}});
    std::string key = bres::keyData({bres::keyArray(std::vector<std::int32_t>{0, 1000}),
                                     bres::keyArray(std::vector<float>{0, 0, 0, 10, 0, 0})});
    bres::SAnimationsSpec spec;
    spec.animations = {{"node1", 1}, {"node1", 26}};
    spec.clips = {{"idle", 0, 1000}};
    spec.end = 1000;
    std::string streamed = key;
    if (breakStreamed)
        streamed[0] = char(0x7F);  // more descriptors than the segment holds
    spec.segments = {{0, 500, key, false}, {500, 1000, streamed, true}};
    spec.events = {{500, {"half", "step"}}};
    return bres::finishAnimated(w, spec);
}

TEST(ToolAnim, ListsClipsSegmentsEventsAndRecords)
{
    test::TempDir dir;
    const std::string path = dir.write("anim.bdae", animated(false));
    const auto r = test::runTool("anim " + test::quoted(path));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.rfind("clip\t0\tidle\t0..1000\n", 0), 0u) << r.out;
    EXPECT_NE(r.out.find("\nsegment\t0\t0..500\toffset 0\tsize "), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\tresident\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\nsegment\t1\t500..1000\toffset 0\tsize 52\tstreamed\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\nevent\t0\t500\thalf,step\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\nanimation\t0\ttarget node1\ttype 1\tkeys 2\tposition<float>\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\nanimation\t1\ttarget node1\ttype 26\tkeys 2\tnone\n"), std::string::npos) << r.out;

    const std::string broken = dir.write("broken.bdae", animated(true));
    const auto bad = test::runTool("anim " + test::quoted(broken));
    EXPECT_NE(bad.status, 0);
    EXPECT_EQ(bad.err, "anim: " + broken + ": segment 1: key data refused\n");
}

} // namespace
