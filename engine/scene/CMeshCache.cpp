#include "engine/scene/CMeshCache.h"

#include "engine/core/heapsort.h"
#include "engine/scene/CGeometryCreator.h"
#include "engine/video/image/CImage.h"

#include <algorithm>

namespace pravik::scene {

bool CMeshCache::MeshEntry::operator<(const MeshEntry& o) const
{
    const size_t n = std::min(Name.size(), o.Name.size());
    for (size_t i = 0; i < n; ++i) {
        const signed char a = (signed char)Name[i], b = (signed char)o.Name[i];
        if (a != b) return a < b;
    }
    return Name.size() < o.Name.size();
}

core::stringc CMeshCache::normalise(const char* name)
{
    core::stringc s(name ? name : "");
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = char(c + 32);
    return s;
}

void CMeshCache::addMesh(const char* name, const boost::intrusive_ptr<IAnimatedMesh>& mesh)
{
    MeshEntry entry{normalise(name), mesh};
    Meshes.insert(std::upper_bound(Meshes.begin(), Meshes.end(), entry), std::move(entry));
}

void CMeshCache::removeAt(size_t index) { Meshes.erase(Meshes.begin() + std::ptrdiff_t(index)); }

int CMeshCache::getMeshIndex(const IAnimatedMesh* mesh) const
{
    if (!mesh) return -1;
    for (size_t i = 0; i < Meshes.size(); ++i)
        if (Meshes[i].Mesh.get() == mesh) return int(i);
    return -1;
}

int CMeshCache::frameZeroIndex(const IMesh* mesh) const
{
    if (!mesh) return -1;
    for (size_t i = 0; i < Meshes.size(); ++i)
        if (Meshes[i].Mesh && Meshes[i].Mesh->getMesh(0, 255, -1, -1).get() == mesh) return int(i);
    return -1;
}

int CMeshCache::getMeshIndex(const IMesh* mesh) const { return frameZeroIndex(mesh); }

void CMeshCache::removeMesh(const IAnimatedMesh* mesh)
{
    const int i = getMeshIndex(mesh);
    if (i >= 0) removeAt(size_t(i));
}

void CMeshCache::removeMesh(const IMesh* mesh)
{
    const int i = frameZeroIndex(mesh);
    if (i >= 0) removeAt(size_t(i));
}

boost::intrusive_ptr<IAnimatedMesh> CMeshCache::getMeshByIndex(unsigned index) const
{
    return index < Meshes.size() ? Meshes[index].Mesh : nullptr;
}

boost::intrusive_ptr<IAnimatedMesh> CMeshCache::getMeshByFilename(const char* name) const
{
    MeshEntry key{normalise(name), nullptr};
    auto it = std::lower_bound(Meshes.begin(), Meshes.end(), key);
    return it != Meshes.end() && it->Name == key.Name ? it->Mesh : nullptr;
}

const char* CMeshCache::getMeshFilename(unsigned index) const
{
    return index < Meshes.size() ? Meshes[index].Name.c_str() : nullptr;
}

const char* CMeshCache::getMeshFilename(const IAnimatedMesh* mesh) const
{
    const int i = getMeshIndex(mesh);
    return i < 0 ? nullptr : Meshes[size_t(i)].Name.c_str();
}

const char* CMeshCache::getMeshFilename(const IMesh* mesh) const
{
    const int i = frameZeroIndex(mesh);
    return i < 0 ? nullptr : Meshes[size_t(i)].Name.c_str();
}

void CMeshCache::resort()
{
    if (Meshes.size() >= 2) core::heapsort(Meshes.data(), std::int32_t(Meshes.size()));
}

bool CMeshCache::setMeshFilename(unsigned index, const char* name)
{
    if (index >= Meshes.size()) return false;
    Meshes[index].Name = normalise(name);
    resort();
    return true;
}

bool CMeshCache::setMeshFilename(const IAnimatedMesh* mesh, const char* name)
{
    const int i = getMeshIndex(mesh);
    return i >= 0 && setMeshFilename(unsigned(i), name);
}

bool CMeshCache::setMeshFilename(const IMesh* mesh, const char* name)
{
    const int i = frameZeroIndex(mesh);
    return i >= 0 && setMeshFilename(unsigned(i), name);
}

void CMeshCache::clearUnusedMeshes()
{
    for (size_t i = 0; i < Meshes.size();) {
        if (Meshes[i].Mesh && Meshes[i].Mesh->getReferenceCount() == 1) removeAt(i);
        else ++i;
    }
}

template <class Build>
boost::intrusive_ptr<IAnimatedMesh> CMeshCache::addShape(const char* name, const Build& build)
{
    if (!name) return nullptr;
    if (isMeshLoaded(name)) return getMeshByFilename(name);
    boost::intrusive_ptr<CMesh> mesh = build();
    if (!mesh) return nullptr;
    boost::intrusive_ptr<IAnimatedMesh> animated(new SAnimatedMesh(mesh));
    addMesh(name, animated);
    return animated;
}

boost::intrusive_ptr<IAnimatedMesh> CMeshCache::addHillPlaneMesh(
    unsigned mask, const char* name, const core::dimension2d<float>& tileSize, const core::dimension2d<unsigned>& tileCount,
    const boost::intrusive_ptr<video::CMaterial>& material, const boost::intrusive_ptr<video::CMaterialVertexAttributeMap>& map,
    float hillHeight, const core::dimension2d<float>& countHills, const core::dimension2d<float>& textureRepeatCount)
{
    return addShape(name, [&] {
        return createHillPlaneMesh(mask, Driver, tileSize, tileCount, material, map, hillHeight, countHills,
                                   textureRepeatCount);
    });
}

boost::intrusive_ptr<IAnimatedMesh> CMeshCache::addTerrainMesh(const char* name,
                                                               const boost::intrusive_ptr<video::CImage>& texture,
                                                               const boost::intrusive_ptr<video::CImage>& heightmap,
                                                               const core::dimension2d<float>& stretchSize,
                                                               float maxHeight,
                                                               const core::dimension2d<int>& defaultVertexBlockSize)
{
    return addShape(name, [&] {
        return createTerrainMesh(texture, heightmap, stretchSize, maxHeight, Driver, defaultVertexBlockSize, false);
    });
}

boost::intrusive_ptr<IAnimatedMesh> CMeshCache::addArrowMesh(unsigned mask, const char* name, video::SColor colorCylinder,
                                                             video::SColor colorCone, unsigned tesselationCylinder,
                                                             unsigned tesselationCone, float height,
                                                             float cylinderHeight, float widthCylinder, float widthCone)
{
    return addShape(name, [&] {
        return createArrowMesh(mask, Driver, tesselationCylinder, tesselationCone, height, cylinderHeight,
                               widthCylinder, widthCone, colorCylinder, colorCone);
    });
}

boost::intrusive_ptr<IAnimatedMesh> CMeshCache::addSphereMesh(unsigned mask, const char* name, float radius,
                                                              unsigned columns, unsigned rows)
{
    return addShape(name, [&] { return createSphereMesh(mask, Driver, radius, columns, rows); });
}

}  // namespace pravik::scene
