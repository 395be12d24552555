#include "engine/collada/CResFile.h"

#include "engine/collada/CColladaDatabase.h"
#include "engine/collada/CResFileManager.h"
#include "engine/io/IReadFile.h"
#include "engine/os/Printer.h"
#include "engine/scene/CMeshBuffer.h"
#include "engine/video/IBuffer.h"
#include "engine/video/ITexture.h"
#include "engine/video/material/CMaterialRenderer.h"
#include "engine/video/material/CVertexAttributeMap.h"

namespace pravik::collada {

namespace {

// The image reader over an engine stream.
class CResFileReader : public res::FileReader {
public:
    explicit CResFileReader(io::IReadFile* file) : m_file(file) {}
    long tell() override { return m_file->getPos(); }
    int read(void* buffer, unsigned int size) override { return m_file->read(buffer, size); }
    bool seek(long position, bool relative) override { return m_file->seek(int32_t(position), relative); }
    long getSize() override { return m_file->getSize(); }

private:
    io::IReadFile* m_file;
};

// Drops client data of a buffer someone else still holds, keeping its size when it may.
void detach(const boost::intrusive_ptr<video::IBuffer>& buffer)
{
    if (!buffer || buffer->getReferenceCount() <= 1) return;
    buffer->reset((buffer->getFlags() & 8) ? buffer->getSize() : 0, nullptr, false);
}

}  // namespace

CResFile::CResFile(const char* path, io::IReadFile* file, bool keepInMemory, CResFileManager* manager)
    : m_path(path ? path : "")
{
    if (!file) {
        m_file.Init(static_cast<res::FileReader*>(nullptr));
        return;
    }
    if (keepInMemory && file->isAllInMemory()) {
        int32_t position = 0;
        // A memory file handed in to be kept is relocated where it lies.
        auto* buffer = const_cast<void*>(file->getBuffer(&position));
        if (buffer && !m_file.Init(buffer, uint32_t(file->getSize()))) {
            file->grab();
            m_memoryFile = file;
        }
        return;
    }
    io::IReadFile* stream = manager ? manager->getReadFile(file) : (file->grab(), file);
    CResFileReader reader(stream ? stream : file);
    if (!stream) {
        m_file.Init(static_cast<res::FileReader*>(nullptr));
        return;
    }
    m_file.Init(&reader, [this, manager](const char* name) -> const res::File* {
        CResFile* dependency = manager ? manager->get(name, true) : nullptr;
        if (!dependency) return nullptr;
        setDependency(dependency);
        return &dependency->getFile();
    });
    stream->drop();
}

// Complete before the destructor deletes them, so their databases drop the files they hold.
struct CResFile::SExternalEffect {
    CColladaDatabase db;
    SEffect* effect;
};

CResFile::~CResFile()
{
    for (auto& [ref, texture] : m_textures)
        if (onTextureReleased) onTextureReleased(texture);
    for (auto& [ref, external] : m_externalEffects) delete external;
    m_externalEffects.clear();
    m_textures.clear();
    m_attributeMaps.clear();
    m_buffers.forEach([](uint32_t, boost::intrusive_ptr<video::IBuffer>& buffer) { detach(buffer); });
    m_buffers.clear();
    m_meshBuffers.clear();
    if (m_memoryFile) m_memoryFile->drop();
    if (m_dependency) m_dependency->drop();
}

void CResFile::setExternalEffect(const SMaterial* material, const CColladaDatabase& db, SEffect* effect)
{
    const uint32_t ref = refOf(material);
    if (!ref) return;
    delete m_externalEffects[ref];
    m_externalEffects[ref] = new SExternalEffect{db, effect};
}

SEffect* CResFile::getExternalEffect(const SMaterial* material, const CColladaDatabase** db) const
{
    auto it = m_externalEffects.find(refOf(material));
    if (it == m_externalEffects.end()) return nullptr;
    if (db) *db = &it->second->db;
    return it->second->effect;
}

SCollada* CResFile::getRoot() const
{
    return isValid() ? m_file.get(res::Ptr<SCollada>{m_file.rootRef()}) : nullptr;
}

boost::intrusive_ptr<video::ITexture> CResFile::getTexture(const SImage* image) const
{
    auto it = m_textures.find(refOf(image));
    return it == m_textures.end() ? nullptr : it->second;
}

void CResFile::setTexture(const SImage* image, const boost::intrusive_ptr<video::ITexture>& texture)
{
    const uint32_t ref = refOf(image);
    if (!ref) return;
    if (texture) m_textures[ref] = texture;
    else m_textures.erase(ref);
}

boost::intrusive_ptr<video::CMaterialVertexAttributeMap> CResFile::getAttributeMap(const SInstanceMaterial* binding) const
{
    auto it = m_attributeMaps.find(refOf(binding));
    return it == m_attributeMaps.end() ? nullptr : it->second;
}

void CResFile::setAttributeMap(const SInstanceMaterial* binding,
                               const boost::intrusive_ptr<video::CMaterialVertexAttributeMap>& map)
{
    const uint32_t ref = refOf(binding);
    if (!ref) return;
    if (map) m_attributeMaps[ref] = map;
    else m_attributeMaps.erase(ref);
}

void CResFile::setDependency(CResFile* dependency)
{
    if (dependency == m_dependency) return;
    if (dependency) dependency->grab();
    if (m_dependency) m_dependency->drop();
    m_dependency = dependency;
}

void CResFile::releaseRemovableBuffer(unsigned char mask)
{
    if (!m_file.hasSegmentData()) return;
    if (mask & 1) {
        // Geometry buffers that still read from the segments take their own copy first.
        m_buffers.forEach([](uint32_t, boost::intrusive_ptr<video::IBuffer>& buffer) {
            if (!buffer) return;
            if (buffer->getFlags() & 8) {
                buffer->reset(buffer->getSize(), nullptr, false);
            } else if (!(buffer->getFlags() & 1)) {
                os::Printer::log("Buffer released is not in VRAM", ELL_WARNING);
                buffer->copy();
            }
        });
    }
    m_file.releaseSegments(mask);
}

}  // namespace pravik::collada
