#pragma once
// How a family of materials is drawn: a name, one to eight named techniques of render passes,
// and the parameters its passes read with a default value each. Built only by the renderer
// manager's builder; shared (counted) by its materials and the manager's registry. Only the
// defaults and the passes' render states change after construction.
//
// Each binding pass holds its parameter sources (one 16-bit entry per shader parameter, stage
// 0 then stage 1: a renderer parameter id, 0x8000 | global id, or NoParameter for a slot left
// unbound) and its bindings regrouped direct, indirect (texture, light, texture bias), global.

#include "engine/ISharedMemoryBlockHeader.h"
#include "engine/core/SSharedString.h"
#include "engine/core/pravikString.h"
#include "engine/video/material/SRenderPass.h"
#include "engine/video/material/SShaderParameterDef.h"
#include "engine/video/material/detail/IMaterialParameters.h"

#include <boost/intrusive_ptr.hpp>

#include <memory>
#include <vector>

namespace pravik::io {
class IAttributes;
struct SAttributeReadWriteOptions;
}  // namespace pravik::io

namespace pravik::video {

class IVideoDriver;
class CMaterialRenderer;
class CVertexAttributeMap;
class CVertexStreams;

namespace detail::material_renderer_manager {

struct STechniqueEntry {
    core::SSharedString name;
    unsigned char passCount = 0;
    SRenderPass* passes = nullptr;  // passCount records
};
using STechniqueList = std::vector<STechniqueEntry>;

}  // namespace detail::material_renderer_manager

class CMaterialRenderer
    : public detail::IMaterialParameters<CMaterialRenderer, ISharedMemoryBlockHeader<CMaterialRenderer>> {
public:
    static constexpr unsigned short NoParameter = 0x7fff;  // an unbound source: skipped everywhere

    struct STechnique {
        core::SSharedString name;
        unsigned char passCount = 0;
        SRenderPass* passes = nullptr;
    };

    // The only reference; sources hold bindingCount entries, pass after pass.
    static boost::intrusive_ptr<CMaterialRenderer> allocate(IVideoDriver* driver, unsigned short id, const char* name,
                                                            const detail::material_renderer_manager::STechniqueList& techniques,
                                                            unsigned short parameterCount,
                                                            const SShaderParameterDef* const* definitions,
                                                            unsigned int valueBlockSize, unsigned int bindingCount,
                                                            const unsigned short* parameterSources);
    ~CMaterialRenderer();

    unsigned char getTechniqueID(const char* name) const;  // 255 when none (a never interned name included)
    unsigned short getParameterID(const char* name, unsigned short start = 0) const;
    unsigned short getParameterID(E_SHADER_PARAMETER_TYPE type, unsigned short start = 0) const;
    void setRenderState(unsigned char technique, unsigned char pass, const detail::renderpass::SRenderState& state);
    unsigned getBindedLightCount(unsigned char technique, unsigned char pass) const;

    void serializeAttributes(io::IAttributes* out, io::SAttributeReadWriteOptions* options = nullptr) const;
    void deserializeAttributes(io::IAttributes* in, io::SAttributeReadWriteOptions* options = nullptr);

    IVideoDriver* getVideoDriver() const { return m_driver; }
    void setVideoDriver(IVideoDriver* driver) { m_driver = driver; }
    const char* getName() const { return m_name.c_str(); }
    unsigned short getId() const { return m_id; }
    unsigned short getParameterCount() const { return m_parameterCount; }
    unsigned char getTechniqueCount() const { return m_techniqueCount; }
    unsigned int getValueBlockSize() const { return m_valueBlockSize; }
    const STechnique& getTechnique(unsigned char t) const { return m_techniques[t]; }
    STechnique& getTechnique(unsigned char t) { return m_techniques[t]; }
    unsigned getPassCount() const { return unsigned(m_passes.size()); }
    const SRenderPass* getPasses() const { return m_passes.data(); }
    unsigned getFirstPassIndex(unsigned char technique) const { return unsigned(m_techniques[technique].passes - m_passes.data()); }
    const unsigned char* getDefaults() const { return m_values.get(); }

    // Parameter block hooks.
    unsigned char* getParameterBlock() { return m_values.get(); }
    const SShaderParameterDef* getParameterDef(unsigned short id) const { return id < m_parameterCount ? &m_definitions[id] : nullptr; }
    void setDirty() {}
    template <class F>
    void forEachParameter(F f) const
    {
        for (unsigned short i = 0; i < m_parameterCount; ++i) f(i);
    }

private:
    CMaterialRenderer() = default;

    IVideoDriver* m_driver = nullptr;
    core::stringc m_name;
    unsigned short m_id = 0xffff;
    unsigned short m_parameterCount = 0;
    unsigned char m_techniqueCount = 0;
    unsigned int m_valueBlockSize = 0;
    std::vector<STechnique> m_techniques;
    std::vector<SRenderPass> m_passes;  // sized once: techniques point into it
    std::vector<SShaderParameterDef> m_definitions;
    std::unique_ptr<unsigned char[]> m_values;
    std::vector<unsigned short> m_sources;
    std::vector<SShaderParameterBinding> m_bindings;
};

// One vertex attribute map per render pass of a renderer (slot = pass index in the renderer).
class CMaterialVertexAttributeMap : public ISharedMemoryBlockHeader<CMaterialVertexAttributeMap> {
public:
    static boost::intrusive_ptr<CMaterialVertexAttributeMap> allocate(const boost::intrusive_ptr<CMaterialRenderer>& renderer);
    static boost::intrusive_ptr<CMaterialVertexAttributeMap> allocate(const boost::intrusive_ptr<CMaterialRenderer>& renderer,
                                                                      const CVertexStreams& streams);
    CMaterialVertexAttributeMap(const boost::intrusive_ptr<CMaterialRenderer>& renderer,
                                const boost::intrusive_ptr<CVertexAttributeMap>* maps, bool copy);
    boost::intrusive_ptr<CMaterialVertexAttributeMap> clone(bool copy) const;
    void set(unsigned char technique, unsigned char pass, const boost::intrusive_ptr<CVertexAttributeMap>& map);
    const boost::intrusive_ptr<CVertexAttributeMap>& get(unsigned char technique, unsigned char pass) const;
    static unsigned totalMapCount(const CMaterialRenderer& renderer);
    const boost::intrusive_ptr<CMaterialRenderer>& getRenderer() const { return m_renderer; }

private:
    explicit CMaterialVertexAttributeMap(const boost::intrusive_ptr<CMaterialRenderer>& renderer);
    boost::intrusive_ptr<CMaterialRenderer> m_renderer;
    std::vector<boost::intrusive_ptr<CVertexAttributeMap>> m_maps;
};

}  // namespace pravik::video
