#pragma once
// The game's look, drawn in code in one palette: bevelled bricks, shaded balls, a capsule racket,
// rounded panels and buttons with labels, pictogram icons, location backgrounds, the title art.

#include "tools/formats/Canvas.h"
#include "tools/formats/TextRaster.h"

#include <memory>
#include <string>

namespace qdata {

using formats::Canvas;
using formats::Rgba;

// The palette: a dozen colours, indexed where the game indexes colours (bricks, locations).
namespace palette {
constexpr Rgba kInk(24, 26, 46);          // outlines, dark text
constexpr Rgba kNight(34, 40, 84);        // panel body, deep backgrounds
constexpr Rgba kSky(70, 130, 220);
constexpr Rgba kCyan(60, 200, 220);
constexpr Rgba kGreen(80, 190, 90);
constexpr Rgba kYellow(250, 210, 60);
constexpr Rgba kOrange(245, 140, 40);
constexpr Rgba kRed(220, 60, 60);
constexpr Rgba kPink(235, 100, 170);
constexpr Rgba kPurple(140, 90, 210);
constexpr Rgba kSteel(150, 160, 175);
constexpr Rgba kCream(250, 244, 226);     // light text, highlights
constexpr Rgba kWhite(255, 255, 255);
// The colour of brick colour index i (0..9, wrapping).
Rgba brick(int index);
// The main colour of location l (0..6).
Rgba location(int l);
}  // namespace palette

enum class BrickMark { None, Iron, MultiHit, Explosive, Ice, Gate, Bonus, Binary, Portal, Neon };
enum class Icon { Star, Coin, Lock, ArrowLeft, ArrowRight, Speaker, Gear, Heart, Pause, Back, Check, Cross, Info, Trophy, Gift, Skull, Plus };

// Shared typefaces (DejaVu Sans and its bold; the CJK face for the Asian captions).
const formats::Typeface& sans();
const formats::Typeface& bold();
const formats::Typeface& cjk();

void drawBrick(Canvas& c, int x, int y, int w, int h, Rgba colour, BrickMark mark);
void drawBall(Canvas& c, float cx, float cy, float r, Rgba colour);
void drawRacket(Canvas& c, int x, int y, int w, int h, Rgba colour);
void drawPanel(Canvas& c, int x, int y, int w, int h, Rgba body = palette::kNight, Rgba border = palette::kCyan);
void drawButton(Canvas& c, int x, int y, int w, int h, const std::string& label, Rgba body = palette::kSky,
                bool lit = false);
void drawIcon(Canvas& c, int x, int y, int size, Icon icon, Rgba colour);
// A vertical gradient in the location's colours with its own tiled pattern (0..6).
void drawBackground(Canvas& c, int location);
// The game's name set large on a starry night with a brick wall and a ball: the title art.
void drawTitle(Canvas& c, const std::string& subtitle);

}  // namespace qdata
