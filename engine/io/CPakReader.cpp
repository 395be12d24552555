#include "engine/io/CPakReader.h"
#include "engine/core/LittleEndian.h"

#include "engine/core/heapsort.h"
#include "engine/io/CLimitReadFile.h"
#include "engine/os/Printer.h"

#include <cstring>

namespace pravik::io {

namespace {

using core::le32;

// Signed bytes, shorter first on a common prefix.
bool lessSigned(const core::stringc& a, const core::stringc& b)
{
    const size_t n = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < n; ++i)
        if (a[i] != b[i])
            return (signed char)a[i] < (signed char)b[i];
    return a.size() < b.size();
}

void lowerAscii(core::stringc& s)
{
    for (char& c : s)
        if (c >= 'A' && c <= 'Z')
            c = char(c + 32);
}

}  // namespace

bool SPakFileEntry::operator<(const SPakFileEntry& other) const
{
    return lessSigned(simpleFileName, other.simpleFileName);
}

CPakReader::CPakReader(IReadFile* file, bool ignoreCase, bool ignorePaths)
    : m_file(file), m_ignoreCase(ignoreCase), m_ignorePaths(ignorePaths)
{
    if (!m_file)
        return;
    m_file->grab();
    scanLocalHeader();
    if (m_entries.size() > 1)
        core::heapsort(m_entries.data(), int32_t(m_entries.size()));
}

CPakReader::~CPakReader()
{
    if (m_file)
        m_file->drop();
}

bool CPakReader::scanLocalHeader()
{
    std::memset(m_header, 0, sizeof m_header);
    if (!m_file->seek(0, false) || m_file->read(m_header, 12) != 12)
        return false;
    if (m_header[0] != 'P' && m_header[1] != 'A')
        return false;
    const uint32_t dirOffset = le32(m_header + 4);
    const uint32_t dirLength = le32(m_header + 8);
    const int64_t size = m_file->getSize();
    // A directory that runs past the end yields the records the file holds, no more.
    uint64_t count = dirLength / 64;
    if (dirOffset > size) {
        count = 0;
    } else if (count > uint64_t(size - dirOffset) / 64) {
        count = uint64_t(size - dirOffset) / 64;
        os::Printer::log("pak: directory runs past the end of the archive", m_file->getFileName(),
                         ELL_ERROR);
    }
    if (count == 0 || !m_file->seek(int32_t(dirOffset), false))
        return true;
    m_entries.reserve(size_t(count));
    for (uint64_t i = 0; i < count; ++i) {
        unsigned char record[64];
        if (m_file->read(record, 64) != 64)
            break;
        SPakFileEntry entry;
        entry.pakFileName.assign(reinterpret_cast<const char*>(record),
                                 strnlen(reinterpret_cast<const char*>(record), 56));
        extractFilename(&entry);
        entry.pos = le32(record + 56);
        entry.length = le32(record + 60);
        m_entries.push_back(std::move(entry));
    }
    return true;
}

void CPakReader::extractFilename(SPakFileEntry* entry) const
{
    if (m_ignoreCase)
        lowerAscii(entry->pakFileName);
    const core::stringc& stored = entry->pakFileName;
    const size_t slash = stored.rfind('/');
    entry->simpleFileName = slash == core::stringc::npos ? stored : stored.substr(slash + 1);
    entry->path.clear();
    if (slash != core::stringc::npos && slash > 0)
        entry->path = stored.substr(0, slash + 1);
    if (!m_ignorePaths)
        entry->simpleFileName = stored;
}

void CPakReader::deletePathFromFilename(core::stringc& name)
{
    const size_t cut = name.find_last_of("/\\");
    if (cut != core::stringc::npos && cut > 0)
        name.erase(0, cut + 1);
}

int32_t CPakReader::findFile(const char* name) const
{
    if (!name)
        return -1;
    core::stringc key(name);
    if (m_ignoreCase)
        lowerAscii(key);
    if (m_ignorePaths)
        deletePathFromFilename(key);
    size_t lo = 0, hi = m_entries.size();
    while (lo < hi) {
        const size_t mid = lo + (hi - lo) / 2;
        if (lessSigned(m_entries[mid].simpleFileName, key))
            lo = mid + 1;
        else
            hi = mid;
    }
    if (lo < m_entries.size() && !lessSigned(key, m_entries[lo].simpleFileName))
        return int32_t(lo);
    return -1;
}

IReadFile* CPakReader::openFile(const char* name)
{
    const int32_t index = findFile(name);
    return index < 0 ? nullptr : openFile(index);
}

IReadFile* CPakReader::openFile(int32_t index)
{
    if (!m_file || index < 0 || size_t(index) >= m_entries.size())
        return nullptr;
    const SPakFileEntry& entry = m_entries[size_t(index)];
    const uint32_t size = uint32_t(m_file->getSize());
    if (entry.pos > size || entry.length > size - entry.pos) {
        os::Printer::log("pak: member runs past the end of the archive",
                         entry.simpleFileName.c_str(), ELL_ERROR);
        return nullptr;
    }
    if (!m_file->seek(int32_t(entry.pos), false))
        return nullptr;
    return createLimitReadFile(entry.simpleFileName.c_str(), m_file, int32_t(entry.length));
}

}  // namespace pravik::io
