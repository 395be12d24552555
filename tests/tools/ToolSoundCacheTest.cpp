// quendrax-tool sound-cache: runs the eleven steps and prints one sound a line.

#include "tests/support/TempDir.h"
#include "tests/tools/ToolRun.h"
#include "tools/formats/SoundArchive.h"
#include "tools/formats/TrackerModule.h"

#include <gtest/gtest.h>

TEST(ToolSoundCache, PrintsEachSoundAndKeepsGoodFiles)
{
    test::TempDir dir;
    dir.write("data/3/Music/m_title.it", formats::tracker::tinyProTrackerModule());
    formats::SoundArchive archive;
    archive.add("3/sfx_absorption.wav", "not needed by the cache");
    dir.write("data/3.bar", archive.bytes(true));
    const std::string args = "sound-cache " + test::quoted(dir.file("data")) + " " + test::quoted(dir.file("save"));
    auto r = test::runTool(args);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.rfind("1 3_Music_m_title.it written\n2 3_Music_m_title.it kept\n3 3_Music_m_title.it kept\n4 3_Music_bgm_1.it failed\n", 0), 0u) << r.out;
    EXPECT_NE(r.out.find("\n56 3_SFX_interface_sfx_menu_confirm.wav failed\n"), std::string::npos);
    EXPECT_NE(r.out.find("\n179 3_SFX_malus_sfx_malus_small_ball.wav failed\n"), std::string::npos);
    r = test::runTool(args);
    EXPECT_EQ(r.out.rfind("1 3_Music_m_title.it kept\n", 0), 0u) << r.out;

    r = test::runTool("sound-cache " + test::quoted(dir.file("nothing")) + " " + test::quoted(dir.file("save")));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("sound-cache: "), std::string::npos);
}
