#pragma once
// The batch baker of every shader that is not a fixed-function one: merged vertices take the
// shader's inputs in order (position, normals, tangents and binormals as 3 floats, colours as
// 4 bytes, texture coordinates as 2 floats); only materials equal to the batch's source in
// everything but their world transformation join the batch.

#include "engine/core/pravikString.h"
#include "engine/video/material/CMaterial.h"
#include "engine/video/material/CVertexAttributeMap.h"
#include "engine/video/material/IBatchBaker.h"

namespace pravik::video {

class IShader;
class CMaterialRendererManager;

class CGenericBaker : public IBatchBaker {
public:
    explicit CGenericBaker(const IShader* shader);

    bool bake(const CVertexStreams* sourceStreams, const CPrimitiveStream* sourcePrimitives, const CMaterial* sourceMaterial,
              unsigned char technique, const unsigned char* sourceTable, CVertexStreams* destStreams,
              CPrimitiveStream* destPrimitives, CMaterial* destMaterial, const unsigned char* destTable, IVideoDriver* driver,
              unsigned vertexStart, unsigned vertexEnd, unsigned firstPrimitive, unsigned endPrimitive, unsigned firstVertex,
              unsigned firstTriangle, unsigned attributeMask) override;
    boost::intrusive_ptr<CMaterial> getBatchMaterial(const boost::intrusive_ptr<CMaterial>& material, unsigned char technique) override;
    const boost::intrusive_ptr<CVertexAttributeMap>& getVertexAttributeMap() override { return m_attributeMap; }
    void configureAppendBuffer(scene::CAppendMeshBuffer* appendBuffer) override;
    bool isCompatible(const boost::intrusive_ptr<CMaterial>& material, unsigned char technique) override;

    const IShader* getShader() const { return m_shader; }
    unsigned short getBatchRendererId() const { return m_batchRendererId; }

protected:
    virtual bool bakesTextureMatrices() const { return false; }
    // Lays out the shader's inputs; the attribute map and the byte size so far.
    unsigned configureInputs(scene::CAppendMeshBuffer* buffer, unsigned char* table) const;
    void finishConfiguration(scene::CAppendMeshBuffer* buffer, const unsigned char* table, unsigned size);
    // Builds the batch renderer on first use (one technique per shader given, named as given)
    // or updates its render states; false when no renderer could be built.
    bool prepareBatchRenderer(const CMaterial& source, unsigned char technique, const IShader* const* shaders,
                              const char* const* techniqueNames, unsigned techniqueCount);

    const IShader* m_shader;
    unsigned m_extraAttributes = 0;
    boost::intrusive_ptr<CVertexAttributeMap> m_attributeMap;
    unsigned short m_batchRendererId = 0xffff;
    boost::intrusive_ptr<CMaterial> m_batchMaterial;
};

namespace detail {
// A name of the given length that the renderer registry does not know yet.
core::stringc makeUniqueRendererName(CMaterialRendererManager& manager, unsigned length);
}

}  // namespace pravik::video
