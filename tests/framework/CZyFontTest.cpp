#include "framework/CAISprite.h"
#include "framework/CStringManager.h"
#include "framework/CZyFont.h"
#include "framework/GlyphTables.h"
#include "tests/framework/GameStub.h"
#include "tests/framework/RecordingTarget.h"
#include "tests/framework/SizedTexture.h"
#include "tools/formats/GlyphSheet.h"
#include "tools/formats/SpriteWriter.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace glyphs = formats::glyphs;

namespace {

// The sheet of the glyph rules: 20 glyphs 10 wide in cells of 20 x 24 on a 256 x 256 texture,
// spacing 1. '|', '\' and 'n' are glyphs 15, 16 and 17; '0' and 'z' map nowhere, so no glyph
// takes the digit adjustment.
constexpr int kPipe = 15, kBackslash = 16, kLetterN = 17;

glyphs::Metrics sheetMetrics(int count = 20)
{
    glyphs::Metrics m;
    m.cellW = 20;
    m.cellH = 24;
    for (int g = 0; g < count; ++g)
        m.glyphs.push_back({0, 10});
    m.chars[uint8_t('|')] = kPipe - 1;
    m.chars[uint8_t('\\')] = kBackslash - 1;
    m.chars[uint8_t('n')] = kLetterN - 1;
    m.chars[uint8_t('A')] = 1;   // glyph 2
    m.chars[uint8_t('B')] = 2;
    return m;
}

template <class Font>
void setUp(Font& f, const glyphs::Metrics& m = sheetMetrics())
{
    const auto bin = glyphs::WriteBin(m);
    for (int s = 0; s < 2; ++s) {
        ASSERT_TRUE(f.LoadMetrics(bin.data(), bin.size(), CZyFont::FontStyle(s)));
        f.m_styles[s].texture = test::SizedTexture::make(256, 256);
    }
    f.m_pipe[0] = f.m_pipe[1] = kPipe;
    f.m_backslash[0] = kBackslash;
    f.m_letterN[0] = kLetterN;
    f.m_spacing = 1;
}

std::vector<wchar_t> units(std::initializer_list<int> u)
{
    std::vector<wchar_t> v(u.begin(), u.end());
    v.push_back(0);
    return v;
}

std::vector<int> lineEnds(const CZyFont& f)
{
    std::vector<int> ends;
    for (int k = 0; k < f.Lines(); ++k)
        ends.push_back(f.LineEnd(k));
    return ends;
}

struct Sheet : ::testing::Test {
    Sheet() { setUp(font); }
    test::RecordingTarget rec;
    CZyFontJP font;   // heights not lowered: cells cut 24 high
};

}  // namespace

TEST_F(Sheet, GlyphQuadsMeasuresAndClips)
{
    font.SetFontColor(10, 20, 30);
    const auto two = units({2, 2, 2});
    EXPECT_EQ(font.GetStringWidth(two.data()), 33);
    EXPECT_EQ(font.DrawString(two.data(), 100, 200, 0, 128), 3);
    ASSERT_EQ(rec.quads.size(), 3u);
    const auto& q = rec.quads[0];
    EXPECT_EQ(q.kind, EQK_COLOURED_TEXTURED);
    EXPECT_EQ(q.texture, font.m_styles[0].texture.get());
    EXPECT_TRUE(q.blend);
    EXPECT_EQ(q.left(), 100);
    EXPECT_EQ(q.right(), 110);
    EXPECT_EQ(q.top(), 200);
    EXPECT_EQ(q.bottom(), 224);
    EXPECT_FLOAT_EQ(q.v[3].u, 20.f / 256);
    EXPECT_FLOAT_EQ(q.v[0].u, 30.f / 256);
    EXPECT_FLOAT_EQ(q.v[3].v, 3.f / 256);
    EXPECT_FLOAT_EQ(q.v[0].v, 27.f / 256);
    for (const auto& v : q.v)
        EXPECT_EQ((std::array<int, 4>{v.r, v.g, v.b, v.a}), (std::array<int, 4>{10, 20, 30, 128}));
    EXPECT_EQ(rec.quads[1].left(), 111);
    EXPECT_EQ(rec.quads[2].left(), 122);

    // Anchors move the pen by the measured width and the cell height.
    const struct { int anchor, x, y; } kAnchors[] = {{1, 84, 200}, {8, 67, 200}, {2, 100, 188}, {0x20, 100, 176}};
    for (const auto& c : kAnchors) {
        SCOPED_TRACE(c.anchor);
        rec.quads.clear();
        font.DrawString(two.data(), 100, 200, c.anchor, 255);
        ASSERT_EQ(rec.quads.size(), 3u);
        EXPECT_EQ(rec.quads[0].left(), c.x);
        EXPECT_EQ(rec.quads[0].top(), c.y);
    }

    // Clipping moves the texture edge one texel a pixel; a box wholly outside is dropped.
    const auto one = units({2});
    const struct { int clip[4]; float left, top, u0, v0; size_t quads; } kClips[] = {
        {{105, 0, 600, 1024}, 105, 200, 25.f / 256, 3.f / 256, 1},
        {{0, 210, 600, 1024}, 100, 210, 20.f / 256, 13.f / 256, 1},
        {{111, 0, 600, 1024}, 0, 0, 0, 0, 0},
    };
    for (const auto& c : kClips) {
        std::copy(c.clip, c.clip + 4, rec.clip);
        rec.quads.clear();
        font.DrawString(one.data(), 100, 200, 0, 255);
        ASSERT_EQ(rec.quads.size(), c.quads);
        if (!c.quads)
            continue;
        EXPECT_EQ(rec.quads[0].left(), c.left);
        EXPECT_EQ(rec.quads[0].top(), c.top);
        EXPECT_FLOAT_EQ(rec.quads[0].v[3].u, c.u0);
        EXPECT_FLOAT_EQ(rec.quads[0].v[3].v, c.v0);
    }
}

TEST_F(Sheet, BlanksBreaksAndUnknownUnits)
{
    // Blank: 5 wide in the small style, no spacing when drawn, spacing when measured; '|' and
    // the '\' 'n' pair draw nothing; units past the count and negative ones are nothing.
    const auto text = units({2, 1, 2, kPipe, kBackslash, kLetterN, 2, 99, -3, 2});
    EXPECT_EQ(font.GetStringWidth(text.data()), 11 + 6 + 11 + 1 + 11 + 1 + 11);
    font.DrawString(text.data(), 0, 0, 0, 255);
    std::vector<int> at;
    for (const auto& q : rec.quads)
        at.push_back(int(q.left()));
    EXPECT_EQ(at, (std::vector<int>{0, 16, 27, 38}));
    font.SetStyle(1);
    EXPECT_EQ(font.GetBlankWidth(), 10);
    font.SetStyle(2);
    EXPECT_EQ(font.GetBlankWidth(), 7);
    font.DrawString(text.data(), 0, 0, 0, 255);   // no such style: nothing draws
    EXPECT_EQ(rec.quads.size(), 4u);

    // Narrow text through the character table: ' ' is a blank, unmapped characters are skipped.
    font.SetStyle(0);
    rec.quads.clear();
    EXPECT_EQ(font.GetStringWidth("A B?|"), 11 + 6 + 11);
    font.DrawString("A B?", 0, 0, 0);
    ASSERT_EQ(rec.quads.size(), 2u);
    EXPECT_EQ(rec.quads[1].left(), 16);
}

TEST(CZyFont, LineBreakingByLanguage)
{
    const int P = kPipe;
    const struct { char lang; std::vector<wchar_t> text; int width; std::vector<int> ends; } kCases[] = {
        {'c', units({2, 3, 4, 5, 6, 7, 8}), 30, {2, 5, 7}},
        {'c', units({2, 3, 4, 5, 6, 7, 8}), 45, {4, 7}},
        {'k', units({2, 3, 4, 5, 6, 7, 8}), 30, {2, 5, 7}},
        {'c', units({2, 3, P, 4, 5, P, 6, 7, 8}), 45, {2, 5, 9}},
        {'c', units({2, 3, kBackslash, kLetterN, 4}), 100, {2, 5}},
        {'j', units({2, 3, 4, 5, 6, 7, 8}), 30, {7}},
        {'j', units({2, 3, 1, 4, 5, 1, 6, 7, 8}), 30, {2, 5, 9}},
        {'j', units({2, P, 1, 3}), 1000, {1, 4}},   // '|' then a blank always breaks
        {'k', units({2, 3, P, 4, 5, P, 6, 7, 8}), 45, {2, 5, 9}},
        {'c', units({P, 2, 3, 4}), 25, {2, 4}},     // a '|' at the line's start is no candidate
        {'j', units({1, 2, 3, 4}), 25, {0, 4}},     // a blank there is one
        {'j', units({2, kBackslash, kLetterN, 3}), 100, {1, 4}},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(std::string(1, c.lang) + " width " + std::to_string(c.width));
        CZyFontCS cs;
        CZyFontKO ko;
        CZyFontJP jp;
        CZyFont& f = c.lang == 'c' ? static_cast<CZyFont&>(cs) : c.lang == 'k' ? static_cast<CZyFont&>(ko) : jp;
        setUp(f);
        EXPECT_EQ(f.InitPage(c.text.data(), c.width), int(c.ends.size()));
        EXPECT_EQ(lineEnds(f), c.ends);
        EXPECT_EQ(f.m_wrapLines, int(c.ends.size()));
        EXPECT_EQ(f.m_wrapWidth, c.width);
    }
}

// Widths are kept per style once asked: switching the style, loading new metrics, changing the
// factor or the '|' glyph must be measured and broken through at once.
TEST(CZyFont, WidthsFollowStyleMetricsFactorAndPipe)
{
    glyphs::Metrics narrow = sheetMetrics(), wide = sheetMetrics();
    for (auto& g : narrow.glyphs)
        g.width = 7;
    for (auto& g : wide.glyphs)
        g.width = 14;
    const auto narrowBin = glyphs::WriteBin(narrow), wideBin = glyphs::WriteBin(wide);
    CZyFontJP jp;
    setUp(jp);
    ASSERT_TRUE(jp.LoadMetrics(wideBin.data(), wideBin.size(), CZyFont::FONT_LARGE));
    const auto text = units({2, 2, kPipe});   // '|' measures nothing in Japanese, spacing 1
    const struct { const char* step; std::function<void()> change; int width; } kSteps[] = {
        {"small", [] {}, 11 + 11 + 1},
        {"large", [&] { jp.SetStyle(1); }, 15 + 15 + 1},
        {"small again", [&] { jp.SetStyle(0); }, 11 + 11 + 1},
        {"'|' is glyph 2", [&] { jp.m_pipe[0] = 2; }, 1 + 1 + 11},
        {"'|' back", [&] { jp.m_pipe[0] = kPipe; }, 11 + 11 + 1},
        {"new metrics", [&] { jp.LoadMetrics(narrowBin.data(), narrowBin.size(), CZyFont::FONT_SMALL); }, 8 + 8 + 1},
        {"factor 2", [&] { jp.m_factor = 2; }, 15 + 15 + 1},
        {"no style", [&] { jp.SetStyle(2); }, 1 + 1 + 1},
    };
    for (const auto& c : kSteps) {
        SCOPED_TRACE(c.step);
        c.change();
        EXPECT_EQ(jp.GetStringWidth(text.data()), c.width);
    }

    // Texts switch styles call by call: each style's widths are asked once, not at every switch.
    struct Counting : CZyFontCS {
        int asked = 0;
        int GetCharWidth(wchar_t glyph) override { return ++asked, CZyFontCS::GetCharWidth(glyph); }
    } counting;
    setUp(counting);
    for (int k = 0; k < 6; ++k) {
        counting.SetStyle(k % 2);
        EXPECT_EQ(counting.GetStringWidth(text.data()), 11 + 11 + 11);
    }
    EXPECT_EQ(counting.asked, 2 * 21);   // glyphs 0..20 of each style

    // Breaking reads the same widths: a font whose metrics were replaced breaks as a fresh one.
    CZyFontCS reloaded, fresh;
    setUp(reloaded);
    const auto seven = units({2, 3, 4, 5, 6, 7, 8});
    EXPECT_EQ(lineEnds((reloaded.InitPage(seven.data(), 30), reloaded)), (std::vector<int>{2, 5, 7}));
    ASSERT_TRUE(reloaded.LoadMetrics(narrowBin.data(), narrowBin.size(), CZyFont::FONT_SMALL));
    setUp(fresh, narrow);
    reloaded.InitPage(seven.data(), 30);
    fresh.InitPage(seven.data(), 30);
    EXPECT_EQ(lineEnds(reloaded), lineEnds(fresh));
    EXPECT_EQ(lineEnds(fresh), (std::vector<int>{3, 7}));
}

// Measuring reads widths from a table and stops at the terminator; on seeded random texts of
// blanks, '|', "\\n" pairs, units past the count and negative ones it must agree with asking
// each glyph's width, for the whole text and for the text cut short, in both styles.
TEST(CZyFont, MeasuringAgreesWithAskingEachGlyph)
{
    glyphs::Metrics m = sheetMetrics();
    for (size_t g = 0; g < m.glyphs.size(); ++g)
        m.glyphs[g].width = int(3 + g % 9);
    CZyFontJP jp;
    CZyFontCS cs;
    setUp(jp, m);
    setUp(cs, m);
    const int kUnits[] = {1, 2, 7, 20, kPipe, kBackslash, kLetterN, 21, 99, -3, 0x10002};
    uint32_t seed = 4242;
    auto next = [&seed] { return seed = seed * 1103515245u + 12345u, (seed >> 16) & 0x7FFF; };
    for (int round = 0; round < 300; ++round) {
        CZyFont& f = round % 2 ? static_cast<CZyFont&>(jp) : cs;
        f.SetStyle(round / 2 % 2);
        std::vector<wchar_t> text;
        for (unsigned k = 0, n = next() % 30; k < n; ++k)
            text.push_back(wchar_t(kUnits[next() % (sizeof kUnits / sizeof kUnits[0])]));
        const int cut = text.empty() ? 0 : int(next() % text.size());
        text.push_back(0);
        // The width of the first `end` units, a glyph at a time.
        auto plain = [&](int end) {
            int w = 0;
            for (int i = 0; i < end; ++i) {
                const int u = int16_t(uint16_t(uint32_t(text[size_t(i)])));
                if (u <= 0)
                    continue;
                if (u == kBackslash && f.Glyph(1) == kBackslash && i + 1 < end && text[size_t(i) + 1] == kLetterN)
                    ++i;
                else
                    w += f.m_spacing + (u == 1 ? f.GetBlankWidth() : f.GetCharWidth(wchar_t(u)));
            }
            return w;
        };
        SCOPED_TRACE(round);
        EXPECT_EQ(f.GetStringWidth(text.data()), plain(int(text.size()) - 1));
        text[size_t(cut)] = 0;
        EXPECT_EQ(f.GetStringWidth(text.data()), plain(cut));
    }
}

TEST_F(Sheet, PagesDrawTheirLinesAndStopAt500)
{
    const auto text = units({2, 3, 1, 4, 5, 1, 6, 7, 8});
    font.InitPage(text.data(), 30);
    font.DrawPage(text.data(), 100, 200, 0, 255);
    std::vector<std::pair<int, int>> at;
    for (const auto& q : rec.quads)
        at.push_back({int(q.left()), int(q.top())});
    // Lines 2, 3 + blank, 3: 25 apart (cell 24 + gap 1); a line starting with a blank steps it.
    EXPECT_EQ(at, (std::vector<std::pair<int, int>>{
                      {100, 200}, {111, 200}, {105, 225}, {116, 225}, {105, 250}, {116, 250}, {127, 250}}));
    rec.quads.clear();
    font.DrawPage(text.data(), 100, 200, 0x20, 255);
    EXPECT_EQ(rec.quads[0].top(), 200 - 2 * 25 - 24);

    // Every glyph its own line: 1,200 lines keep the first 500.
    CZyFontCS cs;
    setUp(cs);
    std::vector<wchar_t> many(1200, 2);
    many.push_back(0);
    EXPECT_EQ(cs.InitPage(many.data(), 5), 500);
    EXPECT_EQ(cs.LineEnd(0), 0);
    EXPECT_EQ(cs.LineEnd(499), 499);
    rec.quads.clear();
    cs.m_styles[0].cellH = 0;   // every line on one row, all on screen
    cs.m_lineGap = 0;
    cs.DrawPage(many.data(), 0, 0, 0, 255);
    EXPECT_EQ(rec.quads.size(), 499u);   // the first line ends before its only glyph
}

TEST(CZyFont, BrokenMetricsDrawNothing)
{
    test::RecordingTarget rec;
    const auto good = glyphs::WriteBin(sheetMetrics());
    CZyFontCS f;
    // Every cut of the file is refused whole.
    for (size_t n = 0; n < good.size(); ++n) {
        EXPECT_FALSE(f.LoadMetrics(good.data(), n, CZyFont::FONT_SMALL)) << n;
        EXPECT_EQ(f.m_styles[0].count, 0);
    }
    EXPECT_TRUE(f.LoadMetrics(good.data(), good.size(), CZyFont::FONT_SMALL));
    // A count past the file's glyphs is a cut file too.
    glyphs::Metrics more = sheetMetrics();
    more.count = 400;
    const auto lying = glyphs::WriteBin(more);
    EXPECT_FALSE(f.LoadMetrics(lying.data(), lying.size(), CZyFont::FONT_SMALL));

    // Zero-wide cells and a texture narrower than a cell place no glyph.
    const auto text = units({2, 3});
    for (const auto& [cellW, texW] : {std::pair{0, 256}, std::pair{20, 16}}) {
        glyphs::Metrics m = sheetMetrics();
        m.cellW = cellW;
        CZyFontJP jp;
        setUp(jp, m);
        jp.m_styles[0].texture = test::SizedTexture::make(texW, 256);
        jp.DrawString(text.data(), 0, 0, 0, 255);
        jp.m_styles[0].texture = nullptr;   // no picture: nothing either
        jp.DrawString(text.data(), 0, 0, 0, 255);
    }
    EXPECT_TRUE(rec.quads.empty());
}

TEST(CZyFont, StringManagerRoutesByLanguageAndFontId)
{
    test::GameStub game;
    test::RecordingTarget rec;
    CStringManager m;
    m.SetLanguage(5);
    auto* f = new CZyFontCS;
    setUp(*f);
    f->m_styles[1].cellH = 40;   // tell the styles apart
    m.m_font = f;

    // Font id 5: large style, its own yellow; a palette colour otherwise.
    const int zero = BinarySearch(charMappingCN, 962, '0');
    ASSERT_GT(BinarySearch(charMappingCNBIG, 125, '0'), 0);
    wchar_t small[] = {wchar_t(zero), wchar_t(zero), 0};
    m.DrawString(5, small, 0, 100, 0x20, false, -1, 200, 0, 100, 100, false, false, 0, false, true, false);
    EXPECT_EQ(f->GetStyle(), 1);
    ASSERT_FALSE(rec.quads.empty());
    EXPECT_EQ(rec.quads[0].top(), 60);
    EXPECT_EQ((std::array<int, 4>{rec.quads[0].v[0].r, rec.quads[0].v[0].g, rec.quads[0].v[0].b, rec.quads[0].v[0].a}),
              (std::array<int, 4>{255, 214, 12, 200}));
    rec.quads.clear();
    m.DrawString(3, small, 0, 0, 0, false, COLOR_SEA, 255, 0, 100, 100, false, false, 0, false, true, false);
    EXPECT_EQ(f->GetStyle(), 0);
    ASSERT_EQ(rec.quads.size(), 2u);
    EXPECT_EQ(rec.quads[0].v[0].b, 155);
    // The large id measures the large sheet's glyphs of the same text.
    EXPECT_EQ(m.GetStringWidth(3, small), 22);
    EXPECT_EQ(m.GetStringWidth(4, small), 22);
    const int lacking = BinarySearch(charMappingCN, 962, 0x4E0D);   // not on the large sheet
    wchar_t cut[] = {wchar_t(zero), wchar_t(lacking), wchar_t(zero), 0};
    EXPECT_EQ(m.GetStringWidth(4, cut), 11);

    // Wrapping reports the glyph font's lines; a page draws them.
    std::vector<wchar_t> seven(7, wchar_t(2));
    seven.push_back(0);
    const CStringManager::SWrap w = m.WrapText(3, seven.data(), 30);
    EXPECT_EQ(w.lines, 3);
    EXPECT_EQ(w.width, 30);
    rec.quads.clear();
    m.DrawPage(3, seven.data(), 0, 0, 0, 30, -1, false, false);
    ASSERT_EQ(rec.quads.size(), 7u);
    EXPECT_EQ(rec.quads[2].top(), 25);
    EXPECT_EQ(rec.quads[5].top(), 50);
    // West digits send drawing to the font sprite of the id instead.
    game.westDigits = true;
    rec.quads.clear();
    m.DrawString(3, small, 0, 0, 0, false, -1, 255, 0, 100, 100, false, false, 0, false, true, false);
    EXPECT_TRUE(rec.quads.empty());   // no sprite in slot 3
    game.westDigits = false;

    // Without a glyph font nothing measures, wraps or draws.
    m.FreeAllFontRes();
    EXPECT_EQ(m.GetStringWidth(3, small), 0);
    EXPECT_EQ(m.WrapText(3, seven.data(), 30).lines, 0);
    m.SetLanguage(0);
    m.LoadUnicodeFont();
    EXPECT_EQ(m.m_font, nullptr);
}
