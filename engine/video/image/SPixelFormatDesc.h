#pragma once
// One row of the pixel-format description table: everything the engine asks about a format.

#include <cstdint>

namespace pravik::video {

enum E_PIXEL_FORMAT_FLAG : uint32_t {
    EPFF_ALPHA = 0x01,
    EPFF_FLOAT = 0x02,
    EPFF_LUMINANCE = 0x04,  // the grey value lies in the red, green and blue slots alike
    EPFF_COMPRESSED = 0x08,
    EPFF_DEPTH = 0x10,
    EPFF_STENCIL = 0x20,
    EPFF_PACKED = 0x40  // channels are not whole bytes; only masks and shifts describe them
};

enum E_COMPONENT_TYPE : uint8_t {
    ECT_UNSIGNED_INT8 = 0,
    ECT_UNSIGNED_INT16 = 1,
    ECT_UNSIGNED_INT32 = 2,
    ECT_FLOAT16 = 3,
    ECT_FLOAT32 = 4,
    ECT_NONE = 255
};

inline constexpr uint8_t NO_CHANNEL_INDEX = 255;

struct SPixelFormatDesc {
    uint32_t Flags;
    uint32_t Masks[4];         // red, green, blue, alpha within the pixel read little-endian
    uint8_t ComponentType;     // E_COMPONENT_TYPE
    uint8_t BytesPerPixel;     // of one block for block-compressed formats
    uint8_t BitsPerPixel;
    uint8_t ChannelCount;
    uint8_t ChannelBits[4];
    uint8_t ChannelShifts[4];
    uint8_t ChannelIndices[4];  // in component units from the pixel start; NO_CHANNEL_INDEX if none
    uint8_t BlockWidth;
    uint8_t BlockHeight;
    uint8_t BlockDepth;
    uint8_t MinSizeInBytes;  // smallest size of one image level

    bool has(uint32_t flag) const { return (Flags & flag) != 0; }
};

}  // namespace pravik::video
