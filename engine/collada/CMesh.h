#pragma once
// The static mesh of a geometry record: one engine mesh buffer per SMeshBuffer record, each
// with the material and vertex attribute map the scene database binds to it. Buffers are
// built over the record data (not copied); their driver buffers are cached in the file's side
// tables, so every mesh made from one record uses the same ones, and with sharing on the mesh
// buffers themselves are shared too (materials live in the mesh entries, never shared).
// A record that does not describe a drawable mesh (more than 32 buffers, an unknown kind,
// attributes past the sources, data past the file) builds no mesh.

#include "engine/collada/CColladaFactory.h"
#include "engine/collada/IMesh.h"

#include <boost/container/small_vector.hpp>

namespace pravik::collada {

class CMesh : public IMesh {
public:
    CMesh(const CColladaDatabase& db, video::IVideoDriver* driver, const SGeometry& geometry,
          const SBufferConfig& vertexConfig, const SBufferConfig& indexConfig, bool share);
    CMesh(const CMesh& other);

    bool isValid() const { return m_valid; }  // false: the record was refused (logged)

    boost::intrusive_ptr<scene::IMesh> clone() const override;
    unsigned getMeshBufferCount() const override { return unsigned(m_entries.size()); }
    boost::intrusive_ptr<scene::CMeshBuffer> getMeshBuffer(unsigned i) const override;
    boost::intrusive_ptr<video::CMaterial> getMaterial(unsigned i) const override;
    boost::intrusive_ptr<video::CMaterialVertexAttributeMap> getMaterialVertexAttributeMap(unsigned i) const override;
    void setMaterial(unsigned i, const boost::intrusive_ptr<video::CMaterial>& material,
                     const boost::intrusive_ptr<video::CMaterialVertexAttributeMap>& map) override;
    const core::aabbox3d<float>& getBoundingBox() const override { return m_box; }
    void setBoundingBox(const core::aabbox3d<float>& box) override { m_box = box; }
    int getType() const override { return ECMT_STATIC; }

private:
    struct SEntry {
        boost::intrusive_ptr<scene::CMeshBuffer> buffer;
        boost::intrusive_ptr<video::CMaterial> material;
        boost::intrusive_ptr<video::CMaterialVertexAttributeMap> map;
    };
    boost::container::small_vector<SEntry, 1> m_entries;  // most records hold one buffer
    core::aabbox3d<float> m_box{-1, -1, -1, 1, 1, 1};
    bool m_valid = false;
};

// The engine mesh buffer of mesh-buffer record i, over the record's data; none when the
// record is refused (the reason is logged).
boost::intrusive_ptr<scene::CMeshBuffer> createMeshBuffer(CResFile& file, video::IVideoDriver* driver, SMesh& mesh,
                                                          unsigned i, const SBufferConfig& vertexConfig,
                                                          const SBufferConfig& indexConfig);

}  // namespace pravik::collada
