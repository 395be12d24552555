#include "framework/SpriteVertexStorage.h"

#include "engine/video/IVideoDriver.h"

using namespace pravik::video;

void SSpriteVertexStorage::Create(IVideoDriver* driver)
{
    streams = nullptr;
    buffer = nullptr;
    stride = 0;
    if (!driver)
        return;
    streams = CVertexStreams::allocate(1, 1u << EVA_COLOR0);   // position, one texture set, colour
    if (!streams)
        return;
    buffer = driver->createBuffer(EBT_VERTEX, EBU_DYNAMIC, 4 * 24, nullptr, false);
    if (!buffer) {
        streams = nullptr;
        return;
    }
    stride = streams->setupStreams(buffer, streams->getAttributeMask());
}
