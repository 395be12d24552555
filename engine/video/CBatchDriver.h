#pragma once
// The driver that scene compilation draws into. It draws nothing: every draw becomes one or
// more segments (a large 16-bit triangle list may be split into spatial clusters, by a grid or
// by a vertex byte budget with a k-d tree) that the current batch baker appends to the append
// buffer; when the buffer is full, a material cannot join, or the compilation ends (flush), the
// end-of-batch callback receives the buffer and the batch material, and the segment callback
// hears of each appended segment. Materials, baker selection and the batch material are the
// driver base's, exactly as for the real driver's merging of small draws.
// Only 16-bit indexed triangle lists, strips and fans are batched; other draws, and a segment
// larger than an empty append buffer, are left out of the batched result.
// It shares the real driver's texture, material-renderer and global-parameter managers and
// never clears them. Main thread only.

#include "engine/core/vector3d.h"
#include "engine/scene/SCompileInfo.h"
#include "engine/video/CNullDriver.h"

#include <utility>

namespace pravik::video {

class CBatchDriver : public CNullDriver {
public:
    using SSegment = std::pair<boost::intrusive_ptr<const CVertexStreams>, CPrimitiveStream>;

    CBatchDriver(unsigned vertexCapacity, unsigned indexCapacity, IVideoDriver* realDriver);
    ~CBatchDriver() override;

    void draw(const boost::intrusive_ptr<CVertexStreams>& streams, const CPrimitiveStream& primitives,
              CDriverBinding** binding = nullptr, const scene::CMeshBuffer* meshBuffer = nullptr) override;
    bool flush() override;

    unsigned getVertexCapacity() const { return m_vertexCapacity; }
    unsigned getIndexCapacity() const { return m_indexCapacity; }
    void setEndOfBatchCallback(scene::IEndOfBatchCallback* c) { m_endOfBatch = c; }
    void setSegmentCallback(scene::ISegmentCompileCallback* c) { m_segment = c; }
    void setSplitChoiceCallback(scene::ISplitSegmentChoiceCallback* c) { m_splitChoice = c; }
    void setGridCellSize(const core::vector3d<float>& size) { m_cellSize = size; m_splitByBudget = false; }
    void setSegmentByteBudget(unsigned bytes) { m_byteBudget = bytes; m_splitByBudget = true; }
    const scene::SCompileInfo& getCompileInfo() const { return m_info; }

    // The compilation's append buffer becomes the only one and current; null clears them.
    void setAppendBuffer(const boost::intrusive_ptr<scene::CAppendMeshBuffer>& buffer);
    // After a compilation: append buffers, baker, batch material and source copy released.
    void resetCompileState();

    // True when every stream has the first stream's stride and it spans every element; the
    // smallest offset goes to minimumOffset (0 when false).
    static bool isVertexStreamHomolaced(const CVertexStreams& streams, unsigned& minimumOffset);

private:
    void appendSegments(const boost::intrusive_ptr<CVertexStreams>& streams, const CPrimitiveStream& primitives,
                        const scene::CMeshBuffer* meshBuffer);
    bool splitIntoClusters(const CVertexStreams& streams, const CPrimitiveStream& primitives, std::vector<SSegment>& out);
    bool appendOne(const SSegment& segment);

    unsigned m_vertexCapacity;
    unsigned m_indexCapacity;
    scene::IEndOfBatchCallback* m_endOfBatch = nullptr;
    scene::ISegmentCompileCallback* m_segment = nullptr;
    scene::ISplitSegmentChoiceCallback* m_splitChoice = nullptr;
    scene::SCompileInfo m_info;
    core::vector3d<float> m_cellSize{0, 0, 0};
    unsigned m_byteBudget = 0;
    bool m_splitByBudget = false;
};

}  // namespace pravik::video
