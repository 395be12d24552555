#pragma once
// One loaded scene file: its relocated image (res::File), the absolute path it is cached
// under, and the run-time objects its records stand for, kept in side tables keyed by the
// record's reference (textures of images, attribute maps of material bindings, driver
// buffers of mesh records) so that the image itself stays byte-exact. Count 1 at creation:
// the cache's reference.

#include "engine/IReferenceCounted.h"
#include "engine/collada/CRecordTable.h"
#include "engine/collada/SColladaRecords.h"
#include "engine/core/pravikString.h"
#include "engine/res/File.h"

#include <boost/intrusive_ptr.hpp>

#include <functional>
#include <map>

namespace pravik::io {
class IReadFile;
}
namespace pravik::video {
class ITexture;
class IBuffer;
class CMaterialVertexAttributeMap;
}  // namespace pravik::video
namespace pravik::scene {
class CMeshBuffer;
}

namespace pravik::collada {

class CResFileManager;
class CAnimationFileData;
class CColladaDatabase;

class CResFile : public IReferenceCounted {
public:
    // Reads the image from the file (relocated in place when keepInMemory and the file is all
    // in memory); isValid() tells whether it could be used.
    CResFile(const char* path, io::IReadFile* file, bool keepInMemory, CResFileManager* manager);
    ~CResFile() override;

    bool isValid() const { return m_file.isValid(); }
    const std::string& getError() const { return m_file.error(); }
    const core::stringc& getPath() const { return m_path; }
    const res::File& getFile() const { return m_file; }
    SCollada* getRoot() const;  // null when the root record does not fit the image

    // Resolution through the image (ResTypes.h).
    template <class T>
    T* get(res::Ptr<T> p) const { return m_file.get(p); }
    template <class T>
    std::span<T> get(const res::vector<T>& v) const { return m_file.get(v); }
    template <class T>
    T* at(const res::vector<T>& v, int32_t i) const { return m_file.at(v, i); }
    template <class T>
    T* as(uint32_t ref) const { return m_file.get(res::Ptr<T>{ref}); }
    const char* str(res::String s) const { return m_file.str(s); }
    const char* cstr(res::String s) const { return m_file.cstr(s); }
    template <class T>
    uint32_t refOf(const T* p) const { return p ? m_file.refOf(p) : 0; }

    // Side tables (run-time fields of the records).
    boost::intrusive_ptr<video::ITexture> getTexture(const SImage* image) const;
    void setTexture(const SImage* image, const boost::intrusive_ptr<video::ITexture>& texture);
    boost::intrusive_ptr<video::CMaterialVertexAttributeMap> getAttributeMap(const SInstanceMaterial* binding) const;
    void setAttributeMap(const SInstanceMaterial* binding, const boost::intrusive_ptr<video::CMaterialVertexAttributeMap>& map);
    const core::stringc& getSourcePath() const { return m_sourcePath; }  // the root's source path
    void setSourcePath(const core::stringc& path) { m_sourcePath = path; }
    // Driver buffers and shared mesh buffers cached for mesh records, by record reference.
    CRecordTable<boost::intrusive_ptr<video::IBuffer>>& bufferCache() { return m_buffers; }
    CRecordTable<boost::intrusive_ptr<scene::CMeshBuffer>>& meshBufferCache() { return m_meshBuffers; }

    void setDependency(CResFile* dependency);  // counted
    CResFile* getDependency() const { return m_dependency; }

    // Frees streamed segments by class mask; bit 0 first makes geometry buffers independent.
    void releaseRemovableBuffer(unsigned char mask);

    // Called with each texture as the file lets go of it (the handle is the file's last one),
    // so that the manager may unregister it.
    std::function<void(boost::intrusive_ptr<video::ITexture>&)> onTextureReleased;

    // The effect of a material whose effect lies in another file (post-load keeps that file).
    void setExternalEffect(const SMaterial* material, const CColladaDatabase& db, SEffect* effect);
    SEffect* getExternalEffect(const SMaterial* material, const CColladaDatabase** db = nullptr) const;

    // The animation side table of the file while one exists (not owned; it holds the file).
    CAnimationFileData* getAnimationData() const { return m_animationData; }
    void setAnimationData(CAnimationFileData* data) { m_animationData = data; }

private:
    CAnimationFileData* m_animationData = nullptr;
    core::stringc m_path;
    res::File m_file;
    io::IReadFile* m_memoryFile = nullptr;  // kept when its buffer is the image
    CResFile* m_dependency = nullptr;
    core::stringc m_sourcePath;
    std::map<uint32_t, boost::intrusive_ptr<video::ITexture>> m_textures;
    std::map<uint32_t, boost::intrusive_ptr<video::CMaterialVertexAttributeMap>> m_attributeMaps;
    CRecordTable<boost::intrusive_ptr<video::IBuffer>> m_buffers;
    CRecordTable<boost::intrusive_ptr<scene::CMeshBuffer>> m_meshBuffers;
    struct SExternalEffect;
    std::map<uint32_t, SExternalEffect*> m_externalEffects;
};

}  // namespace pravik::collada
