#include "DataFolder.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace qdata {

const std::string* DataFolder::get(const std::string& path) const
{
    const auto it = m_files.find(path);
    return it == m_files.end() ? nullptr : &it->second;
}

bool DataFolder::write(const std::string& root) const
{
    namespace fs = std::filesystem;
    for (const auto& [path, bytes] : m_files) {
        const fs::path target = fs::path(root) / path;
        std::error_code ec;
        fs::create_directories(target.parent_path(), ec);
        std::ofstream out(target, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), std::streamsize(bytes.size()));
        if (!out) {
            std::fprintf(stderr, "quendrax-data: cannot write %s\n", target.c_str());
            return false;
        }
    }
    return true;
}

size_t DataFolder::bytes() const
{
    size_t total = 0;
    for (const auto& [path, bytes] : m_files)
        total += bytes.size();
    return total;
}

}  // namespace qdata
