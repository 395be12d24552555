// Texture base: level table, client block, dirty levels, mapping and sampling parameters.

#include "engine/video/ITexture.h"

#include "engine/io/IAttributes.h"
#include "engine/video/IVideoDriver.h"
#include "engine/video/image/pixel_format.h"

#include <cstring>

namespace pravik::video {

namespace {

unsigned align128(unsigned n) { return (n + 127u) & ~127u; }

unsigned floorLog2(unsigned v)
{
    unsigned r = 0;
    while (v > 1) { v >>= 1; ++r; }
    return r;
}

bool isMipmapFilter(unsigned f) { return f > ETFT_LINEAR; }

}  // namespace

ITexture::ITexture(const char* name, IVideoDriver* driver, const STextureDesc& desc)
    : IReferenceCounted(0), m_name(name ? name : ""), m_width(desc.width), m_height(int(desc.height)),
      m_depth(desc.type == ETT_3D ? int(desc.depth) : 1), m_driver(driver)
{
    if (desc.hasMipmaps) {
        // A zero dimension has no logarithm; it counts as 1.
        const unsigned w = desc.width > 0 ? unsigned(desc.width) : 1u;
        const unsigned h = desc.height ? desc.height : 1u;
        const unsigned d = desc.depth ? desc.depth : 1u;
        unsigned largest = floorLog2(w);
        if (floorLog2(h) > largest) largest = floorLog2(h);
        if (floorLog2(d) > largest) largest = floorLog2(d);
        m_mipCount = (unsigned char)(1 + largest);
    }
    if (desc.isRenderTarget) m_stateFlags = ETSF_RENDER_TARGET;
    m_maxLod = float(m_mipCount - 1);
    m_params = (desc.type & 3u) | (desc.layout & 3u) << 2 | (desc.format & 0x3fu) << 4 | (desc.usage & 3u) << 10 |
               (desc.hasMipmaps ? 3u : 1u) << 12 | 1u << 15;

    const unsigned m = m_mipCount;
    const unsigned words = m + 1 + getDirtyLevelWordCount();
    m_levels = new unsigned[words];
    const bool uniform = desc.layout == ETL_LINEAR_UNIFORM_PITCH;
    const unsigned w = desc.width > 0 ? unsigned(desc.width) : 0u;
    const unsigned d = desc.depth;
    unsigned offset = 0;
    for (unsigned i = 0; i <= m; ++i) {
        m_levels[i] = offset;
        if (i < m) offset += pixel_format::computeMipmapSizeInBytes(desc.format, w, desc.height, d, (unsigned char)i, uniform);
    }
    for (unsigned i = m + 1; i < words; ++i) m_levels[i] = ~0u;
    m_dirtyFlags = ETDF_NEW;
}

ITexture::~ITexture()
{
    setData(nullptr, true, false);
    m_proxy.reset();
    delete[] m_levels;
}

E_DRIVER_TYPE ITexture::getDriverType() const { return m_driver ? m_driver->getDriverType() : EDT_NULL; }

unsigned ITexture::faceBytes() const
{
    if (m_stateFlags & ETSF_ONLY_LEVEL0) return m_levels[1] - m_levels[0];
    return m_levels[m_mipCount];
}

unsigned ITexture::getSizeInBytes() const
{
    const unsigned f = faceBytes();
    return f + (getFaceCount() - 1) * align128(f);
}

void* ITexture::getClientPointer(unsigned face, unsigned char level) const
{
    if (!m_clientData) return nullptr;
    auto* base = static_cast<unsigned char*>(m_clientData);
    if (m_stateFlags & ETSF_ONLY_LEVEL0) return base + size_t(face) * faceBytes();
    return base + size_t(face) * align128(m_levels[m_mipCount]) + m_levels[level < m_mipCount ? level : 0];
}

bool ITexture::isLevelDirty(unsigned face, unsigned char level) const
{
    const unsigned bit = face * m_mipCount + level;
    return (getDirtyLevelBits()[bit / 32] >> (bit % 32)) & 1u;
}

void ITexture::markDirty()
{
    m_dirtyFlags |= ETDF_DATA;
    unsigned* bits = getDirtyLevelBits();
    const unsigned words = getDirtyLevelWordCount();
    if (m_stateFlags & ETSF_ONLY_LEVEL0) {
        for (unsigned f = 0; f < getFaceCount(); ++f) {
            const unsigned bit = f * m_mipCount;
            bits[bit / 32] |= 1u << (bit % 32);
        }
    } else {
        for (unsigned i = 0; i < words; ++i) bits[i] = ~0u;
    }
}

void ITexture::setData(void* data, bool takeOwnership, bool onlyLevel0)
{
    bool changed = false;
    if (data != m_clientData) {
        if ((m_stateFlags & ETSF_OWNS_DATA) && m_clientData) delete[] static_cast<unsigned char*>(m_clientData);
        m_clientData = data;
        changed = data != nullptr;
    }
    if (!data) {
        m_stateFlags |= ETSF_OWNS_DATA;
        if (m_stateFlags & ETSF_DRIVER_OBJECT) m_dirtyFlags &= ~ETDF_DATA;
        m_dirtyFlags &= ~ETDF_MIPMAPS;
        if (onlyLevel0 && m_mipCount > 1) m_stateFlags |= ETSF_ONLY_LEVEL0;
        else m_stateFlags &= ~ETSF_ONLY_LEVEL0;
        return;
    }
    if (takeOwnership) m_stateFlags |= ETSF_OWNS_DATA;
    else m_stateFlags &= ~ETSF_OWNS_DATA;
    if (m_mipCount > 1 && onlyLevel0) {
        if (!(m_stateFlags & ETSF_ONLY_LEVEL0)) std::memset(getDirtyLevelBits(), 0, getDirtyLevelWordCount() * sizeof(unsigned));
        m_stateFlags |= ETSF_ONLY_LEVEL0;
    } else {
        m_stateFlags &= ~ETSF_ONLY_LEVEL0;
    }
    if (changed) markDirty();
}

void* ITexture::map(E_BUFFER_MAP_ACCESS access, E_TEXTURE_CUBE_MAP_FACE face, unsigned char level)
{
    if (m_mapState & 0x1f) {
        if (m_mappedPlace != (unsigned char)(face | level << 3)) return nullptr;
        ++m_mapState;
        return (m_stateFlags & ETSF_DRIVER_MAPPING) ? getMappedPtr() : getClientPointer(face, level);
    }
    if ((m_stateFlags & ETSF_DRIVER_OBJECT) && (access < 4 || !m_clientData))
        return mapImpl((unsigned char)((access & 1u) | 2u), face, level);
    if (!m_clientData) {
        const unsigned size = getSizeInBytes();
        setData(new unsigned char[size](), true, (m_stateFlags & ETSF_ONLY_LEVEL0) != 0);
        if (!m_clientData) return nullptr;
    }
    m_mapState = (unsigned char)(access * 32 + 1);
    m_mappedPlace = (unsigned char)(face | level << 3);
    if (face == 0 && level == 0) m_stateFlags |= ETSF_WHOLE_MAPPING;
    m_dirtyFlags |= ETDF_DATA;
    const unsigned bit = unsigned(face) * m_mipCount + level;
    if (bit < getDirtyLevelWordCount() * 32) getDirtyLevelBits()[bit / 32] |= 1u << (bit % 32);
    return getClientPointer(face, level);
}

void ITexture::unmap() const
{
    if ((m_mapState & 0x1f) > 1) {
        --m_mapState;
        return;
    }
    if (m_stateFlags & ETSF_DRIVER_MAPPING) unmapImpl();
    m_mappedPlace = 0;
    m_mapState = 0;
    const_cast<ITexture*>(this)->m_stateFlags &= ~ETSF_WHOLE_MAPPING;
}

bool ITexture::copy()
{
    // Without a block there is nothing to copy from.
    if (((m_stateFlags & ETSF_OWNS_DATA) && m_clientData) || !m_clientData) return false;
    const unsigned size = getSizeInBytes();
    auto* block = new unsigned char[size];
    std::memcpy(block, m_clientData, size);
    m_clientData = block;
    m_stateFlags |= ETSF_OWNS_DATA;
    return true;
}

void ITexture::setField(unsigned shift, unsigned width, unsigned value, unsigned short dirty)
{
    const unsigned mask = ((1u << width) - 1u) << shift;
    const unsigned bits = (value << shift) & mask;
    if ((m_params & mask) == bits) return;
    m_params = (m_params & ~mask) | bits;
    m_dirtyFlags |= dirty;
}

void ITexture::setFloat(float& field, float value, unsigned short dirty)
{
    if (field == value) return;
    field = value;
    m_dirtyFlags |= dirty;
}

void ITexture::setMinFilter(E_TEXTURE_FILTER_TYPE f)
{
    if (f == getMinFilter()) return;
    if (m_mipCount > 1 || !isMipmapFilter(f)) setField(12, 3, f, ETDF_MIN_FILTER);
}

void ITexture::setAnisotropy(float a) { setFloat(m_anisotropy, a < 1.f ? 1.f : a, ETDF_ANISOTROPY); }

void ITexture::copyParametersFrom(const boost::intrusive_ptr<ITexture>& other)
{
    if (!other) return;
    setAnisotropy(other->m_anisotropy);
    setLODBias(other->m_lodBias);
    setMinLOD(other->m_minLod);
    setMaxLOD(other->m_maxLod);
    setMinFilter(other->getMinFilter());
    setMagFilter(other->getMagFilter());
    setWrapS(other->getWrapS());
    setWrapT(other->getWrapT());
}

bool ITexture::bind(bool releaseClientData)
{
    if ((m_stateFlags & ETSF_DRIVER_OBJECT) && !(m_dirtyFlags & ETDF_DATA)) return true;
    if (!bindImpl(releaseClientData)) return false;
    return m_driver && m_driver->queryFeature(EVDF_TEXTURE_COMMIT);
}

bool ITexture::generateMipmaps()
{
    if (m_mipCount <= 1 || !m_driver || !m_driver->queryFeature(EVDF_MIP_MAP_GENERATION)) return false;
    bind(false);
    generateMipmapsImpl();
    return true;
}

unsigned ITexture::getPitch(unsigned char level) const
{
    unsigned w = unsigned(m_width);
    if (getLayout() != ETL_LINEAR_UNIFORM_PITCH) {
        w = level < 32 ? w >> level : 0;
        if (w < 1) w = 1;
    }
    return pixel_format::computePitch(getPixelFormat(), w);
}

void ITexture::serializeAttributes(io::IAttributes* out, io::SAttributeReadWriteOptions*) const
{
    if (!out) return;
    out->addString("Name", m_name.c_str(), true);
    out->addInt("Id", m_id, true);
    out->addEnum("Type", int(getType()), getStringsInternal((E_TEXTURE_TYPE*)nullptr), true);
    out->addEnum("Layout", int(getLayout()), getStringsInternal((E_TEXTURE_LAYOUT*)nullptr), true);
    out->addEnum("Usage", int(getUsage()), getStringsInternal((E_BUFFER_USAGE*)nullptr), true);
    out->addEnum("Pixel Format", int(getPixelFormat()), getStringsInternal((E_PIXEL_FORMAT*)nullptr), true);
    out->addInt("Width", m_width, true);
    out->addInt("Height", m_height, true);
    out->addInt("Depth", m_depth, true);
    out->addInt("Size", int(getSizeInBytes()), true);
    const unsigned pitch = pixel_format::computePitch(getPixelFormat(), unsigned(m_width));
    out->addInt("Pitch", int(pitch), true);
    out->addInt("Slice Pitch", int(pitch * unsigned(m_height)), true);
    out->addInt("Mipmap Count", m_mipCount, true);
    out->addBool("Has Only Client Level 0", (m_stateFlags & ETSF_ONLY_LEVEL0) != 0, true);
    out->addBool("Is Render Target", (m_stateFlags & ETSF_RENDER_TARGET) != 0, true);
    out->addString("Bind Status", (m_stateFlags & ETSF_DRIVER_OBJECT) ? "bound" : (m_stateFlags & ETSF_DRIVER_FAILED) ? "failed" : "not bound", true);
    out->push("Sampling State");
    const char* const* filters = getStringsInternal((E_TEXTURE_FILTER_TYPE*)nullptr);
    const char* const* clamps = getStringsInternal((E_TEXTURE_CLAMP*)nullptr);
    out->addEnum("Min Filter", int(getMinFilter()), filters, false);
    out->addEnum("Max Filter", int(getMagFilter()), filters, false);
    out->addEnum("Wrap S", int(getWrapS()), clamps, false);
    out->addEnum("Wrap T", int(getWrapT()), clamps, false);
    out->addEnum("Wrap R", int(getWrapR()), clamps, false);
    out->addBool("Compare R To Texture", getCompareRToTexture(), false);
    out->addEnum("Compare Mode", int(getCompareMode()), getStringsInternal((E_COMPARE_FUNC*)nullptr), false);
    out->addFloat("Anisotropy", m_anisotropy, false);
    out->addFloat("LOD Bias", m_lodBias, false);
    out->addFloat("Min LOD", m_minLod, false);
    out->addFloat("Max LOD", m_maxLod, false);
    out->pop();
}

void ITexture::deserializeAttributes(io::IAttributes* in, io::SAttributeReadWriteOptions*)
{
    if (!in) return;
    in->push("Sampling State");
    const char* const* filters = getStringsInternal((E_TEXTURE_FILTER_TYPE*)nullptr);
    const char* const* clamps = getStringsInternal((E_TEXTURE_CLAMP*)nullptr);
    // An unknown name reads as -1: such a value is left alone rather than masked into the word.
    int v = in->getEnum("Min Filter", filters);
    if (v >= 0) setMinFilter(E_TEXTURE_FILTER_TYPE(v));
    if ((v = in->getEnum("Max Filter", filters)) >= 0) setMagFilter(E_TEXTURE_FILTER_TYPE(v));
    if ((v = in->getEnum("Wrap S", clamps)) >= 0) setWrapS(E_TEXTURE_CLAMP(v));
    if ((v = in->getEnum("Wrap T", clamps)) >= 0) setWrapT(E_TEXTURE_CLAMP(v));
    if ((v = in->getEnum("Wrap R", clamps)) >= 0) setWrapR(E_TEXTURE_CLAMP(v));
    setCompareRToTexture(in->getBool("Compare R To Texture"));
    if ((v = in->getEnum("Compare Mode", getStringsInternal((E_COMPARE_FUNC*)nullptr))) >= 0 && v < 8)
        setCompareMode(E_COMPARE_FUNC(v));
    setAnisotropy(in->getFloat("Anisotropy"));
    setLODBias(in->getFloat("LOD Bias"));
    setMinLOD(in->getFloat("Min LOD"));
    setMaxLOD(in->getFloat("Max LOD"));
    in->pop();
}

}  // namespace pravik::video
