#pragma once
// The callbacks a scene compilation gives the batch driver: one segment of the batch mesh per
// captured draw, and one batch configuration (geometry copied out of the append buffer, a
// renamed copy of the material, the first pass's render state) per filled append buffer; at
// the end each batch gets a renderer of its own ("ZeTechnique", one pass) and a material.

#include "engine/scene/SCompileInfo.h"
#include "engine/video/IBuffer.h"
#include "engine/video/material/CMaterial.h"
#include "engine/video/material/detail/renderpass/SRenderState.h"

#include <map>

namespace pravik::video {
class IVideoDriver;
}

namespace pravik::scene {

class CBatchSceneNode;
class CSceneManager;

struct SDefaultSegmentCompileCallback : ISegmentCompileCallback {
    SDefaultSegmentCompileCallback(CBatchSceneNode* node, CSceneManager* manager, ISegmentCompileCallback* user)
        : BatchNode(node), SceneManager(manager), UserCallback(user) {}
    void operator()(CBatchMesh* mesh, void* userData, const SCompileInfo& info) override;

    CBatchSceneNode* BatchNode;
    CSceneManager* SceneManager;
    ISegmentCompileCallback* UserCallback;
    int CurrentBatch = -1;  // the batch receiving new segments; -1: the next segment opens one
};

struct SBatchConfig {
    boost::intrusive_ptr<video::CMaterial> Material;
    video::detail::renderpass::SRenderState PassRenderState;
    video::detail::material::SRenderState MaterialRenderState;
    boost::intrusive_ptr<CMeshBuffer> MeshBuffer;

    ~SBatchConfig()
    {
        MeshBuffer.reset();
        Material.reset();
    }
};

struct SDefaultEndOfBatchCallback : IEndOfBatchCallback {
    SDefaultEndOfBatchCallback(CBatchSceneNode* node, SDefaultSegmentCompileCallback* segments, video::IVideoDriver* driver)
        : BatchNode(node), SegmentCallback(segments), Driver(driver) {}
    void operator()(const CAppendMeshBuffer& buffer, const boost::intrusive_ptr<video::CMaterial>& material) override;
    void finalize();

    CBatchSceneNode* BatchNode;
    SDefaultSegmentCompileCallback* SegmentCallback;
    video::IVideoDriver* Driver;  // the scene's own driver, not the batch driver
    video::E_BUFFER_USAGE BufferUsage = video::EBU_CLIENT_ONLY;
    std::map<unsigned, SBatchConfig> Configurations;
};

}  // namespace pravik::scene
