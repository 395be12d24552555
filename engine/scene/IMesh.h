#pragma once
// A mesh: an ordered list of mesh buffers, each drawn with its material and the attribute map
// that binds the material's passes to the buffer's streams, plus a box. An animated mesh adds
// frames. Out-of-range indices give empty pointers and are ignored by setters.

#include "engine/IReferenceCounted.h"
#include "engine/core/aabbox3d.h"
#include "engine/scene/CMeshBuffer.h"
#include "engine/video/material/CMaterial.h"
#include "engine/video/material/CMaterialRenderer.h"
#include "engine/video/material/CVertexAttributeMap.h"

#include <boost/intrusive_ptr.hpp>

namespace pravik::scene {

class IMesh : public IReferenceCounted {
public:
    IMesh() : IReferenceCounted(0) {}
    virtual boost::intrusive_ptr<IMesh> clone() const = 0;
    virtual unsigned getMeshBufferCount() const = 0;
    virtual boost::intrusive_ptr<CMeshBuffer> getMeshBuffer(unsigned index) const = 0;
    virtual boost::intrusive_ptr<video::CMaterial> getMaterial(unsigned index) const = 0;
    virtual boost::intrusive_ptr<video::CMaterialVertexAttributeMap> getMaterialVertexAttributeMap(unsigned index) const = 0;
    virtual void setMaterial(unsigned index, const boost::intrusive_ptr<video::CMaterial>& material,
                             const boost::intrusive_ptr<video::CMaterialVertexAttributeMap>& attributeMap) = 0;
    virtual const core::aabbox3d<float>& getBoundingBox() const = 0;
    virtual void setBoundingBox(const core::aabbox3d<float>& box) = 0;
    virtual const void* getUserProperty() const { return nullptr; }
};

enum E_ANIMATED_MESH_TYPE : unsigned { EAMT_UNKNOWN = 0 };

class IAnimatedMesh : public IMesh {
public:
    virtual unsigned getFrameCount() const = 0;
    virtual boost::intrusive_ptr<IMesh> getMesh(int frame, int detailLevel = 255, int startFrameLoop = -1,
                                                int endFrameLoop = -1) = 0;
    virtual E_ANIMATED_MESH_TYPE getMeshType() const { return EAMT_UNKNOWN; }
};

}  // namespace pravik::scene
