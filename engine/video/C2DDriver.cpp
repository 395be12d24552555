#include "engine/video/C2DDriver.h"

#include "engine/video/material/CMaterial.h"
#include "engine/video/material/CMaterialRendererManager.h"
#include "engine/video/ITexture.h"
#include "engine/video/IVideoDriver.h"

#include <cmath>
#include <cstdlib>

namespace pravik::video {

C2DDriver::C2DDriver(IVideoDriver* driver) : IReferenceCounted(1), m_driver(driver) {}

C2DDriver::~C2DDriver() = default;

void C2DDriver::init()
{
    if (m_initialised) return;
    CMaterialRendererManager* manager = m_driver->getMaterialRendererManager();
    m_solid = manager->createMaterialInstance(EMT_UNLIT_NON_TEXTURED_BLEND_NO_DEPTH);
    m_alphaImage = manager->createMaterialInstance(EMT_UNLIT_TEXTURED_BLEND_TEXTURE_ALPHA_NO_CULLING_NO_DEPTH);
    m_image = manager->createMaterialInstance(EMT_UNLIT_TEXTURED_BLEND_NO_DEPTH);
    if (m_alphaImage) m_alphaImageTexture = m_alphaImage->getMaterialRenderer()->getParameterID(ESPT_TEXTURE, 0);
    if (m_image) m_imageTexture = m_image->getMaterialRenderer()->getParameterID(ESPT_TEXTURE, 0);
    m_initialised = true;
}

boost::intrusive_ptr<CMaterial> C2DDriver::get2DMaterial(const boost::intrusive_ptr<ITexture>& texture, bool alpha)
{
    init();
    if (!texture) return m_solid;
    boost::intrusive_ptr<CMaterial>& m = alpha ? m_alphaImage : m_image;
    if (m) m->setParameter(alpha ? m_alphaImageTexture : m_imageTexture, 0, texture);
    return m;
}

boost::intrusive_ptr<CMaterial> C2DDriver::set2DTexture(const boost::intrusive_ptr<ITexture>& texture, bool alpha)
{
    boost::intrusive_ptr<CMaterial> m = get2DMaterial(texture, alpha);
    m_driver->setMaterial(m, m ? m->getTechnique() : 255, nullptr);
    return m;
}

void C2DDriver::freeTextures()
{
    m_driver->flush();
    if (m_alphaImage) m_alphaImage->setParameter(m_alphaImageTexture, 0, boost::intrusive_ptr<ITexture>());
    if (m_image) m_image->setParameter(m_imageTexture, 0, boost::intrusive_ptr<ITexture>());
}

void C2DDriver::draw2DLine(const core::position2d<int>& start, const core::position2d<int>& end, SColor color)
{
    m_driver->draw2DLine(start, end, color);
}

void C2DDriver::draw2DRectangle(const core::rect<int>& rect, const core::rect<int>& sourceRect, const SColor* colors,
                                const core::rect<int>* clip)
{
    m_driver->draw2DRectangle(rect, sourceRect, colors, clip);
}

void C2DDriver::draw2DRectangle(const core::rect<int>& rect, SColor c1, SColor c2, SColor c3, SColor c4, const core::rect<int>* clip)
{
    set2DTexture(nullptr, false);
    const SColor colors[4] = {c1, c2, c4, c3};
    m_driver->draw2DRectangle(rect, core::rect<int>(0, 0, 0, 0), colors, clip);
}

void C2DDriver::draw2DRectangle(SColor color, const core::rect<int>& rect, const core::rect<int>* clip)
{
    draw2DRectangle(rect, color, color, color, color, clip);
}

void C2DDriver::draw2DImage(const boost::intrusive_ptr<ITexture>& texture, const core::rect<int>& destRect,
                            const core::rect<int>& sourceRect, const core::rect<int>* clip, const SColor* colors, bool alpha)
{
    set2DTexture(texture, alpha);
    static const SColor white[4] = {SColor(255, 255, 255, 255), SColor(255, 255, 255, 255), SColor(255, 255, 255, 255),
                                    SColor(255, 255, 255, 255)};
    m_driver->draw2DRectangle(destRect, sourceRect, colors ? colors : white, clip);
}

void C2DDriver::draw2DImage(const boost::intrusive_ptr<ITexture>& texture, const core::position2d<int>& pos,
                            const core::rect<int>& sourceRect, const core::rect<int>* clip, SColor color, bool alpha)
{
    set2DTexture(texture, alpha);
    const core::rect<int> dest(pos.X, pos.Y, pos.X + std::abs(sourceRect.LowerRightCorner.X - sourceRect.UpperLeftCorner.X),
                               pos.Y + std::abs(sourceRect.LowerRightCorner.Y - sourceRect.UpperLeftCorner.Y));
    const SColor colors[4] = {color, color, color, color};
    m_driver->draw2DRectangle(dest, sourceRect, colors, clip);
}

void C2DDriver::draw2DImage(const boost::intrusive_ptr<ITexture>& texture, const core::position2d<int>& pos,
                            const std::vector<core::rect<int>>& sourceRects, const std::vector<int>& indices, int kerningWidth,
                            const core::rect<int>* clip, SColor color, bool alpha)
{
    core::position2d<int> at = pos;
    for (int index : indices) {
        if (index < 0 || size_t(index) >= sourceRects.size()) continue;  // an index outside the list draws nothing
        const core::rect<int>& r = sourceRects[size_t(index)];
        draw2DImage(texture, at, r, clip, color, alpha);
        at.X += r.LowerRightCorner.X - r.UpperLeftCorner.X + kerningWidth;
    }
}

void C2DDriver::draw2DImage(const boost::intrusive_ptr<ITexture>& texture, const core::position2d<int>& pos)
{
    if (!texture) return;
    draw2DImage(texture, pos, core::rect<int>(0, 0, texture->getWidth(), texture->getHeight()), nullptr,
                SColor(255, 255, 255, 255), false);
}

void C2DDriver::draw2DPolygon(core::position2d<int> center, float radius, SColor color, int count)
{
    core::position2d<int> first(0, 0), previous(0, 0), point(0, 0);
    for (int i = 0; i < count; ++i) {
        const float angle = (float(i) / float(count)) * 6.2831855f;
        point = core::position2d<int>(center.X + int(radius * std::sin(angle)), center.Y + int(radius * std::cos(angle)));
        if (i == 0) first = point;
        else m_driver->draw2DLine(point, previous, color);
        previous = point;
    }
    m_driver->draw2DLine(point, first, color);
}

// --- static forms -------------------------------------------------------------------------------

namespace {
C2DDriver* drawer(IVideoDriver* driver) { return driver ? driver->get2DDriver() : nullptr; }
}  // namespace

void C2DDriver::draw2DLine(IVideoDriver* driver, const core::position2d<int>& a, const core::position2d<int>& b, SColor c)
{
    if (driver) driver->draw2DLine(a, b, c);
}
void C2DDriver::draw2DRectangle(IVideoDriver* driver, const core::rect<int>& rect, const core::rect<int>& sourceRect,
                                const SColor* colors, const core::rect<int>* clip)
{
    if (driver) driver->draw2DRectangle(rect, sourceRect, colors, clip);
}
void C2DDriver::draw2DRectangle(IVideoDriver* driver, const core::rect<int>& rect, SColor c1, SColor c2, SColor c3, SColor c4,
                                const core::rect<int>* clip)
{
    if (C2DDriver* d = drawer(driver)) d->draw2DRectangle(rect, c1, c2, c3, c4, clip);
}
void C2DDriver::draw2DRectangle(IVideoDriver* driver, SColor color, const core::rect<int>& rect, const core::rect<int>* clip)
{
    if (C2DDriver* d = drawer(driver)) d->draw2DRectangle(color, rect, clip);
}
void C2DDriver::draw2DImage(IVideoDriver* driver, const boost::intrusive_ptr<ITexture>& t, const core::rect<int>& destRect,
                            const core::rect<int>& sourceRect, const core::rect<int>* clip, const SColor* colors, bool alpha)
{
    if (C2DDriver* d = drawer(driver)) d->draw2DImage(t, destRect, sourceRect, clip, colors, alpha);
}
void C2DDriver::draw2DImage(IVideoDriver* driver, const boost::intrusive_ptr<ITexture>& t, const core::position2d<int>& pos,
                            const core::rect<int>& sourceRect, const core::rect<int>* clip, SColor color, bool alpha)
{
    if (C2DDriver* d = drawer(driver)) d->draw2DImage(t, pos, sourceRect, clip, color, alpha);
}
void C2DDriver::draw2DImage(IVideoDriver* driver, const boost::intrusive_ptr<ITexture>& t, const core::position2d<int>& pos,
                            const std::vector<core::rect<int>>& rects, const std::vector<int>& indices, int kerning,
                            const core::rect<int>* clip, SColor color, bool alpha)
{
    if (C2DDriver* d = drawer(driver)) d->draw2DImage(t, pos, rects, indices, kerning, clip, color, alpha);
}
void C2DDriver::draw2DImage(IVideoDriver* driver, const boost::intrusive_ptr<ITexture>& t, const core::position2d<int>& pos)
{
    if (C2DDriver* d = drawer(driver)) d->draw2DImage(t, pos);
}
void C2DDriver::draw2DPolygon(IVideoDriver* driver, core::position2d<int> center, float radius, SColor color, int count)
{
    if (C2DDriver* d = drawer(driver)) d->draw2DPolygon(center, radius, color, count);
}
void C2DDriver::freeTextures(IVideoDriver* driver)
{
    if (C2DDriver* d = drawer(driver)) d->freeTextures();
}
boost::intrusive_ptr<CMaterial> C2DDriver::get2DMaterial(IVideoDriver* driver, const boost::intrusive_ptr<ITexture>& t, bool alpha)
{
    C2DDriver* d = drawer(driver);
    return d ? d->get2DMaterial(t, alpha) : nullptr;
}
boost::intrusive_ptr<CMaterial> C2DDriver::set2DTexture(IVideoDriver* driver, const boost::intrusive_ptr<ITexture>& t, bool alpha)
{
    C2DDriver* d = drawer(driver);
    return d ? d->set2DTexture(t, alpha) : nullptr;
}

}  // namespace pravik::video
