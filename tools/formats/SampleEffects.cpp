#include "tools/formats/SampleEffects.h"

#include "game/SpecialFX/EffectTable.h"
#include "tools/formats/BeffWriter.h"
#include "tools/formats/Canvas.h"

#include <algorithm>
#include <cmath>
#include <set>

namespace formats::effects {
namespace {

using beff::SEmitter;
using beff::STrack;
using beff::Vec3;

bool has(const std::string& s, const char* word) { return s.find(word) != std::string::npos; }

struct Tint {
    int r, g, b;
};

Tint tintOf(const std::string& name)
{
    const struct { const char* word; Tint t; } table[] = {
        {"green", {90, 255, 110}}, {"blue", {90, 150, 255}},   {"red", {255, 80, 60}},
        {"orange", {255, 160, 40}}, {"purple", {200, 90, 255}}, {"pink", {255, 120, 210}},
        {"gold", {255, 215, 70}},  {"silver", {215, 225, 240}}, {"frozen", {160, 225, 255}},
        {"ice", {160, 225, 255}},  {"metal", {190, 195, 210}},  {"fire", {255, 130, 40}},
        {"bomb", {255, 110, 40}},  {"malus", {220, 80, 255}},   {"bonus", {120, 255, 160}},
        {"boss", {255, 90, 90}},   {"laser", {255, 60, 60}},    {"speedup", {200, 90, 255}},
        {"crazy", {90, 255, 110}}, {"cannon", {200, 200, 200}}, {"star", {255, 235, 120}},
    };
    for (const auto& row : table)
        if (has(name, row.word))
            return row.t;
    return {255, 240, 200};
}

void colour(SEmitter& e, Tint t, bool fade)
{
    e.particle.colour[0] = constant(t.r);
    e.particle.colour[1] = constant(t.g);
    e.particle.colour[2] = constant(t.b);
    e.particle.colour[3] = fade ? ramp(255, std::max(1, e.particle.life), 0) : constant(255);
}

void size(SEmitter& e, float s)
{
    e.particle.sizes[0] = constant(s);
    e.particle.sizes[1] = constant(s);
}

// Flags: orient on; lifetime; delay; interval.
SEmitter emitter(int shape, int lifetime, int life, const char* texture)
{
    SEmitter e;
    e.block = {shape, 0, 2, 0, lifetime, 0, 0, 0, 0, 0, 0, 0};
    e.particle.life = life;
    e.particle.blend = 1;
    e.particle.texture = texture;
    return e;
}

beff::SAffector gravity(float strength)
{
    beff::SAffector a;
    a.id = 1;
    a.type = 0;
    a.strength = constant(strength);
    a.direction = constant(Vec3(0.f, -1.f, 0.f));
    return a;
}

beff::SAffector drag(float factor, int id)
{
    beff::SAffector a;
    a.id = id;
    a.type = 1;
    a.strength = constant(factor);
    return a;
}

std::vector<SEmitter> burst(const std::string& name, Tint t)
{
    const bool big = has(name, "big") || has(name, "boss") || has(name, "dead") || has(name, "three");
    SEmitter e = emitter(1, 2, 18, "glow.tga");
    e.block[10] = 40;  // radial speed variation
    e.radius = {constant(0.3f), constant(0.3f), constant(0.05f)};
    e.burstCount = constant(big ? 14.f : 9.f);
    e.radialSpeed = constant(big ? 5.f : 3.5f);
    e.particle.lifeVariation = 30;
    e.particle.sizeVariation = 40;
    e.particle.uniformSize = 1;
    e.particle.sizes[5] = ramp(1.f, 18, 0.4f);
    e.particle.sizes[6] = ramp(1.f, 18, 0.4f);
    size(e, big ? 0.9f : 0.6f);
    colour(e, t, true);
    e.affectors = {gravity(0.15f), drag(0.96f, 2)};
    // A core flash that finishes with the burst.
    SEmitter flash = emitter(0, 1, 6, "flare.tga");
    flash.radialSpeed = constant(0.f);
    size(flash, big ? 2.4f : 1.6f);
    colour(flash, {255, 255, 255}, true);
    flash.particle.sizes[5] = ramp(0.5f, 6, 1.5f);
    flash.particle.sizes[6] = ramp(0.5f, 6, 1.5f);
    return {flash, e};
}

SEmitter sparks(const std::string& name, Tint t)
{
    SEmitter e = emitter(0, 1, 12, "spark.tga");
    e.particle.kind = 3;  // stretched along the motion
    e.block[10] = 50;
    e.burstCount = constant(has(name, "shoot") ? 6.f : 10.f);
    e.radialSpeed = constant(6.f);
    if (has(name, "shoot") || has(name, "spray") || has(name, "thunder")) {
        e.directedSpeed = constant(8.f);
        e.spreadAngle = constant(25);
        e.radialSpeed = constant(1.f);
    }
    e.particle.lifeVariation = 40;
    e.particle.sizes[0] = constant(0.15f);
    e.particle.sizes[1] = constant(0.6f);
    colour(e, t, true);
    e.affectors = {drag(0.93f, 1)};
    return e;
}

SEmitter tail(Tint t)
{
    SEmitter e = emitter(0, -1, 10, "trail.tga");
    e.particle.kind = 5;  // a ribbon facing the camera
    e.block[2] = 2;
    e.radialSpeed = constant(0.f);
    e.burstCount = constant(1.f);
    e.particle.sizes[0] = constant(0.5f);
    e.particle.sizes[5] = ramp(1.f, 10, 0.2f);
    colour(e, t, true);
    return e;
}

std::vector<SEmitter> glow(const std::string& name, Tint t, bool endless)
{
    SEmitter e = emitter(3, endless ? -1 : 8, 16, "ring.tga");
    e.block[1] = 1;  // the ring faces the camera
    e.radius = {constant(0.4f), constant(1.f), constant(0.4f)};
    e.radialSpeed = constant(0.6f);
    e.burstCount = constant(1.f);
    e.block[6] = endless ? 6 : 2;  // emit interval
    e.particle.sizes[5] = ramp(0.3f, 16, 2.2f);
    e.particle.sizes[6] = ramp(0.3f, 16, 2.2f);
    e.particle.spinVariationZ = 50;
    e.particle.sizes[4] = constant(0.03f);
    size(e, has(name, "big") ? 2.2f : 1.5f);
    colour(e, t, true);
    SEmitter core = emitter(0, endless ? -1 : 8, 12, "glow.tga");
    core.radialSpeed = constant(0.4f);
    core.burstCount = constant(2.f);
    size(core, 0.8f);
    colour(core, t, true);
    return {core, e};
}

SEmitter fireworks(Tint t)
{
    SEmitter rocket = emitter(0, 3, 14, "spark.tga");
    rocket.radialSpeed = constant(2.f);
    rocket.directedSpeed = constant(7.f);
    rocket.spreadAngle = constant(35);
    rocket.burstCount = constant(2.f);
    rocket.block[6] = 1;
    size(rocket, 0.4f);
    colour(rocket, {255, 250, 220}, false);
    rocket.affectors = {gravity(0.2f)};
    SEmitter shell = emitter(1, 1, 20, "glow.tga");
    shell.block[5] = 10;  // bursts late, at the top of the climb
    shell.radius = {constant(0.2f), constant(0.2f), constant(0.2f)};
    shell.radialSpeed = constant(4.f);
    shell.burstCount = constant(12.f);
    size(shell, 0.5f);
    colour(shell, t, true);
    shell.affectors = {gravity(0.1f)};
    rocket.children.push_back(shell);
    return rocket;
}

std::string effectFor(const std::string& fileName)
{
    const Tint t = tintOf(fileName);
    std::vector<SEmitter> emitters;
    switch (sampleKindOf(fileName)) {
    case ESampleKind::Burst: emitters = burst(fileName, t); break;
    case ESampleKind::Sparks: emitters = {sparks(fileName, t)}; break;
    case ESampleKind::Tail: emitters = {tail(t)}; break;
    case ESampleKind::Fireworks: emitters = {fireworks(t)}; break;
    case ESampleKind::Glow:
        emitters = glow(fileName, t, has(fileName, "mmenu") || has(fileName, "gravity") || has(fileName, "dizzy"));
        break;
    }
    beff::SFile f;
    for (SEmitter& e : emitters) {
        beff::SEntry entry;
        entry.emitter = std::move(e);
        f.entries.push_back(std::move(entry));
    }
    return writeBeff(f);
}

// Particle textures: soft white shapes, tinted by the particles' colours.
Canvas radial(int n, float power, float rim)
{
    Canvas c(n, n);
    const float r = float(n) * 0.5f;
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            const float d = std::hypot(float(x) + 0.5f - r, float(y) + 0.5f - r) / r;
            float a = d >= 1.f ? 0.f : std::pow(1.f - d, power);
            if (rim > 0.f)
                a = std::max(0.f, 1.f - std::fabs(d - rim) * 8.f) * (d < 1.f ? 1.f : 0.f);
            c.set(x, y, Rgba(255, 255, 255, uint8_t(std::lround(255.f * std::clamp(a, 0.f, 1.f)))));
        }
    return c;
}

Canvas trailTexture()
{
    Canvas c(32, 32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const float across = 1.f - std::fabs((float(x) + 0.5f) / 16.f - 1.f);
            c.set(x, y, Rgba(255, 255, 255, uint8_t(std::lround(255.f * across * across))));
        }
    return c;
}

Canvas flareTexture()
{
    Canvas c = radial(64, 3.f, 0.f);
    for (int i = 0; i < 64; ++i) {
        const float a = 1.f - std::fabs(float(i) - 31.5f) / 32.f;
        const uint8_t alpha = uint8_t(std::lround(200.f * a * a));
        c.blend(i, 31, Rgba(255, 255, 255, alpha));
        c.blend(i, 32, Rgba(255, 255, 255, alpha));
        c.blend(31, i, Rgba(255, 255, 255, alpha));
        c.blend(32, i, Rgba(255, 255, 255, alpha));
    }
    return c;
}

}  // namespace

ESampleKind sampleKindOf(const std::string& name)
{
    if (has(name, "fireworks"))
        return ESampleKind::Fireworks;
    if (has(name, "tail") || has(name, "trail") || has(name, "inchannel"))
        return ESampleKind::Tail;
    if (has(name, "spark") || has(name, "shoot") || has(name, "spray") || has(name, "thunder"))
        return ESampleKind::Sparks;
    if (has(name, "explode") || has(name, "destroy") || has(name, "dead") || has(name, "fall") ||
        has(name, "fire") || has(name, "transform"))
        return ESampleKind::Burst;
    return ESampleKind::Glow;
}

std::vector<std::string> sampleTextureNames()
{
    return {"SFX/spark.tga", "SFX/glow.tga", "SFX/ring.tga", "SFX/trail.tga", "SFX/flare.tga"};
}

std::vector<std::pair<std::string, std::string>> sampleEffectFiles()
{
    std::vector<std::pair<std::string, std::string>> files;
    std::set<std::string> seen;
    for (const char* path : g_chEffectFileName)
        if (seen.insert(path).second)
            files.emplace_back(path, effectFor(path));
    files.emplace_back("SFX/spark.tga", radial(16, 1.5f, 0.f).encode(".tga"));
    files.emplace_back("SFX/glow.tga", radial(64, 2.f, 0.f).encode(".tga"));
    files.emplace_back("SFX/ring.tga", radial(64, 1.f, 0.8f).encode(".tga"));
    files.emplace_back("SFX/trail.tga", trailTexture().encode(".tga"));
    files.emplace_back("SFX/flare.tga", flareTexture().encode(".tga"));
    return files;
}

}  // namespace formats::effects
