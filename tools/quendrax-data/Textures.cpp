#include "Textures.h"

#include "Art.h"

#include <cmath>

namespace qdata {

namespace {

Canvas glow(int size, Rgba colour)
{
    Canvas c(size, size);
    const float r = size / 2.0f;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const float d = std::hypot(x + 0.5f - r, y + 0.5f - r) / r;
            const float a = std::max(0.0f, 1 - d);
            c.set(x, y, colour.withAlpha(uint8_t(255 * a * a)));
        }
    return c;
}

Canvas beam(int w, int h, bool left)
{
    Canvas c(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            // A cone widening downwards from the top corner on its side.
            const float t = float(y) / float(h);
            const float centre = left ? w * 0.2f + t * w * 0.4f : w * 0.8f - t * w * 0.4f;
            const float half = 6 + t * w * 0.35f;
            const float a = std::max(0.0f, 1 - std::abs(x - centre) / half) * (1 - t * 0.6f);
            c.set(x, y, palette::kCream.withAlpha(uint8_t(160 * a)));
        }
    return c;
}

struct LoadingWord {
    const char* code;
    const char* text;
    bool cjk;
};

}  // namespace

void addTextures(DataFolder& folder)
{
    const struct {
        const char* name;
        Rgba colour;
    } shines[] = {{"SmallBall", palette::kCream}, {"CannonBall", palette::kSteel}, {"FrostBall", palette::kCyan},
                  {"FireBall", palette::kOrange},  {"CrazyBall", palette::kGreen},  {"BigBall", palette::kYellow}};
    for (const auto& s : shines)
        folder.put(std::string("SFX/BallShine_") + s.name + ".tga", glow(128, s.colour).encode(".tga"));

    Canvas touch(64, 64);
    touch.strokeCircle(32, 32, 28, 5, palette::kCyan.withAlpha(220));
    touch.fillCircle(32, 32, 8, palette::kCream.withAlpha(200));
    folder.put("SFX/touch_point.tga", touch.encode(".tga"));

    Canvas lock(32, 32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            lock.set(x, y, palette::kRed.shade(0.3f).withAlpha(uint8_t(255 * (1 - std::abs(y - 15.5f) / 16))));
    folder.put("SFX/lockline.tga", lock.encode(".tga"));

    Canvas sun(256, 256);
    for (int i = 0; i < 12; ++i) {
        const float a = float(M_PI) * float(i) / 6;
        sun.fillPolygon({{128, 128},
                         {128 + 128 * std::cos(a - 0.1f), 128 + 128 * std::sin(a - 0.1f)},
                         {128 + 128 * std::cos(a + 0.1f), 128 + 128 * std::sin(a + 0.1f)}},
                        palette::kYellow.withAlpha(60));
    }
    sun.draw(glow(256, palette::kCream), 0, 0);
    folder.put("SFX/sunlight.tga", sun.encode(".tga"));

    // Every single texture is square, a power of two a side: what every driver takes.
    Canvas backdrop(512, 512);
    drawBackground(backdrop, 3);
    folder.put("SFX/background.tga", backdrop.encode(".tga"));
    folder.put("SFX/background_lightL.tga", beam(512, 512, true).encode(".tga"));
    folder.put("SFX/background_lightR.tga", beam(512, 512, false).encode(".tga"));

    Canvas wheel(128, 128);
    wheel.fillPolygon(formats::starPoints(64, 64, 62, 30, 8), palette::kYellow.withAlpha(200));
    wheel.shadedDisc(64, 64, 28, palette::kOrange);
    folder.put("11_P/bg_BP_boy11.tga", wheel.encode(".tga"));

    const LoadingWord words[] = {{"en", "Loading", false},     {"fr", "Chargement", false}, {"de", "Laden", false},
                                 {"it", "Caricamento", false}, {"sp", "Cargando", false},   {"sr", "加载中", true},
                                 {"jp", "ロード中", true},     {"kr", "로딩 중", true},      {"br", "Carregando", false}};
    for (const LoadingWord& w : words) {
        Canvas c(256, 256);  // the word along the top; the rest stays clear
        const formats::Typeface& face = w.cjk ? cjk() : bold();
        face.drawCentred(c, w.text, 130, 34, 40, palette::kInk.withAlpha(200), 240);
        face.drawCentred(c, w.text, 128, 32, 40, palette::kCream, 240);
        folder.put(std::string("15_P/loading_") + w.code + ".tga", c.encode(".tga"));
    }
    Canvas brick(256, 256);
    drawBrick(brick, 8, 8, 240, 112, palette::kOrange, BrickMark::None);
    bold().drawCentred(brick, "Quendrax", 128, 64, 36, palette::kCream, 200);
    folder.put("15_P/loading_brick_big.png", brick.encode(".png"));
}

}  // namespace qdata
