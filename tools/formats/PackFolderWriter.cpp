#include "tools/formats/PackFolderWriter.h"

#include "framework/PackTables.h"

#include <filesystem>
#include <fstream>

namespace formats::packs {

std::string ItemPath(const char* folder, int row)
{
    const SPackTable* t = FindPackTable(folder);
    if (!t || row < 0 || row >= t->count || !t->names[row][0])
        return {};
    return std::string(folder) + "/" + t->names[row];
}

bool WriteFile(const std::string& root, const std::string& relative, const std::vector<uint8_t>& bytes)
{
    namespace fs = std::filesystem;
    const fs::path path = fs::path(root) / relative;
    std::error_code ec;
    fs::create_directories(path.parent_path(), ec);
    if (ec)
        return false;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return bool(out);
}

bool WriteItem(const std::string& root, const char* folder, int row, const std::vector<uint8_t>& bytes)
{
    const std::string rel = ItemPath(folder, row);
    return !rel.empty() && WriteFile(root, rel, bytes);
}

}  // namespace formats::packs
