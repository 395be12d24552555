#pragma once
// Texture coordinates generated on the processor for units whose generation is a sphere map
// (OpenGL ES 1.x has none). Every array is read or written at its own byte stride, so
// interleaved vertex buffers are read in place. Nothing is allocated.

#include "engine/core/CMatrix4.h"
#include "engine/core/vector2d.h"
#include "engine/core/vector3d.h"

namespace pravik::video {

// Reflection-vector sphere map in eye space. Without a normal matrix the normals are turned by
// the model-view matrix and not normalised. A reflection of exactly (0, 0, -1) gives (0.5, 0.5).
void computeSphereMapTexCoords(const core::CMatrix4<float>& modelView,
                               const core::CMatrix4<float>* normalMatrix, unsigned int count,
                               const core::vector3d<float>* positions, unsigned int positionStride,
                               const core::vector3d<float>* normals, unsigned int normalStride,
                               core::vector2d<float>* texCoords, unsigned int texCoordStride);

// The turned normal used directly: s = 0.5 + 0.5 x, t = 0.5 - 0.5 y (x, y divided by the
// three-component length when normalising).
void computeSimpleSphereMapTexCoords(const core::CMatrix4<float>& matrix, unsigned int count,
                                     const core::vector3d<float>* normals, unsigned int normalStride,
                                     core::vector2d<float>* texCoords, unsigned int texCoordStride,
                                     bool normalize);

}  // namespace pravik::video
