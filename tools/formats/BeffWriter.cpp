#include "tools/formats/BeffWriter.h"

#include "tools/formats/Bytes.h"

#include <cstring>

namespace formats::effects {
namespace {

void f32(Bytes& b, float v)
{
    std::uint32_t u;
    std::memcpy(&u, &v, 4);
    b.u32(u);
}
void value(Bytes& b, int v) { b.u32(std::uint32_t(v)); }
void value(Bytes& b, float v) { f32(b, v); }
void value(Bytes& b, const beff::Vec3& v)
{
    f32(b, v.X);
    f32(b, v.Y);
    f32(b, v.Z);
}
void string(Bytes& b, const std::string& s)
{
    if (s.empty()) {
        b.u32(0);
        return;
    }
    b.u32(std::uint32_t(s.size() + 1)).raw(s).u8(0);
}
template <typename T>
void track(Bytes& b, const beff::STrack<T>& t)
{
    b.u32(std::uint32_t(t.keys.size())).u32(t.loop ? 1 : 0);
    for (const auto& k : t.keys) {
        b.u32(std::uint32_t(k.first));
        value(b, k.second);
    }
}

void particle(Bytes& b, const beff::SParticle& p)
{
    for (int v : {p.kind, p.life, p.lifeVariation, p.sizeVariation, p.uniformSize})
        b.u32(std::uint32_t(v));
    f32(b, p.angleX);
    b.u32(std::uint32_t(p.angleVariationX));
    f32(b, p.angleY);
    b.u32(std::uint32_t(p.angleVariationY));
    f32(b, p.angleZ);
    for (int v : {p.angleVariationZ, p.spinVariationX, p.spinVariationY, p.spinVariationZ, p.reserved, p.blend,
                  p.anchorX, p.anchorY, p.uvRotation})
        b.u32(std::uint32_t(v));
    b.s16(p.flipU).s16(p.flipV);
    string(b, p.texture);
    for (const auto& t : p.colour)
        track(b, t);
    for (const auto& t : p.sizes)
        track(b, t);
}

void affector(Bytes& b, const beff::SAffector& a)
{
    b.u32(std::uint32_t(a.id)).u32(std::uint32_t(a.type));
    switch (a.type) {
    case 0: track(b, a.strength); track(b, a.direction); break;
    case 1: track(b, a.strength); break;
    case 2:
        f32(b, a.strengths[0]);
        f32(b, a.strengths[1]);
        f32(b, a.strengths[2]);
        b.u32(std::uint32_t(a.interval));
        break;
    case 3: track(b, a.strength); track(b, a.direction); b.u32(std::uint32_t(a.mode)); break;
    default: break;  // no payload: the reader refuses such a file
    }
}

void emitter(Bytes& b, const beff::SEmitter& e)
{
    string(b, e.nodeId);
    b.u32(std::uint32_t(e.children.size()));
    for (std::int32_t v : e.block)
        b.u32(std::uint32_t(v));
    for (const auto& t : e.radius)
        track(b, t);
    track(b, e.shellThickness);
    for (const auto& t : e.rotation)
        track(b, t);
    for (const auto& t : e.offset)
        track(b, t);
    track(b, e.burstCount);
    track(b, e.radialSpeed);
    track(b, e.directedSpeed);
    track(b, e.spreadAngle);
    track(b, e.direction);
    particle(b, e.particle);
    b.u32(std::uint32_t(e.affectors.size()));
    for (const auto& a : e.affectors)
        affector(b, a);
    for (const auto& child : e.children)
        emitter(b, child);
}

}  // namespace

std::string writeEmitter(const beff::SEmitter& e)
{
    Bytes b;
    emitter(b, e);
    return b.data;
}

std::string writeBeff(const beff::SFile& file)
{
    Bytes b;
    b.raw(std::string_view(file.magic, 4)).u32(std::uint32_t(file.version)).u32(std::uint32_t(file.entries.size()));
    for (const auto& entry : file.entries) {
        b.u32(entry.kind);
        if (entry.kind == 0)
            emitter(b, entry.emitter);
        else
            string(b, entry.scenePath);
    }
    return b.data;
}

beff::SFile minimalEffect()
{
    beff::SFile f;
    beff::SEntry entry;
    beff::SEmitter& e = entry.emitter;
    e.block = {0, 0, 2, 0, 30, 0, 0, 0, 0, 0, 0, 0};
    e.burstCount = constant(5.f);
    e.radialSpeed = constant(50.f);
    e.particle.kind = 0;
    e.particle.life = 20;
    e.particle.blend = 1;
    e.particle.texture = "spark.tga";
    e.particle.sizes[0] = constant(8.f);
    e.particle.sizes[1] = constant(8.f);
    f.entries.push_back(entry);
    return f;
}

}  // namespace formats::effects
