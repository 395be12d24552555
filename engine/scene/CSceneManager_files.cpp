// Scene manager: meshes through the cache and the loaders, and XML scene files.
#include "engine/scene/CSceneManager.h"

#include "engine/io/IFileSystem.h"
#include "engine/io/IReadFile.h"
#include "engine/os/Printer.h"
#include "engine/scene/CMeshCache.h"
#include "engine/scene/IMeshLoader.h"

namespace pravik::scene {

void CSceneManager::addExternalMeshLoader(IMeshLoader* loader)
{
    if (!loader) return;
    loader->grab();
    MeshLoaders.push_back(loader);
}

namespace {

boost::intrusive_ptr<IAnimatedMesh> loadThrough(const std::vector<IMeshLoader*>& loaders, io::IReadFile* file,
                                                const char* name, IMeshCache* cache)
{
    const core::stringc lower = CMeshCache::normalise(name);
    boost::intrusive_ptr<IAnimatedMesh> mesh;
    for (auto it = loaders.rbegin(); it != loaders.rend() && !mesh; ++it) {
        if (!(*it)->isALoadableFileExtension(lower.c_str())) continue;
        file->seek(0, false);
        mesh = (*it)->createMesh(file);
    }
    if (mesh) {
        if (cache) cache->addMesh(name, mesh);
        os::Printer::log("Loaded mesh", name, ELL_INFORMATION);
    } else {
        os::Printer::log("Could not load mesh, file format seems to be unsupported", name, ELL_ERROR);
    }
    return mesh;
}

}  // namespace

boost::intrusive_ptr<IAnimatedMesh> CSceneManager::getMesh(const char* filename)
{
    if (!filename) return nullptr;
    if (MeshCache)
        if (auto cached = MeshCache->getMeshByFilename(filename)) return cached;
    io::IReadFile* file = FileSystem ? FileSystem->createAndOpenFile(filename) : nullptr;
    if (!file) {
        os::Printer::log("Could not load mesh, because file could not be opened.", filename, ELL_ERROR);
        return nullptr;
    }
    auto mesh = loadThrough(MeshLoaders, file, filename, MeshCache);
    file->drop();
    return mesh;
}

boost::intrusive_ptr<IAnimatedMesh> CSceneManager::getMesh(io::IReadFile* file)
{
    if (!file) return nullptr;
    const core::stringc name(file->getFileName());
    if (MeshCache)
        if (auto cached = MeshCache->getMeshByFilename(name.c_str())) return cached;
    return loadThrough(MeshLoaders, file, name.c_str(), MeshCache);
}

bool CSceneManager::saveScene(const char*, ISceneUserDataSerializer*) { return false; }
bool CSceneManager::saveScene(io::IWriteFile*, ISceneUserDataSerializer*) { return false; }
bool CSceneManager::loadScene(const char*, ISceneUserDataSerializer*) { return false; }
bool CSceneManager::loadScene(io::IReadFile*, ISceneUserDataSerializer*) { return false; }

}  // namespace pravik::scene
