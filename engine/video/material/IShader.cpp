#include "engine/video/material/IShader.h"

#include "engine/io/IAttributes.h"
#include "engine/os/Printer.h"
#include "engine/video/material/IShaderManager.h"

namespace pravik::video {

namespace {

const char* stageGroup(unsigned stage) { return stage == 0 ? "Stage 0" : "Stage 1"; }

template <class E>
const char* const* names()
{
    return getStringsInternal((E*)nullptr);
}

}  // namespace

IShader::IShader(unsigned short id, const char* name, IVideoDriver* driver)
    : IReferenceCounted(0), m_driver(driver), m_name(name ? name : ""), m_id(id)
{
}

IShader::~IShader()
{
    const auto& services = detail::shadermanager::getDriverServices();
    if (m_driver && services.onShaderDestroyed) services.onShaderDestroyed(m_driver, this);
}

unsigned short IShader::getParameterID(E_SHADER_PARAMETER_TYPE type, E_SHADER_STAGE stage,
                                       unsigned short start) const
{
    const SStage& s = m_stages[stage];
    for (unsigned i = start; i < s.parameterCount; ++i)
        if (s.parameters[i].type == type) return (unsigned short)i;
    return 0xffff;
}

unsigned short IShader::getParameterID(const char* name, E_SHADER_STAGE stage, unsigned short start) const
{
    const auto* interned = core::SSharedString::SData::get(name, false);
    if (!interned) return 0xffff;
    const SStage& s = m_stages[stage];
    for (unsigned i = start; i < s.parameterCount; ++i)
        if (s.parameters[i].name.get() == interned) return (unsigned short)i;
    return 0xffff;
}

unsigned char IShader::getVertexAttributeDefIndex(E_VERTEX_ATTRIBUTE attribute) const
{
    for (unsigned i = 0; i < m_vertexAttributeCount; ++i)
        if (m_vertexAttributes[i].attribute == attribute) return (unsigned char)i;
    return 0xff;
}

boost::intrusive_ptr<IBatchBaker> IShader::getBatchBaker() const
{
    const auto& services = detail::shadermanager::getDriverServices();
    IShaderManager* manager = services.getShaderManager ? services.getShaderManager(m_driver) : nullptr;
    if (!manager) return nullptr;
    const boost::intrusive_ptr<IShader>& entry = manager->get(m_id);
    if (entry.get() != this) return nullptr;  // not registered, or its id belongs to another shader
    auto& properties = manager->getProperties(m_id);
    if (!properties.baker) properties.baker = manager->createBatchBaker(entry.get());
    return properties.baker;
}

void IShader::removeBatchBaker() const
{
    const auto& services = detail::shadermanager::getDriverServices();
    IShaderManager* manager = services.getShaderManager ? services.getShaderManager(m_driver) : nullptr;
    if (manager && manager->get(m_id).get() == this) manager->getProperties(m_id).baker.reset();
}

void IShader::serializeAttributes(io::IAttributes* out) const
{
    out->addString("Name", m_name.c_str(), true);
    out->push("Vertex Attributes");
    for (unsigned i = 0; i < m_vertexAttributeCount; ++i) {
        const SShaderVertexAttributeDef& a = m_vertexAttributes[i];
        out->push(a.name.c_str() ? a.name.c_str() : "");
        out->addEnum("Type", int(a.attribute), names<E_VERTEX_ATTRIBUTE>(), false);
        out->addInt("Index", int(a.index), false);
        out->pop();
    }
    out->pop();
    out->addInt("VertexAttributeMask", int(m_vertexAttributeMask), true);
    for (unsigned stage = 0; stage < ESS_COUNT; ++stage) {
        const SStage& s = m_stages[stage];
        out->push(stageGroup(stage));
        out->addInt("ParameterCount", s.parameterCount, true);
        out->push("Parameters");
        for (unsigned i = 0; i < s.parameterCount; ++i) {
            const SShaderParameterDef& d = s.parameters[i];
            out->push(d.name.c_str() ? d.name.c_str() : "");
            out->addEnum("Type", int(d.type), names<E_SHADER_PARAMETER_TYPE>(), false);
            out->addEnum("ValueType", int(d.valueType), names<E_SHADER_PARAMETER_VALUE_TYPE>(), true);
            out->addInt("SubID", d.subId, false);
            out->addInt("ArraySize", int(d.arraySize), true);
            out->addInt("Index", int(d.index), true);
            out->pop();
        }
        out->pop();
        out->pop();
    }
}

// Only definitions the shader has are updated; an enumeration that is missing or unknown
// keeps the value the definition had.
void IShader::deserializeAttributes(io::IAttributes* in)
{
    m_name = in->getString("Name").c_str();
    m_vertexAttributeMask = 0;
    in->push("Vertex Attributes");
    for (unsigned i = 0; i < m_vertexAttributeCount; ++i) {
        SShaderVertexAttributeDef& a = m_vertexAttributes[i];
        in->push(a.name.c_str() ? a.name.c_str() : "");
        const int attribute = in->getEnum("Type", names<E_VERTEX_ATTRIBUTE>());
        if (attribute < 0)
            os::Printer::log("Shader vertex attribute type missing or unknown, kept", a.name.c_str(),
                             ELL_WARNING);
        else
            a.attribute = (unsigned short)attribute;
        a.index = (unsigned short)in->getInt("Index");
        if (a.attribute < 32) m_vertexAttributeMask |= 1u << a.attribute;
        in->pop();
    }
    in->pop();
    if (m_stages[0].parameters) {
        for (unsigned stage = 0; stage < ESS_COUNT; ++stage) {
            SStage& s = m_stages[stage];
            in->push(stageGroup(stage));
            in->push("Parameters");
            for (unsigned i = 0; i < s.parameterCount; ++i) {
                SShaderParameterDef& d = s.parameters[i];
                in->push(d.name.c_str() ? d.name.c_str() : "");
                const int type = in->getEnum("Type", names<E_SHADER_PARAMETER_TYPE>());
                if (type < 0)
                    os::Printer::log("Shader parameter type missing or unknown, kept", d.name.c_str(),
                                     ELL_WARNING);
                else
                    d.type = (unsigned short)type;
                d.subId = (unsigned char)in->getInt("SubID");
                in->pop();
            }
            in->pop();
            in->pop();
        }
    }
    m_vertexAttributeMask = (unsigned int)in->getInt("VertexAttributeMask");
}

}  // namespace pravik::video
