#include "engine/video/material/EShaderParameterType.h"

namespace pravik::video {

namespace {

const char* const kValueTypeNames[] = {"ubyte",       "int",      "int2",      "int3",      "int4",
                                       "float",       "float2",   "float3",    "float4",    "float2x2",
                                       "float3x3",    "float4x4", "sampler2D", "sampler3D", "samplerCUBE",
                                       "samplerRECT", "color",    "colorf",    "light",     nullptr};

}  // namespace

// "Emsission Color" is the name files carry.
const char* const kShaderParameterTypeNames[] = {"Constant",
                                                 "Color",
                                                 "Texture",
                                                 "Texture Matrix",
                                                 "Texture Env Color",
                                                 "Ambient Color",
                                                 "Diffuse Color",
                                                 "Specular Color",
                                                 "Emsission Color",
                                                 "Shininess",
                                                 "Alpha Ref",
                                                 "Bone Matrices",
                                                 "Bone Texture",
                                                 "Bone Texture Params",
                                                 "Bone Quaternions",
                                                 "Weight Mask",
                                                 "ColorGen Constant Color",
                                                 "Light",
                                                 "Light Position",
                                                 "Light Position in Object Space",
                                                 "Light Direction",
                                                 "Light Direction in Object Space",
                                                 "Light Attenuation",
                                                 "Light Ambient Color",
                                                 "Light Diffuse Color",
                                                 "Light Specular Color",
                                                 "Light Spot Exponent",
                                                 "Light Spot Cutoff",
                                                 "Light Cone Angles",
                                                 "Scene Ambient Light",
                                                 "Fog Density",
                                                 "Fog Start End",
                                                 "Fog Color",
                                                 "Clip Plane",
                                                 "Texture Bias",
                                                 "Point Size",
                                                 "Model Matrix",
                                                 "View Matrix",
                                                 "Projection Matrix",
                                                 "Model View Matrix",
                                                 "Model View Projection Matrix",
                                                 "Model Matrix Inverse",
                                                 "View Matrix Inverse",
                                                 "View Projection Matrix Inverse",
                                                 "Model View Inverse",
                                                 "Model View Projection Inverse",
                                                 "Model Matrix Inverse Transpose",
                                                 "View Matrix Inverse Transpose",
                                                 "View Projection Matrix Inverse Transpose",
                                                 "Model View Matrix Inverse Transpose",
                                                 "Model View Projection Inverse Transpose",
                                                 "Model Matrix Transpose",
                                                 "View Matrix Transpose",
                                                 "Model View Matrix Transpose",
                                                 "Model View Projection Matrix Transpose",
                                                 "Projection Matrix Inverse",
                                                 "Projection Matrix Transpose",
                                                 "Projection Matrix Inverse Transpose",
                                                 "Camera Near and Far",
                                                 "Eye Position",
                                                 "Eye Position in Object Space",
                                                 "Viewport",
                                                 "Viewport Dimensions",
                                                 "Viewport Dimensions Inverse",
                                                 "Time",
                                                 nullptr};

const char* const* getStringsInternal(E_SHADER_PARAMETER_TYPE*) { return kShaderParameterTypeNames; }
const char* const* getStringsInternal(E_SHADER_PARAMETER_VALUE_TYPE*) { return kValueTypeNames; }

}  // namespace pravik::video
