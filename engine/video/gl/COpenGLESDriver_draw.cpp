// Per-pass set-up of a draw on the fixed-function pipeline: render state, shader and material
// values, matrices, client arrays and constant vertex values, then the draw command when draws
// are switched on. Matrices pushed for a pass are popped
// before the next one, so the GL matrix stacks end as they began.

#include <cmath>
#include <cstring>

#include "engine/os/Printer.h"
#include "engine/video/CLight.h"
#include "engine/video/material/CMaterial.h"
#include "engine/video/material/CMaterialRenderer.h"
#include "engine/video/gl/COpenGLESDriver_resources.h"
#include "engine/video/material/CVertexAttributeMap.h"
#include "engine/video/material/CVertexStreams.h"
#include "engine/video/gl/SphereMapTexCoords.h"

namespace pravik::video {

namespace {

const GLenum ArrayTypes[] = {GL_BYTE, GL_UNSIGNED_BYTE, GL_SHORT, GL_UNSIGNED_SHORT, 0, 0, GL_FLOAT};

GLenum arrayType(unsigned valueType)
{
    return valueType < EVAVT_COUNT ? ArrayTypes[valueType] : 0;
}

// Integer normals used as texture coordinates come back to [-1, 1].
void normalDequantisation(unsigned valueType, float& scale, float& offset)
{
    if (valueType == EVAVT_BYTE) scale = 0.007843138f, offset = 0.003921569f;
    else scale = 0.000030518044f, offset = 0.000015259022f;
}

void scaleOffsetMatrix(const core::vector3d<float>& scale, const core::vector3d<float>& offset, float out[16])
{
    const float m[16] = {scale.X, 0, 0, 0, 0, scale.Y, 0, 0, 0, 0, scale.Z, 0, offset.X, offset.Y, offset.Z, 1};
    std::copy(m, m + 16, out);
}

core::vector3d<float> normalised(const core::vector3d<float>& v)
{
    const float length = std::sqrt(v.X * v.X + v.Y * v.Y + v.Z * v.Z);
    return length > 0.f ? core::vector3d<float>(v.X / length, v.Y / length, v.Z / length) : v;
}

float dot(const core::vector3d<float>& a, const core::vector3d<float>& b)
{
    return a.X * b.X + a.Y * b.Y + a.Z * b.Z;
}

// Float vectors with a client copy, or null after logging why not.
const core::vector3d<float>* floatVectors(const SVertexStream* s, const char* source, const char* missing,
                                          const char* notFloat, const char* noCopy)
{
    if (!s) {
        os::Printer::log(missing, source, ELL_ERROR);
        return nullptr;
    }
    if (s->valueType != EVAVT_FLOAT) {
        os::Printer::log(notFloat, source, ELL_ERROR);
        return nullptr;
    }
    const auto* data = s->getBufferData<core::vector3d<float>>();
    if (!data) os::Printer::log(noCopy, source, ELL_ERROR);
    return data;
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

unsigned COpenGLESDriver::commitMatrices(const CFixedGLShader* shader, const CVertexStreams* streams,
                                         const unsigned char* map)
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
    if (!shader || !streams || !map) return 0;
    unsigned pushed = 0;
    float m[16];
    const unsigned flags = streams->getFlags();
    const CVertexStreams::SScaleOffset* table = streams->getScaleAndOffsets();
    if ((flags & 4u) && map[EVA_POSITION] < streams->getStreamCount()) {
        scaleOffsetMatrix(table[0].scale, table[0].offset, m);
        g_gl.glPushMatrix();
        g_gl.glMultMatrixf(m);
        pushed |= 1;
    }
    bool textureMode = false;
    auto toTextureMode = [&](unsigned u) {
        if (!textureMode) g_gl.glMatrixMode(GL_TEXTURE);
        textureMode = true;
        setActiveTexture(u);
    };
    const unsigned char* units = shader->getUnitList();
    unsigned texCoord = 0;
    for (unsigned k = 0; k < shader->getUnitListEnd(0); ++k) {
        const unsigned u = units[k];
        if (u >= 4) continue;
        const bool normal = m_texGen[u] == ETGT_SIMPLE_SPHERE_MAP;
        const unsigned set = normal ? 0u : texCoord++;
        const unsigned attribute = normal ? unsigned(EVA_NORMAL) : EVA_TEXCOORD0 + set;
        const unsigned char i = map[attribute];
        if (i >= streams->getStreamCount()) continue;
        if (!normal && set < streams->getTexCoordSetCount() && (flags & (4u << (1 + set)))) {
            scaleOffsetMatrix(table[1 + set].scale, table[1 + set].offset, m);
            toTextureMode(u);
            g_gl.glPushMatrix();
            g_gl.glMultMatrixf(m);
            pushed |= 2u << u;
        } else if (normal) {
            // Eye-space normal to [0, 1]: rotation only, x halved, y halved and flipped.
            core::CMatrix4<float> modelView;
            makeModelView(modelView);
            const float* e = modelView.pointer();
            const float t[16] = {0.5f * e[0],  -0.5f * e[1], e[2],  0, 0.5f * e[4], -0.5f * e[5], e[6],  0,
                                 0.5f * e[8],  -0.5f * e[9], e[10], 0, 0.5f,        0.5f,         0,     1};
            toTextureMode(u);
            g_gl.glLoadMatrixf(t);
            m_textureMatrixIdentity &= (unsigned char)~(1u << u);
            const SVertexStream& s = streams->begin()[i];
            if (s.valueType != EVAVT_FLOAT) {
                float scale, offset;
                normalDequantisation(s.valueType, scale, offset);
                scaleOffsetMatrix({scale, scale, scale}, {offset, offset, offset}, m);
                g_gl.glPushMatrix();
                g_gl.glMultMatrixf(m);
                pushed |= 2u << u;
            }
        }
    }
    if (textureMode && !(pushed & 0x1e)) g_gl.glMatrixMode(GL_MODELVIEW);
    return pushed;
}

bool COpenGLESDriver::softTexGen(E_TEX_GEN_TYPE type, const CVertexStreams* streams, const unsigned char* map,
                                 const CPrimitiveStream& primitives, core::SScopedProcessArray<float>& scratch)
{
    core::CMatrix4<float> modelView;
    makeModelView(modelView);
    const unsigned first = primitives.FirstVertex;
    const unsigned count = primitives.VertexEnd > first ? primitives.VertexEnd - first : 0;
    if (!scratch.reset(std::size_t(count) * 2)) {
        os::Printer::log("failed to allocate process buffer for tex gen", "softTexGen", ELL_ERROR);
        return false;
    }
    if (type != ETGT_SPHERE_MAP) return true;
    auto streamOf = [&](unsigned attribute) -> const SVertexStream* {
        const unsigned char i = map[attribute];
        return i < streams->getStreamCount() ? streams->begin() + i : nullptr;
    };
    const core::vector3d<float>* positions =
        floatVectors(streamOf(EVA_POSITION), "softTexGen", "sphere map tex gen with no position stream!",
                     "software texgen from non float position not supported",
                     "software texgen from buffers with no client copy not supported");
    if (!positions) return false;
    const core::vector3d<float>* normals =
        floatVectors(streamOf(EVA_NORMAL), "softTexGen", "sphere map tex gen with no normal stream!",
                     "software texgen from non float normals not supported",
                     "software texgen from buffers with no client copy not supported");
    if (!normals) return false;
    const unsigned positionStride = streamOf(EVA_POSITION)->stride, normalStride = streamOf(EVA_NORMAL)->stride;
    const auto at = [](const core::vector3d<float>* p, unsigned stride, unsigned index) {
        return reinterpret_cast<const core::vector3d<float>*>(reinterpret_cast<const unsigned char*>(p) +
                                                              std::size_t(stride) * index);
    };
    computeSphereMapTexCoords(modelView, nullptr, count, at(positions, positionStride, first), positionStride,
                              at(normals, normalStride, first), normalStride,
                              reinterpret_cast<core::vector2d<float>*>(scratch.get()), 8);
    return true;
}

bool COpenGLESDriver::softColorGen(unsigned mode, const CVertexStreams* streams, const unsigned char* map,
                                   const CPrimitiveStream& primitives, core::SScopedProcessArray<float>& scratch)
{
    const core::CMatrix4<float>& world = m_transforms[ETS_WORLD];
    core::CMatrix4<float> toObject = world;
    if (!world.getDefinitelyIdentityMatrix() && !world.getInverse(toObject)) toObject = world;
    const unsigned first = primitives.FirstVertex;
    const unsigned count = primitives.VertexEnd > first ? primitives.VertexEnd - first : 0;
    if (!scratch.reset(std::size_t(count) * 4)) {
        os::Printer::log("failed to allocate process buffer for color gen", "softColorGen", ELL_ERROR);
        return false;
    }
    static const core::CMatrix4<float> Identity;
    const core::CMatrix4<float>& t =
        m_colorGenLight && m_colorGenLight->getTransformation() ? *m_colorGenLight->getTransformation() : Identity;
    const bool point = mode == 4 || mode == 6;
    core::vector3d<float> light = point ? core::vector3d<float>(t[12], t[13], t[14])
                                        : core::vector3d<float>(t[8], t[9], t[10]);
    toObject.transformVect(light);
    if (!point) light = normalised(light);
    float* out = scratch.get();
    auto put = [&](unsigned v, const core::vector3d<float>& c) {
        out[4 * v] = 0.5f + 0.5f * c.X;
        out[4 * v + 1] = 0.5f + 0.5f * c.Y;
        out[4 * v + 2] = 0.5f + 0.5f * c.Z;
        out[4 * v + 3] = 1.f;
    };
    if (mode == 3) {
        for (unsigned v = 0; v < count; ++v) put(v, light);
        return true;
    }
    if (!point) return true;  // tangent-space directional colours are not generated
    auto streamOf = [&](unsigned attribute) -> const SVertexStream* {
        const unsigned char i = map[attribute];
        return i < streams->getStreamCount() ? streams->begin() + i : nullptr;
    };
    auto element = [&](unsigned attribute, const core::vector3d<float>* base, unsigned v) {
        return *reinterpret_cast<const core::vector3d<float>*>(reinterpret_cast<const unsigned char*>(base) +
                                                               std::size_t(streamOf(attribute)->stride) * (first + v));
    };
    const core::vector3d<float>* positions =
        floatVectors(streamOf(EVA_POSITION), "softColorGen", "sphere map tex gen with no position stream!",
                     "software texgen from non float position not supported",
                     "software texgen from buffers with no client copy not supported");
    if (!positions) return false;
    if (mode == 4) {
        for (unsigned v = 0; v < count; ++v) put(v, normalised(light - element(EVA_POSITION, positions, v)));
        return true;
    }
    const core::vector3d<float>* tangents =
        floatVectors(streamOf(EVA_TANGENT0), "softColorGen", "Tangent space colorgen need the tangent stream!",
                     "software color from non float position not supported",
                     "software color from buffers with no client copy not supported");
    if (!tangents) return false;
    const core::vector3d<float>* binormals =
        floatVectors(streamOf(EVA_BINORMAL0), "softColorGen", "Tangent space colorgen need the binormal stream!",
                     "software color from non float binormals not supported",
                     "software color from buffers with no client copy not supported");
    if (!binormals) return false;
    const core::vector3d<float>* normals =
        floatVectors(streamOf(EVA_NORMAL), "softColorGen", "sphere map tex gen with no normal stream!",
                     "software texgen from non float normals not supported",
                     "software texgen from buffers with no client copy not supported");
    if (!normals) return false;
    for (unsigned v = 0; v < count; ++v) {
        const core::vector3d<float> d = normalised(light - element(EVA_POSITION, positions, v));
        put(v, normalised(core::vector3d<float>(dot(element(EVA_TANGENT0, tangents, v), d),
                                                dot(element(EVA_BINORMAL0, binormals, v), d),
                                                dot(element(EVA_NORMAL, normals, v), d))));
    }
    return true;
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

unsigned COpenGLESDriver::setMissingTexCoord(unsigned unit, unsigned changing, unsigned requested)
{
    const unsigned bit = 2u << unit;
    os::Printer::logf(ELL_WARNING, "missing tex coord component for unit %d", int(unit));
    setClientActiveTexture(unit);
    if ((m_clientArrays & bit) && !(changing & bit)) g_gl.glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    g_gl.glMultiTexCoord4f(GL_TEXTURE0 + unit, 0, 0, 0, 0);
    return requested & ~bit;
}

void COpenGLESDriver::setupArrays(const CFixedGLShader* shader, const CVertexStreams* streams,
                                  const unsigned char* map, const CPrimitiveStream& primitives,
                                  core::SScopedProcessArray<float>* texScratch,
                                  core::SScopedProcessArray<float>& colorScratch)
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
            requested = setMissingTexCoord(u, changing, requested);
            continue;
        }
        if (!s->buffer || (s->buffer->getUsage() == EBU_CLIENT_ONLY && !s->buffer->getData())) continue;
        setClientActiveTexture(u);
        if (changing & bit) g_gl.glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        setPointer(1 + u, pointer(*s));
    }
    // Generated coordinates: vertex index first finds the first generated pair.
    for (unsigned k = shader->getUnitListEnd(0); k < shader->getUnitListEnd(1); ++k) {
        const unsigned u = units[k];
        if (u >= 4) continue;
        const unsigned bit = 2u << u;
        bindBuffer(EBT_VERTEX, 0);
        if (softTexGen(E_TEX_GEN_TYPE(m_texGen[u]), streams, map, primitives, texScratch[u])) {
            setClientActiveTexture(u);
            if (changing & bit) g_gl.glEnableClientState(GL_TEXTURE_COORD_ARRAY);
            const auto* data = reinterpret_cast<const unsigned char*>(texScratch[u].get());
            setPointer(1 + u, SPointer{2, GL_FLOAT, 0, data - std::size_t(primitives.FirstVertex) * 8, 0});
            continue;
        }
        requested = setMissingTexCoord(u, changing, requested);
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
            // One direction for the whole draw: a constant colour, no array.
            if (softColorGen(3, streams, map, primitives, colorScratch) && colorScratch.get()) {
                const float* c = colorScratch.get();
                if ((m_clientArrays & colorBit) && !(changing & colorBit)) g_gl.glDisableClientState(GL_COLOR_ARRAY);
                g_gl.glColor4f(c[0], c[1], c[2], c[3]);
                m_currentColorKnown = false;
                requested &= ~colorBit;
            } else {
                constantColor(m_colorGenConstant);
            }
        } else if ((m_colorGen == 4 || m_colorGen == 6) && m_colorGenLight &&
                   softColorGen(m_colorGen, streams, map, primitives, colorScratch)) {
            if (changing & colorBit) g_gl.glEnableClientState(GL_COLOR_ARRAY);
            bindBuffer(EBT_VERTEX, 0);
            setCurrentColor(SColor(255, 255, 255, 255));
            m_currentColorKnown = false;
            g_gl.glColorPointer(4, GL_FLOAT, 0,
                                reinterpret_cast<const unsigned char*>(colorScratch.get()) -
                                    std::size_t(primitives.FirstVertex) * 16);
        } else {
            // Without a light, or for tangent-space directional light (which writes no
            // colours), the constant colour stands in.
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
            m_matrixDirty = kAllMatricesDirty;
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
        core::SScopedProcessArray<float> texScratch[4], colorScratch;
        setupArrays(shader, streams.get(), map, primitives, texScratch, colorScratch);
        if (m_submitDraws) submit(primitives);
        popMatrices(pushed);
    }
    return 1;
}

void COpenGLESDriver::submit(const CPrimitiveStream& primitives)
{
    // GL ES has no quads; 32-bit indices need an extension this driver does not ask for.
    static const GLenum modes[] = {GL_POINTS, GL_LINE_STRIP, GL_LINE_LOOP, GL_LINES,
                                   GL_TRIANGLE_STRIP, GL_TRIANGLE_FAN, GL_TRIANGLES};
    if (primitives.PrimitiveType > EPT_TRIANGLES || primitives.Count == 0) return;
    const GLenum mode = modes[primitives.PrimitiveType];
    if (!primitives.IndexBuffer) {
        g_gl.glDrawArrays(mode, GLint(primitives.FirstVertex), GLsizei(primitives.Count));
        return;
    }
    if (primitives.IndexType != EIT_8BIT && primitives.IndexType != EIT_16BIT) return;
    const unsigned char* base = setBuffer(primitives.IndexBuffer.get());
    const unsigned size = CPrimitiveStream::getIndexSize(primitives.IndexType);
    if (std::size_t(primitives.IndexOffset) + std::size_t(primitives.Count) * size > primitives.IndexBuffer->getSize()) return;
    const void* indices = base ? static_cast<const void*>(base + primitives.IndexOffset)
                               : reinterpret_cast<const void*>(std::uintptr_t(primitives.IndexOffset));
    g_gl.glDrawElements(mode, GLsizei(primitives.Count),
                        primitives.IndexType == EIT_8BIT ? GL_UNSIGNED_BYTE : GL_UNSIGNED_SHORT, indices);
}

void COpenGLESDriver::draw2DRectangle(const core::rect<int>& dest, const core::rect<int>& source, const SColor* colors,
                                      const core::rect<int>* clip)
{
    const SColor white[4] = {SColor(255, 255, 255, 255), SColor(255, 255, 255, 255), SColor(255, 255, 255, 255),
                             SColor(255, 255, 255, 255)};
    SColor corners[4];
    std::copy(colors ? colors : white, (colors ? colors : white) + 4, corners);
    const ITexture* texture = nullptr;
    if (CMaterial* material = getCurrentMaterial()) {
        const SShaderParameterDef* def =
            material->getParameterDef(material->getMaterialRenderer()->getParameterID(ESPT_TEXTURE, 0));
        if (def && def->type == ESPT_TEXTURE && def->index != 0xffffffffu)
            std::memcpy(&texture, material->getParameterBlock() + def->index, sizeof texture);
    }
    if (texture && texture->getWidth() > 0 && texture->getHeight() > 0) {
        const float w = float(texture->getWidth()), h = float(texture->getHeight());
        core::rect<int> d = dest;
        core::rect<float> coordinates(source.UpperLeftCorner.X / w, source.UpperLeftCorner.Y / h,
                                      source.LowerRightCorner.X / w, source.LowerRightCorner.Y / h);
        if (clip && !IVideoDriver::clip(d, coordinates, *clip, corners)) return;
        drawQuads(d, coordinates, corners);
        return;
    }
    // Untextured: the destination, clipped (an empty result collapses to zero size).
    core::rect<int> d = dest;
    if (clip) {
        d.UpperLeftCorner.X = std::max(d.UpperLeftCorner.X, clip->UpperLeftCorner.X);
        d.UpperLeftCorner.Y = std::max(d.UpperLeftCorner.Y, clip->UpperLeftCorner.Y);
        d.LowerRightCorner.X = std::max(std::min(d.LowerRightCorner.X, clip->LowerRightCorner.X), d.UpperLeftCorner.X);
        d.LowerRightCorner.Y = std::max(std::min(d.LowerRightCorner.Y, clip->LowerRightCorner.Y), d.UpperLeftCorner.Y);
    }
    drawQuads(d, core::rect<float>(0, 0, 0, 0), corners);
}

}  // namespace pravik::video
