#include "tests/engine/gui/GuiTestSupport.h"

#include "engine/gui/CGUITTFont.h"
#include "engine/io/CReadFile.h"
#include "engine/video/ITexture.h"
#include "tests/support/TempDir.h"

namespace test::gui {
namespace {

const char* const DejaVu = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

class TrueTypeTest : public GuiTest {
protected:
    TrueTypeTest() : bytes(readFile(DejaVu)) {}
    // The face's bytes as a file held in memory under the given name; dropped by the test.
    io::IReadFile* memoryFile(const char* name)
    {
        io::IReadFile* f = io::createMemoryReadFile(bytes.data(), int32_t(bytes.size()), name, false);
        files.emplace_back(f, false);
        return f;
    }
    CGUITTFont* font(unsigned size)
    {
        auto* f = static_cast<CGUITTFont*>(env->getTTFont(memoryFile("dejavu.ttf"), size));
        EXPECT_NE(f, nullptr);
        return f;
    }
    std::string bytes;
    std::vector<boost::intrusive_ptr<io::IReadFile>> files;
};

TEST_F(TrueTypeTest, AdvancesAndSizes)
{
    ASSERT_FALSE(bytes.empty()) << "fonts-dejavu-core is missing";
    CGUITTFont* f = font(20);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->getType(), EGFT_CUSTOM);
    const struct {
        unsigned code;
        int advance;
    } fallbacks[] = {{L' ', 10}, {9, 0}, {0x4E00, 20}};
    for (const auto& c : fallbacks) {
        SCOPED_TRACE(c.code);
        EXPECT_EQ(f->getAdvance(c.code), c.advance);
    }
    const unsigned a = f->getGlyphByChar(L'a');
    ASSERT_NE(a, 0u);
    const CGUITTGlyph* glyph = f->getGlyph(a);
    ASSERT_TRUE(glyph->cached);
    EXPECT_EQ(f->getAdvance(L'a'), glyph->width + glyph->left);
    EXPECT_EQ(f->getDimension(L""), core::dimension2d<int>(0, 20));
    EXPECT_EQ(f->getDimension(L"ab"), core::dimension2d<int>(f->getAdvance(L'a') + f->getAdvance(L'b'), 20));
    EXPECT_EQ(f->getDimension("ab"), f->getDimension(L"ab"));
    EXPECT_EQ(f->getDimension(static_cast<const wchar_t*>(nullptr)), core::dimension2d<int>(0, 20));

    f->setTracking(-3);
    EXPECT_EQ(f->getTracking(), 0);
    f->setTracking(2);
    EXPECT_EQ(f->getAdvance(L'a'), glyph->width + glyph->left + 2);
    EXPECT_EQ(f->getAdvance(L' '), 12);
    f->setSpaceWidth(4);
    EXPECT_EQ(f->getAdvance(L' '), 4);
    f->setTracking(0);
    f->setSpaceWidth(0);

    const int aw = f->getAdvance(L'a');
    EXPECT_EQ(f->getCharacterFromPos(L"ab", 0), 0);
    EXPECT_EQ(f->getCharacterFromPos(L"ab", aw + 1), 1);
    EXPECT_EQ(f->getCharacterFromPos(L"ab", 1000), -1);
    EXPECT_EQ(f->getHeight(L"a"), glyph->height);
    EXPECT_EQ(f->getHeight(L"\t"), 0);
    EXPECT_EQ(f->getHeight(L""), 0);
}

TEST_F(TrueTypeTest, GlyphTexturesAreSquarePowersOfTwoStrictlyAboveTheBitmap)
{
    CGUITTFont* f = font(20);
    for (wchar_t c : std::wstring(L"aWg|.")) {
        SCOPED_TRACE(int(c));
        const CGUITTGlyph* g = f->getGlyph(f->getGlyphByChar(c));
        ASSERT_NE(g, nullptr);
        unsigned side = 1;
        while (int(side) <= std::max(g->width, g->height))
            side <<= 1;
        EXPECT_EQ(g->textureWidth, side);
        EXPECT_EQ(g->textureHeight, side);
        ASSERT_TRUE(g->texture);
        EXPECT_EQ(unsigned(g->texture->getWidth()), side);
        EXPECT_EQ(g->texture->getPixelFormat(), video::EPF_A8R8G8B8);
    }
}

TEST_F(TrueTypeTest, UTF8Reading)
{
    const struct {
        const char* text;
        std::vector<unsigned> codes;
    } cases[] = {
        {"ab", {'a', 'b'}},
        {"\xC3\xA9", {0xE9}},
        {"\xE4\xB8\x80", {0x4E00}},
        {"\xF0\x9F\x98\x80", {0x1F600}},
        {"\x80x", {0, 'x'}},       // a stray continuation byte
        {"a\xE4\xB8", {'a'}},      // cut short: the text ends
        {"\xF8z", {0, 'z'}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(decodeUTF8(c.text), c.codes);
    }
}

TEST_F(TrueTypeTest, BorderPassDrawsUnderTheGlyphs)
{
    CGUITTFont* f = font(20);
    driver->draws.clear();
    f->draw("ab", {10, 10, 200, 50}, video::SColor(0, 0, 255, 128));
    ASSERT_EQ(driver->draws.size(), 2u);  // no border: the glyph pass alone
    EXPECT_EQ(driver->draws[0].colors[0], video::SColor(0, 0, 255, 255));  // alpha forced opaque

    f->setBorder(4, video::SColor(255, 255, 0, 255));  // 4 x 20 in 26.6 units: one pixel
    EXPECT_EQ(f->getGlyph(1, true)->borderStrength, 80u);
    driver->draws.clear();
    f->draw("ab", {10, 10, 200, 50}, video::SColor(0, 0, 255, 255));
    ASSERT_EQ(driver->draws.size(), 4u);
    EXPECT_EQ(driver->draws[0].colors[0], video::SColor(255, 255, 0, 255));
    EXPECT_EQ(driver->draws[1].colors[0], video::SColor(255, 255, 0, 255));
    EXPECT_EQ(driver->draws[2].colors[0], video::SColor(0, 0, 255, 255));
    const CGUITTGlyph* plain = f->getGlyph(f->getGlyphByChar(L'a'));
    const CGUITTGlyph* border = f->getGlyph(f->getGlyphByChar(L'a'), true);
    EXPECT_GT(border->width, plain->width);  // emboldened
    EXPECT_NE(border->texture, plain->texture);
    EXPECT_EQ(driver->draws[2].dest.UpperLeftCorner, core::position2d<int>(10 + plain->left, 10 + 20 - plain->top));
}

TEST_F(TrueTypeTest, FacesAreSharedBetweenSizesAndRemovedWithTheirLastFont)
{
    IGUITTFont* small = env->getTTFont(memoryFile("a.ttf"), 12);
    IGUITTFont* big = env->getTTFont(memoryFile("A.TTF"), 16);
    ASSERT_NE(small, nullptr);
    ASSERT_NE(big, nullptr);
    EXPECT_NE(small, big);
    EXPECT_EQ(env->getTTFont(memoryFile("a.ttf"), 12), small);
    // Different sizes never share glyph textures.
    const unsigned index = static_cast<CGUITTFont*>(small)->getGlyphByChar(L'x');
    static_cast<CGUITTFont*>(big)->getGlyphByChar(L'x');
    EXPECT_NE(static_cast<CGUITTFont*>(small)->getGlyph(index)->texture,
              static_cast<CGUITTFont*>(big)->getGlyph(index)->texture);

    boost::intrusive_ptr<video::ITexture> kept = static_cast<CGUITTFont*>(big)->getGlyph(index)->texture;
    EXPECT_TRUE(env->removeTTFont("a.ttf", 12));
    EXPECT_FALSE(env->removeTTFontFace("a.ttf"));  // a font of that face remains
    EXPECT_NE(driver->getTextureManager()->getTexture(kept->getName().c_str()), nullptr);  // still registered
    kept.reset();
    EXPECT_FALSE(env->removeTTFont("a.ttf", 12));
    EXPECT_TRUE(env->removeTTFont("A.ttf", 16));  // releases the face as well
    EXPECT_FALSE(env->removeTTFontFace("a.ttf"));
}

TEST_F(TrueTypeTest, FacesLoadFromPathsAndFromMemoryOnly)
{
    // The cache key is lowered, the file itself is opened under its own name.
    EXPECT_NE(env->getTTFont(DejaVu, 20), nullptr);
    EXPECT_EQ(env->getTTFont("/no/such/font.ttf", 20), nullptr);

    CGUITTFace face;
    io::IReadFile* disk = io::createReadFile(DejaVu);
    ASSERT_NE(disk, nullptr);
    EXPECT_EQ(disk->getBuffer(nullptr), nullptr);
    EXPECT_FALSE(face.load(disk));
    disk->drop();
    EXPECT_TRUE(face.load(memoryFile("memory.ttf")));

    CGUITTFont unattached(driver);
    EXPECT_FALSE(unattached.attach(nullptr, 20, 0, video::SColor()));
    CGUITTFont noDriver(nullptr);
    EXPECT_FALSE(noDriver.attach(&face, 20, 0, video::SColor()));
}

}  // namespace
}  // namespace test::gui
