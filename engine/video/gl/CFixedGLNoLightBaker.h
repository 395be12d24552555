#pragma once
// The batch baker of fixed-function shaders without lights: texture matrices and the diffuse
// colour are baked into the merged vertices (a colour stream is added when the shader takes
// none), so materials that differ only in those join one batch.

#include "engine/video/material/CGenericBaker.h"

namespace pravik::video {

class CFixedGLNoLightBaker : public CGenericBaker {
public:
    explicit CFixedGLNoLightBaker(const IShader* shader) : CGenericBaker(shader) {}

    boost::intrusive_ptr<CMaterial> getBatchMaterial(const boost::intrusive_ptr<CMaterial>& material, unsigned char technique) override;
    void configureAppendBuffer(scene::CAppendMeshBuffer* appendBuffer) override;
    bool isCompatible(const boost::intrusive_ptr<CMaterial>& material, unsigned char technique) override;

protected:
    bool bakesTextureMatrices() const override { return true; }
};

// The batch baker of fixed-function shaders with lights: two techniques, without and with
// colour material, each drawn with the shader variant of that colour-material setting.
class CFixedGLLightBaker : public CGenericBaker {
public:
    explicit CFixedGLLightBaker(const IShader* shader) : CGenericBaker(shader) {}

    boost::intrusive_ptr<CMaterial> getBatchMaterial(const boost::intrusive_ptr<CMaterial>& material, unsigned char technique) override;
    void configureAppendBuffer(scene::CAppendMeshBuffer* appendBuffer) override;
    bool isCompatible(const boost::intrusive_ptr<CMaterial>& material, unsigned char technique) override;
    const IShader* getShaderVariant(bool colorMaterial);  // the shader itself, or its variant (made once)

protected:
    bool bakesTextureMatrices() const override { return true; }
    boost::intrusive_ptr<IShader> m_variant;
    unsigned char m_batchTechnique = 0;
};

}  // namespace pravik::video
