// Effect files (".beff"): the parser, and every field of every entry, emitter (children to the
// parser's depth), track key and affector it answers with.

#include "fuzz/FuzzTarget.h"

#include "effects/BeffFile.h"
#include "tools/formats/BeffWriter.h"

#include <cstdlib>
#include <cstring>

namespace {

uint32_t use(float v) { uint32_t u; std::memcpy(&u, &v, 4); return u; }
uint32_t use(int v) { return uint32_t(v); }
uint32_t use(const beff::Vec3& v) { return use(v.X) ^ use(v.Y) ^ use(v.Z); }

template <typename T>
uint32_t use(const beff::STrack<T>& t) {
    uint32_t s = t.loop;
    for (const auto& [frame, value] : t.keys) {
        if (frame < -beff::kFrameLimit || frame > beff::kFrameLimit) std::abort();
        s = s * 31 + uint32_t(frame) + use(value);
    }
    return s;
}

uint32_t use(const beff::SEmitter& e, int depth) {
    if (depth >= beff::kMaxDepth) std::abort();  // deeper than the parser promises
    uint32_t s = fuzz::sum(e.nodeId.data(), e.nodeId.size()) + fuzz::sum(e.block.data(), sizeof e.block);
    for (const auto& t : e.radius) s += use(t);
    for (const auto& t : e.rotation) s += use(t);
    for (const auto& t : e.offset) s += use(t);
    s += use(e.shellThickness) + use(e.burstCount) + use(e.radialSpeed) + use(e.directedSpeed) + use(e.spreadAngle) +
         use(e.direction);
    const beff::SParticle& p = e.particle;
    s += fuzz::sum(p.texture.data(), p.texture.size()) + uint32_t(p.kind) + uint32_t(p.life) + uint32_t(p.blend) + uint32_t(p.flipU) + uint32_t(p.flipV);
    for (const auto& t : p.colour) s += use(t);
    for (const auto& t : p.sizes) s += use(t);
    for (const beff::SAffector& a : e.affectors) {
        if (a.type < 0 || a.type > 3) std::abort();  // unknown types are refused
        s += uint32_t(a.id) + uint32_t(a.type) + uint32_t(a.interval) + uint32_t(a.mode) + use(a.strength) + use(a.direction) +
             use(a.strengths[0]) + use(a.strengths[2]);
    }
    for (const beff::SEmitter& child : e.children) s += use(child, depth + 1);
    return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    beff::SFile file;
    std::string error;
    if (!beff::parse(data, size, file, error)) return 0;
    uint32_t s = uint32_t(file.version);
    for (const beff::SEntry& entry : file.entries)
        s += entry.kind ? fuzz::sum(entry.scenePath.data(), entry.scenePath.size()) : use(entry.emitter, 0);
    fuzz::sum(&s, sizeof s);
    return 0;
}

std::vector<std::string> fuzz::seeds() {
    namespace fe = formats::effects;
    beff::SFile full = fe::minimalEffect();
    beff::SEmitter& e = full.entries[0].emitter;
    e.nodeId = "Dummy01";
    e.direction.keys = {{0, {0, 1, 0}}, {10, {1, 0, 0}}};
    e.particle.colour[3] = fe::ramp(255, 20, 0);
    for (int type = 0; type < 4; ++type) {
        beff::SAffector a;
        a.type = type;
        a.strength = fe::constant(2.f);
        a.direction = fe::constant(beff::Vec3(0, -1, 0));
        a.interval = 3;
        e.affectors.push_back(a);
    }
    e.children.push_back(fe::minimalEffect().entries[0].emitter);
    beff::SEntry scene;
    scene.kind = 1;
    scene.scenePath = "SFX/scene.bdae";
    full.entries.push_back(scene);
    return {fe::writeBeff(fe::minimalEffect()), fe::writeBeff(full)};
}
