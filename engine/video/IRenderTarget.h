#pragma once
// Everything the driver can draw into: the screen framebuffer and off-screen targets. The
// viewport is kept inside the target; the one on top of the driver's stack is the driver's.

#include "engine/IReferenceCounted.h"
#include "engine/core/dimension2d.h"
#include "engine/core/rect.h"

namespace pravik::video {

class IVideoDriver;

class IRenderTarget : public IReferenceCounted {
public:
    IRenderTarget(IVideoDriver* driver, const core::dimension2d<int>& size)
        : IReferenceCounted(0), m_driver(driver), m_size(size), m_viewport(0, 0, size.Width, size.Height) {}

    // Clamped to the target; handed to the driver when this target is on top of its stack.
    virtual void setViewport(const core::rect<int>& viewport);
    virtual bool bind() = 0;
    virtual bool unbind() = 0;

    IVideoDriver* getVideoDriver() const { return m_driver; }
    const core::dimension2d<int>& getSize() const { return m_size; }
    const core::rect<int>& getViewport() const { return m_viewport; }

protected:
    IVideoDriver* m_driver;
    core::dimension2d<int> m_size;
    core::rect<int> m_viewport;
};

}  // namespace pravik::video
