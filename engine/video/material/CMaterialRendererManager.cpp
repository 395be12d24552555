// The renderer registry, the builder and the instance cache.

#include "engine/video/material/CMaterialRendererManager.h"

#include "engine/core/UniqueName.h"

#include "engine/core/ProcessBuffer.h"
#include "engine/os/Printer.h"
#include "engine/video/material/CGlobalMaterialParameterManager.h"
#include "engine/video/gl/CFixedGLShaderManager.h"
#include "engine/video/material/CNullShaderManager.h"
#include "engine/video/material/IBatchBaker.h"
#include "engine/video/material/IShaderManager.h"
#include "engine/video/IVideoDriver.h"
#include "engine/video/material/detail/SShaderParameterTypeInspection.h"

#include <cstdio>
#include <cstring>

namespace pravik::video {

namespace {

const char* const MaterialTypeNames[] = {
    "Unlit Non Textured", "Unlit Non Textured Blend", "Unlit Non Textured Blend Material Color",
    "Unlit Non Textured No Depth", "Unlit Non Textured Blend No Depth", "**** TODO ****", "Unlit Textured Blend",
    "Unlit Textured Blend No Depth", "Unlit Textured Additive Blend No Depth No Culling",
    "Unlit Textured Blend Texture Alpha No Culling", "Unlit Textured Blend Texture Alpha No Culling No Depth",
    "Unlit Textured No Depth", "Unlit Cube Map No Depth", "Unlit Textured Blend Color Filter",
    "Unlit Multi Textured Blend", "Unlit Two Texture Lerp No Matrices", "Force Commit Texture", nullptr};

CMaterialRendererManager::BuiltInBuilder s_builtInBuilder = nullptr;
CMaterialRendererManager::FallbackShaderFactory s_fallbackFactory = nullptr;

constexpr unsigned MaxNameLength = 1015;

bool isLightType(unsigned t) { return t >= ESPT_LIGHT && t <= ESPT_LIGHT_CONE_ANGLES; }

}  // namespace

const char* const* getStringsInternal(E_MATERIAL_TYPE*) { return MaterialTypeNames; }

void detail::materialrenderermanager::SProperties::onRemove(void* owner, unsigned short)
{
    if (builtInType < EMT_COUNT) {
        auto* manager = static_cast<CMaterialRendererManager*>(static_cast<Registry*>(owner));
        manager->setBuiltInId(E_MATERIAL_TYPE(builtInType), 0xffff);
    }
}

// --- creation state ------------------------------------------------------------------------

namespace {
struct SSlot {
    unsigned char global = 0;
    CMaterialRendererManager::SParameterDef* parameter = nullptr;
    unsigned short globalId = 0;
};
struct SBuildPass {
    SRenderPass pass;
    std::vector<SSlot> slots;
};
}  // namespace

struct CMaterialRendererManager::STechniqueBuild {
    core::SSharedString name;
    std::vector<SBuildPass> passes;
};

struct CMaterialRendererManager::SCreationState {
    struct SPinkBind {
        SParameterDef* parameter;
        unsigned char pass;
        unsigned short index;
    };
    std::string rendererName;
    core::SSharedString techniqueName;
    bool techniqueOpen = false;
    std::list<STechniqueBuild> techniques;
    std::vector<SBuildPass> scratch;
    std::vector<SPinkBind> pinks;
    std::map<std::string, SParameterDef> parameters;
    std::vector<SParameterDef*> order;
    unsigned bindingSlotTotal = 0;
    bool buildingFallback = false;
};

void CMaterialRendererManager::setBuiltInBuilder(BuiltInBuilder builder) { s_builtInBuilder = builder; }
CMaterialRendererManager::BuiltInBuilder CMaterialRendererManager::getBuiltInBuilder() { return s_builtInBuilder; }
void CMaterialRendererManager::setFallbackShaderFactory(FallbackShaderFactory factory) { s_fallbackFactory = factory; }

CMaterialRendererManager::CMaterialRendererManager(IVideoDriver* driver) : m_driver(driver)
{
    for (unsigned short& id : m_builtIn) id = 0xffff;
}

CMaterialRendererManager::~CMaterialRendererManager()
{
    clearCreationState();
    // The driver's selection points into our tables.
    if (m_driver && m_driver->getTechniqueMapSource() == this) m_driver->setTechniqueMap(this, nullptr);
    for (auto it = idBegin(); it != idEnd(); ++it) {
        const auto& r = get(it->second.id);
        if (r) r->setVideoDriver(nullptr);
    }
}

void CMaterialRendererManager::clearCreationState() { m_creation.reset(); }

void CMaterialRendererManager::setBuiltInId(E_MATERIAL_TYPE type, unsigned short id)
{
    if (type < EMT_COUNT) m_builtIn[type] = id;
}

// --- builder -------------------------------------------------------------------------------

bool CMaterialRendererManager::beginMaterialRenderer(const char* name, bool forceName)
{
    m_pendingId = 0xffff;
    if (m_creation) {
        os::Printer::log("Trying to create a newly material renderer while already creating one", ELL_ERROR);
        return false;
    }
    std::string chosen;
    if (forceName) {
        m_pendingId = getId(name ? name : "");
        if (m_pendingId != 0xffff) {
            os::Printer::log("Material renderer name exists already", name, ELL_INFORMATION);
            return false;
        }
        chosen = name ? name : "";
    } else {
        core::SScopedProcessArray<char> buffer;
        const char* unique = core::createUniqueName(name ? name : "MaterialRenderer", MaxNameLength,
                                                    [this](const char* n) { return getId(n) != 0xffff; }, buffer);
        if (!unique) {
            os::Printer::log("Could not generate a unique material name", ELL_ERROR);
            return false;
        }
        chosen = unique;
    }
    m_creation = std::make_unique<SCreationState>();
    m_creation->rendererName = chosen;
    return true;
}

bool CMaterialRendererManager::beginTechnique(const char* name, bool forceName)
{
    if (!m_creation) {
        os::Printer::log("Trying to create a technique with no renderer in construction", ELL_ERROR);
        return false;
    }
    if (m_creation->techniqueOpen) {
        os::Printer::log("Trying to create a technique while already creating one", ELL_ERROR);
        return false;
    }
    if (m_creation->techniques.size() >= 8) {
        os::Printer::logf(ELOG_LEVEL(5), "creating material renderer %s: can not add technique %s, maximum number of techniques reached (%d)",
                          m_creation->rendererName.c_str(), name ? name : "", int(m_creation->techniques.size()));
        return false;
    }
    if (name && !*name) {
        os::Printer::log("Empty technique name", ELL_ERROR);
        return false;
    }
    if (forceName && name) {
        if (getTechniqueID(name)) {
            os::Printer::log("Technique name exists already in material renderer under construction", ELL_ERROR);
            return false;
        }
        m_creation->techniqueName = name;
    } else {
        core::SScopedProcessArray<char> buffer;
        const char* chosen = core::createUniqueName(name ? name : "Technique", MaxNameLength,
                                                    [this](const char* n) { return bool(getTechniqueID(n)); }, buffer);
        if (!chosen) {
            os::Printer::log("Could not generate a unique technique name within material renderer under construction", ELL_ERROR);
            return false;
        }
        m_creation->techniqueName = chosen;
    }
    m_creation->techniqueOpen = true;
    m_creation->scratch.clear();
    return true;
}

bool CMaterialRendererManager::isCreatingTechnique(const char* message) const
{
    const bool open = m_creation && m_creation->techniqueOpen;
    if (!open && message) os::Printer::log(message, ELL_ERROR);
    return open;
}

bool CMaterialRendererManager::addRenderPass(const boost::intrusive_ptr<const IShader>& shader,
                                             const detail::renderpass::SRenderState& state,
                                             const detail::material::SRenderState&)
{
    if (!m_creation) return false;
    if (!isCreatingTechnique("Adding a renderpass outside of technique definition")) return false;
    if (!shader) {
        createPinkWireFrameRenderPass();
        return false;
    }
    SBuildPass p;
    p.pass.renderState = state;
    p.pass.shader = shader;
    p.pass.changed = 1;
    p.slots.resize(shader->getTotalParameterCount());
    m_creation->bindingSlotTotal += shader->getTotalParameterCount();
    m_creation->scratch.push_back(std::move(p));
    return true;
}

bool CMaterialRendererManager::addRenderPass(unsigned short shaderId, const detail::renderpass::SRenderState& state,
                                             const detail::material::SRenderState& materialState)
{
    boost::intrusive_ptr<const IShader> shader;
    if (IShaderManager* shaders = m_driver ? m_driver->getShaderManager() : nullptr) shader = shaders->get(shaderId);
    if (!shader) os::Printer::log("could not find shader", ELL_ERROR);
    return addRenderPass(shader, state, materialState);
}

bool CMaterialRendererManager::addRenderPass(const char* shaderName, const detail::renderpass::SRenderState& state,
                                             const detail::material::SRenderState& materialState)
{
    IShaderManager* shaders = m_driver ? m_driver->getShaderManager() : nullptr;
    return addRenderPass(shaders && shaderName ? shaders->getId(shaderName) : (unsigned short)0xffff, state, materialState);
}

CMaterialRendererManager::STemporaryID CMaterialRendererManager::getTechniqueID(const char* name) const
{
    if (!m_creation || !name) return {};
    const auto* interned = core::SSharedString::SData::get(name, false);
    if (!interned) return {};
    for (auto& t : m_creation->techniques)
        if (t.name.get() == interned) return {const_cast<STechniqueBuild*>(&t)};
    return {};
}

CMaterialRendererManager::STemporaryID CMaterialRendererManager::getParameterIDInternal(const core::SSharedString& name) const
{
    if (!m_creation || !name.c_str()) return {};
    auto it = m_creation->parameters.find(name.c_str());
    return it == m_creation->parameters.end() ? STemporaryID{} : STemporaryID{const_cast<SParameterDef*>(&it->second)};
}

CMaterialRendererManager::STechniqueBuild* CMaterialRendererManager::getTechnique(STemporaryID id) const
{
    return m_creation ? static_cast<STechniqueBuild*>(id.p) : nullptr;
}

CMaterialRendererManager::SParameterDef* CMaterialRendererManager::getParameterDef(STemporaryID id) const
{
    return m_creation ? static_cast<SParameterDef*>(id.p) : nullptr;
}

CMaterialRendererManager::STemporaryID CMaterialRendererManager::addParameterInternal(
    const core::SSharedString& name, E_SHADER_PARAMETER_TYPE type, E_SHADER_PARAMETER_VALUE_TYPE valueType,
    unsigned int arraySize, bool failOnDuplicate)
{
    if (!m_creation) return {};
    const bool sampler = detail::SShaderParameterTypeInspection::isSampler(valueType);
    if (valueType != ESPVT_NONE && (sampler != (type == ESPT_TEXTURE))) {
        os::Printer::log("texture parameter type and value type mismatch", ELL_ERROR);
        return {};
    }
    if (type >= ESPT_LIGHT_POSITION && type <= ESPT_LIGHT_CONE_ANGLES) {
        os::Printer::log("Light parameter subtypes not allowed in materials, only in shaders.", ELL_ERROR);
        return {};
    }
    if (type >= ESPT_TEXTURE_BIAS + 1 && type <= 64) {
        os::Printer::log("Can not add automatic parameters to materials.", ELL_ERROR);
        return {};
    }
    if (type == ESPT_TEXTURE_BIAS) {
        os::Printer::log("Can not add automatically bound parameters to materials.", ELL_ERROR);
        return {};
    }
    const char* text = name.c_str() ? name.c_str() : "";
    auto found = m_creation->parameters.find(text);
    if (found != m_creation->parameters.end()) {
        if (failOnDuplicate) {
            os::Printer::log((std::string("Duplicate parameter name : ") + text).c_str(), ELL_ERROR);
            return {};
        }
        return {&found->second};
    }
    SParameterDef& p = m_creation->parameters[text];
    p.def.name = name;
    p.def.type = type;
    p.def.valueType = (unsigned char)valueType;
    p.def.arraySize = arraySize;
    p.def.subId = 255;
    p.deduceType = type == ESPT_NONE;
    p.deduceValueType = valueType == ESPVT_NONE;
    p.deduceArraySize = arraySize == 0xffffffffu;
    m_creation->order.push_back(&p);
    return {&p};
}

bool CMaterialRendererManager::bindParameterCommon(SParameterDef* parameter, const SShaderParameterDef* definition,
                                                   unsigned short globalId, E_SHADER_PARAMETER_TYPE type, void* passHandle,
                                                   unsigned short index, E_SHADER_STAGE stage)
{
    auto* bp = static_cast<SBuildPass*>(passHandle);
    const IShader* shader = bp->pass.shader.get();
    if (!shader || index >= shader->getParameterCount(stage)) {
        os::Printer::log("invalid shader parameter id", ELL_ERROR);
        return false;
    }
    const SShaderParameterDef& s = shader->getParameters(stage)[index];
    const unsigned d = definition->type;
    if (s.type == ESPT_TEXTURE && d != ESPT_TEXTURE && d != ESPT_NONE) {
        os::Printer::log("texture parameter type mismatch", ELL_ERROR);
        return false;
    }
    const bool lightSubtype = s.type != ESPT_TEXTURE && d == ESPT_LIGHT && type >= ESPT_LIGHT_POSITION && type <= ESPT_LIGHT_CONE_ANGLES;
    if (type != d && !lightSubtype) {
        os::Printer::log("invalid subtype", ELL_ERROR);
        return false;
    }
    if ((type >= ESPT_TEXTURE_BIAS && type <= 64) || (d == ESPT_NONE && s.type >= ESPT_TEXTURE_BIAS && s.type <= 64)) {
        os::Printer::log("parameter type is not bindable", ELL_ERROR);
        return false;
    }
    const bool retype = type != ESPT_NONE && type != s.type;
    if (retype && guessShaderParameterType(s.name.c_str()) != s.type) {
        os::Printer::log("subtype mismatch with shader parameter type", ELL_ERROR);
        return false;
    }
    if (definition->valueType != ESPVT_NONE) {
        const bool lightValue = definition->valueType == ESPVT_LIGHT && isLightType(s.type);
        if (!lightValue && !detail::SShaderParameterTypeInspection::canConvert(definition->valueType, s.valueType)) {
            os::Printer::log("parameter value type mismatch", ELL_ERROR);
            return false;
        }
    }
    if (definition->arraySize != 0xffffffffu && definition->arraySize != s.arraySize) {
        os::Printer::log("parameter array size mismatch", ELL_ERROR);
        return false;
    }
    // Every check passed: only now may the shared shader's parameter take the new type.
    if (retype) const_cast<SShaderParameterDef&>(s).type = type;

    const unsigned slotIndex = (stage == ESS_STAGE1 ? shader->getParameterCount(ESS_STAGE0) : 0u) + index;
    SSlot& slot = bp->slots[slotIndex];
    if (!slot.global && slot.parameter) {
        if (--slot.parameter->useCount == 0) slot.parameter->def.subId = 255;
    }
    if (!parameter) {
        slot.global = 1;
        slot.parameter = nullptr;
        slot.globalId = globalId;
    } else {
        slot.global = 0;
        slot.parameter = parameter;
        ++parameter->useCount;
        parameter->def.subId = s.subId;
    }
    return true;
}

bool CMaterialRendererManager::bindParameter(STemporaryID parameter, E_SHADER_PARAMETER_TYPE type, STemporaryID technique,
                                             unsigned char pass, unsigned short shaderParameter, E_SHADER_STAGE stage)
{
    SParameterDef* p = getParameterDef(parameter);
    STechniqueBuild* t = getTechnique(technique);
    if (!p || !t) return false;
    if (pass >= t->passes.size()) {
        os::Printer::log("invalid pass", ELL_ERROR);
        return false;
    }
    return bindParameterCommon(p, &p->def, 0xffff, type, &t->passes[pass], shaderParameter, stage);
}

bool CMaterialRendererManager::findGlobalBinding(unsigned short globalId, STemporaryID technique,
                                                 const SShaderParameterDef*& def, STechniqueBuild*& t) const
{
    CGlobalMaterialParameterManager* globals = m_driver ? m_driver->getGlobalMaterialParameterManager() : nullptr;
    def = globals ? globals->getParameterDef(globalId) : nullptr;
    if (!def) {
        os::Printer::log("invalid global parameter", ELL_ERROR);
        return false;
    }
    t = getTechnique(technique);
    if (!t) {
        os::Printer::log("invalid technique", ELL_ERROR);
        return false;
    }
    return true;
}

bool CMaterialRendererManager::bindGlobalParameter(unsigned short globalId, E_SHADER_PARAMETER_TYPE type,
                                                   STemporaryID technique, unsigned char pass,
                                                   unsigned short shaderParameter, E_SHADER_STAGE stage)
{
    const SShaderParameterDef* def = nullptr;
    STechniqueBuild* t = nullptr;
    if (!findGlobalBinding(globalId, technique, def, t))
        return false;
    if (pass >= t->passes.size()) {
        os::Printer::log("invalid pass", ELL_ERROR);
        return false;
    }
    if (!t->passes[pass].pass.shader) {
        os::Printer::log("no shader in render pass", ELL_ERROR);
        return false;
    }
    return bindParameterCommon(nullptr, def, globalId, type, &t->passes[pass], shaderParameter, stage);
}

bool CMaterialRendererManager::bindGlobalParameter(unsigned short globalId, STemporaryID technique, unsigned char pass,
                                                   unsigned short shaderParameter, E_SHADER_STAGE stage)
{
    const SShaderParameterDef* def = nullptr;
    STechniqueBuild* t = nullptr;
    if (!findGlobalBinding(globalId, technique, def, t))
        return false;
    if (pass >= t->passes.size() || !t->passes[pass].pass.shader ||
        shaderParameter >= t->passes[pass].pass.shader->getParameterCount(stage)) {
        os::Printer::log("invalib global bind parameters", ELL_ERROR);
        return false;
    }
    E_SHADER_PARAMETER_TYPE type = E_SHADER_PARAMETER_TYPE(def->type);
    if (type == ESPT_LIGHT) type = E_SHADER_PARAMETER_TYPE(t->passes[pass].pass.shader->getParameters(stage)[shaderParameter].type);
    return bindParameterCommon(nullptr, def, globalId, type, &t->passes[pass], shaderParameter, stage);
}

unsigned short CMaterialRendererManager::autoAddAndBindParameter(void* passHandle, unsigned short index, E_SHADER_STAGE stage,
                                                                 unsigned short lightCount, unsigned short materialLightCount)
{
    auto* bp = static_cast<SBuildPass*>(passHandle);
    const IShader* shader = bp->pass.shader.get();
    const SShaderParameterDef& s = shader->getParameters(stage)[index];
    const E_SHADER_PARAMETER_TYPE t = E_SHADER_PARAMETER_TYPE(s.type);
    CGlobalMaterialParameterManager* globals = m_driver ? m_driver->getGlobalMaterialParameterManager() : nullptr;

    auto bindGlobal = [&](unsigned short id, E_SHADER_PARAMETER_TYPE type) {
        const SShaderParameterDef* def = globals && id != 0xffff ? globals->getParameterDef(id) : nullptr;
        if (def) bindParameterCommon(nullptr, def, id, type == ESPT_NONE ? E_SHADER_PARAMETER_TYPE(def->type) : type, bp, index, stage);
    };

    if (isLightType(t)) {
        if (lightCount < materialLightCount) {
            core::SSharedString lightName = getLightParameterName(s.name.c_str());
            if (!lightName.c_str()) lightName = s.name;
            SParameterDef* p = getParameterDef(getParameterIDInternal(lightName));
            if (!p) {
                p = getParameterDef(addParameterInternal(lightName, ESPT_LIGHT, ESPVT_LIGHT, 0xffffffffu, false));
                if (p) ++lightCount;
            }
            if (p) bindParameterCommon(p, &p->def, 0xffff, t, bp, index, stage);
        } else {
            unsigned i = (unsigned char)(s.subId - shader->getFirstLightSubId());
            if (i < materialLightCount) {
                os::Printer::log("binding dynamic light with ID value less than IDs of lights in material instance", s.name.c_str(), ELL_WARNING);
                i = 0;
            } else {
                i -= materialLightCount;
            }
            const unsigned maximum = m_driver ? m_driver->getDynamicLightParameterCount() : 0;
            if (i >= maximum) {
                os::Printer::log("light ID exceeds max dynamic light count", s.name.c_str(), ELL_WARNING);
                i = maximum ? maximum - 1 : 0;
            }
            char name[32];
            std::snprintf(name, sizeof name, "%s%u", "DynamicLight", i);
            if (globals) bindGlobal(globals->getId(name), t);
        }
    } else if (t == ESPT_SCENE_AMBIENT_LIGHT) {
        if (m_driver) bindGlobal(m_driver->getSceneAmbientLightId(), ESPT_NONE);
    } else if (t == ESPT_FOG_DENSITY || t == ESPT_FOG_START_END || t == ESPT_FOG_COLOR) {
        const unsigned short fog = m_driver ? m_driver->getFogColorId() : 0xffff;
        if (fog != 0xffff) bindGlobal((unsigned short)(fog + (t == ESPT_FOG_DENSITY ? 1 : t == ESPT_FOG_START_END ? 2 : 0)), ESPT_NONE);
    } else if (t == ESPT_CLIP_PLANE) {
        // Clip planes are not bound.
    } else {
        SParameterDef* p = getParameterDef(addParameterInternal(s.name, ESPT_NONE, ESPVT_NONE, 0xffffffffu, false));
        if (p) bindParameterCommon(p, &p->def, 0xffff, E_SHADER_PARAMETER_TYPE(p->def.type), bp, index, stage);
    }
    return lightCount;
}

CMaterialRendererManager::STemporaryID CMaterialRendererManager::endTechnique(bool autoBind, unsigned short materialLightCount)
{
    if (!isCreatingTechnique("Ending a technique when none is begun")) return {};
    SCreationState& cs = *m_creation;
    cs.techniqueOpen = false;
    if (cs.scratch.empty()) {
        cs.techniqueName = core::SSharedString();
        cs.pinks.clear();
        return {};
    }
    cs.techniques.push_back(STechniqueBuild{cs.techniqueName, std::move(cs.scratch)});
    cs.scratch.clear();
    cs.techniqueName = core::SSharedString();
    STechniqueBuild& tech = cs.techniques.back();
    if (autoBind) {
        unsigned short lights = 0;
        for (SBuildPass& bp : tech.passes) {
            if (!bp.pass.shader) continue;
            for (unsigned stage = 0; stage < 2; ++stage) {
                const unsigned n = bp.pass.shader->getParameterCount(E_SHADER_STAGE(stage));
                for (unsigned k = 0; k < n; ++k) {
                    const unsigned type = bp.pass.shader->getParameters(E_SHADER_STAGE(stage))[k].type;
                    if (type < ESPT_TEXTURE_BIAS || type > 64)
                        lights = autoAddAndBindParameter(&bp, (unsigned short)k, E_SHADER_STAGE(stage), lights, materialLightCount);
                }
            }
        }
    }
    for (const auto& pink : cs.pinks)
        if (pink.parameter && pink.pass < tech.passes.size())
            bindParameterCommon(pink.parameter, &pink.parameter->def, 0xffff, E_SHADER_PARAMETER_TYPE(pink.parameter->def.type),
                                &tech.passes[pink.pass], pink.index, ESS_STAGE0);
    cs.pinks.clear();
    return {&tech};
}

unsigned short CMaterialRendererManager::endMaterialRenderer()
{
    if (m_pendingId != 0xffff && get(m_pendingId)) {
        const unsigned short id = m_pendingId;
        m_pendingId = 0xffff;
        return id;
    }
    m_pendingId = 0xffff;
    if (!m_creation) return 0xffff;
    if (m_creation->techniques.empty()) createPinkWireFrameTechnique("**invalid**");
    SCreationState& cs = *m_creation;

    // Deduction: every slot still unbound is bound automatically, then parameter types follow the shaders.
    for (STechniqueBuild& tech : cs.techniques) {
        for (SBuildPass& bp : tech.passes) {
            if (!bp.pass.shader) continue;
            const IShader* shader = bp.pass.shader.get();
            unsigned slot = 0;
            for (unsigned stage = 0; stage < 2; ++stage) {
                const unsigned n = shader->getParameterCount(E_SHADER_STAGE(stage));
                for (unsigned k = 0; k < n; ++k, ++slot) {
                    const SShaderParameterDef& s = shader->getParameters(E_SHADER_STAGE(stage))[k];
                    if (s.type == ESPT_TEXTURE_BIAS || bp.slots[slot].global) continue;
                    if (!bp.slots[slot].parameter) {
                        if (!isLightType(s.type) && !(s.type >= ESPT_SCENE_AMBIENT_LIGHT && s.type <= ESPT_CLIP_PLANE))
                            os::Printer::log((std::string("unbound parameter ") + (s.name.c_str() ? s.name.c_str() : "") +
                                              " for shader " + shader->getName().c_str()).c_str(), ELL_WARNING);
                        autoAddAndBindParameter(&bp, (unsigned short)k, E_SHADER_STAGE(stage), 0, 0);
                        if (bp.slots[slot].global || !bp.slots[slot].parameter) continue;
                    }
                    SParameterDef& p = *bp.slots[slot].parameter;
                    if (p.deduceType) {
                        if (p.def.type == ESPT_NONE) p.def.type = s.type;
                        else if (p.def.type != s.type) os::Printer::log("parameter type deduction ambiguous", ELL_WARNING);
                    }
                    if (p.deduceValueType) {
                        if (p.def.type == ESPT_LIGHT) p.def.valueType = ESPVT_LIGHT;
                        else if (p.def.valueType == ESPVT_NONE) p.def.valueType = s.valueType;
                        else if (p.def.valueType != s.valueType) os::Printer::log("parameter value type deduction ambiguous", ELL_WARNING);
                    }
                    if (p.deduceArraySize) {
                        if (p.def.arraySize == 0xffffffffu) p.def.arraySize = s.arraySize;
                        else if (p.def.arraySize != s.arraySize)
                            os::Printer::logf(ELL_WARNING, "finalizing renderer %s: parameter %s array size deduction ambiguous",
                                              cs.rendererName.c_str(), p.def.name.c_str());
                    }
                }
            }
        }
    }

    // Ids and value offsets; reference elements start on a pointer boundary.
    std::vector<const SShaderParameterDef*> definitions;
    unsigned offset = 0;
    for (SParameterDef* p : cs.order) {
        if (p->useCount == 0) {
            os::Printer::logf(ELL_WARNING, "finalizing renderer %s: unused parameter: %s", cs.rendererName.c_str(),
                              p->def.name.c_str() ? p->def.name.c_str() : "");
            continue;
        }
        p->id = (unsigned short)definitions.size();
        const unsigned vt = p->def.valueType < ESPVT_COUNT ? unsigned(p->def.valueType) : unsigned(ESPVT_UBYTE);
        const unsigned size = detail::SShaderParameterTypeInspection::ValueTypeSize[vt];
        if (size == sizeof(void*)) offset = (offset + unsigned(sizeof(void*)) - 1) & ~unsigned(sizeof(void*) - 1);
        p->def.index = offset;
        if (p->def.arraySize == 0xffffffffu) p->def.arraySize = 1;
        offset += size * p->def.arraySize;
        definitions.push_back(&p->def);
    }

    // Parameter sources, pass after pass.
    std::vector<unsigned short> sources;
    sources.reserve(cs.bindingSlotTotal);
    detail::material_renderer_manager::STechniqueList list;
    std::vector<std::vector<SRenderPass>> passArrays;
    std::map<unsigned, unsigned short> textureEntries;
    std::vector<std::pair<unsigned, size_t>> biasEntries;
    unsigned t = 0;
    for (STechniqueBuild& tech : cs.techniques) {
        std::vector<SRenderPass> passes;
        unsigned p = 0;
        for (SBuildPass& bp : tech.passes) {
            if (bp.pass.shader) {
                unsigned slot = 0;
                for (unsigned stage = 0; stage < 2; ++stage) {
                    const unsigned n = bp.pass.shader->getParameterCount(E_SHADER_STAGE(stage));
                    for (unsigned k = 0; k < n; ++k, ++slot) {
                        const SShaderParameterDef& s = bp.pass.shader->getParameters(E_SHADER_STAGE(stage))[k];
                        const SSlot& sl = bp.slots[slot];
                        unsigned short entry = CMaterialRenderer::NoParameter;
                        if (sl.global) entry = (unsigned short)(0x8000 | sl.globalId);
                        else if (sl.parameter && sl.parameter->id != 0xffff) entry = sl.parameter->id;
                        const unsigned key = t | p << 8 | unsigned(s.subId) << 16;
                        if (s.type == ESPT_TEXTURE) textureEntries[key] = entry;
                        if (s.type == ESPT_TEXTURE_BIAS) biasEntries.emplace_back(key, sources.size());
                        sources.push_back(entry);
                    }
                }
            }
            passes.push_back(bp.pass);
            ++p;
        }
        passArrays.push_back(std::move(passes));
        ++t;
    }
    for (const auto& [key, at] : biasEntries) {
        auto it = textureEntries.find(key);
        if (it != textureEntries.end()) sources[at] = it->second;
    }
    t = 0;
    for (STechniqueBuild& tech : cs.techniques) {
        list.push_back({tech.name, (unsigned char)passArrays[t].size(), passArrays[t].data()});
        ++t;
    }

    const std::string name = cs.rendererName;
    const bool fallback = cs.buildingFallback;
    boost::intrusive_ptr<CMaterialRenderer> renderer =
        CMaterialRenderer::allocate(m_driver, getNextId(), name.c_str(), list, (unsigned short)definitions.size(),
                                    definitions.data(), offset, unsigned(sources.size()), sources.data());
    clearCreationState();
    if (!renderer) return 0xffff;
    const unsigned short id = insert(renderer->getName(), renderer, false);
    if (id == 0xffff) return 0xffff;

    const unsigned short pink = renderer->getParameterID("invalid pink stuff");
    if (pink != 0xffff) renderer->setParameter(pink, 0, SColor(204, 76, 127, 255));

    if (renderer->getTechniqueCount() == 0) {
        os::Printer::log("MaterialRenderer is not valid, using pink wireframe.", ELL_ERROR);
        clearUnusedInstance(id);
        renderer.reset();
        remove(id, false);
        // Without a fallback shader there is no wire frame to fall back on.
        if (fallback || !createPinkWireFrameShader()) return 0xffff;
        boost::intrusive_ptr<CMaterialRenderer> pinkRenderer = createPinkWireFrameMaterialRenderer(name.c_str());
        return pinkRenderer ? pinkRenderer->getId() : (unsigned short)0xffff;
    }
    return id;
}

// --- wire-frame fallback --------------------------------------------------------------------

boost::intrusive_ptr<IShader> CMaterialRendererManager::createPinkWireFrameShader()
{
    if (!m_driver) return nullptr;
    const unsigned type = m_driver->getDriverType();
    if (type == EDT_NULL) {
        if (auto* shaders = dynamic_cast<CNullShaderManager*>(m_driver->getShaderManager())) return shaders->createShader("Pink Bad Shader");
        return nullptr;
    }
    if (!(type & 7u)) return nullptr;
    if (s_fallbackFactory) return s_fallbackFactory(m_driver);
    if (auto* fixed = dynamic_cast<CFixedGLShaderManager*>(m_driver->getShaderManager()))
        return fixed->createShader("Pink Bad Shader", SFixedGLShaderVertexState(), SFixedGLShaderFragmentState());
    return nullptr;
}

bool CMaterialRendererManager::createPinkWireFrameRenderPass()
{
    boost::intrusive_ptr<IShader> shader = createPinkWireFrameShader();
    if (!shader) return false;  // no fallback pass without the fallback shader
    detail::renderpass::SRenderState state;
    state.word0 = 0x18FF0001u;
    state.word1 = 0x00185007u;
    if (!addRenderPass(boost::intrusive_ptr<const IShader>(shader), state)) return false;
    const unsigned short diffuse = shader->getParameterID(ESPT_DIFFUSE_COLOR, ESS_STAGE0);
    if (diffuse != 0xffff && m_creation) {
        SParameterDef* p = getParameterDef(addParameterInternal("invalid pink stuff", ESPT_NONE, ESPVT_NONE, 0xffffffffu, true));
        if (p) m_creation->pinks.push_back({p, (unsigned char)(m_creation->scratch.size() - 1), diffuse});
    }
    return true;
}

CMaterialRendererManager::STemporaryID CMaterialRendererManager::createPinkWireFrameTechnique(const char* name)
{
    if (!beginTechnique(name, true)) return {};
    createPinkWireFrameRenderPass();
    return endTechnique(false, 0);
}

boost::intrusive_ptr<CMaterialRenderer> CMaterialRendererManager::createPinkWireFrameMaterialRenderer(const char* name)
{
    if (beginMaterialRenderer(name, true)) {
        m_creation->buildingFallback = true;
        createPinkWireFrameTechnique("invalid");
    }
    const unsigned short id = endMaterialRenderer();
    return id == 0xffff ? nullptr : get(id);
}

// --- instances and built-in types ------------------------------------------------------------

boost::intrusive_ptr<CMaterial> CMaterialRendererManager::getMaterialInstance(unsigned short id, bool reset)
{
    if (id == 0xffff || !isOccupied(id)) return nullptr;
    auto& properties = getProperties(id);
    if (properties.instance) {
        if (reset) properties.instance->reset();
        return properties.instance;
    }
    properties.instance = CMaterial::allocate(get(id), nullptr, 0);
    return properties.instance;
}

void CMaterialRendererManager::clearUnusedInstance(unsigned short id)
{
    if (!isOccupied(id)) return;
    auto& properties = getProperties(id);
    if (get(id)->getReferenceCount() == 2 && properties.instance && properties.instance->getReferenceCount() == 1)
        properties.instance.reset();
}

void CMaterialRendererManager::clearUnusedInstances()
{
    std::vector<unsigned short> ids;
    for (auto it = idBegin(); it != idEnd(); ++it) ids.push_back(it->second.id);
    for (unsigned short id : ids) clearUnusedInstance(id);
}

void CMaterialRendererManager::removeAllBatchBaker()
{
    BakerMap.clear();
    for (auto it = idBegin(); it != idEnd(); ++it) {
        const auto& r = get(it->second.id);
        if (!r) continue;
        for (unsigned i = 0; i < r->getPassCount(); ++i)
            if (r->getPasses()[i].shader) r->getPasses()[i].shader->removeBatchBaker();
    }
    if (m_driver) m_driver->releaseBatchState();
}

unsigned short CMaterialRendererManager::createMaterialRenderer(E_MATERIAL_TYPE type)
{
    if (type >= EMT_COUNT || type == EMT_TODO) return 0xffff;
    if (m_builtIn[type] == 0xffff && s_builtInBuilder) s_builtInBuilder(*this);
    return m_builtIn[type];
}

boost::intrusive_ptr<CMaterial> CMaterialRendererManager::createMaterialInstance(E_MATERIAL_TYPE type)
{
    const unsigned short id = createMaterialRenderer(type);
    return id == 0xffff ? nullptr : CMaterial::allocate(get(id), nullptr, 0);
}

}  // namespace pravik::video
