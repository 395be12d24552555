// The item names of the numbered pack folders, compiled in: item n of a pack is row n of its
// table, read from "<folder>/<name>". Sprite packs also have a texture table whose entries may
// name several images separated by ';'. An empty row names no item.
// The sample-data builder and the writers take their paths from here, never from a copy.
#pragma once

inline constexpr const char* PACK_MATH = "1";
inline constexpr const char* PACK_FONT = "2";
inline constexpr const char* PACK_SOUND = "3";
inline constexpr const char* PACK_SPRITE = "4";
inline constexpr const char* PACK_DATA1 = "6";
inline constexpr const char* PACK_HOSTS = "7";
inline constexpr const char* PACK_SHOP = "8";
inline constexpr const char* PACK_SPRITES_INGAME = "9";
inline constexpr const char* PACK_BACKGROUND_TILESETS = "10";
inline constexpr const char* PACK_BACKGROUND_OBJECTS = "11";
inline constexpr const char* PACK_FOREGROUND_OBJECTS = "12";
inline constexpr const char* PACK_TEXT = "EN";
inline constexpr const char* PACK_OMBRELGAMELEVELS = "14";
inline constexpr const char* PACK_GUISPRITES = "15";
inline constexpr const char* PACK_LEVELS = "16";

extern const char* const PACK_MATH_1_NAME[2];
extern const char* const PACK_FONT_2_NAME[7];
extern const char* const TEXTURE_FONT_2_NAME[7];
extern const char* const PACK_SOUND_3_NAME[56];
extern const char* const PACK_SPRITE_4_NAME[1];
extern const char* const TEXTURE_SPRITE_4_NAME[1];
extern const char* const PACK_DATA1_6_NAME[2];
extern const char* const PACK_HOSTS_7_NAME[7];
extern const char* const TEXTURE_HOSTS_7_NAME[7];
extern const char* const PACK_SHOP_8_NAME[1];
extern const char* const TEXTURE_SHOP_8_NAME[1];
extern const char* const PACK_SPRITES_INGAME_9_NAME[83];
extern const char* const TEXTURE_SPRITES_INGAME_9_NAME[83];
extern const char* const PACK_BACKGROUND_TILESETS_10_NAME[3];
extern const char* const TEXTURE_BACKGROUND_TILESETS_10_NAME[3];
extern const char* const PACK_BACKGROUND_OBJECTS_11_NAME[8];
extern const char* const TEXTURE_BACKGROUND_OBJECTS_11_NAME[8];
extern const char* const PACK_FOREGROUND_OBJECTS_12_NAME[1];
extern const char* const TEXTURE_FOREGROUND_OBJECTS_12_NAME[1];
extern const char* const PACK_TEXT_EN_NAME[9];
extern const char* const PACK_OMBRELGAMELEVELS_14_NAME[38];
extern const char* const PACK_GUISPRITES_15_NAME[39];
extern const char* const TEXTURE_GUISPRITES_15_NAME[39];
extern const char* const PACK_LEVELS_16_NAME[166];

// One pack: its folder, its item names and, for sprite packs, its texture names (else null).
struct SPackTable {
    const char* folder;
    const char* const* names;
    int count;
    const char* const* textures;
};

extern const SPackTable PACK_TABLES[15];

// The table of a folder ("9", "EN", ...), or null for a folder that is none of the packs.
const SPackTable* FindPackTable(const char* folder);
