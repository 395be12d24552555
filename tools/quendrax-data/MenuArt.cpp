#include "MenuArt.h"

#include "Art.h"
#include "DataFolder.h"
#include "SpriteMaker.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

// The main menu's scene. Sprite 104 and 105 players stand at the logic offsets, so frame
// coordinates are those of the 640x960 design area (screen = design + (-20, 32)).

namespace qdata {

namespace {

using sprites::FModule;

FModule at(int module, int x, int y)
{
    FModule fm;
    fm.index = module;
    fm.x = x;
    fm.y = y;
    return fm;
}

// One animation frame per offset: the pieces of `base` moved by (dx, dy).
std::vector<int> slide(SpriteMaker& m, const std::vector<FModule>& base, const std::vector<std::pair<int, int>>& offsets)
{
    std::vector<int> frames;
    for (const auto& [dx, dy] : offsets) {
        std::vector<FModule> moved = base;
        for (FModule& fm : moved)
            fm.x += dx, fm.y += dy;
        frames.push_back(m.frame(moved));
    }
    return frames;
}

// Eased steps from (x0, y0) to (x1, y1), ending with a small overshoot when `bounce`.
std::vector<std::pair<int, int>> path(int x0, int y0, int x1, int y1, int steps, bool bounce = false)
{
    std::vector<std::pair<int, int>> p;
    for (int i = 1; i <= steps; ++i) {
        const float t = float(i) / float(steps);
        const float e = 1 - (1 - t) * (1 - t);
        p.push_back({int(std::lround(x0 + (x1 - x0) * e)), int(std::lround(y0 + (y1 - y0) * e))});
    }
    if (bounce) {
        const int bx = (x1 - x0) / 20, by = (y1 - y0) / 20;
        p.push_back({x1 + bx, y1 + by});
        p.push_back({x1, y1});
    }
    return p;
}

Canvas cloud(int w, int h, uint8_t alpha)
{
    Canvas c(w, h);
    const Rgba white = palette::kCream.withAlpha(alpha);
    c.fillCapsule(0, h * 0.45f, float(w), h * 0.55f, white);
    c.fillCircle(w * 0.33f, h * 0.5f, h * 0.38f, white);
    c.fillCircle(w * 0.6f, h * 0.42f, h * 0.42f, white);
    return c;
}

Canvas hills()
{
    Canvas c(640, 330);
    const Rgba far = palette::kGreen.shade(-0.45f), near = palette::kGreen.shade(-0.2f);
    std::vector<formats::Point> back{{0, 330}, {0, 120}};
    for (int x = 0; x <= 640; x += 16)
        back.push_back({float(x), 120 - 70 * std::sin(float(x) / 640 * 3.1416f * 2.2f + 0.4f) * 0.8f + 20});
    back.push_back({640, 330});
    c.fillPolygon(back, far);
    std::vector<formats::Point> front{{0, 330}, {0, 210}};
    for (int x = 0; x <= 640; x += 16)
        front.push_back({float(x), 210 - 50 * std::sin(float(x) / 640 * 3.1416f * 3.0f + 1.3f)});
    front.push_back({640, 330});
    c.fillPolygon(front, near);
    return c;
}

Canvas groundWall()
{
    Canvas c(640, 150);
    c.verticalGradient(0, 40, 640, 110, palette::kNight.shade(-0.2f), palette::kInk);
    const int bw = 64, bh = 30;
    for (int row = 0; row < 4; ++row)
        for (int x = -(row % 2) * bw / 2; x < 640; x += bw)
            drawBrick(c, x, 30 + row * bh, bw, bh, palette::brick(row * 5 + (x + bw) / bw * 3).shade(-0.15f * float(row)),
                      BrickMark::None);
    c.fillRect(0, 26, 640, 6, palette::kCream.withAlpha(90));
    return c;
}

Canvas smallBrick(int colour)
{
    Canvas c(48, 24);
    drawBrick(c, 0, 0, 48, 24, palette::brick(colour), BrickMark::None);
    return c;
}

Canvas logo()
{
    Canvas c(540, 190);
    c.fillRoundedRect(20, 112, 500, 52, 26, palette::kInk.withAlpha(150));
    bold().drawCentred(c, "Quendrax", 274, 78, 112, palette::kInk, 520);
    bold().drawCentred(c, "Quendrax", 270, 72, 112, palette::kYellow, 520);
    sans().drawCentred(c, "break every brick", 270, 140, 30, palette::kCream, 460);
    return c;
}

// ---- Sprite 104: the nine background layers

void makeMenuScene(SpriteMaker& m)
{
    Canvas background(600, 1024);
    drawBackground(background, 0);
    const int skyModule = m.module(background, 1);
    const int skyFrame = m.frame({at(skyModule, 20, -32)});

    const int cloudA = m.module(cloud(220, 90, 170)), cloudB = m.module(cloud(160, 70, 130)),
              cloudC = m.module(cloud(260, 100, 110));
    const std::vector<FModule> clouds{at(cloudA, 40, 300), at(cloudB, 430, 250), at(cloudC, 230, 420)};
    const int hillModule = m.module(hills());
    const std::vector<FModule> hillPieces{at(hillModule, 0, 560)};
    std::vector<FModule> leftBricks, rightBricks;
    const int kinds[6] = {1, 4, 7, 10, 2, 8};
    std::vector<int> brickModules;
    for (int k : kinds)
        brickModules.push_back(m.module(smallBrick(k)));
    leftBricks = {at(brickModules[0], 70, 420), at(brickModules[1], 140, 470), at(brickModules[2], 95, 520)};
    rightBricks = {at(brickModules[3], 500, 400), at(brickModules[4], 560, 450), at(brickModules[5], 470, 500)};
    std::vector<FModule> allBricks = leftBricks;
    allBricks.insert(allBricks.end(), rightBricks.begin(), rightBricks.end());
    const int wallModule = m.module(groundWall());
    const std::vector<FModule> wall{at(wallModule, 0, 842)};
    Canvas racket(150, 30), ball(36, 36);
    drawRacket(racket, 0, 0, 150, 30, palette::kSteel);
    drawBall(ball, 18, 18, 15, palette::kCream);
    const std::vector<FModule> front{at(m.module(racket), 390, 930), at(m.module(ball), 520, 880)};
    const int logoModule = m.module(logo());
    // Below the online button, which takes the top-left corner (134 x 132).
    const std::vector<FModule> title{at(logoModule, 50, 84)};
    const int empty = m.frame({});

    std::vector<std::vector<int>> anims(28);
    anims[0] = {skyFrame};
    anims[1] = slide(m, clouds, path(-320, 0, 0, 0, 8));
    anims[2] = slide(m, clouds, path(0, 0, 360, 0, 8));
    anims[3] = slide(m, clouds, {{0, 0}, {3, 0}, {6, 0}, {9, 0}, {12, 0}, {9, 0}, {6, 0}, {3, 0}});
    anims[4] = slide(m, hillPieces, path(0, 260, 0, 0, 8));
    anims[5] = slide(m, hillPieces, path(0, 0, 0, 300, 8));
    anims[6] = slide(m, hillPieces, {{0, 0}});
    anims[7] = slide(m, allBricks, path(0, -500, 0, 0, 9, true));
    anims[8] = slide(m, allBricks, path(0, 0, 0, -560, 8));
    anims[9] = slide(m, leftBricks, {{0, 0}, {0, -2}, {0, -4}, {0, -6}, {0, -4}, {0, -2}});
    anims[10] = slide(m, rightBricks, {{0, -6}, {0, -4}, {0, -2}, {0, 0}, {0, -2}, {0, -4}});
    anims[11] = slide(m, wall, path(0, 160, 0, 0, 7));
    anims[12] = slide(m, wall, path(0, 0, 0, 170, 7));
    anims[13] = slide(m, wall, {{0, 0}});
    // Layer 0: the racket and ball in front. Leave, gone, enter, idle (and the same for the
    // other resolution modes' numbers).
    for (int base : {14, 24}) {
        anims[size_t(base)] = slide(m, front, path(0, 0, 0, 200, 7));
        anims[size_t(base + 1)] = {empty};
        anims[size_t(base + 2)] = slide(m, front, path(0, 200, 0, 0, 7, true));
        anims[size_t(base + 3)] = slide(m, front, {{0, 0}, {0, 0}, {0, -1}, {0, -2}, {0, -1}, {0, 0}});
    }
    // Layer 7: the logo drops in, floats, and flies off (18-20; 21-23 the same for Japanese).
    for (int base : {18, 21}) {
        anims[size_t(base)] = slide(m, title, path(0, -320, 0, 0, 9, true));
        anims[size_t(base + 1)] = slide(m, title, path(0, 0, 0, -340, 8));
        anims[size_t(base + 2)] = slide(m, title, {{0, 0}, {0, 1}, {0, 2}, {0, 3}, {0, 2}, {0, 1}});
    }
    for (const std::vector<int>& a : anims)
        m.anim(a, 2);
}

// ---- Sprite 105: the signboard of three bricks

// Brick rectangles (design coordinates) and the caption markers 51, 52, 50 of bricks 0, 1, 2,
// placed so that a caption of the English length sits in the middle of its brick. Brick 1's
// caption starts 24 px further left a character, faster than the font widens: its marker sits
// for captions a few characters longer than the English, so marked translations stay on it.
struct BrickPlace {
    int x, y, w, h;
    int marker, mx, my;
};
constexpr BrickPlace kBricks[3] = {
    {54, 552, 222, 164, 51, 228, 592},
    {350, 540, 242, 152, 52, 642, 560},
    {337, 706, 288, 188, 50, 616, 746},
};

Canvas menuBrick(int b, bool lit)
{
    const BrickPlace& p = kBricks[b];
    // Light faces: the caption font is the game's red.
    static const Rgba colours[3] = {palette::kYellow, palette::kCyan.shade(0.35f), palette::kOrange.shade(0.45f)};
    const Rgba colour = lit ? colours[b].shade(0.3f) : colours[b];
    Canvas c(p.w, p.h);
    c.fillRoundedRect(4, 8, float(p.w - 4), float(p.h - 8), 14, palette::kInk.withAlpha(120));  // shadow
    drawBrick(c, 0, 0, p.w - 6, p.h - 8, colour, BrickMark::None);
    static const Icon icons[3] = {Icon::ArrowRight, Icon::Gift, Icon::Coin};
    const int s = std::min(p.w, p.h) / 3;
    drawIcon(c, p.w - s - 18, 14, s, icons[b], lit ? palette::kRed : palette::kInk.withAlpha(150));
    return c;
}

void makeSignboard(SpriteMaker& m)
{
    m.reserveMarkers({50, 51, 52});
    int normal[3], lit[3];
    for (int b = 0; b < 3; ++b) {
        normal[b] = m.module(menuBrick(b, false));
        lit[b] = m.module(menuBrick(b, true));
    }
    Canvas postPicture(26, 420);
    postPicture.verticalGradient(0, 0, 26, 420, palette::kSteel, palette::kSteel.shade(-0.55f));
    postPicture.fillRect(0, 0, 4, 420, palette::kCream.withAlpha(90));
    const int post = m.module(postPicture);
    m.ensureModules(53);

    const FModule postPiece = at(post, 307, 500);
    auto brickPieces = [&](int b, int module, int dx, int dy) {
        const BrickPlace& p = kBricks[b];
        return std::vector<FModule>{at(module, p.x + dx, p.y + dy), at(p.marker, p.mx + dx, p.my + dy)};
    };
    // The whole board with per-brick offsets; bricks missing from `which` are left out.
    auto board = [&](const std::vector<int>& which, const std::vector<std::pair<int, int>>& offsets) {
        std::vector<FModule> fms{postPiece};
        for (size_t i = 0; i < which.size(); ++i) {
            const auto pieces = brickPieces(which[i], normal[which[i]], offsets[i].first, offsets[i].second);
            fms.insert(fms.end(), pieces.begin(), pieces.end());
        }
        return m.frame(fms);
    };
    auto boardAnim = [&](const std::vector<int>& which, const std::vector<std::vector<std::pair<int, int>>>& paths) {
        std::vector<int> frames;
        for (size_t f = 0; f < paths[0].size(); ++f) {
            std::vector<std::pair<int, int>> offsets;
            for (const auto& p : paths)
                offsets.push_back(p[std::min(f, p.size() - 1)]);
            frames.push_back(board(which, offsets));
        }
        return frames;
    };
    const std::vector<int> three{0, 1, 2}, two{0, 2};
    // Entering: the bricks drop in one after another.
    auto drop = [](int delay) {
        std::vector<std::pair<int, int>> p(size_t(delay), {0, -900});
        const auto fall = path(0, -900, 0, 0, 8, true);
        p.insert(p.end(), fall.begin(), fall.end());
        return p;
    };
    // Leaving: the picked brick pops, then everything falls away.
    auto away = [](int delay, int dx, int dy) {
        std::vector<std::pair<int, int>> p(size_t(delay), {0, 0});
        const auto go = path(0, 0, dx, dy, 7);
        p.insert(p.end(), go.begin(), go.end());
        return p;
    };
    std::vector<std::vector<int>> anims(30);
    anims[0] = boardAnim(three, {drop(0), drop(2), drop(4)});
    anims[19] = boardAnim(two, {drop(0), drop(3)});
    for (int picked = 0; picked < 3; ++picked) {
        std::vector<std::vector<std::pair<int, int>>> paths;
        for (int b = 0; b < 3; ++b)
            paths.push_back(b == picked ? away(3, 0, -900) : away(1, 0, 700));
        anims[size_t(1 + picked)] = boardAnim(three, paths);
    }
    anims[28] = boardAnim(two, {away(3, 0, -900), away(1, 0, 700)});
    anims[29] = boardAnim(two, {away(1, 0, 700), away(3, 0, -900)});
    anims[20] = boardAnim(two, {away(0, 700, 0), away(1, 700, 0)});
    anims[27] = boardAnim(three, {away(0, -700, 0), away(1, -700, 0), away(2, -700, 0)});

    // The single bricks once the board has settled: idle, shake, press, held, release.
    // Brick 0's frames also carry the post, which stands behind all three.
    struct Roles {
        int idle, shake, press, held, release;
    };
    constexpr Roles roles[3] = {{9, 5, 14, 17, 11}, {8, 6, 15, 18, 12}, {7, 4, 13, 16, 10}};
    for (int b = 0; b < 3; ++b) {
        auto single = [&](int module, int dx, int dy) {
            std::vector<FModule> fms;
            if (b == 0)
                fms.push_back(postPiece);
            const auto pieces = brickPieces(b, module, dx, dy);
            fms.insert(fms.end(), pieces.begin(), pieces.end());
            return m.frame(fms);
        };
        const Roles& r = roles[b];
        anims[size_t(r.idle)] = {single(normal[b], 0, 0)};
        for (int dx : {-6, 6, -4, 4, -2, 0})
            anims[size_t(r.shake)].push_back(single(normal[b], dx, 0));
        anims[size_t(r.press)] = {single(lit[b], 0, 2), single(lit[b], 0, 4)};
        anims[size_t(r.held)] = {single(lit[b], 0, 4)};
        anims[size_t(r.release)] = {single(normal[b], 0, 2), single(normal[b], 0, -3), single(normal[b], 0, 0)};
    }
    const int fallback = board(three, {{0, 0}, {0, 0}, {0, 0}});
    for (std::vector<int>& a : anims) {
        if (a.empty())
            a = {fallback};
        m.anim(a, 2);
    }
}

// ---- Sprite 113: the store button in nine languages, pressed, and the share button

void makeStoreButtons(SpriteMaker& m)
{
    // Frame order: en, fr, it, sp, de, br, cn, jp, ko.
    static const char* labels[9] = {"Store", "Boutique", "Negozio", "Tienda", "Laden", "Loja", "商店", "ストア", "상점"};
    std::vector<int> frames;
    for (int i = 0; i < 20; ++i) {
        Canvas c(124, 74);
        const bool pressed = i >= 9 && i < 18;
        if (i < 18) {
            const int k = i % 9;
            drawButton(c, 2, 2, 120, 70, "", palette::kOrange, pressed);
            drawIcon(c, 10, 19, 36, Icon::Coin, palette::kYellow);
            const auto& face = k >= 6 ? cjk() : bold();
            face.drawCentred(c, labels[k], 84, 37, 20, palette::kCream, 70);
        } else {
            drawButton(c, 2, 2, 78, 78 - 6, "Share", palette::kSky, i == 19);
        }
        frames.push_back(m.pictureFrame(c, 0, 0));
    }
    m.anim({0}, 2);
}

}  // namespace

bool makeMenuSprite(SpriteMaker& m, int row)
{
    switch (row) {
    case 30: makeMenuScene(m); return true;
    case 31: makeSignboard(m); return true;
    case 37: makeStoreButtons(m); return true;
    default: return false;
    }
}

// The main menu's buttons of the touch sprite: the information and options icons (centred on
// their place), the online-service badge (top-left at the screen corner) and the message OK
// button (its origin at its left middle, as list buttons are drawn).
bool makeMenuTouchFrame(SpriteMaker& m, int frame)
{
    switch (frame) {
    case 51:
    case 52:
    case 61:
    case 62: {
        Canvas c(88, 88);
        const bool lit = frame == 52 || frame == 62;
        c.shadedDisc(44, 44, 42, palette::kInk);
        c.shadedDisc(44, 44, 38, lit ? palette::kYellow : palette::kSky);
        drawIcon(c, 20, 20, 48, frame <= 52 ? Icon::Info : Icon::Gear, lit ? palette::kInk : palette::kCream);
        m.pictureFrame(c, 44, 44);
        return true;
    }
    case 59:
    case 65: {
        Canvas c(130, 128);
        const bool lit = frame == 65;
        c.fillRoundedRect(-30, -30, 156, 154, 40, palette::kInk.withAlpha(200));
        c.fillRoundedRect(-30, -30, 150, 148, 36, lit ? palette::kCyan.shade(0.3f) : palette::kCyan.shade(-0.2f));
        drawIcon(c, 34, 12, 58, Icon::Star, lit ? palette::kInk : palette::kYellow);
        bold().drawCentred(c, "Online", 62, 96, 24, palette::kCream, 110);
        m.pictureFrame(c, 0, 0);
        return true;
    }
    case 42:
    case 50: {
        Canvas c(180, 72);
        drawButton(c, 0, 0, 180, 72, "", palette::kGreen, frame == 42);
        m.pictureFrame(c, 0, 36);
        return true;
    }
    default: return false;
    }
}

// The sun rays' quarter: the texture's corner (0, 0) is the sun, its rays fan out into the
// square, so four quads turned a quarter apart make the whole sun.
void addMenuTextures(DataFolder& folder)
{
    Canvas sun(256, 256);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            const float d = std::sqrt(float(x * x + y * y)) / 256.0f;
            const float a = std::atan2(float(y), float(x));   // 0 .. pi/2
            const float ray = std::pow(std::max(0.0f, std::cos(a * 6.0f)), 6.0f);
            const float glow = std::max(0.0f, 1 - d * 2.2f);
            const float fade = std::max(0.0f, 1 - d);
            const float v = std::min(1.0f, ray * fade * 0.55f + glow * glow * 0.9f);
            sun.set(x, y, palette::kYellow.shade(0.5f * glow).withAlpha(uint8_t(255 * v)));
        }
    folder.put("SFX/sunlight.tga", sun.encode(".tga"));
}

}  // namespace qdata
