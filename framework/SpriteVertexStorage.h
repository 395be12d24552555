// The vertex storage a sprite or a glyph font makes when it loads: a stream set of position
// (3 floats at byte 0), one texture coordinate (2 floats at byte 12) and colour (4 bytes at
// byte 20) interleaved over one vertex buffer of the driver, 24 bytes a vertex. Painting goes
// through the quad batcher; the storage is kept for what draws meshes of the sprite.
#pragma once

#include "engine/video/IBuffer.h"
#include "engine/video/material/CVertexStreams.h"

#include <boost/intrusive_ptr.hpp>

namespace pravik::video {
class IVideoDriver;
}

struct SSpriteVertexStorage {
    boost::intrusive_ptr<pravik::video::CVertexStreams> streams;
    boost::intrusive_ptr<pravik::video::IBuffer> buffer;
    unsigned short stride = 0;

    // Replaces both (a quad's four vertices); both stay null without a driver.
    void Create(pravik::video::IVideoDriver* driver);
};
