#include "engine/video/material/CGenericBaker.h"

#include "engine/scene/CAppendMeshBuffer.h"
#include "engine/video/material/BatchUtils.h"
#include "engine/video/material/CMaterialRendererManager.h"
#include "engine/video/material/IShader.h"
#include "engine/video/IVideoDriver.h"

#include <new>

namespace pravik::video {

namespace {

// The merged layout of one shader input: value type, components, bytes; none for skin data.
bool layoutOf(unsigned attribute, E_VERTEX_ATTRIBUTE_VALUE_TYPE& type, unsigned short& components, unsigned& bytes)
{
    if (attribute == EVA_POSITION || attribute == EVA_NORMAL || (attribute >= EVA_TANGENT0 && attribute <= EVA_BINORMAL3)) {
        type = EVAVT_FLOAT, components = 3, bytes = 12;
    } else if (attribute == EVA_COLOR0 || attribute == EVA_COLOR1) {
        type = EVAVT_UBYTE, components = 4, bytes = 4;
    } else if (attribute >= EVA_TEXCOORD0 && attribute <= EVA_TEXCOORD15) {
        type = EVAVT_FLOAT, components = 2, bytes = 8;
    } else {
        return false;
    }
    return true;
}

unsigned s_nameSeed = 0x2545f491u;

}  // namespace

core::stringc detail::makeUniqueRendererName(CMaterialRendererManager& manager, unsigned length)
{
    static const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    for (;;) {
        core::stringc name;
        for (unsigned i = 0; i < length; ++i) {
            s_nameSeed = s_nameSeed * 1664525u + 1013904223u;
            name += alphabet[(s_nameSeed >> 16) % (sizeof alphabet - 1)];
        }
        if (manager.getId(name.c_str()) == 0xffff) return name;
    }
}

CGenericBaker::CGenericBaker(const IShader* shader) : m_shader(shader)
{
    unsigned char none[EVA_COUNT];
    for (auto& b : none) b = 0xff;
    m_attributeMap = new (::operator new(sizeof(CVertexAttributeMap))) CVertexAttributeMap(none);
}

void CGenericBaker::configureAppendBuffer(scene::CAppendMeshBuffer* buffer)
{
    if (!buffer || !m_shader) return;
    unsigned char table[EVA_COUNT];
    const unsigned size = configureInputs(buffer, table);
    finishConfiguration(buffer, table, size);
}

void CGenericBaker::finishConfiguration(scene::CAppendMeshBuffer* buffer, const unsigned char* table, unsigned size)
{
    buffer->adjustStride((unsigned short)size);
    m_attributeMap = new (::operator new(sizeof(CVertexAttributeMap))) CVertexAttributeMap(table);
}

unsigned CGenericBaker::configureInputs(scene::CAppendMeshBuffer* buffer, unsigned char* table) const
{
    buffer->reset();
    for (unsigned i = 0; i < EVA_COUNT; ++i) table[i] = 0xff;
    unsigned offset = 0;
    const SShaderVertexAttributeDef* inputs = m_shader->getVertexAttributeDefs();
    for (unsigned i = 0; i < m_shader->getVertexAttributeCount(); ++i) {
        const unsigned a = inputs[i].attribute;
        if (a >= EVA_COUNT) continue;
        table[a] = (unsigned char)a;
        E_VERTEX_ATTRIBUTE_VALUE_TYPE type;
        unsigned short components;
        unsigned bytes;
        if (a < 28 && layoutOf(a, type, components, bytes)) {
            buffer->configureStream((unsigned char)a, int(offset), type, components);
            offset += bytes;
        }
    }
    return offset;
}

bool CGenericBaker::bake(const CVertexStreams* sourceStreams, const CPrimitiveStream* sourcePrimitives,
                         const CMaterial* sourceMaterial, unsigned char, const unsigned char* sourceTable,
                         CVertexStreams* destStreams, CPrimitiveStream* destPrimitives, CMaterial*, const unsigned char*,
                         IVideoDriver* driver, unsigned vertexStart, unsigned vertexEnd, unsigned firstPrimitive,
                         unsigned endPrimitive, unsigned firstVertex, unsigned firstTriangle, unsigned attributeMask)
{
    if (!sourceStreams || !sourcePrimitives || !destStreams || !destPrimitives || !driver || !m_shader) return false;
    core::overridePrimitiveStream(*sourcePrimitives, firstPrimitive, endPrimitive, *destPrimitives, firstTriangle,
                                  int(firstVertex) - int(vertexStart));
    core::overrideVertexStreams(*m_shader, *sourceStreams, sourceTable, *destStreams, sourceMaterial, *driver, vertexStart,
                                vertexEnd, firstVertex, attributeMask, bakesTextureMatrices(), m_extraAttributes);
    return true;
}

bool CGenericBaker::prepareBatchRenderer(const CMaterial& source, unsigned char technique, const IShader* const* shaders,
                                         const char* const* techniqueNames, unsigned techniqueCount)
{
    const CMaterialRenderer& sr = *source.getMaterialRenderer();
    if (technique >= sr.getTechniqueCount() || !sr.getTechnique(technique).passCount) return false;
    const SRenderPass& sourcePass = sr.getTechnique(technique).passes[0];
    IVideoDriver* driver = sr.getVideoDriver();
    CMaterialRendererManager* manager = driver ? driver->getMaterialRendererManager() : nullptr;
    if (!manager) return false;
    if (m_batchRendererId == 0xffff || !manager->get(m_batchRendererId) || !m_batchMaterial) {
        const core::stringc name = detail::makeUniqueRendererName(*manager, 20);
        if (!manager->beginMaterialRenderer(name.c_str(), true)) return false;
        for (unsigned t = 0; t < techniqueCount; ++t) {
            manager->beginTechnique(techniqueNames[t], true);
            manager->addRenderPass(boost::intrusive_ptr<const IShader>(shaders[t]), sourcePass.renderState);
            manager->endTechnique(true, (unsigned short)sr.getBindedLightCount(technique, 0));
        }
        m_batchRendererId = manager->endMaterialRenderer();
        if (m_batchRendererId == 0xffff) return false;
        manager->get(m_batchRendererId)->initParametersToIdentity();
        m_batchMaterial = manager->getMaterialInstance(m_batchRendererId, false);
        return bool(m_batchMaterial);
    }
    CMaterialRenderer& renderer = *m_batchMaterial->getMaterialRenderer();
    for (unsigned t = 0; t < renderer.getTechniqueCount(); ++t)
        if (!(renderer.getTechnique((unsigned char)t).passes[0].renderState == sourcePass.renderState))
            renderer.setRenderState((unsigned char)t, 0, sourcePass.renderState);
    return true;
}

boost::intrusive_ptr<CMaterial> CGenericBaker::getBatchMaterial(const boost::intrusive_ptr<CMaterial>& source, unsigned char technique)
{
    if (!source) return m_batchMaterial;
    const char* name = "ZeTechnique";
    if (!prepareBatchRenderer(*source, technique, &m_shader, &name, 1)) return m_batchMaterial;
    // Parameters at the same binding positions of both passes.
    const CMaterialRenderer& sr = *source->getMaterialRenderer();
    const SRenderPass& sourcePass = sr.getTechnique(technique).passes[0];
    const SRenderPass& batchPass = m_batchMaterial->getMaterialRenderer()->getTechnique(0).passes[0];
    if (batchPass.parameterSources && sourcePass.parameterSources && sourcePass.shader) {
        const unsigned n = batchPass.shader->getTotalParameterCount();
        const unsigned m = sourcePass.shader->getTotalParameterCount();
        const CMaterialRenderer& br = *m_batchMaterial->getMaterialRenderer();
        for (unsigned i = 0; i < n && i < m; ++i) {
            const unsigned short b = batchPass.parameterSources[i], s = sourcePass.parameterSources[i];
            if (b < br.getParameterCount() && s < sr.getParameterCount()) core::copyParameter(m_batchMaterial, b, source, s);
        }
    }
    return m_batchMaterial;
}

bool CGenericBaker::isCompatible(const boost::intrusive_ptr<CMaterial>& material, unsigned char technique)
{
    if (!material || !m_batchMaterial) return false;
    const CMaterialRenderer& mr = *material->getMaterialRenderer();
    const CMaterialRenderer& br = *m_batchMaterial->getMaterialRenderer();
    if (technique >= mr.getTechniqueCount() || br.getTechniqueCount() == 0) return false;
    if (m_batchMaterial->getHashMask() & 1u) m_batchMaterial->updateHashCode(0);
    if (material->getHashMask() & (1u << technique)) material->updateHashCode(technique);
    if (m_batchMaterial->getHashWord(0) != material->getHashWord(technique)) return false;
    const auto& bt = br.getTechnique(0);
    const auto& mt = mr.getTechnique(technique);
    if (bt.passCount != mt.passCount) return false;
    for (unsigned p = 0; p < bt.passCount; ++p)
        if (bt.passes[p].shader != mt.passes[p].shader || !(bt.passes[p].renderState == mt.passes[p].renderState)) return false;
    return m_batchMaterial->areParametersEqual(0, bt.passCount, *material, technique);
}

}  // namespace pravik::video
