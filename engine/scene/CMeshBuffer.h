#pragma once
// The unit of geometry one draw renders with one material: a vertex stream set and a primitive
// stream, plus the binding the driver makes on the first draw. Clones share vertex and index
// data. The dynamic flag marks buffers refilled every frame (particles).

#include "engine/IReferenceCounted.h"
#include "engine/video/material/CPrimitiveStream.h"
#include "engine/video/material/CVertexStreams.h"

#include <boost/intrusive_ptr.hpp>

namespace pravik::video {
class CDriverBinding;
class IVideoDriver;
}  // namespace pravik::video

namespace pravik::scene {

class CMeshBuffer : public IReferenceCounted {
public:
    // Count 0: the first intrusive pointer takes the first reference.
    CMeshBuffer() : IReferenceCounted(0) {}
    CMeshBuffer(const boost::intrusive_ptr<video::CVertexStreams>& streams, const video::CPrimitiveStream& primitives)
        : IReferenceCounted(0), VertexStreams(streams), PrimitiveStream(primitives) {}
    ~CMeshBuffer() override;
    CMeshBuffer(const CMeshBuffer&) = delete;
    CMeshBuffer& operator=(const CMeshBuffer&) = delete;

    boost::intrusive_ptr<CMeshBuffer> clone() const;
    void draw(video::IVideoDriver* driver);  // streams, primitives, the binding slot and this buffer

    boost::intrusive_ptr<video::CVertexStreams> VertexStreams;
    video::CPrimitiveStream PrimitiveStream;
    video::CDriverBinding* DriverBinding = nullptr;
    unsigned char Dynamic = 0;

protected:
    void onDelete() override;
};

}  // namespace pravik::scene
