#include "engine/ps/PRenderData.h"
#include "engine/scene/CMeshBuffer.h"

namespace pravik::ps {

PRenderData::PRenderData()
{
    PrimitiveStream.IndexType = video::EIT_NONE;
    PrimitiveStream.PrimitiveType = video::EPT_TRIANGLES;
}

void PRenderData::setRenderDataInfo(scene::CMeshBuffer* mesh, video::IVideoDriver*)
{
    if (!mesh || !mesh->VertexStreams)
        return;
    boost::intrusive_ptr<video::IBuffer> buffer;
    if (VertexStreams && VertexStreams->begin() != VertexStreams->end())
        buffer = VertexStreams->begin()->buffer;
    const unsigned mask = mesh->VertexStreams->getActiveAttributeMask();
    if (!VertexStreams || (mask & ~VertexStreams->getAttributeMask()) != 0)
        VertexStreams = video::CVertexStreams::allocate(mask);
    const unsigned stride = VertexStreams->setupStreams(buffer, mask);
    BytesPerParticle = stride * mesh->VertexStreams->getVertexCount();
}

} // namespace pravik::ps
