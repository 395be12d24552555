#include "tests/engine/gui/GuiTestSupport.h"

#include "engine/gui/IGUISpriteBank.h"
#include "tests/support/TempDir.h"

namespace test::gui {
namespace {

using video::SColor;

const SColor Yellow(255, 255, 0, 255), Red(255, 0, 0, 255), Green(0, 255, 0, 255), White(255, 255, 255, 255);

// Three glyphs on a 32x32 image (the null driver takes square textures only): widths 4, 3 and 6, heights 6, 6 and 7.
video::CImagePtr threeGlyphs(video::E_PIXEL_FORMAT format)
{
    video::CImagePtr image = new video::CImage(video::EPF_A8R8G8B8, core::dimension2d<int>(32, 32));
    image->fill(Green);
    image->setPixel(0, 0, Yellow);
    image->setPixel(1, 0, Red);  // the colour sample; the scan turns it into background
    image->setPixel(4, 6, Red);
    image->setPixel(8, 0, Yellow);
    image->setPixel(11, 6, Red);
    image->setPixel(16, 0, Yellow);
    image->setPixel(22, 7, Red);
    image->setPixel(2, 3, White);  // ink
    return format == video::EPF_A8R8G8B8 ? image : new video::CImage(format, image);
}

class BitmapFontTest : public GuiTest {
protected:
    CGUIFont* make(const char* name)
    {
        fonts.emplace_back(new CGUIFont(env, name), false);
        return fonts.back().get();
    }
    CGUIFont* fromXml(const std::string& xml, bool* ok = nullptr)
    {
        io::IReadFile* file = io::createMemoryReadFile(const_cast<char*>(xml.data()), int32_t(xml.size()), "f.xml", false);
        io::IXMLReader* reader = io::createIXMLReader(file);
        file->drop();
        CGUIFont* font = make(("xml" + std::to_string(fonts.size())).c_str());
        const bool loaded = font->load(reader);
        reader->drop();
        if (ok)
            *ok = loaded;
        return font;
    }
    std::vector<boost::intrusive_ptr<CGUIFont>> fonts;
};

TEST_F(BitmapFontTest, MarkerScanOfEverySupportedPixelFormat)
{
    const struct {
        video::E_PIXEL_FORMAT format;
        bool scannedInPlace;
    } cases[] = {{video::EPF_R5G6B5, false},   {video::EPF_A1R5G5B5, false}, {video::EPF_R5G5B5A1, true},
                 {video::EPF_R8G8B8, false},   {video::EPF_A8R8G8B8, true},  {video::EPF_B8G8R8A8, true},
                 {video::EPF_R8G8B8A8, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.format));
        CGUIFont* font = make(("scan" + std::to_string(int(c.format))).c_str());
        video::CImagePtr image = threeGlyphs(c.format);
        ASSERT_TRUE(font->loadTexture(image, ("scan" + std::to_string(int(c.format))).c_str()));
        ASSERT_EQ(font->getAreas().size(), 3u);
        EXPECT_EQ(font->getAreas()[0].width, 4);
        EXPECT_EQ(font->getAreas()[1].width, 3);
        EXPECT_EQ(font->getAreas()[2].width, 6);
        EXPECT_EQ(font->getMaxHeight(), 7);
        EXPECT_EQ(font->getAreaFromCharacter(L' '), 0);
        EXPECT_EQ(font->getAreaFromCharacter(L'"'), 2);
        EXPECT_EQ(font->getAreaFromCharacter(L'Z'), 0);  // unmapped: the space's area
        const std::vector<core::rect<int>>& rects = font->getSpriteBank()->getPositions();
        ASSERT_EQ(rects.size(), 3u);
        EXPECT_EQ(rects[1], core::rect<int>(8, 0, 11, 6));
        EXPECT_EQ(font->getSpriteBank()->getTextureCount(), 1u);
        if (c.scannedInPlace && c.format != video::EPF_R5G5B5A1) {
            // Markers and background become transparent; ink stays.
            EXPECT_EQ(image->getPixel(0, 0).a, 0);
            EXPECT_EQ(image->getPixel(22, 7).a, 0);
            EXPECT_EQ(image->getPixel(5, 5).a, 0);
            EXPECT_EQ(image->getPixel(1, 0).a, 0);
            EXPECT_EQ(image->getPixel(2, 3), White);
        }
    }
    CGUIFont* other = make("unsupported");
    log.clear();
    EXPECT_FALSE(other->loadTexture(new video::CImage(video::EPF_L8, core::dimension2d<int>(8, 8)), "l8"));
    EXPECT_TRUE(log.contains("CGUIFont::loadTexture : unsupported image type"));
}

TEST_F(BitmapFontTest, MarkerErrors)
{
    // A second lower-right marker for one upper-left one: no glyph at all.
    video::CImagePtr image = threeGlyphs(video::EPF_A8R8G8B8);
    image->setPixel(6, 6, Red);
    log.clear();
    EXPECT_FALSE(make("extra")->loadTexture(image, "extra"));
    EXPECT_TRUE(log.contains("Either no upper or lower corner pixels"));

    // Ten upper-left markers, nine lower-right: nine glyphs and a warning.
    image = new video::CImage(video::EPF_A8R8G8B8, core::dimension2d<int>(64, 64));
    image->fill(Green);
    for (int i = 0; i < 10; ++i)
        image->setPixel(unsigned(6 * i), 0, Yellow);
    for (int i = 0; i < 9; ++i)
        image->setPixel(unsigned(6 * i + 5), 6, Red);
    image->setPixel(1, 0, Red);
    log.clear();
    CGUIFont* font = make("nine");
    EXPECT_TRUE(font->loadTexture(image, "nine"));
    EXPECT_EQ(font->getAreas().size(), 9u);
    EXPECT_TRUE(log.contains("The amount of upper corner pixels and the lower corner pixels is not equal"));
}

TEST_F(BitmapFontTest, MeasuringAndHitTesting)
{
    std::vector<formats::fontxml::SGlyph> glyphs;
    for (wchar_t c : std::wstring(L"abcd"))
        glyphs.push_back({std::wstring(1, c), "0", "0", "0", "0,0,1,8"});
    glyphs.push_back({L"w", "1", "2", "0", "0,0,5,8"});
    CGUIFont* font = fromXml(formats::fontxml::write({}, glyphs));

    const struct {
        const wchar_t* text;
        core::dimension2d<int> size;
    } sizes[] = {{L"ab\r\ncd", {2, 16}}, {L"", {0, 8}}, {L"a\rb\nc", {1, 24}}, {L"w", {8, 8}}, {L"aw\n", {9, 16}}};
    for (const auto& c : sizes) {
        SCOPED_TRACE(testing::Message() << c.text);
        EXPECT_EQ(font->getDimension(c.text), c.size);
    }
    EXPECT_EQ(font->getDimension("narrow"), core::dimension2d<int>(0, 0));

    font->setKerningWidth(2);
    EXPECT_EQ(font->getDimension(L"ab").Width, 6);
    EXPECT_EQ(font->getKerningWidth(), 2);
    EXPECT_EQ(font->getKerningWidth(L"w"), 4);
    EXPECT_EQ(font->getKerningWidth(L"a", L"w"), 3);

    const struct {
        const wchar_t* text;
        int x, index;
    } hits[] = {{L"abc", 0, 0}, {L"abc", 2, 1}, {L"abc", 3, 2}, {L"abc", 4, -1}, {L"", 0, -1}, {L"aw", 2, 1}};
    for (const auto& h : hits) {
        SCOPED_TRACE(testing::Message() << h.text << " " << h.x);
        EXPECT_EQ(font->getCharacterFromPos(h.text, h.x), h.index);
    }
}

TEST_F(BitmapFontTest, XmlDescriptions)
{
    using formats::fontxml::SGlyph;
    using formats::fontxml::STexture;
    video::CImagePtr sheet = new video::CImage(video::EPF_A8R8G8B8, core::dimension2d<int>(16, 16));
    driver->getTextureManager()->addTexture("sheet.png", sheet, true);

    bool ok = false;
    CGUIFont* font = fromXml(formats::fontxml::write({{"sheet.png", "1", "true"}},
                                                     {{L"x", "0", "0", "1", "0,0,4,9"},
                                                      {L"x", "0", "0", "1", "4, ,0 ,8,12"},
                                                      {L"", "0", "0", "1", "0,0,9,9"},     // no character: skipped
                                                      {L"y", "0", "0", "1", ""},           // no rectangle: skipped
                                                      {L" ", "0", "0", "1", "8,0,10,3"}}),
                             &ok);
    ASSERT_TRUE(ok);
    EXPECT_EQ(font->getAreas().size(), 3u);
    EXPECT_EQ(font->getAreaFromCharacter(L'x'), 0);  // the first of two stays
    EXPECT_EQ(font->getWrongCharacter(), 2);
    EXPECT_EQ(font->getSpriteBank()->getPositions()[1], core::rect<int>(4, 0, 8, 12));
    EXPECT_EQ(font->getMaxHeight(), 12);
    EXPECT_EQ(font->getSpriteBank()->getTextureCount(), 2u);
    EXPECT_EQ(font->getSpriteBank()->getTexture(0), nullptr);
    EXPECT_NE(font->getSpriteBank()->getTexture(1), nullptr);

    // Drawing ignores line breaks: every character is one glyph on the line.
    driver->draws.clear();
    font->draw(L"x\r\nx", {10, 20, 100, 100}, SColor(1, 2, 3, 255));
    ASSERT_EQ(driver->draws.size(), 4u);
    EXPECT_EQ(driver->draws[0].dest.UpperLeftCorner, core::position2d<int>(10, 20));
    EXPECT_EQ(driver->draws[1].dest.UpperLeftCorner, core::position2d<int>(14, 20));
    EXPECT_EQ(driver->draws[1].source, core::rect<int>(8, 0, 10, 3));  // unmapped: the space's glyph

    const struct {
        const char* why;
        std::vector<STexture> textures;
        std::vector<SGlyph> glyphs;
        const char* message;
    } failures[] = {
        {"no glyph", {}, {}, nullptr},
        {"texture index above 255", {{"sheet.png", "300", "true"}}, {{L"a", "0", "0", "0", "0,0,1,1"}}, nullptr},
        {"missing texture", {{"missing.png", "0", "true"}}, {{L"a", "0", "0", "0", "0,0,1,1"}},
         "Unable to load all textures in the font, aborting"},
    };
    for (const auto& f : failures) {
        SCOPED_TRACE(f.why);
        log.clear();
        fromXml(formats::fontxml::write(f.textures, f.glyphs), &ok);
        EXPECT_FALSE(ok);
        if (f.message) {
            EXPECT_TRUE(log.contains(f.message));
        }
    }
    // A texture element without its file name or alpha flag is skipped.
    fromXml(formats::fontxml::write({{"", "0", "true"}, {"sheet.png", "0", ""}}, {{L"a", "0", "0", "0", "0,0,1,1"}}), &ok);
    EXPECT_TRUE(ok);
}

TEST_F(GuiTest, FontCacheKeys)
{
    TempDir dir;
    const std::string xml = fixtureFontXml(false);
    dir.write("fonts/big.xml", xml);
    dir.write("fonts/vector.xml", formats::fontxml::write({}, {}, "vector"));

    log.clear();
    EXPECT_EQ(env->getFont("#DefaultFont"), nullptr);
    EXPECT_TRUE(log.contains("Could not load font because the file does not exist"));
    EXPECT_NE(env->getBuiltInFont(), nullptr);

    const std::string lower = dir.file("fonts/big.xml");
    IGUIFont* big = env->getFont(lower.c_str());
    ASSERT_NE(big, nullptr);
    std::string upper = dir.file("Fonts/Big.XML");
    EXPECT_EQ(env->getFont(upper.c_str()), big);  // the same key: nothing is loaded again
    EXPECT_EQ(big->getDimension(L"ab").Width, 12);

    log.clear();
    EXPECT_EQ(env->getFont(dir.file("fonts/vector.xml").c_str()), nullptr);
    EXPECT_TRUE(log.contains("Unable to load font, XML vector fonts are not supported yet"));
    EXPECT_EQ(env->getBuiltInFont(), env->getSkin()->getFont());  // still the first record
}

}  // namespace
}  // namespace test::gui
