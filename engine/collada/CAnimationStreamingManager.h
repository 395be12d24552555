#pragma once
// Key data of a scene file's animations comes in segments, each covering frames
// [first, end) of a clip (ms), the clip's last one also its end frame. A segment is resident
// (inside the loaded image) or streamed (read from the file while a block uses it). A block is
// one segment of one clip with its key data resolved; the manager keeps every live block in a
// registry sorted by (file, clip, first frame), and a block in use links to the block of the
// segment after it (the clip's first one after its last), prepared before playback gets there.
//
// Key data (SAnimationData): u32 array count n, then n descriptors {u32 element count, u32
// offset relative to the offset field}. A segment is checked before anything is allocated: its
// size a non-zero multiple of 4 inside the file's streamed area, 4 + 8n within it, every array
// start inside it; arrays become views (start, count, bytes to the segment's end) in a side
// array, never pointers in the 4-byte fields. A resident segment is resolved once per file.

#include "engine/IReferenceCounted.h"
#include "engine/collada/CTimelineController.h"
#include "engine/collada/SAnimationRecords.h"

#include <boost/intrusive_ptr.hpp>

#include <cstdint>
#include <memory>
#include <vector>

namespace pravik::collada {

struct SAnimationSegmentInfo {
    int first = 0;
    int end = 0;  // exclusive
    bool streamed = false;
    std::uint32_t offset = 0;  // streamed: into the file's streamed area
    std::uint32_t size = 0;
    const unsigned char* resident = nullptr;  // resident: the key data in the image
};

// Resolved key data of one segment: its bytes (streamed) and the array views over them.
struct SSegmentKeyData {
    std::unique_ptr<unsigned char[]> bytes;  // null for a resident segment
    std::vector<SKeyArray> arrays;
    SAnimationData data;
};

// Checks key data of size bytes and resolves its descriptors; null (and one log line) when a
// check fails.
// owned (when given) holds the bytes and is kept with the result.
std::shared_ptr<SSegmentKeyData> resolveSegmentKeyData(const unsigned char* bytes, std::uint32_t size,
                                                       std::unique_ptr<unsigned char[]> owned = nullptr);

class IAnimationStreamSource;

// The file opened again for reads of its streamed area; closed when destroyed.
class IStreamedReader {
public:
    virtual ~IStreamedReader() = default;
    // Reads size bytes at offset of the streamed area; false on a short read.
    virtual bool read(std::uint32_t offset, std::uint32_t size, void* out) = 0;
};

// The key data of one segment: read from the streamed area (its place checked before anything
// is allocated) or resolved in the image. Null when it cannot be used, with the reason in why.
// A streamed segment reads through reader when given (one open for many segments), else opens
// the file for this load only.
std::shared_ptr<SSegmentKeyData> loadSegmentKeyData(IAnimationStreamSource& source, const SAnimationSegmentInfo& info,
                                                    const char** why = nullptr, IStreamedReader* reader = nullptr);

// What the streaming needs of one loaded scene file; its segment states are the file's side
// table (users of each segment's data, the data itself).
class IAnimationStreamSource : public virtual IReferenceCounted {
public:
    virtual bool hasAnimations() const = 0;
    virtual int getSegmentCount() const = 0;
    virtual SAnimationSegmentInfo getSegment(int index) const = 0;
    virtual SAnimationClipView getClip(int index) const = 0;  // -1: the whole animation
    virtual std::uint32_t getStreamedSize() const = 0;        // bytes of the streamed area
    // Opens the file again for streamed reads; null without a path or on a failed open.
    virtual std::unique_ptr<IStreamedReader> openStreamed() = 0;
    virtual const char* getName() const = 0;

    // The segment holding frame: first <= frame < end, else the last; -1 without segments.
    int findSegment(int frame) const;

    struct SSegmentState {
        int users = 0;
        std::shared_ptr<SSegmentKeyData> data;
        std::shared_ptr<SSegmentKeyData> resident;  // resolved once, kept with the file
        int resolutions = 0;                        // how often the segment's data was resolved
    };
    SSegmentState& segmentState(int index);

private:
    std::vector<SSegmentState> m_segments;
};

struct SAnimationBlockSearchKey {
    boost::intrusive_ptr<IAnimationStreamSource> source;
    int clip = -1;  // index in the file's clips, -1 for the whole animation
    int frame = 0;  // clamped into the clip by the caller
};

class CAnimationStreamingManager;

class CAnimationBlock {
public:
    CAnimationBlock(CAnimationStreamingManager& manager, const SAnimationBlockSearchKey& key, int segment);
    ~CAnimationBlock();
    CAnimationBlock(const CAnimationBlock&) = delete;
    CAnimationBlock& operator=(const CAnimationBlock&) = delete;

    void grab();  // the first user prepares the next block
    void drop();  // the last user frees the block unless a block in use prepared it
    int getReferenceCount() const { return m_count; }

    CAnimationBlock* getBlock(const SAnimationBlockSearchKey& key);  // linked block covering the key, or null
    bool covers(int frame) const;
    const SAnimationData* getData() const { return m_data ? &m_data->data : nullptr; }
    int getSegment() const { return m_segment; }
    int getClip() const { return m_clip; }
    IAnimationStreamSource* getSource() const { return m_source.get(); }
    const SAnimationSegmentInfo& getSegmentInfo() const { return m_info; }
    CAnimationBlock* getNext() const { return m_next; }
    CAnimationBlock* getPrevious() const { return m_previous; }

private:
    friend class CAnimationStreamingManager;
    void prepareNextBlock();
    void free();

    CAnimationStreamingManager* m_manager;  // null once the manager is gone before the block
    int m_count = 0;
    boost::intrusive_ptr<IAnimationStreamSource> m_source;
    int m_clip;
    SAnimationClipView m_clipView;
    int m_segment;
    SAnimationSegmentInfo m_info;
    std::shared_ptr<SSegmentKeyData> m_data;  // null when the segment could not be loaded
    CAnimationBlock* m_next = nullptr;
    CAnimationBlock* m_previous = nullptr;
};

inline void intrusive_ptr_add_ref(CAnimationBlock* b) { b->grab(); }
inline void intrusive_ptr_release(CAnimationBlock* b) { b->drop(); }

class CAnimationStreamingManager {
public:
    CAnimationStreamingManager();   // becomes Instance
    ~CAnimationStreamingManager();  // frees unused blocks, lets blocks in use go alone; Instance cleared
    static CAnimationStreamingManager* Instance;

    // Points current at the key's block: through current's links first, else the registry.
    void getAnimationBlock(const SAnimationBlockSearchKey& key, boost::intrusive_ptr<CAnimationBlock>& current);
    // The registered block for the key, created when missing; null without animations.
    CAnimationBlock* getAnimationBlock(const SAnimationBlockSearchKey& key);
    void registerAnimationBlock(CAnimationBlock* block);
    void unregisterAnimationBlock(CAnimationBlock* block);
    // Segments are never cached (the limit stays 0): nothing to drop for a file going away.
    void release(IAnimationStreamSource*) {}

    const std::vector<CAnimationBlock*>& getRegistry() const { return m_registry; }

private:
    std::vector<CAnimationBlock*> m_registry;
    int m_cacheLimit = 0;
};

} // namespace pravik::collada
