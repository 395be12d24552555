#pragma once
// What a particle system's render-data model hands its node for one draw: the baked vertices'
// streams, the primitives to draw over them and the vertex bytes one particle takes.

#include "engine/video/material/CPrimitiveStream.h"
#include "engine/video/material/CVertexStreams.h"

#include <boost/intrusive_ptr.hpp>

namespace pravik::scene {
class CMeshBuffer;
}
namespace pravik::video {
class IVideoDriver;
}

namespace pravik::ps {

struct PRenderData {
    PRenderData();

    // Lays the streams out for the particle mesh's attributes over the current vertex buffer;
    // the driver is not used.
    void setRenderDataInfo(scene::CMeshBuffer* mesh, video::IVideoDriver* driver);

    boost::intrusive_ptr<video::CVertexStreams> VertexStreams;
    video::CPrimitiveStream PrimitiveStream;
    unsigned BytesPerParticle = 0;
};

} // namespace pravik::ps
