#pragma once
// Fixed properties of the shader parameter value types, indexed by value type (0 to 18).
// Elements that hold a reference (matrix, texture, light) take a pointer's size and are kept
// aligned to it in every value block.

#include <cstddef>

#include "engine/video/material/EShaderParameterType.h"

namespace pravik::video::detail {

struct SShaderParameterTypeInspection {
    static const unsigned char ValueTypeSize[ESPVT_COUNT];       // bytes of one element
    static const unsigned int Convertions[ESPVT_COUNT];          // bit s: type s converts into this
    static const unsigned int ValueTypeBaseType[ESPVT_COUNT];    // value type of one component
    static const unsigned char ValueTypeArraySize[ESPVT_COUNT];  // components of one element

    static bool isReference(unsigned v)
    {
        return v == ESPVT_FLOAT4X4 || (v >= ESPVT_SAMPLER2D && v <= ESPVT_SAMPLERRECT) || v == ESPVT_LIGHT;
    }
    static bool isSampler(unsigned v) { return v >= ESPVT_SAMPLER2D && v <= ESPVT_SAMPLERRECT; }
    // Where an element of the type may start: references on pointer boundaries, the rest packed.
    static size_t alignment(unsigned v) { return isReference(v) ? sizeof(void*) : 1; }
    static size_t alignUp(size_t offset, unsigned v)
    {
        const size_t a = alignment(v);
        return (offset + a - 1) / a * a;
    }
    static bool canConvert(unsigned from, unsigned to)
    {
        return from < ESPVT_COUNT && to < ESPVT_COUNT && (Convertions[to] >> from & 1u);
    }
};

}  // namespace pravik::video::detail
