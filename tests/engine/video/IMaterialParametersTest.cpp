#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "engine/EngineServices.h"
#include "engine/io/CAttributes.h"
#include "engine/video/CLight.h"
#include "engine/video/CNullDriver.h"
#include "tests/engine/video/DriverTestSupport.h"
#include "tests/engine/video/ParameterBlockFixture.h"

using namespace pravik;
using namespace pravik::video;
using test::CBlock;
using v4 = core::vector4d<float>;

namespace {

class MaterialParameters : public ::testing::Test {
protected:
    test::CFakeReferenceHooks hooks;
};

core::CMatrix4<float> translation(float x)
{
    core::CMatrix4<float> m;
    m.setTranslation({x, 0, 0});
    m.setDefinitelyIdentityMatrix(false);
    return m;
}

}  // namespace

TEST_F(MaterialParameters, ConvertingAccessorsFollowTheConversionTable)
{
    CBlock b;
    const auto i = b.add("i", ESPT_CONSTANT, ESPVT_INT, 1);
    const auto f = b.add("f", ESPT_CONSTANT, ESPVT_FLOAT, 1);
    const auto c4 = b.add("c4", ESPT_CONSTANT, ESPVT_FLOAT4, 1);
    const auto col = b.add("col", ESPT_CONSTANT, ESPVT_COLOR, 1);
    const auto colf = b.add("colf", ESPT_CONSTANT, ESPVT_COLORF, 1);

    const struct {
        const char* why;
        float in;
        int stored;
    } kTruncations[] = {{"2.9", 2.9f, 2},
                        {"-2.9", -2.9f, -2},
                        {"NaN", std::nanf(""), 0},
                        {"beyond int", 3e9f, 2147483647},
                        {"below int", -3e9f, -2147483647 - 1},
                        {"0.5", 0.5f, 0}};  // the value read back below
    for (const auto& c : kTruncations) {
        SCOPED_TRACE(c.why);
        EXPECT_TRUE(b.setParameterCvt(i, 0, c.in));
        int out = 99;
        EXPECT_TRUE(b.getParameter(i, 0, out));
        EXPECT_EQ(out, c.stored);
    }
    EXPECT_FALSE(b.setParameter(i, 0, 2.0f));  // the exact form wants an int
    EXPECT_TRUE(b.setParameter(f, 0, 0.0f));
    EXPECT_TRUE(b.setParameterCvt(f, 0, 7));
    float asFloat = 0;
    EXPECT_TRUE(b.getParameterCvt(i, 0, asFloat));
    EXPECT_EQ(asFloat, 0.0f);
    EXPECT_TRUE(b.getParameter(f, 0, asFloat));
    EXPECT_EQ(asFloat, 7.0f);

    // Colours: floats to bytes (x 255, truncated, low 8 bits), bytes to floats (x 1/255).
    EXPECT_TRUE(b.setParameter(c4, 0, v4(0.5f, 1.0f, 0.0f, 2.0f)));
    SColor bytes;
    EXPECT_TRUE(b.getParameterCvt(c4, 0, bytes));
    EXPECT_EQ(bytes, SColor(127, 255, 0, 254));
    EXPECT_TRUE(b.setParameterCvt(col, 0, v4(-1.0f, 0.5f, 1.0f, 2.0f)));
    EXPECT_TRUE(b.getParameter(col, 0, bytes));
    EXPECT_EQ(bytes, SColor(0, 127, 255, 254));
    EXPECT_TRUE(b.setParameter(col, 0, SColor(255, 128, 0, 255)));
    v4 floats;
    EXPECT_TRUE(b.getParameterCvt(col, 0, floats));
    EXPECT_EQ(floats, v4(1.0f, 0.5019608f, 0.0f, 1.0f));
    EXPECT_TRUE(b.setParameterCvt(colf, 0, v4(0.1f, 0.2f, 0.3f, 0.4f)));
    SColorf cf;
    EXPECT_TRUE(b.getParameter(colf, 0, cf));
    EXPECT_EQ(cf, SColorf(0.1f, 0.2f, 0.3f, 0.4f));
    EXPECT_TRUE(b.setParameterCvt(c4, 0, SColorf(0.25f, 0.5f, 0.75f, 1.0f)));
    EXPECT_TRUE(b.getParameter(c4, 0, floats));
    EXPECT_EQ(floats, v4(0.25f, 0.5f, 0.75f, 1.0f));

    // No conversion outside the table.
    EXPECT_FALSE(b.setParameterCvt(c4, 0, 1.0f));
    EXPECT_FALSE(b.getParameterCvt(i, 0, floats));
    EXPECT_FALSE(b.setParameter(c4, 1, v4()));  // index past the array
    EXPECT_FALSE(b.setParameter(9, 0, 1.0f));   // no such parameter
}

TEST_F(MaterialParameters, ChangeDetection)
{
    CBlock b;
    const auto colf = b.add("colf", ESPT_CONSTANT, ESPVT_COLORF, 1);
    const auto c4 = b.add("c4", ESPT_CONSTANT, ESPVT_FLOAT4, 1);
    const auto arr = b.add("arr", ESPT_CONSTANT, ESPVT_FLOAT, 3);
    const float nan = std::nanf("");
    const struct {
        const char* why;
        unsigned short id;
        v4 first, second;
        bool dirtyAfterSecond;
    } kCases[] = {
        {"colorf within tolerance",
         colf,
         {0.5f, 0.5f, 0.5f, 0.5f},
         {0.5000005f, 0.5f, 0.4999995f, 0.5f},
         false},
        {"colorf beyond tolerance", colf, {0.5f, 0.5f, 0.5f, 0.5f}, {0.50001f, 0.5f, 0.5f, 0.5f}, true},
        {"float4 compares exactly", c4, {0.5f, 0.5f, 0.5f, 0.5f}, {0.5000005f, 0.5f, 0.4999995f, 0.5f}, true},
        {"float4 equal", c4, {1, 2, 3, 4}, {1, 2, 3, 4}, false},
        {"stored NaN always changes", c4, {nan, 0, 0, 0}, {nan, 0, 0, 0}, true},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.why);
        EXPECT_TRUE(b.setParameterCvt(c.id, 0, c.first));
        b.dirty = 0;
        EXPECT_TRUE(b.setParameterCvt(c.id, 0, c.second));
        EXPECT_EQ(b.dirty != 0, c.dirtyAfterSecond);
        v4 back;
        b.getParameterCvt(c.id, 0, back);
        EXPECT_EQ(std::memcmp(&back, &c.second, 16), 0);  // stored in any case
    }

    // Whole arrays mark the owner once, equal values or not, packed or strided, converting too.
    const float values[3] = {1, 2, 3};
    const int ints[6] = {4, -1, 5, -1, 6, -1};
    for (int round = 0; round < 2; ++round) {
        b.dirty = 0;
        EXPECT_TRUE(b.setParameter(arr, values, 0));
        EXPECT_EQ(b.dirty, 1);
    }
    b.dirty = 0;
    EXPECT_TRUE(b.setParameterCvt(arr, ints, 8));
    EXPECT_EQ(b.dirty, 1);
    float out[3] = {};
    EXPECT_TRUE(b.getParameter(arr, out, 0));
    EXPECT_EQ(out[0], 4.0f);
    EXPECT_EQ(out[2], 6.0f);
    EXPECT_FALSE(b.setParameter(arr, ints, 8));  // exact form wants floats

    // The converting element forms address the element named.
    EXPECT_TRUE(b.setParameterCvt(arr, 2, 9));
    EXPECT_TRUE(b.getParameter(arr, out, 0));
    EXPECT_EQ(out[0], 4.0f);
    EXPECT_EQ(out[1], 5.0f);
    EXPECT_EQ(out[2], 9.0f);
}

TEST_F(MaterialParameters, MatricesAreNullForIdentity)
{
    CBlock b;
    const auto m = b.add("m", ESPT_TEXTURE_MATRIX, ESPVT_FLOAT4X4, 2);
    core::CMatrix4<float> out;
    EXPECT_TRUE(b.getParameter(m, 1, out));
    EXPECT_TRUE(out.getDefinitelyIdentityMatrix());

    EXPECT_TRUE(b.setParameter(m, 1, translation(3)));
    ASSERT_NE(b.pointerAt<core::CMatrix4<float>>(m, 1), nullptr);
    EXPECT_TRUE(b.getParameter(m, 1, out));
    EXPECT_EQ(out, translation(3));
    EXPECT_FALSE(out.getDefinitelyIdentityMatrix());

    EXPECT_TRUE(b.setParameter(m, 1, core::IdentityMatrix));
    EXPECT_EQ(b.pointerAt<core::CMatrix4<float>>(m, 1), nullptr);
    EXPECT_TRUE(b.getParameter(m, 1, out));
    EXPECT_TRUE(out.getDefinitelyIdentityMatrix());

    EXPECT_TRUE(b.setParameterElement(m, 0, 12, 5.0f));  // a component makes a stored matrix
    EXPECT_TRUE(b.getParameter(m, out));
    EXPECT_EQ(out, translation(5));
    EXPECT_FALSE(out.getDefinitelyIdentityMatrix());
    EXPECT_FALSE(b.setParameterElement(m, 0, 16, 1.0f));
    EXPECT_FALSE(b.setParameter(m, 2, translation(1)));
    b.dropParameters();
    EXPECT_EQ(b.pointerAt<core::CMatrix4<float>>(m, 0), nullptr);
}

// Texture handles count through the stand-in hooks only while the texture layer is absent;
// with it, its own texture tests cover the sampler checks.
#if !__has_include("engine/video/ITexture.h")
TEST_F(MaterialParameters, TexturesCheckTheirSamplerType)
{
    CBlock b;
    const auto cube = b.add("cube", ESPT_TEXTURE, ESPVT_SAMPLERCUBE, 3);
    test::FakeTexture flat, box, other;
    box.type = 2;
    other.type = 2;
    using TexturePtr = boost::intrusive_ptr<ITexture>;

    EXPECT_FALSE(b.setParameter(cube, 0, TexturePtr(flat.get())));  // 2D into a cube sampler
    EXPECT_TRUE(b.setParameter(cube, 0, TexturePtr(box.get())));
    EXPECT_EQ(box.refs, 2);
    EXPECT_TRUE(b.setParameter(cube, 0, TexturePtr()));  // null fits any sampler
    EXPECT_EQ(box.refs, 1);

    TexturePtr values[3] = {TexturePtr(box.get()), TexturePtr(flat.get()), TexturePtr(other.get())};
    EXPECT_TRUE(b.setParameter(cube, values, 0));  // true although the 2D texture is refused
    EXPECT_EQ(b.pointerAt<ITexture>(cube, 0), box.get());
    EXPECT_EQ(b.pointerAt<ITexture>(cube, 1), nullptr);
    EXPECT_EQ(b.pointerAt<ITexture>(cube, 2), other.get());

    {
        TexturePtr out[3];
        EXPECT_TRUE(b.getParameter(cube, out, 0));
        EXPECT_EQ(out[2].get(), other.get());
        EXPECT_EQ(other.refs, 4);  // ours, the array above, the block, the copy out
    }
    EXPECT_EQ(other.refs, 3);
    for (auto& v : values) v.reset();
    EXPECT_EQ(other.refs, 2);
    b.dropParameters();
    EXPECT_EQ(other.refs, 1);
    EXPECT_EQ(box.refs, 1);
}
#endif

TEST_F(MaterialParameters, ComponentsNeutralValuesAndOwnership)
{
    CBlock b;
    const auto c4 = b.add("c4", ESPT_CONSTANT, ESPVT_FLOAT4, 2);
    const auto col = b.add("col", ESPT_CONSTANT, ESPVT_COLOR, 1);
    const auto colf = b.add("colf", ESPT_CONSTANT, ESPVT_COLORF, 3);
    const auto light = b.add("light", ESPT_LIGHT, ESPVT_LIGHT, 1);
    const auto m = b.add("m", ESPT_MODEL_MATRIX, ESPVT_FLOAT4X4, 1);

    EXPECT_TRUE(b.setParameterElement(c4, 1, 3, 8.0f));
    v4 e0, e1;
    b.getParameter(c4, 0, e0);
    b.getParameter(c4, 1, e1);
    EXPECT_EQ(e0, v4(0, 0, 0, 0));
    EXPECT_EQ(e1, v4(0, 0, 0, 8));
    EXPECT_FALSE(b.setParameterElement(c4, 1, 4, 1.0f));
    EXPECT_FALSE(b.setParameterElement(c4, 1, 0, 1));  // int is not the base type
    EXPECT_TRUE(b.setParameterElement(col, 0, 2, (unsigned char)77));
    SColor c;
    b.getParameter(col, 0, c);
    EXPECT_EQ(c, SColor(0, 0, 77, 0));

    const SColorf half(0.5f, 0.5f, 0.5f, 0.5f);
    const SColorf halves[3] = {half, half, half};
    b.setParameter(colf, halves, 0);
    test::FakeLight sun;
    test::putLight(b, light, 0, sun);
    EXPECT_EQ(sun.refs, 2);
    b.setParameter(m, translation(2));

    // A byte copy owns nothing until grabParameters.
    CBlock copy;
    copy.add("c4", ESPT_CONSTANT, ESPVT_FLOAT4, 2);
    copy.add("col", ESPT_CONSTANT, ESPVT_COLOR, 1);
    copy.add("colf", ESPT_CONSTANT, ESPVT_COLORF, 3);
    copy.add("light", ESPT_LIGHT, ESPVT_LIGHT, 1);
    copy.add("m", ESPT_MODEL_MATRIX, ESPVT_FLOAT4X4, 1);
    copy.bytes() = b.bytes();
    copy.grabParameters();
    EXPECT_EQ(sun.refs, 3);
    EXPECT_NE(copy.pointerAt<core::CMatrix4<float>>(m, 0), b.pointerAt<core::CMatrix4<float>>(m, 0));
    b.dropParameters();
    EXPECT_EQ(sun.refs, 2);
    core::CMatrix4<float> out;
    copy.getParameter(m, out);
    EXPECT_EQ(out, translation(2));

    copy.initParametersToIdentity();
    SColorf f0, f1;
    copy.getParameter(colf, 0, f0);
    copy.getParameter(colf, 1, f1);
    EXPECT_EQ(f0, SColorf(1, 1, 1, 1));
    EXPECT_EQ(f1, half);
    copy.getParameter(col, 0, c);
    EXPECT_EQ(c, SColor(255, 255, 255, 255));
    copy.getParameter(c4, 0, e0);
    EXPECT_EQ(e0, v4(1, 1, 1, 1));
    EXPECT_EQ(sun.refs, 1);
    EXPECT_EQ(copy.pointerAt<core::CMatrix4<float>>(m, 0), nullptr);
}

TEST_F(MaterialParameters, UntypedFormsDispatchOnValueType)
{
    CBlock b;
    const auto f = b.add("f", ESPT_CONSTANT, ESPVT_FLOAT, 2);
    const auto raw = b.add("raw", ESPT_CONSTANT, ESPVT_FLOAT3X3, 1);
    const float in[2] = {1.5f, 2.5f};
    EXPECT_TRUE(b.setParameter(f, ESPVT_FLOAT, in, 0));
    int asInt = 0;
    EXPECT_TRUE(b.getParameterCvt(f, 1, ESPVT_INT, &asInt));
    EXPECT_EQ(asInt, 2);
    float nine[9] = {};
    EXPECT_FALSE(b.setParameter(raw, ESPVT_FLOAT3X3, nine, 0));
    EXPECT_FALSE(b.setParameter(f, E_SHADER_PARAMETER_VALUE_TYPE(19), in, 0));
    EXPECT_FALSE(b.setParameter(f, ESPVT_INT, in, 0));
}

// Through an attribute store, which holds counted references to the textures and lights it
// carries: real objects counted by the engine's own hooks.
TEST(MaterialParametersAttributes, AttributeFormRoundTrip)
{
    CEngineServicesScope services;
    test::ProcessBufferHeap heap;
    const boost::intrusive_ptr<CNullDriver> driver = test::makeNullDriver();
    STextureDesc desc;
    desc.type = ETT_2D;  // a 2D texture: a stored form carries no sampler check
    desc.format = EPF_A8R8G8B8;
    desc.width = desc.height = 4;
    const boost::intrusive_ptr<ITexture> flat = new CNullDriver::CTexture("flat", driver.get(), desc);
    const boost::intrusive_ptr<CLight> sun = CLight::allocate();
    const unsigned flatOwn = flat->getReferenceCount(), sunOwn = sun->getReferenceCount();

    CBlock a;
    const auto shininess = a.add("Shininess", ESPT_SHININESS, ESPVT_FLOAT, 1);
    const auto colors = a.add("Colors", ESPT_CONSTANT, ESPVT_FLOAT4, 3);
    const auto raw = a.add("Raw", ESPT_CONSTANT, ESPVT_FLOAT3X3, 1);
    const auto mats = a.add("Mats", ESPT_BONE_MATRICES, ESPVT_FLOAT4X4, 3);
    const auto cube = a.add("Cube", ESPT_TEXTURE, ESPVT_SAMPLERCUBE, 1);
    const auto light = a.add("Light", ESPT_LIGHT, ESPVT_LIGHT, 1);
    const auto ints = a.add("Ints", ESPT_CONSTANT, ESPVT_INT3, 1);
    const auto col = a.add("Col", ESPT_CONSTANT, ESPVT_COLOR, 1);

    a.setParameter(shininess, 0, 2.5f);
    const v4 c4[3] = {{1, 2, 3, 4}, {5, 6, 7, 8}, {9, 10, 11, 12}};
    a.setParameter(colors, c4, 0);
    core::CMatrix4<float> nearIdentity = core::IdentityMatrix;
    nearIdentity[0] = 1.0000005f;
    nearIdentity[7] = -0.0000005f;
    a.setParameter(mats, 1, nearIdentity);  // stored: not flagged identity
    a.setParameter(mats, 2, translation(4));
    {
        CLight* p = sun.get();  // stored as a byte copy and grabParameters would: pointer, then a reference
        std::memcpy(a.getParameterBlock() + a.getParameterDef(light)->index, &p, sizeof(p));
        detail::grabReference(p);
    }
    a.setParameter(ints, 0, core::vector3d<int>(-1, 0, 7));
    a.setParameter(col, 0, SColor(1, 2, 3, 4));

    io::CAttributes store(driver.get());
    a.serializeAttributes(&store);
    store.push("Cube");
    store.setAttribute(3, flat.get());
    store.pop();
    EXPECT_EQ(flat->getReferenceCount(), flatOwn + 1);  // the store's
    EXPECT_EQ(sun->getReferenceCount(), sunOwn + 2);    // a's and the store's

    const struct {
        const char* group;
        int count;
        const char* valueType;
        const char* firstElement;
    } kGroups[] = {
        {"Shininess", 4, "float", "value"}, {"Colors", 6, "float4", "[0]"}, {"Raw", 3, "float3x3", nullptr},
        {"Mats", 6, "float4x4", "[0]"},     {"Light", 4, "light", "value"},
    };
    for (const auto& g : kGroups) {
        SCOPED_TRACE(g.group);
        store.push(g.group);
        EXPECT_EQ(store.getAttributeCount(), g.count);
        EXPECT_STREQ(store.getAttributeName(0), "Type");
        EXPECT_STREQ(store.getEnum("Value Type"), g.valueType);
        if (g.firstElement) {
            EXPECT_STREQ(store.getAttributeName(3), g.firstElement);
        }
        store.pop();
    }
    store.push("Shininess");
    EXPECT_EQ(store.getFloat("value"), 2.5f);
    EXPECT_EQ(store.getInt("Array Size"), 1);
    store.pop();
    store.push("Colors");
    EXPECT_STREQ(store.getAttributeName(5), "[2]");
    store.pop();

    CBlock b;
    b.add("Shininess", ESPT_SHININESS, ESPVT_FLOAT, 1);
    b.add("Colors", ESPT_CONSTANT, ESPVT_FLOAT4, 3);
    b.add("Raw", ESPT_CONSTANT, ESPVT_FLOAT3X3, 1);
    b.add("Mats", ESPT_BONE_MATRICES, ESPVT_FLOAT4X4, 3);
    b.add("Cube", ESPT_TEXTURE, ESPVT_SAMPLERCUBE, 1);
    b.add("Light", ESPT_LIGHT, ESPVT_LIGHT, 1);
    b.add("Ints", ESPT_CONSTANT, ESPVT_INT3, 1);
    b.add("Col", ESPT_CONSTANT, ESPVT_COLOR, 1);
    std::memset(b.getParameterBlock() + b.getParameterDef(raw)->index, 0x5a, 36);
    b.dirty = 0;
    b.deserializeAttributes(&store);
    EXPECT_EQ(b.dirty, 0);

    float s = 0;
    b.getParameter(shininess, 0, s);
    EXPECT_EQ(s, 2.5f);
    v4 back[3];
    b.getParameter(colors, back, 0);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(back[i], c4[i]);
    EXPECT_EQ(b.getParameterBlock()[b.getParameterDef(raw)->index + 35], 0x5a);  // untouched
    EXPECT_EQ(b.pointerAt<core::CMatrix4<float>>(mats, 0), nullptr);             // written as identity
    EXPECT_EQ(b.pointerAt<core::CMatrix4<float>>(mats, 1), nullptr);             // within the tolerance
    core::CMatrix4<float> m;
    b.getParameter(mats, 2, m);
    EXPECT_EQ(m, translation(4));
    EXPECT_FALSE(m.getDefinitelyIdentityMatrix());
    EXPECT_EQ(b.pointerAt<ITexture>(cube, 0), flat.get());  // 2D into a cube sampler, unchecked
    EXPECT_EQ(flat->getReferenceCount(), flatOwn + 2);      // the store's and b's
    EXPECT_EQ(b.pointerAt<CLight>(light, 0), sun.get());
    EXPECT_EQ(sun->getReferenceCount(), sunOwn + 3);
    core::vector3d<int> iv;
    b.getParameter(ints, 0, iv);
    EXPECT_EQ(iv, core::vector3d<int>(-1, 0, 7));
    SColor cb;
    b.getParameter(col, 0, cb);
    EXPECT_EQ(cb, SColor(1, 2, 3, 4));

    // Elements are read by position: other names in the same order read the same.
    io::CAttributes renamed(nullptr);
    renamed.push("Shininess");
    renamed.addEnum("Type", 0, getStringsInternal((E_SHADER_PARAMETER_TYPE*)nullptr));
    renamed.addEnum("Value Type", 0, getStringsInternal((E_SHADER_PARAMETER_VALUE_TYPE*)nullptr));
    renamed.addInt("Array Size", 1);
    renamed.addFloat("anything", 9.5f);
    renamed.pop();
    b.deserializeAttributes(&renamed);
    b.getParameter(shininess, 0, s);
    EXPECT_EQ(s, 9.5f);

    a.dropParameters();
    b.dropParameters();
    store.clear();
    EXPECT_EQ(flat->getReferenceCount(), flatOwn);
    EXPECT_EQ(sun->getReferenceCount(), sunOwn);
}
