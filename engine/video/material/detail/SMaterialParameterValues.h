#pragma once
// Element forms of the parameter accessors and the conversions between compatible value
// types: int <-> float and any pair among float4, color and colorf. Colour bytes become floats
// through 1/255 (single precision); floats become bytes through * 255, truncated, negative to
// 0, low 8 bits kept (2.0 gives 254). "colorf" stores count as unchanged within 0.000001 per
// component; everything else compares exactly (floats by ==, so a stored NaN always changes).

#include <boost/intrusive_ptr.hpp>
#include <cstring>
#include <type_traits>

#include "engine/core/CMatrix4.h"
#include "engine/core/vector2d.h"
#include "engine/core/vector3d.h"
#include "engine/core/vector4d.h"
#include "engine/video/material/EShaderParameterType.h"
#include "engine/video/SColor.h"

namespace pravik::video {
class ITexture;
class CLight;
#if !__has_include("engine/video/ITexture.h")
// Only while the texture and light layer is absent: handles count through the parameter
// block's hooks. The layer's own counting replaces these as soon as its headers exist.
void intrusive_ptr_add_ref(ITexture* texture);
void intrusive_ptr_release(ITexture* texture);
void intrusive_ptr_add_ref(CLight* light);
void intrusive_ptr_release(CLight* light);
#endif
}  // namespace pravik::video

#if __has_include("engine/video/ITexture.h")
// Handles over textures and lights need the classes' own counting wherever they are copied.
#include "engine/video/CLight.h"
#include "engine/video/ITexture.h"
#endif

namespace pravik::video::detail {

// The natural value type of each element form; samplers stand for all four sampler types.
template <class T>
struct SValueTypeOf {
    static constexpr int value = -1;
};
template <>
struct SValueTypeOf<int> {
    static constexpr int value = ESPVT_INT;
};
template <>
struct SValueTypeOf<core::vector2d<int>> {
    static constexpr int value = ESPVT_INT2;
};
template <>
struct SValueTypeOf<core::vector3d<int>> {
    static constexpr int value = ESPVT_INT3;
};
template <>
struct SValueTypeOf<core::vector4d<int>> {
    static constexpr int value = ESPVT_INT4;
};
template <>
struct SValueTypeOf<float> {
    static constexpr int value = ESPVT_FLOAT;
};
template <>
struct SValueTypeOf<core::vector2d<float>> {
    static constexpr int value = ESPVT_FLOAT2;
};
template <>
struct SValueTypeOf<core::vector3d<float>> {
    static constexpr int value = ESPVT_FLOAT3;
};
template <>
struct SValueTypeOf<core::vector4d<float>> {
    static constexpr int value = ESPVT_FLOAT4;
};
template <>
struct SValueTypeOf<SColor> {
    static constexpr int value = ESPVT_COLOR;
};
template <>
struct SValueTypeOf<SColorf> {
    static constexpr int value = ESPVT_COLORF;
};
template <>
struct SValueTypeOf<boost::intrusive_ptr<ITexture>> {
    static constexpr int value = ESPVT_SAMPLER2D;
};
template <>
struct SValueTypeOf<boost::intrusive_ptr<CLight>> {
    static constexpr int value = ESPVT_LIGHT;
};

template <class T>
struct SIsValidSetMaterialParamaterOverload : std::bool_constant<(SValueTypeOf<T>::value >= 0)> {
};

template <class T>
struct SIsValidSetMaterialParameterElementOverload
    : std::bool_constant<std::is_same_v<T, float> || std::is_same_v<T, int> ||
                         std::is_same_v<T, unsigned char>> {
};

template <class T>
struct SIsPlain
    : std::bool_constant<(SValueTypeOf<T>::value >= 0 && SValueTypeOf<T>::value <= ESPVT_COLORF)> {
};

inline unsigned char colorByte(float c)
{
    const double d = double(c) * 255.0;
    if (!(d > 0.0)) return 0;            // negative and NaN
    if (d >= 4294967295.0) return 0xff;  // beyond any unsigned: the low byte of the largest
    return (unsigned char)((unsigned long long)d & 0xffu);
}

constexpr float kByteToFloat = 0.003921569f;

// Truncation toward zero; NaN gives 0 and values beyond the int range saturate.
inline int floatToInt(float f)
{
    if (!(f == f)) return 0;
    if (f >= 2147483648.0f) return 2147483647;
    if (f <= -2147483648.0f) return -2147483647 - 1;
    return int(f);
}

// Four floats of a colour-family value, and back.
inline void toFloats(const core::vector4d<float>& v, float out[4])
{
    out[0] = v.X;
    out[1] = v.Y;
    out[2] = v.Z;
    out[3] = v.W;
}
inline void toFloats(const SColorf& v, float out[4])
{
    out[0] = v.r;
    out[1] = v.g;
    out[2] = v.b;
    out[3] = v.a;
}
inline void toFloats(const SColor& v, float out[4])
{
    out[0] = v.r * kByteToFloat;
    out[1] = v.g * kByteToFloat;
    out[2] = v.b * kByteToFloat;
    out[3] = v.a * kByteToFloat;
}

inline bool withinColorTolerance(const float stored[4], const float next[4])
{
    for (int i = 0; i < 4; ++i)
        if (!(next[i] <= stored[i] + 0.000001f && next[i] >= stored[i] - 0.000001f)) return false;
    return true;
}

// Stores a value of form T into an element of value type vt (already checked to accept it);
// true when the stored value changed.
template <class T>
bool storeElement(unsigned char* dst, unsigned vt, const T& value, bool colorTolerance)
{
    constexpr int from = SValueTypeOf<T>::value;
    if constexpr (from == ESPVT_INT || from == ESPVT_FLOAT) {
        if (vt == ESPVT_INT) {
            int next;
            if constexpr (from == ESPVT_INT)
                next = value;
            else
                next = floatToInt(value);
            int old;
            std::memcpy(&old, dst, 4);
            std::memcpy(dst, &next, 4);
            return old != next;
        }
        const float next = float(value);
        float old;
        std::memcpy(&old, dst, 4);
        std::memcpy(dst, &next, 4);
        return !(old == next);
    } else if constexpr (from == ESPVT_FLOAT4 || from == ESPVT_COLOR || from == ESPVT_COLORF) {
        if (vt == ESPVT_COLOR) {
            SColor next;
            if constexpr (from == ESPVT_COLOR)
                next = value;
            else {
                float f[4];
                toFloats(value, f);
                next = SColor(colorByte(f[0]), colorByte(f[1]), colorByte(f[2]), colorByte(f[3]));
            }
            const bool changed = std::memcmp(dst, &next, 4) != 0;
            std::memcpy(dst, &next, 4);
            return changed;
        }
        float next[4], old[4];
        toFloats(value, next);
        std::memcpy(old, dst, 16);
        std::memcpy(dst, next, 16);
        if (vt == ESPVT_COLORF && colorTolerance) return !withinColorTolerance(old, next);
        return !(old[0] == next[0] && old[1] == next[1] && old[2] == next[2] && old[3] == next[3]);
    } else if constexpr (from == ESPVT_FLOAT2 || from == ESPVT_FLOAT3) {
        float old[4];
        std::memcpy(old, dst, sizeof(T));
        std::memcpy(dst, &value, sizeof(T));
        const float* next = &value.X;
        for (unsigned i = 0; i < sizeof(T) / 4; ++i)
            if (!(old[i] == next[i])) return true;
        return false;
    } else {  // integer vectors: bit for bit
        const bool changed = std::memcmp(dst, &value, sizeof(T)) != 0;
        std::memcpy(dst, &value, sizeof(T));
        return changed;
    }
}

// Reads an element of value type vt into form T (already checked to accept it).
template <class T>
void loadElement(const unsigned char* src, unsigned vt, T& out)
{
    constexpr int to = SValueTypeOf<T>::value;
    if constexpr (to == ESPVT_INT || to == ESPVT_FLOAT) {
        if (vt == ESPVT_INT) {
            int v;
            std::memcpy(&v, src, 4);
            out = T(v);
        } else {
            float v;
            std::memcpy(&v, src, 4);
            if constexpr (std::is_same_v<T, int>)
                out = floatToInt(v);
            else
                out = v;
        }
    } else if constexpr (to == ESPVT_FLOAT4 || to == ESPVT_COLOR || to == ESPVT_COLORF) {
        float f[4];
        if (vt == ESPVT_COLOR) {
            SColor c;
            std::memcpy(&c, src, 4);
            if constexpr (to == ESPVT_COLOR) {
                out = c;
                return;
            }
            toFloats(c, f);
        } else {
            std::memcpy(f, src, 16);
        }
        if constexpr (to == ESPVT_COLOR)
            out = SColor(colorByte(f[0]), colorByte(f[1]), colorByte(f[2]), colorByte(f[3]));
        else if constexpr (to == ESPVT_COLORF)
            out = SColorf(f[0], f[1], f[2], f[3]);
        else
            out = core::vector4d<float>(f[0], f[1], f[2], f[3]);
    } else {
        std::memcpy(&out, src, sizeof(T));
    }
}

static_assert(sizeof(SColor) == 4 && sizeof(SColorf) == 16, "colour elements are stored as raw bytes");
static_assert(sizeof(core::vector4d<float>) == 16 && sizeof(core::vector3d<int>) == 12,
              "vector elements are raw bytes");

}  // namespace pravik::video::detail
