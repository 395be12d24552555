// 1,000 strings measured and wrapped through the string manager (GetStringWidth, then WrapText
// to 200 pixels), with a Latin bitmap-font sprite and with a Chinese glyph-sheet font, beside a
// plain loop over a 256-entry advance table that measures and wraps the same Latin strings
// greedily at spaces. Wrapping writes into the text, so every variant copies the strings back
// first.

#include <benchmark/benchmark.h>

#include "framework/CAISprite.h"
#include "framework/CStringManager.h"
#include "framework/CZyFont.h"
#include "tests/framework/GameStub.h"
#include "tests/framework/SizedTexture.h"
#include "tools/formats/GlyphSheet.h"
#include "tools/formats/SpriteWriter.h"

#include <string>
#include <vector>

namespace {

namespace fs = formats::sprites;

constexpr int kStrings = 1000, kWidth = 200;

// Words of 2 to 9 letters separated by single spaces, 40 to 80 characters a string.
std::vector<std::wstring> latinStrings()
{
    std::vector<std::wstring> out;
    uint32_t seed = 12345;
    auto next = [&seed] { return seed = seed * 1103515245u + 12345u, (seed >> 16) & 0x7FFF; };
    for (int i = 0; i < kStrings; ++i) {
        std::wstring s;
        const size_t length = 40 + next() % 41;
        while (s.size() < length) {
            if (!s.empty())
                s += L' ';
            for (unsigned k = 0, n = 2 + next() % 8; k < n; ++k)
                s += wchar_t('a' + next() % 26);
        }
        out.push_back(s);
    }
    return out;
}

// Glyph indices 2..60 of the sheet, 20 to 40 a string.
std::vector<std::wstring> glyphStrings()
{
    std::vector<std::wstring> out;
    uint32_t seed = 777;
    auto next = [&seed] { return seed = seed * 1103515245u + 12345u, (seed >> 16) & 0x7FFF; };
    for (int i = 0; i < kStrings; ++i) {
        std::wstring s;
        for (unsigned k = 0, n = 20 + next() % 21; k < n; ++k)
            s += wchar_t(2 + next() % 59);
        out.push_back(s);
    }
    return out;
}

int advanceOf(int c) { return c == ' ' ? 6 : 6 + (c * 7) % 6; }   // the font's widths below

struct SLatin {
    test::GameStub game;
    CAISprite font;
    SLatin()
    {
        // Module m + 1 is m pixels wider than 6: code c draws module 1 + (c * 7) % 6.
        fs::Sprite f;
        f.addImageModule(0, 0, 0, 5, 20);   // the space: 5 + spacing 1
        for (int m = 0; m < 6; ++m)
            f.addImageModule(0, 8 * m, 0, 5 + m, 20);
        std::vector<fs::FModule> fms = {{0, 1, 0, 0}};
        for (int c = 1; c < 256; ++c)
            fms.push_back({1 + (c * 7) % 6, 0, 0, 0});
        f.addFrame(fms);
        const auto bytes = fs::Write(f);
        font.Load(bytes.data(), bytes.size());
        font.LoadCharacterMap();
        game.sprites[3] = &font;
    }
};

void BM_TextLatinMeasureAndWrap(benchmark::State& state)
{
    SLatin latin;
    CStringManager m;
    const std::vector<std::wstring> pristine = latinStrings();
    std::vector<std::wstring> texts = pristine;
    long lines = 0;
    for (auto _ : state) {
        lines = 0;
        for (int i = 0; i < kStrings; ++i) {
            texts[size_t(i)] = pristine[size_t(i)];
            benchmark::DoNotOptimize(m.GetStringWidth(3, texts[size_t(i)].data()));
            lines += m.WrapText(3, texts[size_t(i)].data(), kWidth).lines;
        }
    }
    state.counters["lines"] = double(lines);
}
BENCHMARK(BM_TextLatinMeasureAndWrap);

void BM_TextCJKMeasureAndWrap(benchmark::State& state)
{
    test::GameStub game;
    CStringManager m;
    m.SetLanguage(5);
    auto* font = new CZyFontCS;
    formats::glyphs::Metrics metrics;
    metrics.cellW = 20;
    metrics.cellH = 22;
    for (int g = 0; g < 64; ++g)
        metrics.glyphs.push_back({0, 10 + g % 7});
    const auto bin = formats::glyphs::WriteBin(metrics);
    font->LoadMetrics(bin.data(), bin.size(), CZyFont::FONT_SMALL);
    font->m_styles[0].texture = test::SizedTexture::make(1024, 512);
    m.m_font = font;
    const std::vector<std::wstring> pristine = glyphStrings();
    std::vector<std::wstring> texts = pristine;
    long lines = 0;
    for (auto _ : state) {
        lines = 0;
        for (int i = 0; i < kStrings; ++i) {
            texts[size_t(i)] = pristine[size_t(i)];
            benchmark::DoNotOptimize(m.GetStringWidth(3, texts[size_t(i)].data()));
            lines += m.WrapText(3, texts[size_t(i)].data(), kWidth).lines;
        }
    }
    state.counters["lines"] = double(lines);
}
BENCHMARK(BM_TextCJKMeasureAndWrap);

// The plain loop: widths from a table, a greedy wrap that breaks at the last space.
void BM_TextAdvanceTableWrap(benchmark::State& state)
{
    int advance[256];
    for (int c = 0; c < 256; ++c)
        advance[c] = advanceOf(c);
    const std::vector<std::wstring> pristine = latinStrings();
    std::vector<std::wstring> texts = pristine;
    long lines = 0;
    for (auto _ : state) {
        lines = 0;
        for (int i = 0; i < kStrings; ++i) {
            std::wstring& t = texts[size_t(i)];
            t = pristine[size_t(i)];
            int width = 0;
            for (wchar_t c : t)
                width += advance[c & 0xFF];
            benchmark::DoNotOptimize(width);
            int w = 0, atSpace = -1, wAtSpace = 0, n = 1;
            for (size_t k = 0; k < t.size(); ++k) {
                if (t[k] == L' ') {
                    atSpace = int(k);
                    wAtSpace = w;
                }
                w += advance[t[k] & 0xFF];
                if (w > kWidth && atSpace >= 0) {
                    t[size_t(atSpace)] = L'\n';
                    w -= wAtSpace + advance[' '];
                    atSpace = -1;
                    ++n;
                }
            }
            lines += n;
        }
    }
    state.counters["lines"] = double(lines);
}
BENCHMARK(BM_TextAdvanceTableWrap);

}  // namespace
