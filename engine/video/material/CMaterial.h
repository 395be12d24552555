#pragma once
// One instance of a material renderer: the renderer, the instance's own parameter values, the
// technique it draws with and one cached hash word per technique, all in one block.
//
// Masks (bit t per technique): parameters-changed (the driver has not sent technique t's
// values since they changed) and hash-out-of-date. Hash word of technique t: bits 0-7 a
// multiply-by-13 hash of the plain parameters the first pass uses, 8-11 the source blend
// factor of the first pass, 12-23 a hash of its texture references, 24-31 the shader byte
// (id & 0xff) ^ (id >> 8); all ones when the technique has more than one pass. Every hash word
// is complete from construction on (also in copies), so comparisons never read stale bits.

#include "engine/ISharedMemoryBlockHeader.h"
#include "engine/core/SSharedString.h"
#include "engine/video/material/CMaterialRenderer.h"
#include "engine/video/material/detail/IMaterialParameters.h"

#include <boost/intrusive_ptr.hpp>

namespace pravik::io {
class IAttributes;
struct SAttributeReadWriteOptions;
}  // namespace pravik::io

namespace pravik::video {

namespace detail::material {
struct SRenderState {};  // materials carry no render state of their own
}

class CMaterial : public detail::IMaterialParameters<CMaterial, ISharedMemoryBlockHeader<CMaterial>> {
public:
    struct SStateWithoutRenderState {
        unsigned char baseTechnique = 0;
        unsigned char changedMask = 0xff;
        unsigned char hashMask = 0xff;
        unsigned char techniqueMapRow = 0;
    };

    static boost::intrusive_ptr<CMaterial> allocate(const boost::intrusive_ptr<CMaterialRenderer>& renderer, const char* name,
                                                    const SStateWithoutRenderState& state, const void* values = nullptr,
                                                    const detail::material::SRenderState* renderState = nullptr);
    static boost::intrusive_ptr<CMaterial> allocate(const boost::intrusive_ptr<CMaterialRenderer>& renderer,
                                                    const char* name = nullptr, unsigned char = 0);
    // In process-buffer memory, count 0; give it back with destroyProcessBufferHeap.
    static CMaterial* allocateProcessBufferHeap(const boost::intrusive_ptr<CMaterialRenderer>& renderer, const char* name,
                                                const SStateWithoutRenderState& state, const void* values = nullptr,
                                                const detail::material::SRenderState* renderState = nullptr);
    static void destroyProcessBufferHeap(CMaterial* material);  // destroys in place, gives the memory back

    boost::intrusive_ptr<CMaterial> clone(const char* name = nullptr) const;
    CMaterial* cloneHeap(const char* name = nullptr) const;

    void init(const void* values, const detail::material::SRenderState* renderState, bool drop);
    void reset(const detail::material::SRenderState* renderState = nullptr);

    unsigned char getTechnique() const;
    unsigned int getHashCode() const;
    unsigned int getHashWord(unsigned char t) const { return m_hash[t]; }
    void updateHashCode(unsigned char t) const;
    void updateParametersHashCode(unsigned char t) const;
    void updateRenderStateHashCode(unsigned char t) const;

    bool operator==(const CMaterial& other) const;
    bool operator!=(const CMaterial& other) const { return !(*this == other); }
    bool operator<(const CMaterial& other) const;
    bool compare(unsigned char t, unsigned char passCount, const CMaterial& other, unsigned char otherT) const;
    bool areParametersEqual(unsigned char t, unsigned char passCount, const CMaterial& other, unsigned char otherT) const;

    void serializeAttributes(io::IAttributes* out, io::SAttributeReadWriteOptions* options = nullptr) const;
    void deserializeAttributes(io::IAttributes* in, io::SAttributeReadWriteOptions* options = nullptr);

    const boost::intrusive_ptr<CMaterialRenderer>& getMaterialRenderer() const { return m_renderer; }
    const char* getName() const { return m_name.c_str(); }
    const SStateWithoutRenderState& getState() const { return m_state; }
    unsigned char getBaseTechnique() const { return m_state.baseTechnique; }
    void setBaseTechnique(unsigned char t) { m_state.baseTechnique = t; }
    unsigned char getChangedMask() const { return m_state.changedMask; }
    void clearChangedBit(unsigned char t) { if (t < 8) m_state.changedMask &= (unsigned char)~(1u << t); }
    unsigned char getHashMask() const { return m_state.hashMask; }
    unsigned char getTechniqueMapRow() const { return m_state.techniqueMapRow; }
    void setTechniqueMapRow(unsigned char row) { m_state.techniqueMapRow = row; }
    unsigned int getRenderStateBlockSize() const { return 0; }
    void setRenderStateInternal(unsigned char, unsigned char, const detail::material::SRenderState&) {}

    // Parameter block hooks.
    unsigned char* getParameterBlock() { return m_values; }
    const SShaderParameterDef* getParameterDef(unsigned short id) const { return m_renderer->getParameterDef(id); }
    void setDirty() { m_state.changedMask = 0xff; m_state.hashMask = 0xff; }
    template <class F>
    void forEachParameter(F f) const { m_renderer->forEachParameter(f); }

    ~CMaterial();

private:
    CMaterial(const boost::intrusive_ptr<CMaterialRenderer>& renderer, const char* name, const SStateWithoutRenderState& state,
              const void* values, unsigned char* block);
    static size_t blockSize(const CMaterialRenderer& renderer);
    static size_t valuesOffset();
    void computeAllHashWords() const;

    boost::intrusive_ptr<CMaterialRenderer> m_renderer;
    mutable SStateWithoutRenderState m_state;
    unsigned int* m_hash;
    core::SSharedString m_name;
    unsigned char* m_values;
    void* m_heapBase = nullptr;  // the process buffer holding this block, if any
};

}  // namespace pravik::video
