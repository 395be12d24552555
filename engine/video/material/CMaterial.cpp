// Materials: one block of header, parameter values and hash words.

#include "engine/video/material/CMaterial.h"

#include "engine/core/ProcessBuffer.h"
#include "engine/io/IAttributes.h"
#include "engine/video/material/CMaterialRendererManager.h"
#include "engine/video/material/IShader.h"
#include "engine/video/IVideoDriver.h"
#include "engine/video/material/detail/IMaterialParameters_attributes.h"

#include <cstring>
#include <new>
#include <vector>

namespace pravik::video {

namespace {

using Matrix = core::CMatrix4<float>;
using SInspect = detail::SShaderParameterTypeInspection;

size_t align8(size_t n) { return (n + 7u) & ~size_t(7); }

const unsigned char* matrixBytes(const unsigned char* at)
{
    const Matrix* m;
    std::memcpy(&m, at, sizeof(m));
    return reinterpret_cast<const unsigned char*>(m ? m : &core::IdentityMatrix);
}

constexpr size_t MatrixHashBytes = sizeof(float) * 16 + 1;  // 16 floats and the identity flag


unsigned char shaderByte(const SRenderPass& pass)
{
    const unsigned id = pass.shader ? pass.shader->getId() : 0xffffu;
    return (unsigned char)((id & 0xffu) ^ (id >> 8));
}

// Flag byte of a matrix as stored: the byte right after the 16 floats.
bool identityFlag(const unsigned char* at)
{
    const Matrix* m;
    std::memcpy(&m, at, sizeof(m));
    return !m || m->getDefinitelyIdentityMatrix();
}

}  // namespace

size_t CMaterial::valuesOffset() { return align8(sizeof(CMaterial)); }

size_t CMaterial::blockSize(const CMaterialRenderer& r)
{
    return valuesOffset() + align8(r.getValueBlockSize()) + 4u * (r.getTechniqueCount() ? r.getTechniqueCount() : 1);
}

CMaterial::CMaterial(const boost::intrusive_ptr<CMaterialRenderer>& renderer, const char* name,
                     const SStateWithoutRenderState& state, const void* values, unsigned char* block)
    : m_renderer(renderer), m_state(state)
{
    if (name) m_name = name;
    m_values = block + valuesOffset();
    m_hash = reinterpret_cast<unsigned int*>(m_values + align8(renderer->getValueBlockSize()));
    std::memset(m_values, 0, renderer->getValueBlockSize());
    init(values, nullptr, false);
    computeAllHashWords();
}

CMaterial::~CMaterial()
{
    if (m_renderer->getParameterCount()) dropParameters();
    if (IVideoDriver* driver = m_renderer->getVideoDriver()) driver->onMaterialDestroyed(this);
}

void CMaterial::computeAllHashWords() const
{
    const unsigned char saved = m_state.hashMask;
    for (unsigned t = 0; t < m_renderer->getTechniqueCount(); ++t) {
        const auto& tech = m_renderer->getTechnique((unsigned char)t);
        m_hash[t] = tech.passCount ? unsigned(shaderByte(tech.passes[0])) << 24 : 0xff000000u;
        if (tech.passCount != 1) {
            m_hash[t] = 0xffffffffu;
            continue;
        }
        updateParametersHashCode((unsigned char)t);
        updateRenderStateHashCode((unsigned char)t);
    }
    m_state.hashMask = saved;  // when a refresh is due stays the masks' business
}

boost::intrusive_ptr<CMaterial> CMaterial::allocate(const boost::intrusive_ptr<CMaterialRenderer>& renderer,
                                                    const char* name, const SStateWithoutRenderState& state,
                                                    const void* values, const detail::material::SRenderState*)
{
    if (!renderer) return nullptr;
    void* block = ::operator new(blockSize(*renderer), std::nothrow);
    if (!block) return nullptr;
    return boost::intrusive_ptr<CMaterial>(new (block) CMaterial(renderer, name, state, values, static_cast<unsigned char*>(block)));
}

boost::intrusive_ptr<CMaterial> CMaterial::allocate(const boost::intrusive_ptr<CMaterialRenderer>& renderer,
                                                    const char* name, unsigned char)
{
    return allocate(renderer, name, SStateWithoutRenderState{});
}

CMaterial* CMaterial::allocateProcessBufferHeap(const boost::intrusive_ptr<CMaterialRenderer>& renderer, const char* name,
                                                const SStateWithoutRenderState& state, const void* values,
                                                const detail::material::SRenderState*)
{
    if (!renderer) return nullptr;
    // Process buffers are 4-byte aligned; the block holds pointers, so it is moved to 8.
    const size_t size = blockSize(*renderer) + 8;
    if (size > 0x7ffffff0u) return nullptr;
    void* raw = core::allocProcessBuffer(int(size));
    if (!raw) return nullptr;
    auto* block = reinterpret_cast<unsigned char*>(align8(reinterpret_cast<size_t>(raw)));
    CMaterial* m = new (block) CMaterial(renderer, name, state, values, block);
    m->m_heapBase = raw;
    return m;
}

void CMaterial::destroyProcessBufferHeap(CMaterial* material)
{
    if (!material) return;
    void* raw = material->m_heapBase;
    material->~CMaterial();
    core::releaseProcessBuffer(raw);
}

boost::intrusive_ptr<CMaterial> CMaterial::clone(const char* name) const
{
    return allocate(m_renderer, name ? name : m_name.c_str(), m_state, m_values);
}

CMaterial* CMaterial::cloneHeap(const char* name) const
{
    return allocateProcessBufferHeap(m_renderer, name ? name : m_name.c_str(), m_state, m_values);
}

void CMaterial::init(const void* values, const detail::material::SRenderState*, bool drop)
{
    if (!m_renderer->getParameterCount()) return;
    if (drop) dropParameters();
    std::memcpy(m_values, values ? values : m_renderer->getDefaults(), m_renderer->getValueBlockSize());
    grabParameters();
}

void CMaterial::reset(const detail::material::SRenderState* renderState)
{
    m_state.baseTechnique = 0;
    m_state.techniqueMapRow = 0;
    m_state.changedMask = 0xff;
    m_state.hashMask = 0xff;
    init(nullptr, renderState, true);
}

unsigned char CMaterial::getTechnique() const
{
    const IVideoDriver* driver = m_renderer ? m_renderer->getVideoDriver() : nullptr;
    const unsigned char* const* selection = driver ? driver->getTechniqueMap() : nullptr;
    if (!selection || !driver->getTechniqueMapSource()) return m_state.baseTechnique;
    return driver->getTechniqueMapSource()->mapTechnique(*m_renderer, m_state.techniqueMapRow, m_state.baseTechnique,
                                                         selection);
}

void CMaterial::updateParametersHashCode(unsigned char t) const
{
    if (t >= m_renderer->getTechniqueCount()) return;
    const auto& tech = m_renderer->getTechnique(t);
    if (!tech.passCount) return;
    const SRenderPass& pass = tech.passes[0];
    unsigned h = 0, g = 0;
    if (pass.parameterSources && pass.shader) {
        const unsigned n = pass.shader->getTotalParameterCount();
        for (unsigned i = 0; i < n; ++i) {
            const unsigned short s = pass.parameterSources[i];
            if (s & 0x8000 || s == CMaterialRenderer::NoParameter) continue;
            const SShaderParameterDef* d = m_renderer->getParameterDef(s);
            if (!d || d->valueType >= ESPVT_COUNT) continue;
            const unsigned char* at = m_values + d->index;
            const unsigned size = SInspect::ValueTypeSize[d->valueType];
            if (d->type == ESPT_TEXTURE) {
                for (size_t b = 0; b < size_t(d->arraySize) * size; ++b) g = g * 13 + at[b];
            } else if (d->type == ESPT_BONE_MATRICES || d->type == ESPT_WEIGHT_MASK) {
                continue;
            } else if (d->valueType == ESPVT_FLOAT4X4) {
                for (unsigned e = 0; e < d->arraySize; ++e) {
                    const unsigned char* m = matrixBytes(at + size_t(e) * size);
                    for (size_t b = 0; b < MatrixHashBytes; ++b) h = h * 13 + m[b];
                }
            } else {
                for (size_t b = 0; b < size_t(d->arraySize) * size; ++b) h = h * 13 + at[b];
            }
        }
    }
    m_hash[t] = (m_hash[t] & 0xff000f00u) | (h & 0xffu) | (g & 0xfffu) << 12;
}

void CMaterial::updateRenderStateHashCode(unsigned char t) const
{
    if (t >= m_renderer->getTechniqueCount() || !m_renderer->getTechnique(t).passCount) return;
    const unsigned char first = (unsigned char)(m_renderer->getTechnique(t).passes[0].renderState.word0 & 0xffu);
    m_hash[t] = (m_hash[t] & ~0xf00u) | unsigned(first & 0x0fu) << 8;
}

void CMaterial::updateHashCode(unsigned char t) const
{
    if (t >= m_renderer->getTechniqueCount()) return;
    const auto& tech = m_renderer->getTechnique(t);
    if (tech.passCount > 1) {
        m_hash[t] = 0xffffffffu;
    } else if (tech.passCount == 1) {
        if (m_state.changedMask & (1u << t)) updateParametersHashCode(t);
        if (tech.passes[0].changed) updateRenderStateHashCode(t);
    }
    m_state.hashMask &= (unsigned char)~(1u << t);
}

unsigned int CMaterial::getHashCode() const
{
    const unsigned char t = getTechnique();
    if (t >= m_renderer->getTechniqueCount()) return 0;
    if (m_state.hashMask & (1u << t)) updateHashCode(t);
    return m_hash[t];
}

bool CMaterial::operator==(const CMaterial& other) const
{
    const unsigned char ta = getTechnique(), tb = other.getTechnique();
    const unsigned ha = getHashCode(), hb = other.getHashCode();
    if (ha != hb) return false;
    if (ta >= m_renderer->getTechniqueCount() || tb >= other.m_renderer->getTechniqueCount()) return ta == tb && m_renderer == other.m_renderer;
    const auto& A = m_renderer->getTechnique(ta);
    const auto& B = other.m_renderer->getTechnique(tb);
    if (A.passCount != B.passCount) return false;
    for (unsigned p = 0; p < A.passCount; ++p)
        if (A.passes[p].shader != B.passes[p].shader || !(A.passes[p].renderState == B.passes[p].renderState)) return false;
    return areParametersEqual(ta, A.passCount, other, tb);
}

bool CMaterial::operator<(const CMaterial& other) const
{
    const unsigned char ta = getTechnique(), tb = other.getTechnique();
    const unsigned ha = getHashCode(), hb = other.getHashCode();
    if (ha != hb) return ha < hb;
    if (ta >= m_renderer->getTechniqueCount() || tb >= other.m_renderer->getTechniqueCount()) return false;
    const auto& A = m_renderer->getTechnique(ta);
    const auto& B = other.m_renderer->getTechnique(tb);
    if (A.passCount != B.passCount) return A.passCount < B.passCount;
    return compare(ta, A.passCount, other, tb);
}

bool CMaterial::compare(unsigned char t, unsigned char passCount, const CMaterial& other, unsigned char otherT) const
{
    for (unsigned p = 0; p < passCount; ++p) {
        const SRenderPass& P = m_renderer->getTechnique(t).passes[p];
        const SRenderPass& Q = other.m_renderer->getTechnique(otherT).passes[p];
        const unsigned ip = P.shader ? P.shader->getId() : 0xffffu;
        const unsigned iq = Q.shader ? Q.shader->getId() : 0xffffu;
        if (ip != iq) return ip < iq;
        int d = 0;
        if (P.parameterSources && Q.parameterSources && P.shader) {
            const unsigned n = P.shader->getTotalParameterCount();
            for (unsigned i = 0; i < n; ++i) {
                const unsigned short sa = P.parameterSources[i], sb = Q.parameterSources[i];
                if ((sa & 0x8000) || (sb & 0x8000) || sa == CMaterialRenderer::NoParameter || sb == CMaterialRenderer::NoParameter) continue;
                const SShaderParameterDef* A = m_renderer->getParameterDef(sa);
                const SShaderParameterDef* B = other.m_renderer->getParameterDef(sb);
                if (!A || !B || A->valueType >= ESPVT_COUNT || B->valueType != A->valueType) continue;
                const unsigned size = SInspect::ValueTypeSize[A->valueType];
                const unsigned char* va = m_values + A->index;
                const unsigned char* vb = other.m_values + B->index;
                const unsigned count = A->arraySize < B->arraySize ? A->arraySize : B->arraySize;
                if (A->type == ESPT_TEXTURE) {
                    for (unsigned e = 0; e < count; ++e) {
                        const void *x, *y;
                        std::memcpy(&x, va + size_t(e) * size, sizeof(x));
                        std::memcpy(&y, vb + size_t(e) * size, sizeof(y));
                        if (x != y) return reinterpret_cast<size_t>(x) < reinterpret_cast<size_t>(y);
                    }
                } else if (d == 0) {
                    if (A->valueType == ESPVT_FLOAT4X4) {
                        for (unsigned e = 0; e < count && d == 0; ++e)
                            d = std::memcmp(matrixBytes(va + size_t(e) * size), matrixBytes(vb + size_t(e) * size), MatrixHashBytes);
                    } else {
                        d = std::memcmp(va, vb, size_t(count) * size);
                    }
                }
            }
        }
        const unsigned char ba = (unsigned char)(P.renderState.word0 & 0xffu), bb = (unsigned char)(Q.renderState.word0 & 0xffu);
        if (ba != bb) return ba < bb;
        if (d != 0) return d < 0;
    }
    return false;
}

bool CMaterial::areParametersEqual(unsigned char t, unsigned char passCount, const CMaterial& other, unsigned char otherT) const
{
    for (unsigned p = 0; p < passCount; ++p) {
        const SRenderPass& P = m_renderer->getTechnique(t).passes[p];
        const SRenderPass& Q = other.m_renderer->getTechnique(otherT).passes[p];
        if (!P.parameterSources || !Q.parameterSources || !P.shader) continue;
        const unsigned n = P.shader->getTotalParameterCount();
        for (unsigned i = 0; i < n; ++i) {
            const unsigned short sa = P.parameterSources[i], sb = Q.parameterSources[i];
            if ((sa & 0x8000) || (sb & 0x8000) || sa == CMaterialRenderer::NoParameter || sb == CMaterialRenderer::NoParameter) continue;
            const SShaderParameterDef* A = m_renderer->getParameterDef(sa);
            const SShaderParameterDef* B = other.m_renderer->getParameterDef(sb);
            if (!A || !B || A->valueType != B->valueType) return false;
            if (A->valueType >= ESPVT_COUNT) continue;
            const unsigned size = SInspect::ValueTypeSize[A->valueType];
            const unsigned char* va = m_values + A->index;
            const unsigned char* vb = other.m_values + B->index;
            if (A->valueType == ESPVT_FLOAT4X4) {
                for (unsigned e = 0; e < A->arraySize && e < B->arraySize; ++e) {
                    const unsigned char* ea = va + size_t(e) * size;
                    const unsigned char* eb = vb + size_t(e) * size;
                    if (identityFlag(ea) && identityFlag(eb)) continue;
                    const auto* ma = reinterpret_cast<const Matrix*>(matrixBytes(ea));
                    const auto* mb = reinterpret_cast<const Matrix*>(matrixBytes(eb));
                    for (unsigned k = 0; k < 16; ++k)
                        if (ma->M[k] != mb->M[k]) return false;
                }
            } else {
                if (A->arraySize > B->arraySize) return false;
                if (std::memcmp(va, vb, size_t(A->arraySize) * size) != 0) return false;
            }
        }
    }
    return true;
}

void CMaterial::serializeAttributes(io::IAttributes* out, io::SAttributeReadWriteOptions*) const
{
    if (!out) return;
    out->addString("Name", m_name.c_str() ? m_name.c_str() : "", true);
    out->addString("Material Renderer", m_renderer->getName(), true);
    // Scene files are not read on this platform yet: no file provides the renderer.
    out->addString("BDAE File", "", true);
    std::vector<const char*> names;
    for (unsigned t = 0; t < m_renderer->getTechniqueCount(); ++t) names.push_back(m_renderer->getTechnique((unsigned char)t).name.c_str());
    names.push_back(nullptr);
    out->addEnum("BaseTechnique", int(m_state.baseTechnique), names.data(), false);
    out->push("Parameters");
    detail::IMaterialParameters<CMaterial, ISharedMemoryBlockHeader<CMaterial>>::serializeAttributes(out);
    out->pop();
}

void CMaterial::deserializeAttributes(io::IAttributes* in, io::SAttributeReadWriteOptions*)
{
    if (!in) return;
    // An unknown technique name keeps the base technique instead of storing 255.
    const unsigned char t = m_renderer->getTechniqueID(in->getEnum("BaseTechnique"));
    if (t != 255) m_state.baseTechnique = t;
    in->push("Parameters");
    detail::IMaterialParameters<CMaterial, ISharedMemoryBlockHeader<CMaterial>>::deserializeAttributes(in);
    in->pop();
}

}  // namespace pravik::video
