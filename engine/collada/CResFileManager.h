#pragma once
// The process-wide cache of loaded scene files, by absolute path. It opens a file by path or
// from an open stream (a ZIP holding "little_endian_quantized.bdae" or
// "little_endian_not_quantized.bdae" is opened at its member), loads and relocates it, runs
// the post-load step once per image (version check, textures, effects of materials, morph
// targets, emitter targets) and keeps it until unloaded. A file that fails a check of its
// image is refused: not cached, none returned, one error line naming the check.
// With automatic unloading on, the last scene database to release a file unloads it; every
// load and every build turns it off for its own duration.

#include "engine/IReferenceCounted.h"
#include "engine/core/pravikString.h"

#include <boost/intrusive_ptr.hpp>

#include <map>
#include <set>
#include <string>

namespace pravik::io {
class IFileSystem;
class IReadFile;
}  // namespace pravik::io
namespace pravik::video {
class IVideoDriver;
class ITexture;
class CTextureManager;
}  // namespace pravik::video
namespace pravik::scene {
class CSceneManager;
}

namespace pravik::collada {

class CResFile;
struct SCollada;
struct SImage;

// Texture source used while loading; derive to resolve textures differently.
class CResFactory {
public:
    virtual ~CResFactory() = default;
    // dir + "/" + name, then the bare name, then a buffer stored beside the scene; or none.
    virtual boost::intrusive_ptr<video::ITexture> getTexture(CResFile* file, const core::stringc& dir,
                                                            io::IReadFile* stream, video::CTextureManager* textures,
                                                            SImage* image);
};

class CResFileManager : public IReferenceCounted {
public:
    using LoadCallback = void (*)(const char*, const SCollada*);

    // Becomes Inst. The scene manager serves light lookups of the factory (may be null).
    CResFileManager(const boost::intrusive_ptr<io::IFileSystem>& fileSystem, video::IVideoDriver* driver,
                    scene::CSceneManager* sceneManager);
    ~CResFileManager() override;
    CResFileManager(const CResFileManager&) = delete;
    CResFileManager& operator=(const CResFileManager&) = delete;

    static CResFileManager* Inst;
    static CResFactory DefaultResFactory;

    CResFile* get(const char* path, bool load);                          // cached, loaded, or null
    CResFile* get(io::IReadFile* file, bool load, bool keepInMemory);    // keyed by the file's name
    CResFile* get(CResFile* relativeTo, const char* path, bool load);    // also in the other's folder
    CResFile* load(const char* path, bool dontLoad = false, LoadCallback = nullptr);
    CResFile* load(io::IReadFile* file, bool dontLoad = false, LoadCallback = nullptr, bool keepInMemory = false);

    // 0 unloaded, 1 forced out while referenced elsewhere, 2 referenced (kept), 3 not cached.
    int unload(const char* path, bool force = false);
    int unload(const SCollada* root, bool force = false);
    int unloadAll();  // how many were unloaded

    io::IReadFile* getReadFile(io::IReadFile* file);  // count 1 (the caller drops it), or null
    int postLoadProcess(CResFile* file, io::IReadFile* stream);
    void updateExternalResources(CResFile* file, io::IReadFile* stream);
    int checkVersion(io::IReadFile*) { return 0; }
    int checkVersion(const char* path);

    bool getAutomaticUnloading() const { return m_automaticUnloading; }
    void setAutomaticUnloading(bool on) { m_automaticUnloading = on; }
    void setResFactory(CResFactory* factory) { m_factory = factory ? factory : &DefaultResFactory; }
    CResFactory* getResFactory() const { return m_factory; }

    const boost::intrusive_ptr<io::IFileSystem>& getFileSystem() const { return m_fileSystem; }
    video::IVideoDriver* getVideoDriver() const { return m_driver; }
    scene::CSceneManager* getSceneManager() const { return m_sceneManager; }
    size_t getCachedCount() const { return m_cache.size(); }
    const std::string& getLastError() const { return m_lastError; }  // the check the last refused file failed

private:
    CResFile* create(const core::stringc& key, const char* name, io::IReadFile* file, bool keepInMemory);
    int unloadAt(std::map<std::string, CResFile*>::iterator it, bool force);
    void reRegister(CResFile* file);

    boost::intrusive_ptr<io::IFileSystem> m_fileSystem;
    video::IVideoDriver* m_driver;
    scene::CSceneManager* m_sceneManager;
    CResFactory* m_factory = &DefaultResFactory;
    bool m_automaticUnloading = true;
    std::map<std::string, CResFile*> m_cache;
    std::set<std::string> m_loading;  // paths being read: a file cannot depend on itself
    std::string m_lastError;
};

// Turns automatic unloading off for a scope and restores it on every way out.
class SSuspendAutomaticUnloading {
public:
    explicit SSuspendAutomaticUnloading(CResFileManager* manager);
    ~SSuspendAutomaticUnloading();
    SSuspendAutomaticUnloading(const SSuspendAutomaticUnloading&) = delete;
    SSuspendAutomaticUnloading& operator=(const SSuspendAutomaticUnloading&) = delete;

private:
    CResFileManager* m_manager;
    bool m_previous = false;
};

}  // namespace pravik::collada
