#pragma once
// Scene-file resource images ("BRES"). Layout: a 60-byte header, N relocation entries (u32
// file addresses of pointer slots), the string table, the records (the root record first, at
// the string-table end), then an optional streamed area (M segment records {u32 size, u32
// offset}, then the segment data, each segment starting with a u32 class mask) and optional
// trailing data left on disk. In memory the image is the header followed by everything from
// the end of the relocation table to the stream start; segments live in blocks of their own.
//
// Relocation rewrites every listed slot (but the first, the header's table field) from a file
// address into a 32-bit reference (ResTypes.h), in the same 4 bytes; a stored 0 stays null.
// Before anything is allocated or written the header is checked against the real file size,
// and every entry and every slot content against the regions; the first failed check refuses
// the file and is kept as its error.

#include "engine/res/ResTypes.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace pravik::res {

class FileReader {
public:
    virtual ~FileReader() = default;
    virtual long tell() = 0;
    virtual int read(void* buffer, unsigned int size) = 0;  // bytes read, fewer at the end
    virtual bool seek(long position, bool relative) = 0;
    virtual long getSize() = 0;
};

class File {
public:
    static constexpr uint32_t kHeaderSize = 60;
    static constexpr uint32_t kMaxDependencyName = 256;  // name with its padding
    static constexpr uint16_t kRelocatedFlag = 0x8000;
    static constexpr uint32_t kDependencyBit = 0x80000000u;

    // Loads the image a file depends on (by the name the file stores); null when it cannot.
    using DependencyLoader = std::function<const File*(const char* name)>;

    File() = default;
    ~File();
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    // Reads and relocates; true when the image is NOT valid (see error()).
    bool Init(FileReader* reader, const DependencyLoader& loadDependency = {});
    // Relocates a whole file already in memory, in place (the buffer stays the caller's and
    // must outlive this object); true when not valid.
    bool Init(void* buffer, uint32_t size);

    bool isValid() const { return m_valid; }
    const std::string& error() const { return m_error; }  // the failed check; empty when valid

    uint8_t* image() const { return m_image; }
    uint32_t imageSize() const { return m_imageSize; }
    uint32_t headerWord(uint32_t offset) const;  // a u32 of the header as read (0 past it)
    uint16_t flags() const;
    uint32_t fileSize() const { return m_fileSize; }
    uint32_t relocationCount() const { return m_relocationCount; }
    uint32_t base() const { return m_base; }
    uint32_t tableEnd() const { return kHeaderSize + 4 * m_relocationCount; }
    uint32_t streamedSize() const { return m_streamedSize; }
    uint32_t streamStart() const { return m_streamStart; }
    uint32_t trailingSize() const { return m_trailingSize; }
    uint32_t segmentCount() const { return uint32_t(m_segments.size()); }
    bool separateSegments() const { return m_separateSegments; }
    uint8_t* segmentData(uint32_t i) const;       // null once released or out of range
    uint32_t segmentSize(uint32_t i) const;
    uint32_t segmentFileOffset(uint32_t i) const;
    uint32_t segmentClassMask(uint32_t i) const;  // 0 once released
    bool hasSegmentData() const;
    const File* dependency() const { return m_dependency; }

    // Memory of a reference holding size bytes at the given alignment, or null.
    void* resolve(uint32_t ref, uint32_t size, uint32_t align = 1) const
    {
        // Most references land in the image itself: that region is tried here, inline.
        if (!m_regions.empty() && ref != 0 && !(ref & kDependencyBit)) {
            const Region& r = m_regions.front();
            if (ref >= r.base && ref - r.base < r.size) {
                const uint32_t off = ref - r.base;
                if (!r.data || size > r.size - off) return nullptr;
                uint8_t* p = r.data + off;
                return align > 1 && reinterpret_cast<uintptr_t>(p) % align != 0 ? nullptr : p;
            }
        }
        return resolveElsewhere(ref, size, align);
    }
    // Bytes from ref to the end of the region it points into; 0 when it resolves nothing.
    uint32_t bytesFrom(uint32_t ref) const;
    // The reference of memory inside this file's regions; 0 when outside.
    uint32_t refOf(const void* p) const;

    template <class T>
    T* get(Ptr<T> p) const { return static_cast<T*>(resolve(p.ref, sizeof(T), alignof(T))); }
    template <class T>
    Ptr<T> ptrTo(const T* p) const { return Ptr<T>{p ? refOf(p) : 0}; }
    // All records of a vector, or none when the vector does not fit its region.
    template <class T>
    std::span<T> get(const vector<T>& v) const
    {
        if (v.count <= 0) return {};
        if (uint64_t(uint32_t(v.count)) * sizeof(T) > 0xffffffffull) return {};
        T* p = static_cast<T*>(resolve(v.data.ref, uint32_t(v.count) * uint32_t(sizeof(T)), alignof(T)));
        return p ? std::span<T>(p, size_t(v.count)) : std::span<T>();
    }
    template <class T>
    T* at(const vector<T>& v, int32_t i) const
    {
        auto all = get(v);
        return (i >= 0 && size_t(i) < all.size()) ? &all[size_t(i)] : nullptr;
    }
    const char* str(String s) const;                  // null when null or not terminated in its region
    const char* cstr(String s) const { const char* p = str(s); return p ? p : ""; }

    // The root record's reference (header 0x20 after relocation).
    uint32_t rootRef() const { return headerWord(0x20); }

    // Frees the segments whose class mask shares a bit with mask (all with one-block storage).
    void releaseSegments(uint32_t mask);

    // Process-wide: header size of the last relocated or re-registered file, and the image of
    // each slot with its table end.
    static uint32_t SizeOfHeader;
    static const File* ExternalFilePtr[2];
    static uint32_t ExternalFileOffsetTableSize[2];
    static uint32_t ExternalFileStringTableSize[2];
    void registerSlot() const;

private:
    struct Region {
        uint32_t base = 0;   // first reference
        uint32_t size = 0;
        uint8_t* data = nullptr;
    };
    struct Segment {
        uint32_t size = 0;
        uint32_t offset = 0;  // in the file
        uint32_t region = 0;  // index into m_regions
    };

    bool fail(const char* check);
    bool failLoad(const char* check);  // fail and free what was allocated; true (not valid)
    bool readHeader(const uint8_t* header, uint32_t realSize);
    bool checkSegments();
    int findSegment(uint32_t fileOffset, uint32_t size) const;  // -1 when none holds it
    bool relocate(const uint32_t* table);
    bool translate(uint32_t content, bool slotInSegment, uint32_t& ref);
    void freeMemory();

    bool m_valid = false;
    std::string m_error;
    uint8_t m_header[kHeaderSize] = {};
    uint8_t* m_image = nullptr;
    bool m_ownsImage = false;
    uint32_t m_imageSize = 0;
    uint32_t m_fileSize = 0;
    uint32_t m_relocationCount = 0;
    uint32_t m_base = 0;
    uint32_t m_streamedSize = 0;
    uint32_t m_streamStart = 0;
    uint32_t m_trailingSize = 0;
    bool m_separateSegments = false;
    void* resolveElsewhere(uint32_t ref, uint32_t size, uint32_t align) const;  // any region, the dependency

    std::vector<Segment> m_segments;
    std::vector<Region> m_regions;     // 0: the image; then one per segment
    std::vector<uint8_t*> m_blocks;    // owned segment memory
    const File* m_dependency = nullptr;
};

}  // namespace pravik::res
