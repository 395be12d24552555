#include "engine/video/gl/CFixedGLShader.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "engine/io/IAttributes.h"
#include "engine/video/material/IShaderManager.h"

namespace pravik::video {

namespace {

unsigned limit(unsigned (*query)(IVideoDriver*), IVideoDriver* driver, unsigned fallback)
{
    return query ? query(driver) : fallback;
}

const char* typeName(E_SHADER_PARAMETER_TYPE type)
{
    return getStringsInternal((E_SHADER_PARAMETER_TYPE*)nullptr)[type];
}

}  // namespace

CFixedGLShader::CFixedGLShader(unsigned short id, const char* name, const SFixedGLShaderVertexState* vs,
                               const SFixedGLShaderFragmentState* fs, IVideoDriver* driver)
    : IShader(id, name, driver), m_vertexState(vs), m_fragmentState(fs)
{
    derive();
}

CFixedGLShader::CFixedGLShader(unsigned short id, const char* name, IVideoDriver* driver)
    : IShader(id, name, driver),
      m_vertexState(&m_ownVertexState),
      m_fragmentState(&m_ownFragmentState),
      m_ownsStates(true)
{
}

CFixedGLShader::~CFixedGLShader()
{
    delete[] m_vertexAttributes;
    delete[] m_stages[0].parameters;
}

void CFixedGLShader::derive()
{
    const SFixedGLShaderVertexState& vs = *m_vertexState;
    const SFixedGLShaderFragmentState& fs = *m_fragmentState;
    const auto& services = detail::shadermanager::getDriverServices();
    const unsigned lights = vs.getLightCount();
    const unsigned colorGen = vs.getColorGen();
    const unsigned unitCount =
        std::min({fs.getActiveUnitCount(), limit(services.getTextureUnitCount, m_driver, 4), 4u});
    const unsigned lightCount = std::min({lights, limit(services.getMaxDynamicLightCount, m_driver, 8), 8u});
    const unsigned planeCount = std::min(limit(services.getMaxUserClipPlanes, m_driver, 6), 6u);
    auto spriteReplaced = [&](unsigned u) { return (fs.word >> (13 + u) & 1u) != 0; };

    // Vertex attributes and the unit list.
    unsigned mask = 1u << EVA_POSITION | 1u << EVA_COLOR0;
    for (unsigned u = 0; u < 4; ++u)
        if (vs.getTexGen(u) != ETGT_NONE) mask |= 1u << EVA_NORMAL;
    if (lights) {
        mask |= 1u << EVA_NORMAL;
        if (!vs.getColorMaterialEnable()) mask &= ~(1u << EVA_COLOR0);
        m_firstLightSubId = 0;
    }
    std::vector<unsigned char> firstRun, secondRun;
    unsigned texCoordSets = 0;
    for (unsigned u = 0; u < unitCount; ++u) {
        if (!fs.texEnv[u].usesTexture()) continue;
        const E_TEX_GEN_TYPE gen = vs.getTexGen(u);
        if (gen == ETGT_NONE) {
            if (spriteReplaced(u)) continue;
            mask |= 1u << (EVA_TEXCOORD0 + texCoordSets++);
            firstRun.push_back((unsigned char)u);
            m_driverArrayMask |= 1u << (1 + u);
        } else {
            m_driverArrayMask |= 1u << (1 + u);
            if (gen == ETGT_SIMPLE_SPHERE_MAP)
                firstRun.push_back((unsigned char)u);
            else if (gen == ETGT_SPHERE_MAP)
                secondRun.push_back((unsigned char)u);
        }
    }
    unsigned char k = 0;
    for (unsigned char u : firstRun) m_units[k++] = u;
    m_unitEnd[0] = k;
    for (unsigned char u : secondRun) m_units[k++] = u;
    m_unitEnd[1] = k;
    if (colorGen == ECG_CONSTANT_COLOR) mask &= ~(1u << EVA_COLOR0);
    if (colorGen >= 1 && colorGen <= 6) {
        m_firstLightSubId = 0;
        mask |= 1u << EVA_COLOR0 | 1u << EVA_NORMAL;
        if (colorGen >= ECG_TS_DIRECTIONAL_LIGHT) mask |= 1u << EVA_TANGENT0 | 1u << EVA_BINORMAL0;
    }
    m_driverArrayMask |= mask & ~((1u << 17) - 1u);
    m_vertexAttributeMask = mask;

    const char* const* attributeNames = getStringsInternal((E_VERTEX_ATTRIBUTE*)nullptr);
    m_vertexAttributeCount = (unsigned char)__builtin_popcount(mask);
    m_vertexAttributes = new SShaderVertexAttributeDef[m_vertexAttributeCount];
    unsigned a = 0;
    for (unsigned bit = 0; bit < EVA_COUNT; ++bit)
        if (mask >> bit & 1u) m_vertexAttributes[a++] = {attributeNames[bit], (unsigned short)bit, 0xffff};

    // Parameters of stage 0, in declaration order.
    std::vector<SShaderParameterDef> defs;
    char text[64];
    auto add = [&](E_SHADER_PARAMETER_TYPE type, E_SHADER_PARAMETER_VALUE_TYPE valueType, unsigned char subId,
                   const char* format = nullptr, unsigned number = 0) {
        SShaderParameterDef d;
        if (format) {
            std::snprintf(text, sizeof(text), format, typeName(type), number);
            d.name = text;
        } else {
            d.name = typeName(type);
        }
        d.type = type;
        d.valueType = valueType;
        d.subId = subId;
        d.arraySize = 1;
        d.index = 0;
        defs.push_back(d);
    };
    add(ESPT_DIFFUSE_COLOR, ESPVT_COLOR, 0xff);
    if (lights) {
        if (!vs.getColorMaterialEnable()) add(ESPT_AMBIENT_COLOR, ESPVT_COLOR, 0xff);
        add(ESPT_SPECULAR_COLOR, ESPVT_COLOR, 0xff);
        add(ESPT_EMISSION_COLOR, ESPVT_COLOR, 0xff);
        add(ESPT_SHININESS, ESPVT_FLOAT, 0xff);
        add(ESPT_SCENE_AMBIENT_LIGHT, ESPVT_COLORF, 0xff);
        for (unsigned i = 0; i < lightCount; ++i) {
            const auto sub = (unsigned char)i;
            add(ESPT_LIGHT_POSITION, ESPVT_FLOAT4, sub, "%s [%u]", i);
            add(ESPT_LIGHT_DIRECTION, ESPVT_FLOAT3, sub, "%s [%u]", i);
            add(ESPT_LIGHT_ATTENUATION, ESPVT_FLOAT3, sub, "%s [%u]", i);
            add(ESPT_LIGHT_AMBIENT_COLOR, ESPVT_COLORF, sub, "%s [%u]", i);
            add(ESPT_LIGHT_DIFFUSE_COLOR, ESPVT_COLORF, sub, "%s [%u]", i);
            add(ESPT_LIGHT_SPECULAR_COLOR, ESPVT_COLORF, sub, "%s [%u]", i);
            add(ESPT_LIGHT_SPOT_EXPONENT, ESPVT_FLOAT, sub, "%s [%u]", i);
            add(ESPT_LIGHT_SPOT_CUTOFF, ESPVT_FLOAT, sub, "%s [%u]", i);
        }
    }
    if (fs.getAlphaTestEnable()) add(ESPT_ALPHA_REF, ESPVT_FLOAT, 0xff);
    for (unsigned u = 0; u < unitCount; ++u) {
        const auto sub = (unsigned char)u;
        const bool used = fs.texEnv[u].usesTexture();
        if (used) add(ESPT_TEXTURE, ESPVT_SAMPLER2D, sub, "%s%u", u);
        if (used && !spriteReplaced(u) && vs.getTexGen(u) == ETGT_NONE)
            add(ESPT_TEXTURE_MATRIX, ESPVT_FLOAT4X4, sub, "%s%u", u);
        if (fs.texEnv[u].usesConstantColor()) add(ESPT_TEXTURE_ENV_COLOR, ESPVT_COLOR, sub, "%s%u", u);
    }
    for (unsigned j = 0; j < planeCount; ++j)
        if (fs.getClipPlaneEnable(j)) add(ESPT_CLIP_PLANE, ESPVT_FLOAT4, (unsigned char)j, "%s%u", j);
    const E_FOG_MODE fog = vs.getFogMode();
    if (fog == EFM_EXP || fog == EFM_EXP2) add(ESPT_FOG_DENSITY, ESPVT_FLOAT, 0, "%s%u", 0);
    if (fog == EFM_LINEAR) add(ESPT_FOG_START_END, ESPVT_FLOAT2, 0, "%s%u", 0);
    if (fog != EFM_NONE) add(ESPT_FOG_COLOR, ESPVT_COLOR, 0, "%s%u", 0);
    if (colorGen >= 1 && colorGen <= 6) add(ESPT_LIGHT_POSITION, ESPVT_FLOAT4, 0, "%s [%u]", 0);
    if (colorGen == ECG_CONSTANT_COLOR) add(ESPT_COLORGEN_CONSTANT_COLOR, ESPVT_COLOR, 0);

    m_stages[0].parameters = new SShaderParameterDef[defs.size()];
    std::copy(defs.begin(), defs.end(), m_stages[0].parameters);
    m_stages[0].parameterCount = (unsigned short)defs.size();
    m_stages[0].engineParameterCount = 0;
}

void CFixedGLShader::serializeAttributes(io::IAttributes* out) const
{
    IShader::serializeAttributes(out);
    out->push("FixedGLShader");
    out->push("VertexAttributes");
    m_vertexState->serializeAttributes(out);
    out->pop();
    out->push("FragmentAttributes");
    m_fragmentState->serializeAttributes(out);
    out->pop();
    out->pop();
}

void CFixedGLShader::deserializeAttributes(io::IAttributes* in)
{
    IShader::deserializeAttributes(in);
    if (!m_ownsStates) return;
    in->push("FixedGLShader");
    in->push("VertexAttributes");
    m_ownVertexState.deserializeAttributes(in);
    in->pop();
    in->push("FragmentAttributes");
    m_ownFragmentState.deserializeAttributes(in);
    in->pop();
    in->pop();
}

}  // namespace pravik::video
