#include "engine/scene/CMeshBuffer.h"

#include "engine/video/CDriverBinding.h"
#include "engine/video/IVideoDriver.h"

namespace pravik::scene {

CMeshBuffer::~CMeshBuffer()
{
    delete DriverBinding;
}

void CMeshBuffer::onDelete()
{
    if (DriverBinding) DriverBinding->onDelete();
}

boost::intrusive_ptr<CMeshBuffer> CMeshBuffer::clone() const
{
    boost::intrusive_ptr<CMeshBuffer> copy(new CMeshBuffer(VertexStreams ? VertexStreams->clone() : nullptr,
                                                           PrimitiveStream));
    copy->Dynamic = Dynamic;
    return copy;
}

void CMeshBuffer::draw(video::IVideoDriver* driver)
{
    if (driver) driver->draw(VertexStreams, PrimitiveStream, &DriverBinding, this);
}

}  // namespace pravik::scene
