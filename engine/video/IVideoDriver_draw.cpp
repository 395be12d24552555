// Materials and draw paths of the driver: the commit rule, merging of small draws into the
// append buffers, forced texture upload, lines, shapes and rectangle clipping.

#include "engine/core/ProcessBuffer.h"
#include "engine/os/Printer.h"
#include "engine/scene/CAppendMeshBuffer.h"
#include "engine/video/material/CMaterial.h"
#include "engine/video/material/CMaterialRendererManager.h"
#include "engine/video/material/CVertexAttributeMap.h"
#include "engine/video/material/CVertexStreams.h"
#include "engine/video/material/IBatchBaker.h"
#include "engine/video/material/IShader.h"
#include "engine/video/ITexture.h"
#include "engine/video/IVideoDriver.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace pravik::video {

namespace {

struct SLineVertex {
    SColor color;
    float x, y, z;
};
static_assert(sizeof(SLineVertex) == 16, "line vertices are 16 bytes");

bool changedFor(const CMaterial& m) { return (m.getChangedMask() >> m.getTechnique()) & 1u; }

}  // namespace

void IVideoDriver::commit(CMaterial* material, unsigned char technique)
{
    m_currentMaterial = material;
    m_currentTechnique = material ? technique : 255;
    if (!material) return;
    const CMaterialRenderer& renderer = *material->getMaterialRenderer();
    if (material == m_committedMaterial && !changedFor(*material) && technique == m_committedTechnique) {
        if (technique < renderer.getTechniqueCount()) {
            const auto& tech = renderer.getTechnique(technique);
            if (tech.passCount > 1 || (tech.passCount == 1 && tech.passes[0].changed))
                commitMaterialRenderer(material->getMaterialRenderer());
        }
        return;
    }
    commitCurrentMaterial();
    m_committedMaterial = material;
    m_committedTechnique = technique;
    if (technique >= 8) return;
    const unsigned b = 1u << technique;
    if (material->getChangedMask() & b) {
        material->clearChangedBit(technique);
        const unsigned char own = material->getTechnique();
        if ((material->getHashMask() & b) && own < renderer.getTechniqueCount() && renderer.getTechnique(own).passCount == 1)
            material->updateParametersHashCode(technique);
    }
}

void IVideoDriver::destroyBatchSourceCopy()
{
    if (m_batchSourceCopy) {
        CMaterial* copy = m_batchSourceCopy;
        m_batchSourceCopy = nullptr;
        CMaterial::destroyProcessBufferHeap(copy);
    }
    m_batchSource = nullptr;
    m_batchSourceTechnique = 255;
}

void IVideoDriver::releaseBatchState()
{
    m_batchBaker.reset();
    m_batchMaterial.reset();
    destroyBatchSourceCopy();
}

void IVideoDriver::configureNextAppendBufferIfNeeded()
{
    if (!(m_internalFlags & EVDIF_CONFIGURE_APPEND)) return;
    m_internalFlags &= ~EVDIF_CONFIGURE_APPEND;
    if (m_batchBaker && m_currentAppendBuffer) m_batchBaker->configureAppendBuffer(m_currentAppendBuffer);
}

void IVideoDriver::setMaterial(const boost::intrusive_ptr<CMaterial>& material, unsigned char technique,
                               const boost::intrusive_ptr<CVertexAttributeMap>* attributeMap)
{
    CMaterial* toCommit = material.get();
    unsigned char commitTechnique = technique;
    if (m_options & EVDO_MERGE_DRAWS) {
        // The batch source's own technique stands for "the current technique": after a merged
        // draw the driver's current technique is the batch material's.
        const bool same = material && material.get() == m_batchSource && !changedFor(*material) &&
                          technique == m_batchSourceTechnique;
        if (!m_batchBaker) {
            resetBatchMaterial(material, technique);
        } else if (!same) {
            if (!m_batchBaker->isCompatible(material, technique)) {
                flush();
                resetBatchMaterial(material, technique);
            } else if (m_internalFlags & EVDIF_CONFIGURE_APPEND) {
                m_batchBaker->configureAppendBuffer(m_currentAppendBuffer);
            }
        } else if (m_internalFlags & EVDIF_CONFIGURE_APPEND) {
            m_batchBaker->configureAppendBuffer(m_currentAppendBuffer);
        }
        if (!same) {
            destroyBatchSourceCopy();
            if (material) {
                {
                    // A full (or absent) process-buffer heap must not lose the copy: it spills.
                    core::SScopedEnableProcessBufferHeapExcess excess(true);
                    m_batchSourceCopy = material->cloneHeap();
                }
                m_batchSource = material.get();
                m_batchSourceTechnique = technique;
                if (technique < 8 && (material->getChangedMask() & (1u << technique))) {
                    material->clearChangedBit(technique);
                    const CMaterialRenderer& r = *material->getMaterialRenderer();
                    const unsigned char own = material->getTechnique();
                    if ((material->getHashMask() & (1u << technique)) && own < r.getTechniqueCount() &&
                        r.getTechnique(own).passCount == 1)
                        material->updateParametersHashCode(technique);
                }
            }
        }
        m_internalFlags &= ~EVDIF_CONFIGURE_APPEND;
        // A material whose shader offers no baker is drawn unmerged. The batch material draws
        // with its own technique (the light baker's colour-material choice; 0 otherwise).
        if (m_batchBaker && m_batchMaterial) {
            toCommit = m_batchMaterial.get();
            commitTechnique = m_batchMaterial->getTechnique();
        }
    } else {
        m_batchBaker.reset();
    }
    m_currentAttributeMap = attributeMap;
    if (!toCommit) {
        m_currentMaterial = nullptr;
        m_currentTechnique = 255;
        return;
    }
    commit(toCommit, commitTechnique);
}

void IVideoDriver::resetBatchMaterial(const boost::intrusive_ptr<CMaterial>& material, unsigned char technique)
{
    m_batchBaker.reset();
    m_batchMaterial.reset();
    if (!material) return;
    const CMaterialRenderer& r = *material->getMaterialRenderer();
    if (technique >= r.getTechniqueCount() || r.getTechnique(technique).passCount == 0) return;
    const SRenderPass& pass = r.getTechnique(technique).passes[0];
    if (!pass.shader) return;
    m_batchBaker = pass.shader->getBatchBaker();
    if (!m_batchBaker) return;
    m_batchMaterial = m_batchBaker->getBatchMaterial(material, technique);
    if (m_currentAppendBuffer) m_batchBaker->configureAppendBuffer(m_currentAppendBuffer);
}

void IVideoDriver::draw(const boost::intrusive_ptr<CVertexStreams>& streams, const CPrimitiveStream& primitives,
                        CDriverBinding** binding, const scene::CMeshBuffer*)
{
    if (primitives.Count == 0) return;
    if (m_options & EVDO_MERGE_DRAWS) appendBatch(streams, primitives, binding);
    else drawImpl(streams, primitives, binding);
}

bool IVideoDriver::appendBatch(const boost::intrusive_ptr<CVertexStreams>& streams, const CPrimitiveStream& primitives,
                               CDriverBinding** binding)
{
    scene::CAppendMeshBuffer* a = m_currentAppendBuffer;
    const unsigned V = primitives.VertexEnd >= primitives.FirstVertex ? primitives.VertexEnd - primitives.FirstVertex : 0u;
    const unsigned P = primitives.getPrimitiveCount();
    // Quad kinds are left out: the index rewrite knows only triangle lists, strips and fans.
    const bool mergeable = m_batchBaker && m_batchMaterial && a && streams && V > 0 && P > 0 &&
                           V <= a->VertexCapacity / a->VertexStride && 3u * P <= a->IndexCapacity / a->IndexSize &&
                           V <= m_mergeVertexLimit && primitives.PrimitiveType >= EPT_TRIANGLE_STRIP &&
                           primitives.PrimitiveType <= EPT_TRIANGLES &&
                           (primitives.IndexType == EIT_16BIT || !primitives.IndexBuffer);
    if (mergeable) {
        if (V > (a->VertexCapacity - a->VertexFill) / a->VertexStride || 3u * P > (a->IndexCapacity - a->IndexFill) / a->IndexSize ||
            V + a->VertexFill / a->VertexStride >= 0x10000u) {
            drawPendingBatch();
            configureNextAppendBufferIfNeeded();
            a = m_currentAppendBuffer;
        }
        if (a->isMapped() || a->map()) {
            bakeIntoAppendBuffer(*streams, primitives, *a);
            return true;
        }
    }
    if (!(m_options & EVDO_KEEP_PENDING_DRAW)) {
        drawPendingBatch();
        configureNextAppendBufferIfNeeded();
    }
    if (m_batchSourceCopy) commit(m_batchSourceCopy, m_batchSourceTechnique);
    drawImpl(streams, primitives, binding);
    if ((m_options & EVDO_KEEP_PENDING_DRAW) && m_batchMaterial) commit(m_batchMaterial.get(), m_batchMaterial->getTechnique());
    return true;
}

void IVideoDriver::bakeIntoAppendBuffer(const CVertexStreams& streams, const CPrimitiveStream& primitives,
                                        scene::CAppendMeshBuffer& a)
{
    const unsigned char* table;
    if (m_currentAttributeMap && *m_currentAttributeMap) {
        table = (*m_currentAttributeMap)->getTable();
    } else {
        std::memset(DefaultAttribMap, 255, sizeof DefaultAttribMap);
        unsigned i = 0;
        for (const SVertexStream* s = streams.begin(); s != streams.end(); ++s, ++i)
            if (s->attribute < 30) DefaultAttribMap[s->attribute] = (unsigned char)i;
        table = DefaultAttribMap;
    }
    const unsigned V = primitives.VertexEnd >= primitives.FirstVertex ? primitives.VertexEnd - primitives.FirstVertex : 0u;
    const unsigned P = primitives.getPrimitiveCount();
    const boost::intrusive_ptr<CVertexAttributeMap>& bakerMap = m_batchBaker->getVertexAttributeMap();
    const unsigned usedVertices = a.VertexFill / a.VertexStride;
    const unsigned usedTriangles = a.IndexFill / a.IndexSize / 3;
    m_batchBaker->bake(&streams, &primitives, m_batchSourceCopy, m_batchSourceTechnique, table, a.getVertexStreams().get(),
                       &a.getPrimitiveStream(), m_batchMaterial.get(), bakerMap ? bakerMap->getTable() : nullptr, this,
                       primitives.FirstVertex, primitives.VertexEnd, 0, P, usedVertices, usedTriangles, 0xffffffffu);
    a.VertexFill = std::max(a.VertexFill, a.VertexStride * (usedVertices + V));
    a.IndexFill = std::max(a.IndexFill, a.IndexSize * 3u * (usedTriangles + P));
}

bool IVideoDriver::drawPendingBatch()
{
    scene::CAppendMeshBuffer* a = m_currentAppendBuffer;
    if (!a) return true;
    if (a->isMapped()) a->unmap();
    const unsigned vertices = a->VertexFill / a->VertexStride;
    const unsigned indices = a->IndexFill / a->IndexSize;
    if (!vertices || !indices) return true;
    CPrimitiveStream& p = a->getPrimitiveStream();
    p.IndexType = EIT_16BIT;
    p.Count = indices;
    p.FirstVertex = 0;
    p.VertexEnd = vertices;
    a->getVertexStreams()->setVertexCount(vertices);

    const core::CMatrix4<float> world = getTransform(ETS_WORLD);
    const bool moved = !world.getDefinitelyIdentityMatrix() && !world.isIdentity();
    if (moved) setTransform(ETS_WORLD, core::IdentityMatrix);
    const boost::intrusive_ptr<CVertexAttributeMap>* kept = m_currentAttributeMap;
    if (m_batchBaker) m_currentAttributeMap = &m_batchBaker->getVertexAttributeMap();
    drawImpl(a->getVertexStreams(), p, nullptr);
    m_currentAttributeMap = kept;
    if (moved) setTransform(ETS_WORLD, world);

    a->clear();
    m_currentAppendBufferIndex = unsigned((m_currentAppendBufferIndex + 1) % m_appendBuffers.size());
    scene::CAppendMeshBuffer* next = m_appendBuffers[m_currentAppendBufferIndex].get();
    if (next->ConfiguredStreams != a->ConfiguredStreams) m_internalFlags |= EVDIF_CONFIGURE_APPEND;
    m_currentAppendBuffer = next;
    return true;
}

void IVideoDriver::forceCommitTexture(const boost::intrusive_ptr<ITexture>& texture)
{
    if (!(m_options & EVDO_TEXTURE_COMMIT) || !texture || !m_rendererManager || !m_textureCommitPoint) return;
    const bool merging = (m_options & EVDO_MERGE_DRAWS) != 0;
    if (merging) setOption(EVDO_MERGE_DRAWS, false);
    const unsigned short id = m_rendererManager->createMaterialRenderer(EMT_FORCE_COMMIT_TEXTURE);
    boost::intrusive_ptr<CMaterial> instance = m_rendererManager->getMaterialInstance(id, true);
    if (instance) {
        const unsigned short parameter = (unsigned short)texture->getType();
        instance->setParameter(parameter, 0, texture);
        CMaterial* keptMaterial = m_currentMaterial;
        const unsigned char keptTechnique = m_currentTechnique;
        const boost::intrusive_ptr<CVertexAttributeMap>* keptMap = m_currentAttributeMap;
        m_currentAttributeMap = &m_textureCommitMaps[0];
        commit(instance.get(), (unsigned char)texture->getType());
        draw(m_textureCommitPoint, CPrimitiveStream(nullptr, 0, 1, 0, 1, EIT_NONE, EPT_POINTS));
        instance->setParameter(parameter, 0, boost::intrusive_ptr<ITexture>());
        if (keptMaterial) {
            commit(keptMaterial, keptTechnique);
        } else {
            m_currentMaterial = nullptr;
            m_currentTechnique = keptTechnique;
        }
        m_currentAttributeMap = keptMap;
    }
    if (merging) setOption(EVDO_MERGE_DRAWS, true);
}

// --- lines and shapes ---------------------------------------------------------------------------

void IVideoDriver::draw3DLine(const core::vector3d<float>& start, const core::vector3d<float>& end, SColor color)
{
    if (!m_vertexBuffer || !m_lineStreams) return;
    SLineVertex v[2] = {{color, start.X, start.Y, start.Z}, {color, end.X, end.Y, end.Z}};
    m_vertexBuffer->reset(sizeof v, v, false);
    m_lineStreams->setVertexCount(2);
    draw(m_lineStreams, CPrimitiveStream(nullptr, 0, 2, 0, 2, EIT_NONE, EPT_LINES));
    m_vertexBuffer->reset(0, nullptr, false);  // the vertices lived on the stack
}

void IVideoDriver::draw2DLine(const core::position2d<int>& start, const core::position2d<int>& end, SColor color)
{
    draw3DLine(core::vector3d<float>(float(start.X), float(start.Y), 0.f), core::vector3d<float>(float(end.X), float(end.Y), 0.f),
               color);
}

void IVideoDriver::draw3DLines(const core::vector3d<float>* positions, const unsigned short* indices, const SColor* colors,
                               unsigned vertexCount, unsigned lineCount)
{
    if (!m_vertexBuffer || !m_lineListStreams || !positions || !indices || !colors || !vertexCount || !lineCount) return;
    if (vertexCount > 0x10000u || lineCount > 0x10000000u) return;
    m_vertexBuffer->reset(vertexCount * 12u, const_cast<core::vector3d<float>*>(positions), false);
    m_colorBuffer->reset(vertexCount * 4u, const_cast<SColor*>(colors), false);
    m_indexBuffer->reset(lineCount * 4u, const_cast<unsigned short*>(indices), false);
    m_lineListStreams->setVertexCount(vertexCount);
    draw(m_lineListStreams, CPrimitiveStream(m_indexBuffer, 0, lineCount * 2u, 0, vertexCount, EIT_16BIT, EPT_LINES));
    m_vertexBuffer->reset(0, nullptr, false);
    m_colorBuffer->reset(0, nullptr, false);
    m_indexBuffer->reset(0, nullptr, false);
}

void IVideoDriver::draw2DLines(const core::position2d<int>* positions, const unsigned short* indices, const SColor* colors,
                               unsigned vertexCount, unsigned lineCount)
{
    if (!positions || !vertexCount || vertexCount > 0x10000u) return;
    // The conversion takes scratch from the process buffers while it fits, else the heap.
    const size_t bytes = size_t(vertexCount) * sizeof(core::vector3d<float>);
    void* scratch = bytes <= size_t(core::getProcessBufferHeapAvailableMemory() > 0 ? core::getProcessBufferHeapAvailableMemory() : 0)
                        ? core::allocProcessBuffer(int(bytes))
                        : nullptr;
    std::vector<core::vector3d<float>> heap;
    core::vector3d<float>* points = static_cast<core::vector3d<float>*>(scratch);
    if (!points) {
        heap.resize(vertexCount);
        points = heap.data();
    }
    for (unsigned i = 0; i < vertexCount; ++i) points[i] = core::vector3d<float>(float(positions[i].X), float(positions[i].Y), 0.f);
    draw3DLines(points, indices, colors, vertexCount, lineCount);
    core::releaseProcessBuffer(scratch);
}

void IVideoDriver::draw3DTriangle(const core::triangle3d<float>& triangle, SColor color)
{
    const core::vector3d<float> corners[3] = {triangle.pointA, triangle.pointB, triangle.pointC};
    const unsigned short pairs[6] = {0, 1, 1, 2, 2, 0};
    const SColor colors[3] = {color, color, color};
    draw3DLines(corners, pairs, colors, 3, 3);
}

void IVideoDriver::draw3DBox(const core::aabbox3d<float>& box, SColor color)
{
    core::vector3d<float> corners[8];
    for (unsigned i = 0; i < 8; ++i)
        corners[i] = core::vector3d<float>((i & 4) ? box.MaxEdge.X : box.MinEdge.X, (i & 1) ? box.MaxEdge.Y : box.MinEdge.Y,
                                           (i & 2) ? box.MaxEdge.Z : box.MinEdge.Z);
    const unsigned short pairs[24] = {5, 1, 1, 3, 3, 7, 7, 5, 0, 2, 2, 6, 6, 4, 4, 0, 1, 0, 3, 2, 7, 6, 5, 4};
    SColor colors[8];
    for (auto& c : colors) c = color;
    draw3DLines(corners, pairs, colors, 8, 12);
}

void IVideoDriver::drawFullScreenQuad(const SColor colors[4])
{
    if (!m_vertexBuffer || !m_lineStreams) return;
    const core::CMatrix4<float> world = getTransform(ETS_WORLD), view = getTransform(ETS_VIEW),
                                projection = getTransform(ETS_PROJECTION);
    setTransform(ETS_WORLD, core::IdentityMatrix);
    setTransform(ETS_VIEW, core::IdentityMatrix);
    setTransform(ETS_PROJECTION, core::IdentityMatrix);
    SLineVertex v[4] = {{colors[0], -1, -1, 0}, {colors[1], -1, 1, 0}, {colors[2], 1, -1, 0}, {colors[3], 1, 1, 0}};
    m_vertexBuffer->reset(sizeof v, v, false);
    m_lineStreams->setVertexCount(4);
    draw(m_lineStreams, CPrimitiveStream(nullptr, 0, 4, 0, 4, EIT_NONE, EPT_TRIANGLE_STRIP));
    m_vertexBuffer->reset(0, nullptr, false);
    setTransform(ETS_WORLD, world);
    setTransform(ETS_VIEW, view);
    setTransform(ETS_PROJECTION, projection);
}

bool IVideoDriver::clip(core::rect<int>& dest, core::rect<float>& source, const core::rect<int>& c, SColor* colors)
{
    if (c.LowerRightCorner.X < dest.UpperLeftCorner.X || c.LowerRightCorner.Y < dest.UpperLeftCorner.Y ||
        dest.LowerRightCorner.X < c.UpperLeftCorner.X || dest.LowerRightCorner.Y < c.UpperLeftCorner.Y)
        return false;
    const float w = float(dest.LowerRightCorner.X - dest.UpperLeftCorner.X);
    const float h = float(dest.LowerRightCorner.Y - dest.UpperLeftCorner.Y);
    if (c.LowerRightCorner.X < dest.LowerRightCorner.X) {
        const float d = float(dest.LowerRightCorner.X - c.LowerRightCorner.X) / w;
        source.LowerRightCorner.X += d * (source.UpperLeftCorner.X - source.LowerRightCorner.X);
        if (colors) {
            colors[3] = colors[0].getInterpolated(colors[3], d);
            colors[2] = colors[1].getInterpolated(colors[2], d);
        }
        dest.LowerRightCorner.X = c.LowerRightCorner.X;
    }
    if (c.LowerRightCorner.Y < dest.LowerRightCorner.Y) {
        const float d = float(dest.LowerRightCorner.Y - c.LowerRightCorner.Y) / h;
        source.LowerRightCorner.Y += d * (source.UpperLeftCorner.Y - source.LowerRightCorner.Y);
        if (colors) {
            colors[1] = colors[0].getInterpolated(colors[1], d);
            colors[2] = colors[3].getInterpolated(colors[2], d);
        }
        dest.LowerRightCorner.Y = c.LowerRightCorner.Y;
    }
    if (dest.UpperLeftCorner.X < c.UpperLeftCorner.X) {
        const float d = float(c.UpperLeftCorner.X - dest.UpperLeftCorner.X) / float(dest.LowerRightCorner.X - dest.UpperLeftCorner.X);
        source.UpperLeftCorner.X += d * (source.LowerRightCorner.X - source.UpperLeftCorner.X);
        if (colors) {
            colors[0] = colors[3].getInterpolated(colors[0], d);
            colors[1] = colors[2].getInterpolated(colors[1], d);
        }
        dest.UpperLeftCorner.X = c.UpperLeftCorner.X;
    }
    if (dest.UpperLeftCorner.Y < c.UpperLeftCorner.Y) {
        const float d = float(c.UpperLeftCorner.Y - dest.UpperLeftCorner.Y) / float(dest.LowerRightCorner.Y - dest.UpperLeftCorner.Y);
        source.UpperLeftCorner.Y += d * (source.LowerRightCorner.Y - source.UpperLeftCorner.Y);
        if (colors) {
            colors[0] = colors[1].getInterpolated(colors[0], d);
            colors[3] = colors[2].getInterpolated(colors[3], d);
        }
        dest.UpperLeftCorner.Y = c.UpperLeftCorner.Y;
    }
    return true;
}

}  // namespace pravik::video
