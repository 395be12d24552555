#pragma once
// Simple shapes as new meshes: plane, cube, sphere, cone, cylinder, arrow and hill plane, each
// one buffer (the arrow two) of 16-bit indexed triangles over one interleaved vertex buffer.
// Positions are always written; texture coordinate 0, normal and colour 0 as far as the
// attribute mask asks; everything else stays zero. A shape that cannot be built (tesselation
// 0, sphere counts adjusted to 0, 65536 vertices or more) gives an empty pointer.

#include "engine/core/dimension2d.h"
#include "engine/scene/CMesh.h"
#include "engine/video/SColor.h"

namespace pravik::video {
class CImage;
class IVideoDriver;
}  // namespace pravik::video

namespace pravik::scene {

boost::intrusive_ptr<CMesh> createPlaneMesh(unsigned mask, video::IVideoDriver* driver, float size, const video::SColor& color);
boost::intrusive_ptr<CMesh> createCubeMesh(unsigned mask, video::IVideoDriver* driver, float size);
boost::intrusive_ptr<CMesh> createSphereMesh(unsigned mask, video::IVideoDriver* driver, float radius, unsigned columns,
                                             unsigned rows);
boost::intrusive_ptr<CMesh> createConeMesh(unsigned mask, video::IVideoDriver* driver, float radius, float length,
                                           unsigned tesselation, const video::SColor& top, const video::SColor& bottom,
                                           float oblique);
boost::intrusive_ptr<CMesh> createCylinderMesh(unsigned mask, video::IVideoDriver* driver, float radius, float length,
                                               unsigned tesselation, const video::SColor& color, bool closeTop,
                                               float oblique);
boost::intrusive_ptr<CMesh> createArrowMesh(unsigned mask, video::IVideoDriver* driver, unsigned tesselationCylinder,
                                            unsigned tesselationCone, float height, float cylinderHeight,
                                            float widthCylinder, float widthCone, video::SColor colorCylinder,
                                            video::SColor colorCone);
boost::intrusive_ptr<CMesh> createHillPlaneMesh(unsigned mask, video::IVideoDriver* driver,
                                                const core::dimension2d<float>& tileSize,
                                                const core::dimension2d<unsigned>& tileCount,
                                                const boost::intrusive_ptr<video::CMaterial>& material,
                                                const boost::intrusive_ptr<video::CMaterialVertexAttributeMap>& map,
                                                float hillHeight, const core::dimension2d<float>& countHills,
                                                const core::dimension2d<float>& textureRepeatCount);
// The engine builds no terrain from images: always empty.
boost::intrusive_ptr<CMesh> createTerrainMesh(const boost::intrusive_ptr<video::CImage>& texture,
                                              const boost::intrusive_ptr<video::CImage>& heightmap,
                                              const core::dimension2d<float>& stretchSize, float maxHeight,
                                              video::IVideoDriver* driver, const core::dimension2d<int>& defaultVertexBlockSize,
                                              bool debugBorders);

}  // namespace pravik::scene
