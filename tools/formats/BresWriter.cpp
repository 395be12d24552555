#include "tools/formats/BresWriter.h"

#include "engine/collada/SColladaRecords.h"
#include "tools/formats/Bytes.h"

#include <cstddef>
#include <cstring>
#include <stdexcept>
#include <type_traits>

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


namespace {

void writeValue(Writer& w, uint32_t at, const SParamSpec& p)
{
    if (isSamplerType(p.type)) {
        const uint32_t elements = w.allocArray(uint32_t(p.images.size()), 4);
        for (size_t e = 0; e < p.images.size(); ++e) {
            const uint32_t word = w.alloc(4);
            w.s32(word, p.images[e]);
            w.ptr(elements + 4 * uint32_t(e), word);
        }
        if (!p.images.empty()) w.ptr(at, elements);
    } else if (p.type == EPT_LIGHT || p.type == EPT_URL) {
        const uint32_t elements = w.allocArray(uint32_t(p.texts.size()), 4);
        for (size_t e = 0; e < p.texts.size(); ++e) w.str(elements + 4 * uint32_t(e), p.texts[e]);
        if (!p.texts.empty()) w.ptr(at, elements);
    } else if (p.type == EPT_TECHNIQUE) {
        const uint32_t words = w.alloc(8);
        w.str(words + 4, p.texts.empty() ? "" : p.texts[0]);
        w.ptr(at, words);
    } else if (!p.bytes.empty()) {
        const uint32_t data = w.alloc(uint32_t(p.bytes.size()));
        w.bytes(data, p.bytes);
        w.ptr(at, data);
    }
}

uint32_t writeDimensions(Writer& w, uint32_t elements)
{
    const uint32_t dims = w.alloc(4);
    w.u32(dims, elements);
    return dims;
}

// A vector of Record at the slot at, one per spec; write fills each record from its offset.
template <class Record, class Spec, class Write>
void writeRecords(Writer& w, uint32_t at, const std::vector<Spec>& specs, Write&& write)
{
    const uint32_t first = w.newVec(at, uint32_t(specs.size()), sizeof(Record));
    for (size_t i = 0; i < specs.size(); ++i)
        write(first + uint32_t(i * sizeof(Record)), specs[i]);
}

// Effect and material parameters share their layout but for the effect's two extra words.
template <class Record>
void writeParams(Writer& w, uint32_t at, const std::vector<SParamSpec>& params)
{
    writeRecords<Record>(w, at, params, [&w](uint32_t pat, const SParamSpec& p) {
        w.str(pat + offsetof(Record, name), p.name);
        w.u32(pat + offsetof(Record, type), p.type);
        if constexpr (std::is_same_v<Record, SNewParam>) {
            w.u32(pat + offsetof(Record, parameterType), p.parameterType);
            w.u32(pat + offsetof(Record, dimensionCount), 1);
        }
        w.ptr(pat + offsetof(Record, dimensions), writeDimensions(w, p.elements));
        writeValue(w, pat + offsetof(Record, value), p);
    });
}

}  // namespace

void addEffects(Writer& w, const std::vector<SEffectSpec>& effects)
{
    writeRecords<SEffect>(w, offsetof(SCollada, effects), effects, [&w](uint32_t at, const SEffectSpec& e) {
        w.str(at + offsetof(SEffect, id), e.id);
        const uint32_t profile = at + offsetof(SEffect, profile0);
        writeRecords<STechnique>(w, profile + offsetof(SProfile0, techniques), e.techniques,
                                 [&w](uint32_t tat, const STechniqueSpec& ts) {
            w.str(tat + offsetof(STechnique, name), ts.name);
            writeRecords<SPass>(w, tat + offsetof(STechnique, passes), ts.passes, [&w](uint32_t pat, const SPassSpec& ps) {
                w.u32(pat + offsetof(SPass, vertexState), ps.vertexState);
                w.bytes(pat + offsetof(SPass, fragmentState), ps.fragmentState.substr(0, 68));
                w.u8(pat + offsetof(SPass, blendFactors), ps.blendFactors);
                w.u8(pat + offsetof(SPass, stencilRef), ps.stencilRef);
                w.u8(pat + offsetof(SPass, stencilMask), ps.stencilMask);
                w.u32(pat + offsetof(SPass, wordA), ps.wordA);
                w.u32(pat + offsetof(SPass, wordB), ps.wordB);
                w.u32(pat + offsetof(SPass, stencilEnable), ps.stencilEnable);
                w.u32(pat + offsetof(SPass, blendColor), ps.blendColor);
                w.f32(pat + offsetof(SPass, lineWidth), ps.lineWidth);
                w.f32(pat + offsetof(SPass, pointSize), ps.pointSize);
                w.f32(pat + offsetof(SPass, polygonOffsetFactor), ps.polygonOffsetFactor);
                w.f32(pat + offsetof(SPass, polygonOffsetUnits), ps.polygonOffsetUnits);
                w.f32(pat + offsetof(SPass, coverage), ps.coverage);
                writeRecords<SBind>(w, pat + offsetof(SPass, binds), ps.binds, [&w](uint32_t bat, const SBindSpec& bs) {
                    w.u16(bat + offsetof(SBind, parameterType), bs.parameterType);
                    w.u8(bat + offsetof(SBind, global), bs.global ? 1 : 0);
                    w.u8(bat + offsetof(SBind, stage), bs.stage);
                    w.u16(bat + offsetof(SBind, occurrence), bs.occurrence);
                    if (bs.global) w.str(bat + offsetof(SBind, target), bs.globalName);
                    else w.s32(bat + offsetof(SBind, target), bs.param);
                });
            });
        });
        writeParams<SNewParam>(w, profile + offsetof(SProfile0, params), e.params);
    });
}

void addMaterials(Writer& w, const std::vector<SMaterialSpec>& materials)
{
    writeRecords<SMaterial>(w, offsetof(SCollada, materials), materials, [&w](uint32_t at, const SMaterialSpec& m) {
        w.str(at + offsetof(SMaterial, id), m.id);
        if (!m.externalFile.empty()) w.str(at + offsetof(SMaterial, externalFile), m.externalFile);
        w.str(at + offsetof(SMaterial, effectUrl), m.effectUrl);
        w.s32(at + offsetof(SMaterial, effect), m.effect);
        writeParams<SMaterialParam>(w, at + offsetof(SMaterial, params), m.params);
    });
}

void addImages(Writer& w, const std::vector<SImageSpec>& images)
{
    writeRecords<SImage>(w, offsetof(SCollada, images), images, [&w](uint32_t at, const SImageSpec& image) {
        w.str(at + offsetof(SImage, id), image.id);
        w.str(at + offsetof(SImage, fileName), image.fileName);
        w.u32(at + offsetof(SImage, kind), image.kind);
    });
}

void addGeometries(Writer& w, const std::vector<SGeometrySpec>& geometries)
{
    writeRecords<SGeometry>(w, offsetof(SCollada, geometries), geometries, [&w](uint32_t at, const SGeometrySpec& g) {
        w.str(at + offsetof(SGeometry, id), g.id);
        w.u32(at + offsetof(SGeometry, noMesh), g.noMesh ? 1 : 0);
        const uint32_t mesh = w.alloc(sizeof(SMesh));
        w.ptr(at + offsetof(SGeometry, mesh), mesh);
        w.u32(mesh + offsetof(SMesh, layout), 1);
        w.u32(mesh + offsetof(SMesh, vertexCount), g.vertexCount);
        for (int k = 0; k < 6; ++k) w.f32(mesh + offsetof(SMesh, box) + 4 * uint32_t(k), g.box[k]);
        const uint32_t block = w.alloc(sizeof(SInterleavedBlock));
        w.ptr(mesh + offsetof(SMesh, sources), block);
        w.u32(block + offsetof(SInterleavedBlock, stride), g.stride);
        const uint32_t n = uint32_t(g.attributes.size());
        const uint32_t offsets = w.allocArray(n, 4), types = w.allocArray(n, 4), counts = w.allocArray(n, 4);
        const uint32_t dequantisation = w.allocArray(n, 4);
        for (uint32_t a = 0; a < n; ++a) {
            w.u32(offsets + 4 * a, g.attributes[a].offset);
            w.u32(types + 4 * a, g.attributes[a].valueType);
            w.u32(counts + 4 * a, g.attributes[a].components);
            if (g.attributes[a].scaleOffset.size() == 6) {
                const uint32_t six = w.allocArray(6, 4);
                for (uint32_t k = 0; k < 6; ++k) w.f32(six + 4 * k, g.attributes[a].scaleOffset[k]);
                w.ptr(dequantisation + 4 * a, six);
            }
        }
        if (n) {
            w.ptr(block + offsetof(SInterleavedBlock, offsets), offsets);
            w.ptr(block + offsetof(SInterleavedBlock, valueTypes), types);
            w.ptr(block + offsetof(SInterleavedBlock, componentCounts), counts);
            w.ptr(block + offsetof(SInterleavedBlock, dequantisation), dequantisation);
        }
        if (!g.vertices.empty()) {
            const uint32_t data = w.alloc(uint32_t(g.vertices.size()));
            w.bytes(data, g.vertices);
            w.ptr(block + offsetof(SInterleavedBlock, data), data);
        }
        writeRecords<SMeshBuffer>(w, mesh + offsetof(SMesh, buffers), g.buffers, [&w](uint32_t bat, const SMeshBufferSpec& bs) {
            w.u32(bat + offsetof(SMeshBuffer, kind), bs.kind);
            std::string attributes(18, char(-1));
            attributes[0] = char(bs.position);
            attributes[1] = char(bs.normal);
            attributes[2] = char(bs.color0);
            attributes[3] = char(bs.color1);
            for (int t = 0; t < 4; ++t) attributes[size_t(4 + t)] = char(bs.texCoords[t]);
            w.bytes(bat + offsetof(SMeshBuffer, position), attributes);
            w.u32(bat + offsetof(SMeshBuffer, firstVertex), bs.firstVertex);
            w.u32(bat + offsetof(SMeshBuffer, highestIndex), bs.highestIndex);
            w.u32(bat + offsetof(SMeshBuffer, indexCount), uint32_t(bs.indices.size()));
            const bool wide = bs.highestIndex >= 65536;
            const uint32_t indices = w.alloc(uint32_t(bs.indices.size()) * (wide ? 4 : 2));
            for (size_t k = 0; k < bs.indices.size(); ++k) {
                if (wide) w.u32(indices + 4 * uint32_t(k), bs.indices[k]);
                else w.u16(indices + 2 * uint32_t(k), uint16_t(bs.indices[k]));
            }
            if (!bs.indices.empty()) w.ptr(bat + offsetof(SMeshBuffer, indices), indices);
        });
    });
}

void addGeometryInstance(Writer& w, uint32_t node, const std::string& geometryId, const std::vector<int32_t>& materials,
                         int32_t renderingLayer)
{
    const uint32_t entry = w.newVec(node + offsetof(SNode, instances), 1, sizeof(SInstanceEntry));
    w.u32(entry, EIK_GEOMETRY);
    const uint32_t instance = w.alloc(sizeof(SInstance));
    w.ptr(entry + 4, instance);
    w.str(instance + offsetof(SInstance, url), "#" + geometryId);
    w.s32(instance + offsetof(SInstance, renderingLayer), renderingLayer);
    const uint32_t bindings =
        w.newVec(instance + offsetof(SInstance, materials), uint32_t(materials.size()), sizeof(SInstanceMaterial));
    for (size_t i = 0; i < materials.size(); ++i)
        w.s32(bindings + uint32_t(i * sizeof(SInstanceMaterial)) + offsetof(SInstanceMaterial, materialIndex),
              materials[i]);
}

}  // namespace formats::bres
