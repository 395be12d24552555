#include "tests/support/TempDir.h"

#include <cstdlib>
#include <fstream>
#include <iterator>

namespace test {

TempDir::TempDir()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "quendrax-test-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        std::abort();
    m_path = pattern;
}

TempDir::~TempDir()
{
    std::error_code ec;
    std::filesystem::remove_all(m_path, ec);
}

std::string TempDir::write(std::string_view name, std::string_view bytes) const
{
    const auto full = m_path / name;
    std::filesystem::create_directories(full.parent_path());
    std::ofstream out(full, std::ios::binary);
    out.write(bytes.data(), std::streamsize(bytes.size()));
    return full.string();
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return {};
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string sourceDir()
{
    const char* dir = std::getenv("QUENDRAX_SOURCE_DIR");
    return dir ? dir : QUENDRAX_SOURCE_DIR;
}

}  // namespace test
