#include "engine/scene/CBatchSceneNode.h"

#include "engine/core/ProcessBuffer.h"
#include "engine/io/IAttributes.h"
#include "engine/os/Timer.h"
#include "engine/scene/CSceneManager.h"
#include "engine/scene/ICameraSceneNode.h"
#include "engine/scene/MaterialTransparency.h"
#include "engine/scene/SViewFrustum.h"
#include "engine/video/IVideoDriver.h"
#include "engine/video/material/CMaterialRendererManager.h"

#include <algorithm>

namespace pravik::scene {

namespace {

constexpr unsigned kFrustumSphere = 4;     // a culling value that takes every segment

// Segment culling by literal: the node's own table, where "frustum_sphere" is 4 (take every
// segment) rather than the 3 of a node's automatic culling.
constexpr unsigned kSegmentCullingValues[] = {EAC_OFF, EAC_BOX, EAC_FRUSTUM_BOX, kFrustumSphere, EAC_FRUSTUM_BOX_3};

const char* segmentCullingName(unsigned value)
{
    for (unsigned i = 0; i < 5; ++i)
        if (kSegmentCullingValues[i] == value) return AutomaticCullingNames[i];
    return "";
}

bool segmentInFrustum(const core::aabbox3d<float>& box, const SViewFrustum& f, const int* planes, int planeCount)
{
    if (boxesApart(box, f.boundingBox)) return false;
    for (int k = 0; k < planeCount; ++k)
        if (boxOutsidePlane(box, f.planes[planes[k]])) return false;
    return true;
}

}  // namespace

CBatchSceneNode::CBatchSceneNode(int id) : IMeshSceneNode(id)
{
    m_batchMesh = new CBatchMesh(44);
    m_mesh = m_batchMesh;
    setAutomaticCulling(EAC_FRUSTUM_BOX);
}

CBatchSceneNode::CBatchSceneNode(int id, const boost::intrusive_ptr<CBatchMesh>& mesh, bool registerSolidBatchesOnce)
    : IMeshSceneNode(id), m_mesh(mesh ? mesh : boost::intrusive_ptr<CBatchMesh>(new CBatchMesh(44))),
      m_batchMesh(static_cast<CBatchMesh*>(m_mesh.get())), m_registerSolidOnce(registerSolidBatchesOnce)
{
}

CBatchSceneNode::CBatchSceneNode(int id, const boost::intrusive_ptr<CBatchMesh>& mesh, CSceneManager* manager)
    : CBatchSceneNode(id, mesh, true)
{
    setSceneManager(manager);
}

void CBatchSceneNode::renderBatchBBoxes(video::IVideoDriver* driver, unsigned batch)
{
    if (!driver || batch >= m_visible.size() || !driver->getMaterialRendererManager()) return;
    video::CMaterialRendererManager& renderers = *driver->getMaterialRendererManager();
    unsigned short id = renderers.getBuiltInId(video::E_MATERIAL_TYPE(0));
    if (id == 0xffff) id = renderers.createMaterialRenderer(video::E_MATERIAL_TYPE(0));
    const boost::intrusive_ptr<video::CMaterial> material = id != 0xffff ? renderers.getMaterialInstance(id) : nullptr;
    driver->setMaterial(material, material ? material->getTechnique() : 255, nullptr);
    const SVisibleBatch& v = m_visible[batch];
    for (unsigned k = 0; k < v.VisibleCount; ++k)
        if (const core::aabbox3d<float>* box = m_runs[v.RunStart + k]->Box) driver->draw3DBox(*box, video::SColor(0, 255, 0, 255));
}

void CBatchSceneNode::serializeAttributes(io::IAttributes* out, io::SAttributeReadWriteOptions* options) const
{
    if (!out) return;
    ISceneNode::serializeAttributes(out, options);
    out->addEnum("SegmentAutomaticCulling", segmentCullingName(m_segmentCulling), AutomaticCullingNames, false);
    out->addBool("RegisterSolidBatchesOnce", m_registerSolidOnce, false);
    out->addBool("HasVisibleIndexCache", m_hasCache, false);
    // Shown to whoever inspects the node; deserializeAttributes does not read them back.
    out->addInt("Max index count (solid)", int(m_maxSolidIndices), true);
    out->addInt("Max index count (transparent)", int(m_maxTransparentIndices), true);
    out->addInt("Solid batch count", int(m_solidBatchCount), true);
}

void CBatchSceneNode::deserializeAttributes(io::IAttributes* in, io::SAttributeReadWriteOptions* options)
{
    if (!in) return;
    ISceneNode::deserializeAttributes(in, options);
    const int literal = in->getEnum("SegmentAutomaticCulling", AutomaticCullingNames);
    if (literal >= 0 && literal < 5) m_segmentCulling = E_CULLING_TYPE(kSegmentCullingValues[literal]);
    m_registerSolidOnce = in->getBool("RegisterSolidBatchesOnce");
    const bool cache = in->getBool("HasVisibleIndexCache");
    if (cache != m_hasCache) setVisibleIndexCache(cache);
}

void CBatchSceneNode::setup(bool skipPostCompile, video::IVideoDriver* driver)
{
    m_solidBatchCount = m_currentTransparentBatch = m_batchMesh->sort(driver);
    m_batchMesh->updateBoundingBox();
    m_batchMesh->initStaticSegmentBoundingBoxes();
    m_batchMesh->init();
    if (!skipPostCompile) postCompile();
}

void CBatchSceneNode::postCompile()
{
    const unsigned n = m_batchMesh->getBatchCount();
    if (m_solidBatchCount == 0xFFFFFFFFu) {
        unsigned solid = 0;
        while (solid < n && !isTransparent(m_batchMesh->getBatch(solid).Material.get())) ++solid;
        m_solidBatchCount = m_currentTransparentBatch = solid;
    }
    m_visible.assign(n, SVisibleBatch());
    m_runs.assign(m_batchMesh->getSegmentCount(), nullptr);
    unsigned start = 0;
    for (unsigned i = 0; i < n; ++i) {
        const CBatchMesh::SBatch& b = m_batchMesh->getBatch(i);
        m_visible[i].RunStart = start;
        start += unsigned(b.EndSegment - b.FirstSegment);
        const unsigned indices = b.MeshBuffer ? b.MeshBuffer->PrimitiveStream.Count : 0;
        unsigned& most = i < m_solidBatchCount ? m_maxSolidIndices : m_maxTransparentIndices;
        most = std::max(most, indices);
    }
    invalidateVisibleIndexCache(0xFFFFFFFFu);
}

void CBatchSceneNode::setVisibleIndexCache(bool on)
{
    if (on == m_hasCache) return;
    m_hasCache = on;
    if (on && m_batchMesh->getBatchCount()) invalidateVisibleIndexCache(0xFFFFFFFFu);
    if (!on) {
        m_cacheBatches.clear();
        m_cache.clear();
    }
}

void CBatchSceneNode::invalidateVisibleIndexCache(unsigned batch)
{
    if (!m_hasCache) return;
    if (batch != 0xFFFFFFFFu) {
        if (batch < m_visible.size()) m_visible[batch].Dirty |= 1;
        return;
    }
    const unsigned solid = std::min(m_solidBatchCount, m_batchMesh->getBatchCount());
    if (!solid || m_visible.size() < solid) return;
    m_cacheBatches.assign(solid, SCachedBatch());
    unsigned start = 0;
    for (unsigned j = 0; j < solid; ++j) {
        const CBatchMesh::SBatch& b = m_batchMesh->getBatch(j);
        m_cacheBatches[j].Capacity = b.MeshBuffer ? b.MeshBuffer->PrimitiveStream.Count : 0;
        m_cacheBatches[j].Start = start;
        start += m_cacheBatches[j].Capacity;
        m_visible[j].Dirty |= 1;
    }
    m_cache.assign(start, 0);
}

unsigned CBatchSceneNode::computeMaxIndices(unsigned batch) const
{
    const SVisibleBatch& v = m_visible[batch];
    unsigned total = 0;
    for (unsigned k = 0; k < v.VisibleCount; ++k) total += m_runs[v.RunStart + k]->EndIndex - m_runs[v.RunStart + k]->FirstIndex;
    return total;
}

unsigned CBatchSceneNode::clearVisibleSegments()
{
    for (SVisibleBatch& v : m_visible) v.VisibleCount = 0;
    return unsigned(m_visible.size());
}

unsigned CBatchSceneNode::updateInfo(unsigned first, unsigned end)
{
    unsigned total = 0;
    for (unsigned i = first; i < end; ++i) {
        SVisibleBatch& v = m_visible[i];
        if (!v.VisibleCount) continue;
        v.Stamp = os::Timer::TickCount;
        v.Dirty |= v.VisibleCount != v.PreviousCount;
        total += v.VisibleCount;
    }
    return total;
}

void CBatchSceneNode::addSegment(unsigned batch, CBatchMesh::SSegment& segment)
{
    if (segment.VisibilityStamp == os::Timer::TickCount || !isSegmentVisible(segment)) return;
    SVisibleBatch& v = m_visible[batch];
    if (v.Stamp != segment.VisibilityStamp) v.Dirty |= 1;  // not visible at the batch's last registration
    segment.VisibilityStamp = os::Timer::TickCount;
    m_runs[v.RunStart + v.VisibleCount++] = &segment;
}

template <class Visible>
void CBatchSceneNode::addVisibleSegments(unsigned batch, const Visible& visible)
{
    const CBatchMesh::SBatch& b = m_batchMesh->getBatch(batch);
    for (unsigned slot = b.FirstSegment; slot < b.EndSegment; ++slot) {
        CBatchMesh::SSegment& s = m_batchMesh->getSegmentAt(slot);
        if (visible(s)) addSegment(batch, s);
    }
}

bool CBatchSceneNode::onRegisterSceneNode()
{
    if (!isVisible() || !SceneManager) return true;
    preRegisterSceneNode();
    clearVisibleSegments();
    if (m_visible.empty() || SceneManager->isCulled(this)) return true;

    unsigned mode = EAC_OFF;
    const SViewFrustum* frustum = nullptr;
    const bool culling = SceneManager->isCullingEnabled();
    if (culling) {
        mode = m_segmentCulling;
        SceneManager->setCullingEnabled(false);
        if (ICameraSceneNode* camera = SceneManager->getActiveCamera()) frustum = camera->getViewFrustum();
        if (!frustum && (mode == EAC_BOX || mode == EAC_FRUSTUM_BOX || mode == EAC_FRUSTUM_BOX_3)) mode = EAC_OFF;
    }
    static constexpr int kAllPlanes[] = {0, 1, 2, 3, 4, 5};
    static constexpr int kThreePlanes[] = {2, 3, 0};
    const unsigned n = unsigned(m_visible.size());
    for (unsigned i = 0; i < n; ++i) {
        switch (mode) {
        case EAC_OFF:
        case kFrustumSphere:
            // Every segment goes into the run, with or without the cache: drawing gathers from it.
            addVisibleSegments(i, [](const CBatchMesh::SSegment&) { return true; });
            break;
        case EAC_BOX:
            addVisibleSegments(i, [&](const CBatchMesh::SSegment& s) { return !s.Box || !boxesApart(*s.Box, frustum->boundingBox); });
            break;
        case EAC_FRUSTUM_BOX:
            addVisibleSegments(i, [&](const CBatchMesh::SSegment& s) { return !s.Box || segmentInFrustum(*s.Box, *frustum, kAllPlanes, 6); });
            break;
        case EAC_FRUSTUM_BOX_3:
            addVisibleSegments(i, [&](const CBatchMesh::SSegment& s) { return !s.Box || segmentInFrustum(*s.Box, *frustum, kThreePlanes, 3); });
            break;
        default: break;
        }
    }

    const unsigned solid = std::min(m_solidBatchCount, n);
    if (m_registerSolidOnce) {
        if (solid && updateInfo(0, solid))
            SceneManager->registerNodeForRendering(this, nullptr, nullptr, ESNRP_AUTOMATIC, nullptr, kNodeRenderingLayer);
    } else {
        for (unsigned i = 0; i < solid; ++i)
            if (m_visible[i].VisibleCount)
                SceneManager->registerNodeForRendering(this, m_batchMesh->getBatch(i).Material,
                                                       reinterpret_cast<void*>(std::uintptr_t(i + 1)), ESNRP_SOLID,
                                                       nullptr, kNodeRenderingLayer);
        for (unsigned i = 0; i < solid; ++i) {
            m_visible[i].Stamp = os::Timer::TickCount;
            m_visible[i].Dirty |= m_visible[i].PreviousCount != m_visible[i].VisibleCount;
        }
    }
    for (unsigned i = solid; i < n; ++i) {
        SVisibleBatch& v = m_visible[i];
        const CBatchMesh::SBatch& b = m_batchMesh->getBatch(i);
        for (unsigned k = 0; k < v.VisibleCount; ++k) {
            const CBatchMesh::SSegment& s = *m_runs[v.RunStart + k];
            core::aabbox3d<float> box;
            if (s.Box) box = *s.Box;
            else if (b.MeshBuffer && b.MeshBuffer->VertexStreams)
                b.MeshBuffer->VertexStreams->computeBoundingBox(s.FirstVertex, s.EndVertex, box);
            const core::vector3d<float> centre = (box.MinEdge + box.MaxEdge) * 0.5f;
            const unsigned position = unsigned(&s - &m_batchMesh->getSegmentAt(b.FirstSegment));
            SceneManager->registerNodeForRendering(this, b.Material,
                                                   reinterpret_cast<void*>(std::uintptr_t(i | ((position + 1) << 16))),
                                                   ESNRP_TRANSPARENT, &centre, s.Layer);
        }
        v.Stamp = os::Timer::TickCount;
        v.VisibleCount = 0;  // refilled while drawing
    }
    if (culling) SceneManager->setCullingEnabled(true);
    return true;
}

unsigned CBatchSceneNode::updateIndices(unsigned batch, const boost::intrusive_ptr<video::IBuffer>& destination,
                                        const boost::intrusive_ptr<const video::IBuffer>& source)
{
    SVisibleBatch& v = m_visible[batch];
    const video::CPrimitiveStream& p = m_batchMesh->getBatch(batch).MeshBuffer->PrimitiveStream;
    auto* to = static_cast<unsigned short*>(destination->map(video::EBMA_CLIENT_WRITE));
    const auto* from = static_cast<const unsigned char*>(source->map(video::EBRMA_CLIENT_READ));
    unsigned count = 0;
    if (to && from) {
        const auto* indices = reinterpret_cast<const unsigned short*>(from + p.IndexOffset);
        for (unsigned k = 0; k < v.VisibleCount; ++k) {
            const CBatchMesh::SSegment& s = *m_runs[v.RunStart + k];
            std::copy(indices + s.FirstIndex, indices + s.EndIndex, to + count);
            count += s.EndIndex - s.FirstIndex;
        }
    }
    source->unmap();
    destination->unmap();
    v.Dirty &= ~1u;
    return count;
}

void CBatchSceneNode::drawBatch(video::IVideoDriver* driver, unsigned batch,
                                const boost::intrusive_ptr<video::IBuffer>& indices, unsigned count)
{
    const CBatchMesh::SBatch& b = m_batchMesh->getBatch(batch);
    const video::CPrimitiveStream& p = b.MeshBuffer->PrimitiveStream;
    const video::CPrimitiveStream stream(indices, 0, count, p.FirstVertex, p.VertexEnd, p.IndexType, p.PrimitiveType);
    const unsigned char t = b.Material ? b.Material->getTechnique() : 0;
    const boost::intrusive_ptr<video::CVertexAttributeMap>* maps =
        b.Material && b.AttributeMap ? &b.AttributeMap->get(t, 0) : nullptr;
    driver->setMaterial(b.Material, t, maps);
    driver->draw(b.MeshBuffer->VertexStreams, stream, nullptr, nullptr);
}

void CBatchSceneNode::renderSolidBatch(video::IVideoDriver* driver, unsigned batch)
{
    SVisibleBatch& v = m_visible[batch];
    const CBatchMesh::SBatch& b = m_batchMesh->getBatch(batch);
    if (v.VisibleCount && b.MeshBuffer && b.MeshBuffer->PrimitiveStream.IndexBuffer) {
        const boost::intrusive_ptr<const video::IBuffer> source = b.MeshBuffer->PrimitiveStream.IndexBuffer;
        if (m_hasCache && batch < m_cacheBatches.size()) {
            SCachedBatch& c = m_cacheBatches[batch];
            if (c.Capacity) {
                if (!c.Buffer)
                    c.Buffer = driver->createBuffer(video::EBT_INDEX, video::EBU_CLIENT_ONLY, c.Capacity * 2u,
                                                    &m_cache[c.Start], false);
                if (c.Buffer && (v.Dirty & 1)) c.Count = updateIndices(batch, c.Buffer, source);
                if (c.Buffer) drawBatch(driver, batch, c.Buffer, c.Count);
            }
        } else {
            const unsigned n = m_maxSolidIndices ? m_maxSolidIndices : computeMaxIndices(batch);
            void* scratch = core::allocProcessBuffer(int(n * 2u));
            if (scratch) {
                boost::intrusive_ptr<video::IBuffer> indices =
                    driver->createBuffer(video::EBT_INDEX, video::EBU_CLIENT_ONLY, n * 2u, scratch, false);
                if (indices) drawBatch(driver, batch, indices, updateIndices(batch, indices, source));
                indices.reset();
                core::releaseProcessBuffer(scratch);
            }
        }
    }
    v.PreviousCount = v.VisibleCount;
}

void CBatchSceneNode::renderTransparentSegment(video::IVideoDriver* driver, unsigned batch, unsigned position)
{
    if (batch >= m_visible.size()) return;
    SVisibleBatch& v = m_visible[batch];
    if (!v.VisibleCount) {
        flushTransparentBatch(driver);
        m_currentTransparentBatch = batch;
    }
    CBatchMesh::SSegment& s = m_batchMesh->getSegmentAt(m_batchMesh->getBatch(batch).FirstSegment + position);
    if (v.Stamp != s.VisibilityStamp) v.Dirty |= 1;
    s.VisibilityStamp = os::Timer::TickCount;
    m_runs[v.RunStart + v.VisibleCount++] = &s;
    if (SceneManager->getNextRenderedNode() != this) flushTransparentBatch(driver);
}

void CBatchSceneNode::flushTransparentBatch(video::IVideoDriver* driver)
{
    const unsigned c = m_currentTransparentBatch;
    if (c >= m_visible.size() || !m_visible[c].VisibleCount) return;
    const CBatchMesh::SBatch& b = m_batchMesh->getBatch(c);
    if (b.MeshBuffer && b.MeshBuffer->PrimitiveStream.IndexBuffer) {
        const unsigned n = m_maxTransparentIndices ? m_maxTransparentIndices : computeMaxIndices(c);
        void* scratch = core::allocProcessBuffer(int(n * 2u));
        if (scratch) {
            if (m_transparentIndexBuffer) m_transparentIndexBuffer->reset(n * 2u, scratch, false);
            else m_transparentIndexBuffer = driver->createBuffer(video::EBT_INDEX, video::EBU_CLIENT_ONLY, n * 2u, scratch, false);
            if (m_transparentIndexBuffer)
                drawBatch(driver, c, m_transparentIndexBuffer,
                          updateIndices(c, m_transparentIndexBuffer, b.MeshBuffer->PrimitiveStream.IndexBuffer));
            if (m_transparentIndexBuffer) m_transparentIndexBuffer->reset(0, nullptr, false);
            core::releaseProcessBuffer(scratch);
        }
    }
    m_visible[c].VisibleCount = 0;
}

void CBatchSceneNode::render(void* renderData)
{
    video::IVideoDriver* driver = SceneManager ? SceneManager->getVideoDriver() : nullptr;
    if (!driver || m_visible.empty()) return;
    driver->setTransform(video::ETS_WORLD, AbsoluteTransformation);
    const bool merging = (driver->getOptions() & video::EVDO_MERGE_DRAWS) != 0;
    if (merging) driver->setOption(video::EVDO_MERGE_DRAWS, false);
    const std::uintptr_t value = reinterpret_cast<std::uintptr_t>(renderData);
    const unsigned solid = std::min(m_solidBatchCount, unsigned(m_visible.size()));
    if (value == 0) {
        for (unsigned i = 0; i < solid; ++i) renderSolidBatch(driver, i);
    } else if (value <= 0xFFFF) {
        if (value - 1 < solid) renderSolidBatch(driver, unsigned(value - 1));
    } else {
        renderTransparentSegment(driver, unsigned(value & 0xFFFF), unsigned(value >> 16) - 1);
    }
    if (merging) driver->setOption(video::EVDO_MERGE_DRAWS, true);
}

}  // namespace pravik::scene
