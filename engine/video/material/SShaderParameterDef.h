#pragma once
// One shader parameter: its interned name, what it means, how it is stored, which light,
// texture unit, clip plane or bone set it belongs to, how many elements it has and where they
// lie in its owner's storage (a value block keeps the byte offset of element 0 in `index`).
// Also the name helpers that recognise parameters by the names written in shader source.

#include <cstddef>

#include "engine/core/SSharedString.h"
#include "engine/video/material/EShaderParameterType.h"

namespace pravik::video {

struct SShaderParameterDef {
    core::SSharedString name;
    unsigned short type = ESPT_NONE;       // E_SHADER_PARAMETER_TYPE
    unsigned char valueType = ESPVT_NONE;  // E_SHADER_PARAMETER_VALUE_TYPE
    unsigned char subId = 0xff;
    unsigned int arraySize = 0xffffffffu;
    unsigned int index = 0xffffffffu;
};

// The semantic type a source name denotes (*WorldViewProjection* gives 40), or ESPT_NONE.
E_SHADER_PARAMETER_TYPE guessShaderParameterType(const char* name);
// The number after the first occurrence of the lower-case key in the name (low 8 bits), or 255.
unsigned char guessSubIdFromName(const char* name, const char* key);
// The same with the keys that suit the type (light, clip plane, bone, fog, texture unit), or 255.
unsigned char guessSubIdFromName(const char* name, E_SHADER_PARAMETER_TYPE type);
// "light" followed by the light's digits, "light" alone, or a null string without "light".
core::SSharedString getLightParameterName(const char* name);
// Engine-supplied definitions (types 35 to 64) first, each run keeping its order; returns their count.
unsigned short sortParameters(SShaderParameterDef* defs, unsigned short count);

namespace detail {
size_t shaderParameterDictionarySize();  // keys of the type-guess dictionary
}

}  // namespace pravik::video
