// The fixed-function batch bakers.

#include "engine/video/gl/CFixedGLNoLightBaker.h"

#include "engine/scene/CAppendMeshBuffer.h"
#include "engine/video/material/BatchUtils.h"
#include "engine/video/gl/CFixedGLShader.h"
#include "engine/video/gl/CFixedGLShaderManager.h"
#include "engine/video/material/CMaterialRendererManager.h"
#include "engine/video/IVideoDriver.h"

namespace pravik::video {

namespace {

bool takesColour(const IShader& shader)
{
    const SShaderVertexAttributeDef* inputs = shader.getVertexAttributeDefs();
    for (unsigned i = 0; i < shader.getVertexAttributeCount(); ++i)
        if (inputs[i].attribute == EVA_COLOR0 || inputs[i].attribute == EVA_COLOR1) return true;
    return false;
}

bool colourMaterial(const IShader* shader)
{
    const auto* fixed = dynamic_cast<const CFixedGLShader*>(shader);
    return fixed && fixed->getVertexState() && fixed->getVertexState()->getColorMaterialEnable();
}

// Parameter id at a stage-0 binding position of the first pass of a technique, or 0xffff.
unsigned short idAt(const CMaterial& m, unsigned char technique, unsigned position)
{
    const CMaterialRenderer& r = *m.getMaterialRenderer();
    if (technique >= r.getTechniqueCount() || !r.getTechnique(technique).passCount) return 0xffff;
    const SRenderPass& p = r.getTechnique(technique).passes[0];
    if (!p.parameterSources || !p.shader || position >= p.shader->getParameterCount(ESS_STAGE0)) return 0xffff;
    const unsigned short s = p.parameterSources[position];
    return s < r.getParameterCount() ? s : (unsigned short)0xffff;
}

unsigned stage0Count(const CMaterial& m, unsigned char technique)
{
    const CMaterialRenderer& r = *m.getMaterialRenderer();
    if (technique >= r.getTechniqueCount() || !r.getTechnique(technique).passCount) return 0;
    const SRenderPass& p = r.getTechnique(technique).passes[0];
    return p.shader ? p.shader->getParameterCount(ESS_STAGE0) : 0u;
}

unsigned short typeOf(const CMaterial& m, unsigned short id)
{
    const SShaderParameterDef* d = m.getParameterDef(id);
    return d ? d->type : (unsigned short)ESPT_NONE;
}

const SRenderPass* firstPass(const CMaterial& m, unsigned char technique)
{
    const CMaterialRenderer& r = *m.getMaterialRenderer();
    if (technique >= r.getTechniqueCount() || !r.getTechnique(technique).passCount) return nullptr;
    return &r.getTechnique(technique).passes[0];
}

void addColourStream(scene::CAppendMeshBuffer* buffer, unsigned char* table, unsigned& size, unsigned& extra)
{
    buffer->configureStream(EVA_COLOR0, int(size), EVAVT_UBYTE, 4);
    table[EVA_COLOR0] = EVA_COLOR0;
    size += 4;
    extra = 1u << EVA_COLOR0;
}

}  // namespace

// --- no light -------------------------------------------------------------------------------

void CFixedGLNoLightBaker::configureAppendBuffer(scene::CAppendMeshBuffer* buffer)
{
    if (!buffer || !m_shader) return;
    unsigned char table[EVA_COUNT];
    unsigned size = configureInputs(buffer, table);
    m_extraAttributes = 0;
    if (!takesColour(*m_shader)) addColourStream(buffer, table, size, m_extraAttributes);
    finishConfiguration(buffer, table, size);
}

boost::intrusive_ptr<CMaterial> CFixedGLNoLightBaker::getBatchMaterial(const boost::intrusive_ptr<CMaterial>& source,
                                                                       unsigned char technique)
{
    if (!source) return m_batchMaterial;
    const char* name = "ZeTechnique";
    if (!prepareBatchRenderer(*source, technique, &m_shader, &name, 1)) return m_batchMaterial;
    const unsigned n = stage0Count(*m_batchMaterial, 0);
    for (unsigned i = 0; i < n; ++i) {
        const unsigned short b = idAt(*m_batchMaterial, 0, i);
        if (b == 0xffff) continue;
        const unsigned short type = typeOf(*m_batchMaterial, b);
        if (type == ESPT_DIFFUSE_COLOR) {
            m_batchMaterial->setParameterCvt(b, 0, SColor(255, 255, 255, 255));
        } else if (type == ESPT_TEXTURE_MATRIX) {
            m_batchMaterial->setParameter(b, 0, core::CMatrix4<float>(core::EM4CONST_IDENTITY));
        } else {
            const unsigned short s = idAt(*source, technique, i);
            if (s != 0xffff) core::copyParameter(m_batchMaterial, b, source, s);
        }
    }
    return m_batchMaterial;
}

bool CFixedGLNoLightBaker::isCompatible(const boost::intrusive_ptr<CMaterial>& material, unsigned char technique)
{
    if (!material || !m_batchMaterial) return false;
    const SRenderPass* b = firstPass(*m_batchMaterial, 0);
    const SRenderPass* s = firstPass(*material, technique);
    if (!b || !s || b->shader != s->shader || !(b->renderState == s->renderState)) return false;
    const unsigned n = stage0Count(*material, technique);
    for (unsigned i = 0; i < n; ++i) {
        const unsigned short bi = idAt(*m_batchMaterial, 0, i), si = idAt(*material, technique, i);
        if (bi == 0xffff && si == 0xffff) continue;
        if (bi == 0xffff) return false;  // only the source names a parameter
        const unsigned short type = typeOf(*m_batchMaterial, bi);
        if (type == ESPT_TEXTURE_MATRIX || type == ESPT_DIFFUSE_COLOR) continue;
        if (si == 0xffff || !core::compareParameter(m_batchMaterial, bi, material, si)) return false;
    }
    return true;
}

// --- light ----------------------------------------------------------------------------------

const IShader* CFixedGLLightBaker::getShaderVariant(bool colorMaterial)
{
    if (colourMaterial(m_shader) == colorMaterial) return m_shader;
    if (m_variant) return m_variant.get();
    const auto* fixed = dynamic_cast<const CFixedGLShader*>(m_shader);
    auto* manager = fixed ? dynamic_cast<CFixedGLShaderManager*>(m_shader->getVideoDriver() ? m_shader->getVideoDriver()->getShaderManager() : nullptr)
                          : nullptr;
    if (!manager || !fixed->getVertexState() || !fixed->getFragmentState()) return m_shader;
    SFixedGLShaderVertexState vs = *fixed->getVertexState();
    vs.setColorMaterialEnable(!vs.getColorMaterialEnable());
    CMaterialRendererManager* renderers = m_shader->getVideoDriver()->getMaterialRendererManager();
    core::stringc name = renderers ? detail::makeUniqueRendererName(*renderers, 14) : core::stringc("batch variant");
    while (manager->getId(name.c_str()) != 0xffff) name += "_";
    m_variant = manager->createShader(name.c_str(), vs, *fixed->getFragmentState());
    return m_variant ? m_variant.get() : m_shader;
}

void CFixedGLLightBaker::configureAppendBuffer(scene::CAppendMeshBuffer* buffer)
{
    if (!buffer || !m_shader) return;
    unsigned char table[EVA_COUNT];
    unsigned size = configureInputs(buffer, table);
    m_extraAttributes = 0;
    if (!takesColour(*m_shader) && colourMaterial(m_shader)) addColourStream(buffer, table, size, m_extraAttributes);
    finishConfiguration(buffer, table, size);
}

boost::intrusive_ptr<CMaterial> CFixedGLLightBaker::getBatchMaterial(const boost::intrusive_ptr<CMaterial>& source,
                                                                     unsigned char technique)
{
    if (!source) return m_batchMaterial;
    const IShader* shaders[2] = {getShaderVariant(false), getShaderVariant(true)};
    const char* names[2] = {"NoColorMaterial", "ColorMaterial"};
    if (!prepareBatchRenderer(*source, technique, shaders, names, 2)) return m_batchMaterial;
    const SRenderPass* sp = firstPass(*source, technique);
    const bool cm = sp && colourMaterial(sp->shader.get());
    m_batchTechnique = cm ? 1 : 0;
    m_batchMaterial->setBaseTechnique(m_batchTechnique);
    const unsigned n = stage0Count(*source, technique);
    const unsigned char bt = m_batchTechnique;
    auto copyPair = [&](unsigned short b, unsigned short s) {
        if (b == 0xffff) return;
        if (typeOf(*m_batchMaterial, b) == ESPT_TEXTURE_MATRIX) m_batchMaterial->setParameter(b, 0, core::CMatrix4<float>(core::EM4CONST_IDENTITY));
        else if (s != 0xffff) core::copyParameter(m_batchMaterial, b, source, s);
    };
    if (n > 0) copyPair(idAt(*m_batchMaterial, bt, 0), idAt(*source, technique, 0));
    unsigned si = 1;
    if (cm && n > 1 && typeOf(*source, idAt(*source, technique, 1)) == ESPT_AMBIENT_COLOR) ++si;
    for (unsigned bi = 1; si < n; ++bi, ++si) copyPair(idAt(*m_batchMaterial, bt, bi), idAt(*source, technique, si));
    return m_batchMaterial;
}

bool CFixedGLLightBaker::isCompatible(const boost::intrusive_ptr<CMaterial>& material, unsigned char technique)
{
    if (!material || !m_batchMaterial) return false;
    const unsigned char bt = m_batchMaterial->getTechnique();
    const SRenderPass* b = firstPass(*m_batchMaterial, bt);
    const SRenderPass* s = firstPass(*material, technique);
    if (!b || !s || b->shader != s->shader || !(b->renderState == s->renderState)) return false;
    const bool cm = colourMaterial(s->shader.get());
    const unsigned n = stage0Count(*material, technique);
    auto pairOk = [&](unsigned bi, unsigned si) {
        const unsigned short bid = idAt(*m_batchMaterial, bt, bi), sid = idAt(*material, technique, si);
        if (bid == 0xffff) return sid == 0xffff;
        if (typeOf(*m_batchMaterial, bid) == ESPT_TEXTURE_MATRIX) return true;
        return sid != 0xffff && core::compareParameter(m_batchMaterial, bid, material, sid);
    };
    if (n > 0 && !pairOk(0, 0)) return false;
    unsigned si = 1;
    if (cm && n > 1 && typeOf(*material, idAt(*material, technique, 1)) == ESPT_AMBIENT_COLOR) ++si;
    for (unsigned bi = 1; si < n; ++bi, ++si)
        if (!pairOk(bi, si)) return false;
    return true;
}

}  // namespace pravik::video
