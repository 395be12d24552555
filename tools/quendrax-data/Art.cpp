#include "Art.h"

#include <algorithm>
#include <cmath>

namespace qdata {

using formats::Point;

Rgba palette::brick(int index)
{
    static const Rgba colours[] = {kRed, kOrange, kYellow, kGreen, kCyan, kSky, kPurple, kPink, kSteel, kCream};
    return colours[((index % 10) + 10) % 10];
}

Rgba palette::location(int l)
{
    static const Rgba colours[] = {kSky, kGreen, kOrange, kPurple, kCyan, kPink, kRed};
    return colours[((l % 7) + 7) % 7];
}

const formats::Typeface& sans()
{
    static const formats::Typeface face(formats::dejaVuSans(false));
    return face;
}

const formats::Typeface& bold()
{
    static const formats::Typeface face(formats::dejaVuSans(true));
    return face;
}

const formats::Typeface& cjk()
{
    static const formats::Typeface face(formats::cjkFont());
    return face;
}

void drawBrick(Canvas& c, int x, int y, int w, int h, Rgba colour, BrickMark mark)
{
    const float b = std::max(2.0f, std::min(w, h) / 6.0f);  // bevel width
    c.fillRoundedRect(float(x), float(y), float(w), float(h), 2, colour.shade(-0.45f));
    // Bevel: light top-left, dark bottom-right, flat face inside.
    c.fillPolygon({{float(x), float(y)}, {float(x + w), float(y)}, {x + w - b, y + b}, {x + b, y + b},
                   {x + b, y + h - b}, {float(x), float(y + h)}},
                  colour.shade(0.45f));
    c.fillPolygon({{float(x + w), float(y)}, {float(x + w), float(y + h)}, {float(x), float(y + h)}, {x + b, y + h - b},
                   {x + w - b, y + h - b}, {x + w - b, y + b}},
                  colour.shade(-0.3f));
    c.fillRect(int(x + b), int(y + b), int(w - 2 * b), int(h - 2 * b), colour);
    const float cx = x + w / 2.0f, cy = y + h / 2.0f, s = std::min(w, h) / 2.0f - b;
    const Rgba ink = palette::kInk.withAlpha(180), light = palette::kCream.withAlpha(220);
    switch (mark) {
    case BrickMark::None: break;
    case BrickMark::Iron:
        for (float dx : {-0.6f, 0.6f})
            for (float dy : {-0.5f, 0.5f})
                c.shadedDisc(cx + dx * (w / 2.0f - b), cy + dy * (h / 2.0f - b), std::max(1.5f, s * 0.25f), palette::kSteel);
        break;
    case BrickMark::MultiHit:
        for (int i = -1; i <= 1; ++i)
            c.fillCircle(cx + float(i) * s * 0.8f, cy, std::max(1.5f, s * 0.25f), ink);
        break;
    case BrickMark::Explosive:
        c.fillPolygon(formats::starPoints(cx, cy, s * 0.9f, s * 0.4f, 8), palette::kYellow);
        c.fillCircle(cx, cy, s * 0.3f, palette::kRed);
        break;
    case BrickMark::Ice:
        for (int i = 0; i < 3; ++i) {
            const float a = float(M_PI) * float(i) / 3;
            c.line(cx - std::cos(a) * s, cy - std::sin(a) * s, cx + std::cos(a) * s, cy + std::sin(a) * s, 1.5f, light);
        }
        break;
    case BrickMark::Gate:
        c.fillPolygon({{cx - s, cy + s * 0.5f}, {cx, cy - s * 0.6f}, {cx + s, cy + s * 0.5f}}, light);
        break;
    case BrickMark::Bonus:
        c.fillPolygon(formats::starPoints(cx, cy, s * 0.95f, s * 0.4f), palette::kYellow);
        break;
    case BrickMark::Binary:
        c.strokeCircle(cx, cy, s * 0.6f, 2, light);
        c.line(cx, cy - s * 0.9f, cx, cy, 2, light);
        break;
    case BrickMark::Portal:
        c.strokeCircle(cx, cy, s * 0.8f, 2, light);
        c.strokeCircle(cx, cy, s * 0.4f, 2, light);
        break;
    case BrickMark::Neon:
        c.strokeRoundedRect(x + b, y + b, w - 2 * b, h - 2 * b, 3, 1.5f, palette::kWhite.withAlpha(200));
        break;
    }
}

void drawBall(Canvas& c, float cx, float cy, float r, Rgba colour)
{
    c.shadedDisc(cx, cy, r, colour);
}

void drawRacket(Canvas& c, int x, int y, int w, int h, Rgba colour)
{
    c.fillCapsule(float(x), float(y), float(w), float(h), colour.shade(-0.4f));
    c.fillCapsule(x + 1.5f, y + 1.5f, w - 3.0f, h - 3.0f, colour);
    c.fillCapsule(x + h * 0.4f, y + h * 0.2f, w - h * 0.8f, h * 0.3f, colour.shade(0.5f));
    // Lights at both ends.
    c.shadedDisc(x + h / 2.0f, y + h / 2.0f, h * 0.3f, palette::kCyan);
    c.shadedDisc(x + w - h / 2.0f, y + h / 2.0f, h * 0.3f, palette::kCyan);
}

void drawPanel(Canvas& c, int x, int y, int w, int h, Rgba body, Rgba border)
{
    const float r = std::min(16.0f, std::min(w, h) / 4.0f);
    c.fillRoundedRect(float(x), float(y), float(w), float(h), r, border);
    c.fillRoundedRect(x + 3.0f, y + 3.0f, w - 6.0f, h - 6.0f, std::max(1.0f, r - 3), body.withAlpha(235));
}

void drawButton(Canvas& c, int x, int y, int w, int h, const std::string& label, Rgba body, bool lit)
{
    const Rgba face = lit ? body.shade(0.3f) : body;
    c.fillRoundedRect(float(x), float(y), float(w), float(h), h / 3.0f, palette::kInk);
    c.fillRoundedRect(x + 2.0f, y + 2.0f, w - 4.0f, h - 4.0f, h / 3.0f - 2, face);
    c.fillRoundedRect(x + 5.0f, y + 4.0f, w - 10.0f, h * 0.35f, h / 6.0f, face.shade(0.25f));
    if (!label.empty())
        bold().drawCentred(c, label, x + w / 2.0f, y + h / 2.0f, std::max(8, h * 2 / 5), palette::kCream, w - 12);
}

void drawIcon(Canvas& c, int x, int y, int size, Icon icon, Rgba colour)
{
    const float s = float(size), cx = x + s / 2, cy = y + s / 2, r = s * 0.42f;
    const Rgba ink = palette::kInk;
    switch (icon) {
    case Icon::Star: c.fillPolygon(formats::starPoints(cx, cy, r, r * 0.45f), colour); break;
    case Icon::Coin:
        c.shadedDisc(cx, cy, r, colour);
        c.strokeCircle(cx, cy, r * 0.7f, std::max(1.0f, s / 16), colour.shade(-0.35f));
        break;
    case Icon::Lock:
        c.strokeRoundedRect(cx - r * 0.5f, cy - r, r, r * 1.2f, r * 0.5f, std::max(2.0f, s / 10), colour.shade(-0.2f));
        c.fillRoundedRect(cx - r * 0.8f, cy - r * 0.2f, r * 1.6f, r * 1.2f, s / 12, colour);
        c.fillCircle(cx, cy + r * 0.3f, s / 14, ink);
        break;
    case Icon::ArrowLeft:
        c.fillPolygon({{cx - r, cy}, {cx + r * 0.2f, cy - r}, {cx + r * 0.2f, cy - r * 0.4f}, {cx + r, cy - r * 0.4f},
                       {cx + r, cy + r * 0.4f}, {cx + r * 0.2f, cy + r * 0.4f}, {cx + r * 0.2f, cy + r}},
                      colour);
        break;
    case Icon::ArrowRight:
        c.fillPolygon({{cx + r, cy}, {cx - r * 0.2f, cy - r}, {cx - r * 0.2f, cy - r * 0.4f}, {cx - r, cy - r * 0.4f},
                       {cx - r, cy + r * 0.4f}, {cx - r * 0.2f, cy + r * 0.4f}, {cx - r * 0.2f, cy + r}},
                      colour);
        break;
    case Icon::Speaker:
        c.fillPolygon({{cx - r, cy - r * 0.35f}, {cx - r * 0.4f, cy - r * 0.35f}, {cx + r * 0.1f, cy - r},
                       {cx + r * 0.1f, cy + r}, {cx - r * 0.4f, cy + r * 0.35f}, {cx - r, cy + r * 0.35f}},
                      colour);
        c.strokeCircle(cx + r * 0.1f, cy, r * 0.6f, std::max(1.5f, s / 16), colour);
        c.fillRect(int(cx - r), int(y), int(r * 1.1f), size, Rgba(0, 0, 0, 0));
        break;
    case Icon::Gear:
        for (int i = 0; i < 8; ++i) {
            const float a = float(M_PI) * float(i) / 4;
            c.line(cx, cy, cx + std::cos(a) * r, cy + std::sin(a) * r, s / 7, colour);
        }
        c.fillCircle(cx, cy, r * 0.72f, colour);
        c.fillCircle(cx, cy, r * 0.3f, ink);
        break;
    case Icon::Heart:
        c.fillCircle(cx - r * 0.45f, cy - r * 0.2f, r * 0.5f, colour);
        c.fillCircle(cx + r * 0.45f, cy - r * 0.2f, r * 0.5f, colour);
        c.fillPolygon({{cx - r * 0.93f, cy}, {cx + r * 0.93f, cy}, {cx, cy + r}}, colour);
        break;
    case Icon::Pause:
        c.fillRoundedRect(cx - r * 0.7f, cy - r * 0.8f, r * 0.5f, r * 1.6f, 2, colour);
        c.fillRoundedRect(cx + r * 0.2f, cy - r * 0.8f, r * 0.5f, r * 1.6f, 2, colour);
        break;
    case Icon::Back:
        c.strokeCircle(cx, cy, r * 0.7f, std::max(2.0f, s / 9), colour);
        c.fillPolygon({{cx - r, cy - r * 0.1f}, {cx - r * 0.4f, cy - r * 0.1f}, {cx - r * 0.7f, cy + r * 0.4f}}, colour);
        break;
    case Icon::Check: c.line(cx - r * 0.7f, cy, cx - r * 0.1f, cy + r * 0.6f, s / 7, colour);
        c.line(cx - r * 0.1f, cy + r * 0.6f, cx + r * 0.8f, cy - r * 0.6f, s / 7, colour);
        break;
    case Icon::Cross:
        c.line(cx - r * 0.7f, cy - r * 0.7f, cx + r * 0.7f, cy + r * 0.7f, s / 7, colour);
        c.line(cx - r * 0.7f, cy + r * 0.7f, cx + r * 0.7f, cy - r * 0.7f, s / 7, colour);
        break;
    case Icon::Info:
        c.fillCircle(cx, cy, r, colour);
        bold().drawCentred(c, "i", cx, cy, int(s * 0.6f), ink);
        break;
    case Icon::Trophy:
        c.fillRoundedRect(cx - r * 0.7f, cy - r, r * 1.4f, r, r * 0.5f, colour);
        c.fillRect(int(cx - r * 0.12f), int(cy), int(r * 0.24f) + 1, int(r * 0.6f), colour);
        c.fillRoundedRect(cx - r * 0.6f, cy + r * 0.55f, r * 1.2f, r * 0.35f, 2, colour.shade(-0.2f));
        break;
    case Icon::Gift:
        c.fillRoundedRect(cx - r, cy - r * 0.4f, 2 * r, r * 1.4f, 3, colour);
        c.fillRect(int(cx - r * 0.15f), int(cy - r * 0.4f), int(r * 0.3f) + 1, int(r * 1.4f), palette::kYellow);
        c.fillCircle(cx - r * 0.35f, cy - r * 0.6f, r * 0.3f, palette::kYellow);
        c.fillCircle(cx + r * 0.35f, cy - r * 0.6f, r * 0.3f, palette::kYellow);
        break;
    case Icon::Skull:
        c.fillCircle(cx, cy - r * 0.15f, r * 0.8f, colour);
        c.fillRoundedRect(cx - r * 0.45f, cy + r * 0.3f, r * 0.9f, r * 0.6f, 2, colour);
        c.fillCircle(cx - r * 0.3f, cy - r * 0.15f, r * 0.2f, ink);
        c.fillCircle(cx + r * 0.3f, cy - r * 0.15f, r * 0.2f, ink);
        break;
    case Icon::Plus:
        c.line(cx - r * 0.8f, cy, cx + r * 0.8f, cy, s / 6, colour);
        c.line(cx, cy - r * 0.8f, cx, cy + r * 0.8f, s / 6, colour);
        break;
    }
}

void drawBackground(Canvas& c, int location)
{
    const Rgba main = palette::location(location);
    c.verticalGradient(0, 0, c.width(), c.height(), main.shade(-0.55f), main.shade(-0.15f));
    const Rgba mark = palette::kWhite.withAlpha(28);
    const int w = c.width(), h = c.height();
    switch (((location % 7) + 7) % 7) {
    case 0:  // dots
        for (int y = 16; y < h; y += 32)
            for (int x = (y / 32 % 2) * 16 + 16; x < w; x += 32)
                c.fillCircle(float(x), float(y), 4, mark);
        break;
    case 1:  // diagonal stripes
        for (int k = -h; k < w; k += 40)
            c.line(float(k), float(h), float(k + h), 0, 8, mark);
        break;
    case 2:  // checks
        for (int y = 0; y < h; y += 40)
            for (int x = (y / 40 % 2) * 40; x < w; x += 80)
                c.fillRect(x, y, 40, 40, mark);
        break;
    case 3:  // waves
        for (int y = 20; y < h; y += 48)
            for (int x = 0; x < w; x += 4)
                c.fillCircle(float(x), y + 8 * std::sin(float(x) / 24), 2, mark);
        break;
    case 4:  // hexagon outlines
        for (int y = 0; y < h + 40; y += 52)
            for (int x = (y / 52 % 2) * 30; x < w + 30; x += 60) {
                std::vector<Point> hex;
                for (int i = 0; i < 6; ++i)
                    hex.push_back({x + 24 * std::cos(float(M_PI) * float(i) / 3), y + 24 * std::sin(float(M_PI) * float(i) / 3)});
                for (int i = 0; i < 6; ++i)
                    c.line(hex[size_t(i)].x, hex[size_t(i)].y, hex[size_t((i + 1) % 6)].x, hex[size_t((i + 1) % 6)].y, 2, mark);
            }
        break;
    case 5:  // stars
        for (int y = 24; y < h; y += 60)
            for (int x = (y / 60 % 2) * 30 + 24; x < w; x += 60)
                c.fillPolygon(formats::starPoints(float(x), float(y), 10, 4), mark);
        break;
    default:  // grid
        for (int x = 0; x < w; x += 48)
            c.fillRect(x, 0, 2, h, mark);
        for (int y = 0; y < h; y += 48)
            c.fillRect(0, y, w, 2, mark);
        break;
    }
}

void drawTitle(Canvas& c, const std::string& subtitle)
{
    const int w = c.width(), h = c.height();
    c.verticalGradient(0, 0, w, h, palette::kInk, palette::kNight.shade(0.1f));
    uint32_t rng = 12345;
    for (int i = 0; i < w * h / 3000; ++i) {
        rng = rng * 1664525u + 1013904223u;
        const float x = float(rng % uint32_t(w));
        rng = rng * 1664525u + 1013904223u;
        const float y = float(rng % uint32_t(std::max(1, h * 2 / 3)));
        c.fillCircle(x, y, 1.2f + float(rng >> 30) * 0.4f, palette::kCream.withAlpha(150));
    }
    // A wall of bricks along the bottom third.
    const int bw = std::max(20, w / 10), bh = std::max(10, bw / 2);
    for (int row = 0; row < 4; ++row)
        for (int x = -(row % 2) * bw / 2; x < w; x += bw)
            drawBrick(c, x, h - (row + 1) * bh - h / 12, bw, bh, palette::brick(row * 3 + x / bw), BrickMark::None);
    // The racket rides above the wall: screens write a footer line across the bottom band.
    const int wallTop = h - 4 * bh - h / 12;
    drawRacket(c, w / 2 - w / 8, wallTop - bh * 2, w / 4, std::max(8, bh * 2 / 3), palette::kSteel);
    drawBall(c, w * 0.62f, h * 0.58f, std::max(6.0f, w / 40.0f), palette::kCream);
    const int titleSize = std::max(12, w / 6);
    // Screens show a 600-pixel-wide window of wider art: keep the title well inside it.
    const int titleWidth = std::min(w, 600) * 3 / 4;
    bold().drawCentred(c, "Quendrax", w / 2.0f + 3, h * 0.3f + 3, titleSize, palette::kInk, titleWidth);
    bold().drawCentred(c, "Quendrax", w / 2.0f, h * 0.3f, titleSize, palette::kYellow, titleWidth);
    if (!subtitle.empty())
        sans().drawCentred(c, subtitle, w / 2.0f, h * 0.3f + titleSize, std::max(8, titleSize / 4), palette::kCream, w * 9 / 10);
}

}  // namespace qdata
