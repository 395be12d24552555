#pragma once
// The font of the text rules: glyphs 10 x 20 drawn with spacing S = 1, module 0 (the space)
// 6 x 20. Frame 0 holds record c for code c; record 0 carries S as its x offset.

#include <gtest/gtest.h>

#include <vector>

#include "framework/CAISprite.h"
#include "tests/framework/SizedTexture.h"
#include "tools/formats/SpriteWriter.h"

namespace test {

inline void LoadRuleFont(CAISprite& font)
{
    namespace fs = formats::sprites;
    fs::Sprite f;
    f.addImageModule(0, 0, 0, 6, 20);
    f.addImageModule(0, 8, 0, 10, 20);
    std::vector<fs::FModule> fms = {{0, 1, 0, 0}};
    for (int c = 1; c < 256; ++c)
        fms.push_back({1, 0, 0, 0});
    f.addFrame(fms);
    const auto bytes = fs::Write(f);
    EXPECT_TRUE(font.Load(bytes.data(), bytes.size()));
    font.LoadCharacterMap();
    font.m_textures = {SizedTexture::make(64, 64)};
}

}  // namespace test
