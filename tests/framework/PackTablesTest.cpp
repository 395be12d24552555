#include "framework/PackTables.h"
#include "framework/SoundTable.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

TEST(PackTables, RowsTheGameAddresses)
{
    const struct {
        const char* folder;
        int row;
        const char* name;
        const char* texture;  // null: the pack has no texture table
    } kRows[] = {
        {"1", 0, "COS.ARRAY", nullptr},
        {"2", 5, "font06", "font02"},
        {"3", 1, "m_title.mid", nullptr},
        {"6", 1, "COSTABLEARRAY.ARRAY", nullptr},
        {"9", 10, "bricks", "bricks_all;bricks_all_light"},
        {"9", 82, "numeral", "numeral"},
        {"11", 3, "", ""},
        {"EN", 8, "iphone_br.lang", nullptr},
        {"14", 37, "GUIlevel38.layers", nullptr},
        {"15", 26, "UI_bar", "UI_bar"},
        {"15", 32, "loading_map_debrief", "loading_map_debrief;menu_BG_blue"},
        {"16", 0, "tileset_bricks.mask", nullptr},
        {"16", 2, "level01.bin", nullptr},
        {"16", 92, "level91.bin", nullptr},
        {"16", 93, "level149.bin", nullptr},
        {"16", 108, "level164.bin", nullptr},
        {"16", 109, "level92.bin", nullptr},
        {"16", 165, "level148.bin", nullptr},
    };
    for (const auto& r : kRows) {
        SCOPED_TRACE(std::string(r.folder) + " row " + std::to_string(r.row));
        const SPackTable* t = FindPackTable(r.folder);
        ASSERT_NE(t, nullptr);
        ASSERT_LT(r.row, t->count);
        EXPECT_STREQ(t->names[r.row], r.name);
        if (r.texture)
            EXPECT_STREQ(t->textures[r.row], r.texture);
        else
            EXPECT_EQ(t->textures, nullptr);
    }
}

TEST(PackTables, SizesAndUnknownFolders)
{
    const struct { const char* folder; int count; } kSizes[] = {
        {"1", 2}, {"2", 7}, {"3", 56}, {"4", 1}, {"6", 2}, {"7", 7}, {"8", 1}, {"9", 83},
        {"10", 3}, {"11", 8}, {"12", 1}, {"EN", 9}, {"14", 38}, {"15", 39}, {"16", 166}};
    for (const auto& s : kSizes) {
        SCOPED_TRACE(s.folder);
        ASSERT_NE(FindPackTable(s.folder), nullptr);
        EXPECT_EQ(FindPackTable(s.folder)->count, s.count);
    }
    for (const char* f : {"5", "13", "9_P", "", "en"})
        EXPECT_EQ(FindPackTable(f), nullptr) << f;
    EXPECT_EQ(FindPackTable(nullptr), nullptr);
}

TEST(SoundTable, FamiliesEmptiesAndBanks)
{
    const struct { int id; const char* path; int bank; } kSounds[] = {
        {0, "", 4},
        {1, "3/Music/m_title.it", 0},
        {6, "3/Music/bgm_4.it", 0},
        {12, "3/Music/bgm_4.it", 4},
        {18, "3/Music/m_game_over.it", 0},
        {19, "", 4},
        {21, "3/sfx_absorption.wav", 4},
        {22, "3/sfx_enemy_hit.wav", 1},
        {55, "3/sfx_electric_buzz.wav", 4},
        {56, "3/SFX/interface/sfx_menu_confirm", 4},
        {90, "3/SFX/object_npc/sfx_vortex", 3},
        {98, "3/SFX/ingame/sfx_brick_hits_pad", 3},
        {164, "3/SFX/malus/sfx_high_speed", 2},
        {166, "", 4},
        {179, "3/SFX/malus/sfx_malus_small_ball", 4},
    };
    for (const auto& s : kSounds) {
        SCOPED_TRACE(s.id);
        EXPECT_STREQ(SOUND_FILE_NAMES[s.id], s.path);
        EXPECT_EQ(SoundBankOf(s.id), s.bank);
    }
    int empty = 0;
    for (const char* n : SOUND_FILE_NAMES)
        empty += n[0] == 0;
    EXPECT_EQ(empty, 14);
}
