#pragma once
// What a mesh keeps between frames for the driver: a vertex buffer the driver laid out for a
// range of vertices and a set of attributes, or the batch-mesh segment it draws from.
// Owned by the mesh that asked for it; destroying it gives the buffer back to its driver.

#include "engine/video/EDriverTypes.h"
#include "engine/video/IBuffer.h"

#include <boost/intrusive_ptr.hpp>

namespace pravik::video {

class IVideoDriver;
class CVertexStreams;

class CDriverBinding {
public:
    explicit CDriverBinding(IVideoDriver* driver) : m_driver(driver) {}
    virtual ~CDriverBinding();
    CDriverBinding(const CDriverBinding&) = delete;
    CDriverBinding& operator=(const CDriverBinding&) = delete;
    virtual void onDelete() {}

    E_DRIVER_ALLOCATION_RESULT getProcessBuffer(IVideoDriver* driver, unsigned firstVertex, unsigned vertexEnd,
                                                unsigned attributeMask, const boost::intrusive_ptr<CVertexStreams>& streams,
                                                bool allocate);
    boost::intrusive_ptr<IBuffer> getNewAllocator(IVideoDriver* driver);

    boost::intrusive_ptr<IBuffer> Buffer;
    unsigned int FirstVertex = 0;
    unsigned int VertexEnd = 0;
    unsigned int AttributeMask = 0;
    unsigned short Stride = 0;
    void* CompiledMesh = nullptr;  // a batch mesh (geometry batching), or null
    unsigned int SegmentIndex = 0;

protected:
    IVideoDriver* m_driver;
};

namespace detail {
// Interleaved layout of the attributes of a mask: offsets from 0 in record order; the vertex size.
unsigned short getStrides(unsigned mask, CVertexStreams& streams);
void assignBuffer(const boost::intrusive_ptr<IBuffer>& buffer, unsigned stride, int offsetDelta, unsigned mask,
                  CVertexStreams& streams);
boost::intrusive_ptr<IBuffer> clearBuffer(unsigned firstVertex, unsigned mask, CVertexStreams& streams);
}  // namespace detail

}  // namespace pravik::video
