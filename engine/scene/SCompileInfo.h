#pragma once
// What a scene compilation's callbacks learn about one draw the batch driver captured, and the
// three callback interfaces the batch driver calls while the scene manager compiles.

#include "engine/scene/CMeshBuffer.h"
#include "engine/video/material/CPrimitiveStream.h"
#include "engine/video/material/CVertexStreams.h"

#include <boost/intrusive_ptr.hpp>

namespace pravik::video {
class CMaterial;
}

namespace pravik::scene {

class CAppendMeshBuffer;
class CBatchMesh;

struct SCompileInfo {
    boost::intrusive_ptr<const video::CVertexStreams> VertexStreams;
    const video::CPrimitiveStream* PrimitiveStream = nullptr;  // not owned
    boost::intrusive_ptr<const CMeshBuffer> MeshBuffer;        // may be null

    ~SCompileInfo()
    {
        MeshBuffer.reset();  // the buffer first, then the streams
        VertexStreams.reset();
    }
};

// After each segment appended to the batch.
class ISegmentCompileCallback {
public:
    virtual ~ISegmentCompileCallback() = default;
    virtual void operator()(CBatchMesh* mesh, void* userData, const SCompileInfo& info) = 0;
};

// When a batch ends: the filled append buffer and the material it was baked for.
class IEndOfBatchCallback {
public:
    virtual ~IEndOfBatchCallback() = default;
    virtual void operator()(const CAppendMeshBuffer& buffer, const boost::intrusive_ptr<video::CMaterial>& material) = 0;
};

// Whether a captured draw may be split into clusters.
class ISplitSegmentChoiceCallback {
public:
    virtual ~ISplitSegmentChoiceCallback() = default;
    virtual bool operator()(const SCompileInfo& info) = 0;
};

}  // namespace pravik::scene
