#pragma once
// Pixel formats of every pixel buffer of the engine. Byte-aligned names list channels in memory
// order (A8R8G8B8: alpha in byte 0); bit-packed names list them from the top bit down
// (R5G6B5: red in bits 11-15). The values index the description table (pixel_format.h).

namespace pravik::video {

enum E_PIXEL_FORMAT {
    EPF_L8,
    EPF_L16,
    EPF_A8,
    EPF_A8L8,
    EPF_L8A8,
    EPF_R5G6B5,
    EPF_A4R4G4B4,
    EPF_R4G4B4A4,
    EPF_A1R5G5B5,
    EPF_R5G5B5A1,
    EPF_R8G8B8,
    EPF_B8G8R8,
    EPF_A8R8G8B8,
    EPF_B8G8R8A8,
    EPF_R8G8B8A8,
    EPF_A8B8G8R8,
    EPF_A2B10G10R10,
    EPF_COMPRESSED_RGB_S3TC_DXT1,
    EPF_COMPRESSED_RGBA_S3TC_DXT1,
    EPF_COMPRESSED_RGBA_S3TC_DXT3,
    EPF_COMPRESSED_RGBA_S3TC_DXT5,
    EPF_COMPRESSED_RGB_PVRTC_2BPP,
    EPF_COMPRESSED_RGBA_PVRTC_2BPP,
    EPF_COMPRESSED_RGB_PVRTC_4BPP,
    EPF_COMPRESSED_RGBA_PVRTC_4BPP,
    EPF_RGB16F,
    EPF_RGBA16F,
    EPF_RGB32F,
    EPF_RGBA32F,
    EPF_DEPTH16,
    EPF_DEPTH24,
    EPF_DEPTH32,
    EPF_DEPTH24_STENCIL8,
    EPF_STENCIL1,
    EPF_STENCIL4,
    EPF_STENCIL8,
    EPF_COUNT  // no format; also the number of formats
};

// The 36 names in enum order, then a null pointer; the argument only selects the overload.
const char* const* getStringsInternal(E_PIXEL_FORMAT*);

}  // namespace pravik::video
