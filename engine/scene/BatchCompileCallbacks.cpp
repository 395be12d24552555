#include "engine/scene/BatchCompileCallbacks.h"

#include "engine/core/RandomString.h"
#include "engine/scene/CAppendMeshBuffer.h"
#include "engine/scene/CBatchSceneNode.h"
#include "engine/scene/CSceneManager.h"
#include "engine/video/IVideoDriver.h"
#include "engine/video/material/BatchUtils.h"
#include "engine/video/material/CMaterialRenderer.h"
#include "engine/video/material/CMaterialRendererManager.h"

#include <cstdint>
#include <cstring>

namespace pravik::scene {

void SDefaultSegmentCompileCallback::operator()(CBatchMesh*, void*, const SCompileInfo& info)
{
    CBatchMesh* mesh = BatchNode->getBatchMesh();
    if (CurrentBatch == -1) CurrentBatch = int(mesh->addBatch());
    const video::CPrimitiveStream& p = *info.PrimitiveStream;
    ISceneNode* node = SceneManager->getCurrentRenderedNode();
    const short layer = node ? short(node->getRenderingLayer()) : 0;
    const unsigned segment =
        mesh->addSegment((unsigned short)(p.VertexEnd - p.FirstVertex), 3u * p.getPrimitiveCount(), layer);
    if (info.MeshBuffer && info.MeshBuffer->Dynamic) {
        // Content that may change after compilation: the segment follows its node's box.
        CBatchMesh::SSegment& s = mesh->getSegment(segment);
        s.Box = node ? &node->getBoundingBox() : nullptr;
        s.BoxOwned = 0;
        s.Source = info.MeshBuffer;
    }
    if (UserCallback) {
        SCompileInfo copy;
        copy.VertexStreams = info.VertexStreams;
        copy.PrimitiveStream = info.PrimitiveStream;
        copy.MeshBuffer = info.MeshBuffer;
        (*UserCallback)(mesh, reinterpret_cast<void*>(std::uintptr_t(segment)), copy);
    }
}

void SDefaultEndOfBatchCallback::operator()(const CAppendMeshBuffer& buffer, const boost::intrusive_ptr<video::CMaterial>& material)
{
    if (SegmentCallback->CurrentBatch < 0 || !material || !buffer.VertexBuffer || !buffer.IndexBuffer) return;
    const unsigned vertexBytes = buffer.VertexFill, indexBytes = buffer.IndexFill;
    boost::intrusive_ptr<video::IBuffer> vertices =
        Driver->createBuffer(video::EBT_VERTEX, BufferUsage, vertexBytes, new unsigned char[vertexBytes], true);
    boost::intrusive_ptr<video::IBuffer> indices =
        Driver->createBuffer(video::EBT_INDEX, video::EBU_CLIENT_ONLY, indexBytes, new unsigned char[indexBytes], true);
    if (!vertices || !indices) return;
    auto copy = [](const video::IBuffer& from, video::IBuffer& to, unsigned bytes) {
        const void* source = from.map(video::EBRMA_CLIENT_READ);
        void* destination = to.map(video::EBMA_CLIENT_WRITE);
        if (source && destination) std::memcpy(destination, source, bytes);
        to.unmap();
        from.unmap();
    };
    copy(*buffer.VertexBuffer, *vertices, vertexBytes);
    copy(*buffer.IndexBuffer, *indices, indexBytes);

    boost::intrusive_ptr<CMeshBuffer> meshBuffer(new CMeshBuffer(
        buffer.allocateConfiguredVertexStreams(vertices),
        video::CPrimitiveStream(indices, 0, indexBytes / buffer.IndexSize, 0, vertexBytes / buffer.VertexStride,
                                video::EIT_16BIT, video::EPT_TRIANGLES)));
    SBatchConfig& config = Configurations[unsigned(SegmentCallback->CurrentBatch)];
    config.Material = material->clone(core::randomString(14).c_str());
    const video::CMaterialRenderer& renderer = *material->getMaterialRenderer();
    const unsigned char t = material->getTechnique();
    config.PassRenderState = t < renderer.getTechniqueCount() && renderer.getTechnique(t).passCount
                                 ? renderer.getTechnique(t).passes[0].renderState
                                 : video::detail::renderpass::SRenderState();
    config.MeshBuffer = meshBuffer;
    SegmentCallback->CurrentBatch = -1;
}

void SDefaultEndOfBatchCallback::finalize()
{
    video::CMaterialRendererManager* manager = Driver ? Driver->getMaterialRendererManager() : nullptr;
    if (!manager) return;
    for (auto& [index, config] : Configurations) {
        if (!config.Material) continue;
        const boost::intrusive_ptr<video::CMaterialRenderer>& source = config.Material->getMaterialRenderer();
        const unsigned char t = config.Material->getTechnique();
        if (t >= source->getTechniqueCount() || !source->getTechnique(t).passCount) continue;
        const core::stringc name = core::randomString(20);
        manager->beginMaterialRenderer(name.c_str(), true);
        manager->beginTechnique("ZeTechnique", true);
        manager->addRenderPass(source->getTechnique(t).passes[0].shader, config.PassRenderState, config.MaterialRenderState);
        manager->endTechnique(true, (unsigned short)source->getBindedLightCount(t, 0));
        const unsigned short id = manager->endMaterialRenderer();
        if (id == 0xffff) continue;
        if (const boost::intrusive_ptr<video::CMaterialRenderer>& renderer = manager->get(id)) renderer->initParametersToIdentity();
        boost::intrusive_ptr<video::CMaterial> instance = manager->getMaterialInstance(id, false);
        if (!instance) continue;
        core::copyMaterialParameters(instance, config.Material);
        BatchNode->getBatchMesh()->setBuffer(index, config.MeshBuffer, instance);
    }
}

}  // namespace pravik::scene
