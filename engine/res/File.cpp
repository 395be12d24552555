#include "engine/res/File.h"

#include "engine/memory/AllocationHooks.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <memory>

// Records are read in place: the image's byte order must be the machine's.
static_assert(std::endian::native == std::endian::little);

namespace pravik::res {

uint32_t File::SizeOfHeader = File::kHeaderSize;
const File* File::ExternalFilePtr[2] = {nullptr, nullptr};
uint32_t File::ExternalFileOffsetTableSize[2] = {0, 0};
uint32_t File::ExternalFileStringTableSize[2] = {0, 0};

namespace {

uint32_t load32(const uint8_t* p)
{
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

void store32(uint8_t* p, uint32_t v) { std::memcpy(p, &v, 4); }

uint8_t* allocate(size_t size)
{
    return static_cast<uint8_t*>(PravikAlloc(size ? size : 1, memory::EMH_SCENE_FILE_DATA));
}

bool readAll(FileReader* reader, void* buffer, uint32_t size)
{
    auto* out = static_cast<uint8_t*>(buffer);
    while (size > 0) {
        const unsigned chunk = std::min<uint32_t>(size, 1u << 30);
        const int got = reader->read(out, chunk);
        if (got <= 0) return false;
        out += got;
        size -= uint32_t(got);
    }
    return true;
}

}  // namespace

File::~File() { freeMemory(); }

void File::freeMemory()
{
    for (int slot = 0; slot < 2; ++slot)
        if (ExternalFilePtr[slot] == this) ExternalFilePtr[slot] = nullptr;
    if (m_ownsImage) PravikFree(m_image);
    m_image = nullptr;
    m_ownsImage = false;
    for (uint8_t* block : m_blocks) PravikFree(block);
    m_blocks.clear();
    m_regions.clear();
    m_segments.clear();
}

bool File::failLoad(const char* check)
{
    fail(check);
    freeMemory();
    return true;
}

bool File::fail(const char* check)
{
    if (m_error.empty()) m_error = check;
    m_valid = false;
    return false;
}

uint32_t File::headerWord(uint32_t offset) const
{
    if (offset > kHeaderSize - 4) return 0;
    return load32((m_image ? m_image : m_header) + offset);
}

uint16_t File::flags() const
{
    const uint8_t* h = m_image ? m_image : m_header;
    return uint16_t(h[6] | (h[7] << 8));
}

void File::registerSlot() const
{
    const int slot = int(m_base >> 31);
    ExternalFilePtr[slot] = this;
    ExternalFileOffsetTableSize[slot] = tableEnd();
    ExternalFileStringTableSize[slot] = tableEnd();
}

// The header against the real size: every later offset then stays inside the file.
bool File::readHeader(const uint8_t* h, uint32_t realSize)
{
    std::memcpy(m_header, h, kHeaderSize);
    if (std::memcmp(h, "BRES", 4) != 0) return fail("magic is not BRES");
    if (load32(h + 0x08) != kHeaderSize) return fail("header size is not 60");
    m_fileSize = load32(h + 0x0C);
    if (m_fileSize != realSize) return fail("file size in the header differs from the real size");
    m_relocationCount = load32(h + 0x10);
    if (m_relocationCount > (m_fileSize - kHeaderSize) / 4) return fail("relocation table runs past the end");
    m_base = load32(h + 0x14);
    if (m_base != 0 && m_base != kDependencyBit) return fail("base is neither 0 nor 0x80000000");
    m_streamedSize = load32(h + 0x2C);
    m_trailingSize = load32(h + 0x38);
    const uint32_t rest = m_fileSize - tableEnd();
    if (m_streamedSize > rest || m_trailingSize > rest - m_streamedSize)
        return fail("streamed and trailing sizes run past the end");
    m_streamStart = m_fileSize - m_streamedSize - m_trailingSize;
    const uint32_t segments = load32(h + 0x30);
    if (m_streamedSize == 0 && segments != 0) return fail("segments without a streamed area");
    if (m_streamedSize > 0 && segments > m_streamedSize / 8) return fail("segment records run past the streamed area");
    if (m_streamedSize > 0 && segments == 0) return fail("streamed area without segments");
    m_segments.resize(m_streamedSize > 0 ? segments : 0);
    m_separateSegments = load32(h + 0x34) != 0;
    m_imageSize = kHeaderSize + (m_streamStart - tableEnd());
    return true;
}

// Segment records sorted, inside the streamed area after the records, and, with one block,
// inside the block; each is given a region after the image.
bool File::checkSegments()
{
    const uint32_t records = 8 * uint32_t(m_segments.size());
    const uint32_t dataStart = m_streamStart + records;
    const uint32_t dataEnd = m_streamStart + m_streamedSize;
    uint64_t nextBase = (uint64_t(m_imageSize) + 3) & ~3ull;
    for (size_t i = 0; i < m_segments.size(); ++i) {
        const Segment& s = m_segments[i];
        if (s.size < 4) return fail("segment smaller than its class mask");
        if (s.offset < dataStart || s.offset > dataEnd || s.size > dataEnd - s.offset)
            return fail("segment outside the streamed area");
        if (i > 0 && s.offset < uint64_t(m_segments[i - 1].offset) + m_segments[i - 1].size)
            return fail("segment records not sorted");

        if (nextBase + s.size >= kDependencyBit) return fail("segments too large");
        m_segments[i].region = uint32_t(m_regions.size());
        m_regions.push_back({uint32_t(nextBase), s.size, nullptr});
        nextBase = (nextBase + s.size + 3) & ~3ull;
    }
    return true;
}

int File::findSegment(uint32_t fileOffset, uint32_t size) const
{
    auto it = std::upper_bound(m_segments.begin(), m_segments.end(), fileOffset,
                               [](uint32_t o, const Segment& s) { return o < s.offset; });
    if (it == m_segments.begin()) return -1;
    --it;
    if (fileOffset - it->offset > it->size || size > it->size - (fileOffset - it->offset)) return -1;
    return int(it - m_segments.begin());
}

bool File::Init(FileReader* reader, const DependencyLoader& loadDependency)
{
    freeMemory();
    m_valid = false;
    m_error.clear();
    m_dependency = nullptr;
    if (!reader) return !fail("no scene stream (a ZIP holding neither member)");
    const long realSize = reader->getSize();
    if (realSize < long(kHeaderSize)) return !fail("shorter than the header");
    if (realSize > 0x7fffffffL) return !fail("larger than 2 GB");
    uint8_t header[kHeaderSize];
    reader->seek(0, false);
    if (!readAll(reader, header, kHeaderSize)) return !fail("header cannot be read");
    if (!readHeader(header, uint32_t(realSize))) return true;

    if (m_base == 0) {
        const uint32_t at = load32(header + 0x24);
        if (at > m_fileSize - 4) return !fail("dependency name outside the file");
        uint8_t word[4];
        if (!reader->seek(long(at), false) || !readAll(reader, word, 4)) return !fail("dependency name cannot be read");
        const uint32_t length = load32(word);
        if (length > 1) {
            if (length > kMaxDependencyName) return !fail("dependency name longer than 256 bytes");
            const uint32_t padded = (length + 3) & ~3u;
            if (padded > m_fileSize - at - 4) return !fail("dependency name runs past the end");
            char name[kMaxDependencyName + 1] = {};
            if (!readAll(reader, name, padded)) return !fail("dependency name cannot be read");
            name[length - 1] = '\0';
            if (loadDependency) m_dependency = loadDependency(name);
        }
    }

    std::unique_ptr<uint32_t[]> table(new uint32_t[m_relocationCount ? m_relocationCount : 1]);
    m_image = allocate(m_imageSize);
    m_ownsImage = true;
    if (!m_image) return failLoad("out of memory for the image");
    std::memcpy(m_image, header, kHeaderSize);
    m_regions.push_back({0, m_imageSize, m_image});
    if (!reader->seek(long(kHeaderSize), false) || !readAll(reader, table.get(), 4 * m_relocationCount) ||
        !readAll(reader, m_image + kHeaderSize, m_imageSize - kHeaderSize))
        return failLoad("image cannot be read");

    if (!m_segments.empty()) {
        std::vector<uint32_t> records(2 * m_segments.size());
        if (!reader->seek(long(m_streamStart), false) || !readAll(reader, records.data(), 4 * uint32_t(records.size())))
            return failLoad("segment records cannot be read");
        for (size_t i = 0; i < m_segments.size(); ++i) m_segments[i] = {records[2 * i], records[2 * i + 1], 0};
        if (!checkSegments()) return failLoad("");
        if (m_separateSegments) {
            // Each segment is read from its own offset, so gaps between them are skipped.
            for (Segment& s : m_segments) {
                uint8_t* block = allocate(s.size);
                if (!block) return failLoad("out of memory for a segment");
                m_blocks.push_back(block);
                m_regions[s.region].data = block;
                if (!reader->seek(long(s.offset), false) || !readAll(reader, block, s.size))
                    return failLoad("segment cannot be read");
            }
        } else {
            const uint32_t size = m_streamedSize - 8 * uint32_t(m_segments.size());
            uint8_t* block = allocate(size);
            if (!block) return failLoad("out of memory for the segments");
            m_blocks.push_back(block);
            if (!readAll(reader, block, size)) return failLoad("segments cannot be read");
            // The block holds the file from the end of the segment records on.
            const uint32_t blockStart = m_streamStart + 8 * uint32_t(m_segments.size());
            for (Segment& s : m_segments) m_regions[s.region].data = block + (s.offset - blockStart);
        }
    }

    registerSlot();
    SizeOfHeader = kHeaderSize;
    if (flags() & kRelocatedFlag) {  // relocated before: taken as it is
        m_valid = true;
        return false;
    }
    if (!relocate(table.get())) {
        freeMemory();
        return true;
    }
    m_image[7] |= uint8_t(kRelocatedFlag >> 8);
    m_valid = true;
    return false;
}

bool File::translate(uint32_t c, bool slotInSegment, uint32_t& ref)
{
    const uint32_t o = c - m_base;
    const uint32_t end = tableEnd();
    if (o > m_fileSize) {
        if (!(c & kDependencyBit) || !m_dependency || m_dependency->m_base != kDependencyBit)
            return fail("address into a dependency that is not loaded");
        const File& d = *m_dependency;
        const uint32_t off = c & ~kDependencyBit;
        uint32_t inner;
        if (off < d.tableEnd()) {
            if (off >= kHeaderSize) return fail("address into the dependency's relocation table");
            inner = off;
        } else {
            inner = off - 4 * d.m_relocationCount;
        }
        if (inner >= d.m_imageSize) return fail("address outside the dependency's image");
        ref = kDependencyBit | inner;
        return true;
    }
    if (o < end) {
        if (o >= kHeaderSize) return fail("address inside the relocation table");
        ref = o;
        return true;
    }
    if (o >= m_streamStart) {
        if (m_base != 0) return fail("streamed address in a dependency image");
        if (slotInSegment) {
            const int k = findSegment(o, 1);
            if (k < 0) return fail("address in the streamed area outside every segment");
            ref = m_regions[m_segments[size_t(k)].region].base + (o - m_segments[size_t(k)].offset);
            return true;
        }
        for (const Segment& s : m_segments)
            if (s.offset == o) {
                ref = m_regions[s.region].base + 4;
                return true;
            }
        return fail("address in the streamed area matches no segment");
    }
    ref = o - 4 * m_relocationCount;
    return true;
}

bool File::relocate(const uint32_t* table)
{
    const uint32_t end = tableEnd();
    // One bit per 4-byte slot of every region: a slot listed twice would be translated twice.
    const uint64_t span = m_regions.back().base + uint64_t(m_regions.back().size);
    std::vector<uint64_t> seen(size_t(span / 4 / 64 + 1), 0);
    for (uint32_t i = 0; i < m_relocationCount; ++i) {
        const uint32_t o = table[i] - m_base;
        if (o & 3) return fail("relocation entry not 4-aligned");
        if (o > m_fileSize - 4) return fail("relocation entry outside the file");
        uint8_t* slot;
        uint32_t slotRef;
        bool inSegment = false;
        if (o < end) {
            if (o >= kHeaderSize) return fail("relocation entry inside the relocation table");
            slot = m_image + o;
            slotRef = o;
        } else if (o >= m_streamStart) {
            if (o < m_streamStart + 8 * uint32_t(m_segments.size()) || m_segments.empty())
                return fail("relocation entry inside the segment records");
            const int j = findSegment(o, 4);
            if (j < 0) return fail("relocation entry outside every segment");
            const Region& r = m_regions[m_segments[size_t(j)].region];
            slotRef = r.base + (o - m_segments[size_t(j)].offset);
            slot = r.data + (o - m_segments[size_t(j)].offset);
            inSegment = true;
        } else {
            if (o > m_streamStart - 4) return fail("relocation entry straddles the stream start");
            slotRef = o - 4 * m_relocationCount;
            slot = m_image + slotRef;
        }
        uint64_t& word = seen[slotRef / 4 / 64];
        const uint64_t bit = 1ull << ((slotRef / 4) % 64);
        if (word & bit) return fail("relocation entry listed twice");
        word |= bit;
        if (i == 0) continue;  // the header's table field: the reader's own
        const uint32_t content = load32(slot);
        if (content == 0) continue;
        uint32_t ref;
        if (!translate(content, inSegment, ref)) return false;
        store32(slot, ref);
    }
    return true;
}

bool File::Init(void* buffer, uint32_t size)
{
    freeMemory();
    m_valid = false;
    m_error.clear();
    m_dependency = nullptr;
    if (!buffer || size < kHeaderSize) return !fail("shorter than the header");
    auto* bytes = static_cast<uint8_t*>(buffer);
    std::memcpy(m_header, bytes, kHeaderSize);
    if (std::memcmp(bytes, "BRES", 4) != 0) return !fail("magic is not BRES");
    if (load32(bytes + 0x08) != kHeaderSize) return !fail("header size is not 60");
    m_fileSize = load32(bytes + 0x0C);
    if (m_fileSize != size) return !fail("file size in the header differs from the real size");
    m_relocationCount = load32(bytes + 0x10);
    if (m_relocationCount > (m_fileSize - kHeaderSize) / 4) return !fail("relocation table runs past the end");
    m_base = load32(bytes + 0x14);
    // In place the whole file is the one region, and every reference is its file offset.
    m_image = bytes;
    m_imageSize = size;
    m_streamStart = size;
    m_regions.push_back({0, size, bytes});
    registerSlot();
    SizeOfHeader = kHeaderSize;
    if (flags() & kRelocatedFlag) {
        m_valid = true;
        return false;
    }
    const uint32_t end = tableEnd();
    for (uint32_t i = 0; i < m_relocationCount; ++i) {
        const uint32_t e = load32(bytes + kHeaderSize + 4 * i);
        bool ok = (e & 3) == 0 && e <= size - 4 && (e < kHeaderSize || e >= end);
        if (ok && i > 0) {
            const uint32_t c = load32(bytes + e);
            ok = c < size && (c < kHeaderSize || c >= end);
        }
        if (!ok) {
            fail("relocation entry or address outside the file");
            m_image = nullptr;
            m_regions.clear();
            return true;
        }
    }
    bytes[7] |= uint8_t(kRelocatedFlag >> 8);
    m_valid = true;
    return false;
}

void* File::resolveElsewhere(uint32_t ref, uint32_t size, uint32_t align) const
{
    if (ref == 0) return nullptr;
    if (ref & kDependencyBit) return m_dependency ? m_dependency->resolve(ref & ~kDependencyBit, size, align) : nullptr;
    for (const Region& r : m_regions) {
        if (ref < r.base || ref - r.base >= r.size) continue;
        const uint32_t off = ref - r.base;
        if (!r.data || size > r.size - off) return nullptr;
        uint8_t* p = r.data + off;
        if (align > 1 && reinterpret_cast<uintptr_t>(p) % align != 0) return nullptr;
        return p;
    }
    return nullptr;
}

uint32_t File::bytesFrom(uint32_t ref) const
{
    if (ref == 0) return 0;
    if (ref & kDependencyBit) return m_dependency ? m_dependency->bytesFrom(ref & ~kDependencyBit) : 0;
    for (const Region& r : m_regions)
        if (ref >= r.base && ref - r.base < r.size) return r.data ? r.size - (ref - r.base) : 0;
    return 0;
}

uint32_t File::refOf(const void* p) const
{
    const auto* b = static_cast<const uint8_t*>(p);
    for (const Region& r : m_regions)
        if (r.data && b >= r.data && b < r.data + r.size) return r.base + uint32_t(b - r.data);
    if (m_dependency) {
        const uint32_t inner = m_dependency->refOf(p);
        if (inner) return kDependencyBit | inner;
    }
    return 0;
}

const char* File::str(String s) const
{
    if (s.ref == 0) return nullptr;
    if (s.ref & kDependencyBit) return m_dependency ? m_dependency->str(String{s.ref & ~kDependencyBit}) : nullptr;
    for (const Region& r : m_regions) {
        if (s.ref < r.base || s.ref - r.base >= r.size) continue;
        if (!r.data) return nullptr;
        const uint32_t off = s.ref - r.base;
        const char* p = reinterpret_cast<const char*>(r.data + off);
        return std::memchr(p, 0, r.size - off) ? p : nullptr;
    }
    return nullptr;
}

uint8_t* File::segmentData(uint32_t i) const
{
    return i < m_segments.size() ? m_regions[m_segments[i].region].data : nullptr;
}

uint32_t File::segmentSize(uint32_t i) const { return i < m_segments.size() ? m_segments[i].size : 0; }
uint32_t File::segmentFileOffset(uint32_t i) const { return i < m_segments.size() ? m_segments[i].offset : 0; }

uint32_t File::segmentClassMask(uint32_t i) const
{
    const uint8_t* p = segmentData(i);
    return p ? load32(p) : 0;
}

bool File::hasSegmentData() const { return !m_blocks.empty(); }

void File::releaseSegments(uint32_t mask)
{
    if (m_blocks.empty()) return;
    if (!m_separateSegments) {
        for (uint8_t* block : m_blocks) PravikFree(block);
        m_blocks.clear();
        for (const Segment& s : m_segments) m_regions[s.region].data = nullptr;
        return;
    }
    for (const Segment& s : m_segments) {
        Region& r = m_regions[s.region];
        if (!r.data || !(load32(r.data) & mask)) continue;
        auto it = std::find(m_blocks.begin(), m_blocks.end(), r.data);
        if (it != m_blocks.end()) {
            PravikFree(*it);
            m_blocks.erase(it);
        }
        r.data = nullptr;
    }
}

}  // namespace pravik::res
