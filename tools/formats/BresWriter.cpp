#include "tools/formats/BresWriter.h"

#include "engine/collada/SColladaRecords.h"
#include "tools/formats/Bytes.h"

#include <cstddef>
#include <cstring>
#include <stdexcept>

namespace formats::bres {

using namespace pravik::collada;

namespace {

uint32_t align4(uint32_t v) { return (v + 3) & ~3u; }

}  // namespace

Writer::Writer()
{
    alloc(kRootSize);
    setVersion("0,0,0,779");
    u32(offsetof(SCollada, upAxis), 1);
}

uint32_t Writer::alloc(uint32_t size)
{
    const uint32_t at = uint32_t(m_data.size());
    m_data.append(align4(size), '\0');
    return at;
}

void Writer::u8(uint32_t at, uint8_t v) { m_data.at(at) = char(v); }
void Writer::u16(uint32_t at, uint16_t v)
{
    u8(at, uint8_t(v));
    u8(at + 1, uint8_t(v >> 8));
}
void Writer::u32(uint32_t at, uint32_t v)
{
    u16(at, uint16_t(v));
    u16(at + 2, uint16_t(v >> 16));
}
void Writer::f32(uint32_t at, float v)
{
    uint32_t bits;
    std::memcpy(&bits, &v, 4);
    u32(at, bits);
}
void Writer::bytes(uint32_t at, std::string_view b)
{
    if (at + b.size() > m_data.size()) throw std::out_of_range("bres: bytes past the record");
    std::memcpy(&m_data[at], b.data(), b.size());
}

uint32_t Writer::stringIndex(std::string_view text)
{
    auto it = m_stringIndex.find(text);
    if (it != m_stringIndex.end()) return it->second;
    m_strings.emplace_back(text);
    m_stringIndex.emplace(std::string(text), uint32_t(m_strings.size() - 1));
    return uint32_t(m_strings.size() - 1);
}

void Writer::setSlot(const Slot& slot)
{
    auto [it, added] = m_slotIndex.emplace(std::make_pair(slot.segment, slot.at), m_slots.size());
    if (added) m_slots.push_back(slot);
    else m_slots[it->second] = slot;
}

void Writer::ptr(uint32_t at, uint32_t target) { setSlot({Slot::Record, -1, at, target}); }

void Writer::str(uint32_t at, std::string_view text) { setSlot({Slot::String, -1, at, stringIndex(text)}); }

void Writer::vec(uint32_t at, uint32_t count, uint32_t target)
{
    u32(at, count);
    if (count) ptr(at + 4, target);
}

uint32_t Writer::newVec(uint32_t at, uint32_t count, uint32_t recordSize)
{
    if (!count) return 0;
    const uint32_t target = allocArray(count, recordSize);
    vec(at, count, target);
    return target;
}

void Writer::ptrToSegment(uint32_t at, uint32_t segment) { setSlot({Slot::Segment, -1, at, segment}); }

void Writer::address(uint32_t at, uint32_t value) { setSlot({Slot::Raw, -1, at, value}); }

uint32_t Writer::addSegment(uint32_t classMask, std::string payload, std::optional<uint32_t> fileOffset)
{
    m_segments.push_back({classMask, std::move(payload), fileOffset, 0});
    return uint32_t(m_segments.size() - 1);
}

void Writer::segmentPtr(uint32_t segment, uint32_t at, uint32_t target)
{
    setSlot({Slot::Record, int(segment), at, target});
}

void Writer::setVersion(std::string_view version)
{
    str(0, version);
}

std::string Writer::finish()
{
    m_relocationCount = 2 + uint32_t(m_slots.size());
    const uint32_t stringStart = 60 + 4 * m_relocationCount;
    std::vector<uint32_t> stringOffsets;
    Bytes strings;
    for (const std::string& s : m_strings) {
        stringOffsets.push_back(stringStart + uint32_t(strings.size()) + 4);
        strings.u32(uint32_t(s.size())).raw(s).u8(0);
        while (strings.size() % 4) strings.u8(0);
    }
    const uint32_t dependencyAt = stringStart + uint32_t(strings.size());
    if (m_dependency.empty()) {
        strings.u32(0);
    } else {
        strings.u32(uint32_t(m_dependency.size() + 1)).raw(m_dependency).u8(0);
        while (strings.size() % 4) strings.u8(0);
    }
    m_dataStart = stringStart + uint32_t(strings.size());
    m_streamStart = m_dataStart + uint32_t(m_data.size());

    // The streamed area: records, then each segment {mask, payload} at its place.
    Bytes streamed;
    if (!m_segments.empty()) {
        streamed.zeros(8 * m_segments.size());
        for (size_t i = 0; i < m_segments.size(); ++i) {
            Segment& s = m_segments[i];
            uint32_t here = m_streamStart + uint32_t(streamed.size());
            if (s.wanted) {
                if (*s.wanted < here) throw std::invalid_argument("bres: segment offset overlaps");
                streamed.zeros(*s.wanted - here);
                here = *s.wanted;
            }
            s.fileOffset = here;
            streamed.u32(s.classMask).raw(s.payload);
            while (streamed.size() % 4) streamed.u8(0);
            const uint32_t size = m_streamStart + uint32_t(streamed.size()) - here;
            streamed.patch32(8 * i, size);
            streamed.patch32(8 * i + 4, here);
        }
    }
    const uint32_t total = m_streamStart + uint32_t(streamed.size()) + uint32_t(m_trailing.size());

    auto address = [&](const Slot& slot) -> uint32_t {
        switch (slot.kind) {
        case Slot::Record: return m_base + m_dataStart + slot.target;
        case Slot::String: return m_base + stringOffsets.at(slot.target);
        case Slot::Segment: return m_base + m_segments.at(slot.target).fileOffset;
        case Slot::Raw: return slot.target;
        }
        return 0;
    };
    std::string data = m_data;
    std::vector<uint32_t> table{m_base + 0x18, m_base + 0x20};
    for (const Slot& slot : m_slots) {
        const uint32_t value = address(slot);
        if (slot.segment < 0) {
            for (int b = 0; b < 4; ++b) data.at(slot.at + uint32_t(b)) = char((value >> (8 * b)) & 0xff);
            table.push_back(m_base + m_dataStart + slot.at);
        } else {
            const Segment& s = m_segments.at(size_t(slot.segment));
            const uint32_t fileAt = s.fileOffset + 4 + slot.at;
            streamed.patch32(fileAt - m_streamStart, value);
            table.push_back(m_base + fileAt);
        }
    }

    Bytes out;
    out.tag("BRES").u16(0).u16(m_flags).u32(60).u32(total).u32(m_relocationCount).u32(m_base);
    out.u32(60).u32(stringStart).u32(m_base + m_dataStart).u32(dependencyAt).u32(0);
    out.u32(uint32_t(streamed.size())).u32(uint32_t(m_segments.size())).u32(m_separateSegments ? 1 : 0);
    out.u32(uint32_t(m_trailing.size()));
    for (uint32_t entry : table) out.u32(entry);
    out.raw(strings.data).raw(data).raw(streamed.data).raw(m_trailing);
    return out.data;
}

std::string minimalScene() { return Writer().finish(); }

namespace {

uint32_t writeNodes(Writer& w, uint32_t vecAt, const std::vector<SNodeSpec>& nodes, std::vector<uint32_t>& out)
{
    const uint32_t first = w.newVec(vecAt, uint32_t(nodes.size()), sizeof(SNode));
    std::vector<uint32_t> mine;
    for (size_t i = 0; i < nodes.size(); ++i) {
        const uint32_t n = first + uint32_t(i * sizeof(SNode));
        mine.push_back(n);
        w.str(n + offsetof(SNode, id), nodes[i].id);
        w.str(n + offsetof(SNode, name), nodes[i].id);
        w.str(n + offsetof(SNode, scopeId), "");
        w.f32(n + offsetof(SNode, rotation) + 12, 1.f);
        for (int k = 0; k < 3; ++k) w.f32(n + offsetof(SNode, scale) + 4 * uint32_t(k), 1.f);
        w.u32(n + offsetof(SNode, visible), 1);
    }
    for (size_t i = 0; i < nodes.size(); ++i) {
        out.push_back(mine[i]);
        writeNodes(w, mine[i] + offsetof(SNode, children), nodes[i].children, out);
    }
    return first;
}

}  // namespace

std::vector<uint32_t> addVisualScene(Writer& w, const std::string& sceneId, const std::vector<SNodeSpec>& nodes)
{
    const uint32_t scene = w.newVec(offsetof(SCollada, visualScenes), 1, sizeof(SVisualScene));
    w.str(scene + offsetof(SVisualScene, id), sceneId);
    w.str(scene + offsetof(SVisualScene, name), sceneId);
    std::vector<uint32_t> out;
    writeNodes(w, scene + offsetof(SVisualScene, nodes), nodes, out);
    const uint32_t entry = w.newVec(offsetof(SCollada, scene), 1, sizeof(SInstanceEntry));
    w.u32(entry, EIK_VISUAL_SCENE);
    const uint32_t instance = w.alloc(sizeof(SInstanceUrl));
    w.str(instance + offsetof(SInstanceUrl, url), "#" + sceneId);
    w.ptr(entry + 4, instance);
    return out;
}

std::string effectScene()
{
    Writer w;
    addVisualScene(w, "Scene01", {{"Dummy01", {}}});
    return w.finish();
}

}  // namespace formats::bres
