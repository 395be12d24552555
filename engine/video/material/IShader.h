#pragma once
// What a render pass draws with: an id, a name, one table of parameter definitions for each
// of the two stages and the vertex attributes it reads. A stage's leading definitions of
// engine-supplied types (35 to 64) are counted apart: render pass binding tables skip them.
// Derived shaders allocate the definition tables and free them; the base frees only its name.
// Attribute form (".shd" files): "Name"; "Vertex Attributes"/<attribute>/{"Type","Index"};
// "VertexAttributeMask"; "Stage 0" and "Stage 1" with "ParameterCount" and
// "Parameters"/<parameter>/{"Type","ValueType","SubID","ArraySize","Index"}. Reading only
// updates definitions the shader already has, matched by name.

#include <boost/intrusive_ptr.hpp>

#include "engine/IReferenceCounted.h"
#include "engine/core/SSharedString.h"
#include "engine/core/pravikString.h"
#include "engine/video/material/EShaderParameterType.h"
#include "engine/video/material/EVertexAttribute.h"
#include "engine/video/material/SShaderParameterDef.h"

namespace pravik::io {
class IAttributes;
}

namespace pravik::video {

class IVideoDriver;
class IBatchBaker;

struct SShaderVertexAttributeDef {
    core::SSharedString name;  // from the vertex attribute name table
    unsigned short attribute = 0;
    unsigned short index = 0xffff;  // input index; 0xffff without numbered inputs
};

class IShader : public IReferenceCounted {
public:
    struct SStage {
        SShaderParameterDef* parameters = nullptr;
        unsigned short engineParameterCount = 0;  // leading engine-supplied definitions
        unsigned short parameterCount = 0;
    };

    IShader(unsigned short id, const char* name, IVideoDriver* driver);
    ~IShader() override;  // tells the driver first
    IShader(const IShader&) = delete;
    IShader& operator=(const IShader&) = delete;

    // Index within the stage of the first definition at or after start with the type or the
    // name; 0xffff when none. A name that was never interned matches nothing.
    unsigned short getParameterID(E_SHADER_PARAMETER_TYPE type, E_SHADER_STAGE stage,
                                  unsigned short start = 0) const;
    unsigned short getParameterID(const char* name, E_SHADER_STAGE stage, unsigned short start = 0) const;
    unsigned char getVertexAttributeDefIndex(E_VERTEX_ATTRIBUTE attribute) const;  // 255 when absent
    boost::intrusive_ptr<IBatchBaker> getBatchBaker() const;  // made on first use; null when unregistered
    void removeBatchBaker() const;

    unsigned short getId() const { return m_id; }
    const core::stringc& getName() const { return m_name; }
    IVideoDriver* getVideoDriver() const { return m_driver; }
    const SStage& getStage(E_SHADER_STAGE stage) const { return m_stages[stage]; }
    const SShaderParameterDef* getParameters(E_SHADER_STAGE stage) const
    {
        return m_stages[stage].parameters;
    }
    unsigned short getParameterCount(E_SHADER_STAGE stage) const { return m_stages[stage].parameterCount; }
    unsigned short getEngineParameterCount(E_SHADER_STAGE stage) const
    {
        return m_stages[stage].engineParameterCount;
    }
    unsigned getTotalParameterCount() const
    {
        return unsigned(m_stages[0].parameterCount) + m_stages[1].parameterCount;
    }
    const SShaderVertexAttributeDef* getVertexAttributeDefs() const { return m_vertexAttributes; }
    unsigned char getVertexAttributeCount() const { return m_vertexAttributeCount; }
    unsigned int getVertexAttributeMask() const { return m_vertexAttributeMask; }
    unsigned char getFirstLightSubId() const { return m_firstLightSubId; }

    virtual void serializeAttributes(io::IAttributes* out) const;
    virtual void deserializeAttributes(io::IAttributes* in);
    virtual void releaseDriverSpecificResources() = 0;  // what the driver made for the shader

protected:
    IVideoDriver* m_driver;
    core::stringc m_name;
    SShaderVertexAttributeDef* m_vertexAttributes = nullptr;
    SStage m_stages[ESS_COUNT];
    unsigned int m_vertexAttributeMask = 0;
    unsigned char m_vertexAttributeCount = 0;
    unsigned char m_firstLightSubId = 0xff;
    unsigned short m_id;
};

}  // namespace pravik::video
