#include "engine/video/material/IShaderManager.h"
#include "engine/video/material/CGenericBaker.h"

#include <algorithm>
#include <cstring>

#include "engine/io/CXMLAttributesReader.h"
#include "engine/io/CXMLAttributesWriter.h"
#include "engine/io/IAttributes.h"
#include "engine/io/IFileSystem.h"
#include "engine/io/IReadFile.h"

namespace pravik::video {

namespace detail::shadermanager {

namespace {
SDriverServices g_services;
}

void setDriverServices(const SDriverServices& services) { g_services = services; }
const SDriverServices& getDriverServices() { return g_services; }

}  // namespace detail::shadermanager

namespace {

bool endsWithShd(const char* name)
{
    const size_t n = std::strlen(name);
    return n >= 4 && std::strcmp(name + n - 4, ".shd") == 0;
}

}  // namespace

IShaderManager::~IShaderManager() { m_searchPaths.clear(); }

io::IFileSystem* IShaderManager::getFileSystem() const
{
    const auto& services = detail::shadermanager::getDriverServices();
    return services.getFileSystem ? services.getFileSystem(m_driver) : nullptr;
}

void IShaderManager::init(IVideoDriver* driver, bool addBaseFolderAsSearchPath)
{
    m_driver = driver;
    io::IFileSystem* fs = getFileSystem();
    if (fs) m_baseFolder = fs->getWorkingDirectory();
    if (addBaseFolderAsSearchPath) addShaderSearchPath(m_baseFolder.c_str(), false);
}

unsigned short IShaderManager::removeUnusedShaders() { return removeAll(false); }

void IShaderManager::clearDriverSpecificResources()
{
    for (auto it = idBegin(); it != idEnd(); ++it)
        if (const auto& shader = get(it->second.id)) shader->releaseDriverSpecificResources();
}

boost::intrusive_ptr<IBatchBaker> IShaderManager::createBatchBaker(const IShader* shader) { return new CGenericBaker(shader); }

void IShaderManager::addShaderSearchPath(const char* path, bool front)
{
    if (!path) return;
    if (std::find(m_searchPaths.begin(), m_searchPaths.end(), core::stringc(path)) != m_searchPaths.end())
        return;
    if (front)
        m_searchPaths.insert(m_searchPaths.begin(), core::stringc(path));
    else
        m_searchPaths.emplace_back(path);
}

bool IShaderManager::loadShader(const char* fileName)
{
    io::IFileSystem* fs = getFileSystem();
    if (!fileName || !fs || m_searchPaths.empty()) return false;
    core::stringc found;
    for (const core::stringc& folder : m_searchPaths) {
        core::stringc path = folder + "/" + fileName;
        if (fs->existFile(path)) found = std::move(path);  // the last folder holding it wins
    }
    if (found.empty() || !endsWithShd(fileName)) return false;

    boost::intrusive_ptr<IShader> shader = createEmptyShader(fileName);
    if (!shader) return false;
    io::IReadFile* file = fs->createAndOpenFile(found.c_str());
    if (!file) return false;
    io::IXMLReader* reader = fs->createXMLReader(file);
    file->drop();
    io::IAttributes* attributes = fs->createEmptyAttributes(m_driver);
    bool ok = reader && attributes;
    if (ok) {
        io::CXMLAttributesReader attributesReader(reader, false, nullptr);
        ok = attributesReader.read(attributes);
        if (ok) {
            shader->deserializeAttributes(attributes);
            ok = addShader(shader);
        }
    }
    if (attributes) attributes->drop();
    if (reader) reader->drop();
    return ok;
}

bool IShaderManager::serializeShader(const boost::intrusive_ptr<IShader>& shader, const char* name)
{
    io::IFileSystem* fs = getFileSystem();
    if (!shader || !name || !fs) return false;
    core::stringc path = m_baseFolder + "/" + name;
    if (!endsWithShd(name)) path += ".shd";
    io::IXMLWriter* writer = fs->createXMLWriter(path.c_str());
    if (!writer) return false;
    io::IAttributes* attributes = fs->createEmptyAttributes(m_driver);
    if (!attributes) {
        writer->drop();
        return false;
    }
    shader->serializeAttributes(attributes);
    bool ok;
    {
        io::CXMLAttributesWriter attributesWriter(writer, true, nullptr);
        ok = attributesWriter.write(attributes);
    }
    attributes->drop();
    writer->drop();
    return ok;
}

bool IShaderManager::addShader(const boost::intrusive_ptr<IShader>& shader)
{
    if (!shader || getId(shader->getName().c_str()) != 0xffff) return false;
    return insert(shader->getName().c_str(), shader, false) != 0xffff;
}

bool IShaderManager::addShader(const char* name, const boost::intrusive_ptr<IShader>& shader)
{
    if (!name || !shader || getId(name) != 0xffff) return false;
    char* copy = new char[std::strlen(name) + 1];
    std::strcpy(copy, name);
    return insert(copy, shader, true) != 0xffff;
}

}  // namespace pravik::video
