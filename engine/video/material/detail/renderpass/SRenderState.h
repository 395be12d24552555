#pragma once
// The fixed-function state of one render pass: two words of packed fields, the constant blend
// colour and five floats. Word 0: blend factors (bits 0-3 source, 4-7 destination), stencil
// reference (8-15) and mask (16-23), blend equation (24-26), depth function (27-29), cull face
// (30-31). Word 1: stencil function (0-2), stencil operations on fail, depth fail and pass
// (3-5, 6-8, 9-11), polygon modes front and back (12-13, 14-15), then one flag each: blending
// (16), culling (17), front face winding (18), depth test (19), depth writes (20), polygon
// offsets fill, line, point (21-23), alpha to coverage (24), sample coverage (25), coverage
// invert (26), stencil test (27); bits 28-31 stay 0. States compare as whole records.

#include <cstring>

#include "engine/video/material/ERenderStateEnums.h"
#include "engine/video/SColor.h"

namespace pravik::io {
class IAttributes;
}

namespace pravik::video::detail::renderpass {

struct SRenderState {
    unsigned int word0 = 0x18FF0001u;
    unsigned int word1 = 0x00180007u;
    SColor blendColor = SColor(0, 0, 0, 0);
    float lineWidth = 1.0f;
    float pointSize = 1.0f;
    float polygonOffsetFactor = 0.0f;
    float polygonOffsetUnits = 1.0f;
    float sampleCoverageValue = 1.0f;

    // Bit fields by position: (word, shift, width).
    unsigned get(int word, unsigned shift, unsigned width) const
    {
        return ((word ? word1 : word0) >> shift) & ((1u << width) - 1u);
    }
    void set(int word, unsigned shift, unsigned width, unsigned value)
    {
        unsigned int& w = word ? word1 : word0;
        const unsigned int mask = ((1u << width) - 1u) << shift;
        w = (w & ~mask) | ((value << shift) & mask);
    }

    E_BLEND_FACTOR getBlendFactorSrc() const { return E_BLEND_FACTOR(get(0, 0, 4)); }
    E_BLEND_FACTOR getBlendFactorDest() const { return E_BLEND_FACTOR(get(0, 4, 4)); }
    unsigned char getStencilFuncRef() const { return (unsigned char)get(0, 8, 8); }
    unsigned char getStencilFuncMask() const { return (unsigned char)get(0, 16, 8); }
    E_BLEND_EQUATION getBlendEquation() const { return E_BLEND_EQUATION(get(0, 24, 3)); }
    E_COMPARE_FUNC getDepthFunc() const { return E_COMPARE_FUNC(get(0, 27, 3)); }
    E_FACE_SIDE getCullFace() const { return E_FACE_SIDE(get(0, 30, 2)); }
    E_COMPARE_FUNC getStencilFunc() const { return E_COMPARE_FUNC(get(1, 0, 3)); }
    E_POLYGON_MODE getPolygonModeFront() const { return E_POLYGON_MODE(get(1, 12, 2)); }
    E_POLYGON_MODE getPolygonModeBack() const { return E_POLYGON_MODE(get(1, 14, 2)); }
    bool getBlendEnable() const { return get(1, 16, 1); }
    bool getDepthTestEnable() const { return get(1, 19, 1); }
    bool getDepthMask() const { return get(1, 20, 1); }

    void serializeAttributes(io::IAttributes* out) const;  // 31 attributes into the current group
    // Reads every field from the current group; an enumeration that is missing, unknown or too
    // wide for its field keeps the field's value and is logged.
    void deserializeAttributes(io::IAttributes* in);

    bool operator==(const SRenderState& o) const { return std::memcmp(this, &o, sizeof(*this)) == 0; }
    bool operator!=(const SRenderState& o) const { return !(*this == o); }
};

static_assert(sizeof(SRenderState) == 32, "a render state is compared and copied as one record");

}  // namespace pravik::video::detail::renderpass
