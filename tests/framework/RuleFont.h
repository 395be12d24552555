#pragma once
// The font of the text rules: glyphs 10 x 20 drawn with spacing S = 1, module 0 (the space)
// 6 x 20. Frame 0 holds record c for code c; record 0 carries S as its x offset.

#include <gtest/gtest.h>

#include <vector>

#include "framework/CAISprite.h"
#include "tests/framework/SizedTexture.h"
#include "tools/formats/SpriteWriter.h"

namespace test {

// Frame 0's records: code c is record c.
inline std::vector<formats::sprites::FModule> RuleFontRecords()
{
    std::vector<formats::sprites::FModule> records = {{0, 1, 0, 0}};
    for (int c = 1; c < 256; ++c)
        records.push_back({1, 0, 0, 0});
    return records;
}

inline formats::sprites::Sprite RuleFontSprite(const std::vector<formats::sprites::FModule>& records = RuleFontRecords())
{
    formats::sprites::Sprite f;
    f.addImageModule(0, 0, 0, 6, 20);
    f.addImageModule(0, 8, 0, 10, 20);
    f.addFrame(records);
    return f;
}

// Loads a font sprite with its character map over a 64 x 64 texture.
inline bool LoadFont(CAISprite& font, const formats::sprites::Sprite& f)
{
    const auto bytes = formats::sprites::Write(f);
    if (!font.Load(bytes.data(), bytes.size()))
        return false;
    font.LoadCharacterMap();
    font.m_textures = {SizedTexture::make(64, 64)};
    return true;
}

inline void LoadRuleFont(CAISprite& font) { EXPECT_TRUE(LoadFont(font, RuleFontSprite())); }

}  // namespace test
