// The record a device is created from. The device keeps a copy: the GL ES driver reads the
// window size from it, the driver base the append-buffer sizes and the scene manager the
// batch-buffer sizes. Fields that nothing reads keep their places and defaults so the record
// keeps its shape.
#pragma once

#include <cstdint>

#include "engine/core/dimension2d.h"
#include "engine/video/EDriverTypes.h"

namespace pravik {

class IEventReceiver;

inline constexpr const char* PRAVIK_SDK_VERSION = "0.1.0.2";

struct SCreationParameters {
    video::E_DRIVER_TYPE DriverType = video::EDT_OGLES1;   // 0 null, 1 GL ES 1.1
    core::dimension2d<int> WindowSize{600, 1024};
    std::uint8_t ColorBits = 16;
    std::uint8_t SecondBits = 16;           // unread
    bool Fullscreen = false;                // reported by isFullscreen
    bool DriverFlag = false;                // handed to the GL ES initialisation, unused there
    bool UnusedFlags[2] = {false, false};
    std::uint32_t Reserved1[3] = {0, 0, 0}; // unread
    std::uint32_t Reserved2 = 0x40000;      // unread
    std::uint8_t Flags[3] = {0, 0, 0};      // unread
    IEventReceiver* EventReceiver = nullptr; // not owned
    std::uint32_t Reserved3 = 0;            // unread
    std::uint8_t Reserved4 = 0;             // unread
    std::int32_t Reserved5[2] = {-1, -1};   // unread
    const char* EngineVersion = PRAVIK_SDK_VERSION;
    std::uint32_t BatchVertexBufferSize = 0x500000;  // bytes of each compiled-batch vertex buffer
    std::uint32_t BatchIndexBufferSize = 0xa0000;    // bytes of each compiled-batch index buffer
    std::uint32_t AppendVertexBufferSize = 0x8000;   // bytes of each of the driver's two append buffers
    std::uint32_t AppendIndexBufferSize = 0x1000;
    float Reserved6 = 1.0f;                 // unread
    std::uint32_t Reserved7 = 0;            // unread
};

} // namespace pravik
