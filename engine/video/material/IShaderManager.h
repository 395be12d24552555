#pragma once
// Registers every shader of a driver under its name in an id'ed registry, keeps the folders
// from which ".shd" files are loaded, writes shaders back into such files and makes, on
// demand, the batch baker of each shader. Main thread only.

#include <boost/intrusive_ptr.hpp>
#include <vector>

#include "engine/core/detail/SIDedCollection.h"
#include "engine/core/pravikString.h"
#include "engine/video/material/IBatchBaker.h"
#include "engine/video/material/IShader.h"

namespace pravik::io {
class IFileSystem;
}

namespace pravik::video {

class IShaderManager;

namespace detail::shadermanager {

struct SShaderProperties {
    boost::intrusive_ptr<IBatchBaker> baker;  // null until first asked for
    void onRemove(void*, unsigned short) {}
};

// What shaders and their manager need of the driver, installed by the driver layer.
struct SDriverServices {
    io::IFileSystem* (*getFileSystem)(IVideoDriver*) = nullptr;
    IShaderManager* (*getShaderManager)(IVideoDriver*) = nullptr;
    void (*onShaderDestroyed)(IVideoDriver*, IShader*) = nullptr;
    // Limits of the fixed-function pipeline; without them the pipeline's own maxima (4, 8, 6).
    unsigned (*getTextureUnitCount)(IVideoDriver*) = nullptr;
    unsigned (*getMaxDynamicLightCount)(IVideoDriver*) = nullptr;
    unsigned (*getMaxUserClipPlanes)(IVideoDriver*) = nullptr;
};
void setDriverServices(const SDriverServices& services);
const SDriverServices& getDriverServices();

using Registry =
    core::detail::SIDedCollection<boost::intrusive_ptr<IShader>, unsigned short, false, SShaderProperties>;

}  // namespace detail::shadermanager

class IShaderManager : public detail::shadermanager::Registry {
public:
    IShaderManager() = default;
    virtual ~IShaderManager();

    // Remembers the driver; the base folder becomes the file system's working directory,
    // which is also searched (last) when the flag is set.
    virtual void init(IVideoDriver* driver, bool addBaseFolderAsSearchPath);
    virtual unsigned short removeUnusedShaders();  // shaders only the registry holds
    virtual void clearDriverSpecificResources();   // every shader, in name order
    virtual boost::intrusive_ptr<IShader> createEmptyShader(const char* name) = 0;  // not registered
    // The baker of a shader; the generic baker belongs to the batching code, so the base has none.
    virtual boost::intrusive_ptr<IBatchBaker> createBatchBaker(const IShader* shader);

    void addShaderSearchPath(const char* path, bool front);  // no duplicates, existing ones stay put
    // Reads a ".shd" file found through the search paths (the last path holding it wins) into
    // a new shader and registers it under the name read; false on any failure, and for a name
    // already registered.
    bool loadShader(const char* fileName);
    // Writes the shader into "<base folder>/<name>", ".shd" appended unless the name ends so.
    bool serializeShader(const boost::intrusive_ptr<IShader>& shader, const char* name);
    bool addShader(const boost::intrusive_ptr<IShader>& shader);  // under its own name; false when taken
    bool addShader(const char* name, const boost::intrusive_ptr<IShader>& shader);  // under a copy of name

    IVideoDriver* getVideoDriver() const { return m_driver; }
    const std::vector<core::stringc>& getShaderSearchPaths() const { return m_searchPaths; }
    const core::stringc& getBaseFolder() const { return m_baseFolder; }

protected:
    io::IFileSystem* getFileSystem() const;

    IVideoDriver* m_driver = nullptr;
    std::vector<core::stringc> m_searchPaths;
    core::stringc m_baseFolder = ".";
};

}  // namespace pravik::video
