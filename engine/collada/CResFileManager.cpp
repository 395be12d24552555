#include "engine/collada/CResFileManager.h"

#include "engine/collada/CColladaDatabase.h"
#include "engine/collada/CResFile.h"
#include "engine/io/CMemoryReadFile.h"
#include "engine/io/CZipReader.h"
#include "engine/io/IFileSystem.h"
#include "engine/io/IReadFile.h"
#include "engine/os/Printer.h"
#include "engine/video/CTextureManager.h"
#include "engine/video/ITexture.h"
#include "engine/video/IVideoDriver.h"

#include <cstring>
#include <unordered_set>

namespace pravik::collada {

CResFileManager* CResFileManager::Inst = nullptr;
CResFactory CResFileManager::DefaultResFactory;

namespace {

constexpr const char* kContentVersion = "0,0,0,779";

const char* afterHash(const char* url) { return url && url[0] ? url + 1 : ""; }

// Texture lookups of a load report errors only.
class SErrorsOnly {
public:
    SErrorsOnly() : m_previous(os::Printer::getLogLevel()) { os::Printer::setLogLevel(ELL_ERROR); }
    ~SErrorsOnly() { os::Printer::setLogLevel(m_previous); }

private:
    ELOG_LEVEL m_previous;
};

}  // namespace

boost::intrusive_ptr<video::ITexture> CResFactory::getTexture(CResFile* file, const core::stringc& dir,
                                                             io::IReadFile* stream, video::CTextureManager* textures,
                                                             SImage* image)
{
    const char* name = file && image ? file->str(image->fileName) : nullptr;
    if (!name || !textures) return nullptr;
    const core::stringc full = dir + "/" + name;
    if (auto texture = textures->getTexture(full.c_str())) return texture;
    if (auto texture = textures->getTexture(name)) return texture;
    int32_t size = 0;
    const void* buffer = stream ? stream->getExternalBuffer(name, &size) : nullptr;
    if (!buffer || size <= 0) return nullptr;
    auto* memory = new io::CMemoryReadFile(const_cast<void*>(buffer), size, full.c_str(), false);
    auto texture = textures->getTexture(memory);
    memory->drop();
    return texture;
}

SSuspendAutomaticUnloading::SSuspendAutomaticUnloading(CResFileManager* manager) : m_manager(manager)
{
    if (!m_manager) return;
    m_previous = m_manager->getAutomaticUnloading();
    m_manager->setAutomaticUnloading(false);
}

SSuspendAutomaticUnloading::~SSuspendAutomaticUnloading()
{
    if (m_manager) m_manager->setAutomaticUnloading(m_previous);
}

CResFileManager::CResFileManager(const boost::intrusive_ptr<io::IFileSystem>& fileSystem, video::IVideoDriver* driver,
                                 scene::CSceneManager* sceneManager)
    : m_fileSystem(fileSystem), m_driver(driver), m_sceneManager(sceneManager)
{
    Inst = this;
}

CResFileManager::~CResFileManager()
{
    m_automaticUnloading = false;
    auto cache = std::move(m_cache);
    m_cache.clear();
    for (auto& [path, file] : cache) file->drop();
    if (Inst == this) Inst = nullptr;
}

void CResFileManager::reRegister(CResFile* file)
{
    file->getFile().registerSlot();
    res::File::SizeOfHeader = res::File::kHeaderSize;
}

CResFile* CResFileManager::get(const char* path, bool load)
{
    if (!path) return nullptr;
    SSuspendAutomaticUnloading suspend(this);
    const core::stringc absolute = m_fileSystem ? m_fileSystem->getAbsolutePath(path) : core::stringc(path);
    auto it = m_cache.find(absolute.c_str());
    if (it != m_cache.end()) {
        reRegister(it->second);
        return it->second;
    }
    if (!load) return nullptr;
    // Logged when the file loads, not on every cached answer.
    os::Printer::logf(ELL_INFORMATION, "\n PATH ABSOLUTO = %s", absolute.c_str());
    io::IReadFile* file = m_fileSystem ? m_fileSystem->createAndOpenFile(path) : nullptr;
    if (!file) {
        os::Printer::print("- Error - File not found   -");
        os::Printer::print("%s", path);
        os::Printer::print("----------------------------");
        m_lastError = "file not found";
        return nullptr;
    }
    CResFile* result = create(absolute, path, file, false);
    file->drop();
    return result;
}

CResFile* CResFileManager::get(io::IReadFile* file, bool load, bool keepInMemory)
{
    if (!file) return nullptr;
    SSuspendAutomaticUnloading suspend(this);
    const char* name = file->getFileName();
    const core::stringc absolute = m_fileSystem ? m_fileSystem->getAbsolutePath(name) : core::stringc(name);
    auto it = m_cache.find(absolute.c_str());
    if (it != m_cache.end()) {
        reRegister(it->second);
        return it->second;
    }
    return load ? create(absolute, name, file, keepInMemory) : nullptr;
}

CResFile* CResFileManager::get(CResFile* relativeTo, const char* path, bool load)
{
    if (!relativeTo || !m_fileSystem) return get(path, load);
    core::stringc dir = m_fileSystem->getFileDir(relativeTo->getPath());
    bool added = false;
    if (!dir.empty()) {
        const char last = dir.c_str()[dir.size() - 1];
        if (last != '/' && last != '\\') dir += "/";
        added = m_fileSystem->addFolderFileArchive(dir.c_str(), true, true);
    }
    CResFile* result = get(path, load);
    if (added) m_fileSystem->removeFileArchive(dir.c_str());
    return result;
}

CResFile* CResFileManager::load(const char* path, bool dontLoad, LoadCallback)
{
    return dontLoad ? nullptr : get(path, true);
}

CResFile* CResFileManager::load(io::IReadFile* file, bool dontLoad, LoadCallback, bool keepInMemory)
{
    return dontLoad ? nullptr : get(file, true, keepInMemory);
}

CResFile* CResFileManager::create(const core::stringc& key, const char* name, io::IReadFile* file, bool keepInMemory)
{
    const std::string path = key.c_str();
    if (!m_loading.insert(path).second) {
        m_lastError = "file depends on itself";
        os::Printer::logf(ELL_ERROR, "Scene file refused: %s: %s", name, m_lastError.c_str());
        return nullptr;
    }
    auto* result = new CResFile(key.c_str(), file, keepInMemory, this);
    m_loading.erase(path);
    if (!result->isValid()) {
        m_lastError = result->getError();
        os::Printer::logf(ELL_ERROR, "Scene file refused: %s: %s", name, m_lastError.c_str());
        result->drop();
        return nullptr;
    }
    result->onTextureReleased = [this](boost::intrusive_ptr<video::ITexture>& texture) {
        video::ITexture* raw = texture.get();
        const bool shared = raw && raw->getReferenceCount() > 1;
        texture.reset();
        video::CTextureManager* textures = m_driver ? m_driver->getTextureManager() : nullptr;
        if (shared && m_automaticUnloading && textures) textures->removeTexture(raw);
    };
    m_cache[path] = result;
    if (result->getFile().base() == 0) {
        io::IReadFile* stream = getReadFile(file);
        postLoadProcess(result, stream ? stream : file);
        if (stream) stream->drop();
    }
    return result;
}

io::IReadFile* CResFileManager::getReadFile(io::IReadFile* file)
{
    if (!file) return nullptr;
    if (!io::CZipReader::isValid(file)) {
        file->grab();
        return file;
    }
    file->seek(0, false);
    auto* zip = new io::CZipReader(file, true, true, 1);
    io::IReadFile* member = nullptr;
    if (m_driver && (unsigned(m_driver->getDriverType()) & 7u)) member = zip->openFile("little_endian_quantized.bdae");
    if (!member) member = zip->openFile("little_endian_not_quantized.bdae");
    zip->drop();
    return member;
}

int CResFileManager::unloadAt(std::map<std::string, CResFile*>::iterator it, bool force)
{
    CResFile* file = it->second;
    if (file->getReferenceCount() <= 1) {
        m_cache.erase(it);
        file->drop();
        return 0;
    }
    if (!force) return 2;
    m_cache.erase(it);
    file->drop();
    return 1;
}

int CResFileManager::unload(const char* path, bool force)
{
    if (!path) return 3;
    const core::stringc absolute = m_fileSystem ? m_fileSystem->getAbsolutePath(path) : core::stringc(path);
    auto it = m_cache.find(absolute.c_str());
    return it == m_cache.end() ? 3 : unloadAt(it, force);
}

int CResFileManager::unload(const SCollada* root, bool force)
{
    for (auto it = m_cache.begin(); it != m_cache.end(); ++it)
        if (root && it->second->getRoot() == root) return unloadAt(it, force);
    return 3;
}

int CResFileManager::unloadAll()
{
    int count = 0;
    for (auto it = m_cache.begin(); it != m_cache.end();) {
        auto next = std::next(it);
        const std::string key = next == m_cache.end() ? std::string() : next->first;
        const bool last = next == m_cache.end();
        if (unloadAt(it, false) == 0) ++count;
        // Unloading may release other files; carry on from the key that followed.
        if (last) break;
        it = m_cache.lower_bound(key);
    }
    return count;
}

int CResFileManager::checkVersion(const char* path)
{
    io::IReadFile* file = m_fileSystem && path ? m_fileSystem->createAndOpenFile(path) : nullptr;
    if (file) file->drop();
    return 0;
}

namespace {

// Image indices of a sampler value become image references: -1 and bad indices none. The
// words are shared by nothing, but each is translated once whatever points at it twice.
void resolveSamplers(CResFile* file, uint32_t type, const uint32_t* dimensions, uint32_t value,
                     std::span<SImage> images, std::unordered_set<uint32_t>& done)
{
    if (!isSamplerType(type) || !dimensions || !value) return;
    const uint32_t count = *dimensions;
    auto* elements = static_cast<uint32_t*>(
        count && count < 0x40000000u ? file->getFile().resolve(value, 4 * count, 4) : nullptr);
    for (uint32_t e = 0; elements && e < count; ++e) {
        auto* word = file->as<uint32_t>(elements[e]);
        if (!word || !done.insert(elements[e]).second) continue;
        const int32_t index = int32_t(*word);
        *word = (index >= 0 && size_t(index) < images.size()) ? file->refOf(&images[size_t(index)]) : 0;
    }
}

}  // namespace

int CResFileManager::postLoadProcess(CResFile* file, io::IReadFile* stream)
{
    SCollada* root = file ? file->getRoot() : nullptr;
    if (!root) return 0;
    if (root->postLoaded) {
        updateExternalResources(file, stream);
        return 0;
    }
    SSuspendAutomaticUnloading suspend(this);
    const char* version = file->str(root->version);
    if (!version || std::strcmp(version, kContentVersion) != 0) {
        os::Printer::log("- Error - Collada binary version check failed -----", ELL_WARNING);
        os::Printer::log("- Expected versions : 0,0,0,779", ELL_WARNING);
        os::Printer::log(file->getPath().c_str(), ELL_WARNING);
        os::Printer::log(version ? version : "", ELL_WARNING);
        os::Printer::log("- The file will be loaded\t\t\t\t\t\t\t -", ELL_WARNING);
        os::Printer::log("- see CColladaDatabase::setVersionCheckBehavior(...) -", ELL_WARNING);
        os::Printer::log("------------------------------------------------------", ELL_WARNING);
    }
    file->setSourcePath(file->getFile().trailingSize() > 0 && stream ? core::stringc(stream->getFullPath())
                                                                      : core::stringc());

    CColladaDatabase db(file, &CColladaDatabase::DefaultFactory);
    auto images = file->get(root->images);
    video::CTextureManager* textures = m_driver ? m_driver->getTextureManager() : nullptr;
    if (textures) {
        const core::stringc dir = m_fileSystem ? m_fileSystem->getFileDir(file->getPath()) : core::stringc(".");
        for (SImage& image : images) {
            if (image.kind != 0) continue;
            boost::intrusive_ptr<video::ITexture> texture;
            {
                SErrorsOnly quiet;
                texture = m_factory->getTexture(file, dir, stream, textures, &image);
            }
            if (texture) file->setTexture(&image, texture);
        }
    }

    std::unordered_set<uint32_t> done;
    auto effects = file->get(root->effects);
    for (SMaterial& material : file->get(root->materials)) {
        const int32_t index = int32_t(material.effect);
        if (index >= int32_t(effects.size()) || index < -1) {
            material.effect = 0;
            continue;
        }
        for (SMaterialParam& p : file->get(material.params))
            resolveSamplers(file, p.type, file->get(p.dimensions), p.value, images, done);
        if (index >= 0) {
            material.effect = file->refOf(&effects[size_t(index)]);
            continue;
        }
        material.effect = 0;
        const char* external = file->str(material.externalFile);
        if (!external) continue;
        CColladaDatabase other(&db, external, &CColladaDatabase::DefaultFactory);
        if (!other.isValid()) {
            os::Printer::logf(ELL_ERROR, "File : [%s] not found", external);
            continue;
        }
        if (SEffect* effect = other.getEffect(afterHash(file->str(material.effectUrl))))
            file->setExternalEffect(&material, other, effect);
    }

    for (SEffect& effect : effects) {
        for (SNewParam& p : file->get(effect.profile0.params))
            resolveSamplers(file, p.type, file->get(p.dimensions), p.value, images, done);
        for (SProfile& profile : effect.profiles)
            for (SNewParam& p : file->get(profile.params))
                resolveSamplers(file, p.type, file->get(p.dimensions), p.value, images, done);
    }

    auto geometries = file->get(root->geometries);
    // Controllers may share one morph record: its indices become references only once.
    std::unordered_set<uint32_t> morphsDone;
    for (SController& controller : file->get(root->controllers)) {
        auto* morph = controller.type == 1 ? file->as<SMorph>(controller.data) : nullptr;
        if (!morph || !morphsDone.insert(controller.data).second) continue;
        for (uint32_t& target : file->get(morph->targets))
            target = target < geometries.size() ? file->refOf(&geometries[target]) : 0;
    }

    auto firstInstance = [&](const res::String& url) -> uint32_t {
        SNode* node = db.getNode(afterHash(file->str(url)));
        SInstanceEntry* entry = node ? file->at(node->instances, 0) : nullptr;
        return entry ? entry->record : 0;
    };
    for (SEmitter& emitter : file->get(root->emitters))
        if (emitter.meshKind == 2)
            if (auto* target = file->as<SEmitterMeshTarget>(emitter.meshBlock))
                target->runtimeInstance = firstInstance(target->url);
    for (SPNPSEmitter& emitter : file->get(root->pnpsEmitters))
        if (emitter.meshKind == 1)
            if (auto* target = file->as<SPNPSEmitterMeshTarget>(emitter.meshBlock))
                target->runtimeInstance = firstInstance(target->url);

    root->postLoaded = 1;
    return 0;
}

void CResFileManager::updateExternalResources(CResFile* file, io::IReadFile* stream)
{
    SCollada* root = file ? file->getRoot() : nullptr;
    video::CTextureManager* textures = m_driver ? m_driver->getTextureManager() : nullptr;
    if (!root || !textures) return;
    const core::stringc dir = m_fileSystem ? m_fileSystem->getFileDir(file->getPath()) : core::stringc(".");
    for (SImage& image : file->get(root->images)) {
        boost::intrusive_ptr<video::ITexture> texture;
        {
            SErrorsOnly quiet;
            texture = m_factory->getTexture(file, dir, stream, textures, &image);
        }
        file->setTexture(&image, texture);
    }
}

}  // namespace pravik::collada
