#include "framework/CAISprite.h"
#include "framework/CStringManager.h"
#include "tests/framework/GameStub.h"
#include "tests/framework/RecordingTarget.h"
#include "tests/framework/RuleFont.h"
#include "tests/framework/SizedTexture.h"
#include "tools/formats/SpriteWriter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace fs = formats::sprites;

namespace {

// The font of the text rules (line gap 2).
struct Font : ::testing::Test {
    Font()
    {
        test::LoadRuleFont(font);
        CAISprite::m_pCurrentTexture = nullptr;
        game.sprites[3] = &font;
    }
    std::vector<std::pair<int, int>> draw(const wchar_t* text, int anchor, bool shrink = false, bool tight = false,
                                          bool forward = true, int angle = 0)
    {
        rec.quads.clear();
        font.DrawStringInternal(text, 100, 200, anchor, -1, 255, 0, 100, 100, false, false, angle, shrink, forward,
                                tight);
        std::vector<std::pair<int, int>> at;
        for (const auto& q : rec.quads)
            at.push_back({int(q.left()), int(q.top())});
        return at;
    }
    using P = std::vector<std::pair<int, int>>;
    test::GameStub game;
    test::RecordingTarget rec;
    CAISprite font;
};

}  // namespace

TEST_F(Font, MeasureAndAnchors)
{
    EXPECT_EQ(font.GetStringSize(L"AB", 0, -1, false, false), 22);
    EXPECT_EQ(font.GetStringSize(L"A B", 0, -1, false, false), 29);
    CStringManager m;
    wchar_t ab[] = L"AB";
    EXPECT_EQ(m.GetStringWidth(3, ab), 22);
    const struct { int anchor; P at; } kCases[] = {
        {0, {{100, 200}, {111, 200}}},
        {1, {{90, 200}, {101, 200}}},
        {8, {{79, 200}, {90, 200}}},
        {2, {{100, 190}, {111, 190}}},
        {0x20, {{100, 180}, {111, 180}}},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.anchor);
        EXPECT_EQ(draw(L"AB", c.anchor), c.at);
    }
    // A line break: D under A; with anchor 1 the second line centres on D alone.
    EXPECT_EQ(draw(L"AB\nD", 0), (P{{100, 200}, {111, 200}, {100, 222}}));
    EXPECT_EQ(draw(L"AB\nD", 1), (P{{90, 200}, {101, 200}, {95, 222}}));
    // An escape draws nothing and leaves the palette as it was.
    font.m_palette = 0;
    EXPECT_EQ(draw(L"A^3B", 0), (P{{100, 200}, {111, 200}}));
    EXPECT_EQ(font.m_palette, 0);
}

TEST_F(Font, ShrinkTightFrenchReverseAndTurned)
{
    // Shrinking: pens at 100, 111, 121, 131 with scales 100, 96, 92, 88; each scaled quad is
    // centred on its unscaled 10 x 20 box.
    EXPECT_EQ(draw(L"ABDE", 0, true), (P{{100, 200}, {112, 201}, {122, 201}, {132, 202}}));
    EXPECT_EQ(draw(L"ABDE", 0, false, true), (P{{100, 200}, {108, 200}, {116, 200}, {124, 200}}));
    game.language = 1;
    EXPECT_EQ(draw(L"A\"B\"", 0), (P{{100, 200}, {118, 200}, {129, 200}}));
    game.language = 0;
    EXPECT_EQ(draw(L"ABD", 0, false, false, false), (P{{132, 200}, {121, 200}, {110, 200}}));
    EXPECT_EQ(draw(L"ABD", 0, false, false, true, 90), (P{{100, 200}, {100, 211}, {100, 222}}));
}

TEST_F(Font, WrapsGreedily)
{
    const struct { int width; int lines; const wchar_t* text; } kCases[] = {
        {50, 2, L"AB\nDE FG"}, {53, 2, L"AB DE\nFG"}, {40, 3, L"AB\nDE\nFG"}, {100, 1, L"AB DE FG"}};
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.width);
        wchar_t text[] = L"AB DE FG";
        EXPECT_EQ(font.WrapTextInternal(text, c.width), c.lines);
        EXPECT_EQ(std::wstring(text), std::wstring(c.text));
    }
    wchar_t text[] = L"AB DE FG";
    CStringManager m;
    const CStringManager::SWrap w = m.WrapText(3, text, 50);
    EXPECT_EQ(w.lines, 2);
    // A page of the wrapped text: two lines 22 pixels apart.
    wchar_t page[] = L"AB DE FG";
    rec.quads.clear();
    EXPECT_EQ(font.DrawPageInternal(page, 100, 200, 50, 0, COLOR_WHITE, false, false), 2);
    ASSERT_EQ(rec.quads.size(), 6u);
    EXPECT_EQ(rec.quads[2].top(), 222);
}

// Lines firstLine .. firstLine + count - 1 of a three-line page; lines before the first hold no
// text but keep their rows.
TEST_F(Font, PageLineRanges)
{
    const struct { int first, count, returned; std::vector<int> tops; } kCases[] = {
        {0, 500, 3, {200, 200, 222, 222, 244, 244}},
        {1, 1, 2, {200, 200}},
        {2, 5, 3, {200, 200}},
        {5, 1, 3, {}},
        {-2, 3, 1, {244, 244}},
        {-1, 1, 0, {}},
        {-400, 2, -398, {}},
        {1, 0x7FFFFFFF, 3, {200, 200, 222, 222}},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.first);
        wchar_t page[] = L"AB DE FG";
        rec.quads.clear();
        EXPECT_EQ(font.DrawPageInternal(page, 100, 200, 40, c.first, c.count, 0, 0, 0, false, COLOR_WHITE, false,
                                        true, false),
                  c.returned);
        std::vector<int> tops;
        for (const auto& q : rec.quads)
            tops.push_back(int(q.top()));
        EXPECT_EQ(tops, c.tops);
        EXPECT_EQ(CAISprite::_index1, -1);
    }
}

TEST_F(Font, SpriteCallsGoThroughTheStringManager)
{
    font.SetFontSpriteID(3);
    wchar_t ab[] = L"AB";
    font.DrawString(ab, 100, 200, 0, COLOR_WHITE);
    EXPECT_TRUE(rec.quads.empty());   // no string manager yet
    EXPECT_EQ(font.GetStringWidth(ab), 0);

    CStringManager m;
    EXPECT_EQ(draw(L"", 0), P{});
    font.DrawString(ab, 100, 200, 0, COLOR_RED);
    ASSERT_EQ(rec.quads.size(), 2u);
    EXPECT_EQ(rec.quads[1].left(), 111);
    EXPECT_EQ(rec.quads[0].v[0].r, 255);
    EXPECT_EQ(rec.quads[0].v[0].g, 0);
    EXPECT_EQ(font.GetStringWidth(ab), 22);
    rec.quads.clear();
    font.DrawString(ab, 100, 200, 0, 0, 128, 0, 50, 50, false, false, 0, false, true, false, COLOR_NAME(-1));
    ASSERT_EQ(rec.quads.size(), 2u);
    EXPECT_EQ(rec.quads[0].v[0].a, 128);
    EXPECT_EQ(rec.quads[1].left(), 106 + 3);   // pen 1 + 5 on; the half-width quad centred on its box

    wchar_t text[] = L"AB DE FG";
    const SWrapResult w = font.WraptextB(text, 50, 0, false);
    EXPECT_EQ(w.lines, 2);
    EXPECT_EQ(w.width, 50);
    rec.quads.clear();
    font.DrawPageB(text, w, 100, 200, 0, -1, 0, COLOR_NAME(-1));
    ASSERT_EQ(rec.quads.size(), 6u);
    EXPECT_EQ(rec.quads[2].top(), 222);
    wchar_t again[] = L"AB DE FG";
    EXPECT_EQ(font.GetPageHeight(3, again, 50), 2 * (20 + 2));

    rec.quads.clear();
    font.DrawStringOrChars(nullptr, "12:34567890", 0, 0, 0);
    EXPECT_EQ(rec.quads.size(), 9u);   // the first nine characters
    font.DrawStringOrChars(nullptr, nullptr, 0, 0, 0);
    EXPECT_EQ(rec.quads.size(), 9u);
}

TEST_F(Font, FontFrameHelpers)
{
    int c = 'q';
    CAISprite::MapLowercaseToUpper(c);
    EXPECT_EQ(c, 'Q');
    const struct { int in, out; } kAccents[] = {{0xE0, 0xC0}, {0xE9, 0xC9}, {0xF1, 0xD1}, {0xFC, 0xDC}, {0xF7, 0xF7},
                                                {'a', 'a'}};
    for (const auto& a : kAccents) {
        int v = a.in;
        CAISprite::ChangeLowercaseAccentCharToUpper(v);
        EXPECT_EQ(v, a.out) << a.in;
    }
    EXPECT_EQ(font.GetCharFrame(L'A'), 'A');
    EXPECT_EQ(font.GetCharFrame(wchar_t(0x4E00)), ' ');
    EXPECT_EQ(font.GetCharacterWidth(L'\n', 0), 0);
    EXPECT_EQ(font.GetCharacterWidth(L'\\', L'n'), 0);
    EXPECT_EQ(font.GetFontFrameWidth(99), 0);   // no such frame
    int x = 10;
    font.FontAddSpace(x, 3);
    EXPECT_EQ(x, 19);
}

// A glyph record naming a frame: its index is checked against the frames at load, so the pen
// moves by its x offset alone, as measuring has it, and reads no module past the last.
TEST(FontNestedGlyph, DrawingAdvancesAsMeasuring)
{
    test::GameStub game;
    test::RecordingTarget rec;
    std::vector<fs::FModule> records = test::RuleFontRecords();
    records['N'] = {3, 7, 0, 0x10};
    fs::Sprite f = test::RuleFontSprite(records);
    f.addFrame({{1, 0, 0, 0}});
    f.addFrame({{1, 0, 0, 0}});
    f.addFrame({{1, 0, 0, 0}});
    CAISprite font;
    ASSERT_TRUE(test::LoadFont(font, f));
    CAISprite::m_pCurrentTexture = nullptr;
    const int advance = font.GetStringSize(L"N", 0, -1, false, false);
    EXPECT_EQ(advance, 1 + 7);
    font.DrawStringInternal(L"NA", 100, 200, 0, -1, 255, 0, 100, 100, false, false, 0, false, true, false);
    ASSERT_FALSE(rec.quads.empty());
    EXPECT_EQ(int(rec.quads.back().left()), 100 + advance);
}

// Measuring and wrapping take plain characters straight from tables; on seeded random texts
// full of escapes, quotes, breaks and wide codes they must agree with measuring a character at
// a time and with the wrapping rule written plainly through FindWordEnd and GetSubStringWidth,
// in French and in English.
TEST(FontMeasure, FastPathsAgreeWithThePlainRules)
{
    test::GameStub game;
    fs::Sprite f;
    f.addImageModule(0, 0, 0, 5, 20);
    for (int m = 0; m < 6; ++m)
        f.addImageModule(0, 8 * m, 0, 5 + m, 20);
    std::vector<fs::FModule> fms = {{0, 1, 0, 0}};
    for (int c = 1; c < 256; ++c)
        fms.push_back({1 + (c * 7) % 6, c % 3, 0, 0});
    f.addFrame(fms);
    CAISprite font;
    ASSERT_TRUE(test::LoadFont(font, f));

    auto plainWrap = [&font](wchar_t* t, int maxWidth) {
        const int len = CAISprite::StrLength(t);
        int lines = 1, w = 0;
        for (int i = 0; i < len;) {
            if (t[i] == L'\n' || (t[i] == L'\\' && i + 1 < len && t[i + 1] == L'n')) {
                w = 0;
                lines += i > 0;
                i += t[i] == L'\n' ? 1 : 2;
            } else if (t[i] == L' ') {
                w += font.SpaceAdvance();
                ++i;
            } else if (t[i] == L'|') {
                ++i;
            } else {
                const int e = CAISprite::FindWordEnd(t, i);
                const int ww = font.GetSubStringWidth(t, i, e) - (e == len - 1 ? font.FontSpacing() : 0);
                if (w + ww > maxWidth && i > 0) {
                    t[i - 1] = L'\n';
                    ++lines;
                    w = ww;
                } else {
                    w += ww;
                }
                i = e + 1;
            }
        }
        return lines;
    };
    // Measuring one character at a time, as the escapes and breaks read them.
    auto plainSize = [&font](const std::wstring& t) {
        const int end = int(t.size());
        int w = 0;
        for (int i = 0; i < end;) {
            const CAISprite::SChar ch = font.ReadChar(t.c_str(), i, end, 0, false);
            i += ch.units;
            if (ch.code == -3 && end == 1)
                w += font.GlyphAdvance('|', 100);
            else if (ch.code == ' ')
                w += font.SpaceAdvance();
            else if (ch.code >= 0)
                w += font.GlyphAdvance(ch.code, 100);
            if (ch.last)
                break;
        }
        return w;
    };
    const wchar_t kAlphabet[] = {L'a', L'W', L'7', L' ', L' ', L' ', L'|', L'\n', L'\\', L'n', L'^', L'3', L'"',
                                 wchar_t(0xC9), wchar_t(0x2122), wchar_t(0x4E00), wchar_t(-61), wchar_t(-89),
                                 wchar_t(0x10041), wchar_t(0x10020)};
    uint32_t seed = 99;
    auto next = [&seed] { return seed = seed * 1103515245u + 12345u, (seed >> 16) & 0x7FFF; };
    for (int round = 0; round < 400; ++round) {
        game.language = round % 2;
        std::wstring text;
        for (unsigned k = 0, n = next() % 40; k < n; ++k)
            text += kAlphabet[next() % (sizeof kAlphabet / sizeof kAlphabet[0])];
        const int width = 10 + int(next() % 80);
        SCOPED_TRACE(std::to_string(round) + ": width " + std::to_string(width));
        EXPECT_EQ(font.GetStringSize(text.c_str(), 0, -1, false, false), plainSize(text));
        std::wstring fast = text, plain = text;
        EXPECT_EQ(font.WrapTextInternal(fast.data(), width), plainWrap(plain.data(), width));
        EXPECT_EQ(fast, plain);
    }

    // A new character map is measured through at once.
    uint16_t map[256];
    for (int c = 0; c < 256; ++c)
        map[c] = uint16_t(c);
    map['a'] = 'W';
    font.SetCharacterMap(map);
    EXPECT_EQ(font.GetStringSize(L"a", 0, -1, false, false), 9);
    font.LoadCharacterMap();
    EXPECT_EQ(font.GetStringSize(L"a", 0, -1, false, false), 8);
}
