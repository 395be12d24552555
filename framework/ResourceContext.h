// The engine services the framework's readers use: the file system the pack items, sprites and
// string tables are opened through, and the video driver whose texture manager loads images.
// Set once by the owner of the engine device; tests install their own with the scoped guard.
#pragma once

namespace pravik::io {
class IFileSystem;
}
namespace pravik::video {
class IVideoDriver;
}

struct SResourceContext {
    pravik::io::IFileSystem* fileSystem = nullptr;  // not counted
    pravik::video::IVideoDriver* driver = nullptr;  // not counted
};

SResourceContext& GetResourceContext();

class CScopedResourceContext {
public:
    explicit CScopedResourceContext(const SResourceContext& context) : m_saved(GetResourceContext())
    {
        GetResourceContext() = context;
    }
    ~CScopedResourceContext() { GetResourceContext() = m_saved; }
    CScopedResourceContext(const CScopedResourceContext&) = delete;
    CScopedResourceContext& operator=(const CScopedResourceContext&) = delete;

private:
    SResourceContext m_saved;
};
