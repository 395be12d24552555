#pragma once
// A temporary data folder mounted in a fresh engine file system, installed as the framework's
// resource context for the life of the object.

#include "engine/io/CFileSystem.h"
#include "framework/ResourceContext.h"
#include "tests/support/TempDir.h"

#include <boost/intrusive_ptr.hpp>

#include <cstdint>
#include <string>
#include <vector>

namespace test {

class DataDir {
public:
    DataDir() : fs(new pravik::io::CFileSystem())
    {
        fs->addFolderFileArchive(dir.path().string().c_str(), false, false);
        m_scope = new CScopedResourceContext(SResourceContext{fs.get(), nullptr});
    }
    ~DataDir() { delete m_scope; }
    DataDir(const DataDir&) = delete;
    DataDir& operator=(const DataDir&) = delete;

    std::string root() const { return dir.path().string(); }
    void put(const std::string& rel, const std::vector<uint8_t>& bytes) const
    {
        dir.write(rel, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    }

    TempDir dir;
    boost::intrusive_ptr<pravik::io::CFileSystem> fs;

private:
    CScopedResourceContext* m_scope = nullptr;
};

}  // namespace test
