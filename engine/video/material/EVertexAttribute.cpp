#include "engine/video/material/EVertexAttribute.h"

namespace pravik::video {

namespace {

const char* const kAttributeNames[] = {
    "Position",    "TexCoord0",   "TexCoord1",  "TexCoord2", "TexCoord3",  "TexCoord4",  "TexCoord5",
    "TexCoord6",   "TexCoord7",   "TexCoord8",  "TexCoord9", "TexCoord10", "TexCoord11", "TexCoord12",
    "TexCoord13",  "TexCoord14",  "TexCoord15", "Normal",    "Color0",     "Color1",     "Tangent0",
    "Tangent1",    "Tangent2",    "Tangent3",   "Binormal0", "Binormal1",  "Binormal2",  "Binormal3",
    "SkinWeights", "SkinIndices", nullptr};

const char* const kValueTypeNames[] = {"Byte", "Unsigned Byte", "Short", "Unsigned Short",
                                       "Int",  "Unsigned Int",  "Float", nullptr};

}  // namespace

const char* const* getStringsInternal(E_VERTEX_ATTRIBUTE*) { return kAttributeNames; }
const char* const* getStringsInternal(E_VERTEX_ATTRIBUTE_VALUE_TYPE*) { return kValueTypeNames; }

namespace detail {

const unsigned char SVertexAttributeTypeInspection::ValueTypeSize[EVAVT_COUNT] = {1, 1, 2, 2, 4, 4, 4};

namespace {
constexpr SVertexAttributeTypeInspection::SDefault F3{EVAVT_FLOAT, 3};
constexpr SVertexAttributeTypeInspection::SDefault F2{EVAVT_FLOAT, 2};
constexpr SVertexAttributeTypeInspection::SDefault U4{EVAVT_UBYTE, 4};
}  // namespace

const SVertexAttributeTypeInspection::SDefault SVertexAttributeTypeInspection::Defaults[EVA_COUNT] = {
    F3,  // Position
    F2,
    F2,
    F2,
    F2,
    F2,
    F2,
    F2,
    F2,
    F2,
    F2,
    F2,
    F2,
    F2,
    F2,
    F2,
    F2,  // TexCoord0-15
    F3,  // Normal
    U4,
    U4,  // Color0-1
    F3,
    F3,
    F3,
    F3,
    F3,
    F3,
    F3,
    F3,                // Tangents, binormals
    {EVAVT_FLOAT, 4},  // SkinWeights
    U4};               // SkinIndices

}  // namespace detail

}  // namespace pravik::video
