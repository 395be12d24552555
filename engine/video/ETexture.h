#pragma once
// Texture enumerations, the texture descriptor, and their name tables (value order, closed by
// a null entry) used by attribute files. "Position X" is spelled so.

#include "engine/video/EDriverTypes.h"
#include "engine/video/image/EPixelFormat.h"
#include "engine/video/material/ERenderStateEnums.h"
#include "engine/video/IBuffer.h"

namespace pravik::video {

enum E_TEXTURE_TYPE : unsigned int { ETT_2D = 0, ETT_3D, ETT_CUBE_MAP, ETT_RECTANGLE, ETT_COUNT, ETT_UNKNOWN = 255 };

enum E_TEXTURE_LAYOUT : unsigned int { ETL_LINEAR = 0, ETL_LINEAR_UNIFORM_PITCH, ETL_TILED_32, ETL_SWIZZLED, ETL_COUNT };

enum E_TEXTURE_CUBE_MAP_FACE : unsigned int {
    ETCMF_POSITIVE_X = 0, ETCMF_NEGATIVE_X, ETCMF_POSITIVE_Y, ETCMF_NEGATIVE_Y, ETCMF_POSITIVE_Z, ETCMF_NEGATIVE_Z,
    ETCMF_COUNT
};

enum E_TEXTURE_FILTER_TYPE : unsigned int {
    ETFT_NEAREST = 0, ETFT_LINEAR, ETFT_NEAREST_MIPMAP_NEAREST, ETFT_LINEAR_MIPMAP_NEAREST, ETFT_NEAREST_MIPMAP_LINEAR,
    ETFT_LINEAR_MIPMAP_LINEAR, ETFT_COUNT
};

enum E_TEXTURE_CLAMP : unsigned int { ETC_REPEAT = 0, ETC_CLAMP, ETC_CLAMP_TO_EDGE, ETC_CLAMP_TO_BORDER, ETC_MIRROR, ETC_COUNT };

struct STextureDesc {
    E_TEXTURE_TYPE type = ETT_2D;
    E_PIXEL_FORMAT format = EPF_A8R8G8B8;
    E_TEXTURE_LAYOUT layout = ETL_LINEAR;
    unsigned int usage = EBU_STATIC;   // E_BUFFER_USAGE
    int width = 1;
    unsigned int height = 1;
    unsigned int depth = 1;
    bool hasMipmaps = false;
    bool isRenderTarget = false;
    bool reserved = false;
};

const char* const* getStringsInternal(E_TEXTURE_TYPE*);
const char* const* getStringsInternal(E_TEXTURE_LAYOUT*);
const char* const* getStringsInternal(E_TEXTURE_CUBE_MAP_FACE*);
const char* const* getStringsInternal(E_TEXTURE_FILTER_TYPE*);
const char* const* getStringsInternal(E_TEXTURE_CLAMP*);

}  // namespace pravik::video
