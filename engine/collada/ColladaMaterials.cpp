#include "engine/collada/ColladaMaterials.h"

#include "engine/collada/CColladaDatabase.h"
#include "engine/collada/CRootSceneNode.h"
#include "engine/core/ProcessBuffer.h"
#include "engine/os/Printer.h"
#include "engine/video/ITexture.h"
#include "engine/video/IVideoDriver.h"
#include "engine/video/gl/CFixedGLShaderManager.h"
#include "engine/video/material/CGlobalMaterialParameterManager.h"
#include "engine/video/material/CMaterial.h"
#include "engine/video/material/CMaterialRenderer.h"
#include "engine/video/material/CMaterialRendererManager.h"
#include "engine/video/material/CNullShaderManager.h"
#include "engine/video/material/IShader.h"

#include <strings.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <vector>

namespace pravik::collada {

using video::E_SHADER_PARAMETER_TYPE;
using video::E_SHADER_PARAMETER_VALUE_TYPE;
using video::E_SHADER_STAGE;

namespace {

constexpr unsigned kBindTypes = 35;  // parameter types a pass binds: 0 to 34
constexpr unsigned short kNone = 0xffff;

const char* const kParamTypeNames[] = {"int",      "int2",      "int3",        "int4",        "float",  "float2",
                                       "float3",   "float4",    "float2x2",    "float3x3",    "float4x4",
                                       "sampler2D", "sampler3D", "samplerCube", "samplerRect", "color",
                                       "colorf",   "light",     "surface",     "url",         "technique"};
const uint32_t kStrides[] = {4, 8, 12, 16, 4, 8, 12, 16, 16, 36, 64, 4, 4, 4, 4, 4, 16, 4};

const char* valueTypeName(unsigned valueType)
{
    const char* const* names = video::getStringsInternal(static_cast<E_SHADER_PARAMETER_VALUE_TYPE*>(nullptr));
    return valueType < video::ESPVT_COUNT ? names[valueType] : "unknown";
}

// Whether a value of scene-file type t may set a parameter of value type v.
bool accepted(unsigned v, uint32_t t)
{
    using namespace video;
    auto any = [t](std::initializer_list<uint32_t> list) {
        for (uint32_t x : list)
            if (x == t) return true;
        return false;
    };
    switch (v) {
    case ESPVT_INT: return any({EPT_INT, EPT_INT2, EPT_INT3, EPT_INT4, EPT_FLOAT});
    case ESPVT_INT2: return any({EPT_INT2, EPT_INT3, EPT_INT4});
    case ESPVT_INT3: return any({EPT_INT3, EPT_INT4});
    case ESPVT_INT4: return t == EPT_INT4;
    case ESPVT_FLOAT: return any({EPT_INT, EPT_FLOAT, EPT_FLOAT2, EPT_FLOAT3, EPT_FLOAT4});
    case ESPVT_FLOAT2: return any({EPT_FLOAT2, EPT_FLOAT3, EPT_FLOAT4});
    case ESPVT_FLOAT3: return any({EPT_FLOAT3, EPT_FLOAT4});
    case ESPVT_FLOAT4: return any({EPT_FLOAT4, EPT_COLOR, EPT_COLORF});
    case ESPVT_FLOAT2X2: return t == EPT_FLOAT2X2;
    case ESPVT_FLOAT3X3: return t == EPT_FLOAT3X3;
    case ESPVT_FLOAT4X4: return t == EPT_FLOAT4X4;
    case ESPVT_SAMPLER2D: return t == EPT_SAMPLER2D;
    case ESPVT_SAMPLER3D: return t == EPT_SAMPLER3D;
    case ESPVT_SAMPLERCUBE: return t == EPT_SAMPLERCUBE;
    case ESPVT_SAMPLERRECT: return t == EPT_SAMPLERRECT;
    case ESPVT_COLOR:
    case ESPVT_COLORF: return any({EPT_INT3, EPT_INT4, EPT_FLOAT3, EPT_FLOAT4, EPT_COLOR, EPT_COLORF});
    case ESPVT_LIGHT: return any({EPT_LIGHT, EPT_URL});
    default: return false;
    }
}

bool isIdentity(const float* m)
{
    for (int i = 0; i < 16; ++i)
        if (std::fabs(m[i] - ((i % 5 == 0) ? 1.f : 0.f)) > 1e-6f) return false;
    return true;
}

void addLink(CRootSceneNode* root, video::CMaterial& target, unsigned short id, unsigned e, const char* url)
{
    root->addURLToResolve(boost::intrusive_ptr<video::CMaterial>(&target), id, e, url);
}
void addLink(CRootSceneNode* root, video::CMaterialRenderer& target, unsigned short id, unsigned e, const char* url)
{
    root->addURLToResolve(boost::intrusive_ptr<video::CMaterialRenderer>(&target), id, e, url);
}

}  // namespace

const char* paramTypeName(uint32_t type) { return type < EPT_COUNT ? kParamTypeNames[type] : "unknown"; }

template <class Target>
bool setParameterValue(const CResFile& file, Target& target, const char* owner, unsigned short id,
                       const SParamValue& source, CRootSceneNode* root)
{
    const video::SShaderParameterDef* d = target.getParameterDef(id);
    if (!d) return false;
    const char* name = d->name.c_str() ? d->name.c_str() : "";
    const uint32_t count = source.dimensions ? source.dimensions[0] : 0;
    if (count < d->arraySize) {
        os::Printer::logf(ELL_ERROR, "Not enough elements in parameter array \"%s/%s\"", owner, name);
        return false;
    }
    if (!accepted(d->valueType, source.type)) {
        os::Printer::logf(ELL_ERROR, "parameter type mismatch when setting \"%s/%s\": want %s, got %s", owner, name,
                          valueTypeName(d->valueType), paramTypeName(source.type));
        return false;
    }
    const uint32_t size = d->arraySize;
    switch (d->valueType) {
    case video::ESPVT_FLOAT2X2:
    case video::ESPVT_FLOAT3X3:
        return true;
    case video::ESPVT_FLOAT4X4: {
        const auto* data = static_cast<const float*>(file.getFile().resolve(source.value, 64 * size, 4));
        for (uint32_t e = 0; data && e < size; ++e) {
            const float* m = data + 16 * e;
            if (isIdentity(m)) continue;
            core::CMatrix4<float> matrix;
            std::memcpy(matrix.pointer(), m, 64);
            target.setParameter(id, e, matrix);
        }
        return true;
    }
    case video::ESPVT_SAMPLER2D:
    case video::ESPVT_SAMPLER3D:
    case video::ESPVT_SAMPLERCUBE:
    case video::ESPVT_SAMPLERRECT: {
        const auto* elements = static_cast<const uint32_t*>(file.getFile().resolve(source.value, 4 * size, 4));
        for (uint32_t e = 0; elements && e < size; ++e) {
            const uint32_t* word = file.as<uint32_t>(elements[e]);
            const SImage* image = word ? file.as<SImage>(*word) : nullptr;
            if (!image) continue;
            target.setParameter(id, e, file.getTexture(image));
        }
        return true;
    }
    case video::ESPVT_LIGHT: {
        const auto* urls = static_cast<const res::String*>(file.getFile().resolve(source.value, 4 * size, 4));
        for (uint32_t e = 0; urls && e < size; ++e) {
            const char* url = file.str(urls[e]);
            if (!url || !url[0] || std::strcmp(url, "#") == 0) break;
            if (root) addLink(root, target, id, e, url);
        }
        return true;
    }
    default: {
        if (source.type >= std::size(kStrides)) return false;
        const uint32_t stride = kStrides[source.type];
        const void* data = file.getFile().resolve(source.value, stride * size, 4);
        if (!data) return false;
        return target.setParameterCvt(id, E_SHADER_PARAMETER_VALUE_TYPE(source.type + 1), data, int(stride));
    }
    }
}

template bool setParameterValue<video::CMaterial>(const CResFile&, video::CMaterial&, const char*, unsigned short,
                                                  const SParamValue&, CRootSceneNode*);
template bool setParameterValue<video::CMaterialRenderer>(const CResFile&, video::CMaterialRenderer&, const char*,
                                                          unsigned short, const SParamValue&, CRootSceneNode*);

video::detail::renderpass::SRenderState packRenderState(const SPass& pass)
{
    auto bits = [](uint32_t word, unsigned from, unsigned to) { return (word >> from) & ((1u << (to - from + 1)) - 1u); };
    const uint32_t a = pass.wordA, b = pass.wordB;
    video::detail::renderpass::SRenderState s;
    s.word0 = uint32_t(pass.blendFactors) | uint32_t(pass.stencilRef) << 8 | uint32_t(pass.stencilMask) << 16 |
              bits(a, 12, 14) << 24 | bits(b, 12, 14) << 27 | bits(a, 30, 31) << 30;
    s.word1 = bits(a, 18, 20) | bits(a, 21, 23) << 3 | bits(a, 24, 26) << 6 | bits(a, 27, 29) << 9 |
              bits(b, 15, 16) << 12 | bits(b, 17, 18) << 14 | bits(b, 19, 19) << 16 | bits(b, 20, 20) << 17 |
              bits(b, 21, 21) << 18 | bits(b, 22, 22) << 19 | bits(b, 23, 23) << 20 | bits(b, 25, 25) << 21 |
              bits(b, 26, 26) << 22 | bits(b, 27, 27) << 23 | bits(b, 28, 28) << 24 | bits(b, 29, 29) << 25 |
              bits(b, 30, 30) << 26 | (pass.stencilEnable & 1u) << 27;
    const uint32_t c = pass.blendColor;  // stored bytes r, g, b, a
    s.blendColor = video::SColor(uint8_t(c), uint8_t(c >> 8), uint8_t(c >> 16), uint8_t(c >> 24));
    s.lineWidth = pass.lineWidth;
    s.pointSize = pass.pointSize;
    s.polygonOffsetFactor = pass.polygonOffsetFactor;
    s.polygonOffsetUnits = pass.polygonOffsetUnits;
    s.sampleCoverageValue = pass.coverage;
    return s;
}

namespace {

unsigned s_nullShaderCounter = 0;  // names of the null builder's shaders, program-wide

boost::intrusive_ptr<video::IShader> makeShader(video::IVideoDriver* driver, bool gles, const SPass& pass)
{
    if (gles) {
        auto* shaders = dynamic_cast<video::CFixedGLShaderManager*>(driver->getShaderManager());
        if (!shaders) return nullptr;
        video::SFixedGLShaderVertexState vs;
        vs.word = pass.vertexState;
        video::SFixedGLShaderFragmentState fs;
        static_assert(sizeof fs == sizeof pass.fragmentState);
        std::memcpy(&fs, pass.fragmentState, sizeof fs);
        return shaders->createShader("", vs, fs);
    }
    auto* shaders = dynamic_cast<video::CNullShaderManager*>(driver->getShaderManager());
    if (!shaders) return nullptr;
    char name[16];
    std::snprintf(name, sizeof name, "%u", s_nullShaderCounter++ % 1000000u);
    return shaders->createShader(name);
}

const char* bindTypeName(unsigned type)
{
    const char* const* names = video::getStringsInternal(static_cast<E_SHADER_PARAMETER_TYPE*>(nullptr));
    return type < video::ESPT_COUNT ? names[type] : "unknown";
}

}  // namespace

boost::intrusive_ptr<video::CMaterialRenderer> createMaterialRenderer(const CColladaDatabase&, video::IVideoDriver* driver,
                                                                      const char* name, const SEffectList& effects,
                                                                      CRootSceneNode* root)
{
    if (effects.empty() || !driver || !driver->getMaterialRendererManager()) return nullptr;
    const unsigned type = unsigned(driver->getDriverType());
    const bool gles = (type & 7u) != 0;
    if (!gles && type != 0) return nullptr;
    video::CMaterialRendererManager& manager = *driver->getMaterialRendererManager();
    core::SScopedEnableProcessBufferHeapExcess excess(true);
    const bool building = manager.beginMaterialRenderer(name, true);
    using ID = video::CMaterialRendererManager::STemporaryID;
    // The shaders of the passes of every technique built here, for the bindings.
    std::map<void*, std::vector<boost::intrusive_ptr<video::IShader>>> shaders;

    bool first = true;
    for (const auto& [edb, effect] : effects) {
        if (!building) break;
        const CResFile* file = edb.getResFile();
        if (!file || !effect) continue;
        auto techniques = file->get(effect->profile0.techniques);
        auto params = file->get(effect->profile0.params);
        std::vector<ID> techniqueSlots(techniques.size());
        bool hasBinds = false;
        for (size_t t = 0; t < techniques.size(); ++t) {
            const char* techniqueName = file->cstr(techniques[t].name);
            auto passes = file->get(techniques[t].passes);
            for (const SPass& pass : passes) hasBinds |= pass.binds.count > 0;
            if (!first) techniqueSlots[t] = manager.getTechniqueID(techniqueName);
            if (techniqueSlots[t] || !manager.beginTechnique(techniqueName, true)) continue;
            std::vector<boost::intrusive_ptr<video::IShader>> built;
            for (const SPass& pass : passes) {
                auto shader = makeShader(driver, gles, pass);
                built.push_back(shader);
                manager.addRenderPass(shader, packRenderState(pass));
            }
            techniqueSlots[t] = manager.endTechnique(params.empty(), 0);
            if (techniqueSlots[t]) shaders[techniqueSlots[t].p] = std::move(built);
        }
        if (!params.empty() || hasBinds) {
            std::vector<ID> paramSlots(params.size());
            for (size_t k = 0; k < params.size(); ++k) {
                const SNewParam& p = params[k];
                const char* paramName = file->cstr(p.name);
                if (p.dimensionCount > 1)
                    os::Printer::logf(ELL_WARNING, "%s/%s: multidimensional parameters not supported yet", name, paramName);
                if (!first) paramSlots[k] = manager.getParameterIDInternal(core::SSharedString(paramName));
                const uint32_t* dims = file->get(p.dimensions);
                if (!paramSlots[k])
                    paramSlots[k] = manager.addParameterInternal(core::SSharedString(paramName),
                                                                 E_SHADER_PARAMETER_TYPE(p.parameterType),
                                                                 video::ESPVT_NONE, dims ? *dims : 0, true);
            }
            for (size_t t = 0; t < techniques.size(); ++t) {
                if (!techniqueSlots[t]) continue;
                auto found = shaders.find(techniqueSlots[t].p);
                auto passes = file->get(techniques[t].passes);
                for (size_t i = 0; i < passes.size(); ++i) {
                    const video::IShader* shader =
                        found != shaders.end() && i < found->second.size() ? found->second[i].get() : nullptr;
                    unsigned short start[kBindTypes] = {};
                    for (const SBind& bind : file->get(passes[i].binds)) {
                        unsigned short id = kNone;
                        // Types past the table name no shader parameter (and would index past it).
                        if (shader && bind.parameterType < kBindTypes && bind.stage < video::ESS_COUNT) {
                            const auto ptype = E_SHADER_PARAMETER_TYPE(bind.parameterType);
                            const auto stage = E_SHADER_STAGE(bind.stage);
                            if (gles) {
                                id = shader->getParameterID(ptype, stage, start[ptype]);
                                if (id != kNone && start[ptype] == 0) start[ptype] = id;
                                for (unsigned n = 0; id != kNone && n < bind.occurrence; ++n) {
                                    const unsigned short next = shader->getParameterID(ptype, stage, id + 1);
                                    if (next == kNone) break;
                                    id = next;
                                }
                            } else {
                                id = shader->getParameterID(ptype, stage, 0);
                            }
                        }
                        if (id == kNone) {
                            os::Printer::logf(ELL_ERROR, "%s/%s: invalid bind symbol: %s", name,
                                              file->cstr(techniques[t].name), bindTypeName(bind.parameterType));
                            continue;
                        }
                        const auto stage = E_SHADER_STAGE(bind.stage);
                        const auto& def = shader->getStage(stage).parameters[id];
                        if (bind.global == 1) {
                            const char* globalName = file->cstr(res::String{bind.target});
                            auto* globals = driver->getGlobalMaterialParameterManager();
                            if (!globals) continue;
                            unsigned short gid = globals->getId(globalName);
                            if (gid == kNone) {
                                const bool light = def.type >= video::ESPT_LIGHT && def.type <= 28;
                                gid = light ? globals->addParameter(globalName, video::ESPT_LIGHT, video::ESPVT_LIGHT,
                                                                    def.arraySize, def.subId)
                                            : globals->addParameter(globalName, E_SHADER_PARAMETER_TYPE(def.type),
                                                                    E_SHADER_PARAMETER_VALUE_TYPE(def.valueType),
                                                                    def.arraySize, def.subId);
                            }
                            if (gid != kNone)
                                manager.bindGlobalParameter(gid, techniqueSlots[t], (unsigned char)i, id, stage);
                            continue;
                        }
                        const int32_t k = int32_t(bind.target);
                        if (k < 0 || size_t(k) >= params.size() || !paramSlots[size_t(k)]) continue;
                        if (params[size_t(k)].type == EPT_LIGHT) {
                            manager.bindParameter(paramSlots[size_t(k)], E_SHADER_PARAMETER_TYPE(def.type),
                                                  techniqueSlots[t], (unsigned char)i, id, stage);
                        } else if (auto* renderParam = manager.getParameterDef(paramSlots[size_t(k)])) {
                            manager.bindParameter(paramSlots[size_t(k)], E_SHADER_PARAMETER_TYPE(renderParam->def.type),
                                                  techniqueSlots[t], (unsigned char)i, id, stage);
                        }
                    }
                }
            }
        }
        first = false;
    }

    const unsigned short id = manager.endMaterialRenderer();
    boost::intrusive_ptr<video::CMaterialRenderer> renderer = id < manager.size() ? manager.get(id) : nullptr;
    if (!renderer) {
        os::Printer::logf(ELL_ERROR, "failed to create material renderer %s", name ? name : "");
        return nullptr;
    }
    if (!building) return renderer;

    // Defaults: the renderer's parameters in id order, matched through the effects in order.
    unsigned short u = 0;
    for (const auto& [edb, effect] : effects) {
        const CResFile* file = edb.getResFile();
        if (!file || !effect) continue;
        auto params = file->get(effect->profile0.params);
        size_t j = 0;
        while (u < renderer->getParameterCount()) {
            const video::SShaderParameterDef* d = renderer->getParameterDef(u);
            const char* wanted = d && d->name.c_str() ? d->name.c_str() : "";
            while (j < params.size() && std::strcmp(file->cstr(params[j].name), wanted) != 0) ++j;
            if (j >= params.size()) break;
            const SNewParam& p = params[j];
            setParameterValue(*file, *renderer, renderer->getName(), u, SParamValue{p.type, file->get(p.dimensions), p.value},
                              root);
            ++u;
        }
    }
    return renderer;
}

boost::intrusive_ptr<video::CMaterial> createMaterial(const CColladaDatabase& db, video::IVideoDriver*,
                                                      const boost::intrusive_ptr<video::CMaterialRenderer>& renderer,
                                                      SMaterial& record, CRootSceneNode* root)
{
    const CResFile* file = db.getResFile();
    if (!renderer || !file) return nullptr;
    auto material = video::CMaterial::allocate(renderer, file->cstr(record.id));
    if (!material) return nullptr;
    for (const SMaterialParam& p : file->get(record.params)) {
        const unsigned short id = renderer->getParameterID(file->cstr(p.name));
        if (id == kNone || id >= renderer->getParameterCount()) {
            if (p.type != EPT_TECHNIQUE) continue;
            const auto* words = static_cast<const uint32_t*>(file->getFile().resolve(p.value, 8, 4));
            const char* technique = words ? file->str(res::String{words[1]}) : nullptr;
            const unsigned char t = technique ? renderer->getTechniqueID(technique) : 255;
            if (t != 255) material->setBaseTechnique(t);
            continue;
        }
        setParameterValue(*file, *material, material->getName(), id, SParamValue{p.type, file->get(p.dimensions), p.value},
                          root);
    }
    return material;
}

}  // namespace pravik::collada
