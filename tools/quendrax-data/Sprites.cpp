#include "Sprites.h"

#include "Art.h"
#include "MenuArt.h"
#include "SpriteMaker.h"

#include "framework/PackTables.h"
#include "tools/formats/SpriteWriter.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
#include <memory>

namespace qdata {

namespace {

using sprites::FModule;

// What the game indexes in one sprite: at least this many frames, animations and modules, and
// the module indices it reads as markers.
struct Needs {
    int frames = 1, anims = 0, modules = 0;
    std::set<int> markers;
};

// A picture and where its origin sits in it.
struct Picture {
    Canvas canvas;
    int ox = 0, oy = 0;
};

Picture centred(Canvas c)
{
    const int ox = c.width() / 2, oy = c.height() / 2;
    return {std::move(c), ox, oy};
}

Picture topLeft(Canvas c)
{
    return {std::move(c), 0, 0};
}

// The generic body: `pictures` distinct pictures, frame i showing picture i % count, animations
// of up to three consecutive frames (finite, so "animation ended" comes), then the counts padded.
void standard(SpriteMaker& m, const Needs& n, int count, const std::function<Picture(int)>& picture)
{
    m.reserveMarkers(n.markers);
    std::vector<int> modules;
    std::vector<std::pair<int, int>> origins;
    for (int i = 0; i < std::max(1, count); ++i) {
        Picture p = picture(i);
        modules.push_back(m.module(p.canvas));
        origins.push_back({p.ox, p.oy});
    }
    const int frames = std::max(n.frames, 1);
    for (int f = m.frameCount(); f < frames; ++f) {
        const size_t k = size_t(f) % modules.size();
        m.moduleFrame(modules[k], origins[k].first, origins[k].second);
    }
    for (int a = 0; a < n.anims; ++a) {
        const int first = (a * 3) % frames;
        std::vector<int> seq;
        for (int k = 0; k < std::min(3, frames); ++k)
            seq.push_back((first + k) % frames);
        m.anim(seq, 2);
    }
    m.ensureModules(n.modules);
}

Canvas blob(int size, Rgba colour, int variant)
{
    Canvas c(size, size);
    const float r = size * (0.40f + 0.03f * float(variant % 3));
    c.shadedDisc(size / 2.0f, size / 2.0f, r, colour);
    // Eyes, looking a little to one side by variant.
    const float dx = float(variant % 5 - 2) * size / 40.0f;
    for (int side : {-1, 1}) {
        c.fillCircle(size / 2.0f + side * r * 0.35f, size * 0.42f, r * 0.22f, palette::kWhite);
        c.fillCircle(size / 2.0f + side * r * 0.35f + dx, size * 0.43f, r * 0.1f, palette::kInk);
    }
    return c;
}

Canvas label(int w, int h, const std::string& text, Rgba body)
{
    Canvas c(w, h);
    drawButton(c, 0, 0, w, h, text, body);
    return c;
}

Canvas digitPicture(const std::string& text, int size, Rgba colour)
{
    const formats::TextExtent e = bold().measure(text, size);
    Canvas c(std::max(4, e.width + 6), e.ascent + e.descent + 6);
    bold().draw(c, text, 4, float(e.ascent + 4), size, palette::kInk);
    bold().draw(c, text, 3, float(e.ascent + 3), size, colour);
    return c;
}

// ---- pack 9: in-level sprites -------------------------------------------------------------

const int kRacketWidths[6] = {68, 90, 105, 119, 122, 129};
const int kRacketThickness = 24;
const int kCell = 24;

Rgba itemColour(int id)
{
    static const std::set<int> malus = {2, 5, 12, 16, 24, 27, 28, 29, 30, 31, 38};
    static const std::set<int> addon = {11, 14, 20, 33, 35, 36, 37};
    return malus.count(id) ? palette::kRed : addon.count(id) ? palette::kSky : palette::kGreen;
}

Canvas itemIcon(int id, int size)
{
    Canvas c(size, size);
    const Rgba colour = itemColour(id);
    c.fillRoundedRect(1, 1, size - 2.0f, size - 2.0f, size / 5.0f, colour.shade(-0.35f));
    c.fillRoundedRect(3, 3, size - 6.0f, size - 6.0f, size / 5.0f - 2, colour);
    static const Icon icons[] = {Icon::Heart, Icon::ArrowRight, Icon::ArrowLeft, Icon::Plus, Icon::Cross,
                                 Icon::Star, Icon::Info, Icon::Coin, Icon::Trophy, Icon::Check, Icon::Gear,
                                 Icon::Skull, Icon::Lock, Icon::Speaker, Icon::Gift};
    const Icon icon = id == 1 ? Icon::Heart : id == 8 ? Icon::Coin : itemColour(id) == palette::kRed ? Icon::Skull
                                                                                                       : icons[size_t(id) % 15];
    drawIcon(c, size / 5, size / 5, size * 3 / 5, icon, palette::kCream);
    return c;
}

Canvas brickTile(int t, int act)
{
    Canvas c(kCell, kCell);
    if (t == 143 || t == 144) {  // level edges
        c.verticalGradient(0, 0, kCell, kCell, palette::kSteel.shade(0.2f), palette::kSteel.shade(-0.4f));
        c.fillRect(t == 143 ? 0 : kCell - 3, 0, 3, kCell, palette::kInk);
        return c;
    }
    if (t == 173) {  // outside the level
        c.fill(palette::kInk.withAlpha(220));
        return c;
    }
    static const BrickMark marks[] = {BrickMark::None, BrickMark::None,   BrickMark::MultiHit, BrickMark::Iron,
                                      BrickMark::Explosive, BrickMark::Ice, BrickMark::Gate,   BrickMark::Bonus,
                                      BrickMark::Binary, BrickMark::Portal, BrickMark::Neon};
    const Rgba colour = palette::brick(t % 10);
    drawBrick(c, 0, 0, kCell, kCell, Rgba::mix(colour, palette::location(act), 0.15f), marks[size_t(t / 10) % 11]);
    return c;
}

void addBricks(SpriteMaker& m, int frames, bool frozen)
{
    for (int t = 0; t < frames; ++t) {
        Canvas tile = brickTile(t, 0);
        if (frozen)
            for (int y = 0; y < tile.height(); ++y)
                for (int x = 0; x < tile.width(); ++x)
                    tile.set(x, y, Rgba::mix(tile.at(x, y), palette::kCyan.withAlpha(tile.at(x, y).a), 0.5f));
        m.pictureFrame(tile, 0, 0);
    }
}

// Arc bricks: radius 3, 5, 8 cells, 2 pieces a quarter; frame rectangles relative to the centre.
void addArcs(SpriteMaker& m, int sets)
{
    for (int set = 0; set < sets; ++set)
        for (int radius : {3, 5, 8}) {
            const int pieces = radius == 3 ? 2 : radius == 5 ? 4 : 4;
            for (int quarter = 0; quarter < 4; ++quarter)
                for (int piece = 0; piece < pieces; ++piece) {
                    const float outer = radius * kCell, inner = outer - kCell;
                    const int size = int(outer) + 1;
                    Canvas c(size, size);
                    const float a0 = float(M_PI) / 2 * (float(piece) / pieces), a1 = float(M_PI) / 2 * (float(piece + 1) / pieces);
                    const Rgba colour = set ? palette::kSteel : palette::brick(radius + piece);
                    c.fillShape(0, 0, float(size), float(size),
                                [=](float px, float py) {
                                    const float d = std::hypot(px, py);
                                    const float a = std::atan2(py, px);
                                    const float ring = std::max(d - outer, inner - d);
                                    const float wedge = std::max((a0 - a) * d, (a - a1) * d);
                                    return std::max(ring, wedge);
                                },
                                [=](float px, float py) { return colour.shade(0.3f - 0.6f * std::hypot(px, py) / outer); });
                    // Quarters turn the picture about the centre through the flip bits.
                    const int mod = m.module(c);
                    FModule fm;
                    fm.index = mod;
                    fm.flags = (quarter & 1 ? 1 : 0) | (quarter & 2 ? 2 : 0);
                    fm.x = quarter & 1 ? -size : 0;
                    fm.y = quarter & 2 ? -size : 0;
                    m.frame({fm});
                }
        }
}

void addBalls(SpriteMaker& m, int anims)
{
    const int diameters[] = {19, 28, 38};
    for (int a = 0; a < anims; ++a) {
        const int d = a == 0 || a == 23 || a == 26 ? 19 : a == 2 || a == 25 || a == 28 ? 38 : 28;
        Rgba colour = palette::kCream;
        if (a == 12) colour = palette::kGreen;
        else if (a == 13 || a == 14) colour = palette::kSteel;
        else if (a >= 15 && a <= 22 && a != 20 && a != 21) colour = palette::kOrange;
        else if (a == 20 || a == 21) colour = palette::kPink;
        else if (a >= 23 && a <= 25) colour = palette::kCyan;
        else if (a >= 26 && a <= 28) colour = palette::kRed;
        else if (a == 29) colour = palette::kYellow;
        std::vector<int> frames;
        for (int k = 0; k < 2; ++k) {
            Canvas c(d + 2, d + 2);
            drawBall(c, (d + 2) / 2.0f, (d + 2) / 2.0f, d / 2.0f, k ? colour.shade(0.25f) : colour);
            frames.push_back(m.pictureFrame(c, (d + 2) / 2, (d + 2) / 2));
        }
        m.anim(frames, 3);
    }
    (void)diameters;
}

void addRacket(SpriteMaker& m)
{
    // 0-5 plain, then one band of six sizes per add-on look; 60+ charges; 68-73 double; 176-181 flash.
    const Rgba looks[] = {palette::kSteel, palette::kRed, palette::kPurple, palette::kCyan, palette::kOrange,
                          palette::kSky, palette::kYellow};
    for (int f = 0; f < 182; ++f) {
        const int size = f % 6;
        Rgba colour = palette::kSteel;
        if (f < 42) colour = looks[f / 6];
        else if (f >= 68 && f < 74) colour = palette::kGreen;
        else if (f >= 176) colour = palette::kCream;
        const int w = kRacketWidths[size] + (f >= 68 && f < 74 ? 0 : 0);
        if (f >= 60 && f < 68 && f != 66 && f != 67) {
            Canvas charge(12, 12);
            charge.shadedDisc(6, 6, 5, palette::kRed);
            m.pictureFrame(charge, 6, 6);
            continue;
        }
        Canvas c(w + 2, kRacketThickness + 2);
        drawRacket(c, 1, 1, w, kRacketThickness, colour);
        m.pictureFrame(c, (w + 2) / 2, (kRacketThickness + 2) / 2);
    }
    for (int a = 0; a < 24; ++a)
        m.anim({a % 6 + (a >= 18 ? 176 - 18 + 18 : 0) % 182, a % 6}, 2);
}

void addTurbo(SpriteMaker& m, bool animsForBoth)
{
    for (int used = 0; used < 2; ++used)
        for (int d = 0; d < 12; ++d) {
            Canvas c(40, 40);
            c.shadedDisc(20, 20, 17, used ? palette::kOrange : palette::kPurple);
            // Direction d: 0 up, counter-clockwise in 30-degree steps.
            const float a = -float(M_PI) / 2 - float(d) * float(M_PI) / 6;
            const float ca = std::cos(a), sa = std::sin(a);
            c.fillPolygon({{20 + 14 * ca, 20 + 14 * sa}, {20 - 8 * sa - 6 * ca, 20 + 8 * ca - 6 * sa},
                           {20 + 8 * sa - 6 * ca, 20 - 8 * ca - 6 * sa}},
                          palette::kCream);
            m.pictureFrame(c, 20, 20);
        }
    for (int a = 0; a < (animsForBoth ? 24 : 12); ++a)
        m.anim({a % 24, (a + 12) % 24, a % 24}, 2);
}

void addNumeral(SpriteMaker& m)
{
    const int comboLabel = m.pictureFrame(digitPicture("COMBO", 26, palette::kYellow), 0, 0);
    m.anim({comboLabel}, 3);
    std::vector<int> digits(10), flashes(10);
    for (int d = 0; d < 10; ++d) {
        digits[size_t(d)] = m.pictureFrame(digitPicture(std::to_string(d), 30, palette::kYellow), 0, 0);
        flashes[size_t(d)] = m.pictureFrame(digitPicture(std::to_string(d), 30, palette::kWhite), 0, 0);
    }
    for (int d = 1; d <= 9; ++d)
        m.anim({digits[size_t(d)]}, 3);
    m.anim({digits[0]}, 3);
    for (int d = 1; d <= 9; ++d)
        m.anim({flashes[size_t(d)], digits[size_t(d)]}, 2);
    m.anim({flashes[0], digits[0]}, 2);
}

Needs pack9Needs(int row)
{
    switch (row) {
    case 8: case 14: case 19: case 55: return {1, 0, 0, {}};
    case 9: return {5, 1, 0, {}};
    case 16: return {3, 3, 0, {}};
    case 24: return {2, 1, 0, {}};
    case 25: return {8, 7, 0, {}};
    case 26: case 27: case 28: return {6, 4, 0, {}};
    case 29: return {12, 1, 0, {}};
    case 31: return {4, 2, 0, {}};
    case 32: case 37: case 39: return {3, 2, 0, {}};
    case 33: return {8, 7, 0, {}};
    case 34: return {3, 2, 0, {}};
    case 35: return {12, 1, 0, {}};
    case 36: return {14, 14, 0, {}};
    case 38: return {6, 1, 0, {}};
    case 41: return {1, 1, 0, {}};
    case 42: return {6, 1, 0, {}};
    case 45: return {2, 1, 0, {}};
    case 46: return {18, 18, 0, {}};
    case 47: return {4, 4, 0, {}};
    case 48: return {3, 3, 0, {}};
    case 49: return {6, 1, 0, {}};
    case 51: return {5, 5, 0, {}};
    case 53: return {5, 5, 0, {}};
    case 54: return {10, 1, 0, {}};
    case 57: return {37, 1, 0, {}};
    case 58: return {2, 2, 0, {}};
    case 60: return {12, 6, 0, {}};
    case 61: return {16, 8, 0, {}};
    case 62: return {545, 84, 71, {67, 68, 69, 70}};
    case 63: return {59, 21, 48, {42, 43, 44, 45, 46, 47}};
    case 64: return {65, 16, 23, {22}};
    case 65: return {8, 1, 0, {}};
    case 66: return {23, 15, 29, {26, 27, 28}};
    case 67: case 71: return {44, 42, 0, {}};
    case 69: return {3, 3, 0, {}};
    case 70: return {86, 20, 77, {64, 65, 66, 67, 68, 69, 70, 71, 72, 73, 74, 76}};
    case 73: return {20, 10, 0, {}};
    case 74: return {1, 1, 0, {}};
    default: return {4, 2, 0, {}};
    }
}

Rgba rowColour(int row)
{
    return palette::brick(row * 7 + 3);
}

void makePack9(SpriteMaker& m, int row)
{
    const Needs n = pack9Needs(row);
    switch (row) {
    case 0: addBalls(m, 30); return;
    case 10: addBricks(m, 174, false); m.ensureAnims(1); return;
    case 12: addBricks(m, 174, true); m.ensureAnims(1); return;
    case 11: addArcs(m, 2); return;
    case 13: addArcs(m, 1); return;
    case 30: addRacket(m); return;
    case 43: addTurbo(m, false); return;
    case 44: addTurbo(m, true); return;
    case 82: addNumeral(m); return;
    case 56:
        standard(m, {50, 1, 0, {}}, 50, [](int i) { return centred(itemIcon(i + 1, 40)); });
        return;
    case 57:
        standard(m, n, 37, [](int i) { return centred(itemIcon(i + 1, 24)); });
        return;
    case 58:
        standard(m, n, 1, [](int) {
            Canvas c(40, 40);
            c.strokeRoundedRect(0, 0, 40, 40, 8, 3, palette::kCream.withAlpha(200));
            return centred(c);
        });
        return;
    case 54:
        standard(m, n, 10, [](int i) { return centred(digitPicture("x" + std::to_string(i + 1), 28, palette::kYellow)); });
        return;
    case 53: case 48:
        standard(m, n, 3, [](int i) {
            Canvas c(44, 44);
            c.fillPolygon(formats::starPoints(22, 22, 20 - 2.0f * float(i), 9), palette::kYellow.shade(0.15f * float(i)));
            return centred(c);
        });
        return;
    case 24:
        standard(m, n, 2, [](int) {
            Canvas c(28, 28);
            drawIcon(c, 0, 0, 28, Icon::Heart, palette::kRed);
            return centred(c);
        });
        return;
    case 29:
        standard(m, n, 12, [](int i) {
            Canvas c(kCell, kCell);
            drawBrick(c, 0, 0, kCell, kCell, (i / 3) % 2 ? palette::kSteel : palette::kGreen, BrickMark::Binary);
            return topLeft(c);
        });
        return;
    case 38: case 42: case 35: case 41:
        standard(m, n, n.frames, [row](int i) {
            const int w = row == 41 ? 6 : kRacketWidths[i % 6];
            Canvas c(w + 4, row == 41 ? 18 : 14);
            c.fillCapsule(2, 2, float(w), float(c.height() - 4), (row == 41 ? palette::kRed : palette::kCyan).withAlpha(200));
            return centred(c);
        });
        return;
    case 45:
        standard(m, n, 2, [](int i) {
            Canvas c(48, 48);
            c.shadedDisc(24, 24, 22, i ? palette::kSteel : palette::kPurple);
            drawIcon(c, 10, 10, 28, Icon::ArrowRight, palette::kCream);
            return topLeft(c);
        });
        return;
    case 46:
        standard(m, n, 3, [](int i) {
            Canvas c(96, 24);
            for (int x = 0; x < 96; x += 2)
                c.fillCircle(float(x), 12 + 6 * std::sin(float(x + 8 * i) / 8), 3, palette::kCyan.withAlpha(160));
            return topLeft(c);
        });
        return;
    case 65:
        standard(m, n, 8, [](int i) {
            Canvas c(kCell * 2, kCell);
            drawBrick(c, 0, 0, kCell * 2, kCell, palette::brick(i), BrickMark::None);
            return topLeft(c);
        });
        return;
    case 74:
        standard(m, n, 1, [](int) {
            Canvas c(300, 400);
            c.fillRoundedRect(0, 0, 300, 400, 20, palette::kCyan.withAlpha(50));
            c.strokeRoundedRect(0, 0, 300, 400, 20, 4, palette::kCream.withAlpha(120));
            return topLeft(c);
        });
        return;
    default: break;
    }
    // Creatures and effects: round bodies with eyes for the enemies, glows for the rest.
    const bool creature = row >= 60 && row <= 73;
    const int size = row == 62 || row == 63 || row == 64 || row == 66 || row == 70 ? 120 : creature ? 56 : 40;
    standard(m, n, std::min(n.frames, 8), [row, creature, size](int i) {
        if (creature)
            return centred(blob(size, rowColour(row), i));
        Canvas c(size, size);
        c.fillCircle(size / 2.0f, size / 2.0f, size * 0.45f, rowColour(row).withAlpha(90));
        c.shadedDisc(size / 2.0f, size / 2.0f, size * (0.2f + 0.03f * float(i % 4)), rowColour(row));
        return centred(c);
    });
}

// ---- pack 15: menus and interface --------------------------------------------------------

Canvas fullScreen(int location, bool title)
{
    Canvas c(600, 1024);
    if (title)
        drawTitle(c, "");
    else
        drawBackground(c, location);
    return c;
}

void makePack15(SpriteMaker& m, int row)
{
    if (makeMenuSprite(m, row))
        return;
    switch (row) {
    case 2: {  // the title screen: frame 3 (frame 4 for Japanese) drawn at (-64, -32) of the screen
        Canvas title(728, 1088);
        drawTitle(title, "Break every brick!");
        const int big = m.module(title);
        for (int f = 0; f < 5; ++f)
            m.moduleFrame(big, 0, 0);
        m.anim({3}, 2);
        return;
    }
    case 14: {
        const char* places[] = {"Harbour", "Forest", "Desert", "Castle", "Glacier", "Carnival", "Night City", "Shop"};
        standard(m, {8, 0, 0, {}}, 8, [&places](int i) {
            Canvas c(160, 120);
            drawPanel(c, 0, 0, 160, 120, palette::location(i).shade(-0.3f), palette::location(i));
            if (i == 7)
                drawIcon(c, 50, 16, 60, Icon::Coin, palette::kYellow);
            else
                c.fillPolygon(formats::starPoints(80, 48, 30, 14, 3 + i), palette::location(i).shade(0.4f));
            sans().drawCentred(c, places[i], 80, 100, 16, palette::kCream, 150);
            return centred(c);
        });
        return;
    }
    case 17: case 24:
        standard(m, {4, 0, 0, {}}, 4, [](int i) {
            if (i == 0) {
                Canvas edge(500, 3, palette::kCyan);
                return topLeft(edge);
            }
            Canvas c(500, i == 3 ? 600 : 380);
            drawPanel(c, 0, 0, c.width(), c.height());
            return topLeft(c);
        });
        return;
    case 19:
        standard(m, {2, 1, 0, {}}, 2, [](int i) {
            Canvas c(24, 24);
            drawIcon(c, 0, 0, 24, Icon::Heart, i ? palette::kSteel : palette::kRed);
            return topLeft(c);
        });
        return;
    case 25:
        standard(m, {95, 2, 0, {}}, 12, [](int i) {
            Canvas c(100, 80);
            if (i < 4) {
                drawPanel(c, 0, 0, 100, 80, palette::kNight, palette::kYellow);
                drawIcon(c, 30, 10, 40, i == 0 ? Icon::Star : i == 1 ? Icon::Gear : i == 2 ? Icon::Gift : Icon::Coin, palette::kYellow);
            } else {
                for (int k = 0; k < 4; ++k)
                    c.fillRoundedRect(4 + 24.0f * float(k), 60, 20, 16, 3, k < i - 4 ? palette::kGreen : palette::kSteel);
            }
            return topLeft(c);
        });
        return;
    case 26:
        standard(m, {4, 1, 0, {}}, 4, [](int i) {
            Canvas c(i == 0 ? 600 : 80, i == 0 ? 96 : 64);
            drawPanel(c, 0, 0, c.width(), c.height(), palette::kNight, palette::kSky);
            return topLeft(c);
        });
        return;
    case 29: {  // touch buttons, each frame drawn for the role the game gives it
        struct Role {
            int w, h;
            Icon icon;
            bool lit;
            bool plain;  // no icon: a bar, track or highlight
        };
        auto role = [](int f) -> Role {
            switch (f) {
            case 6: return {64, 64, Icon::Pause, false, false};
            case 8: case 27: return {96, 64, Icon::ArrowLeft, f == 27, false};
            case 10: return {96, 64, Icon::ArrowRight, false, false};
            case 20: case 23: case 58: return {400, 64, Icon::Star, true, true};
            case 22: return {400, 64, Icon::Star, false, true};
            case 31: return {96, 64, Icon::Back, false, false};
            case 32: case 33: case 34: case 35: case 36: return {96, 64, Icon::Back, f % 2 == 0, false};
            case 42: return {120, 64, Icon::Check, true, false};
            case 50: return {120, 64, Icon::Check, false, false};
            case 51: case 52: return {64, 64, Icon::Info, f == 52, false};
            case 53: case 54: return {64, 64, Icon::Coin, f == 54, false};
            case 59: case 65: return {64, 64, Icon::Star, f == 65, false};
            case 61: case 62: return {64, 64, Icon::Gear, f == 62, false};
            case 63: case 64: case 66: return {120, 64, Icon::Star, f == 64, false};
            case 68: case 69: return {400, 24, Icon::Star, f == 69, true};
            case 70: case 71: return {40, 40, Icon::Star, f == 71, true};
            case 72: case 73: return {180, 72, Icon::ArrowRight, f == 73, false};
            default: return {80, 64, Icon::Plus, f % 2 == 1, false};
            }
        };
        for (int f = 0; f < 74; ++f) {
            if (makeMenuTouchFrame(m, f))
                continue;
            const Role r = role(f);
            Canvas c(r.w, r.h);
            if (f == 68 || f == 69) {
                c.fillCapsule(0, 4, float(r.w), float(r.h - 8), f == 69 ? palette::kCyan : palette::kSteel.shade(-0.4f));
            } else if (f == 70 || f == 71) {
                c.shadedDisc(20, 20, 18, f == 71 ? palette::kYellow : palette::kCream);
            } else if (r.plain) {
                c.fillRoundedRect(0, 0, float(r.w), float(r.h), 14, (r.lit ? palette::kYellow : palette::kSky).withAlpha(r.lit ? 110 : 220));
                c.strokeRoundedRect(0, 0, float(r.w), float(r.h), 14, 3, palette::kCream.withAlpha(200));
            } else {
                drawButton(c, 0, 0, r.w, r.h, "", f == 66 ? palette::kSteel : palette::kSky, r.lit);
                const int icon = std::min(r.w, r.h) * 5 / 8;
                drawIcon(c, (r.w - icon) / 2, (r.h - icon) / 2, icon, r.icon, palette::kCream);
            }
            m.pictureFrame(c, 0, 0);
        }
        // 0 press, 2/3 back idle and pressed, 4 bomb going off, 9 ready, 11 not usable, 12/13 pressed, 14 empty.
        const std::vector<std::vector<int>> anims = {{22, 23, 22}, {8, 27}, {31}, {32, 33, 34, 35, 36}, {70, 71, 70},
                                                     {6}, {6}, {10}, {8}, {70}, {6}, {66}, {71, 70}, {71, 70}, {68}};
        for (const auto& a : anims)
            m.anim(a, 2);
        return;
    }
    case 30: {  // the main menu's scene: background, decorations, the logo
        const int bg = m.module(fullScreen(0, false), 1);
        const int bgFrame = m.moduleFrame(bg, 0, 0);
        Canvas logo(520, 160);
        bold().drawCentred(logo, "Quendrax", 263, 83, 100, palette::kInk, 500);
        bold().drawCentred(logo, "Quendrax", 260, 80, 100, palette::kYellow, 500);
        const int logoFrame = m.pictureFrame(logo, 260, 80);
        std::vector<int> decor;
        for (int k = 0; k < 4; ++k) {
            Canvas c(120, 60);
            c.fillRoundedRect(0, 10, 120, 40, 20, palette::kCream.withAlpha(uint8_t(60 + 20 * k)));
            decor.push_back(m.pictureFrame(c, 60, 30));
        }
        for (int a = 0; a < 28; ++a) {
            if (a >= 14 && a <= 17) m.anim({bgFrame}, 2);
            else if (a >= 24) m.anim({bgFrame}, 2);
            else if (a >= 18) m.anim({logoFrame}, 3);
            else m.anim({decor[size_t(a) % 4], decor[size_t(a + 1) % 4]}, 4);
        }
        return;
    }
    case 31: {  // the signboard: three bricks with caption anchors 50, 51, 52
        m.reserveMarkers({50, 51, 52});
        std::vector<int> bricks;
        for (int b = 0; b < 3; ++b) {
            Canvas c(360, 110);
            drawBrick(c, 0, 0, 360, 110, palette::brick(b * 3), BrickMark::None);
            bricks.push_back(m.module(c));
        }
        Canvas post(30, 420);
        post.verticalGradient(0, 0, 30, 420, palette::kSteel, palette::kSteel.shade(-0.5f));
        const int postModule = m.module(post);
        Canvas check(48, 48);
        drawIcon(check, 0, 0, 48, Icon::Check, palette::kGreen);
        const int checkModule = m.module(check);
        m.ensureModules(53);
        auto board = [&](int count, int dx) {
            std::vector<FModule> fms;
            FModule p;
            p.index = postModule;
            p.x = -15 + dx;
            p.y = -20;
            fms.push_back(p);
            const int anchor[3] = {51, 52, 50};  // anchors of bricks 0, 1, 2 by marker module
            for (int b = 0; b < count; ++b) {
                FModule fm;
                fm.index = bricks[size_t(b)];
                fm.x = -180 + dx;
                fm.y = b * 130;
                fms.push_back(fm);
                FModule mk;
                mk.index = b == 0 ? 51 : b == 1 ? 52 : 50;
                mk.x = dx;
                mk.y = b * 130 + 55;
                fms.push_back(mk);
                (void)anchor;
            }
            return m.frame(fms);
        };
        for (int f = 0; f < 115; ++f)
            board(f % 2 ? 2 : 3, (f % 5 - 2) * 4);
        for (int f = 115; f < 118; ++f)
            m.moduleFrame(checkModule, 24, 24);
        for (int a = 0; a < 30; ++a)
            m.anim({(a * 2) % 115, (a * 2 + 2) % 115, (a * 2 + 4) % 115}, 2);
        return;
    }
    case 32: {  // loading, map and debriefing pieces
        // Image modules the game paints by index: 37 world-map item frame, 43/46 locks, 48/49 stars.
        std::map<int, Canvas> special;
        Canvas frameItem(170, 130);
        frameItem.strokeRoundedRect(0, 0, 170, 130, 12, 5, palette::kYellow);
        special[37] = frameItem;
        Canvas lock(40, 40);
        drawIcon(lock, 0, 0, 40, Icon::Lock, palette::kYellow);
        special[43] = lock;
        special[46] = lock;
        Canvas star(32, 32), empty(32, 32);
        drawIcon(star, 0, 0, 32, Icon::Star, palette::kYellow);
        drawIcon(empty, 0, 0, 32, Icon::Star, palette::kSteel.withAlpha(140));
        special[48] = star;
        special[49] = empty;
        for (int k = 0; k < 50; ++k) {
            const auto it = special.find(k);
            if (it != special.end()) {
                m.module(it->second);
                continue;
            }
            Canvas c(48, 48);
            c.shadedDisc(24, 24, 20, palette::brick(k));
            m.module(c);
        }
        const int background = m.module(fullScreen(0, false), 1);
        const int levelBg = background;  // one screen-sized picture keeps the atlas small
        Canvas panel(560, 200), bottom(600, 180), button(96, 96), plate(130, 130), volume(520, 300);
        drawPanel(panel, 0, 0, 560, 200);
        drawPanel(bottom, 0, 0, 600, 180);
        drawButton(button, 0, 0, 96, 96, "", palette::kSky);
        drawPanel(plate, 0, 0, 130, 130, palette::kNight, palette::kYellow);
        drawPanel(volume, 0, 0, 520, 300);
        const int panelM = m.module(panel), bottomM = m.module(bottom), buttonM = m.module(button),
                  plateM = m.module(plate), volumeM = m.module(volume);
        Canvas ball(40, 40);
        drawBall(ball, 20, 20, 16, palette::kCream);
        const int ballM = m.module(ball);
        for (int f = 0; f < 80; ++f) {
            int mod = ballM, ox = 20, oy = 20;
            switch (f) {
            case 22: case 30: case 31: case 76: case 77: case 78: mod = background; ox = oy = 0; break;
            case 32: case 79: mod = levelBg; ox = oy = 0; break;
            case 33: case 40: mod = 48; ox = oy = 0; break;
            case 59: mod = plateM; ox = oy = 0; break;
            case 60: mod = 43; ox = oy = 0; break;
            case 61: mod = buttonM; ox = oy = 0; break;
            case 65: mod = panelM; ox = oy = 0; break;
            case 67: mod = bottomM; ox = oy = 0; break;
            case 69: mod = 37; ox = oy = 0; break;
            case 71: mod = volumeM; ox = oy = 0; break;
            default: break;
            }
            m.moduleFrame(mod, ox, oy);
        }
        for (int a = 0; a < 27; ++a)
            m.anim({a == 23 || a == 26 ? 22 : (a % 4) + 1, (a % 4) + 2}, 3);
        return;
    }
    case 33:
        standard(m, {30, 0, 0, {}}, 30, [](int i) {
            Canvas c(64, 64);
            c.shadedDisc(32, 32, 30, palette::brick(i));
            drawIcon(c, 14, 14, 36, i % 3 == 0 ? Icon::Trophy : i % 3 == 1 ? Icon::Star : Icon::Coin, palette::kCream);
            return topLeft(c);
        });
        return;
    case 34: {
        Canvas normal(500, 120), lit(500, 120);
        drawPanel(normal, 0, 0, 500, 120);
        drawPanel(lit, 0, 0, 500, 120, palette::kSky, palette::kYellow);
        const int a = m.module(normal), b = m.module(lit);
        m.moduleFrame(a, 0, 0);
        m.moduleFrame(b, 0, 0);
        return;
    }
    case 35: {
        // Pre-drawn captions in Chinese, Japanese and Korean: blocks of 28 frames.
        static const char* captions[3][28] = {
            {"商店", "游戏模式", "画廊", "游戏设置", "操作设置", "音量", "语言", "", "", "故事 开", "故事 关", "清除进度", "触摸",
             "", "", "倾斜 1", "倾斜 2", "音效 开", "音效 关", "音乐 开", "音乐 关", "帮助", "关于", "更多", "高分", "记录",
             "成就", "开始"},
            {"ショップ", "モード", "ギャラリー", "設定", "操作", "音量", "言語", "", "", "ストーリー オン", "ストーリー オフ",
             "リセット", "タッチ", "", "", "傾き 1", "傾き 2", "効果音 オン", "効果音 オフ", "音楽 オン", "音楽 オフ", "ヘルプ",
             "情報", "その他", "ハイスコア", "記録", "実績", "プレイ"},
            {"상점", "게임 모드", "갤러리", "게임 설정", "조작 설정", "음량", "언어", "", "", "스토리 켜기", "스토리 끄기",
             "진행 삭제", "터치", "", "", "기울기 1", "기울기 2", "효과음 켜기", "효과음 끄기", "음악 켜기", "음악 끄기", "도움말",
             "정보", "더 보기", "최고 점수", "기록", "업적", "플레이"}};
        standard(m, {84, 0, 0, {}}, 84, [](int i) {
            Canvas c(240, 40);
            cjk().drawCentred(c, captions[i / 28][i % 28], 120, 20, 28, palette::kCream, 232);
            return centred(c);
        });
        return;
    }
    case 36: {
        standard(m, {9, 0, 0, {}}, 9, [](int i) {
            static const char* codes[] = {"EN", "FR", "DE", "IT", "ES", "CN", "JP", "KO", "BR"};
            Canvas c(96, 64);
            const Rgba a = palette::brick(i * 3), b = palette::brick(i * 3 + 5);
            c.fillRoundedRect(0, 0, 96, 64, 8, a);
            c.fillRect(32, 0, 32, 64, b);
            c.strokeRoundedRect(0, 0, 96, 64, 8, 3, palette::kInk);
            bold().drawCentred(c, codes[i], 48, 32, 24, palette::kInk, 80);
            return centred(c);
        });
        return;
    }
    case 37:
        standard(m, {20, 0, 0, {}}, 20, [](int i) {
            Canvas c(140, 60);
            drawButton(c, 0, 0, 140, 60, i >= 18 ? "Share" : "More", i % 9 == 0 ? palette::kGreen : palette::kSky, i >= 9 && i < 18);
            return topLeft(c);
        });
        return;
    case 38: {
        m.reserveMarkers({2});
        Canvas banner(500, 90);
        drawPanel(banner, 0, 0, 500, 90, palette::kNight, palette::kYellow);
        const int b = m.module(banner);
        m.ensureModules(3);
        std::vector<int> frames;
        for (int k = 0; k < 3; ++k) {
            FModule body, anchor;
            body.index = b;
            body.x = -250;
            body.y = -45 - (2 - k) * 20;
            anchor.index = 2;
            anchor.x = 0;
            anchor.y = -(2 - k) * 20;
            frames.push_back(m.frame({body, anchor}));
        }
        m.anim({frames[0]}, 2);
        m.anim({frames[0], frames[1], frames[2]}, 2);
        m.anim({frames[2], frames[1], frames[0]}, 2);
        m.anim({frames[2]}, 4);
        return;
    }
    default:
        // Rows the game never loads: a small labelled tile keeps the file valid.
        standard(m, {1, 1, 0, {}}, 1, [row](int) { return topLeft(label(96, 40, std::to_string(row), palette::kSteel)); });
        return;
    }
}

// ---- packs 4, 7, 8, 10, 11, 12 ------------------------------------------------------------

void makeOther(SpriteMaker& m, const std::string& pack, int row)
{
    if (pack == PACK_SPRITE) {  // the company logo, centred on black
        Canvas c(420, 140);
        bold().drawCentred(c, "QUENDRAX", 210, 56, 64, palette::kCream, 400);
        sans().drawCentred(c, "studio", 210, 112, 26, palette::kCyan, 400);
        m.pictureFrame(c, 210, 70);
        m.anim({0}, 30);
        return;
    }
    if (pack == PACK_HOSTS) {  // a host character: a tall friendly figure in the location colour
        Canvas c(250, 500);
        const Rgba body = palette::location(row);
        c.fillRoundedRect(45, 190, 160, 310, 60, body);
        c.shadedDisc(125, 120, 85, palette::kCream.shade(-0.1f));
        c.fillCircle(97, 112, 10, palette::kInk);
        c.fillCircle(153, 112, 10, palette::kInk);
        c.line(97, 155, 153, 155, 6, palette::kRed);
        m.pictureFrame(c, 0, 0);
        return;
    }
    if (pack == PACK_SHOP) {  // 28 gifts: a gallery picture and a falling picture per language
        static const char* langs[] = {"EN", "FR", "DE", "IT", "ES", "CN", "JP", "KO", "BR"};
        for (int g = 0; g < 28; ++g) {
            Canvas blank(4, 4);
            m.pictureFrame(blank, 0, 0);
            Canvas picture(120, 120);
            drawPanel(picture, 0, 0, 120, 120, palette::brick(g).shade(-0.4f), palette::brick(g));
            drawIcon(picture, 20, 10, 80, Icon::Gift, palette::brick(g + 3));
            bold().drawCentred(picture, std::to_string(g + 1), 60, 104, 18, palette::kCream);
            m.pictureFrame(picture, 0, 0);
            for (int l = 0; l < 9; ++l) {
                Canvas falling(48, 48);
                drawIcon(falling, 0, 0, 48, Icon::Gift, palette::brick(g + 3));
                bold().drawCentred(falling, langs[l], 24, 40, 12, palette::kInk);
                m.pictureFrame(falling, 24, 24);
            }
        }
        return;
    }
    if (pack == PACK_BACKGROUND_OBJECTS) {  // 27 animations, layered by intensity
        standard(m, {27, 27, 0, {}}, 6, [row](int i) {
            Canvas c(200, 140);
            const Rgba colour = palette::location(row).shade(0.2f * float(i % 3));
            c.fillPolygon({{0, 140}, {60 + 10.0f * float(i), 20}, {120, 140}}, colour.withAlpha(150));
            c.fillPolygon({{80, 140}, {150, 40 + 8.0f * float(i)}, {200, 140}}, colour.shade(-0.2f).withAlpha(150));
            return topLeft(c);
        });
        return;
    }
    standard(m, {8, 8, 0, {}}, 8, [row](int i) {
        Canvas c(48, 48);
        drawBrick(c, 0, 0, 48, 48, palette::brick(row + i), BrickMark::None);
        return topLeft(c);
    });
}

}  // namespace

std::vector<SpriteEntry> addSprites(DataFolder& folder)
{
    AtlasSet atlases;
    std::vector<SpriteEntry> entries;
    std::vector<std::unique_ptr<SpriteMaker>> makers;  // one a written sprite, in entry order
    std::set<std::string> done;
    for (const SPackTable& table : PACK_TABLES) {
        if (!table.textures)
            continue;
        const std::string pack = table.folder;
        if (pack == PACK_FONT)
            continue;  // fonts are drawn from the typeface, not here
        const std::string folderName = sprites::ModeFolder(table.folder);
        for (int row = 0; row < table.count; ++row) {
            const std::string name = table.names[row];
            if (name.empty() || !done.insert(folderName + "/" + name).second)
                continue;
            makers.push_back(std::make_unique<SpriteMaker>(atlases, table.textures[row]));
            SpriteMaker& maker = *makers.back();
            if (pack == PACK_SPRITES_INGAME)
                makePack9(maker, row == 71 ? 67 : row);
            else if (pack == PACK_GUISPRITES)
                makePack15(maker, row == 17 ? 24 : row);
            else
                makeOther(maker, pack, row);
            if (maker.frameCount() == 0)
                maker.pictureFrame(Canvas(2, 2), 0, 0);
            // Every image a sprite lists is opened with it: one no module uses still exists.
            for (const std::string& t : maker.textures())
                if (atlases[atlasName(t)].empty())
                    atlases[atlasName(t)].add(Canvas(4, 4));
            const std::string path = folderName + "/" + name + ".bsprite";
            SpriteEntry e{pack, row, path, {}, {}};
            for (const std::string& t : maker.textures())
                e.images.push_back(folderName + "/" + atlasName(t) + ".png");
            entries.push_back(e);
        }
    }
    // Every piece is in: the atlases are packed and the sprites written with their places.
    atlases.pack();
    for (size_t i = 0; i < makers.size(); ++i) {
        makers[i]->place();
        entries[i].sprite = makers[i]->sprite();
        const std::vector<uint8_t> bytes = sprites::Write(entries[i].sprite);
        folder.put(entries[i].path, std::string(bytes.begin(), bytes.end()));
    }
    // The brick sheet in every location's variant and its white flash look; the HUD bar likewise.
    const auto recolour = [](Rgba tint, float k) {
        return [tint, k](Rgba p) { return Rgba::mix(p, tint.withAlpha(p.a), k); };
    };
    for (int act = 2; act <= 7; ++act)
        atlases.derive("bricks_all_act" + std::to_string(act), "bricks_all_act1", recolour(palette::location(act - 1), 0.25f));
    atlases.derive("bricks_all_light", "bricks_all_act1", recolour(palette::kWhite, 0.7f));
    for (const char* bar : {"UI_bar_2", "UI_bar_3", "UI_bar_4", "UI_bar_6", "UI_bar_7"})
        atlases.derive(bar, "UI_bar", recolour(palette::location(bar[7] - '1'), 0.3f));
    // Each atlas goes into every folder whose sprites name it.
    std::map<std::string, std::set<std::string>> foldersOf;
    for (const SpriteEntry& e : entries)
        for (const std::string& image : e.images)
            foldersOf[image.substr(image.find('/') + 1)].insert(image.substr(0, image.find('/')));
    for (const auto& [name, canvas] : atlases.render()) {
        std::set<std::string> folders = foldersOf[name + ".png"];
        if (name.rfind("bricks_all", 0) == 0)
            folders.insert(sprites::ModeFolder(PACK_SPRITES_INGAME));
        if (name.rfind("UI_bar", 0) == 0)
            folders.insert(sprites::ModeFolder(PACK_GUISPRITES));
        const std::string png = canvas.encode(".png");
        for (const std::string& f : folders)
            folder.put(f + "/" + name + ".png", png);
    }
    return entries;
}

}  // namespace qdata
