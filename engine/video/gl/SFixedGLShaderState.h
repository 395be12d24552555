#pragma once
// The two records that describe a fixed-function pipeline configuration. The fragment state
// (four texture environments and one word, 68 bytes) is compared and hashed as raw bytes, so
// bits without a field stay zero.
// Vertex word: colour material (bit 0), normalise (1), shade model (2), two-sided lighting
// (3), light count (4-11), fog mode (12-13), fog hint (14-15), texture-coordinate generation
// of unit u (16 + 3u, 3 bits), colour generation (28-30).
// Combiner word: RGB mode (0-2), alpha mode (3-5), RGB operands of arguments 0-2 (6-11),
// alpha operands (12-17), RGB sources (18-23), alpha sources (24-29); derived: the unit
// samples its texture (30), the unit reads the constant colour (31).
// Fragment word: alpha test (0), alpha function (1-3), active unit count (4-6), clip planes
// 0-5 (7-12), point-sprite coordinate replacement of unit u (13 + u).
// Reading an enumeration that is missing, unknown or too wide keeps the field's value and logs.

#include <cstring>

#include "engine/video/gl/EFixedGLShaderEnums.h"
#include "engine/video/material/ERenderStateEnums.h"

namespace pravik::io {
class IAttributes;
}

namespace pravik::video {

namespace detail {
inline unsigned bits(unsigned word, unsigned shift, unsigned width)
{
    return (word >> shift) & ((1u << width) - 1u);
}
inline void setBits(unsigned& word, unsigned shift, unsigned width, unsigned value)
{
    const unsigned mask = ((1u << width) - 1u) << shift;
    word = (word & ~mask) | ((value << shift) & mask);
}
}  // namespace detail

struct SFixedGLShaderVertexState {
    unsigned int word = 0;

    bool getColorMaterialEnable() const { return detail::bits(word, 0, 1); }
    unsigned getLightCount() const { return detail::bits(word, 4, 8); }
    E_FOG_MODE getFogMode() const { return E_FOG_MODE(detail::bits(word, 12, 2)); }
    E_TEX_GEN_TYPE getTexGen(unsigned unit) const
    {
        return E_TEX_GEN_TYPE(detail::bits(word, 16 + 3 * unit, 3));
    }
    E_COLOR_GEN getColorGen() const { return E_COLOR_GEN(detail::bits(word, 28, 3)); }
    void setColorMaterialEnable(bool on) { detail::setBits(word, 0, 1, on); }
    void setNormalizeEnable(bool on) { detail::setBits(word, 1, 1, on); }
    void setShadeModel(E_SHADE_MODEL m) { detail::setBits(word, 2, 1, m); }
    void setLightCount(unsigned n) { detail::setBits(word, 4, 8, n); }
    void setFogMode(E_FOG_MODE m) { detail::setBits(word, 12, 2, m); }
    void setFogHint(E_RENDER_HINT h) { detail::setBits(word, 14, 2, h); }
    void setTexGen(unsigned unit, E_TEX_GEN_TYPE t) { detail::setBits(word, 16 + 3 * unit, 3, t); }
    void setColorGen(E_COLOR_GEN g) { detail::setBits(word, 28, 3, g); }

    void serializeAttributes(io::IAttributes* out) const;
    void deserializeAttributes(io::IAttributes* in);
    bool operator==(const SFixedGLShaderVertexState& o) const { return word == o.word; }
};

struct SFixedGLShaderTexEnv {
    unsigned int envMode = ETEM_MODULATE;  // E_TEXTURE_ENV_MODE
    unsigned int combiner = 0x5862A000u;   // modulate, Texture/Previous/Constant, texture flag
    float rgbScale = 1.0f;
    float alphaScale = 1.0f;

    bool usesTexture() const { return combiner >> 30 & 1u; }
    bool usesConstantColor() const { return combiner >> 31 & 1u; }
    unsigned getRGBMode() const { return detail::bits(combiner, 0, 3); }
    unsigned getAlphaMode() const { return detail::bits(combiner, 3, 3); }
    unsigned getRGBOperand(unsigned arg) const { return detail::bits(combiner, 6 + 2 * arg, 2); }
    unsigned getAlphaOperand(unsigned arg) const { return detail::bits(combiner, 12 + 2 * arg, 2); }
    unsigned getRGBSource(unsigned arg) const { return detail::bits(combiner, 18 + 2 * arg, 2); }
    unsigned getAlphaSource(unsigned arg) const { return detail::bits(combiner, 24 + 2 * arg, 2); }
    // The setters keep the derived flags current.
    void setEnvMode(E_TEXTURE_ENV_MODE m)
    {
        envMode = m;
        updateTextureFlags();
    }
    void setRGBMode(E_TEXTURE_COMBINE_MODE m)
    {
        detail::setBits(combiner, 0, 3, m);
        updateTextureFlags();
    }
    void setAlphaMode(E_TEXTURE_COMBINE_MODE m)
    {
        detail::setBits(combiner, 3, 3, m);
        updateTextureFlags();
    }
    void setRGBOperand(unsigned arg, E_TEXTURE_COMBINE_OPERAND o)
    {
        detail::setBits(combiner, 6 + 2 * arg, 2, o);
    }
    void setAlphaOperand(unsigned arg, E_TEXTURE_COMBINE_OPERAND o)
    {
        detail::setBits(combiner, 12 + 2 * arg, 2, o);
    }
    void setRGBSource(unsigned arg, E_TEXTURE_COMBINE_SOURCE s)
    {
        detail::setBits(combiner, 18 + 2 * arg, 2, s);
        updateTextureFlags();
    }
    void setAlphaSource(unsigned arg, E_TEXTURE_COMBINE_SOURCE s)
    {
        detail::setBits(combiner, 24 + 2 * arg, 2, s);
        updateTextureFlags();
    }

    void updateTextureFlags();  // bits 30 and 31 from the mode, combine modes and sources
    void serializeAttributes(io::IAttributes* out, unsigned int unit) const;
    void deserializeAttributes(io::IAttributes* in, unsigned int unit);
};

struct SFixedGLShaderFragmentState {
    SFixedGLShaderTexEnv texEnv[4];
    unsigned int word = 0;

    bool getAlphaTestEnable() const { return detail::bits(word, 0, 1); }
    E_COMPARE_FUNC getAlphaFunc() const { return E_COMPARE_FUNC(detail::bits(word, 1, 3)); }
    unsigned getActiveUnitCount() const { return detail::bits(word, 4, 3); }
    bool getClipPlaneEnable(unsigned plane) const { return detail::bits(word, 7 + plane, 1); }
    bool getPointSpriteCoordReplace(unsigned unit) const { return detail::bits(word, 13 + unit, 1); }
    void setAlphaTestEnable(bool on) { detail::setBits(word, 0, 1, on); }
    void setAlphaFunc(E_COMPARE_FUNC f) { detail::setBits(word, 1, 3, f); }
    void setClipPlaneEnable(unsigned plane, bool on) { detail::setBits(word, 7 + plane, 1, on); }
    void setPointSpriteCoordReplace(unsigned unit, bool on) { detail::setBits(word, 13 + unit, 1, on); }
    // Units newly counted get fresh texture flags; the count keeps 3 bits.
    void setActiveUnitCount(unsigned char count);

    void serializeAttributes(io::IAttributes* out) const;
    void deserializeAttributes(io::IAttributes* in);
    bool operator==(const SFixedGLShaderFragmentState& o) const
    {
        return std::memcmp(this, &o, sizeof(*this)) == 0;
    }
};

static_assert(sizeof(SFixedGLShaderTexEnv) == 16 && sizeof(SFixedGLShaderFragmentState) == 68,
              "fragment states are compared and hashed as 68 raw bytes");

}  // namespace pravik::video
