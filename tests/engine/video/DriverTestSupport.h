#pragma once
// What the driver tests share: a process-buffer heap for the test's lifetime and a null
// driver with its implementation data. A test whose driver counts texture references holds a
// pravik::CEngineServicesScope that outlives the driver.

#include "engine/EngineServices.h"
#include "engine/core/ProcessBuffer.h"
#include "engine/video/CNullDriver.h"

#include <gtest/gtest.h>

namespace test {

class ProcessBufferHeap {
public:
    ProcessBufferHeap() { pravik::core::setProcessBufferHeapSize(0x10000); }
    ~ProcessBufferHeap() { pravik::core::setProcessBufferHeapSize(0); }
};

inline boost::intrusive_ptr<pravik::video::CNullDriver> makeNullDriver()
{
    boost::intrusive_ptr<pravik::video::CNullDriver> driver(new pravik::video::CNullDriver(static_cast<pravik::IDevice*>(nullptr)), false);
    driver->initImplementationDependentData();
    return driver;
}

}  // namespace test

#include "engine/video/material/CMaterialRendererManager.h"
#include "engine/video/material/CNullShader.h"
#include "engine/video/material/IShaderManager.h"

#include <vector>

namespace test {

struct ParameterSpec {
    const char* name;
    unsigned short type;
    unsigned char valueType;
    unsigned char subId = 0xff;
};

// A null shader with stage-0 parameters and vertex inputs of its own, registered with the
// driver's shader manager under its name.
class TestShader : public pravik::video::CNullShader {
public:
    TestShader(pravik::video::IVideoDriver* driver, unsigned short id, const char* name,
               const std::vector<ParameterSpec>& parameters, const std::vector<unsigned short>& inputs)
        : CNullShader(id, name, driver), m_defs(parameters.size()), m_inputs(inputs.size())
    {
        for (size_t i = 0; i < parameters.size(); ++i) {
            m_defs[i].name = parameters[i].name;
            m_defs[i].type = parameters[i].type;
            m_defs[i].valueType = parameters[i].valueType;
            m_defs[i].subId = parameters[i].subId;
            m_defs[i].arraySize = 1;
            m_defs[i].index = unsigned(i);
        }
        m_stages[0].parameters = m_defs.data();
        m_stages[0].parameterCount = (unsigned short)m_defs.size();
        m_vertexAttributeMask = 0;
        for (size_t i = 0; i < inputs.size(); ++i) {
            m_inputs[i].attribute = inputs[i];
            m_inputs[i].index = (unsigned short)i;
            m_vertexAttributeMask |= 1u << inputs[i];
        }
        m_vertexAttributes = m_inputs.data();
        m_vertexAttributeCount = (unsigned char)m_inputs.size();
        m_firstLightSubId = 0;
    }
    ~TestShader() override
    {
        m_stages[0].parameters = nullptr;
        m_vertexAttributes = nullptr;
    }

private:
    std::vector<pravik::video::SShaderParameterDef> m_defs;
    std::vector<pravik::video::SShaderVertexAttributeDef> m_inputs;
};

inline boost::intrusive_ptr<pravik::video::IShader> addTestShader(pravik::video::IVideoDriver& driver, const char* name,
                                                                  const std::vector<ParameterSpec>& parameters,
                                                                  const std::vector<unsigned short>& inputs)
{
    pravik::video::IShaderManager* shaders = driver.getShaderManager();
    boost::intrusive_ptr<pravik::video::IShader> shader(new TestShader(&driver, shaders->getNextId(), name, parameters, inputs));
    shaders->addShader(shader);
    return shader;
}

// A one-technique, one-pass renderer over the shader with the given render state words.
inline unsigned short buildRenderer(pravik::video::IVideoDriver& driver, const char* name,
                                    const boost::intrusive_ptr<pravik::video::IShader>& shader, unsigned word0 = 0x18FF0001u,
                                    unsigned word1 = 0x00180007u)
{
    pravik::video::CMaterialRendererManager& m = *driver.getMaterialRendererManager();
    if (!m.beginMaterialRenderer(name, true)) return m.endMaterialRenderer();
    m.beginTechnique("Technique #1", true);
    pravik::video::detail::renderpass::SRenderState state;
    state.word0 = word0;
    state.word1 = word1;
    m.addRenderPass(boost::intrusive_ptr<const pravik::video::IShader>(shader), state);
    m.endTechnique(true, 0);
    return m.endMaterialRenderer();
}

}  // namespace test
