#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "engine/core/ProcessBuffer.h"
#include "engine/video/material/SShaderParameterDef.h"
#include "engine/video/material/detail/SShaderParameterTypeInspection.h"

using namespace pravik::video;

TEST(ShaderParameterNames, TypeGuessTable)
{
    const struct {
        const char* name;
        int type;
    } kCases[] = {
        {"WorldViewProjection", 40},
        {"matWVP", 40},
        {"Model View Projection Matrix", 40},
        {"WorldViewProjectionMatrix3", 40},  // digits dropped
        {"Light0.Position", 18},
        {"light_direction_os", 255},  // only light_directionos is a key
        {"lightColor", 24},
        {"u_bones[12]", 255},
        {"BoneMatrices[12]", 11},
        {"Texture[2", 2},             // unclosed bracket
        {"a]texture", 255},           // depth below zero copies nothing more
        {"Light Position [0]", 255},  // trailing blank stays
        {"Light Position", 18},
        {"viewinversetransposed", 47},
        {"viewprojectioninversetransposed", 48},
        {"modelIT", 46},
        {"Texture Bias", 34},
        {"Emsission Color", 8},
        {"g_mworldviewprojection", 255},  // no prefix matching
        {"", 255},
        {"Time", 64},
        {"sampler", 2},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(int(guessShaderParameterType(c.name)), c.type);
    }
    EXPECT_EQ(int(guessShaderParameterType(nullptr)), 255);
    EXPECT_EQ(detail::shaderParameterDictionarySize(), 314u);
}

TEST(ShaderParameterNames, SubIdTable)
{
    const struct {
        const char* name;
        const char* key;
        int type;
        int subId;
    } kCases[] = {
        {"Sampler1", nullptr, ESPT_TEXTURE, 1},
        {"clip_plane5", nullptr, ESPT_CLIP_PLANE, 5},  // first key fails
        {"tex300", "tex", 0, 44},                      // 300 modulo 256
        {"LightPos", nullptr, ESPT_LIGHT_POSITION, 255},
        {"Light3Pos", nullptr, ESPT_LIGHT, 255},  // type 17 reads no number
        {"light_pos3", "light", 0, 3},
        {"Fog2Color", nullptr, ESPT_FOG_COLOR, 2},
        {"bone_quat7", nullptr, ESPT_BONE_QUATERNIONS, 7},
        {"Texture4", nullptr, ESPT_TEXTURE_BIAS, 4},
        {"Diffuse3", nullptr, ESPT_DIFFUSE_COLOR, 255},
        {"nothing", "light", 0, 255},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        const unsigned char id = c.key ? guessSubIdFromName(c.name, c.key)
                                       : guessSubIdFromName(c.name, E_SHADER_PARAMETER_TYPE(c.type));
        EXPECT_EQ(int(id), c.subId);
    }
}

TEST(ShaderParameterNames, LightNames)
{
    const struct {
        const char* name;
        const char* light;  // null: a null shared string
    } kCases[] = {
        {"Light2.Position", "light2"}, {"MyLight12Color", "light12"},
        {"LightColor", "light"},       {"LIGHT", "light"},
        {"light007", "light007"},      {"sun", nullptr},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        const pravik::core::SSharedString name = getLightParameterName(c.name);
        if (!c.light) {
            EXPECT_EQ(name.get(), nullptr);
        } else {
            ASSERT_NE(name.c_str(), nullptr);
            EXPECT_STREQ(name.c_str(), c.light);
            EXPECT_EQ(name, pravik::core::SSharedString(c.light));  // interned
        }
    }
}

TEST(ShaderParameterNames, SortPutsEngineSuppliedFirst)
{
    const unsigned short types[] = {2, 40, 6, 36, 34};
    SShaderParameterDef defs[5];
    for (int i = 0; i < 5; ++i) defs[i].type = types[i];
    EXPECT_EQ(sortParameters(defs, 5), 2);
    const unsigned short expected[] = {40, 36, 2, 6, 34};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(defs[i].type, expected[i]);
    EXPECT_EQ(sortParameters(defs, 0), 0);
}

TEST(ShaderParameterTypes, NameTablesAndFixedProperties)
{
    const char* const* types = getStringsInternal((E_SHADER_PARAMETER_TYPE*)nullptr);
    const char* const* values = getStringsInternal((E_SHADER_PARAMETER_VALUE_TYPE*)nullptr);
    int n = 0;
    while (types[n]) ++n;
    EXPECT_EQ(n, 65);
    EXPECT_STREQ(types[8], "Emsission Color");
    EXPECT_STREQ(types[64], "Time");
    n = 0;
    while (values[n]) ++n;
    EXPECT_EQ(n, 19);
    EXPECT_STREQ(values[14], "samplerCUBE");

    using I = detail::SShaderParameterTypeInspection;
    const unsigned ref = sizeof(void*);
    const unsigned kSizes[19] = {1, 4, 8, 12, 16, 4, 8, 12, 16, 16, 36, ref, ref, ref, ref, ref, 4, 16, ref};
    for (unsigned v = 0; v < 19; ++v) {
        SCOPED_TRACE(values[v]);
        EXPECT_EQ(I::ValueTypeSize[v], kSizes[v]);
        EXPECT_TRUE(I::canConvert(v, v));
    }
    const struct {
        unsigned from, to;
        bool ok;
    } kConversions[] = {
        {ESPVT_INT, ESPVT_FLOAT, true},      {ESPVT_FLOAT, ESPVT_INT, true},
        {ESPVT_COLOR, ESPVT_FLOAT4, true},   {ESPVT_FLOAT4, ESPVT_COLORF, true},
        {ESPVT_COLORF, ESPVT_COLOR, true},   {ESPVT_INT2, ESPVT_FLOAT2, false},
        {ESPVT_FLOAT3, ESPVT_FLOAT4, false}, {ESPVT_SAMPLER2D, ESPVT_SAMPLERCUBE, false},
        {ESPVT_UBYTE, ESPVT_INT, false},
    };
    for (const auto& c : kConversions) {
        SCOPED_TRACE(std::string(values[c.from]) + " -> " + values[c.to]);
        EXPECT_EQ(I::canConvert(c.from, c.to), c.ok);
    }
}

TEST(ShaderParameterNames, ScratchLeavesTheProcessBufferSwitchAsItWas)
{
    const bool before = pravik::core::isProcessBufferHeapExcessEnabled();
    for (bool setting : {false, true}) {
        SCOPED_TRACE(setting);
        pravik::core::setProcessBufferHeapExcessEnabled(setting);
        const std::string longName(70000, 'x');  // larger than the whole heap
        EXPECT_EQ(int(guessShaderParameterType(longName.c_str())), 255);
        EXPECT_EQ(int(guessSubIdFromName((longName + "light7").c_str(), "light")), 7);
        EXPECT_STREQ(getLightParameterName("Light3").c_str(), "light3");
        EXPECT_EQ(pravik::core::isProcessBufferHeapExcessEnabled(), setting);
    }
    pravik::core::setProcessBufferHeapExcessEnabled(before);
}
