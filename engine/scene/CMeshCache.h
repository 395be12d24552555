#pragma once
// The scene manager's named meshes: entries kept sorted by name (ASCII capitals folded to lower
// case when stored), looked up by halving. Names need not be unique. Renaming re-sorts with
// the engine's unstable heap sort.

#include "engine/IReferenceCounted.h"
#include "engine/core/dimension2d.h"
#include "engine/core/pravikString.h"
#include "engine/video/SColor.h"
#include "engine/scene/IMesh.h"

#include <vector>

namespace pravik::video {
class CImage;
class IVideoDriver;
}

namespace pravik::scene {

class IMeshCache : public IReferenceCounted {
public:
    virtual void addMesh(const char* name, const boost::intrusive_ptr<IAnimatedMesh>& mesh) = 0;
    virtual void removeMesh(const IAnimatedMesh* mesh) = 0;
    virtual void removeMesh(const IMesh* mesh) = 0;
    virtual unsigned getMeshCount() const = 0;
    virtual int getMeshIndex(const IAnimatedMesh* mesh) const = 0;  // -1 when absent
    virtual int getMeshIndex(const IMesh* mesh) const = 0;
    virtual boost::intrusive_ptr<IAnimatedMesh> getMeshByIndex(unsigned index) const = 0;
    virtual boost::intrusive_ptr<IAnimatedMesh> getMeshByFilename(const char* name) const = 0;
    virtual const char* getMeshFilename(unsigned index) const = 0;
    virtual const char* getMeshFilename(const IAnimatedMesh* mesh) const = 0;
    virtual const char* getMeshFilename(const IMesh* mesh) const = 0;
    virtual bool setMeshFilename(unsigned index, const char* name) = 0;
    virtual bool setMeshFilename(const IAnimatedMesh* mesh, const char* name) = 0;
    virtual bool setMeshFilename(const IMesh* mesh, const char* name) = 0;
    virtual bool isMeshLoaded(const char* name) const = 0;
    virtual void clear() = 0;
    virtual void clearUnusedMeshes() = 0;
};

class CMeshCache : public IMeshCache {
public:
    struct MeshEntry {
        core::stringc Name;
        boost::intrusive_ptr<IAnimatedMesh> Mesh;
        bool operator<(const MeshEntry& o) const;  // bytes as signed values; a prefix first
    };

    explicit CMeshCache(video::IVideoDriver* driver) : Driver(driver) {}

    void addMesh(const char* name, const boost::intrusive_ptr<IAnimatedMesh>& mesh) override;
    void removeMesh(const IAnimatedMesh* mesh) override;
    void removeMesh(const IMesh* mesh) override;
    unsigned getMeshCount() const override { return unsigned(Meshes.size()); }
    int getMeshIndex(const IAnimatedMesh* mesh) const override;
    int getMeshIndex(const IMesh* mesh) const override;
    boost::intrusive_ptr<IAnimatedMesh> getMeshByIndex(unsigned index) const override;
    boost::intrusive_ptr<IAnimatedMesh> getMeshByFilename(const char* name) const override;
    const char* getMeshFilename(unsigned index) const override;
    const char* getMeshFilename(const IAnimatedMesh* mesh) const override;
    const char* getMeshFilename(const IMesh* mesh) const override;
    bool setMeshFilename(unsigned index, const char* name) override;
    bool setMeshFilename(const IAnimatedMesh* mesh, const char* name) override;
    bool setMeshFilename(const IMesh* mesh, const char* name) override;
    bool isMeshLoaded(const char* name) const override { return bool(getMeshByFilename(name)); }
    void clear() override { Meshes.clear(); }
    void clearUnusedMeshes() override;

    // Named shapes built with the geometry creator and stored under name; a name already
    // loaded answers its mesh without building; null for a null name or a shape not built.
    boost::intrusive_ptr<IAnimatedMesh> addHillPlaneMesh(unsigned mask, const char* name,
                                                         const core::dimension2d<float>& tileSize,
                                                         const core::dimension2d<unsigned>& tileCount,
                                                         const boost::intrusive_ptr<video::CMaterial>& material,
                                                         const boost::intrusive_ptr<video::CMaterialVertexAttributeMap>& map,
                                                         float hillHeight, const core::dimension2d<float>& countHills,
                                                         const core::dimension2d<float>& textureRepeatCount);
    boost::intrusive_ptr<IAnimatedMesh> addTerrainMesh(const char* name, const boost::intrusive_ptr<video::CImage>& texture,
                                                       const boost::intrusive_ptr<video::CImage>& heightmap,
                                                       const core::dimension2d<float>& stretchSize, float maxHeight,
                                                       const core::dimension2d<int>& defaultVertexBlockSize);
    boost::intrusive_ptr<IAnimatedMesh> addArrowMesh(unsigned mask, const char* name, video::SColor colorCylinder,
                                                     video::SColor colorCone, unsigned tesselationCylinder,
                                                     unsigned tesselationCone, float height, float cylinderHeight,
                                                     float widthCylinder, float widthCone);
    boost::intrusive_ptr<IAnimatedMesh> addSphereMesh(unsigned mask, const char* name, float radius, unsigned columns,
                                                      unsigned rows);

    static core::stringc normalise(const char* name);

private:
    template <class Build>
    boost::intrusive_ptr<IAnimatedMesh> addShape(const char* name, const Build& build);
    int frameZeroIndex(const IMesh* mesh) const;
    void resort();
    void removeAt(size_t index);

    std::vector<MeshEntry> Meshes;
    video::IVideoDriver* Driver;
};

}  // namespace pravik::scene
