#include "engine/io/CZipLZMAReader.h"
#include "engine/core/LittleEndian.h"

#include "engine/io/CMemoryReadFile.h"
#include "engine/io/CReadFile.h"
#include "engine/os/Printer.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <bit>
#include <new>

namespace pravik::io {

namespace {

static_assert(std::endian::native == std::endian::little, "pack records are read in place");
static_assert(sizeof(CZipLZMAReader::PakEntry) == 12);

constexpr uint32_t kMemberHeaderSize = 13;
// LZMA cannot do much better than about 7000:1 (zeros); a larger declared size is a lie.
constexpr uint64_t kMaxLzmaRatio = 32768;

using core::le32;

}  // namespace

CZipLZMAReader::CZipLZMAReader(IReadFile* file, bool, bool, uint32_t)
    : m_file(file), m_state(new PackState)
{
    if (m_file)
        m_file->grab();
    Open(nullptr);
}

CZipLZMAReader::CZipLZMAReader(const char* fileName, bool, bool, uint32_t)
    : m_file(createReadFile(fileName)), m_state(new PackState)
{
    Open(nullptr);
}

CZipLZMAReader::~CZipLZMAReader()
{
    std::free(m_state->index);
    delete m_state;
    if (m_file)
        m_file->drop();
}

bool CZipLZMAReader::Open(const char*)
{
    if (!m_file)
        return false;
    m_state->open = 1;
    unsigned char word[4];
    if (!m_file->seek(0, false) || m_file->read(word, 4) != 4)
        return false;
    m_count = int32_t(le32(word));
    const int64_t size = m_file->getSize();
    // The records must lie inside the pack; the 12 trailing bytes may be missing.
    if (m_count < 0 || int64_t(m_count) > (size - 4) / 12) {
        os::Printer::log("lzma pack: record count larger than the pack", m_file->getFileName(),
                         ELL_ERROR);
        m_count = 0;
        return false;
    }
    const size_t want = size_t(m_count) * 12 + 16;
    m_state->index = static_cast<unsigned char*>(std::calloc(want, 1));
    if (!m_state->index)
        return false;
    const int32_t have = int32_t(want < size_t(size) ? want : size_t(size));
    if (!m_file->seek(0, false) || m_file->read(m_state->index, uint32_t(have)) != have) {
        std::free(m_state->index);
        m_state->index = nullptr;
        return false;
    }
    m_recordsLoaded = true;
    return true;
}

int32_t CZipLZMAReader::ComputeHash(const char* key)
{
    uint32_t hash = 0;
    for (const char* p = key; p && *p; ++p)
        hash = hash * 31u + uint32_t(int32_t(static_cast<signed char>(*p)));
    return int32_t(hash);
}

core::stringc CZipLZMAReader::makeKey(const char* name)
{
    core::stringc key("res\\");
    for (const char* p = name; p && *p; ++p) {
        char c = *p;
        if (c >= 'A' && c <= 'Z')
            c = char(c + 32);
        else if (c == '/')
            c = '\\';
        key += c;
    }
    return key;
}

const CZipLZMAReader::PakEntry* CZipLZMAReader::getRecord(int32_t index) const
{
    if (!m_recordsLoaded || index < 0 || index >= m_count)
        return nullptr;
    // The malloc'd index holds the records as stored (little-endian, 4-byte aligned).
    return reinterpret_cast<const PakEntry*>(m_state->index + 4) + index;
}

const CZipLZMAReader::PakEntry* CZipLZMAReader::FindRecord(const char* key) const
{
    if (!m_recordsLoaded || m_count <= 0 || !key)
        return nullptr;
    const int32_t hash = ComputeHash(key);
    for (int32_t i = 0; i < m_count; ++i)
        if (getRecord(i)->hash == hash)
            return getRecord(i);
    return nullptr;
}

int32_t CZipLZMAReader::GetRecordSize(const PakEntry* record) const
{
    return record ? int32_t(record->size) : -1;
}

int32_t CZipLZMAReader::GetDecompressedSize(const PakEntry* record) const
{
    if (!record || !m_file)
        return 0;
    const int64_t start = int64_t(record->position) * 4;
    unsigned char header[kMemberHeaderSize];
    if (start > m_file->getSize() - int64_t(kMemberHeaderSize) ||
        !m_file->seek(int32_t(start), false) ||
        m_file->read(header, kMemberHeaderSize) != int32_t(kMemberHeaderSize))
        return 0;
    const uint32_t size = le32(header + 5);
    if (size == 0xFFFFFFFFu || le32(header + 9) != 0 || size > uint32_t(INT32_MAX))
        return 0;
    return int32_t(size);
}

bool CZipLZMAReader::Read(const PakEntry* record, void* out, int32_t outSize, int32_t extraOffset)
{
    if (!record || !m_file || !out || outSize < 0)
        return false;
    const int32_t m = GetRecordSize(record);
    const int64_t start = int64_t(extraOffset) + int64_t(record->position) * 4;
    if (m < int32_t(kMemberHeaderSize) || start < 0 || start > m_file->getSize() - int64_t(m)) {
        os::Printer::log("lzma pack: member runs past the end of the pack", m_file->getFileName(),
                         ELL_ERROR);
        return false;
    }
    unsigned char header[kMemberHeaderSize];
    if (!m_file->seek(int32_t(start), false) ||
        m_file->read(header, kMemberHeaderSize) != int32_t(kMemberHeaderSize))
        return false;
    // A size no buffer can hold is refused here too: openFile would otherwise serve it empty.
    const uint32_t declared = le32(header + 5);
    if (declared == 0xFFFFFFFFu || declared > uint32_t(INT32_MAX) || le32(header + 9) != 0 ||
        header[0] > 224)
        return false;
    const uint32_t packed = uint32_t(m) - kMemberHeaderSize;
    if (uint64_t(outSize) > uint64_t(packed) * kMaxLzmaRatio + 65536) {
        os::Printer::log("lzma pack: declared size beyond what the stream can hold",
                         m_file->getFileName(), ELL_ERROR);
        return false;
    }
    auto* stream = static_cast<uint8_t*>(std::malloc(packed ? packed : 1));
    if (!stream)
        return false;
    if (m_file->read(stream, packed) != int32_t(packed)) {
        std::free(stream);
        return false;
    }
    const int props = header[0];
    const int pb = props / 45, lp = (props % 45) / 9, lc = props % 9;
    const uint32_t probsBytes = probabilityCount(lc, lp) * 2;
    auto* probs = static_cast<uint8_t*>(std::malloc(probsBytes));
    if (!probs) {
        std::free(stream);
        return false;
    }
    uint32_t produced = 0;
    const int result = LzmaDecode(probs, probsBytes, lc, lp, pb, stream, packed,
                                  static_cast<uint8_t*>(out), uint32_t(outSize), &produced);
    std::free(probs);
    std::free(stream);
    // An end marker before the declared size would leave the tail undefined: refused.
    return result == LZMA_RESULT_OK && produced == uint32_t(outSize);
}

IReadFile* CZipLZMAReader::openFile(const char* name)
{
    if (!name)
        return nullptr;
    const PakEntry* record = FindRecord(makeKey(name).c_str());
    if (!record)
        return nullptr;
    const int32_t size = GetDecompressedSize(record);
    // The declared size comes from the file: before it is allocated it must be one the member's
    // stored bytes (no more than the pack holds) could decode to.
    const int64_t stored = std::min<int64_t>(GetRecordSize(record), m_file ? m_file->getSize() : 0);
    const uint64_t packed = stored > int64_t(kMemberHeaderSize) ? uint64_t(stored) - kMemberHeaderSize : 0;
    if (uint64_t(size) > packed * kMaxLzmaRatio + 65536) {
        os::Printer::log("lzma pack: declared size beyond what the stream can hold", name, ELL_ERROR);
        return nullptr;
    }
    void* buffer = std::malloc(size ? size_t(size) : 1);
    if (!buffer)
        return nullptr;
    if (!Read(record, buffer, size, 0)) {
        std::free(buffer);
        os::Printer::log("lzma pack: member cannot be decoded", name, ELL_ERROR);
        return nullptr;
    }
    return createMemoryReadFile(buffer, size, name, true);
}

int32_t CZipLZMAReader::findFile(const char* name) const
{
    // A stored-form key is found as it is; a plain name through the same key openFile builds.
    if (FindRecord(name) || (name && FindRecord(makeKey(name).c_str())))
        return 1;
    return -1;
}

void CZipLZMAReader::SetAppDirectory(const char* dir)
{
    std::memset(m_appDirectory, 0, sizeof m_appDirectory);
    if (dir)
        std::strncpy(m_appDirectory, dir, sizeof m_appDirectory - 1);
}

}  // namespace pravik::io
