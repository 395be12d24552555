// Scene files (".bdae"): the "BRES" resource image writer. Records are laid out after the root
// record (SCollada, 188 bytes at data offset 0) in the order they are allocated, strings go to
// the string table, and every pointer slot set through ptr*() is listed in the relocation table
// (entry 0 the header's table field, entry 1 header 0x20, then the slots in the order set).
// A null pointer is a 0 that is not listed. Optional: streamed segments, a dependency name,
// the base of a dependency image, trailing bytes.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace formats::bres {

class Writer {
public:
    static constexpr uint32_t kRootSize = 0xBC;

    Writer();  // the root record exists, version "0,0,0,779", up axis Y

    // Records: zeroed, 4-aligned, at a data offset (0 is the root).
    uint32_t alloc(uint32_t size);
    uint32_t allocArray(uint32_t count, uint32_t recordSize) { return alloc(count * recordSize); }
    uint32_t dataSize() const { return uint32_t(m_data.size()); }

    void u8(uint32_t at, uint8_t v);
    void u16(uint32_t at, uint16_t v);
    void u32(uint32_t at, uint32_t v);
    void s32(uint32_t at, int32_t v) { u32(at, uint32_t(v)); }
    void f32(uint32_t at, float v);
    void bytes(uint32_t at, std::string_view b);

    // Pointer slots at data offset `at`.
    void ptr(uint32_t at, uint32_t target);            // to a record
    void str(uint32_t at, std::string_view text);      // to a string (shared by equal texts)
    void vec(uint32_t at, uint32_t count, uint32_t target);  // {count, pointer}; null when count is 0
    // {count, pointer} to new zeroed records, returned (0 when count is 0).
    uint32_t newVec(uint32_t at, uint32_t count, uint32_t recordSize);
    void ptrToSegment(uint32_t at, uint32_t segment);  // to the segment's first byte (its class mask)
    void address(uint32_t at, uint32_t value);         // a listed slot holding a raw address (another image's)

    // Streamed segments: {class mask, payload}; fileOffset places the segment (padding before it).
    uint32_t addSegment(uint32_t classMask, std::string payload, std::optional<uint32_t> fileOffset = {});
    void segmentPtr(uint32_t segment, uint32_t at, uint32_t target);  // a slot inside a payload, to a record
    void setSeparateSegments(bool separate) { m_separateSegments = separate; }

    void setVersion(std::string_view version);
    void setDependency(std::string_view name) { m_dependency = name; }
    void setBase(uint32_t base) { m_base = base; }  // 0x80000000 for a dependency image
    void setFlags(uint16_t flags) { m_flags = flags; }
    void setTrailing(std::string bytes) { m_trailing = std::move(bytes); }

    // The file. Offsets of the last finish(), for fixtures that corrupt a file on purpose:
    std::string finish();
    uint32_t fileOffsetOfData(uint32_t at) const { return m_dataStart + at; }
    uint32_t stringTableStart() const { return 60 + 4 * m_relocationCount; }
    uint32_t dataStart() const { return m_dataStart; }
    uint32_t streamStart() const { return m_streamStart; }
    uint32_t relocationCount() const { return m_relocationCount; }
    uint32_t segmentFileOffset(uint32_t segment) const { return m_segments.at(segment).fileOffset; }

private:
    struct Slot {
        enum Kind { Record, String, Segment, Raw } kind;
        int segment;      // -1: the slot is in the data; else a slot inside that segment's payload
        uint32_t at;
        uint32_t target;  // data offset, string index or segment index
    };
    struct Segment {
        uint32_t classMask;
        std::string payload;
        std::optional<uint32_t> wanted;
        uint32_t fileOffset = 0;
    };
    uint32_t stringIndex(std::string_view text);
    void setSlot(const Slot& slot);  // a slot set again is replaced, not listed twice

    std::string m_data;
    std::vector<std::string> m_strings;
    std::vector<Slot> m_slots;
    std::map<std::pair<int, uint32_t>, size_t> m_slotIndex;
    std::map<std::string, uint32_t, std::less<>> m_stringIndex;
    std::vector<Segment> m_segments;
    std::string m_dependency;
    std::string m_trailing;
    uint32_t m_base = 0;
    uint16_t m_flags = 0;
    bool m_separateSegments = false;
    uint32_t m_relocationCount = 0;
    uint32_t m_dataStart = 0;
    uint32_t m_streamStart = 0;
};

// The smallest valid file: an empty scene (280 bytes).
std::string minimalScene();

// A scene of one visual scene holding node trees: {scene id, root node ids}; nodes are
// placed at the identity, visible, without instances.
struct SNodeSpec {
    std::string id;
    std::vector<SNodeSpec> children;
};
// Writes visual scene `sceneId` of the given root nodes and a scene entry for it; returns the
// data offsets of the node records in pre-order.
std::vector<uint32_t> addVisualScene(Writer& w, const std::string& sceneId, const std::vector<SNodeSpec>& nodes);

// The effect fixture: visual scene "Scene01" holding node "Dummy01".
std::string effectScene();

// ---- effects, materials, images and meshes ----

// A parameter value: raw bytes for numeric and colour types, image indices for samplers
// (one per element, -1 for none), strings for "light", "url" and "technique".
struct SParamSpec {
    std::string name;
    uint32_t type = 0;           // scene-file value type (E_PARAM_TYPE)
    uint32_t parameterType = 0;  // effect parameters: the renderer parameter's type
    uint32_t elements = 1;
    std::string bytes;
    std::vector<int32_t> images;
    std::vector<std::string> texts;
};
struct SBindSpec {
    uint16_t parameterType = 0;
    bool global = false;
    uint8_t stage = 0;
    uint16_t occurrence = 0;
    int32_t param = 0;         // effect parameter index
    std::string globalName;
};
struct SPassSpec {
    uint32_t vertexState = 0;
    std::string fragmentState = std::string(68, '\0');  // the 68-byte fixed-function fragment state
    uint8_t blendFactors = 0x01;                          // source ONE, destination ZERO
    uint8_t stencilRef = 0, stencilMask = 0xff;
    uint32_t wordA = 7u << 18;                             // stencil function "Always"
    uint32_t wordB = (3u << 12) | (1u << 22) | (1u << 23);  // depth "LessEqual", test and writes on
    uint32_t stencilEnable = 0;
    uint32_t blendColor = 0;
    float lineWidth = 1, pointSize = 1, polygonOffsetFactor = 0, polygonOffsetUnits = 1, coverage = 1;
    std::vector<SBindSpec> binds;
};
struct STechniqueSpec {
    std::string name;
    std::vector<SPassSpec> passes;
};
struct SEffectSpec {
    std::string id;
    std::vector<STechniqueSpec> techniques;
    std::vector<SParamSpec> params;
};
struct SMaterialSpec {
    std::string id;
    int32_t effect = -1;  // index in this file's effects
    std::string effectUrl;
    std::string externalFile;  // with effect -1
    std::vector<SParamSpec> params;
};
struct SImageSpec {
    std::string id, fileName;
    uint32_t kind = 0;
};
// One interleaved vertex block; attributes index its arrays (Position 0, TexCoord0 1, ...).
struct SVertexAttributeSpec {
    uint32_t offset, valueType, components;  // value types: 1 unsigned byte, 6 float
    std::vector<float> scaleOffset = {};     // none, or the six floats that dequantise it
};
struct SMeshBufferSpec {
    uint32_t kind = 0;  // 0 triangles ... 4 line loop
    int8_t position = 0, normal = -1, color0 = -1, color1 = -1;
    int8_t texCoords[4] = {-1, -1, -1, -1};
    uint32_t firstVertex = 0;
    uint32_t highestIndex = 0;  // below 65536: 16-bit indices
    std::vector<uint32_t> indices;
};
struct SGeometrySpec {
    std::string id;
    uint32_t stride = 0, vertexCount = 0;
    std::vector<SVertexAttributeSpec> attributes;
    std::string vertices;
    std::vector<SMeshBufferSpec> buffers;
    float box[6] = {-1, -1, -1, 1, 1, 1};
    bool noMesh = false;
};

void addEffects(Writer& w, const std::vector<SEffectSpec>& effects);      // the effect library
void addMaterials(Writer& w, const std::vector<SMaterialSpec>& materials);
void addImages(Writer& w, const std::vector<SImageSpec>& images);
void addGeometries(Writer& w, const std::vector<SGeometrySpec>& geometries);
// A geometry instance on a node: {geometry id, material index per mesh buffer}.
void addGeometryInstance(Writer& w, uint32_t node, const std::string& geometryId, const std::vector<int32_t>& materials,
                         int32_t renderingLayer = 0);

}  // namespace formats::bres
