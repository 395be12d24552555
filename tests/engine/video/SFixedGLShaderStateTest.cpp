#include <gtest/gtest.h>

#include "engine/io/CAttributes.h"
#include "engine/video/gl/SFixedGLShaderState.h"

using namespace pravik;
using namespace pravik::video;

TEST(FixedGLShaderState, TextureFlagTable)
{
    const struct {
        const char* why;
        E_TEXTURE_ENV_MODE mode;
        int rgbMode, alphaMode;        // -1: default
        int rgbSource0, alphaSource0;  // -1: default
        bool texture, constant;
    } kCases[] = {
        {"default", ETEM_MODULATE, -1, -1, -1, -1, true, false},
        {"blend reads the constant", ETEM_BLEND, -1, -1, -1, -1, true, true},
        {"replace", ETEM_REPLACE, -1, -1, -1, -1, true, false},
        {"combine replace constant / previous", ETEM_COMBINE, ETCM_REPLACE, ETCM_REPLACE, ETCS_CONSTANT,
         ETCS_PREVIOUS, false, true},
        {"combine interpolate, default sources", ETEM_COMBINE, ETCM_INTERPOLATE, -1, -1, -1, true, true},
        {"combine modulate, default sources", ETEM_COMBINE, -1, -1, -1, -1, true, false},
        {"combine modulate of previous and previous", ETEM_COMBINE, -1, ETCM_REPLACE, ETCS_PREVIOUS,
         ETCS_PREVIOUS, false, false},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.why);
        SFixedGLShaderTexEnv env;
        EXPECT_EQ(env.combiner, 0x5862A000u);
        if (c.rgbMode >= 0) env.setRGBMode(E_TEXTURE_COMBINE_MODE(c.rgbMode));
        if (c.alphaMode >= 0) env.setAlphaMode(E_TEXTURE_COMBINE_MODE(c.alphaMode));
        if (c.rgbSource0 >= 0) env.setRGBSource(0, E_TEXTURE_COMBINE_SOURCE(c.rgbSource0));
        if (c.alphaSource0 >= 0) env.setAlphaSource(0, E_TEXTURE_COMBINE_SOURCE(c.alphaSource0));
        env.setEnvMode(c.mode);
        EXPECT_EQ(env.usesTexture(), c.texture);
        EXPECT_EQ(env.usesConstantColor(), c.constant);
    }
}

TEST(FixedGLShaderState, ActiveUnitCountRefreshesOnlyNewUnits)
{
    SFixedGLShaderFragmentState s;
    for (auto& env : s.texEnv) env.combiner = 0;  // stale flags everywhere
    s.word = 1u << 4;
    s.setActiveUnitCount(3);
    EXPECT_EQ(s.getActiveUnitCount(), 3u);
    EXPECT_FALSE(s.texEnv[0].usesTexture());
    EXPECT_TRUE(s.texEnv[1].usesTexture());
    EXPECT_TRUE(s.texEnv[2].usesTexture());
    EXPECT_FALSE(s.texEnv[3].usesTexture());
    s.texEnv[1].combiner = 0;
    s.setActiveUnitCount(1);
    EXPECT_EQ(s.getActiveUnitCount(), 1u);
    EXPECT_FALSE(s.texEnv[1].usesTexture());
}

TEST(FixedGLShaderState, RoundTripsThroughAStore)
{
    for (unsigned gen = 0; gen <= 6; ++gen) {
        SCOPED_TRACE(gen);
        SFixedGLShaderVertexState v;
        v.setColorMaterialEnable(true);
        v.setShadeModel(ESM_SMOOTH);
        v.setLightCount(200);
        v.setFogMode(EFM_EXP2);
        v.setFogHint(ERH_NICEST);
        v.setTexGen(1, ETGT_SPHERE_MAP);
        v.setTexGen(3, ETGT_SIMPLE_SPHERE_MAP);
        v.setColorGen(E_COLOR_GEN(gen));
        io::CAttributes store(nullptr);
        v.serializeAttributes(&store);
        SFixedGLShaderVertexState back;
        back.word = 0x7fffffffu;  // every field poisoned
        back.deserializeAttributes(&store);
        EXPECT_EQ(back.word, v.word);
    }

    SFixedGLShaderFragmentState f;
    f.texEnv[1].setEnvMode(ETEM_COMBINE);
    f.texEnv[1].setRGBMode(ETCM_DOT3_RGB);
    f.texEnv[1].setAlphaOperand(2, ETCO_ONE_MINUS_SRC_ALPHA);
    f.texEnv[2].rgbScale = 4.0f;
    f.setAlphaTestEnable(true);
    f.setAlphaFunc(ECF_GEQUAL);
    f.setActiveUnitCount(3);
    f.setClipPlaneEnable(5, true);
    io::CAttributes store(nullptr);
    f.serializeAttributes(&store);
    SFixedGLShaderFragmentState back;
    back.deserializeAttributes(&store);
    EXPECT_EQ(back, f);

    SFixedGLShaderFragmentState withSprite = f;
    withSprite.setPointSpriteCoordReplace(2, true);
    SFixedGLShaderFragmentState spriteBack = withSprite;
    spriteBack.deserializeAttributes(&store);
    EXPECT_TRUE(spriteBack.getPointSpriteCoordReplace(2));  // not stored, kept
}

TEST(FixedGLShaderState, StoredFormAndUnknownNames)
{
    io::CAttributes store(nullptr);
    SFixedGLShaderFragmentState().serializeAttributes(&store);
    EXPECT_EQ(store.getGroupsCount(), 4u);
    for (unsigned u = 0; u < 4; ++u) {
        SCOPED_TRACE(u);
        store.setGroup(u);
        EXPECT_EQ(store.getGroupName(), core::stringc("TexEnv") + char('0' + u));
        EXPECT_STREQ(store.getEnum("EnvMode"), "Modulate");
        EXPECT_EQ(store.getGroupsCount(), 3u);
        store.pop();
    }
    store.setAttribute(store.findAttribute("AlphaFunc"), "Sometimes", nullptr);
    SFixedGLShaderFragmentState f;
    f.setAlphaFunc(ECF_GREATER);
    f.deserializeAttributes(&store);
    EXPECT_EQ(f.getAlphaFunc(), ECF_GREATER);  // kept: an unknown name is no function

    SFixedGLShaderVertexState v;
    v.setTexGen(2, ETGT_SPHERE_MAP);
    io::CAttributes vertex(nullptr);
    v.serializeAttributes(&vertex);
    vertex.push("TexGen");
    vertex.setAttribute(vertex.findAttribute("TexCoord2"), "", nullptr);
    vertex.pop();
    SFixedGLShaderVertexState back;
    back.deserializeAttributes(&vertex);
    EXPECT_EQ(back.getTexGen(2), ETGT_NONE);  // the default stays, not 7
    EXPECT_EQ(back.word, 0u);
}
