// Conversions between attribute kinds: colours, number lists read as other shapes, matrix and
// quaternion, triangle to plane, enumerations and strings.

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "engine/io/CEnumAttribute.h"
#include "engine/io/CNumbersAttribute.h"
#include "engine/io/CScalarAttributes.h"
#include "engine/io/CStringAttribute.h"

using namespace pravik;
using namespace pravik::io;

TEST(AttributeKinds, ColourChannelsAndWord)
{
    CColorfAttribute colorf("c", video::SColorf(1.f, 0.5f, 0.f, 1.f), false);
    EXPECT_EQ(colorf.getColor(), video::SColor(255, 127, 0, 255));
    EXPECT_EQ(uint32_t(colorf.getInt()), 0x007FFFFFu);

    // Every byte survives the word in every channel, and through setColor(SColor).
    CColorAttribute color("c", video::SColorf(), false);
    for (uint32_t b = 0; b < 256; ++b) {
        for (int shift = 0; shift < 32; shift += 8) {
            const uint32_t word = (b << shift) | (0x5A5A5A5Au ^ (0x5Au << shift));
            color.setInt(int(word));
            ASSERT_EQ(uint32_t(color.getInt()), word) << std::hex << word;
        }
        const video::SColor c(uint8_t(b), uint8_t(255 - b), uint8_t(b / 2), uint8_t(b ^ 0x33));
        color.setColor(c);
        ASSERT_EQ(color.getColor(), c);
    }
    std::mt19937 rng(3);
    for (int i = 0; i < 1000; ++i) {
        const uint32_t word = rng();
        colorf.setInt(int(word));
        ASSERT_EQ(uint32_t(colorf.getInt()), word);
    }
}

TEST(AttributeKinds, NumberListsReadAsOtherShapes)
{
    CVector3DAttribute v("v", {1.f, 2.f, 3.f}, false);
    EXPECT_EQ(v.getQuaternion(), core::quaternion(1.f, 2.f, 3.f, 0.f));  // a missing w is 0
    const core::CMatrix4<float> m = v.getMatrix();
    EXPECT_FALSE(m.getDefinitelyIdentityMatrix());
    EXPECT_EQ(m.getTranslation(), core::vector3d<float>(1.f, 2.f, 3.f));
    EXPECT_EQ(m[0], 1.f);
    EXPECT_EQ(v.getPlane().D, 0.f);  // components past the count are 0
    EXPECT_EQ(v.getVector2di(), core::vector2d<int>(1, 2));

    CRectAttribute r("r", {}, false);
    r.setVector2d(core::vector2d<float>(3.7f, -2.9f));
    EXPECT_EQ(r.getRect(), core::rect<int>(3, -2, 0, 0));

    CPosition2DAttribute p("p", {4, 5}, false);
    EXPECT_EQ(p.getRect(), core::rect<int>(4, 5, 4, 5));
    EXPECT_EQ(p.getVector2d(), core::vector2d<float>(4.f, 5.f));
    EXPECT_TRUE(CVector2DAttribute("v", {}, false).getMatrix().getDefinitelyIdentityMatrix());

    CVector3DAttribute z("z", {}, false);
    EXPECT_FALSE(z.getBool());
    z.setVector3d({0.f, 0.f, 1.f});
    EXPECT_TRUE(z.getBool());
    z.setBool(true);
    EXPECT_EQ(z.getVector3d(), core::vector3d<float>(1.f, 1.f, 1.f));

    // Integer kinds keep what their own typed setters write.
    CVector4DIAttribute v4("v4", {1, 2, 3, 4}, false);
    EXPECT_EQ(v4.getVector4di(), core::vector4d<int>(1, 2, 3, 4));
    v4.setVector3di({7, 8, 9});
    EXPECT_EQ(v4.getVector4di(), core::vector4d<int>(7, 8, 9, 0));
    CLine3dAttribute line("l", {}, false);
    line.setLine3d(core::line3d<int>({1, 2, 3}, {4, 5, 6}));
    EXPECT_EQ(line.getLine3d().end, core::vector3d<float>(4.f, 5.f, 6.f));

    // The array getters convert through the unused storage.
    const auto ints = CVector2DAttribute("v", {2.9f, -2.9f}, false).getIntArray();
    ASSERT_EQ(ints.size(), 2u);
    EXPECT_EQ(ints[0], 2);
    EXPECT_EQ(ints[1], -2);
}

TEST(AttributeKinds, MatrixAndQuaternionConvertBothWays)
{
    // 90 degrees about z: (0, 0, sin 45, cos 45).
    const float h = std::sqrt(0.5f);
    CQuaternionAttribute q("q", core::quaternion(0.f, 0.f, h, h), false);
    const core::CMatrix4<float> m = q.getMatrix();
    const float expected[16] = {0, -1, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(m[unsigned(i)], expected[i], 1e-6f) << i;

    // A rotation matrix through quaternion and back, for each branch of the conversion.
    const core::quaternion rotations[] = {{0.f, 0.f, h, h},
                                          {1.f, 0.f, 0.f, 0.f},
                                          {0.f, 1.f, 0.f, 0.f},
                                          {0.f, 0.f, 1.f, 0.f},
                                          {0.5f, 0.5f, 0.5f, 0.5f}};
    for (const core::quaternion& r : rotations) {
        const core::CMatrix4<float> rotation = CQuaternionAttribute("q", r, false).getMatrix();
        CMatrixAttribute matrix("m", rotation, false);
        CQuaternionAttribute back("b", matrix.getQuaternion(), false);
        const core::CMatrix4<float> again = back.getMatrix();
        for (unsigned i = 0; i < 16; ++i) EXPECT_NEAR(again[i], rotation[i], 1e-5f) << i;
    }
}

TEST(AttributeKinds, TrianglePlane)
{
    CTriangleAttribute t("t", core::triangle3d<float>({0, 0, 0}, {1, 0, 0}, {0, 1, 0}), false);
    const core::plane3d<float> p = t.getPlane();
    EXPECT_EQ(p.Normal, core::vector3d<float>(0.f, 0.f, -1.f));
    EXPECT_EQ(p.D, 0.f);
    EXPECT_TRUE(std::signbit(p.D));
    CTriangleAttribute flat("f", core::triangle3d<float>({1, 1, 1}, {1, 1, 1}, {1, 1, 1}), false);
    EXPECT_EQ(flat.getPlane().Normal, core::vector3d<float>(0.f, 0.f, 0.f));
}

TEST(AttributeKinds, ScalarsConvert)
{
    CIntAttribute i("i", 0, false);
    i.setFloat(-2.9f);
    EXPECT_EQ(i.getInt(), -2);
    i.setFloat(1e20f);  // saturates rather than overflowing
    EXPECT_EQ(i.getInt(), INT32_MAX);
    CFloatAttribute f("f", -2.9f, false);
    EXPECT_EQ(f.getInt(), -2);
    EXPECT_TRUE(f.getBool());
    CBoolAttribute b("b", false, false);
    b.setFloat(0.5f);
    EXPECT_EQ(b.getInt(), 1);
}

TEST(AttributeKinds, Enumerations)
{
    const char* const literals[] = {"a", "B", nullptr};
    CEnumAttribute e("e", "b", literals, false);
    EXPECT_EQ(e.getInt(), 1);  // letter case ignored
    e.setString("c");
    EXPECT_EQ(e.getInt(), -1);
    EXPECT_TRUE(e.getBool());
    EXPECT_STREQ(e.getEnum(), "c");
    e.setInt(0);
    EXPECT_STREQ(e.getEnum(), "a");
    EXPECT_FALSE(e.getBool());
    e.setInt(5);
    EXPECT_STREQ(e.getEnum(), "");
    e.setEnum("B", literals);  // the list grows; the first copy still answers
    EXPECT_EQ(e.getLiterals().size(), 4u);
    EXPECT_EQ(e.getInt(), 1);
}

TEST(AttributeKinds, StringsReadAsNumbers)
{
    CStringAttribute upper("s", "TRUE", false);
    EXPECT_TRUE(upper.getBool());
    EXPECT_EQ(upper.getInt(), 0);
    CStringAttribute digits("s", L"12abc", false);
    EXPECT_EQ(digits.getInt(), 12);
    EXPECT_FLOAT_EQ(digits.getFloat(), 12.f);
    digits.setFloat(0.25f);
    EXPECT_EQ(digits.getStringW(), L"0.25");
}
