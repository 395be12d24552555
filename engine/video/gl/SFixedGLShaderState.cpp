#include "engine/video/gl/SFixedGLShaderState.h"

#include <cstdio>

#include "engine/io/IAttributes.h"
#include "engine/os/Printer.h"

namespace pravik::video {

namespace {

template <class E>
const char* const* names()
{
    return getStringsInternal((E*)nullptr);
}

// The enumeration's index when it fits the field; otherwise the field keeps its value.
template <class E>
void readEnum(io::IAttributes* in, const char* name, unsigned& word, unsigned shift, unsigned width)
{
    const int v = in->getEnum(name, names<E>());
    if (v < 0 || unsigned(v) >= (1u << width)) {
        os::Printer::log("Fixed-function state: missing or unknown value kept as it was", name, ELL_WARNING);
        return;
    }
    detail::setBits(word, shift, width, unsigned(v));
}

// Texture and constant-colour use of one combiner.
void combinerUse(unsigned mode, const unsigned sources[3], bool& texture, bool& constant)
{
    unsigned args;
    if (mode == ETCM_REPLACE)
        args = 1;
    else if (mode == ETCM_INTERPOLATE)
        args = 3;
    else if (mode < ETCM_COUNT)
        args = 2;
    else {
        texture = true;
        constant = false;
        return;
    }
    texture = constant = false;
    for (unsigned i = 0; i < args; ++i) {
        texture |= sources[i] == ETCS_TEXTURE;
        constant |= sources[i] == ETCS_CONSTANT;
    }
}

}  // namespace

void SFixedGLShaderTexEnv::updateTextureFlags()
{
    bool texture, constant;
    if (envMode != ETEM_COMBINE) {
        texture = true;
        constant = envMode == ETEM_BLEND;
    } else {
        const unsigned rgb[3] = {getRGBSource(0), getRGBSource(1), getRGBSource(2)};
        const unsigned alpha[3] = {getAlphaSource(0), getAlphaSource(1), getAlphaSource(2)};
        bool rgbTexture, rgbConstant, alphaTexture, alphaConstant;
        combinerUse(getRGBMode(), rgb, rgbTexture, rgbConstant);
        combinerUse(getAlphaMode(), alpha, alphaTexture, alphaConstant);
        texture = rgbTexture || alphaTexture;
        constant = rgbConstant || alphaConstant;
    }
    detail::setBits(combiner, 30, 1, texture);
    detail::setBits(combiner, 31, 1, constant);
}

void SFixedGLShaderTexEnv::serializeAttributes(io::IAttributes* out, unsigned int unit) const
{
    char group[32];
    std::snprintf(group, sizeof(group), "TexEnv%d", int(unit));
    out->push(group);
    out->addEnum("EnvMode", int(envMode), names<E_TEXTURE_ENV_MODE>(), false);
    out->addFloat("RGBScale", rgbScale, false);
    out->addFloat("AlphaScale", alphaScale, false);
    out->addEnum("RGBMode", int(getRGBMode()), names<E_TEXTURE_COMBINE_MODE>(), false);
    out->addEnum("AlphaMode", int(getAlphaMode()), names<E_TEXTURE_COMBINE_MODE>(), false);
    for (unsigned j = 0; j < 3; ++j) {
        std::snprintf(group, sizeof(group), "CombinerState%d", int(j));
        out->push(group);
        out->addEnum("RGBOperand", int(getRGBOperand(j)), names<E_TEXTURE_COMBINE_OPERAND>(), false);
        out->addEnum("AlphaOperand", int(getAlphaOperand(j)), names<E_TEXTURE_COMBINE_OPERAND>(), false);
        out->addEnum("RGBSource", int(getRGBSource(j)), names<E_TEXTURE_COMBINE_SOURCE>(), false);
        out->addEnum("AlphaSource", int(getAlphaSource(j)), names<E_TEXTURE_COMBINE_SOURCE>(), false);
        out->pop();
    }
    out->pop();
}

void SFixedGLShaderTexEnv::deserializeAttributes(io::IAttributes* in, unsigned int unit)
{
    char group[32];
    std::snprintf(group, sizeof(group), "TexEnv%d", int(unit));
    in->push(group);
    const int mode = in->getEnum("EnvMode", names<E_TEXTURE_ENV_MODE>());
    if (mode < 0)
        os::Printer::log("Fixed-function state: missing or unknown value kept as it was", "EnvMode",
                         ELL_WARNING);
    else
        envMode = unsigned(mode);
    updateTextureFlags();
    rgbScale = in->getFloat("RGBScale");
    alphaScale = in->getFloat("AlphaScale");
    readEnum<E_TEXTURE_COMBINE_MODE>(in, "RGBMode", combiner, 0, 3);
    updateTextureFlags();
    readEnum<E_TEXTURE_COMBINE_MODE>(in, "AlphaMode", combiner, 3, 3);
    updateTextureFlags();
    for (unsigned j = 0; j < 3; ++j) {
        std::snprintf(group, sizeof(group), "CombinerState%d", int(j));
        in->push(group);
        readEnum<E_TEXTURE_COMBINE_OPERAND>(in, "RGBOperand", combiner, 6 + 2 * j, 2);
        readEnum<E_TEXTURE_COMBINE_OPERAND>(in, "AlphaOperand", combiner, 12 + 2 * j, 2);
        readEnum<E_TEXTURE_COMBINE_SOURCE>(in, "RGBSource", combiner, 18 + 2 * j, 2);
        updateTextureFlags();
        readEnum<E_TEXTURE_COMBINE_SOURCE>(in, "AlphaSource", combiner, 24 + 2 * j, 2);
        updateTextureFlags();
        in->pop();
    }
    in->pop();
}

void SFixedGLShaderFragmentState::setActiveUnitCount(unsigned char count)
{
    const unsigned current = getActiveUnitCount();
    if (count == current) return;
    for (unsigned u = current; u < count && u < 4; ++u) texEnv[u].updateTextureFlags();
    detail::setBits(word, 4, 3, count);
}

void SFixedGLShaderFragmentState::serializeAttributes(io::IAttributes* out) const
{
    for (unsigned u = 0; u < 4; ++u) texEnv[u].serializeAttributes(out, u);
    out->addBool("AlphaTestEnable", getAlphaTestEnable(), true);
    out->addEnum("AlphaFunc", int(getAlphaFunc()), names<E_COMPARE_FUNC>(), true);
    out->addInt("ActiveUnitCount", int(getActiveUnitCount()), true);
    char name[32];
    for (unsigned j = 0; j < 6; ++j) {
        std::snprintf(name, sizeof(name), "ClipPlaneEnable%d", int(j));
        out->addBool(name, getClipPlaneEnable(j), true);
    }
}

void SFixedGLShaderFragmentState::deserializeAttributes(io::IAttributes* in)
{
    for (unsigned u = 0; u < 4; ++u) texEnv[u].deserializeAttributes(in, u);
    setAlphaTestEnable(in->getBool("AlphaTestEnable"));
    readEnum<E_COMPARE_FUNC>(in, "AlphaFunc", word, 1, 3);
    setActiveUnitCount((unsigned char)(in->getInt("ActiveUnitCount") & 7));
    char name[32];
    for (unsigned j = 0; j < 6; ++j) {
        std::snprintf(name, sizeof(name), "ClipPlaneEnable%d", int(j));
        setClipPlaneEnable(j, in->getBool(name));
    }
}

void SFixedGLShaderVertexState::serializeAttributes(io::IAttributes* out) const
{
    out->addBool("ColorMaterialEnable", detail::bits(word, 0, 1), true);
    out->addBool("NormalizeEnable", detail::bits(word, 1, 1), true);
    out->addEnum("ShadeModel", int(detail::bits(word, 2, 1)), names<E_SHADE_MODEL>(), true);
    out->addBool("LightModelTwoSideEnable", detail::bits(word, 3, 1), true);
    out->addInt("LightCount", int(getLightCount()), true);
    out->addEnum("FogMode", int(getFogMode()), names<E_FOG_MODE>(), true);
    out->addEnum("FogHint", int(detail::bits(word, 14, 2)), names<E_RENDER_HINT>(), true);
    out->push("TexGen");
    char name[32];
    for (unsigned u = 0; u < 4; ++u) {
        std::snprintf(name, sizeof(name), "TexCoord%u", u);
        out->addEnum(name, int(getTexGen(u)), names<E_TEX_GEN_TYPE>(), false);
    }
    out->pop();
    out->addEnum("ColorGen", int(getColorGen()), names<E_COLOR_GEN>(), true);
}

void SFixedGLShaderVertexState::deserializeAttributes(io::IAttributes* in)
{
    detail::setBits(word, 0, 1, in->getBool("ColorMaterialEnable"));
    detail::setBits(word, 1, 1, in->getBool("NormalizeEnable"));
    readEnum<E_SHADE_MODEL>(in, "ShadeModel", word, 2, 1);
    detail::setBits(word, 3, 1, in->getBool("LightModelTwoSideEnable"));
    detail::setBits(word, 4, 8, unsigned(in->getInt("LightCount")) & 0xffu);
    readEnum<E_FOG_MODE>(in, "FogMode", word, 12, 2);
    readEnum<E_RENDER_HINT>(in, "FogHint", word, 14, 2);
    in->push("TexGen");
    char name[32];
    for (unsigned u = 0; u < 4; ++u) {
        std::snprintf(name, sizeof(name), "TexCoord%u", u);
        readEnum<E_TEX_GEN_TYPE>(in, name, word, 16 + 3 * u, 3);
    }
    in->pop();
    readEnum<E_COLOR_GEN>(in, "ColorGen", word, 28, 3);
}

}  // namespace pravik::video
