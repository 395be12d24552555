#pragma once
// The files of one data folder, gathered in memory by path and written out in one go, sorted,
// so that a run gives the same bytes whatever order the parts were made in.

#include <map>
#include <string>

namespace qdata {

class DataFolder {
public:
    // Path relative to the data folder, '/'-separated. A second put of the same path replaces it.
    void put(const std::string& path, std::string bytes) { m_files[path] = std::move(bytes); }
    bool has(const std::string& path) const { return m_files.count(path) != 0; }
    const std::string* get(const std::string& path) const;
    const std::map<std::string, std::string>& files() const { return m_files; }

    // Writes every file below `root`, creating folders; false with a message on the first failure.
    bool write(const std::string& root) const;
    size_t bytes() const;

private:
    std::map<std::string, std::string> m_files;
};

}  // namespace qdata
