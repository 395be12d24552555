// Per-pass set-up of a draw on the fixed-function pipeline: render state, shader and material
// values, matrices, client arrays and constant vertex values. The driver issues no draw
// command: the quad batcher sharing the context draws. Matrices pushed for a pass are popped
// before the next one, so the GL matrix stacks end as they began.

#include <cmath>

#include "engine/os/Printer.h"
#include "engine/video/CLight.h"
#include "engine/video/CMaterial.h"
#include "engine/video/CMaterialRenderer.h"
#include "engine/video/COpenGLESDriver_resources.h"
#include "engine/video/CVertexAttributeMap.h"
#include "engine/video/CVertexStreams.h"

namespace pravik::video {

namespace {

const GLenum ArrayTypes[] = {GL_BYTE, GL_UNSIGNED_BYTE, GL_SHORT, GL_UNSIGNED_SHORT, 0, 0, GL_FLOAT};

GLenum arrayType(unsigned valueType)
{
    return valueType < EVAVT_COUNT ? ArrayTypes[valueType] : 0;
}

}  // namespace

void COpenGLESDriver::setPointer(unsigned slot, const SPointer& p)
{
    if (m_pointers[slot] == p) return;
    m_pointers[slot] = p;
    if (slot == 0) g_gl.glVertexPointer(p.size, p.type, p.stride, p.pointer);
    else if (slot == 5) g_gl.glNormalPointer(p.type, p.stride, p.pointer);
    else g_gl.glTexCoordPointer(p.size, p.type, p.stride, p.pointer);
}

void COpenGLESDriver::setCurrentColor(SColor c)
{
    if (m_currentColorKnown && c == m_currentColor) return;
    g_gl.glColor4ub(c.getRed(), c.getGreen(), c.getBlue(), c.getAlpha());
    m_currentColor = c;
    m_currentColorKnown = true;
}

void COpenGLESDriver::forgetVertexState()
{
    for (SPointer& p : m_pointers) p = SPointer();
    m_currentColorKnown = false;
}

void COpenGLESDriver::makeModelView(core::CMatrix4<float>& out) const
{
    const core::CMatrix4<float>& view = m_transforms[ETS_VIEW];
    const core::CMatrix4<float>& world = m_transforms[ETS_WORLD];
    if (view.getDefinitelyIdentityMatrix()) out = world;
    else if (world.getDefinitelyIdentityMatrix()) out = view;
    else out = view * world;
}

void COpenGLESDriver::loadProjection()
{
    core::CMatrix4<float> projection = m_transforms[ETS_PROJECTION];
    fixUpProjectionMatrix(projection);
    g_gl.glMatrixMode(GL_PROJECTION);
    g_gl.glLoadMatrixf(projection.pointer());
    g_gl.glMatrixMode(GL_MODELVIEW);
}

unsigned COpenGLESDriver::commitMatrices(const CFixedGLShader*, const CVertexStreams*, const unsigned char*)
{
    if (m_matrixDirty & ((1u << ETS_VIEW) | (1u << ETS_WORLD))) {
        core::CMatrix4<float> modelView;
        makeModelView(modelView);
        g_gl.glLoadMatrixf(modelView.pointer());
        m_matrixDirty &= (unsigned char)~((1u << ETS_VIEW) | (1u << ETS_WORLD));
    }
    if (m_matrixDirty & (1u << ETS_PROJECTION)) {
        loadProjection();
        m_matrixDirty &= (unsigned char)~(1u << ETS_PROJECTION);
    }
    return 0;  // streams here carry no dequantisation, so nothing is pushed
}

void COpenGLESDriver::popMatrices(unsigned pushed)
{
    bool texture = false;
    for (unsigned u = 0; u < 4; ++u)
        if (pushed & (2u << u)) {
            if (!texture) g_gl.glMatrixMode(GL_TEXTURE);
            texture = true;
            setActiveTexture(u);
            g_gl.glPopMatrix();
        }
    if (texture) g_gl.glMatrixMode(GL_MODELVIEW);
    if (pushed & 1) g_gl.glPopMatrix();
}

void COpenGLESDriver::setupArrays(const CFixedGLShader* shader, const CVertexStreams* streams,
                                  const unsigned char* map, const CPrimitiveStream&)
{
    unsigned requested = shader->getDriverArrayMask();
    const unsigned changing = requested ^ m_clientArrays;
    const SVertexStream* records = streams->begin();
    auto streamOf = [&](unsigned attribute) -> const SVertexStream* {
        const unsigned char i = attribute < EVA_COUNT ? map[attribute] : 255;
        return i < streams->getStreamCount() ? records + i : nullptr;
    };
    auto base = [&](const SVertexStream& s) -> const unsigned char* {
        IBuffer* buffer = s.buffer.get();
        const unsigned char* b = setBuffer(buffer);
        return b + s.offset;
    };

    auto pointer = [&](const SVertexStream& s) {
        const unsigned char* b = base(s);
        return SPointer{s.componentCount, arrayType(s.valueType), s.stride, b, m_bufferBinding[EBT_VERTEX]};
    };
    if (const SVertexStream* position = streamOf(EVA_POSITION); position && position->buffer)
        setPointer(0, pointer(*position));

    const unsigned char* units = shader->getUnitList();
    unsigned texCoord = EVA_TEXCOORD0;
    for (unsigned k = 0; k < shader->getUnitListEnd(0); ++k) {
        const unsigned u = units[k];
        const unsigned bit = 2u << u;
        const unsigned attribute = m_texGen[u] == ETGT_SIMPLE_SPHERE_MAP ? unsigned(EVA_NORMAL) : texCoord++;
        const SVertexStream* s = streamOf(attribute);
        if (!s) {
            os::Printer::logf(ELL_WARNING, "missing tex coord component for unit %d", int(u));
            setClientActiveTexture(u);
            if ((m_clientArrays & bit) && !(changing & bit)) g_gl.glDisableClientState(GL_TEXTURE_COORD_ARRAY);
            g_gl.glMultiTexCoord4f(GL_TEXTURE0 + u, 0, 0, 0, 0);
            requested &= ~bit;
            continue;
        }
        if (!s->buffer || (s->buffer->getUsage() == EBU_CLIENT_ONLY && !s->buffer->getData())) continue;
        setClientActiveTexture(u);
        if (changing & bit) g_gl.glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        setPointer(1 + u, pointer(*s));
    }
    // Software sphere mapping is not generated: those units get constant coordinates.
    for (unsigned k = shader->getUnitListEnd(0); k < shader->getUnitListEnd(1); ++k) {
        const unsigned u = units[k];
        os::Printer::logf(ELL_WARNING, "missing tex coord component for unit %d", int(u));
        setClientActiveTexture(u);
        if ((m_clientArrays & (2u << u)) && !(changing & (2u << u))) g_gl.glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        g_gl.glMultiTexCoord4f(GL_TEXTURE0 + u, 0, 0, 0, 0);
        requested &= ~(2u << u);
    }

    if (requested & (1u << 17)) {
        const SVertexStream* s = streamOf(EVA_NORMAL);
        if (!s || !s->buffer || (s->buffer->getUsage() == EBU_CLIENT_ONLY && !s->buffer->getData())) {
            os::Printer::log("missing normal component", ELL_WARNING);
            if ((m_clientArrays & (1u << 17)) && !(changing & (1u << 17))) g_gl.glDisableClientState(GL_NORMAL_ARRAY);
            g_gl.glNormal3f(0, 0, 1);
            requested &= ~(1u << 17);
        } else {
            if (changing & (1u << 17)) g_gl.glEnableClientState(GL_NORMAL_ARRAY);
            setPointer(5, pointer(*s));
        }
    }

    const unsigned colorBit = 1u << 18;
    auto constantColor = [&](SColor c) {
        if ((m_clientArrays & colorBit) && !(changing & colorBit)) g_gl.glDisableClientState(GL_COLOR_ARRAY);
        setCurrentColor(c);
        requested &= ~colorBit;
    };
    if (requested & colorBit) {
        if (m_colorGen <= 2) {
            const SVertexStream* s = streamOf(EVA_COLOR0);
            if (s && s->buffer && !(s->buffer->getUsage() == EBU_CLIENT_ONLY && !s->buffer->getData())) {
                if (changing & colorBit) g_gl.glEnableClientState(GL_COLOR_ARRAY);
                setCurrentColor(SColor(255, 255, 255, 255));
                m_currentColorKnown = false;  // drawing with the array leaves the colour undefined
                g_gl.glColorPointer(4, arrayType(s->valueType), s->stride, base(*s));
            } else {
                constantColor(m_vertexColor);
            }
        } else if (m_colorGen == 3 && m_colorGenLight) {
            // The light's direction in object space, as one colour for every vertex.
            const core::CMatrix4<float>& world = m_transforms[ETS_WORLD];
            core::CMatrix4<float> toObject = world;
            if (!world.getDefinitelyIdentityMatrix() && !world.getInverse(toObject)) toObject = world;
            static const core::CMatrix4<float> Identity;
            const core::CMatrix4<float>& t = m_colorGenLight->getTransformation() ? *m_colorGenLight->getTransformation()
                                                                                  : Identity;
            core::vector3d<float> l(t[8], t[9], t[10]);
            toObject.transformVect(l);
            const float length = std::sqrt(l.X * l.X + l.Y * l.Y + l.Z * l.Z);
            if (length > 0.f) l = core::vector3d<float>(l.X / length, l.Y / length, l.Z / length);
            if ((m_clientArrays & colorBit) && !(changing & colorBit)) g_gl.glDisableClientState(GL_COLOR_ARRAY);
            g_gl.glColor4f(0.5f + 0.5f * l.X, 0.5f + 0.5f * l.Y, 0.5f + 0.5f * l.Z, 1.f);
            m_currentColorKnown = false;
            requested &= ~colorBit;
        } else {
            // Colours that would be generated per vertex are not: the constant colour stands in.
            constantColor(m_colorGenConstant);
        }
    } else if (m_colorGen == 7) {
        if ((m_clientArrays & colorBit) && !(changing & colorBit)) g_gl.glDisableClientState(GL_COLOR_ARRAY);
        setCurrentColor(m_colorGenConstant);
    }
    m_clientArrays = requested;
}

unsigned COpenGLESDriver::drawImpl(const boost::intrusive_ptr<CVertexStreams>& streams,
                                   const CPrimitiveStream& primitives, CDriverBinding**)
{
    CMaterial* material = getCurrentMaterial();
    if (!material || !streams) return 0;
    if (m_sceneMode == 1) {
        ++m_drawCalls2D;
    } else {
        ++m_drawCalls;
        if (m_sceneMode != 2) {
            m_matrixDirty = 7;
            m_sceneMode = 2;
        }
    }
    m_primitivesDrawn += primitives.getPrimitiveCount();
    if (primitives.IndexBuffer) static_cast<CBuffer*>(primitives.IndexBuffer.get())->makeCurrent();

    const unsigned char technique = getCurrentTechnique();
    const CMaterialRenderer::STechnique& t = material->getMaterialRenderer()->getTechnique(technique);
    for (unsigned p = 0; p < t.passCount; ++p) {
        unsigned char defaultMap[EVA_COUNT];
        const unsigned char* map = nullptr;
        const boost::intrusive_ptr<CVertexAttributeMap>* maps = getCurrentAttributeMap();
        if (maps && maps[p]) map = maps[p]->getTable();
        if (!map) {
            std::fill(defaultMap, defaultMap + EVA_COUNT, 255);
            const SVertexStream* s = streams->begin();
            for (unsigned i = 0; i < streams->getStreamCount(); ++i)
                if (s[i].attribute < EVA_COUNT) defaultMap[s[i].attribute] = (unsigned char)i;
            map = defaultMap;
        }
        const SRenderPass& pass = t.passes[p];
        if (p > 0) {
            applyRenderStates(material, technique, (unsigned char)p);
            if (pass.shader.get() != getCommittedShader()) {
                commitShader(pass.shader.get());
                setCommittedShader(pass.shader.get());
            }
            commitPassParameters(pass, 0, pass.directBindingCount, false);
        }
        const auto* shader = static_cast<const CFixedGLShader*>(pass.shader.get());
        if (!shader) continue;
        if (shader->getVertexState()->getLightCount() > 0) {
            const core::CMatrix4<float>& view = m_transforms[ETS_VIEW];
            g_gl.glLoadMatrixf(&view[0]);
            m_matrixDirty |= 1u << ETS_WORLD;
        }
        const unsigned indirectEnd = pass.directBindingCount + pass.indirectBindingCount;
        commitPassParameters(pass, pass.directBindingCount, indirectEnd, false);
        commitPassParameters(pass, indirectEnd, shader->getTotalParameterCount(), true);
        const unsigned pushed = commitMatrices(shader, streams.get(), map);
        setupArrays(shader, streams.get(), map, primitives);
        popMatrices(pushed);
    }
    return 1;
}

void COpenGLESDriver::draw2DRectangle(const core::rect<int>& dest, const core::rect<int>&, const SColor* colors,
                                      const core::rect<int>* clip)
{
    // Drawn untextured: the destination, clipped (an empty result collapses to zero size).
    core::rect<int> d = dest;
    if (clip) {
        d.UpperLeftCorner.X = std::max(d.UpperLeftCorner.X, clip->UpperLeftCorner.X);
        d.UpperLeftCorner.Y = std::max(d.UpperLeftCorner.Y, clip->UpperLeftCorner.Y);
        d.LowerRightCorner.X = std::max(std::min(d.LowerRightCorner.X, clip->LowerRightCorner.X), d.UpperLeftCorner.X);
        d.LowerRightCorner.Y = std::max(std::min(d.LowerRightCorner.Y, clip->LowerRightCorner.Y), d.UpperLeftCorner.Y);
    }
    const SColor white[4] = {SColor(255, 255, 255, 255), SColor(255, 255, 255, 255), SColor(255, 255, 255, 255),
                             SColor(255, 255, 255, 255)};
    drawQuads(d, core::rect<float>(0, 0, 0, 0), colors ? colors : white);
}

}  // namespace pravik::video
