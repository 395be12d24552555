#pragma once
// Merges draws made with one shader into batches; the implementations belong to the
// batching code. BakerMap holds bakers by 32-bit key, one reference each.

#include <boost/intrusive_ptr.hpp>
#include <map>

#include "engine/IReferenceCounted.h"

namespace pravik::scene {
class CAppendMeshBuffer;
}

namespace pravik::video {

class CVertexStreams;
class CPrimitiveStream;
class CMaterial;
class CVertexAttributeMap;
class IVideoDriver;

class IBatchBaker : public IReferenceCounted {
public:
    IBatchBaker() : IReferenceCounted(0) {}

    virtual bool bake(const CVertexStreams* sourceStreams, const CPrimitiveStream* sourcePrimitives,
                      const CMaterial* sourceMaterial, unsigned char technique,
                      const unsigned char* sourceTable, CVertexStreams* destStreams,
                      CPrimitiveStream* destPrimitives, CMaterial* destMaterial,
                      const unsigned char* destTable, IVideoDriver* driver, unsigned vertexStart,
                      unsigned vertexCount, unsigned indexStart, unsigned indexCount,
                      unsigned destVertexOffset, unsigned destIndexOffset, unsigned flags) = 0;
    virtual boost::intrusive_ptr<CMaterial> getBatchMaterial(const boost::intrusive_ptr<CMaterial>& material,
                                                             unsigned char technique) = 0;
    virtual const boost::intrusive_ptr<CVertexAttributeMap>&
    getVertexAttributeMap() = 0;  // of merged geometry
    virtual void configureAppendBuffer(scene::CAppendMeshBuffer* appendBuffer) = 0;
    virtual bool isCompatible(const boost::intrusive_ptr<CMaterial>& material, unsigned char technique) = 0;
};

}  // namespace pravik::video

namespace pravik {

using BakerMapType = std::map<unsigned int, boost::intrusive_ptr<video::IBatchBaker>>;
extern BakerMapType BakerMap;  // process-wide, empty at start-up

}  // namespace pravik
