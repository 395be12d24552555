// Material renderers: construction from the builder's techniques, lookups, attribute form.

#include "engine/video/material/CMaterialRenderer.h"

#include "engine/io/IAttributes.h"
#include "engine/video/material/CGlobalMaterialParameterManager.h"
#include "engine/video/material/CVertexAttributeMap.h"
#include "engine/video/IVideoDriver.h"
#include "engine/video/material/detail/IMaterialParameters_attributes.h"

#include <cstdio>
#include <cstring>
#include <new>

namespace pravik::video {

namespace {

bool isIndirect(unsigned short type) { return type == ESPT_TEXTURE || type == ESPT_LIGHT || type == ESPT_TEXTURE_BIAS; }

}  // namespace

boost::intrusive_ptr<CMaterialRenderer> CMaterialRenderer::allocate(
    IVideoDriver* driver, unsigned short id, const char* name,
    const detail::material_renderer_manager::STechniqueList& techniques, unsigned short parameterCount,
    const SShaderParameterDef* const* definitions, unsigned int valueBlockSize, unsigned int bindingCount,
    const unsigned short* parameterSources)
{
    void* block = ::operator new(sizeof(CMaterialRenderer), std::nothrow);
    if (!block) return nullptr;
    boost::intrusive_ptr<CMaterialRenderer> r(new (block) CMaterialRenderer());
    r->m_driver = driver;
    r->m_id = id;
    r->m_name = name ? name : "";
    r->m_parameterCount = parameterCount;
    r->m_techniqueCount = (unsigned char)techniques.size();
    r->m_valueBlockSize = valueBlockSize;

    size_t passTotal = 0;
    for (const auto& t : techniques) passTotal += t.passCount;
    r->m_passes.resize(passTotal);
    r->m_sources.assign(parameterSources, parameterSources + bindingCount);
    r->m_bindings.resize(bindingCount);

    CGlobalMaterialParameterManager* globals = driver ? driver->getGlobalMaterialParameterManager() : nullptr;
    size_t p = 0;
    unsigned cursor = 0;
    for (const auto& t : techniques) {
        STechnique tech;
        tech.name = t.name;
        tech.passCount = t.passCount;
        tech.passes = r->m_passes.data() + p;
        r->m_techniques.push_back(tech);
        for (unsigned i = 0; i < t.passCount; ++i, ++p) {
            SRenderPass& pass = r->m_passes[p];
            const SRenderPass& src = t.passes[i];
            pass.renderState = src.renderState;
            pass.shader = src.shader;
            pass.changed = 1;
            if (!src.shader || src.shader->getTotalParameterCount() == 0 || cursor >= bindingCount) continue;
            const unsigned n = src.shader->getTotalParameterCount();
            if (cursor + n > bindingCount) continue;
            pass.parameterSources = r->m_sources.data() + cursor;
            SShaderParameterBinding* out = r->m_bindings.data() + cursor;
            std::vector<SShaderParameterBinding> direct, indirect, global;
            unsigned k = 0;
            for (unsigned stage = 0; stage < 2; ++stage) {
                const unsigned count = src.shader->getParameterCount(E_SHADER_STAGE(stage));
                for (unsigned s = 0; s < count; ++s, ++k) {
                    const unsigned short source = pass.parameterSources[k];
                    SShaderParameterBinding b;
                    b.shaderParameter = (unsigned short)(s | (stage << 15));
                    if (source == NoParameter) continue;  // unbound: no binding at all
                    if (source & 0x8000) {
                        b.source = source & 0x7fff;
                        if (globals) globals->grabInternal(b.source);
                        global.push_back(b);
                    } else {
                        b.source = source;
                        const bool ind = source < parameterCount && isIndirect(definitions[source]->type);
                        (ind ? indirect : direct).push_back(b);
                    }
                }
            }
            size_t o = 0;
            for (auto& b : direct) out[o++] = b;
            for (auto& b : indirect) out[o++] = b;
            for (auto& b : global) out[o++] = b;
            for (; o < n; ++o) out[o] = SShaderParameterBinding{0xffff, NoParameter};
            pass.bindings = out;
            pass.directBindingCount = (unsigned short)direct.size();
            pass.indirectBindingCount = (unsigned short)indirect.size();
            cursor += n;
        }
    }
    r->m_definitions.reserve(parameterCount);
    for (unsigned i = 0; i < parameterCount; ++i) r->m_definitions.push_back(*definitions[i]);
    r->m_values.reset(new (std::nothrow) unsigned char[valueBlockSize ? valueBlockSize : 1]());
    return r;
}

CMaterialRenderer::~CMaterialRenderer()
{
    if (m_values) dropParameters();
    CGlobalMaterialParameterManager* globals = m_driver ? m_driver->getGlobalMaterialParameterManager() : nullptr;
    for (SRenderPass& pass : m_passes) {
        if (globals && pass.parameterSources && pass.shader) {
            const unsigned n = pass.shader->getTotalParameterCount();
            for (unsigned i = 0; i < n; ++i) {
                const unsigned short s = pass.parameterSources[i];
                if ((s & 0x8000) && s != NoParameter) globals->dropInternal(s & 0x7fff);
            }
        }
        pass.shader.reset();
    }
}

unsigned char CMaterialRenderer::getTechniqueID(const char* name) const
{
    const auto* interned = name ? core::SSharedString::SData::get(name, false) : nullptr;
    if (!interned) return 255;
    for (unsigned i = 0; i < m_techniqueCount; ++i)
        if (m_techniques[i].name.get() == interned) return (unsigned char)i;
    return 255;
}

unsigned short CMaterialRenderer::getParameterID(const char* name, unsigned short start) const
{
    const auto* interned = name ? core::SSharedString::SData::get(name, false) : nullptr;
    if (!interned) return 0xffff;
    for (unsigned i = start; i < m_parameterCount; ++i)
        if (m_definitions[i].name.get() == interned) return (unsigned short)i;
    return 0xffff;
}

unsigned short CMaterialRenderer::getParameterID(E_SHADER_PARAMETER_TYPE type, unsigned short start) const
{
    for (unsigned i = start; i < m_parameterCount; ++i)
        if (m_definitions[i].type == type) return (unsigned short)i;
    return 0xffff;
}

void CMaterialRenderer::setRenderState(unsigned char technique, unsigned char pass,
                                       const detail::renderpass::SRenderState& state)
{
    if (technique >= m_techniqueCount || pass >= m_techniques[technique].passCount) return;
    SRenderPass& p = m_techniques[technique].passes[pass];
    if (p.renderState == state) return;
    p.renderState = state;
    p.changed = 1;
}

unsigned CMaterialRenderer::getBindedLightCount(unsigned char technique, unsigned char pass) const
{
    if (technique >= m_techniqueCount || pass >= m_techniques[technique].passCount) return 0;
    const SRenderPass& p = m_techniques[technique].passes[pass];
    if (!p.parameterSources || !p.shader) return 0;
    std::vector<unsigned short> seen;
    const unsigned n = p.shader->getTotalParameterCount();
    for (unsigned i = 0; i < n; ++i) {
        const unsigned short s = p.parameterSources[i];
        if ((s & 0x8000) || s >= m_parameterCount || m_definitions[s].type != ESPT_LIGHT) continue;
        bool known = false;
        for (unsigned short k : seen) known = known || k == s;
        if (!known) seen.push_back(s);
    }
    return unsigned(seen.size());
}

void CMaterialRenderer::serializeAttributes(io::IAttributes* out, io::SAttributeReadWriteOptions* options) const
{
    if (!out) return;
    out->addString("Name", m_name.c_str(), true);
    out->push("Parameter Defaults");
    detail::IMaterialParameters<CMaterialRenderer, ISharedMemoryBlockHeader<CMaterialRenderer>>::serializeAttributes(out);
    out->pop();
    out->push("Techniques");
    for (unsigned t = 0; t < m_techniqueCount; ++t) {
        out->push(m_techniques[t].name.c_str() ? m_techniques[t].name.c_str() : "");
        for (unsigned p = 0; p < m_techniques[t].passCount; ++p) {
            char group[32];
            std::snprintf(group, sizeof group, "Pass %u", p);
            out->push(group);
            m_techniques[t].passes[p].serializeAttributes(out, options);
            out->pop();
        }
        out->pop();
    }
    out->pop();
}

void CMaterialRenderer::deserializeAttributes(io::IAttributes* in, io::SAttributeReadWriteOptions* options)
{
    if (!in) return;
    // The defaults are read where they were written.
    in->push("Parameter Defaults");
    detail::IMaterialParameters<CMaterialRenderer, ISharedMemoryBlockHeader<CMaterialRenderer>>::deserializeAttributes(in);
    in->pop();
    in->push("Techniques");
    for (unsigned t = 0; t < m_techniqueCount; ++t) {
        in->push(m_techniques[t].name.c_str() ? m_techniques[t].name.c_str() : "");
        for (unsigned p = 0; p < m_techniques[t].passCount; ++p) {
            char group[32];
            std::snprintf(group, sizeof group, "Pass %u", p);
            in->push(group);
            m_techniques[t].passes[p].deserializeAttributes(in, options);
            in->pop();
        }
        in->pop();
    }
    in->pop();
}

// --- vertex attribute map sets ---------------------------------------------------------------

unsigned CMaterialVertexAttributeMap::totalMapCount(const CMaterialRenderer& renderer)
{
    if (renderer.getTechniqueCount() == 0) return 0;
    const unsigned char last = (unsigned char)(renderer.getTechniqueCount() - 1);
    return renderer.getFirstPassIndex(last) + renderer.getTechnique(last).passCount;
}

CMaterialVertexAttributeMap::CMaterialVertexAttributeMap(const boost::intrusive_ptr<CMaterialRenderer>& renderer)
    : m_renderer(renderer), m_maps(renderer ? totalMapCount(*renderer) : 0)
{
}

CMaterialVertexAttributeMap::CMaterialVertexAttributeMap(const boost::intrusive_ptr<CMaterialRenderer>& renderer,
                                                         const boost::intrusive_ptr<CVertexAttributeMap>* maps, bool copy)
    : CMaterialVertexAttributeMap(renderer)
{
    for (size_t i = 0; i < m_maps.size(); ++i) {
        if (!maps || !maps[i]) continue;
        if (copy) m_maps[i] = new (::operator new(sizeof(CVertexAttributeMap))) CVertexAttributeMap(*maps[i]);
        else m_maps[i] = maps[i];
    }
}

boost::intrusive_ptr<CMaterialVertexAttributeMap> CMaterialVertexAttributeMap::allocate(
    const boost::intrusive_ptr<CMaterialRenderer>& renderer)
{
    return new (::operator new(sizeof(CMaterialVertexAttributeMap))) CMaterialVertexAttributeMap(renderer);
}

boost::intrusive_ptr<CMaterialVertexAttributeMap> CMaterialVertexAttributeMap::allocate(
    const boost::intrusive_ptr<CMaterialRenderer>& renderer, const CVertexStreams& streams)
{
    boost::intrusive_ptr<CMaterialVertexAttributeMap> set = allocate(renderer);
    for (auto& m : set->m_maps) m = new (::operator new(sizeof(CVertexAttributeMap))) CVertexAttributeMap(streams);
    return set;
}

boost::intrusive_ptr<CMaterialVertexAttributeMap> CMaterialVertexAttributeMap::clone(bool copy) const
{
    return new (::operator new(sizeof(CMaterialVertexAttributeMap))) CMaterialVertexAttributeMap(m_renderer, m_maps.data(), copy);
}

void CMaterialVertexAttributeMap::set(unsigned char technique, unsigned char pass,
                                      const boost::intrusive_ptr<CVertexAttributeMap>& map)
{
    if (!m_renderer || technique >= m_renderer->getTechniqueCount() || pass >= m_renderer->getTechnique(technique).passCount)
        return;
    m_maps[m_renderer->getFirstPassIndex(technique) + pass] = map;
}

const boost::intrusive_ptr<CVertexAttributeMap>& CMaterialVertexAttributeMap::get(unsigned char technique,
                                                                                  unsigned char pass) const
{
    static const boost::intrusive_ptr<CVertexAttributeMap> none;
    if (!m_renderer || technique >= m_renderer->getTechniqueCount() || pass >= m_renderer->getTechnique(technique).passCount)
        return none;
    return m_maps[m_renderer->getFirstPassIndex(technique) + pass];
}

}  // namespace pravik::video
