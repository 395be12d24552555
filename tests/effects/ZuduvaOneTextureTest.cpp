#include "tests/effects/EffectsTestSupport.h"

#include "effects/ZuduvaOneTexture.h"

namespace {

using OneTexture = test::EffectsTest;

TEST_F(OneTexture, MadeKeptAndRemovedThroughTheTextureManager)
{
    auto& registry = driver->getTextureManager()->getRegistry();
    const auto before = registry.size();
    ASSERT_TRUE(ZuduvaInitOneTexture());
    auto texture = ZuduvaGetOneTexture();
    ASSERT_TRUE(texture);
    EXPECT_EQ(texture->getWidth(), 1024);
    EXPECT_EQ(texture->getHeight(), 1024);
    EXPECT_EQ(texture->getPixelFormat(), pravik::video::EPF_R4G4B4A4);
    EXPECT_STREQ(texture->getName().c_str(), "zuduva_one_texture");
    EXPECT_EQ(registry.size(), before + 1);
    texture = nullptr;

    // Made again: the old one leaves the manager, the name stays the atlas's.
    ASSERT_TRUE(ZuduvaInitOneTexture());
    EXPECT_EQ(registry.size(), before + 1);
    EXPECT_STREQ(ZuduvaGetOneTexture()->getName().c_str(), "zuduva_one_texture");

    // An insertion never places anything.
    float u0 = -1, v0 = -2, u1 = -3, v1 = -4;
    EXPECT_FALSE(ZuduvaInsertIntoOneTexture("SFX/white.tga", u0, v0, u1, v1));
    EXPECT_FALSE(ZuduvaInsertIntoOneTexture(nullptr, u0, v0, u1, v1));
    EXPECT_EQ(u0, -1.f);
    EXPECT_EQ(v0, -2.f);
    EXPECT_EQ(u1, -3.f);
    EXPECT_EQ(v1, -4.f);

    ZuduvaDestroyOneTexture();
    EXPECT_FALSE(ZuduvaGetOneTexture());
    EXPECT_EQ(registry.getId("zuduva_one_texture"), registry.InvalidId);
    EXPECT_EQ(registry.size(), before);
    ZuduvaDestroyOneTexture();   // nothing kept: nothing to do
}

TEST_F(OneTexture, NothingWithoutAHostDriver)
{
    host.driver = nullptr;
    EXPECT_FALSE(ZuduvaInitOneTexture());
    EXPECT_FALSE(ZuduvaGetOneTexture());
    float u = 0;
    EXPECT_FALSE(ZuduvaInsertIntoOneTexture("SFX/white.tga", u, u, u, u));
}

}  // namespace
