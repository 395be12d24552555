#include "engine/video/material/detail/SShaderParameterTypeInspection.h"

namespace pravik::video::detail {

namespace {
constexpr unsigned char kRef = sizeof(void*);
constexpr unsigned int bit(unsigned v) { return 1u << v; }
constexpr unsigned int kColors = bit(ESPVT_FLOAT4) | bit(ESPVT_COLOR) | bit(ESPVT_COLORF);
constexpr unsigned int kScalars = bit(ESPVT_INT) | bit(ESPVT_FLOAT);
}  // namespace

const unsigned char SShaderParameterTypeInspection::ValueTypeSize[ESPVT_COUNT] = {
    1, 4, 8, 12, 16, 4, 8, 12, 16, 16, 36, kRef, kRef, kRef, kRef, kRef, 4, 16, kRef};

const unsigned int SShaderParameterTypeInspection::Convertions[ESPVT_COUNT] = {bit(ESPVT_UBYTE),
                                                                               kScalars,
                                                                               bit(ESPVT_INT2),
                                                                               bit(ESPVT_INT3),
                                                                               bit(ESPVT_INT4),
                                                                               kScalars,
                                                                               bit(ESPVT_FLOAT2),
                                                                               bit(ESPVT_FLOAT3),
                                                                               kColors,
                                                                               bit(ESPVT_FLOAT2X2),
                                                                               bit(ESPVT_FLOAT3X3),
                                                                               bit(ESPVT_FLOAT4X4),
                                                                               bit(ESPVT_SAMPLER2D),
                                                                               bit(ESPVT_SAMPLER3D),
                                                                               bit(ESPVT_SAMPLERCUBE),
                                                                               bit(ESPVT_SAMPLERRECT),
                                                                               kColors,
                                                                               kColors,
                                                                               bit(ESPVT_LIGHT)};

const unsigned int SShaderParameterTypeInspection::ValueTypeBaseType[ESPVT_COUNT] = {
    ESPVT_UBYTE,       ESPVT_INT,   ESPVT_INT,       ESPVT_INT,       ESPVT_INT,
    ESPVT_FLOAT,       ESPVT_FLOAT, ESPVT_FLOAT,     ESPVT_FLOAT,     ESPVT_FLOAT,
    ESPVT_FLOAT,       ESPVT_FLOAT, ESPVT_SAMPLER2D, ESPVT_SAMPLER3D, ESPVT_SAMPLERCUBE,
    ESPVT_SAMPLERRECT, ESPVT_UBYTE, ESPVT_FLOAT,     ESPVT_LIGHT};

const unsigned char SShaderParameterTypeInspection::ValueTypeArraySize[ESPVT_COUNT] = {
    1, 1, 2, 3, 4, 1, 2, 3, 4, 4, 9, 16, 1, 1, 1, 1, 4, 4, 1};

}  // namespace pravik::video::detail
