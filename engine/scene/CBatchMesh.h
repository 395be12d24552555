#pragma once
// The mesh a scene compilation produces: static geometry of many nodes merged into a few
// batches (one mesh buffer and one material each), each batch divided into segments, one per
// captured draw: a contiguous vertex range and index range with a box and the layer of the node
// it came from. Compilation appends batches (addBatch), segments to the last batch
// (addSegment) and finally each batch's buffer and material (setBuffer). Segment records keep
// the logical stride of 44 bytes of the stored form; in memory they are plain records.
// Main thread only.

#include "engine/os/EEndian.h"
#include "engine/scene/IMesh.h"

#include <vector>

namespace pravik::io {
class IFileSystem;
class IReadFile;
class IWriteFile;
}  // namespace pravik::io

namespace pravik::collada {
class CColladaFactory;
class CRootSceneNode;
}  // namespace pravik::collada

namespace pravik::scene {

class CBatchMesh;

// Told when updateSegmentContent has rewritten a segment. Not owned by the mesh.
class ISegmentUpdateCallback {
public:
    virtual ~ISegmentUpdateCallback() = default;
    virtual void onSegmentUpdated(CBatchMesh* mesh, unsigned segment, bool contentChanged, bool flag) = 0;
};

class CBatchMesh : public IMesh {
public:
    struct SBatch {
        boost::intrusive_ptr<CMeshBuffer> MeshBuffer;
        boost::intrusive_ptr<video::CMaterial> Material;
        boost::intrusive_ptr<video::CMaterialVertexAttributeMap> AttributeMap;
        unsigned short FirstSegment = 0;
        unsigned short EndSegment = 0;  // the batch's segments occupy slots [first, end)
        unsigned short StaticCount = 0;

        SBatch() = default;
        explicit SBatch(unsigned short n) : FirstSegment(n), EndSegment(n) {}
    };
    struct SSegmentInfo {
        unsigned BatchIndex = 0;
        unsigned Position = 0;  // within the batch
    };
    struct SSegment {
        unsigned Number = 0;
        boost::intrusive_ptr<const CMeshBuffer> Source;  // dynamic segments: the buffer compiled from
        const core::aabbox3d<float>* Box = nullptr;
        unsigned FirstIndex = 0, EndIndex = 0, SecondEndIndex = 0;
        unsigned VisibilityStamp = 0;
        unsigned char Visible = 1;
        unsigned char BoxOwned = 0;
        short Layer = 0;
        unsigned short FirstVertex = 0, EndVertex = 0, SecondEndVertex = 0;

        void save(io::IWriteFile* file, bool swap) const;  // the 49 stored bytes
        // Reads the stored bytes, the box into `box`; false when the file is cut short.
        bool load(io::IReadFile* file, bool swap, core::aabbox3d<float>& box);
    };

    explicit CBatchMesh(unsigned segmentStride = 44) : m_segmentStride(segmentStride) {}

    boost::intrusive_ptr<IMesh> clone() const override { return nullptr; }  // a batch mesh is not copied
    unsigned getMeshBufferCount() const override { return unsigned(m_batches.size()); }
    boost::intrusive_ptr<CMeshBuffer> getMeshBuffer(unsigned index) const override;
    boost::intrusive_ptr<video::CMaterial> getMaterial(unsigned index) const override;
    boost::intrusive_ptr<video::CMaterialVertexAttributeMap> getMaterialVertexAttributeMap(unsigned index) const override;
    void setMaterial(unsigned index, const boost::intrusive_ptr<video::CMaterial>& material,
                     const boost::intrusive_ptr<video::CMaterialVertexAttributeMap>& attributeMap) override;
    // Brought up to date first when the static part is dirty or dynamic batches may have moved.
    const core::aabbox3d<float>& getBoundingBox() const override;
    void setBoundingBox(const core::aabbox3d<float>& box) override;

    // The index the new batch has; its segments start after every existing one.
    unsigned addBatch();
    // A segment of the last batch (there must be one), its ranges after the batch's last
    // segment; the segment's number.
    unsigned addSegment(unsigned short vertexCount, unsigned indexCount, short layer);
    // The batch's buffer, a copy of the material under a new name and the attribute map of the
    // material's renderer for the buffer's streams. The index must be valid.
    void setBuffer(unsigned batch, const boost::intrusive_ptr<CMeshBuffer>& meshBuffer,
                   const boost::intrusive_ptr<video::CMaterial>& material);

    // Solid batches first, blended ones last; order[k] gets the former index of the batch now at
    // k (order holds one entry per batch). The number of solid batches.
    unsigned sortBatches(video::IVideoDriver* driver, unsigned* order);
    // After compilation: batches partitioned, each batch's static segments first, static
    // segments given boxes of their own. The number of solid batches.
    unsigned sort(video::IVideoDriver* driver);
    void updateBoundingBox() const;
    // Each static segment's box from its vertex range.
    void initStaticSegmentBoundingBoxes();
    virtual void init() {}  // a subclass's hook, called once the mesh is set up

    // Gives up spare capacity of the batches, the segment table and the segment records.
    void strip();
    // Quantised copies of the buffers of batches without dynamic segments; the others keep theirs.
    void quantizeComponents(bool normalsAs16Bit, bool quantizePositions, video::IVideoDriver* driver);
    // Rewrites the attributes in attributeMask of segment number `segment` from source (drawn
    // with material and its attribute map) through the baker of the material's shader; the
    // segment's ranges then cover the source's vertices and triangles. The callback, when set,
    // hears of it. The segment must be valid.
    void updateSegmentContent(unsigned segment, const boost::intrusive_ptr<const CMeshBuffer>& source,
                              unsigned attributeMask, bool flag, const boost::intrusive_ptr<video::CMaterial>& material,
                              const boost::intrusive_ptr<video::CVertexAttributeMap>& attributeMap,
                              video::IVideoDriver* driver);
    void setSegmentUpdateCallback(ISegmentUpdateCallback* callback) { m_segmentUpdateCallback = callback; }
    ISegmentUpdateCallback* getSegmentUpdateCallback() const { return m_segmentUpdateCallback; }
    // The batch mesh file; false when a write fell short. The driver and the flag are not used.
    bool save(io::IWriteFile* file, video::IVideoDriver* driver, os::E_ENDIAN order, bool flag,
              bool writeStreamingInfo) const;
    // Into an empty mesh; false (the mesh left empty) for a file that cannot be one. Batch
    // materials come from the archive's "materials.bdae" when it has one.
    bool load(io::IReadFile* file, video::IVideoDriver* driver, io::IFileSystem* fileSystem,
              collada::CRootSceneNode* root, collada::CColladaFactory* factory);
    // Hooks of a subclass that keeps data of its own per segment, after each stored record.
    virtual void saveSegmentExtraData(unsigned segment, io::IWriteFile* file, bool swap) const
    {
        (void)segment, (void)file, (void)swap;
    }
    virtual bool loadSegmentExtraData(unsigned segment, io::IReadFile* file, bool swap)  // false when cut short
    {
        (void)segment, (void)file, (void)swap;
        return true;
    }
    // Drops every batch, segment record and table entry; boxes and counters stay.
    void clear();
    // The segment's index range [first, end); the segment must be valid.
    void getIndexRange(unsigned& first, unsigned& end, unsigned segment) const;

    unsigned getBatchCount() const { return unsigned(m_batches.size()); }
    unsigned getDynamicBatchCount() const { return m_dynamicBatchCount; }
    const SBatch& getBatch(unsigned i) const { return m_batches[i]; }
    unsigned getSegmentCount() const { return unsigned(m_segments.size()); }
    // By number; the number must be valid.
    SSegment& getSegment(unsigned number);
    const SSegment& getSegment(unsigned number) const { return const_cast<CBatchMesh*>(this)->getSegment(number); }
    const SSegmentInfo& getSegmentInfo(unsigned number) const { return m_segmentTable[number]; }
    SSegment& getSegmentAt(unsigned slot) { return m_segments[slot]; }  // the slot must be valid
    unsigned getSegmentStride() const { return m_segmentStride; }

private:
    std::vector<SSegment> m_segments;  // by slot
    std::vector<SSegmentInfo> m_segmentTable;  // by number
    std::vector<SBatch> m_batches;
    std::vector<core::aabbox3d<float>> m_staticBoxes;  // one per static segment; sized once by sort
    mutable core::aabbox3d<float> m_staticBox;
    mutable core::aabbox3d<float> m_boundingBox;
    unsigned m_dynamicBatchCount = 0;
    mutable unsigned m_boxStamp = 0xFFFFFFFFu;
    unsigned m_segmentStride;
    mutable bool m_boxDirty = true;
    ISegmentUpdateCallback* m_segmentUpdateCallback = nullptr;
};

}  // namespace pravik::scene
