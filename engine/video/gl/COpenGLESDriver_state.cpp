// The render-state cache: every setter compares with the shadow and, on a change only, flushes
// the pending batch, calls GL and stores the value. Pass records are applied at draw time
// without flushing.

#include "engine/os/Printer.h"
#include "engine/video/material/CMaterial.h"
#include "engine/video/material/CMaterialRenderer.h"
#include "engine/video/gl/COpenGLESDriver.h"
#include "engine/video/gl/GLDispatch.h"

namespace pravik::video {

namespace {

const GLenum BlendFactors[] = {GL_ZERO, GL_ONE, GL_SRC_COLOR, GL_ONE_MINUS_SRC_COLOR, GL_SRC_ALPHA,
                               GL_ONE_MINUS_SRC_ALPHA, GL_DST_COLOR, GL_ONE_MINUS_DST_COLOR, GL_DST_ALPHA,
                               GL_ONE_MINUS_DST_ALPHA, 0x8001, 0x8002, 0x8003, 0x8004, GL_SRC_ALPHA_SATURATE, GL_ONE};
const GLenum BlendEquations[] = {0x8006, 0x800A, 0x800B, 0x8007, 0x8008, 0x8006, 0x8006, 0x8006};
const GLenum FaceSides[] = {GL_BACK, GL_FRONT, GL_FRONT_AND_BACK, GL_BACK};
const GLenum CompareFuncs[] = {GL_NEVER, GL_LESS, GL_EQUAL, GL_LEQUAL, GL_GREATER, GL_NOTEQUAL, GL_GEQUAL, GL_ALWAYS};

GLenum blendFactor(unsigned f) { return BlendFactors[f & 15]; }
GLenum winding(E_FACE_WINDING w, bool flipped) { return (w == EFW_CCW) != flipped ? GL_CCW : GL_CW; }

void enable(GLenum cap, bool on)
{
    if (on) g_gl.glEnable(cap);
    else g_gl.glDisable(cap);
}

}  // namespace

#define PRAVIK_CACHED_ENABLE(setter, field, cap) \
    void COpenGLESDriver::setter(bool on)        \
    {                                            \
        if (field == on) return;                 \
        flush();                                 \
        enable(cap, on);                         \
        field = on;                              \
    }
PRAVIK_CACHED_ENABLE(setBlendEnable, m_blend, GL_BLEND)
PRAVIK_CACHED_ENABLE(setCullFaceEnable, m_cull, GL_CULL_FACE)
PRAVIK_CACHED_ENABLE(setDepthTestEnable, m_depthTest, GL_DEPTH_TEST)
PRAVIK_CACHED_ENABLE(setDitherEnable, m_dither, GL_DITHER)
PRAVIK_CACHED_ENABLE(setScissorEnable, m_scissorTest, GL_SCISSOR_TEST)
PRAVIK_CACHED_ENABLE(setSampleCoverageEnable, m_sampleCoverage, GL_SAMPLE_COVERAGE)
PRAVIK_CACHED_ENABLE(setSampleAlphaToCoverageEnable, m_alphaToCoverage, GL_SAMPLE_ALPHA_TO_COVERAGE)
PRAVIK_CACHED_ENABLE(setPolygonOffsetFillEnable, m_offsetFill, GL_POLYGON_OFFSET_FILL)
#undef PRAVIK_CACHED_ENABLE

void COpenGLESDriver::setBlendEquation(E_BLEND_EQUATION e)
{
    if (e == m_blendEquation || !queryFeature(E_VIDEO_DRIVER_FEATURE(18))) return;
    flush();
    g_gl.glBlendEquationOES(BlendEquations[e & 7]);
    m_blendEquation = e;
}

void COpenGLESDriver::setBlendFunc(E_BLEND_FACTOR src, E_BLEND_FACTOR dst)
{
    if (src == m_blendSrc && dst == m_blendDst) return;
    flush();
    g_gl.glBlendFunc(blendFactor(src), blendFactor(dst));
    m_blendSrc = src;
    m_blendDst = dst;
}

void COpenGLESDriver::setColorMask(bool r, bool g, bool b, bool a)
{
    const bool mask[4] = {r, g, b, a};
    if (std::equal(mask, mask + 4, m_colorMask)) return;
    flush();
    g_gl.glColorMask(r, g, b, a);
    std::copy(mask, mask + 4, m_colorMask);
}

void COpenGLESDriver::setClearColor(SColor c)
{
    if (c == m_clearColor) return;
    flush();
    g_gl.glClearColor(c.getRed() / 255.f, c.getGreen() / 255.f, c.getBlue() / 255.f, c.getAlpha() / 255.f);
    m_clearColor = c;
}

void COpenGLESDriver::setCullFace(E_FACE_SIDE f)
{
    if (f == m_cullFace) return;
    flush();
    g_gl.glCullFace(FaceSides[f & 3]);
    m_cullFace = f;
}

void COpenGLESDriver::setFrontFace(E_FACE_WINDING w)
{
    if (w == m_frontFace) return;
    flush();
    g_gl.glFrontFace(winding(w, m_flipY));
    m_frontFace = w;
}

void COpenGLESDriver::setDepthFunc(E_COMPARE_FUNC f)
{
    if (f == m_depthFunc) return;
    flush();
    g_gl.glDepthFunc(CompareFuncs[f & 7]);
    m_depthFunc = f;
}

void COpenGLESDriver::setDepthMask(bool on)
{
    if (on == m_depthMask) return;
    flush();
    g_gl.glDepthMask(on);
    m_depthMask = on;
}

void COpenGLESDriver::setClearDepth(float d)
{
    if (d == m_clearDepth) return;
    flush();
    g_gl.glClearDepthf(d);
    m_clearDepth = d;
}

void COpenGLESDriver::setDepthRange(float zNear, float zFar)
{
    if (zNear == m_depthNear && zFar == m_depthFar) return;
    flush();
    g_gl.glDepthRangef(zNear, zFar);
    m_depthNear = zNear;
    m_depthFar = zFar;
}

void COpenGLESDriver::setLineWidth(float w)
{
    if (w == m_lineWidth) return;
    flush();
    g_gl.glLineWidth(w);
    m_lineWidth = w;
}

void COpenGLESDriver::setPointSize(float s)
{
    if (s == m_pointSize) return;
    flush();
    g_gl.glPointSize(s);
    m_pointSize = s;
}

void COpenGLESDriver::setPolygonModeFront(E_POLYGON_MODE m)
{
    if (m == m_polygonModeFront) return;
    flush();
    m_polygonModeFront = m;
}

void COpenGLESDriver::setPolygonModeBack(E_POLYGON_MODE m)
{
    if (m == m_polygonModeBack) return;
    flush();
    m_polygonModeBack = m;
}

void COpenGLESDriver::setPolygonOffset(float factor, float units)
{
    if (factor == m_offsetFactor && units == m_offsetUnits) return;
    flush();
    g_gl.glPolygonOffset(factor, units);
    m_offsetFactor = factor;
    m_offsetUnits = units;
}

void COpenGLESDriver::setSampleCoverageValue(float v)
{
    if (v == m_sampleCoverageValue) return;
    flush();
    g_gl.glSampleCoverage(v, m_sampleCoverageInvert);
    m_sampleCoverageValue = v;
}

void COpenGLESDriver::setSampleCoverageInvert(bool on)
{
    if (on == m_sampleCoverageInvert) return;
    flush();
    g_gl.glSampleCoverage(m_sampleCoverageValue, on);
    m_sampleCoverageInvert = on;
}

void COpenGLESDriver::setStencilMask(unsigned char mask)
{
    if (mask == m_stencilMask) return;
    flush();
    g_gl.glStencilMask(mask);
    m_stencilMask = mask;
}

void COpenGLESDriver::setClearStencil(unsigned char s)
{
    if (s == m_clearStencil) return;
    flush();
    g_gl.glClearStencil(s);
    m_clearStencil = s;
}

void COpenGLESDriver::setScissor(const core::rect<int>& r)
{
    const unsigned key = viewportKey();
    if (r == m_scissor && key == m_scissorKey) return;
    flush();
    int x, y, w, h;
    if (!fixUpScreenArea(r, x, y, w, h, true, false)) return;
    g_gl.glScissor(x, y, w, h);
    m_scissor = r;
    m_scissorKey = key;
}

void COpenGLESDriver::setViewportImpl(const core::rect<int>& viewport)
{
    flush();
    const unsigned key = viewportKey();
    if (viewport == m_viewport && key == m_viewportKey) return;
    int x, y, w, h;
    if (!fixUpScreenArea(viewport, x, y, w, h, false, false)) return;
    g_gl.glViewport(x, y, w, h);
    const bool resized = viewport.getWidth() != m_viewport.getWidth() || viewport.getHeight() != m_viewport.getHeight();
    m_viewport = viewport;
    m_viewportKey = key;
    if (m_sceneMode == 1 && resized) set2DProjection();
}

void COpenGLESDriver::setRenderState(const detail::driver::SRenderState& s)
{
    const bool scissor = s.word >> 21 & 1;
    if (scissor != m_scissorTest) {
        enable(GL_SCISSOR_TEST, scissor);
        m_scissorTest = scissor;
    }
    const unsigned key = viewportKey();
    if (s.scissor != m_scissor || key != m_scissorKey) {
        int x, y, w, h;
        if (fixUpScreenArea(s.scissor, x, y, w, h, true, false)) g_gl.glScissor(x, y, w, h);
        m_scissor = s.scissor;
        m_scissorKey = key;
    }
    const bool mask[4] = {bool(s.word >> 16 & 1), bool(s.word >> 17 & 1), bool(s.word >> 18 & 1),
                          bool(s.word >> 19 & 1)};
    if (!std::equal(mask, mask + 4, m_colorMask)) {
        g_gl.glColorMask(mask[0], mask[1], mask[2], mask[3]);
        std::copy(mask, mask + 4, m_colorMask);
    }
    if (s.clearColor != m_clearColor) {
        const SColor c = s.clearColor;
        g_gl.glClearColor(c.getRed() / 255.f, c.getGreen() / 255.f, c.getBlue() / 255.f, c.getAlpha() / 255.f);
        m_clearColor = c;
    }
    if (s.clearDepth != m_clearDepth) {
        g_gl.glClearDepthf(s.clearDepth);
        m_clearDepth = s.clearDepth;
    }
    if (s.depthNear != m_depthNear || s.depthFar != m_depthFar) {
        g_gl.glDepthRangef(s.depthNear, s.depthFar);
        m_depthNear = s.depthNear;
        m_depthFar = s.depthFar;
    }
    const bool dither = s.word >> 20 & 1;
    if (dither != m_dither) {
        enable(GL_DITHER, dither);
        m_dither = dither;
    }
}

void COpenGLESDriver::applyRenderPass(const detail::renderpass::SRenderState& s)
{
    // Blend.
    if (s.get(1, 16, 1)) {
        if (!m_blend) {
            g_gl.glEnable(GL_BLEND);
            m_blend = true;
        }
        const E_BLEND_EQUATION e = s.getBlendEquation();
        if (queryFeature(E_VIDEO_DRIVER_FEATURE(18))) {
            if (e != m_blendEquation) {
                g_gl.glBlendEquationOES(BlendEquations[e & 7]);
                m_blendEquation = e;
            }
        } else if (e != EBE_ADD) {
            os::Printer::log("Blend equation not supported", "ignoring", ELL_ERROR);
        }
        if (s.getBlendFactorSrc() != m_blendSrc || s.getBlendFactorDest() != m_blendDst) {
            m_blendSrc = s.getBlendFactorSrc();
            m_blendDst = s.getBlendFactorDest();
            g_gl.glBlendFunc(blendFactor(m_blendSrc), blendFactor(m_blendDst));
        }
    } else if (m_blend) {
        g_gl.glDisable(GL_BLEND);
        m_blend = false;
    }
    // Cull face.
    if (s.get(1, 17, 1)) {
        if (!m_cull) {
            g_gl.glEnable(GL_CULL_FACE);
            m_cull = true;
        }
        if (s.getCullFace() != m_cullFace) {
            m_cullFace = s.getCullFace();
            g_gl.glCullFace(FaceSides[m_cullFace & 3]);
        }
    } else if (m_cull) {
        g_gl.glDisable(GL_CULL_FACE);
        m_cull = false;
    }
    // Depth test.
    if (s.getDepthTestEnable()) {
        if (!m_depthTest) {
            g_gl.glEnable(GL_DEPTH_TEST);
            m_depthTest = true;
        }
        if (s.getDepthFunc() != m_depthFunc) {
            m_depthFunc = s.getDepthFunc();
            g_gl.glDepthFunc(CompareFuncs[m_depthFunc & 7]);
        }
    } else if (m_depthTest) {
        g_gl.glDisable(GL_DEPTH_TEST);
        m_depthTest = false;
    }
    // Polygon offset.
    if (s.get(1, 21, 3)) {
        if (!m_offsetFill && s.get(1, 21, 1)) {
            g_gl.glEnable(GL_POLYGON_OFFSET_FILL);
            m_offsetFill = true;
        }
        if (s.polygonOffsetFactor != m_offsetFactor || s.polygonOffsetUnits != m_offsetUnits) {
            m_offsetFactor = s.polygonOffsetFactor;
            m_offsetUnits = s.polygonOffsetUnits;
            g_gl.glPolygonOffset(m_offsetFactor, m_offsetUnits);
        }
    } else if (m_offsetFill || m_offsetLine || m_offsetPoint) {
        g_gl.glDisable(GL_POLYGON_OFFSET_FILL);
        m_offsetFill = m_offsetLine = m_offsetPoint = false;
    }
    // Sample coverage.
    if (s.get(1, 25, 1)) {
        if (!m_sampleCoverage) {
            g_gl.glEnable(GL_SAMPLE_COVERAGE);
            m_sampleCoverage = true;
        }
        const bool invert = s.get(1, 26, 1);
        if (s.sampleCoverageValue != m_sampleCoverageValue || invert != m_sampleCoverageInvert) {
            m_sampleCoverageValue = s.sampleCoverageValue;
            m_sampleCoverageInvert = invert;
            g_gl.glSampleCoverage(m_sampleCoverageValue, invert);
        }
    } else if (m_sampleCoverage) {
        g_gl.glDisable(GL_SAMPLE_COVERAGE);
        m_sampleCoverage = false;
    }
    // Stencil: never enabled by this driver.
    if (!s.get(1, 27, 1) && m_stencilTest) {
        g_gl.glDisable(GL_STENCIL_TEST);
        m_stencilTest = false;
    }
    // The rest.
    const E_FACE_WINDING w = E_FACE_WINDING(s.get(1, 18, 1));
    if (w != m_frontFace) {
        m_frontFace = w;
        g_gl.glFrontFace(winding(w, m_flipY));
    }
    if (s.getDepthMask() != m_depthMask) {
        m_depthMask = s.getDepthMask();
        g_gl.glDepthMask(m_depthMask);
    }
    if (s.lineWidth != m_lineWidth) {
        m_lineWidth = s.lineWidth;
        g_gl.glLineWidth(m_lineWidth);
    }
    if (s.pointSize != m_pointSize) {
        m_pointSize = s.pointSize;
        g_gl.glPointSize(m_pointSize);
    }
    m_polygonModeFront = s.getPolygonModeFront();
    m_polygonModeBack = s.getPolygonModeBack();
    const bool a2c = s.get(1, 24, 1);
    if (a2c != m_alphaToCoverage) {
        m_alphaToCoverage = a2c;
        enable(GL_SAMPLE_ALPHA_TO_COVERAGE, a2c);
    }
}

void COpenGLESDriver::applyRenderStates(CMaterial* material, unsigned char technique, unsigned char pass)
{
    const CMaterialRenderer* renderer = material->getMaterialRenderer().get();
    const CMaterialRenderer::STechnique& t = renderer->getTechnique(technique);
    SRenderPass& p = t.passes[pass];
    SRenderPass& first = t.passes[0];
    const CMaterial* previous = getCommittedMaterial();
    const bool skip = previous && previous->getMaterialRenderer().get() == renderer && t.passCount <= 1 &&
                      !first.changed && pass == m_lastPass && technique == m_lastTechnique;
    if (!skip) {
        applyRenderPass(p.renderState);
        first.changed = 0;
    }
    m_lastPass = pass;
    m_lastTechnique = technique;
}

void COpenGLESDriver::restoreRenderState()
{
    enable(GL_BLEND, m_blend);
    if (queryFeature(E_VIDEO_DRIVER_FEATURE(18))) g_gl.glBlendEquationOES(BlendEquations[m_blendEquation & 7]);
    g_gl.glBlendFunc(blendFactor(m_blendSrc), blendFactor(m_blendDst));
    g_gl.glColorMask(m_colorMask[0], m_colorMask[1], m_colorMask[2], m_colorMask[3]);
    g_gl.glClearColor(m_clearColor.getRed() / 255.f, m_clearColor.getGreen() / 255.f, m_clearColor.getBlue() / 255.f,
                      m_clearColor.getAlpha() / 255.f);
    enable(GL_CULL_FACE, m_cull);
    g_gl.glCullFace(FaceSides[m_cullFace & 3]);
    g_gl.glFrontFace(winding(m_frontFace, m_flipY));
    enable(GL_DEPTH_TEST, m_depthTest);
    g_gl.glDepthFunc(CompareFuncs[m_depthFunc & 7]);
    g_gl.glDepthMask(m_depthMask);
    g_gl.glClearDepthf(m_clearDepth);
    g_gl.glDepthRangef(m_depthNear, m_depthFar);
    enable(GL_DITHER, m_dither);
    g_gl.glLineWidth(m_lineWidth);
    g_gl.glPointSize(m_pointSize);
    enable(GL_POLYGON_OFFSET_FILL, m_offsetFill);
    g_gl.glPolygonOffset(m_offsetFactor, m_offsetUnits);
    enable(GL_SAMPLE_ALPHA_TO_COVERAGE, m_alphaToCoverage);
    enable(GL_SAMPLE_COVERAGE, m_sampleCoverage);
    g_gl.glSampleCoverage(m_sampleCoverageValue, m_sampleCoverageInvert);
    enable(GL_SCISSOR_TEST, m_scissorTest);
    int x, y, w, h;
    if (fixUpScreenArea(m_scissor, x, y, w, h, true, false)) g_gl.glScissor(x, y, w, h);
    g_gl.glBindBuffer(GL_ARRAY_BUFFER, m_bufferBinding[EBT_VERTEX]);
    g_gl.glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, m_bufferBinding[EBT_INDEX]);
}

}  // namespace pravik::video
