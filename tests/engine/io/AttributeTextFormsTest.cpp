// The text form of every attribute kind: what it writes and how it reads text back.

#include <gtest/gtest.h>

#include <cstring>

#include "engine/core/TextForms.h"
#include "engine/io/CEnumAttribute.h"
#include "engine/io/CNumbersAttribute.h"
#include "engine/io/CScalarAttributes.h"
#include "engine/io/CStringAttribute.h"
#include "engine/io/CTextureAttribute.h"
#include "engine/video/CNullDriver.h"
#include "tests/engine/video/DriverTestSupport.h"

using namespace pravik;
using namespace pravik::io;

TEST(AttributeTextForms, NumberListReader)
{
    const struct {
        const char* text;
        float x, y, z;
    } kCases[] = {
        {"1,2,3", 1, 2, 3},   {"1 2", 1, 2, 0}, {"4 5 6 7", 4, 5, 6},   {".5", 5, 0, 0},
        {"-.5", -0.5f, 0, 0}, {"1e5", 1, 5, 0}, {"1.5e3", 1500, 0, 0},  {"1.5e+3", 1.5f, 3, 0},
        {"abc", 0, 0, 0},     {"", 0, 0, 0},    {"x=1;y=-2", 1, -2, 0},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.text);
        CVector3DAttribute v("v", {9.f, 9.f, 9.f}, false);
        v.setString(c.text);
        EXPECT_EQ(v.getVector3d(), core::vector3d<float>(c.x, c.y, c.z));
    }
    CVector2DIAttribute vi("v", {}, false);
    vi.setString(L"2.9, -2.9");
    EXPECT_EQ(vi.getVector2di(), core::vector2d<int>(2, -2));
}

TEST(AttributeTextForms, WrittenTexts)
{
    EXPECT_EQ(CVector3DAttribute("v", {1.f, 0.5f, -2.f}, false).getStringW(), L"1, 0.5, -2");
    EXPECT_EQ(CRectAttribute("r", {0, 0, 640, 480}, false).getString(), "0, 0, 640, 480");
    EXPECT_EQ(CFloatAttribute("f", 1234567.f, false).getStringW(), L"1.23457e+06");
    EXPECT_EQ(CIntAttribute("i", -5, false).getString(), "-5");
    EXPECT_EQ(CBoolAttribute("b", true, false).getStringW(), L"true");
    const char* const literals[] = {"x", nullptr};
    EXPECT_EQ(CEnumAttribute("e", "notlisted", literals, false).getStringW(), L"notlisted");
}

TEST(AttributeTextForms, ScalarReaders)
{
    CFloatAttribute f("f", 0.f, false);
    const struct {
        const char* text;
        float value;
    } kFloats[] = {{"3.25", 3.25f}, {"abc", 0.f}, {"-7", -7.f}};
    for (const auto& c : kFloats) {
        f.setString(c.text);
        EXPECT_EQ(f.getFloat(), c.value) << c.text;
    }
    f.setString("3.25");
    EXPECT_EQ(f.getStringW(), L"3.25");

    CBoolAttribute b("b", true, false);
    b.setString("True");
    EXPECT_FALSE(b.getBool());
    b.setString(L"true");
    EXPECT_TRUE(b.getBool());

    CIntAttribute i("i", 0, false);
    i.setString("99999999999");  // saturates
    EXPECT_EQ(i.getInt(), INT32_MAX);
}

TEST(AttributeTextForms, ColourTexts)
{
    CColorAttribute c("c", video::SColorf(1.f, 0.5f, 0.f, 1.f), false);
    EXPECT_EQ(c.getStringW(), L"ffff7f00");
    EXPECT_EQ(c.getString(), "1, 0.5, 0, 1");
    CColorAttribute back("b", video::SColorf(), false);
    back.setString(c.getStringW().c_str());
    EXPECT_EQ(back.getColor(), video::SColor(255, 127, 0, 255));
    back.setString("ff808000");
    EXPECT_EQ(back.getColor(), video::SColor(128, 128, 0, 255));
    back.setString("FF80");  // pairs that are not there read as 0
    EXPECT_EQ(back.getColor(), video::SColor(128, 0, 0, 255));
}

TEST(AttributeTextForms, BinaryHex)
{
    const unsigned char bytes[] = {0x00, 0xAB, 0x7F};
    CBinaryAttribute bin("b", bytes, 3, false);
    EXPECT_EQ(bin.getString(), "00ab7f");
    unsigned char out[5];
    memset(out, 0xEE, sizeof out);
    bin.getBinary(out, 5);
    EXPECT_EQ(std::vector<unsigned char>(out, out + 5), (std::vector<unsigned char>{0x00, 0xAB, 0x7F, 0, 0}));
    memset(out, 0xEE, sizeof out);
    bin.getBinary(out, 2);
    EXPECT_EQ(std::vector<unsigned char>(out, out + 3), (std::vector<unsigned char>{0x00, 0xAB, 0xEE}));

    bin.setString("0ab");
    bin.getBinary(out, 2);
    EXPECT_EQ(out[0], 0x0A);
    EXPECT_EQ(out[1], 0xB0);
    bin.setString("0AB");
    bin.getBinary(out, 2);
    EXPECT_EQ(out[0], 0x00);
    EXPECT_EQ(out[1], 0x00);

    CStringAttribute wide("w", L"x", false);
    wide.setBinary(bytes, 3);  // the narrow text takes the bytes; the wide text is untouched
    EXPECT_EQ(wide.getStringW(), L"x");
    wide.getBinary(out, 3);
    EXPECT_EQ(out[1], 0xAB);
}

TEST(AttributeTextForms, NarrowingAndWidening)
{
    EXPECT_EQ(core::stringw2stringc(core::stringw(1, wchar_t(0x263A))), "\x3A");
    const core::stringw wide = core::stringc2stringw("\xE9");
    EXPECT_EQ(uint32_t(wide[0]), 0xFFFFFFE9u);
    EXPECT_EQ(core::stringw2stringc(wide), "\xE9");
    CStringAttribute s("s", "\xE9t\xE9", false);
    EXPECT_EQ(core::stringw2stringc(s.getStringW()), "\xE9t\xE9");
}

TEST(AttributeTextForms, TextureLightAndPointer)
{
    CTextureAttribute texture("t", nullptr, nullptr, false);
    EXPECT_EQ(texture.getStringW(), L"");
    EXPECT_EQ(texture.getString(), "");
    // Without a texture manager the name is kept as given, and an empty text clears it.
    texture.setString("tex/ball.png;tex/ball.png");
    EXPECT_EQ(texture.getTexture(), nullptr);
    EXPECT_EQ(texture.getStringW(), L"tex/ball.png;tex/ball.png");
    texture.setString("");
    EXPECT_EQ(texture.getStringW(), L"");

    CLightAttribute light("l", nullptr, nullptr, false);
    EXPECT_EQ(light.getString(), "light");
    EXPECT_EQ(light.getStringW(), L"");

    int target = 0;
    CUserPointerAttribute pointer("p", &target, false);
    EXPECT_EQ(pointer.getStringW(), L"");
    char text[32];
    pointer.getString(text);
    CUserPointerAttribute back("b", nullptr, false);
    back.setString(text);  // the whole 64-bit address comes back
    EXPECT_EQ(back.getUserPointer(), &target);
    back.setString("nonsense");
    EXPECT_EQ(back.getUserPointer(), &target);
}

namespace {

// The texture the stand-in texture layer below hands out.
video::ITexture* kTexture = nullptr;
std::string g_askedFile, g_askedKey;

}  // namespace

TEST(AttributeTextForms, TextureNameFormGoesThroughTheTextureLayer)
{
    test::ProcessBufferHeap heap;
    boost::intrusive_ptr<video::CNullDriver> driver = test::makeNullDriver();
    video::STextureDesc desc;
    desc.type = video::ETT_2D;
    desc.format = video::EPF_A8R8G8B8;
    desc.width = desc.height = 4;
    boost::intrusive_ptr<video::ITexture> held = new video::CNullDriver::CTexture("ball", driver.get(), desc);
    kTexture = held.get();
    video::IVideoDriver* const kDriver = driver.get();

    STextureNameHooks hooks;
    hooks.toString = [](video::ITexture* t, video::IVideoDriver*) {
        return core::stringc(t == kTexture ? "tex/ball.png;ball" : "<null>;?");
    };
    hooks.getTexture = [](const char* file, const char* key, video::IVideoDriver*) -> video::ITexture* {
        g_askedFile = file;
        g_askedKey = key;
        return std::string(file) == "missing.png" ? nullptr : kTexture;
    };
    setTextureNameHooks(hooks);

    CTextureAttribute texture("t", nullptr, kDriver, false);
    texture.setString("tex/ball.png;ball");
    EXPECT_EQ(g_askedFile, "tex/ball.png");
    EXPECT_EQ(g_askedKey, "ball");
    EXPECT_EQ(texture.getTexture(), kTexture);
    EXPECT_EQ(texture.getStringW(), L"tex/ball.png;ball");
    texture.setString("plain.png");  // no ';': the text is both file and key
    EXPECT_EQ(g_askedKey, "plain.png");
    texture.setString("missing.png");
    EXPECT_EQ(texture.getTexture(), nullptr);

    EXPECT_EQ(fromString("x.png", nullptr), nullptr);  // no driver, no texture
    EXPECT_EQ(toString(kTexture, nullptr), "");
    setTextureNameHooks({});
    kTexture = nullptr;
}
