#include "framework/PackTables.h"

#include <cstring>

const char* const PACK_MATH_1_NAME[] = {
    "COS.ARRAY", "SQRT.ARRAY",
};

const char* const PACK_FONT_2_NAME[] = {
    "font01", "font02", "font03", "font04", "font05", "font06", "FONTTABLEARRAY.ARRAY",
};

const char* const TEXTURE_FONT_2_NAME[] = {
    "font01", "font02", "font03", "font04", "font05", "font02", "FONTTABLEARRAY.ARRAY",
};

const char* const PACK_SOUND_3_NAME[] = {
    "", "m_title.mid", "m_map.mid", "m_shop.mid", "jingle_1.mid", "jingle_2.mid", "jingle_3.mid",
    "jingle_4.mid", "jingle_5.mid", "jingle_6.mid", "jingle_7.mid", "jingle_8.mid", "m_win.mid",
    "m_boss_intro.mid", "m_game_over.mid", "sfx_score_count.mid", "", "sfx_absorption.wav", "",
    "sfx_bonus.wav", "sfx_malus.wav", "sfx_pad_enlarge.wav", "", "sfx_player_die.wav",
    "sfx_power_up_grabbed.wav", "", "sfx_extra_life.wav", "", "", "sfx_ball_hits_star.wav",
    "sfx_ball_locked.wav", "", "", "sfx_speed.wav", "sfx_vortex.wav", "sfx_barrier_closes.wav",
    "sfx_barrier_opens.wav", "sfx_explosion.wav", "", "", "", "", "", "sfx_monster_hit.wav", "",
    "sfx_brick_destroy.wav", "", "sfx_brick_normal_hit.wav", "sfx_brick_wall.wav",
    "sfx_bricks_melt.wav", "sfx_boing.wav", "sfx_electric_buzz.wav", "", "", "", "",
};

const char* const PACK_SPRITE_4_NAME[] = {
    "tessivar_logo",
};

const char* const TEXTURE_SPRITE_4_NAME[] = {
    "tessivar_logo",
};

const char* const PACK_DATA1_6_NAME[] = {
    "ATANTABLEARRAY.ARRAY", "COSTABLEARRAY.ARRAY",
};

const char* const PACK_HOSTS_7_NAME[] = {
    "host01", "host02", "host03", "host04", "host05", "host06", "host07",
};

const char* const TEXTURE_HOSTS_7_NAME[] = {
    "host01", "host02", "host03", "host04", "host05", "host06", "host07",
};

const char* const PACK_SHOP_8_NAME[] = {
    "gift_all",
};

const char* const TEXTURE_SHOP_8_NAME[] = {
    "gift_all",
};

const char* const PACK_SPRITES_INGAME_9_NAME[] = {
    "balls", "ball_trail", "fireball_trail", "frostball_trail", "gel_trail", "hotball_trail",
    "Ball_BorderFX", "ball_glow_alpha", "death_ball", "puck_animation", "bricks", "bricks_circular",
    "frost_brick", "frost_bricks_circular", "frost_brick_adjacent", "frost_particles", "heavy_load",
    "explosion_BigBricks_destroy", "triangle", "triangle_stars", "particles", "particle_stars",
    "malus_smoke", "gel_particles", "life", "gate", "neon_brick", "portal_brick", "bonus_brick",
    "binary_brick", "all_racket", "turret", "jet_pack", "magnet_effect", "racket_spark_ray",
    "pad_glow", "magic_pad_fx", "aspirator_fx", "melter_wave", "addons_forcefield",
    "racket_explosion", "laser", "addons_force_wave", "turbo", "mini_turbo", "vortex_cannon",
    "dead_area", "foam", "collectable_star", "explosion_ball", "haloball", "key_hole", "sparkles",
    "star", "text_star_coll", "press5", "items", "items_small", "icons_square_just_square",
    "interface_buttons", "Anger", "Eater", "boss_gel", "ICE_BOSS", "magic_pot", "magic_pot_brick",
    "Phantom", "Snake", "snake_trail", "shine_snake", "gel_brothers", "Snake", "hit_sparkles",
    "vamp", "vamp_mirror", "smoke_tron", "smoke_tron_beach", "smoke_tron_FBI", "smoke_tron_catwalk",
    "smoke_tron_hotel", "smoke_tron_casino", "smoke_tron_MANSION", "numeral",
};

const char* const TEXTURE_SPRITES_INGAME_9_NAME[] = {
    "ball_all", "ball_trail", "fireball_trail", "ball_all", "gel_trail", "hotball_trail",
    "Ball_BorderFX", "ball_glow_alpha", "ball_all", "level_actor", "bricks_all;bricks_all_light",
    "bricks_all;bricks_all_light", "bricks_all", "bricks_all", "bricks_all", "frost_particles",
    "racket_all", "explosion_BigBricks_destroy", "triangle", "racket_all", "particles",
    "level_actor", "item_effect", "gel_particles", "racket_all", "level_actor", "level_actor",
    "bricks_all", "bricks_all", "bricks_all", "racket_all", "racket_all", "jet_pack", "racket_all",
    "racket_all", "racket_all", "magic_pad_fx", "ball_all", "racket_all", "racket_all",
    "racket_all", "racket_all", "racket_all", "level_actor", "level_actor", "level_actor",
    "level_actor", "level_actor", "racket_all", "ball_all", "ball_all", "level_actor", "sparkles",
    "item_effect", "racket_all", "level_actor", "item_effect", "racket_all", "item_effect",
    "interface_buttons", "enemy", "enemy", "boss_gel", "ICE_BOSS", "magic_pot", "magic_pot_brick",
    "Phantom", "Snake", "snake_trail", "shine_snake", "gel_brothers", "Snake", "hit_sparkles",
    "vamp", "vamp_mirror", "smoke_tron", "smoke_tron_beach", "smoke_tron_FBI", "smoke_tron_catwalk",
    "smoke_tron_hotel", "smoke_tron_casino", "smoke_tron_MANSION", "numeral",
};

const char* const PACK_BACKGROUND_TILESETS_10_NAME[] = {
    "background_tiles", "BG_tile_lv001", "BG_tile_lv002",
};

const char* const TEXTURE_BACKGROUND_TILESETS_10_NAME[] = {
    "background_tiles", "BG_tile_lv001", "BG_tile_lv002",
};

const char* const PACK_BACKGROUND_OBJECTS_11_NAME[] = {
    "bg_objects", "bg_NR_girl", "bg_NR_people", "", "bg_BP_boy1", "bg_BP_girl2", "bg_BP_girl3",
    "bg_BP_palm",
};

const char* const TEXTURE_BACKGROUND_OBJECTS_11_NAME[] = {
    "bg_objects", "bg_NR_girl", "bg_NR_people", "", "bg_BP_boy1", "bg_BP_girl2", "bg_BP_girl3",
    "bg_BP_palm",
};

const char* const PACK_FOREGROUND_OBJECTS_12_NAME[] = {
    "wall_pixels",
};

const char* const TEXTURE_FOREGROUND_OBJECTS_12_NAME[] = {
    "wall_pixels",
};

const char* const PACK_TEXT_EN_NAME[] = {
    "iphone_en.lang", "iphone_fr.lang", "iphone_de.lang", "iphone_it.lang", "iphone_sp.lang",
    "iphone_cn.lang", "iphone_jp.lang", "iphone_ko.lang", "iphone_br.lang",
};

const char* const PACK_OMBRELGAMELEVELS_14_NAME[] = {
    "GUIlevel1.layers", "GUIlevel2.layers", "GUIlevel3.layers", "GUIlevel4.layers",
    "GUIlevel5.layers", "GUIlevel6.layers", "GUIlevel7.layers", "GUIlevel8.layers",
    "GUIlevel9.layers", "GUIlevel10.layers", "GUIlevel11.layers", "GUIlevel12.layers",
    "GUIlevel13.layers", "GUIlevel14.layers", "GUIlevel15.layers", "GUIlevel16.layers",
    "GUIlevel17.layers", "GUIlevel18.layers", "GUIlevel19.layers", "GUIlevel20.layers",
    "GUIlevel21.layers", "GUIlevel22.layers", "GUIlevel23.layers", "GUIlevel24.layers",
    "GUIlevel25.layers", "GUIlevel26.layers", "GUIlevel27.layers", "GUIlevel28.layers",
    "GUIlevel29.layers", "GUIlevel30.layers", "GUIlevel31.layers", "GUIlevel32.layers",
    "GUIlevel33.layers", "GUIlevel34.layers", "GUIlevel35.layers", "GUIlevel36.layers",
    "GUIlevel37.layers", "GUIlevel38.layers",
};

const char* const PACK_GUISPRITES_15_NAME[] = {
    "arrows", "", "MMSplash", "", "buildings", "", "pinks", "shine", "silhouette",
    "silhouette_outline", "yellows", "BUTTONS", "buildings_02", "lower_bar", "map_icons",
    "map_padlock", "map_blue_elements", "congratulations_screen", "UI_SHADOW", "heart_small",
    "select_level", "", "logo", "logo_shadow", "congratulations_screen", "shop", "UI_bar",
    "world_map", "FX_RENDER", "Touch", "mainmenu", "Bricks_Menu", "loading_map_debrief",
    "Achievement_icons", "Mode_Select", "Asian_fonts", "language_icon", "more_games", "menu_title",
};

const char* const TEXTURE_GUISPRITES_15_NAME[] = {
    "arrows", "", "MMSplash", "", "buildings", "", "pinks", "shine", "silhouette",
    "silhouette_outline", "yellows", "BUTTONS", "buildings_02", "lower_bar", "map_icons",
    "map_padlock", "map_blue_elements", "congratulations_screen", "UI_SHADOW", "heart_small",
    "select_level", "", "logo", "logo_shadow", "congratulations_screen", "shop", "UI_bar",
    "world_map", "FX_RENDER", "Touch;touch_buttons", "mainmenu;menu_BG_blue", "Bricks_Menu",
    "loading_map_debrief;menu_BG_blue", "Achievement_icons", "Mode_Select", "Asian_fonts",
    "language_icon", "more_games", "menu_title",
};

const char* const PACK_LEVELS_16_NAME[] = {
    "tileset_bricks.mask", "level1.layers", "level01.bin", "level02.bin", "level03.bin",
    "level04.bin", "level05.bin", "level06.bin", "level07.bin", "level08.bin", "level09.bin",
    "level10.bin", "level11.bin", "level12.bin", "level13.bin", "level14.bin", "level15.bin",
    "level16.bin", "level17.bin", "level18.bin", "level19.bin", "level20.bin", "level21.bin",
    "level22.bin", "level23.bin", "level24.bin", "level25.bin", "level26.bin", "level27.bin",
    "level28.bin", "level29.bin", "level30.bin", "level31.bin", "level32.bin", "level33.bin",
    "level34.bin", "level35.bin", "level36.bin", "level37.bin", "level38.bin", "level39.bin",
    "level40.bin", "level41.bin", "level42.bin", "level43.bin", "level44.bin", "level45.bin",
    "level46.bin", "level47.bin", "level48.bin", "level49.bin", "level50.bin", "level51.bin",
    "level52.bin", "level53.bin", "level54.bin", "level55.bin", "level56.bin", "level57.bin",
    "level58.bin", "level59.bin", "level60.bin", "level61.bin", "level62.bin", "level63.bin",
    "level64.bin", "level65.bin", "level66.bin", "level67.bin", "level68.bin", "level69.bin",
    "level70.bin", "level71.bin", "level72.bin", "level73.bin", "level74.bin", "level75.bin",
    "level76.bin", "level77.bin", "level78.bin", "level79.bin", "level80.bin", "level81.bin",
    "level82.bin", "level83.bin", "level84.bin", "level85.bin", "level86.bin", "level87.bin",
    "level88.bin", "level89.bin", "level90.bin", "level91.bin", "level149.bin", "level150.bin",
    "level151.bin", "level152.bin", "level153.bin", "level154.bin", "level155.bin", "level156.bin",
    "level157.bin", "level158.bin", "level159.bin", "level160.bin", "level161.bin", "level162.bin",
    "level163.bin", "level164.bin", "level92.bin", "level93.bin", "level94.bin", "level95.bin",
    "level96.bin", "level97.bin", "level98.bin", "level99.bin", "level100.bin", "level101.bin",
    "level102.bin", "level103.bin", "level104.bin", "level105.bin", "level106.bin", "level107.bin",
    "level108.bin", "level109.bin", "level110.bin", "level111.bin", "level112.bin", "level113.bin",
    "level114.bin", "level115.bin", "level116.bin", "level117.bin", "level118.bin", "level119.bin",
    "level120.bin", "level121.bin", "level122.bin", "level123.bin", "level124.bin", "level125.bin",
    "level126.bin", "level127.bin", "level128.bin", "level129.bin", "level130.bin", "level131.bin",
    "level132.bin", "level133.bin", "level134.bin", "level135.bin", "level136.bin", "level137.bin",
    "level138.bin", "level139.bin", "level140.bin", "level141.bin", "level142.bin", "level143.bin",
    "level144.bin", "level145.bin", "level146.bin", "level147.bin", "level148.bin",
};

const SPackTable PACK_TABLES[] = {
    {"1", PACK_MATH_1_NAME, 2, nullptr},
    {"2", PACK_FONT_2_NAME, 7, TEXTURE_FONT_2_NAME},
    {"3", PACK_SOUND_3_NAME, 56, nullptr},
    {"4", PACK_SPRITE_4_NAME, 1, TEXTURE_SPRITE_4_NAME},
    {"6", PACK_DATA1_6_NAME, 2, nullptr},
    {"7", PACK_HOSTS_7_NAME, 7, TEXTURE_HOSTS_7_NAME},
    {"8", PACK_SHOP_8_NAME, 1, TEXTURE_SHOP_8_NAME},
    {"9", PACK_SPRITES_INGAME_9_NAME, 83, TEXTURE_SPRITES_INGAME_9_NAME},
    {"10", PACK_BACKGROUND_TILESETS_10_NAME, 3, TEXTURE_BACKGROUND_TILESETS_10_NAME},
    {"11", PACK_BACKGROUND_OBJECTS_11_NAME, 8, TEXTURE_BACKGROUND_OBJECTS_11_NAME},
    {"12", PACK_FOREGROUND_OBJECTS_12_NAME, 1, TEXTURE_FOREGROUND_OBJECTS_12_NAME},
    {"EN", PACK_TEXT_EN_NAME, 9, nullptr},
    {"14", PACK_OMBRELGAMELEVELS_14_NAME, 38, nullptr},
    {"15", PACK_GUISPRITES_15_NAME, 39, TEXTURE_GUISPRITES_15_NAME},
    {"16", PACK_LEVELS_16_NAME, 166, nullptr},
};

const SPackTable* FindPackTable(const char* folder)
{
    if (!folder)
        return nullptr;
    for (const SPackTable& t : PACK_TABLES)
        if (std::strcmp(t.folder, folder) == 0)
            return &t;
    return nullptr;
}
