// Scene manager: meshes through the cache and the loaders, and XML scene files. A scene file is
// wide XML: "vuv_scene" holds the scene's "attributes" and one "node" element (attribute
// "type") per child of the root; a node holds "attributes", "materials", "animators",
// "userData" and its children's "node" elements. A node whose type no factory makes is skipped
// with its subtree.
#include "engine/scene/CSceneManager.h"

#include "engine/core/StringConversion.h"
#include "engine/io/CXMLAttributesReader.h"
#include "engine/io/CXMLAttributesWriter.h"
#include "engine/io/IAttributes.h"
#include "engine/io/IFileSystem.h"
#include "engine/io/IWriteFile.h"
#include "engine/io/IXMLWriter.h"
#include "engine/io/IReadFile.h"
#include "engine/os/Printer.h"
#include "engine/scene/CMeshCache.h"
#include "engine/scene/CSceneManagerRootNode.h"
#include "engine/scene/IMeshLoader.h"
#include "engine/scene/ISceneNodeAnimator.h"
#include "engine/scene/ISceneNodeFactory.h"
#include "engine/scene/ISceneUserDataSerializer.h"

#include <cwchar>

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

// ---- XML scene files ----

namespace {

// Deeper nesting than any scene needs: a hostile file cannot exhaust the stack.
constexpr int kMaxSceneDepth = 1000;

bool named(const io::IXMLReader* reader, const wchar_t* name)
{
    const wchar_t* n = reader->getNodeName();
    return n && std::wcscmp(n, name) == 0;
}

}  // namespace

bool CSceneManager::loadScene(const char* filename, ISceneUserDataSerializer* serializer)
{
    io::IReadFile* file = FileSystem && filename ? FileSystem->createAndOpenFile(filename) : nullptr;
    if (!file) {
        os::Printer::log("Unable to open scene file", filename ? filename : "", ELL_ERROR);
        return false;
    }
    const bool ok = loadScene(file, serializer);
    file->drop();
    return ok;
}

bool CSceneManager::loadScene(io::IReadFile* file, ISceneUserDataSerializer* serializer)
{
    if (!file) {
        os::Printer::log("Unable to open scene file", ELL_ERROR);
        return false;
    }
    io::IXMLReader* reader = FileSystem ? FileSystem->createXMLReader(file) : nullptr;
    if (!reader) {
        os::Printer::log("Scene is not a valid XML file", file->getFileName(), ELL_ERROR);
        return false;
    }
    // A document without a scene root loads nothing: that is no success.
    SceneRootRead = false;
    while (reader->read()) readSceneNode(reader, nullptr, serializer, 0);
    reader->drop();
    if (!SceneRootRead) os::Printer::log("Scene file has no scene root", file->getFileName(), ELL_ERROR);
    return SceneRootRead;
}

void CSceneManager::readSceneNode(io::IXMLReader* reader, ISceneNode* parent, ISceneUserDataSerializer* serializer,
                                  int depth)
{
    if (!reader) return;
    if (depth > kMaxSceneDepth) {
        os::Printer::log("Scene file nests its nodes too deeply", ELL_ERROR);
        while (reader->read()) {}  // the rest of the file is not read
        return;
    }
    ISceneNode* node = nullptr;
    if (!parent && reader->getNodeType() == io::EXNK_ELEMENT && named(reader, XMLSceneRootName.c_str())) {
        node = Root;
        SceneRootRead = true;
    } else if (parent && reader->getNodeType() == io::EXNK_ELEMENT && named(reader, XMLNodeElementName.c_str())) {
        const core::stringc type = core::stringw2stringc(reader->getAttributeValue(XMLTypeAttributeName.c_str()));
        for (auto it = SceneNodeFactories.rbegin(); it != SceneNodeFactories.rend() && !node; ++it)
            node = (*it)->addSceneNode(type.c_str(), parent);
        if (!node) os::Printer::log("Could not create scene node of unknown type", type.c_str(), ELL_INFORMATION);
    }
    // An empty element has no content of its own.
    bool end = reader->getNodeType() == io::EXNK_ELEMENT && reader->isEmptyElement();
    while (!end && reader->read()) {
        switch (reader->getNodeType()) {
        case io::EXNK_ELEMENT_END:
            if (named(reader, XMLNodeElementName.c_str()) || named(reader, XMLSceneRootName.c_str())) end = true;
            break;
        case io::EXNK_ELEMENT:
            if (named(reader, L"attributes")) {
                io::IAttributes* attributes = FileSystem->createEmptyAttributes(CurrentDriver);
                io::CXMLAttributesReader attributeReader(reader, true, nullptr);
                attributeReader.read(attributes);
                if (node) node->deserializeAttributes(attributes);
                attributes->drop();
            } else if (named(reader, L"materials") || named(reader, L"animators") || named(reader, L"userData")) {
                const core::stringw section(reader->getNodeName());
                if (!reader->isEmptyElement()) readSection(reader, section.c_str(), node, serializer);
            } else if (named(reader, XMLNodeElementName.c_str()) || named(reader, XMLSceneRootName.c_str())) {
                readSceneNode(reader, node, serializer, depth + 1);
            } else {
                os::Printer::log("Found unknown element in pravik scene file",
                                 core::stringw2stringc(reader->getNodeName()).c_str(), ELL_INFORMATION);
            }
            break;
        default: break;
        }
    }
    if (node && serializer) serializer->nodeLoaded(node);
}

void CSceneManager::readSection(io::IXMLReader* reader, const wchar_t* name, ISceneNode* node,
                                ISceneUserDataSerializer* serializer)
{
    while (reader->read()) {
        if (reader->getNodeType() == io::EXNK_ELEMENT_END && named(reader, name)) return;
        if (reader->getNodeType() != io::EXNK_ELEMENT || !named(reader, L"attributes")) continue;
        io::IAttributes* attributes = FileSystem->createEmptyAttributes(CurrentDriver);
        io::CXMLAttributesReader attributeReader(reader, false, nullptr);
        attributeReader.read(attributes);
        if (node && std::wcscmp(name, L"animators") == 0) {
            const core::stringc type = attributes->getString("Type");
            for (ISceneNodeAnimatorFactory* f : SceneNodeAnimatorFactories) {
                if (ISceneNodeAnimator* animator = f->createSceneNodeAnimator(type.c_str(), node)) {
                    animator->deserializeAttributes(attributes);
                    animator->drop();
                    break;
                }
            }
        } else if (node && serializer && std::wcscmp(name, L"userData") == 0) {
            serializer->userDataLoaded(node, attributes);
        }
        attributes->drop();
    }
}

bool CSceneManager::saveScene(const char* filename, ISceneUserDataSerializer* serializer)
{
    io::IWriteFile* file = FileSystem && filename ? FileSystem->createAndWriteFile(filename, false) : nullptr;
    if (!file) return false;
    const bool ok = saveScene(file, serializer);
    file->drop();
    return ok;
}

bool CSceneManager::saveScene(io::IWriteFile* file, ISceneUserDataSerializer* serializer)
{
    if (!file || !FileSystem) return false;
    io::IXMLWriter* writer = FileSystem->createXMLWriter(file);
    if (!writer) return false;
    writer->writeXMLHeader();
    bool ok = writeSceneNode(writer, Root, serializer);
    // A failed write is reported, not taken for a saved scene.
    ok = ok && !writer->hasWriteError();
    writer->drop();
    return ok;
}

bool CSceneManager::writeSceneNode(io::IXMLWriter* writer, ISceneNode* node, ISceneUserDataSerializer* serializer)
{
    if (!writer || !node || node->isDebugObject()) return true;
    const bool isRoot = node == Root;
    const wchar_t* element = isRoot ? XMLSceneRootName.c_str() : XMLNodeElementName.c_str();
    if (isRoot) {
        writer->writeElement(element, false);
    } else {
        const char* typeName = getSceneNodeTypeName(node->getType());
        const core::stringw type = core::stringc2stringw(typeName ? typeName : "");
        writer->writeElement(element, false, XMLTypeAttributeName.c_str(), type.c_str());
    }
    writer->writeLineBreak();
    writer->writeLineBreak();
    bool ok = true;
    io::IAttributes* attributes = FileSystem->createEmptyAttributes(CurrentDriver);
    node->serializeAttributes(attributes);
    if (attributes->getAttributeCount() != 0) {
        io::CXMLAttributesWriter attributeWriter(writer, false, nullptr);  // enclosed in "attributes", no header
        ok = attributeWriter.write(attributes) && ok;
        writer->writeLineBreak();
    }
    if (node->getMaterialCount() != 0 && CurrentDriver) {
        writer->writeElement(L"materials");
        writer->writeLineBreak();
        writer->writeClosingTag(L"materials");
        writer->writeLineBreak();
    }
    if (!node->getAnimators().empty()) {
        writer->writeElement(L"animators");
        writer->writeLineBreak();
        for (ISceneNodeAnimator* animator : node->getAnimators()) {
            attributes->clear();
            const char* typeName = getAnimatorTypeName(animator->getType());
            attributes->addString("Type", typeName ? typeName : "", false);
            animator->serializeAttributes(attributes);
            io::CXMLAttributesWriter attributeWriter(writer, false, nullptr);  // enclosed in "attributes", no header
            ok = attributeWriter.write(attributes) && ok;
        }
        writer->writeClosingTag(L"animators");
        writer->writeLineBreak();
    }
    if (serializer) {
        if (io::IAttributes* user = serializer->createUserDataFor(node)) {
            writer->writeLineBreak();
            writer->writeElement(L"userData");
            writer->writeLineBreak();
            io::CXMLAttributesWriter attributeWriter(writer, false, nullptr);  // enclosed in "attributes", no header
            ok = attributeWriter.write(user) && ok;
            writer->writeClosingTag(L"userData");
            writer->writeLineBreak();
            writer->writeLineBreak();
            user->drop();
        }
    }
    for (ISceneNode* child : node->getChildren()) ok = writeSceneNode(writer, child, serializer) && ok;
    attributes->drop();
    writer->writeClosingTag(element);
    writer->writeLineBreak();
    writer->writeLineBreak();
    return ok;
}

}  // namespace pravik::scene
