// The fixed-function pipeline: the shadow of lighting, fog, texture environments, alpha test
// and clip planes, and the commit of interned fixed-function shaders and material parameters.
// A shader switch between equal interned states costs only the client-array check.

#include <cmath>
#include <cstring>

#include "engine/video/material/CGlobalMaterialParameterManager.h"
#include "engine/video/CLight.h"
#include "engine/video/material/CMaterial.h"
#include "engine/video/material/CMaterialRenderer.h"
#include "engine/video/gl/COpenGLESDriver.h"
#include "engine/video/CTextureManager.h"
#include "engine/video/material/EShaderParameterType.h"
#include "engine/video/gl/GLDispatch.h"

namespace pravik::video {

namespace {

const GLenum EnvModes[] = {GL_MODULATE, GL_REPLACE, GL_DECAL, GL_BLEND, GL_ADD, GL_COMBINE, GL_MODULATE, GL_MODULATE};
const GLenum CombineModes[] = {GL_MODULATE, GL_REPLACE, GL_ADD, GL_ADD_SIGNED, GL_INTERPOLATE, GL_SUBTRACT,
                               GL_DOT3_RGB, GL_DOT3_RGB};
const GLenum Sources[] = {GL_TEXTURE, GL_CONSTANT, GL_PREVIOUS, GL_PRIMARY_COLOR};
const GLenum Operands[] = {GL_SRC_COLOR, GL_ONE_MINUS_SRC_COLOR, GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA};
const GLenum AlphaOperands[] = {GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA};
const GLenum CompareFuncs[] = {GL_NEVER, GL_LESS, GL_EQUAL, GL_LEQUAL, GL_GREATER, GL_NOTEQUAL, GL_GEQUAL, GL_ALWAYS};
const GLenum FogModes[] = {0, GL_LINEAR, GL_EXP, GL_EXP2};
const GLenum Hints[] = {GL_FASTEST, GL_NICEST, GL_DONT_CARE, GL_DONT_CARE};
const GLenum MaterialColors[] = {GL_AMBIENT, GL_DIFFUSE, GL_SPECULAR, GL_EMISSION};

void enable(GLenum cap, bool on)
{
    if (on) g_gl.glEnable(cap);
    else g_gl.glDisable(cap);
}

void toFloats(SColor c, float out[4])
{
    out[0] = c.getRed() / 255.f;
    out[1] = c.getGreen() / 255.f;
    out[2] = c.getBlue() / 255.f;
    out[3] = c.getAlpha() / 255.f;
}

}  // namespace

void COpenGLESDriver::setTransform(E_TRANSFORMATION_STATE state, const core::CMatrix4<float>& m)
{
    if (state >= ETS_COUNT) return;
    m_transforms[state] = m;
    m_matrixDirty |= (unsigned char)(1u << state);
}

void COpenGLESDriver::setLightModelAmbient(const float rgba[4])
{
    bool same = true;
    for (int i = 0; i < 4; ++i) same &= std::fabs(rgba[i] - m_lightModelAmbient[i]) < 0.000001f;
    if (same) return;
    std::memcpy(m_lightModelAmbient, rgba, sizeof m_lightModelAmbient);
    g_gl.glLightModelfv(GL_LIGHT_MODEL_AMBIENT, m_lightModelAmbient);
}

void COpenGLESDriver::setClientActiveTexture(unsigned unit)
{
    if (unit == m_clientActiveTexture) return;
    g_gl.glClientActiveTexture(GL_TEXTURE0 + unit);
    m_clientActiveTexture = unit;
}

void COpenGLESDriver::setTexEnvMode(unsigned mode)
{
    SFixedGLShaderTexEnv& env = m_texEnv[m_activeTexture];
    if (mode == env.envMode) return;
    g_gl.glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GLint(EnvModes[mode & 7]));
    env.envMode = mode;
}

void COpenGLESDriver::setMaterialColor(unsigned which, SColor c)
{
    if (which > 3 || c == m_materialColors[which]) return;
    float f[4];
    toFloats(c, f);
    g_gl.glMaterialfv(GL_FRONT_AND_BACK, MaterialColors[which], f);
    m_materialColors[which] = c;
}

void COpenGLESDriver::setMaterialShininess(float shininess)
{
    if (shininess == m_shininess) return;
    g_gl.glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, shininess);
    m_shininess = shininess;
}

void COpenGLESDriver::setColorMaterialEnable(bool on)
{
    if (on == m_colorMaterial) return;
    m_colorMaterial = on;
    enable(GL_COLOR_MATERIAL, on);
    if (on) return;
    float f[4];
    toFloats(m_materialColors[0], f);
    g_gl.glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, f);
    toFloats(m_materialColors[1], f);
    g_gl.glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, f);
}

void COpenGLESDriver::setTexEnvColor(SColor c)
{
    if (m_activeTexture >= 4 || c == m_texEnvColor[m_activeTexture]) return;
    float f[4];
    toFloats(c, f);
    g_gl.glTexEnvfv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_COLOR, f);
    m_texEnvColor[m_activeTexture] = c;
}

void COpenGLESDriver::setTextureLODBiasTexEnv(const ITexture* texture)
{
    if (!texture || m_activeTexture >= 4 || !queryExtension(EGLE_EXT_texture_lod_bias)) return;
    const float bias = texture->getLODBias();
    if (bias == m_lodBias[m_activeTexture]) return;
    g_gl.glTexEnvf(GL_TEXTURE_FILTER_CONTROL_EXT, GL_TEXTURE_LOD_BIAS_EXT, bias);
    m_lodBias[m_activeTexture] = bias;
}

void COpenGLESDriver::setCombineRGB(E_TEXTURE_COMBINE_MODE mode)
{
    SFixedGLShaderTexEnv& env = m_texEnv[m_activeTexture & 3];
    if (mode == env.getRGBMode()) return;
    g_gl.glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_RGB, GLint(CombineModes[mode & 7]));
    env.setRGBMode(mode);
}

void COpenGLESDriver::setCombineAlpha(E_TEXTURE_COMBINE_MODE mode)
{
    SFixedGLShaderTexEnv& env = m_texEnv[m_activeTexture & 3];
    if (mode == env.getAlphaMode()) return;
    g_gl.glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_ALPHA, GLint(CombineModes[mode & 7]));
    env.setAlphaMode(mode);
}

void COpenGLESDriver::setSourceRGB(unsigned k, E_TEXTURE_COMBINE_SOURCE source)
{
    SFixedGLShaderTexEnv& env = m_texEnv[m_activeTexture & 3];
    if (k > 2 || source == env.getRGBSource(k)) return;
    g_gl.glTexEnvi(GL_TEXTURE_ENV, GL_SRC0_RGB + k, GLint(Sources[source & 3]));
    env.setRGBSource(k, source);
}

void COpenGLESDriver::setSourceAlpha(unsigned k, E_TEXTURE_COMBINE_SOURCE source)
{
    SFixedGLShaderTexEnv& env = m_texEnv[m_activeTexture & 3];
    if (k > 2 || source == env.getAlphaSource(k)) return;
    g_gl.glTexEnvi(GL_TEXTURE_ENV, GL_SRC0_ALPHA + k, GLint(Sources[source & 3]));
    env.setAlphaSource(k, source);
}

void COpenGLESDriver::setOperandRGB(unsigned k, E_TEXTURE_COMBINE_OPERAND operand)
{
    SFixedGLShaderTexEnv& env = m_texEnv[m_activeTexture & 3];
    if (k > 2 || operand == env.getRGBOperand(k)) return;
    g_gl.glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND0_RGB + k, GLint(Operands[operand & 3]));
    env.setRGBOperand(k, operand);
}

void COpenGLESDriver::setOperandAlpha(unsigned k, E_TEXTURE_COMBINE_OPERAND operand)
{
    SFixedGLShaderTexEnv& env = m_texEnv[m_activeTexture & 3];
    if (k > 2 || operand == env.getAlphaOperand(k)) return;
    g_gl.glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND0_ALPHA + k, GLint(AlphaOperands[operand & 3]));
    env.setAlphaOperand(k, operand);
}

void COpenGLESDriver::setRGBScale(float scale)
{
    SFixedGLShaderTexEnv& env = m_texEnv[m_activeTexture & 3];
    if (scale == env.rgbScale) return;
    g_gl.glTexEnvf(GL_TEXTURE_ENV, GL_RGB_SCALE, scale);
    env.rgbScale = scale;
}

void COpenGLESDriver::setAlphaScale(float scale)
{
    SFixedGLShaderTexEnv& env = m_texEnv[m_activeTexture & 3];
    if (scale == env.alphaScale) return;
    g_gl.glTexEnvf(GL_TEXTURE_ENV, GL_ALPHA_SCALE, scale);
    env.alphaScale = scale;
}

void COpenGLESDriver::setTexGen(int unit, E_TEX_GEN_TYPE type)
{
    if (unit < 0 || unit >= 4 || type >= ETGT_COUNT) return;
    if (unit > 0 && !queryFeature(E_VIDEO_DRIVER_FEATURE(1))) return;
    m_texGen[unit] = type;
}

void COpenGLESDriver::setLightAttenuation(unsigned light, float constant, float linear, float quadratic)
{
    if (light >= 8 || light >= m_maxLights) return;
    const float a[3] = {constant, linear, quadratic};
    const GLenum names[3] = {GL_CONSTANT_ATTENUATION, GL_LINEAR_ATTENUATION, GL_QUADRATIC_ATTENUATION};
    for (int i = 0; i < 3; ++i)
        if (a[i] != m_lightAttenuation[light][i])
            g_gl.glLightf(GL_LIGHT0 + light, names[i], m_lightAttenuation[light][i] = a[i]);
}

void COpenGLESDriver::setLightSpotExponent(unsigned light, float exponent)
{
    if (light >= 8 || light >= m_maxLights || exponent == m_lightSpot[light][0]) return;
    g_gl.glLightf(GL_LIGHT0 + light, GL_SPOT_EXPONENT, m_lightSpot[light][0] = exponent);
}

void COpenGLESDriver::setLightSpotCutoff(unsigned light, float cutoff)
{
    if (light >= 8 || light >= m_maxLights || cutoff == m_lightSpot[light][1]) return;
    g_gl.glLightf(GL_LIGHT0 + light, GL_SPOT_CUTOFF, m_lightSpot[light][1] = cutoff);
}

void COpenGLESDriver::setFogDensityInternal(float density)
{
    if (density != m_fogDensity) g_gl.glFogf(GL_FOG_DENSITY, m_fogDensity = density);
}

void COpenGLESDriver::setFogStartEndInternal(const core::vector2d<float>& startEnd)
{
    if (startEnd.X != m_fogStart) g_gl.glFogf(GL_FOG_START, m_fogStart = startEnd.X);
    if (startEnd.Y != m_fogEnd) g_gl.glFogf(GL_FOG_END, m_fogEnd = startEnd.Y);
}

void COpenGLESDriver::setFogColorInternal(SColor c)
{
    if (m_fogColorKnown && c == m_fogColor) return;
    float f[4];
    toFloats(c, f);
    g_gl.glFogfv(GL_FOG_COLOR, f);
    m_fogColor = c;
    m_fogColorKnown = true;
}

void COpenGLESDriver::setFogHint(unsigned hint)
{
    if ((hint & 3) == m_fogHint) return;
    g_gl.glHint(GL_FOG_HINT, Hints[hint & 3]);
    m_fogHint = hint & 3;
}

void COpenGLESDriver::enableTexture2D(unsigned unit, bool on)
{
    setActiveTexture(unit);
    enable(GL_TEXTURE_2D, on);
}

void COpenGLESDriver::commitShader(const IShader* shader)
{
    const auto* next = static_cast<const CFixedGLShader*>(shader);
    const auto* previous = static_cast<const CFixedGLShader*>(getCommittedShader());
    if (!next) return;
    const SFixedGLShaderVertexState& vs = *next->getVertexState();
    if (!previous || previous->getVertexState() != next->getVertexState()) {
        const unsigned n = vs.getLightCount();
        if (n > 0) {
            if (!m_lighting) {
                g_gl.glEnable(GL_LIGHTING);
                m_lighting = true;
            }
            for (unsigned i = n; i < m_lightCount; ++i) g_gl.glDisable(GL_LIGHT0 + i);
            for (unsigned i = m_lightCount; i < n; ++i) g_gl.glEnable(GL_LIGHT0 + i);
            m_lightCount = n;
            const bool twoSided = vs.word >> 3 & 1;
            if (twoSided != m_twoSided) {
                g_gl.glLightModelf(GL_LIGHT_MODEL_TWO_SIDE, twoSided ? 1.f : 0.f);
                m_twoSided = twoSided;
            }
            setColorMaterialEnable(vs.getColorMaterialEnable());
        } else if (m_lighting) {
            g_gl.glDisable(GL_LIGHTING);
            m_lighting = false;
        }
        const bool normalize = vs.word >> 1 & 1;
        if (normalize != m_normalize) {
            enable(GL_NORMALIZE, normalize);
            m_normalize = normalize;
        }
        const bool smooth = vs.word >> 2 & 1;
        if (smooth != m_smooth) {
            g_gl.glShadeModel(smooth ? GL_SMOOTH : GL_FLAT);
            m_smooth = smooth;
        }
        const unsigned fogMode = vs.getFogMode(), fogHint = vs.word >> 14 & 3;
        if (fogMode != m_fogMode) {
            if (fogMode == EFM_NONE) {
                g_gl.glDisable(GL_FOG);
                m_fog = false;
            } else {
                if (!m_fog) {
                    g_gl.glEnable(GL_FOG);
                    m_fog = true;
                }
                g_gl.glFogf(GL_FOG_MODE, GLfloat(FogModes[fogMode]));
            }
            m_fogMode = fogMode;
        }
        if (fogMode != EFM_NONE && fogHint != m_fogHint) {
            g_gl.glHint(GL_FOG_HINT, Hints[fogHint]);
            m_fogHint = fogHint;
        }
        bool textureMode = false;
        for (unsigned u = 0; u < 4; ++u) {
            m_texGen[u] = (unsigned char)vs.getTexGen(u);
            if (m_texGen[u] != ETGT_NONE && !(m_textureMatrixIdentity & (1u << u)) && u < m_textureUnitCount) {
                if (!textureMode) g_gl.glMatrixMode(GL_TEXTURE);
                textureMode = true;
                setActiveTexture(u);
                g_gl.glLoadIdentity();
                m_textureMatrixIdentity |= (unsigned char)(1u << u);
            }
        }
        if (textureMode) g_gl.glMatrixMode(GL_MODELVIEW);
        m_colorGen = vs.getColorGen();
        m_colorGenLight = nullptr;
        m_colorGenConstant = SColor(0, 0, 0, 255);
    }
    const SFixedGLShaderFragmentState& fs = *next->getFragmentState();
    if (!previous || previous->getFragmentState() != next->getFragmentState()) {
        const unsigned count = std::min(fs.getActiveUnitCount(), m_textureUnitCount);
        for (unsigned i = 0; i < count; ++i) {
            const SFixedGLShaderTexEnv& want = fs.texEnv[i];
            SFixedGLShaderTexEnv& have = m_texEnv[i];
            const bool same = want.envMode == have.envMode && want.combiner == have.combiner &&
                              want.rgbScale == have.rgbScale && want.alphaScale == have.alphaScale;
            if (i >= m_enabledTextureUnits) enableTexture2D(i, true);
            if (same) continue;
            setActiveTexture(i);
            setTexEnvMode(want.envMode);
            if (want.envMode == ETEM_COMBINE) {
                if (want.getRGBMode() != have.getRGBMode())
                    g_gl.glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_RGB, GLint(CombineModes[want.getRGBMode()]));
                if (want.getAlphaMode() != have.getAlphaMode())
                    g_gl.glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_ALPHA, GLint(CombineModes[want.getAlphaMode()]));
                for (unsigned k = 0; k < 3; ++k) {
                    if (want.getRGBOperand(k) != have.getRGBOperand(k))
                        g_gl.glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND0_RGB + k, GLint(Operands[want.getRGBOperand(k)]));
                    if (want.getAlphaOperand(k) != have.getAlphaOperand(k))
                        g_gl.glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND0_ALPHA + k,
                                       GLint(AlphaOperands[want.getAlphaOperand(k)]));
                    if (want.getRGBSource(k) != have.getRGBSource(k))
                        g_gl.glTexEnvi(GL_TEXTURE_ENV, GL_SRC0_RGB + k, GLint(Sources[want.getRGBSource(k)]));
                    if (want.getAlphaSource(k) != have.getAlphaSource(k))
                        g_gl.glTexEnvi(GL_TEXTURE_ENV, GL_SRC0_ALPHA + k, GLint(Sources[want.getAlphaSource(k)]));
                }
                if (want.rgbScale != have.rgbScale) g_gl.glTexEnvf(GL_TEXTURE_ENV, GL_RGB_SCALE, want.rgbScale);
                if (want.alphaScale != have.alphaScale) g_gl.glTexEnvf(GL_TEXTURE_ENV, GL_ALPHA_SCALE, want.alphaScale);
            }
            have = want;
        }
        for (unsigned i = count; i < m_enabledTextureUnits; ++i) enableTexture2D(i, false);
        m_enabledTextureUnits = count;
        if (fs.getAlphaTestEnable() != m_alphaTest) {
            m_alphaTest = fs.getAlphaTestEnable();
            enable(GL_ALPHA_TEST, m_alphaTest);
        }
        if (m_clipPlaneCount) {
            // Requested planes are packed onto the first GL planes.
            unsigned j = 0;
            for (unsigned p = 0; p < m_clipPlaneCount; ++p) {
                if (!fs.getClipPlaneEnable(p)) continue;
                if (!m_clipPlaneOn[j]) {
                    g_gl.glEnable(GL_CLIP_PLANE0 + j);
                    m_clipPlaneOn[j] = true;
                }
                ++j;
            }
            for (unsigned p = m_clipPlaneCount; p-- > j;)
                if (m_clipPlaneOn[p]) {
                    g_gl.glDisable(GL_CLIP_PLANE0 + p);
                    m_clipPlaneOn[p] = false;
                }
        }
    }
    if (previous) {
        const unsigned stale = previous->getDriverArrayMask() & m_clientArrays & ~next->getDriverArrayMask();
        for (unsigned u = 0; u < 4; ++u)
            if (stale & (2u << u)) {
                setClientActiveTexture(u);
                g_gl.glDisableClientState(GL_TEXTURE_COORD_ARRAY);
            }
        if (stale & (1u << 17)) g_gl.glDisableClientState(GL_NORMAL_ARRAY);
        if (stale & (1u << 18)) g_gl.glDisableClientState(GL_COLOR_ARRAY);
        m_clientArrays &= ~stale;
    }
}

void COpenGLESDriver::commitPassParameters(const SRenderPass& pass, unsigned first, unsigned last, bool global)
{
    if (!pass.shader) return;
    if (global) {
        if (CGlobalMaterialParameterManager* globals = getGlobalMaterialParameterManager())
            commitBindings(pass, first, last, *globals);
    } else if (CMaterial* material = getCurrentMaterial()) {
        commitBindings(pass, first, last, *material);
    }
}

template <class Source>
void COpenGLESDriver::commitBindings(const SRenderPass& pass, unsigned first, unsigned last, Source& source)
{
    bool textureMode = false;
    for (unsigned b = first; b < last; ++b) {
        const SShaderParameterBinding& binding = pass.bindings[b];
        if (binding.shaderParameter == 0xffff) break;
        const E_SHADER_STAGE stage = E_SHADER_STAGE(binding.shaderParameter >> 15);
        if ((binding.shaderParameter & 0x7fff) >= pass.shader->getParameterCount(stage)) continue;
        const SShaderParameterDef* shaderDef = pass.shader->getParameters(stage) + (binding.shaderParameter & 0x7fff);
        const SShaderParameterDef* def = source.getParameterDef(binding.source);
        if (!def || def->index == 0xffffffffu) continue;
        const unsigned char* value = source.getParameterBlock() + def->index;
        float floats[4] = {0, 0, 0, 0};
        if (def->valueType >= ESPVT_FLOAT && def->valueType <= ESPVT_FLOAT4)
            std::memcpy(floats, value, sizeof(float) * (1 + def->valueType - ESPVT_FLOAT));
        else if (def->valueType == ESPVT_COLORF)
            std::memcpy(floats, value, sizeof floats);
        SColor color;
        if (def->valueType == ESPVT_COLOR) {
            std::memcpy(&color, value, sizeof color);
        } else if (def->valueType == ESPVT_COLORF) {
            float f[4];
            std::memcpy(f, value, sizeof f);
            color = SColor((unsigned char)(f[0] * 255.f), (unsigned char)(f[1] * 255.f), (unsigned char)(f[2] * 255.f),
                           (unsigned char)(f[3] * 255.f));
        }
        const unsigned unit = shaderDef->subId == 0xff ? 0u : shaderDef->subId;
        switch (shaderDef->type) {
        case ESPT_TEXTURE: {
            ITexture* texture;
            std::memcpy(&texture, value, sizeof texture);
            // Sampler value types 2D, 3D, cube, rectangle follow the texture types.
            const E_TEXTURE_TYPE type = shaderDef->valueType >= ESPVT_SAMPLER2D && shaderDef->valueType <= ESPVT_SAMPLERRECT
                                            ? E_TEXTURE_TYPE(shaderDef->valueType - ESPVT_SAMPLER2D)
                                            : ETT_2D;
            if (CTextureManager* textures = getTextureManager()) {
                if (!texture) texture = textures->getPlaceHolder(EPH_NOT_FOUND, type);
                else if (texture->getStateFlags() & ETSF_DRIVER_FAILED) texture = textures->getPlaceHolder(EPH_BIND_FAILED, type);
            } else if (texture && (texture->getStateFlags() & ETSF_DRIVER_FAILED)) {
                texture = nullptr;
            }
            // While the full texture loads, its substitute is drawn with the texture's sampling.
            if (texture && !(texture->getStateFlags() & ETSF_LOADED) && texture->getProxy()) {
                const boost::intrusive_ptr<ITexture>& proxy = texture->getProxy();
                proxy->copyParametersFrom(boost::intrusive_ptr<ITexture>(texture));
                texture = proxy.get();
            }
            if (unit < m_textureUnitCount) setTexture(unit, texture, texture ? texture->getType() : type);
            break;
        }
        case ESPT_TEXTURE_MATRIX: {
            const core::CMatrix4<float>* m;
            std::memcpy(&m, value, sizeof m);
            const bool identity = !m || m->isIdentity();
            if (identity && (m_textureMatrixIdentity & (1u << unit))) break;
            setActiveTexture(unit);
            if (!textureMode) g_gl.glMatrixMode(GL_TEXTURE);
            textureMode = true;
            if (identity) {
                g_gl.glLoadIdentity();
                m_textureMatrixIdentity |= (unsigned char)(1u << unit);
            } else {
                const float* e = &(*m)[0];
                const float t[16] = {e[0], e[1], 0, 0, e[4], e[5], 0, 0, 0, 0, 1, 0, e[8], e[9], 0, 1};
                g_gl.glLoadMatrixf(t);
                m_textureMatrixIdentity &= (unsigned char)~(1u << unit);
            }
            break;
        }
        case ESPT_AMBIENT_COLOR: setMaterialColor(0, color); break;
        case ESPT_SPECULAR_COLOR: setMaterialColor(2, color); break;
        case ESPT_EMISSION_COLOR: setMaterialColor(3, color); break;
        case ESPT_SHININESS: setMaterialShininess(floats[0]); break;
        case ESPT_TEXTURE_ENV_COLOR:
            if (unit < m_textureUnitCount && unit < 4) {
                setActiveTexture(unit);
                setTexEnvColor(color);
            }
            break;
        case ESPT_DIFFUSE_COLOR: {
            const auto* fixed = static_cast<const CFixedGLShader*>(pass.shader.get());
            const SFixedGLShaderVertexState& vs = *fixed->getVertexState();
            if (vs.getLightCount() == 0 || vs.getColorMaterialEnable()) m_vertexColor = color;
            else setMaterialColor(1, color);
            break;
        }
        case ESPT_ALPHA_REF: {
            float ref;
            std::memcpy(&ref, value, sizeof ref);
            const auto* fixed = static_cast<const CFixedGLShader*>(pass.shader.get());
            const unsigned func = fixed->getFragmentState()->getAlphaFunc();
            if (func != m_alphaFunc || ref != m_alphaRef) {
                g_gl.glAlphaFunc(CompareFuncs[func & 7], ref);
                m_alphaFunc = func;
                m_alphaRef = ref;
            }
            break;
        }
        case ESPT_COLORGEN_CONSTANT_COLOR: m_colorGenConstant = color; break;
        case ESPT_SCENE_AMBIENT_LIGHT: setLightModelAmbient(floats); break;
        case ESPT_FOG_DENSITY: setFogDensityInternal(floats[0]); break;
        case ESPT_FOG_START_END: setFogStartEndInternal(core::vector2d<float>(floats[0], floats[1])); break;
        case ESPT_FOG_COLOR: setFogColorInternal(color); break;
        case ESPT_CLIP_PLANE:
            if (unit < 6) g_gl.glClipPlanef(GL_CLIP_PLANE0 + unit, floats);
            break;
        default:
            if (shaderDef->type >= ESPT_LIGHT && shaderDef->type <= ESPT_LIGHT_SPOT_CUTOFF &&
                def->valueType == ESPVT_LIGHT) {
                const CLight* light;
                std::memcpy(&light, value, sizeof light);
                if (m_colorGen) m_colorGenLight = light;
                else if (light) commitLightParameter(unit, light, shaderDef->type);
            }
            break;
        }
    }
    if (textureMode) g_gl.glMatrixMode(GL_MODELVIEW);
}

void COpenGLESDriver::commitLightParameter(unsigned index, const CLight* l, unsigned property)
{
    if (index >= 8 || index >= m_maxLights) return;
    const GLenum light = GL_LIGHT0 + index;
    static const core::CMatrix4<float> Identity;
    const core::CMatrix4<float>& m = l->getTransformation() ? *l->getTransformation() : Identity;
    float v[4];
    switch (property) {
    case ESPT_LIGHT_POSITION:
        if (l->Type == ELT_DIRECTIONAL) v[0] = m[8], v[1] = m[9], v[2] = m[10], v[3] = 0.f;
        else v[0] = m[12], v[1] = m[13], v[2] = m[14], v[3] = 1.f;
        g_gl.glLightfv(light, GL_POSITION, v);
        break;
    case ESPT_LIGHT_DIRECTION:
        v[0] = m[8], v[1] = m[9], v[2] = m[10], v[3] = 0.f;
        g_gl.glLightfv(light, GL_SPOT_DIRECTION, v);
        break;
    case ESPT_LIGHT_ATTENUATION:
        setLightAttenuation(index, l->Attenuation.X, l->Attenuation.Y, l->Attenuation.Z);
        break;
    case ESPT_LIGHT_AMBIENT_COLOR:
    case ESPT_LIGHT_DIFFUSE_COLOR:
    case ESPT_LIGHT_SPECULAR_COLOR: {
        const SColorf& c = property == ESPT_LIGHT_AMBIENT_COLOR   ? l->AmbientColor
                           : property == ESPT_LIGHT_DIFFUSE_COLOR ? l->DiffuseColor
                                                                  : l->SpecularColor;
        const float f[4] = {c.r, c.g, c.b, c.a};
        g_gl.glLightfv(light, property == ESPT_LIGHT_AMBIENT_COLOR   ? GL_AMBIENT
                              : property == ESPT_LIGHT_DIFFUSE_COLOR ? GL_DIFFUSE
                                                                     : GL_SPECULAR,
                       f);
        break;
    }
    case ESPT_LIGHT_SPOT_EXPONENT: setLightSpotExponent(index, l->Type == ELT_SPOT ? l->Falloff : 0.f); break;
    case ESPT_LIGHT_SPOT_CUTOFF: setLightSpotCutoff(index, l->Type == ELT_SPOT ? l->OuterCone : 180.f); break;
    default: break;
    }
}

void COpenGLESDriver::commitCurrentMaterial()
{
    CMaterial* material = getCurrentMaterial();
    if (!material) return;
    const unsigned char technique = getCurrentTechnique();
    applyRenderStates(material, technique, 0);
    const SRenderPass& pass = material->getMaterialRenderer()->getTechnique(technique).passes[0];
    if (pass.shader.get() != getCommittedShader()) {
        commitShader(pass.shader.get());
        setCommittedShader(pass.shader.get());
    }
    commitPassParameters(pass, 0, pass.directBindingCount, false);
}

void COpenGLESDriver::commitMaterialRenderer(const boost::intrusive_ptr<CMaterialRenderer>& renderer)
{
    if (!renderer) return;
    SRenderPass& pass = renderer->getTechnique(getCurrentTechnique()).passes[0];
    applyRenderPass(pass.renderState);
    pass.changed = 0;
}

void COpenGLESDriver::restoreShadowState()
{
    forgetVertexState();
    enable(GL_LIGHTING, m_lighting);
    for (unsigned i = 0; i < m_maxLights; ++i) enable(GL_LIGHT0 + i, i < m_lightCount);
    g_gl.glLightModelfv(GL_LIGHT_MODEL_AMBIENT, m_lightModelAmbient);
    g_gl.glLightModelf(GL_LIGHT_MODEL_TWO_SIDE, m_twoSided ? 1.f : 0.f);
    enable(GL_NORMALIZE, m_normalize);
    enable(GL_COLOR_MATERIAL, m_colorMaterial);
    g_gl.glShadeModel(m_smooth ? GL_SMOOTH : GL_FLAT);
    enable(GL_FOG, m_fog);
    if (m_fogMode) g_gl.glFogf(GL_FOG_MODE, GLfloat(FogModes[m_fogMode & 3]));
    g_gl.glHint(GL_FOG_HINT, Hints[m_fogHint & 3]);
    g_gl.glFogf(GL_FOG_START, m_fogStart);
    g_gl.glFogf(GL_FOG_END, m_fogEnd);
    g_gl.glFogf(GL_FOG_DENSITY, m_fogDensity);
    std::memset(m_boundTextures, 0, sizeof m_boundTextures);
    for (unsigned u = 0; u < m_textureUnitCount; ++u) {
        g_gl.glActiveTexture(GL_TEXTURE0 + u);
        m_activeTexture = u;
        enable(GL_TEXTURE_2D, u < m_enabledTextureUnits);
        const SFixedGLShaderTexEnv& env = m_texEnv[u];
        g_gl.glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GLint(EnvModes[env.envMode & 7]));
        g_gl.glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_RGB, GLint(CombineModes[env.getRGBMode()]));
        g_gl.glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_ALPHA, GLint(CombineModes[env.getAlphaMode()]));
        for (unsigned k = 0; k < 3; ++k) {
            g_gl.glTexEnvi(GL_TEXTURE_ENV, GL_SRC0_RGB + k, GLint(Sources[env.getRGBSource(k)]));
            g_gl.glTexEnvi(GL_TEXTURE_ENV, GL_SRC0_ALPHA + k, GLint(Sources[env.getAlphaSource(k)]));
            g_gl.glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND0_RGB + k, GLint(Operands[env.getRGBOperand(k)]));
            g_gl.glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND0_ALPHA + k, GLint(AlphaOperands[env.getAlphaOperand(k)]));
        }
        g_gl.glTexEnvf(GL_TEXTURE_ENV, GL_RGB_SCALE, env.rgbScale);
        g_gl.glTexEnvf(GL_TEXTURE_ENV, GL_ALPHA_SCALE, env.alphaScale);
    }
    g_gl.glClientActiveTexture(GL_TEXTURE0 + m_clientActiveTexture);
    m_matrixDirty = kAllMatricesDirty;  // foreign code loads its own matrices
    for (unsigned p = 0; p < m_clipPlaneCount; ++p) enable(GL_CLIP_PLANE0 + p, m_clipPlaneOn[p]);
    enable(GL_ALPHA_TEST, m_alphaTest);
    g_gl.glAlphaFunc(CompareFuncs[m_alphaFunc & 7], m_alphaRef);
    restoreRenderState();
}

}  // namespace pravik::video
