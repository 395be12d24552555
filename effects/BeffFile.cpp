#include "effects/BeffFile.h"
#include "engine/core/LittleEndian.h"

#include <cstring>

namespace beff {
namespace {

// Minimal sizes used to cap counts by the bytes that remain.
constexpr std::size_t kMinTrack = 8;
constexpr std::size_t kMinParticle = 80 + 4 + 11 * kMinTrack;
constexpr std::size_t kMinEmitter = 4 + 4 + 48 + 15 * kMinTrack + kMinParticle + 4;
constexpr std::size_t kMinAffector = 8 + kMinTrack;  // an acceleration with no keys

class Cursor {
public:
    Cursor(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}

    std::size_t offset() const { return m_pos; }
    std::size_t remaining() const { return m_size - m_pos; }
    bool failed() const { return !m_why.empty(); }
    const std::string& why() const { return m_why; }
    std::size_t failedAt() const { return m_failedAt; }

    bool fail(const std::string& why, std::size_t at)
    {
        if (m_why.empty()) {
            m_why = why;
            m_failedAt = at;
        }
        return false;
    }
    bool u32(std::uint32_t& v)
    {
        if (remaining() < 4)
            return fail("truncated", m_pos);
        v = pravik::core::le32(m_data + m_pos);
        m_pos += 4;
        return true;
    }
    bool i32(std::int32_t& v)
    {
        std::uint32_t u;
        if (!u32(u))
            return false;
        v = std::int32_t(u);
        return true;
    }
    bool i16(std::int16_t& v)
    {
        if (remaining() < 2)
            return fail("truncated", m_pos);
        v = std::int16_t(pravik::core::le16(m_data + m_pos));
        m_pos += 2;
        return true;
    }
    bool f32(float& v)
    {
        std::uint32_t u;
        if (!u32(u))
            return false;
        std::memcpy(&v, &u, 4);
        return true;
    }
    bool value(int& v) { return i32(v); }
    bool value(float& v) { return f32(v); }
    bool value(Vec3& v) { return f32(v.X) && f32(v.Y) && f32(v.Z); }
    // n bytes including the zero; keeps at most buffer - 1 characters.
    bool string(std::string& s, std::size_t buffer, const char* what)
    {
        const std::size_t at = m_pos;
        std::uint32_t n;
        if (!u32(n))
            return false;
        if (n > remaining())
            return fail(std::string(what) + " runs past the end", at);
        const std::size_t keep = n < buffer ? n : buffer - 1;
        const char* text = reinterpret_cast<const char*>(m_data + m_pos);
        s.assign(text, strnlen(text, keep));
        m_pos += n;
        return true;
    }
    // A count read from the file that must fit in what remains at minSize bytes an item.
    bool count(std::int32_t& n, std::size_t minSize, const char* what)
    {
        const std::size_t at = m_pos;
        if (!i32(n))
            return false;
        if (n < 0)
            return fail(std::string(what) + " count " + std::to_string(n) + " is negative", at);
        if (std::size_t(n) > remaining() / minSize)
            return fail(std::string(what) + " count " + std::to_string(n) + " exceeds the data", at);
        return true;
    }
    bool frame(std::int32_t v, const char* what, std::size_t at)
    {
        if (v < -kFrameLimit || v > kFrameLimit)
            return fail(std::string(what) + " " + std::to_string(v) + " out of range", at);
        return true;
    }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
    std::string m_why;
    std::size_t m_failedAt = 0;
};

template <typename T>
constexpr std::size_t valueSize()
{
    return sizeof(T) == 12 ? 12 : 4;
}

template <typename T>
bool track(Cursor& c, STrack<T>& t)
{
    std::int32_t k, loop;
    if (!c.count(k, 4 + valueSize<T>(), "key") || !c.i32(loop))
        return false;
    t.loop = loop > 0;
    t.keys.resize(std::size_t(k));
    for (auto& key : t.keys) {
        const std::size_t at = c.offset();
        if (!c.i32(key.first) || !c.frame(key.first, "key frame", at) || !c.value(key.second))
            return false;
    }
    return true;
}

bool particle(Cursor& c, SParticle& p)
{
    const std::size_t at = c.offset();
    if (!(c.i32(p.kind) && c.i32(p.life) && c.i32(p.lifeVariation) && c.i32(p.sizeVariation) &&
          c.i32(p.uniformSize) && c.f32(p.angleX) && c.i32(p.angleVariationX) && c.f32(p.angleY) &&
          c.i32(p.angleVariationY) && c.f32(p.angleZ) && c.i32(p.angleVariationZ) && c.i32(p.spinVariationX) &&
          c.i32(p.spinVariationY) && c.i32(p.spinVariationZ) && c.i32(p.reserved) && c.i32(p.blend) &&
          c.i32(p.anchorX) && c.i32(p.anchorY) && c.i32(p.uvRotation) && c.i16(p.flipU) && c.i16(p.flipV)))
        return false;
    if (!c.frame(p.life, "particle life", at + 4))
        return false;
    if (!c.string(p.texture, kPathBuffer, "texture name"))
        return false;
    for (auto& t : p.colour)
        if (!track(c, t))
            return false;
    for (auto& t : p.sizes)
        if (!track(c, t))
            return false;
    return true;
}

bool affector(Cursor& c, SAffector& a)
{
    const std::size_t at = c.offset();
    if (!c.i32(a.id) || !c.i32(a.type))
        return false;
    switch (a.type) {
    case 0: return track(c, a.strength) && track(c, a.direction);
    case 1: return track(c, a.strength);
    case 2: {
        const std::size_t intervalAt = c.offset() + 12;
        return c.f32(a.strengths[0]) && c.f32(a.strengths[1]) && c.f32(a.strengths[2]) && c.i32(a.interval) &&
               c.frame(a.interval, "random interval", intervalAt);
    }
    case 3: return track(c, a.strength) && track(c, a.direction) && c.i32(a.mode);
    default: return c.fail("affector type " + std::to_string(a.type) + " unknown", at + 4);
    }
}

bool emitter(Cursor& c, SEmitter& e, int depth)
{
    if (depth > kMaxDepth)
        return c.fail("emitters nest deeper than " + std::to_string(kMaxDepth), c.offset());
    std::int32_t children;
    if (!c.string(e.nodeId, kNodeIdBuffer, "node id") || !c.count(children, kMinEmitter, "child"))
        return false;
    const std::size_t blockAt = c.offset();
    for (auto& v : e.block)
        if (!c.i32(v))
            return false;
    if (!c.frame(e.block[4], "lifetime", blockAt + 16) || !c.frame(e.block[5], "start delay", blockAt + 20) ||
        !c.frame(e.block[6], "emit interval", blockAt + 24))
        return false;
    for (auto& t : e.radius)
        if (!track(c, t))
            return false;
    if (!track(c, e.shellThickness))
        return false;
    for (auto& t : e.rotation)
        if (!track(c, t))
            return false;
    for (auto& t : e.offset)
        if (!track(c, t))
            return false;
    if (!(track(c, e.burstCount) && track(c, e.radialSpeed) && track(c, e.directedSpeed) &&
          track(c, e.spreadAngle) && track(c, e.direction) && particle(c, e.particle)))
        return false;
    std::int32_t affectors;
    if (!c.count(affectors, kMinAffector, "affector"))
        return false;
    e.affectors.resize(std::size_t(affectors));
    for (auto& a : e.affectors)
        if (!affector(c, a))
            return false;
    e.children.resize(std::size_t(children));
    for (auto& child : e.children)
        if (!emitter(c, child, depth + 1))
            return false;
    return true;
}

}  // namespace

bool parse(const std::uint8_t* data, std::size_t size, SFile& out, std::string& error)
{
    out = SFile();
    if (!data || size < 12) {
        error = "shorter than its 12-byte header";
        return false;
    }
    std::memcpy(out.magic, data, 4);
    Cursor c(data + 4, size - 4);  // offsets below are reported from the file's start
    std::int32_t entries = 0;
    c.i32(out.version);
    if (out.version != kVersion) {
        error = "version " + std::to_string(out.version) + " is not 3";
        return false;
    }
    bool ok = c.count(entries, 4, "entry");
    if (ok) {
        out.entries.resize(std::size_t(entries));
        for (std::size_t i = 0; ok && i < out.entries.size(); ++i) {
            SEntry& e = out.entries[i];
            ok = c.u32(e.kind) &&
                 (e.kind == 0 ? emitter(c, e.emitter, 1) : c.string(e.scenePath, kPathBuffer, "scene path"));
            if (!ok)
                error = "entry " + std::to_string(i) + ": ";
        }
    }
    if (ok)
        return true;
    error += c.why() + " at byte " + std::to_string(c.failedAt() + 4);
    out.entries.clear();
    return false;
}

}  // namespace beff
