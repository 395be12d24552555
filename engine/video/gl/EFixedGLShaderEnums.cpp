#include "engine/video/gl/EFixedGLShaderEnums.h"

namespace pravik::video {

namespace {

const char* const kShadeModel[] = {"Flat", "Smooth", nullptr};
const char* const kFogMode[] = {"None", "Linear", "Exp", "Exp2", nullptr};
const char* const kRenderHint[] = {"Fastest", "Nicest", "Don't Care", nullptr};
const char* const kEnvMode[] = {"Modulate", "Replace", "Decal", "Blend", "Add", "Combine", nullptr};
const char* const kCombineMode[] = {"Modulate",    "Replace",   "Add",      "Add Signed",
                                    "Interpolate", "Substract", "DOT3 RGB", nullptr};
const char* const kCombineSource[] = {"Texture", "Constant", "Previous", "Primary Color", nullptr};
const char* const kCombineOperand[] = {"Source Color", "1 - Source Color", "Source Alpha", "1 - Source Alpha",
                                       nullptr};
const char* const kTexGen[] = {"None", "Simple Sphere Map", "Sphere Map", nullptr};
const char* const kColorGen[] = {"None",
                                 "Skinned Mesh - ObjectSpace Directional Light",
                                 "Skinned Mesh - ObjectSpace Point Light",
                                 "ObjectSpace Directional Light",
                                 "ObjectSpace Point Light",
                                 "TangentSpace Directional Light",
                                 "TangentSpace Point Light ",
                                 nullptr};
const char* const kPspFuncMode[] = {"Modulate", "Replace", "Decal", "Blend", "Add", nullptr};
const char* const kPspFuncColor[] = {"RGB", "RGBA", nullptr};
const char* const kPspMapMode[] = {"UV Map", "Projection Map", "Shade Map", nullptr};
const char* const kPspProjection[] = {
    "Projection with Vertex coordinates (Vx, Vy, Vz)", "Projection with Texture coordinates (U, V, 0)",
    "Projection with Normalized normal coordinates (Nx/|N|, Ny/|N|, Nz/|N|)",
    "Projection with Normal coordinates (Nx, Ny, Nz)", nullptr};
const char* const kPspLightMode[] = {"single color", "Separate specular color", nullptr};

}  // namespace

const char* const* getStringsInternal(E_SHADE_MODEL*) { return kShadeModel; }
const char* const* getStringsInternal(E_FOG_MODE*) { return kFogMode; }
const char* const* getStringsInternal(E_RENDER_HINT*) { return kRenderHint; }
const char* const* getStringsInternal(E_TEXTURE_ENV_MODE*) { return kEnvMode; }
const char* const* getStringsInternal(E_TEXTURE_COMBINE_MODE*) { return kCombineMode; }
const char* const* getStringsInternal(E_TEXTURE_COMBINE_SOURCE*) { return kCombineSource; }
const char* const* getStringsInternal(E_TEXTURE_COMBINE_OPERAND*) { return kCombineOperand; }
const char* const* getStringsInternal(E_TEX_GEN_TYPE*) { return kTexGen; }
const char* const* getStringsInternal(E_COLOR_GEN*) { return kColorGen; }
const char* const* getStringsInternal(E_PSP_TEXTURE_FUNC_MODE*) { return kPspFuncMode; }
const char* const* getStringsInternal(E_PSP_TEXTURE_FUNC_COLOR*) { return kPspFuncColor; }
const char* const* getStringsInternal(E_PSP_TEXTURE_MAP_MODE*) { return kPspMapMode; }
const char* const* getStringsInternal(E_PSP_TEXTURE_PROJECTION_MAP_MODE*) { return kPspProjection; }
const char* const* getStringsInternal(E_PSP_LIGHT_MODE*) { return kPspLightMode; }

}  // namespace pravik::video
