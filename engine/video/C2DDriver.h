#pragma once
// Draws lines, n-gon circles, filled rectangles with one or four colours and textured
// rectangles with whatever driver it was made for: it sets one of three long-lived 2D
// material instances and hands the geometry to the driver's own 2D primitives.
// Static forms take the driver first and use the driver's drawing object.

#include "engine/IReferenceCounted.h"
#include "engine/core/position2d.h"
#include "engine/core/rect.h"
#include "engine/video/SColor.h"

#include <boost/intrusive_ptr.hpp>

#include <vector>

namespace pravik::video {

class IVideoDriver;
class ITexture;
class CMaterial;

class C2DDriver : public IReferenceCounted {
public:
    explicit C2DDriver(IVideoDriver* driver);
    ~C2DDriver() override;

    void init();
    boost::intrusive_ptr<CMaterial> get2DMaterial(const boost::intrusive_ptr<ITexture>& texture, bool useAlphaChannelOfTexture);
    boost::intrusive_ptr<CMaterial> set2DTexture(const boost::intrusive_ptr<ITexture>& texture, bool useAlphaChannelOfTexture);
    void freeTextures();

    void draw2DLine(const core::position2d<int>& start, const core::position2d<int>& end, SColor color);
    void draw2DRectangle(const core::rect<int>& rect, const core::rect<int>& sourceRect, const SColor* colors,
                         const core::rect<int>* clip);
    void draw2DRectangle(const core::rect<int>& rect, SColor c1, SColor c2, SColor c3, SColor c4, const core::rect<int>* clip);
    void draw2DRectangle(SColor color, const core::rect<int>& rect, const core::rect<int>* clip);
    void draw2DImage(const boost::intrusive_ptr<ITexture>& texture, const core::rect<int>& destRect,
                     const core::rect<int>& sourceRect, const core::rect<int>* clip, const SColor* colors,
                     bool useAlphaChannelOfTexture);
    void draw2DImage(const boost::intrusive_ptr<ITexture>& texture, const core::position2d<int>& pos,
                     const core::rect<int>& sourceRect, const core::rect<int>* clip, SColor color,
                     bool useAlphaChannelOfTexture);
    void draw2DImage(const boost::intrusive_ptr<ITexture>& texture, const core::position2d<int>& pos,
                     const std::vector<core::rect<int>>& sourceRects, const std::vector<int>& indices, int kerningWidth,
                     const core::rect<int>* clip, SColor color, bool useAlphaChannelOfTexture);
    void draw2DImage(const boost::intrusive_ptr<ITexture>& texture, const core::position2d<int>& pos);
    void draw2DPolygon(core::position2d<int> center, float radius, SColor color, int count);

    static void draw2DLine(IVideoDriver* driver, const core::position2d<int>& start, const core::position2d<int>& end, SColor color);
    static void draw2DRectangle(IVideoDriver* driver, const core::rect<int>& rect, const core::rect<int>& sourceRect,
                                const SColor* colors, const core::rect<int>* clip);
    static void draw2DRectangle(IVideoDriver* driver, const core::rect<int>& rect, SColor c1, SColor c2, SColor c3, SColor c4,
                                const core::rect<int>* clip);
    static void draw2DRectangle(IVideoDriver* driver, SColor color, const core::rect<int>& rect, const core::rect<int>* clip);
    static void draw2DImage(IVideoDriver* driver, const boost::intrusive_ptr<ITexture>& texture, const core::rect<int>& destRect,
                            const core::rect<int>& sourceRect, const core::rect<int>* clip, const SColor* colors,
                            bool useAlphaChannelOfTexture);
    static void draw2DImage(IVideoDriver* driver, const boost::intrusive_ptr<ITexture>& texture, const core::position2d<int>& pos,
                            const core::rect<int>& sourceRect, const core::rect<int>* clip, SColor color,
                            bool useAlphaChannelOfTexture);
    static void draw2DImage(IVideoDriver* driver, const boost::intrusive_ptr<ITexture>& texture, const core::position2d<int>& pos,
                            const std::vector<core::rect<int>>& sourceRects, const std::vector<int>& indices, int kerningWidth,
                            const core::rect<int>* clip, SColor color, bool useAlphaChannelOfTexture);
    static void draw2DImage(IVideoDriver* driver, const boost::intrusive_ptr<ITexture>& texture, const core::position2d<int>& pos);
    static void draw2DPolygon(IVideoDriver* driver, core::position2d<int> center, float radius, SColor color, int count);
    static void freeTextures(IVideoDriver* driver);
    static boost::intrusive_ptr<CMaterial> get2DMaterial(IVideoDriver* driver, const boost::intrusive_ptr<ITexture>& texture,
                                                         bool useAlphaChannelOfTexture);
    static boost::intrusive_ptr<CMaterial> set2DTexture(IVideoDriver* driver, const boost::intrusive_ptr<ITexture>& texture,
                                                        bool useAlphaChannelOfTexture);

    IVideoDriver* getVideoDriver() const { return m_driver; }

private:
    IVideoDriver* m_driver;
    boost::intrusive_ptr<CMaterial> m_solid;
    boost::intrusive_ptr<CMaterial> m_alphaImage;
    unsigned short m_alphaImageTexture = 0;
    boost::intrusive_ptr<CMaterial> m_image;
    unsigned short m_imageTexture = 0;
    bool m_initialised = false;
};

}  // namespace pravik::video
