#include "engine/video/gl/CCommonGLDriverBase.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "engine/os/Printer.h"
#include "engine/video/CLight.h"
#include "engine/video/IRenderTarget.h"
#include "engine/video/ITexture.h"
#include "engine/video/material/CVertexStreams.h"

namespace pravik::video {

namespace {
std::bitset<EGLE_COUNT> s_hiddenExtensions;
}

CCommonGLDriverBase::CCommonGLDriverBase(IDevice* device, IShaderManager* shaderManager)
    : IVideoDriver(device, shaderManager, nullptr, nullptr, nullptr, nullptr)
{
}

void CCommonGLDriverBase::hideExtensions(std::initializer_list<E_GL_EXTENSION> extensions)
{
    for (E_GL_EXTENSION e : extensions) s_hiddenExtensions.set(e);
}

void CCommonGLDriverBase::clearHiddenExtensions()
{
    s_hiddenExtensions.reset();
}

void CCommonGLDriverBase::initExtensions(const unsigned char* extensionText)
{
    if (!extensionText) return;
    os::Printer::log("Available OpenGL extensions:", ELL_INFORMATION);
    const char* const* names = getStringsInternal((E_GL_EXTENSION*)nullptr);
    const char* text = reinterpret_cast<const char*>(extensionText);
    // The last name counts too, even without a space after it.
    while (*text) {
        const char* end = std::strchr(text, ' ');
        const std::string name = end ? std::string(text, end) : std::string(text);
        for (unsigned e = 0; e < EGLE_COUNT; ++e)
            if (names[e] && name == names[e]) {
                m_extensions.set(e);
                break;
            }
        os::Printer::logf(ELL_INFORMATION, "\t%s", name.c_str());
        if (!end) break;
        text = end + 1;
    }
    m_extensions &= ~s_hiddenExtensions;
}

CCommonGLDriverBase::CFramebufferBase* CCommonGLDriverBase::screenFramebuffer() const
{
    return m_renderTargets.empty() ? nullptr : static_cast<CFramebufferBase*>(m_renderTargets.front().get());
}

SScreenArea CCommonGLDriverBase::getScreenArea() const
{
    SScreenArea s;
    s.orientation = m_orientation;
    if (const CFramebufferBase* f = screenFramebuffer()) {
        s.width = f->getSize().Width;
        s.height = f->getSize().Height;
        s.areaX = f->m_areaX;
        s.areaY = f->m_areaY;
        s.extraWidth = f->m_extraWidth;
        s.extraHeight = f->m_extraHeight;
    }
    return s;
}

void CCommonGLDriverBase::setScreenArea(const SScreenArea& s)
{
    m_orientation = E_ORIENTATION(s.orientation);
    CFramebufferBase* f = screenFramebuffer();
    if (!f) return;
    f->setSize(core::dimension2d<int>(s.width, s.height));
    f->m_areaX = s.areaX;
    f->m_areaY = s.areaY;
    f->m_extraWidth = s.extraWidth;
    f->m_extraHeight = s.extraHeight;
}

void CCommonGLDriverBase::setOrientation(E_ORIENTATION orientation)
{
    CFramebufferBase* f = screenFramebuffer();
    if (!f || orientation == m_orientation) return;
    SScreenArea s = getScreenArea();
    core::rect<int> viewport = f->getViewport();
    s.setOrientation(orientation, viewport);
    setScreenArea(s);
    f->setViewport(viewport);
}

void CCommonGLDriverBase::setFramebufferScreen(const core::rect<int>& area)
{
    CFramebufferBase* f = screenFramebuffer();
    if (!f) return;
    SScreenArea s = getScreenArea();
    const core::dimension2d<int> previous = s.setArea(area);
    setScreenArea(s);
    const core::rect<int>& v = f->getViewport();
    if (v.getWidth() == previous.Width && v.getHeight() == previous.Height)
        f->setViewport(core::rect<int>(0, 0, s.width, s.height));
    m_internalFlags |= EVDIF_SCREEN_AREA_SET;
}

bool CCommonGLDriverBase::captureFramebuffer(const boost::intrusive_ptr<ITexture>& texture,
                                             const core::position2d<int>& destination, const core::rect<int>& source,
                                             unsigned char level, E_TEXTURE_CUBE_MAP_FACE face, bool flag)
{
    if (!texture || level >= texture->getMipmapCount()) return false;
    if ((texture->getStateFlags() & ETSF_ONLY_LEVEL0) && level != 0) return false;
    if (unsigned(face) >= texture->getFaceCount()) return false;
    if (destination.X >= texture->getWidth() || destination.Y >= texture->getHeight()) return false;
    core::position2d<int> d = destination;
    core::rect<int> s = source;
    // A destination left of or above the texture cuts as much off the source.
    if (d.X < 0) s.UpperLeftCorner.X -= d.X, d.X = 0;
    if (d.Y < 0) s.UpperLeftCorner.Y -= d.Y, d.Y = 0;
    if (const IRenderTarget* target = getCurrentRenderTarget()) {
        const core::rect<int>& v = target->getViewport();
        s.LowerRightCorner.X = std::min(s.LowerRightCorner.X, v.LowerRightCorner.X);
        s.LowerRightCorner.Y = std::min(s.LowerRightCorner.Y, v.LowerRightCorner.Y);
        s.UpperLeftCorner.X = std::max(s.UpperLeftCorner.X, v.UpperLeftCorner.X);
        s.UpperLeftCorner.Y = std::max(s.UpperLeftCorner.Y, v.UpperLeftCorner.Y);
        s.UpperLeftCorner.Y = std::min(s.UpperLeftCorner.Y, s.LowerRightCorner.Y);
        s.UpperLeftCorner.X = std::min(s.UpperLeftCorner.X, s.LowerRightCorner.X);
    }
    return captureFramebufferImpl(texture, d, s, level, face, flag);
}

void CCommonGLDriverBase::onResize(const core::dimension2d<int>& physicalSize)
{
    CFramebufferBase* f = screenFramebuffer();
    if (!f) return;
    SScreenArea s = getScreenArea();
    const core::dimension2d<int> old(s.width, s.height);
    const core::rect<int> oldViewport = f->getViewport();
    s.resize(physicalSize);
    setScreenArea(s);
    if (oldViewport.getWidth() == old.Width && oldViewport.getHeight() == old.Height)
        f->setViewport(core::rect<int>(0, 0, s.width, s.height));
    else
        f->setViewport(oldViewport);
}

unsigned CCommonGLDriverBase::viewportKey() const
{
    return m_renderTargets.size() > 1 ? 0u : unsigned(m_orientation);
}

bool CCommonGLDriverBase::fixUpScreenArea(const core::rect<int>& area, int& x, int& y, int& w, int& h,
                                          bool allowEmpty, bool force) const
{
    return getScreenArea().fixUpScreenArea(area, x, y, w, h, allowEmpty, force, m_renderTargets.size() == 1);
}

void CCommonGLDriverBase::fixUpProjectionMatrix(core::CMatrix4<float>& m) const
{
    m.setDefinitelyIdentityMatrix(false);
    float* e = m.pointer();
    if (e[11] != 0.f) {
        e[10] = e[10] * 2.f - 1.f;
        e[14] = e[14] * 2.f;
    } else {
        e[14] = e[14] * 2.f - 1.f;
        e[10] = e[10] * 2.f;
    }
    if (m_flipY)
        for (int i = 1; i < 16; i += 4) e[i] = -e[i];
    getScreenArea().fixUpProjectionMatrixOrientation(m, m_renderTargets.size() == 1);
}

void CCommonGLDriverBase::set2DProjection()
{
    const IRenderTarget* top = getCurrentRenderTarget();
    if (!top) return;
    const float w = float(top->getViewport().getWidth());
    const float h = float(top->getViewport().getHeight());
    core::CMatrix4<float> m = core::buildProjectionMatrixOrtho(0.f, w, h, 0.f, -1.f, 1.f);
    m[12] += 0.375f * m[0];
    m[13] += 0.375f * m[5];
    m.setDefinitelyIdentityMatrix(false);
    setTransform(ETS_PROJECTION, m);
}

void CCommonGLDriverBase::drawQuads(const core::rect<int>& dest, const core::rect<float>& source,
                                    const SColor colors[4])
{
    if (!m_vertexBuffer || !m_quadStreams) return;
    const auto& d0 = dest.UpperLeftCorner;
    const auto& d1 = dest.LowerRightCorner;
    const auto& s0 = source.UpperLeftCorner;
    const auto& s1 = source.LowerRightCorner;
    m_quad[0] = {s1.X, s1.Y, colors[2], float(d1.X), float(d1.Y), 0.f};
    m_quad[1] = {s1.X, s0.Y, colors[3], float(d1.X), float(d0.Y), 0.f};
    m_quad[2] = {s0.X, s1.Y, colors[1], float(d0.X), float(d1.Y), 0.f};
    m_quad[3] = {s0.X, s0.Y, colors[0], float(d0.X), float(d0.Y), 0.f};
    m_vertexBuffer->reset(sizeof m_quad, m_quad, false);
    m_quadStreams->setVertexCount(4);
    draw(m_quadStreams, CPrimitiveStream(nullptr, 0, 4, 0, 4, EIT_NONE, EPT_TRIANGLE_STRIP));
}

void CCommonGLDriverBase::getRenderState(detail::driver::SRenderState& state) const
{
    unsigned w = state.word & ~0x3FFFFFu;
    w |= unsigned(m_stencilMask) | unsigned(m_clearStencil) << 8;
    for (int i = 0; i < 4; ++i) w |= unsigned(m_colorMask[i]) << (16 + i);
    w |= unsigned(m_dither) << 20 | unsigned(m_scissorTest) << 21;
    state.word = w;
    state.clearColor = m_clearColor;
    state.clearDepth = m_clearDepth;
    state.depthNear = m_depthNear;
    state.depthFar = m_depthFar;
    state.scissor = m_scissor;
}

}  // namespace pravik::video
