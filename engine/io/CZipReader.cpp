#include "engine/io/CZipReader.h"
#include "engine/core/LittleEndian.h"

#include "engine/core/heapsort.h"
#include "engine/io/CLimitReadFile.h"
#include "engine/io/CMemoryReadFile.h"
#include "engine/io/CReadFile.h"
#include "engine/io/CZipPoolReadFile.h"
#include "engine/os/Printer.h"

#include <cstdlib>
#include <cstring>
#include <zlib.h>

namespace pravik::io {

namespace {

constexpr int32_t kLocalHeaderSize = 30;
// Deflate cannot expand beyond about 1032:1; a larger declared size is a lie, not a member.
constexpr uint64_t kMaxDeflateRatio = 1032;

using core::le16;
using core::le32;

void parseHeader(const unsigned char* b, SZIPFileHeader& h)
{
    h.Sig = le32(b);
    h.VersionToExtract = le16(b + 4);
    h.GeneralBitFlag = le16(b + 6);
    h.CompressionMethod = le16(b + 8);
    h.LastModFileTime = le16(b + 10);
    h.LastModFileDate = le16(b + 12);
    h.CRC32 = le32(b + 14);
    h.CompressedSize = le32(b + 18);
    h.UncompressedSize = le32(b + 22);
    h.FilenameLength = int16_t(le16(b + 26));
    h.ExtraFieldLength = int16_t(le16(b + 28));
}

void lowerAscii(core::stringc& s)
{
    for (char& c : s)
        if (c >= 'A' && c <= 'Z')
            c = char(c + 32);
}

}  // namespace

CZipReader::CZipReader(IReadFile* file, bool ignoreCase, bool ignorePaths, uint32_t poolValue)
    : m_file(file)
{
    if (m_file)
        m_file->grab();
    init(ignoreCase, ignorePaths, poolValue);
}

CZipReader::CZipReader(const char* fileName, bool ignoreCase, bool ignorePaths, uint32_t poolValue)
    : m_file(createReadFile(fileName))
{
    init(ignoreCase, ignorePaths, poolValue);
}

CZipReader::~CZipReader()
{
    // Pooled windows hold a reference to the reader, so none is open here.
    for (IReadFile* h : m_handles)
        h->drop();
    if (m_file)
        m_file->drop();
}

void CZipReader::init(bool ignoreCase, bool ignorePaths, uint32_t poolValue)
{
    if (ignoreCase)
        m_flags |= FLAG_IGNORE_CASE;
    if (ignorePaths)
        m_flags |= FLAG_IGNORE_PATHS;
    if (poolValue)
        m_flags |= FLAG_POOLED;
    if (!m_file)
        return;
    m_fileSize = m_file->getSize();
    m_file->seek(0, false);
    while (scanLocalHeader()) {
    }
    if (m_entries.size() > 1)
        core::heapsort(m_entries.data(), int32_t(m_entries.size()));
    m_file->grab();
    m_handles.push_back(m_file);
    m_handleInUse.push_back(false);
    if (poolValue > 1 && poolValue < 1024)
        m_handles.reserve(poolValue);
}

bool CZipReader::scanLocalHeader()
{
    const int32_t pos = m_file->getPos();
    if (pos < 0 || m_fileSize - pos < kLocalHeaderSize)
        return false;
    unsigned char raw[kLocalHeaderSize] = {};
    if (m_file->read(raw, kLocalHeaderSize) != kLocalHeaderSize)
        return false;
    SZipFileEntry entry;
    parseHeader(raw, entry.header);
    SZIPFileHeader& h = entry.header;
    if (h.Sig != SIGNATURE && h.Sig != SIGNATURE_GBMP)
        return false;

    const char* archive = m_file->getFileName();
    int64_t left = int64_t(m_fileSize) - (pos + kLocalHeaderSize);
    if (h.FilenameLength < 0 || h.ExtraFieldLength < 0 ||
        h.FilenameLength + int64_t(h.ExtraFieldLength) > left) {
        os::Printer::log("zip: local header with a bad name or extra length, scan stopped", archive,
                         ELL_ERROR);
        return false;
    }
    if (h.FilenameLength > 0) {
        char name[32768];
        if (m_file->read(name, uint32_t(h.FilenameLength)) != h.FilenameLength)
            return false;
        entry.zipFileName.assign(name, strnlen(name, size_t(h.FilenameLength)));
        extractFilename(&entry);
    }
    left -= h.FilenameLength + h.ExtraFieldLength;
    if (h.ExtraFieldLength > 0 && !m_file->seek(h.ExtraFieldLength, true))
        return false;

    // Bit 3: the sizes follow the name and extra field as CRC-32, compressed, uncompressed.
    if (h.GeneralBitFlag & 8) {
        unsigned char descriptor[12];
        if (left < 12 || m_file->read(descriptor, 12) != 12)
            return false;
        left -= 12;
        h.CRC32 = le32(descriptor);
        h.CompressedSize = le32(descriptor + 4);
        h.UncompressedSize = le32(descriptor + 8);
    }
    if (h.CompressedSize > left) {
        os::Printer::log("zip: member runs past the end of the archive, scan stopped",
                         entry.zipFileName.c_str(), ELL_ERROR);
        return false;
    }
    entry.fileDataPosition = m_file->getPos();
    if (!m_file->seek(int32_t(h.CompressedSize), true))
        return false;
    m_entries.push_back(std::move(entry));
    return true;
}

void CZipReader::extractFilename(SZipFileEntry* entry) const
{
    if (m_flags & FLAG_IGNORE_CASE)
        lowerAscii(entry->zipFileName);
    const core::stringc& stored = entry->zipFileName;
    const size_t slash = stored.rfind('/');
    entry->simpleFileName = slash == core::stringc::npos ? stored : stored.substr(slash + 1);
    entry->path.clear();
    if (slash != core::stringc::npos && slash > 0)
        entry->path = stored.substr(0, slash + 1);
    if (!(m_flags & FLAG_IGNORE_PATHS))
        entry->simpleFileName = stored;
}

int32_t CZipReader::findFile(const char* name) const
{
    if (!name)
        return -1;
    if (name[0] == '.' && name[1] == '/')
        name += 2;
    core::stringc key(name);
    if (m_flags & FLAG_IGNORE_CASE)
        lowerAscii(key);
    if (m_flags & FLAG_IGNORE_PATHS) {
        const size_t cut = key.find_last_of("/\\");
        if (cut != core::stringc::npos)
            key.erase(0, cut + 1);
    }
    size_t lo = 0, hi = m_entries.size();
    while (lo < hi) {
        const size_t mid = lo + (hi - lo) / 2;
        if (m_entries[mid].simpleFileName < key)
            lo = mid + 1;
        else
            hi = mid;
    }
    if (lo < m_entries.size() && !(key < m_entries[lo].simpleFileName))
        return int32_t(lo);
    return -1;
}

IReadFile* CZipReader::openFile(const char* name)
{
    const int32_t index = findFile(name);
    return index < 0 ? nullptr : openFile(index);
}

IReadFile* CZipReader::openFile(int32_t index)
{
    if (index < 0 || size_t(index) >= m_entries.size())
        return nullptr;
    const SZipFileEntry& entry = m_entries[size_t(index)];
    switch (entry.header.CompressionMethod) {
    case 8:
        return openDeflated(entry);
    case 0:
        return openStored(entry);
    default:
        os::Printer::log("file has unsupported compression method.", entry.simpleFileName.c_str(),
                         ELL_ERROR);
        return nullptr;
    }
}

IReadFile* CZipReader::openDeflated(const SZipFileEntry& entry)
{
    const uint32_t packed = entry.header.CompressedSize;
    const uint32_t size = entry.header.UncompressedSize;
    const char* hint = entry.simpleFileName.c_str();
    if (size > uint32_t(INT32_MAX) || size > uint64_t(packed) * kMaxDeflateRatio + 1024) {
        os::Printer::log("Error decompressing", hint, ELL_ERROR);
        return nullptr;
    }
    auto* out = static_cast<unsigned char*>(std::malloc(size ? size : 1));
    auto* in = static_cast<unsigned char*>(std::malloc(packed ? packed : 1));
    if (!out || !in) {
        std::free(out);
        std::free(in);
        os::Printer::log("Not enough memory for decompressing", hint, ELL_ERROR);
        return nullptr;
    }
    bool readAll;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        readAll = m_file->seek(entry.fileDataPosition, false) &&
                  m_file->read(in, packed) == int32_t(packed);
    }
    // A damaged member is an error, never data: the stream must end exactly at the declared size.
    z_stream stream{};
    stream.next_in = in;
    stream.avail_in = packed;
    stream.next_out = out;
    stream.avail_out = size;
    bool ok = false;
    if (readAll && inflateInit2(&stream, -MAX_WBITS) == Z_OK) {
        ok = inflate(&stream, Z_FINISH) == Z_STREAM_END && stream.total_out == size;
        inflateEnd(&stream);
    }
    std::free(in);
    if (!ok) {
        std::free(out);
        os::Printer::log("Error decompressing", hint, ELL_ERROR);
        return nullptr;
    }
    return createMemoryReadFile(out, int32_t(size), entry.zipFileName.c_str(), true);
}

IReadFile* CZipReader::openStored(const SZipFileEntry& entry)
{
    const uint32_t size = entry.header.UncompressedSize;
    if (size > uint32_t(m_fileSize - entry.fileDataPosition)) {
        os::Printer::log("zip: stored member runs past the end of the archive",
                         entry.simpleFileName.c_str(), ELL_ERROR);
        return nullptr;
    }
    const char* name = entry.simpleFileName.c_str();
    const char* fullPath = (m_flags & FLAG_MOUNTED) ? name : nullptr;
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!(m_flags & FLAG_POOLED)) {
        if (!m_file->seek(entry.fileDataPosition, false))
            return nullptr;
        return new CLimitReadFile(m_file, int32_t(size), name, fullPath, true);
    }
    // The first free handle, or a new clone of the archive file when every one is busy.
    size_t k = 0;
    while (k < m_handles.size() && m_handleInUse[k])
        ++k;
    if (k == m_handles.size()) {
        IReadFile* extra = m_file->clone(false);
        if (!extra)
            return nullptr;
        m_handles.push_back(extra);
        m_handleInUse.push_back(false);
    }
    IReadFile* handle = m_handles[k];
    if (!handle->seek(entry.fileDataPosition, false))
        return nullptr;
    m_handleInUse[k] = true;
    ++m_handlesInUse;
    return new CZipPoolReadFile(this, handle, int32_t(size), name, fullPath);
}

void CZipReader::releaseHandle(IReadFile* handle)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    for (size_t k = 0; k < m_handles.size(); ++k)
        if (m_handles[k] == handle && m_handleInUse[k]) {
            m_handleInUse[k] = false;
            --m_handlesInUse;
            return;
        }
}

int32_t CZipReader::releaseUnusedPoolHandles()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    // With at most one window open the spare handles are kept for the next burst.
    if (m_handlesInUse <= 1)
        return 0;
    int32_t dropped = 0;
    size_t keep = 1;  // handle 0, the archive file, always stays
    for (size_t k = 1; k < m_handles.size(); ++k) {
        if (m_handleInUse[k]) {
            m_handles[keep] = m_handles[k];
            m_handleInUse[keep] = true;
            ++keep;
        } else {
            m_handles[k]->drop();
            ++dropped;
        }
    }
    m_handles.resize(keep);
    m_handleInUse.resize(keep);
    return dropped;
}

bool CZipReader::isValid(IReadFile* file)
{
    if (!file)
        return false;
    const int32_t pos = file->getPos();
    unsigned char sig[4] = {};
    const bool read = file->seek(0, false) && file->read(sig, 4) == 4;
    file->seek(pos, false);
    return read && le32(sig) == SIGNATURE;
}

bool CZipReader::isValid(const char* fileName)
{
    IReadFile* file = createReadFile(fileName);
    if (!file)
        return false;
    const bool valid = isValid(file);
    file->drop();
    return valid;
}

}  // namespace pravik::io
