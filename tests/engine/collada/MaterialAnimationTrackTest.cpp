#include "engine/collada/AnimationTrackKinds.h"
#include "engine/collada/AnimationTrackLookup.h"
#include "engine/collada/CColladaAnimationTrackFloat.h"
#include "engine/collada/CColladaAnimationTrackOffsetUV.h"
#include "engine/collada/CColladaAnimationTrackVisibility.h"
#include "engine/video/material/CMaterial.h"
#include "engine/video/material/CMaterialRendererManager.h"
#include "tests/engine/collada/AnimationFixture.h"
#include "tests/engine/video/DriverTestSupport.h"

#include <gtest/gtest.h>

using namespace pravik;
using namespace pravik::collada;
using namespace pravik::collada::animation_track;
using namespace pravik::video;

namespace {

// A material whose renderer has a float[4], a float[3], a float, a byte colour and a texture matrix.
class MaterialTracks : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto shader = test::addTestShader(*driver, "animated",
                                          {{"Diffuse", ESPT_DIFFUSE_COLOR, ESPVT_FLOAT4},
                                           {"Direction", ESPT_CONSTANT, ESPVT_FLOAT3},
                                           {"Power", ESPT_CONSTANT, ESPVT_FLOAT},
                                           {"Tint", ESPT_COLOR, ESPVT_COLOR},
                                           {"TexMatrix", ESPT_TEXTURE_MATRIX, ESPVT_FLOAT4X4}},
                                          {EVA_POSITION});
        renderer = m.get(test::buildRenderer(*driver, "animated", shader));
        ASSERT_TRUE(renderer);
        material = CMaterial::allocate(renderer);
    }
    CMaterialApplicatorInfo info(const char* name) { return CMaterialApplicatorInfo(name, renderer->getParameterID(name)); }
    template <class T>
    T get(const char* name)
    {
        T v{};
        material->getParameter(renderer->getParameterID(name), 0, v);
        return v;
    }

    // Material animation over keys at 0, 100 ... ms.
    template <class V>
    std::unique_ptr<test::Animation> anim(const std::vector<V>& values, std::uint32_t components, std::uint32_t arity,
                                          std::uint32_t mask, std::vector<std::uint8_t> def, std::uint32_t type = 104)
    {
        auto a = std::make_unique<test::Animation>();
        std::vector<std::int32_t> times;
        for (std::size_t i = 0; i < values.size() / components; ++i)
            times.push_back(std::int32_t(i * 100));
        a->keys.add(times);
        a->keys.add(values);
        test::AnimationSpec s;
        s.channels[0].type = type;
        s.channels[0].parameter = "Diffuse";
        s.samplers[0].components = components;
        s.samplers[0].valueType = std::is_same_v<V, float> ? EKVT_FLOAT : EKVT_UBYTE;
        s.descriptor = true;
        s.arity = arity;
        s.mask = mask;
        s.defaultValue = std::move(def);
        EXPECT_TRUE(a->build(s));
        return a;
    }

    pravik::CEngineServicesScope services;
    test::ProcessBufferHeap heap;
    boost::intrusive_ptr<CNullDriver> driver = test::makeNullDriver();
    CMaterialRendererManager& m = *driver->getMaterialRendererManager();
    boost::intrusive_ptr<CMaterialRenderer> renderer;
    boost::intrusive_ptr<CMaterial> material;
};

TEST_F(MaterialTracks, FloatKindsWriteTheParameter)
{
    auto whole = anim<float>({0, 0, 0, 0, 1, 2, 3, 4}, 4, 4, 15, {});
    ASSERT_EQ(whole->view.track, &(MaterialFloatTrack<4, -1>::getInstance()));
    CMaterialApplicatorInfo diffuse = info("Diffuse");
    whole->track()->applyKeyBasedValue(whole->accessor(), 0, 1, 0.25f, material.get(), &diffuse);
    EXPECT_EQ(get<core::vector4d<float>>("Diffuse"), core::vector4d<float>(0.25f, 0.5f, 0.75f, 1.f));

    auto comp = anim<float>({9}, 1, 4, 4, test::defaultOf<float>({1, 2, 3, 4}));
    ASSERT_EQ(comp->view.track, &(MaterialFloatTrack<4, 2>::getInstance()));
    int hint = 0;
    comp->accessor().applyValue(0, material.get(), &diffuse, hint, true);
    EXPECT_EQ(get<core::vector4d<float>>("Diffuse"), core::vector4d<float>(1, 2, 9, 4));

    auto three = anim<float>({7}, 1, 3, 2, test::defaultOf<float>({1, 2, 3}));
    CMaterialApplicatorInfo direction = info("Direction");
    three->accessor().applyValue(0, material.get(), &direction, hint, true);
    EXPECT_EQ(get<core::vector3d<float>>("Direction"), core::vector3d<float>(1, 7, 3));

    // A name the renderer lacks changes nothing.
    const core::vector4d<float> before = get<core::vector4d<float>>("Diffuse");
    CMaterialApplicatorInfo missing = info("NoSuchParameter");
    EXPECT_EQ(missing.ParameterID, 0xFFFF);
    whole->accessor().applyValue(100, material.get(), &missing, hint, true);
    EXPECT_EQ(get<core::vector4d<float>>("Diffuse"), before);
}

TEST_F(MaterialTracks, ByteKindsWriteAColour)
{
    CMaterialApplicatorInfo tint = info("Tint");
    auto rgb = anim<std::uint8_t>({10, 20, 30}, 3, 3, 0, {});
    ASSERT_EQ(rgb->view.track, &(MaterialColorTrack<3, -1>::getInstance()));
    int hint = 0;
    rgb->accessor().applyValue(0, material.get(), &tint, hint, true);
    EXPECT_EQ(get<SColor>("Tint"), SColor(10, 20, 30, 255));

    auto alpha = anim<std::uint8_t>({0, 255}, 1, 4, 8, {255, 255, 255, 255});
    ASSERT_EQ(alpha->view.track, &(MaterialColorTrack<4, 3>::getInstance()));
    alpha->track()->applyKeyBasedValue(alpha->accessor(), 0, 1, 0.5f, material.get(), &tint);
    EXPECT_EQ(get<SColor>("Tint"), SColor(255, 255, 255, 127));

    // Component relative to a reference key: differences first (250 reference; 10 and 30).
    auto rel = anim<std::uint8_t>({250, 10, 30}, 1, 4, 1, {1, 2, 3, 4});
    SBytes<4> out;
    rel->track()->getKeyBasedValue(rel->accessor(), 0, 1, 2, 0.5f, &out);
    EXPECT_EQ(out.v[0], 26);
    EXPECT_EQ(out.v[3], 4);
    SBytes<4> untouched = {{9, 9, 9, 9}};
    rel->track()->retrieveValue(material.get(), &untouched);  // materials are never read back
    EXPECT_EQ(untouched.v[0], 9);
}

TEST_F(MaterialTracks, TextureTransformBuildsTheMatrix)
{
    CMaterialApplicatorInfo tex = info("TexMatrix");
    // Default (0, 0, 0, 1, 1); one channel of type 106 (offset V) with keys 0 and 1.
    auto a = anim<float>({0, 1}, 1, 5, 0, test::defaultOf<float>({0, 0, 0, 1, 1}), 106);
    ASSERT_EQ(a->view.track, &CTextureTransformEx::s_Instance);
    float v[5];
    int hint = 0;
    a->track()->getValue(a->accessor(), 50, v, hint, true);
    EXPECT_FLOAT_EQ(v[1], 0.5f);
    EXPECT_FLOAT_EQ(v[3], 1.f);
    a->accessor().applyValue(50, material.get(), &tex, hint, true);
    core::CMatrix4<float> m;
    material->getParameter(tex.ParameterID, 0, m);
    EXPECT_FLOAT_EQ(m[0], 1.f);
    EXPECT_FLOAT_EQ(m[5], 1.f);
    EXPECT_NEAR(m[8], 0.f, 1e-7f);
    EXPECT_FLOAT_EQ(m[9], 0.5f);

    // 90 degrees, the constant 3.141596 leaves cos at about -1.7e-6.
    const float turn[5] = {0, 0, 90, 1, 1};
    const core::CMatrix4<float> r = CTextureTransformEx::buildMatrix(turn);
    EXPECT_NEAR(r[0], -1.7e-6f, 2e-7f);
    EXPECT_NEAR(r[1], 1.f, 1e-6f);
    EXPECT_NEAR(r[4], -1.f, 1e-6f);
    EXPECT_NEAR(r[8], 1.f, 1e-5f);
    EXPECT_NEAR(r[9], 0.f, 1e-5f);
    EXPECT_FALSE(r.getDefinitelyIdentityMatrix());

    // The sum weights every component, scales onto 1, and leaves the caller's values.
    float values[10] = {1, 2, 3, 4, 5, 10, 20, 30, 40, 50};
    float weights[2] = {0.5f, 0.1f};
    float out[5];
    a->track()->getBlendedValue(values, weights, 2, out);
    EXPECT_FLOAT_EQ(out[0], 1.5f);
    EXPECT_FLOAT_EQ(out[3], 1.f + 2.f + 4.f);
    EXPECT_EQ(values[0], 1.f);
}

TEST_F(MaterialTracks, TextureChannelsInterpolateEachOnItsOwn)
{
    // Channel 0 (offset U) has its keys at 0 and 50 ms, channel 1 (offset V) at 0 and 100; a
    // channel of type 104 is skipped. At 50 ms channel 0 sits on a key; channel 1 still interpolates.
    auto a = std::make_unique<test::Animation>();
    a->keys.add(std::vector<std::int32_t>{0, 50});
    a->keys.add(std::vector<float>{0, 1});
    a->keys.add(std::vector<std::int32_t>{0, 100});
    a->keys.add(std::vector<float>{0, 2});
    test::AnimationSpec s;
    s.channels = {{105, "n", "", 0}, {106, "n", "", 0}, {104, "n", "", 0}};
    s.samplers = {{1, ETB_MILLISECONDS, 0, EKVT_FLOAT, 1, 1}, {1, ETB_MILLISECONDS, 2, EKVT_FLOAT, 1, 3},
                  {1, ETB_MILLISECONDS, 2, EKVT_FLOAT, 1, 3}};
    s.descriptor = true;
    s.defaultValue = test::defaultOf<float>({0, 0, 7, 1, 1});
    ASSERT_TRUE(a->build(s));
    float v[5];
    int hint = 0;
    a->track()->getValue(a->accessor(), 50, v, hint, true);
    EXPECT_FLOAT_EQ(v[0], 1.f);
    EXPECT_FLOAT_EQ(v[1], 1.f);
    EXPECT_FLOAT_EQ(v[2], 7.f);
}

// The whole choice table: (type, storage, value type, components, mask, arity, default) -> kind.
TEST(AnimationTrackLookup, ChoiceTable)
{
    using namespace pravik::collada::animation_track;
    const IAnimationTrackEx* none = nullptr;
    struct Case {
        const char* why;
        std::uint32_t type;
        int storage;  // -1: no quantisation record
        std::uint32_t valueType, components, mask, arity;
        bool hasDefault;
        const IAnimationTrackEx* expect;
    } cases[] = {
        {"position, no quantisation", 1, -1, 6, 3, 0, 0, false, &PositionTrack<float>::getInstance()},
        {"position, 16-bit", 1, 1, 6, 3, 0, 0, false, &PositionTrack<short>::getInstance()},
        {"position, storage 3", 1, 3, 6, 3, 0, 0, false, none},
        {"scale z, 8-bit", 13, 0, 6, 1, 0, 0, false, &ScaleZTrack<s8key>::getInstance()},
        {"rotation", 5, 2, 6, 4, 0, 0, false, &RotationTrack<float>::getInstance()},
        {"angle 6", 6, -1, 6, 1, 0, 0, false, &RotationAngleTrack<float>::getInstance()},
        {"angle 9", 9, -1, 6, 1, 0, 0, false, &RotationAngleTrack<float>::getInstance()},
        {"morph weight", 14, -1, 6, 1, 0, 0, false, &CWeightEx::s_Instance},
        {"morph weight, quantised keys", 14, 1, 6, 1, 0, 0, false, none},
        {"light colour", 16, -1, 1, 3, 0, 0, false, &LightColorTrack::getInstance()},
        {"light colour, float keys", 16, -1, 6, 3, 0, 0, false, none},
        {"visibility", 20, -1, 6, 1, 0, 0, false, &CVisibilityEx::s_Instance},
        {"type 26", 26, -1, 6, 1, 0, 0, false, none},
        {"type 0", 0, -1, 6, 1, 0, 0, false, none},
        {"type 110", 110, -1, 6, 1, 0, 0, false, none},
        {"emitter float", 40, -1, 6, 1, 0, 0, false, &CFloatEx::s_Instance},
        {"emitter float, 8-bit keys", 40, 0, 6, 1, 0, 0, false, none},
        {"emitter vector", 33, -1, 6, 3, 0, 0, false, &Emitter3dParamTrack::getInstance()},
        {"emitter y", 57, -1, 6, 1, 0, 0, false, &Emitter3dParamYTrack::getInstance()},
        {"texture transform", 107, -1, 6, 1, 0, 5, true, &CTextureTransformEx::s_Instance},
        {"material float[3] whole", 104, -1, 6, 3, 0, 3, false, &MaterialFloatTrack<3, -1>::getInstance()},
        {"material float, arity 3 mask 4", 104, -1, 6, 1, 4, 3, true, &MaterialFloatTrack<3, 2>::getInstance()},
        {"material float, arity 3 mask 4, no default", 104, -1, 6, 1, 4, 3, false, none},
        {"material float, arity 3 mask 3", 104, -1, 6, 1, 3, 3, true, &MaterialFloatTrack<3, -1>::getInstance()},
        {"material float, arity 1 mask 2", 104, -1, 6, 1, 2, 1, true, none},
        {"material float, arity 1 mask 1", 104, -1, 6, 1, 1, 1, false, &MaterialFloatTrack<1, -1>::getInstance()},
        {"material float, arity 5", 104, -1, 6, 1, 1, 5, true, none},
        {"material float, 5 a key", 104, -1, 6, 5, 0, 4, true, none},
        {"material bytes, 4 a key", 104, -1, 1, 4, 0, 4, false, &MaterialColorTrack<4, -1>::getInstance()},
        {"material bytes, arity 4 mask 15", 104, -1, 1, 1, 15, 4, false, &MaterialColorTrack<4, -1>::getInstance()},
        {"material bytes, arity 4 mask 2", 104, -1, 1, 1, 2, 4, true, &MaterialColorTrack<4, 1>::getInstance()},
        {"material bytes, arity 1", 104, -1, 1, 1, 1, 1, true, none},
        {"material bytes, mask 3", 104, -1, 1, 1, 3, 4, true, none},
        {"material, other value type", 104, -1, 2, 1, 1, 1, true, none},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        test::Animation a;
        test::AnimationSpec s;
        s.channels[0].type = c.type;
        s.samplers[0].valueType = c.valueType;
        s.samplers[0].components = c.components;
        s.quantised = c.storage >= 0;
        s.storage = std::uint32_t(c.storage);
        s.scales = s.offsets = {1, 1, 1, 1};
        s.descriptor = c.mask || c.arity || c.hasDefault;
        s.mask = c.mask;
        s.arity = c.arity;
        if (c.hasDefault)
            s.defaultValue = std::vector<std::uint8_t>(20, 0);
        ASSERT_TRUE(a.build(s));
        EXPECT_EQ(a.view.track, c.expect) << getAnimationTrackName(a.view.track);
    }
    EXPECT_EQ(getAnimationTrackEx(nullptr), nullptr);
    EXPECT_STREQ(getAnimationTrackName(&PositionTrack<short>::getInstance()), "position<short>");
    EXPECT_STREQ(getAnimationTrackName(nullptr), "none");
}

} // namespace
