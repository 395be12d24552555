#pragma once
// A fresh directory under the system temp folder, removed with everything in it at scope end.

#include <filesystem>
#include <string>
#include <string_view>

namespace test {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    std::string file(std::string_view name) const { return (m_path / name).string(); }
    // Writes bytes to a file below the directory, creating folders; returns its full path.
    std::string write(std::string_view name, std::string_view bytes) const;

private:
    std::filesystem::path m_path;
};

std::string readFile(const std::string& path);  // whole file, or "" when it cannot be read
std::string sourceDir();                         // the repository root

}  // namespace test
