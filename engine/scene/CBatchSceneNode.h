#pragma once
// The node ("basn") that draws a compiled batch mesh. Each frame it picks the visible segments
// of every batch (segment culling against the active camera), registers its solid batches and
// its visible transparent segments, and draws each solid batch as one draw over the gathered
// indices of its visible segments, and runs of transparent segments of one batch (in the
// manager's far-to-near order) as one draw each. A solid batch's gathered indices are kept
// between frames and gathered again only when its visible set changes. Segment stamps come
// from os::Timer::TickCount, so one registration per tick. Main thread only.

#include "engine/scene/CBatchMesh.h"
#include "engine/scene/IMeshSceneNode.h"
#include "engine/video/IBuffer.h"

#include <cstdint>
#include <vector>

namespace pravik::video {
class IVideoDriver;
}

namespace pravik::scene {

class CBatchSceneNode : public IMeshSceneNode {
public:
    static constexpr E_SCENE_NODE_TYPE Type = E_SCENE_NODE_TYPE(0x6E736162);  // 'b' 'a' 's' 'n'

    explicit CBatchSceneNode(int id);  // its own empty mesh; culled by frustum box
    CBatchSceneNode(int id, const boost::intrusive_ptr<CBatchMesh>& mesh, bool registerSolidBatchesOnce = true);
    CBatchSceneNode(int id, const boost::intrusive_ptr<CBatchMesh>& mesh, CSceneManager* manager);  // attached to manager

    // Those of every node, then the segment culling, the registration and cache switches and,
    // for reading only, the index counts and the solid batch count.
    void serializeAttributes(io::IAttributes* out, io::SAttributeReadWriteOptions* options = nullptr) const override;
    void deserializeAttributes(io::IAttributes* in, io::SAttributeReadWriteOptions* options = nullptr) override;
    bool onRegisterSceneNode() override;
    // 0: every solid batch; 1..0xFFFF: solid batch (value - 1); above: the transparent segment at
    // position (high half - 1) of batch (low half).
    void render(void* renderData) override;
    const core::aabbox3d<float>& getBoundingBox() const override { return m_batchMesh->getBoundingBox(); }
    const core::aabbox3d<float>& getTransformedBoundingBox() const override { return m_batchMesh->getBoundingBox(); }
    boost::intrusive_ptr<video::CMaterial> getMaterial(unsigned index) const override { return m_batchMesh->getMaterial(index); }
    unsigned getMaterialCount() const override { return m_batchMesh->getBatchCount(); }
    E_SCENE_NODE_TYPE getType() const override { return Type; }
    void setMesh(const boost::intrusive_ptr<IMesh>&) override {}  // the node keeps its mesh
    const boost::intrusive_ptr<IMesh>& getMesh() const override { return m_mesh; }
    CBatchMesh* getBatchMesh() const { return m_batchMesh; }

    // After compilation: sorts the mesh, brings its boxes up to date and, unless skipped,
    // builds the per-frame structures.
    virtual void setup(bool skipPostCompile, video::IVideoDriver* driver);
    virtual void postCompile();
    virtual void preRegisterSceneNode() {}
    virtual bool isSegmentVisible(const CBatchMesh::SSegment& segment) const { return segment.Visible != 0; }
    // Copies the indices of batch i's visible segments, in run order, from source into
    // destination; clears the batch's dirty mark. The number of indices copied.
    virtual unsigned updateIndices(unsigned batch, const boost::intrusive_ptr<video::IBuffer>& destination,
                                   const boost::intrusive_ptr<const video::IBuffer>& source);

    void setVisibleIndexCache(bool on);
    bool hasVisibleIndexCache() const { return m_hasCache; }
    void invalidateVisibleIndexCache(unsigned batch);  // 0xFFFFFFFF rebuilds the whole cache
    unsigned computeMaxIndices(unsigned batch) const;
    unsigned clearVisibleSegments();  // the batch count
    unsigned updateInfo(unsigned first, unsigned end);  // visible segments of [first, end)
    // A debugging aid: the box of every segment in batch i's visible run, in green, drawn with the
    // driver's built-in plain material. Between registration and the end of the frame.
    void renderBatchBBoxes(video::IVideoDriver* driver, unsigned batch);
    unsigned getVisibleCount(unsigned batch) const { return batch < m_visible.size() ? m_visible[batch].VisibleCount : 0; }

    unsigned getSolidBatchCount() const { return m_solidBatchCount; }
    unsigned getMaxSolidIndices() const { return m_maxSolidIndices; }
    unsigned getMaxTransparentIndices() const { return m_maxTransparentIndices; }
    E_CULLING_TYPE getSegmentCulling() const { return m_segmentCulling; }
    void setSegmentCulling(E_CULLING_TYPE type) { m_segmentCulling = type; }
    bool getRegisterSolidBatchesOnce() const { return m_registerSolidOnce; }
    void setRegisterSolidBatchesOnce(bool once) { m_registerSolidOnce = once; }

private:
    struct SVisibleBatch {
        unsigned VisibleCount = 0;   // segments in the run
        unsigned PreviousCount = 0;  // at the last draw
        unsigned Stamp = 0;          // tick of the last registration
        unsigned Dirty = 1;          // bit 0: the visible set changed since the cache was filled
        unsigned RunStart = 0;       // into m_runs
    };
    struct SCachedBatch {
        unsigned Count = 0, Capacity = 0, Start = 0;  // Start in indices into m_cache
        boost::intrusive_ptr<video::IBuffer> Buffer;  // over the batch's area, made on first draw
    };

    template <class Visible>
    void addVisibleSegments(unsigned batch, const Visible& visible);
    void addSegment(unsigned batch, CBatchMesh::SSegment& segment);
    void renderSolidBatch(video::IVideoDriver* driver, unsigned batch);
    void renderTransparentSegment(video::IVideoDriver* driver, unsigned batch, unsigned position);
    void flushTransparentBatch(video::IVideoDriver* driver);
    void drawBatch(video::IVideoDriver* driver, unsigned batch, const boost::intrusive_ptr<video::IBuffer>& indices,
                   unsigned count);

    boost::intrusive_ptr<IMesh> m_mesh;
    CBatchMesh* m_batchMesh;  // m_mesh, typed
    E_CULLING_TYPE m_segmentCulling = EAC_FRUSTUM_BOX;
    unsigned m_maxSolidIndices = 0;
    unsigned m_maxTransparentIndices = 0;
    unsigned m_solidBatchCount = 0xFFFFFFFFu;
    bool m_registerSolidOnce = true;
    bool m_hasCache = true;
    boost::intrusive_ptr<video::IBuffer> m_transparentIndexBuffer;
    std::vector<SCachedBatch> m_cacheBatches;  // one per solid batch
    std::vector<unsigned short> m_cache;
    std::vector<SVisibleBatch> m_visible;      // empty until postCompile
    std::vector<CBatchMesh::SSegment*> m_runs;
    unsigned m_currentTransparentBatch = 0;
};

}  // namespace pravik::scene
