#pragma once
// What merging geometry and materials needs: copying and comparing single material
// parameters, rewriting a draw's primitives as a 16-bit triangle list inside a shared index
// buffer, and quantising vertex data. Stateless; main thread only.

#include "engine/core/vector2d.h"
#include "engine/core/vector3d.h"
#include "engine/video/material/CMaterial.h"
#include "engine/video/material/CPrimitiveStream.h"

#include <boost/intrusive_ptr.hpp>

namespace pravik::scene {
class CMeshBuffer;
}  // namespace pravik::scene

namespace pravik::video {
class CVertexStreams;
class IShader;
class IVideoDriver;
}  // namespace pravik::video

namespace pravik::core {

// Copies vertices [vertexStart, vertexEnd) of the shader's inputs into the batch streams from
// merged vertex firstVertex on: positions by the driver's world transformation, normals,
// tangents and binormals by its rotation, texture coordinates (sets 0-7) by the material's
// texture matrices when asked; inputs the source lacks get neutral values (colour: the
// material's diffuse colour, else white). Quantised sources are decoded first.
void overrideVertexStreams(const video::IShader& shader, const video::CVertexStreams& source,
                           const unsigned char* sourceAttributeMap, video::CVertexStreams& batch,
                           const video::CMaterial* material, const video::IVideoDriver& driver, unsigned vertexStart,
                           unsigned vertexEnd, unsigned firstVertex, unsigned attributeMask, bool bakeTextureMatrices,
                           unsigned extraAttributes = 0);  // batch attributes filled though not shader inputs

// Both ids must name parameters; elements below the smaller array count. Always true.
bool copyParameter(const boost::intrusive_ptr<video::CMaterial>& destination, unsigned short destinationId,
                   const boost::intrusive_ptr<const video::CMaterial>& source, unsigned short sourceId);
// False for other array counts or value types; else whether every element pair is equal.
bool compareParameter(const boost::intrusive_ptr<const video::CMaterial>& first, unsigned short firstId,
                      const boost::intrusive_ptr<const video::CMaterial>& second, unsigned short secondId);
// Every binding of the first pass of both current techniques that names a parameter on both sides.
void copyMaterialParameters(const boost::intrusive_ptr<video::CMaterial>& destination,
                            const boost::intrusive_ptr<const video::CMaterial>& source);

// Writes primitives [firstPrimitive, endPrimitive) of the source as triangles from triangle
// slot firstTriangle of the destination's 16-bit indices, each index shifted by indexOffset
// so that it names the copied vertex (non-indexed sources count from their first vertex).
// Writes nothing past either buffer; quads, lines and points write nothing. The triangles written.
unsigned overridePrimitiveStream(const video::CPrimitiveStream& source, unsigned firstPrimitive, unsigned endPrimitive,
                                 video::CPrimitiveStream& destination, unsigned firstTriangle, int indexOffset);

// Unit vectors as 3 T values scaled by 127 (char) or 32767 (short), truncated.
template <class T>
void quantize(unsigned char* destination, unsigned destinationStride, const vector3d<float>* source, unsigned sourceStride,
              unsigned count);
// Values as shorts around the centre of their range; value = stored * scale + offset.
void quantizeScaleOffset(unsigned char* destination, unsigned destinationStride, const vector3d<float>* source,
                         unsigned sourceStride, unsigned count, vector3d<float>& scale, vector3d<float>& offset);
void quantizeScaleOffset(unsigned char* destination, unsigned destinationStride, const vector2d<float>* source,
                         unsigned sourceStride, unsigned count, vector2d<float>& scale, vector2d<float>& offset);

// A copy of the buffer with float texture coordinates as shorts (scale and offset in the stream
// set's table), float normals as bytes or shorts and, when asked, float positions as shorts with
// a scale and offset; the primitive stream is shared. Null without streams or driver.
boost::intrusive_ptr<scene::CMeshBuffer> createQuantizedBuffer(const boost::intrusive_ptr<const scene::CMeshBuffer>& meshBuffer,
                                                               bool normalsAs16Bit, bool quantizePositions,
                                                               video::IVideoDriver* driver);

}  // namespace pravik::core
