#include "engine/io/CFileList.h"

#include "engine/core/heapsort.h"

#include <strings.h>

namespace pravik::io {

bool CFileList::FileEntry::operator<(const FileEntry& other) const
{
    if (isDirectory != other.isDirectory)
        return isDirectory;
    return strcasecmp(name.c_str(), other.name.c_str()) < 0;
}

const char* CFileList::getFileName(uint32_t index) const
{
    return index < m_entries.size() ? m_entries[index].name.c_str() : nullptr;
}

const char* CFileList::getFullFileName(uint32_t index)
{
    if (index >= m_entries.size())
        return nullptr;
    FileEntry& e = m_entries[index];
    if (e.fullName.size() < e.name.size()) {
        // A path of three characters or fewer ("C:/", "/") is joined without a separator.
        e.fullName = m_path;
        if (m_path.size() > 3)
            e.fullName += '/';
        e.fullName += e.name;
    }
    return e.fullName.c_str();
}

bool CFileList::isDirectory(uint32_t index) const
{
    return index < m_entries.size() && m_entries[index].isDirectory;
}

void CFileList::addEntry(const char* name, bool isDirectory)
{
    FileEntry e;
    e.name = name ? name : "";
    e.isDirectory = isDirectory;
    m_entries.push_back(std::move(e));
}

void CFileList::sort()
{
    if (m_entries.size() > 1)
        core::heapsort(m_entries.data(), int32_t(m_entries.size()));
}

}  // namespace pravik::io
