#include "tools/formats/DefaultEffects.h"

#include "engine/collada/SColladaRecords.h"
#include "engine/video/gl/SFixedGLShaderState.h"
#include "engine/video/material/CMaterialRendererManager.h"
#include "engine/video/material/ERenderStateEnums.h"
#include "engine/video/material/EShaderParameterType.h"

#include <cstring>

namespace formats::bres {

using namespace pravik;

namespace {

bool has(const std::string& name, const char* word) { return name.find(word) != std::string::npos; }

std::string fragmentState(unsigned units, bool lerp)
{
    video::SFixedGLShaderFragmentState fs;
    fs.setActiveUnitCount((unsigned char)units);
    if (lerp && units > 1) {
        fs.texEnv[1].setEnvMode(video::ETEM_COMBINE);
        fs.texEnv[1].setRGBMode(video::ETCM_INTERPOLATE);
    }
    std::string bytes(sizeof fs, '\0');
    std::memcpy(bytes.data(), &fs, sizeof fs);
    return bytes;
}

SPassSpec passFor(const std::string& name)
{
    SPassSpec pass;
    const unsigned units = has(name, "Multi") || has(name, "Two Texture") ? 2 : (has(name, "Textured") || has(name, "Cube") ||
                                                                                      has(name, "Force Commit"))
                                                                                         ? 1
                                                                                         : 0;
    pass.fragmentState = fragmentState(units, has(name, "Lerp"));
    const bool blend = has(name, "Blend");
    const bool additive = has(name, "Additive");
    const unsigned src = blend ? video::EBF_SRC_ALPHA : video::EBF_ONE;
    const unsigned dst = additive ? video::EBF_ONE : blend ? video::EBF_ONE_MINUS_SRC_ALPHA : video::EBF_ZERO;
    pass.blendFactors = uint8_t(src | dst << 4);
    pass.wordA = unsigned(video::ECF_ALWAYS) << 18;
    pass.wordB = unsigned(video::ECF_LEQUAL) << 12;
    if (blend) pass.wordB |= 1u << 19;
    if (!has(name, "No Depth")) pass.wordB |= (1u << 22) | (1u << 23);
    // Culling stays off: the 2D quads these types draw come in either winding.
    return pass;
}

SParamSpec textureParam(const char* name, uint32_t type)
{
    SParamSpec p;
    p.name = name;
    p.type = type;
    p.parameterType = video::ESPT_TEXTURE;
    p.images = {-1};
    return p;
}

SBindSpec bindTo(uint16_t type, int32_t param)
{
    SBindSpec b;
    b.parameterType = type;
    b.param = param;
    return b;
}

}  // namespace

std::vector<SEffectSpec> defaultEffectSpecs()
{
    const char* const* names = video::getStringsInternal(static_cast<video::E_MATERIAL_TYPE*>(nullptr));
    std::vector<SEffectSpec> effects;
    for (unsigned type = 0; type < video::EMT_COUNT; ++type) {
        if (type == video::EMT_TODO) continue;
        SEffectSpec e;
        e.id = names[type];
        if (type == video::EMT_FORCE_COMMIT_TEXTURE) {
            // Technique and parameter t serve a texture of type t.
            const char* const kinds[] = {"2D", "3D", "Cube", "Rect"};
            const uint32_t samplers[] = {collada::EPT_SAMPLER2D, collada::EPT_SAMPLER3D, collada::EPT_SAMPLERCUBE,
                                         collada::EPT_SAMPLERRECT};
            for (int t = 0; t < 4; ++t) {
                e.params.push_back(textureParam((std::string("Texture") + kinds[t]).c_str(), samplers[t]));
                SPassSpec pass = passFor(e.id);
                pass.binds = {bindTo(video::ESPT_TEXTURE, t)};
                e.techniques.push_back({kinds[t], {pass}});
            }
        } else {
            SPassSpec pass = passFor(e.id);
            if (type == video::EMT_UNLIT_TEXTURED_BLEND_TEXTURE_ALPHA_NO_CULLING ||
                type == video::EMT_UNLIT_TEXTURED_NO_DEPTH) {
                e.params.push_back(textureParam("Texture", collada::EPT_SAMPLER2D));
                SParamSpec color;
                color.name = "Diffuse Color";
                color.type = collada::EPT_COLOR;
                color.parameterType = video::ESPT_DIFFUSE_COLOR;
                color.bytes = std::string(4, char(0xff));
                e.params.push_back(color);
                pass.binds = {bindTo(video::ESPT_TEXTURE, 0), bindTo(video::ESPT_DIFFUSE_COLOR, 1)};
            }
            e.techniques.push_back({"Default", {pass}});
        }
        effects.push_back(std::move(e));
    }
    return effects;
}

std::string defaultEffectsFile()
{
    Writer w;
    addEffects(w, defaultEffectSpecs());
    return w.finish();
}

}  // namespace formats::bres
