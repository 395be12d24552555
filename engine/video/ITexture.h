#pragma once
// The driver-independent half of every texture: descriptor, name, the client copy of the
// pixels (every face and level in one block), which levels are dirty, the sampling parameters
// with their own dirty bits, and the mapping protocol loaders and the game write pixels with.
//
// Parameter word: bits 0-1 type, 2-3 layout, 4-9 pixel format, 10-11 usage, 12-14 min filter,
// 15-17 mag filter, 18-20 wrap S, 21-23 wrap T, 24-26 wrap R, 27 compare R to texture, 28-30
// compare mode. State flags and dirty flags: E_TEXTURE_STATE_FLAG and E_TEXTURE_DIRTY_FLAG below.
// Level table: words 0..m (m = mip count) are level offsets inside one face and the face size,
// then ceil(m * faces / 32) words of per-(face, level) dirty bits (bit face * m + level).
// Client block: face f starts at f * align128(F); the last face has no alignment tail.

#include "engine/IReferenceCounted.h"
#include "engine/core/pravikString.h"
#include "engine/video/ETexture.h"

#include <boost/intrusive_ptr.hpp>

namespace pravik::io {
class IAttributes;
struct SAttributeReadWriteOptions;
}  // namespace pravik::io

namespace pravik::video {

class IVideoDriver;

// The state flags' bits.
enum E_TEXTURE_STATE_FLAG : unsigned char {
    ETSF_OWNS_DATA       = 0x01,   // the client block is ours (array delete)
    ETSF_ONLY_LEVEL0     = 0x02,   // only level 0 is held client-side
    ETSF_RENDER_TARGET   = 0x04,
    ETSF_DRIVER_OBJECT   = 0x08,   // the driver object exists
    ETSF_DRIVER_FAILED   = 0x10,   // driver creation or upload failed
    ETSF_DRIVER_MAPPING  = 0x20,   // the current mapping belongs to the driver
    ETSF_WHOLE_MAPPING   = 0x40,   // the current mapping started at face 0 level 0
    ETSF_LOADED          = 0x80    // loaded from a file
};

// The dirty flags' bits: pixels, mipmaps, then one a sampling parameter.
enum E_TEXTURE_DIRTY_FLAG : unsigned short {
    ETDF_DATA            = 0x0001,   // pixels to upload
    ETDF_MIPMAPS         = 0x0002,   // the driver must generate the mipmaps
    ETDF_MIN_FILTER      = 0x0004,
    ETDF_MAG_FILTER      = 0x0008,
    ETDF_WRAP_S          = 0x0010,
    ETDF_WRAP_T          = 0x0020,
    ETDF_WRAP_R          = 0x0040,
    ETDF_ANISOTROPY      = 0x0080,
    ETDF_LOD_BIAS        = 0x0100,
    ETDF_MIN_LOD         = 0x0200,
    ETDF_MAX_LOD         = 0x0400,
    ETDF_COMPARE_R       = 0x0800,
    ETDF_COMPARE_MODE    = 0x1000,
    ETDF_PARAMETERS      = 0x1ffc,   // every sampling parameter
    ETDF_NEW             = 0x1ffd,   // a fresh texture: everything but the mipmaps
    ETDF_ALL             = 0x1fff
};

class ITexture : public IReferenceCounted {
public:
    ITexture(const char* name, IVideoDriver* driver, const STextureDesc& desc);
    ~ITexture() override;
    ITexture(const ITexture&) = delete;
    ITexture& operator=(const ITexture&) = delete;

    E_DRIVER_TYPE getDriverType() const;
    void setData(void* data, bool takeOwnership, bool onlyLevel0);
    void* map(E_BUFFER_MAP_ACCESS access, E_TEXTURE_CUBE_MAP_FACE face = ETCMF_POSITIVE_X, unsigned char level = 0);  // null for another face/level while mapped
    void unmap() const;
    void* lock(bool = false) { return map(EBMA_CLIENT_READ_WRITE, ETCMF_POSITIVE_X, 0); }
    void unlock() { unmap(); }
    bool copy();  // false when the texture already owns its data (or has none)
    void copyParametersFrom(const boost::intrusive_ptr<ITexture>& other);
    bool bind(bool releaseClientData = false);
    bool generateMipmaps();  // false with one level or without driver mipmap generation
    unsigned getPitch(unsigned char level = 0) const;
    unsigned getSizeInBytes() const;
    void* getClientPointer(unsigned face, unsigned char level) const;  // null without client data
    void markDirty();  // every level (or level 0 of each face when only level 0 is held)

    void serializeAttributes(io::IAttributes* out, io::SAttributeReadWriteOptions* options = nullptr) const;
    void deserializeAttributes(io::IAttributes* in, io::SAttributeReadWriteOptions* options = nullptr);

    const core::stringc& getName() const { return m_name; }
    int getWidth() const { return m_width; }
    int getHeight() const { return m_height; }
    int getDepth() const { return m_depth; }
    void* getData() const { return m_clientData; }
    IVideoDriver* getVideoDriver() const { return m_driver; }
    unsigned short getId() const { return m_id; }
    void setId(unsigned short id) { m_id = id; }
    unsigned char getMipmapCount() const { return m_mipCount; }
    unsigned getFaceCount() const { return getType() == ETT_CUBE_MAP ? 6u : 1u; }
    const unsigned* getLevelTable() const { return m_levels; }
    unsigned* getDirtyLevelBits() { return m_levels + m_mipCount + 1; }
    const unsigned* getDirtyLevelBits() const { return m_levels + m_mipCount + 1; }
    unsigned getDirtyLevelWordCount() const { return (unsigned(m_mipCount) * getFaceCount() + 31) / 32; }
    bool isLevelDirty(unsigned face, unsigned char level) const;

    E_TEXTURE_TYPE getType() const { return E_TEXTURE_TYPE(m_params & 3u); }
    E_TEXTURE_LAYOUT getLayout() const { return E_TEXTURE_LAYOUT((m_params >> 2) & 3u); }
    E_PIXEL_FORMAT getPixelFormat() const { return E_PIXEL_FORMAT((m_params >> 4) & 0x3fu); }
    E_BUFFER_USAGE getUsage() const { return E_BUFFER_USAGE((m_params >> 10) & 3u); }
    E_TEXTURE_FILTER_TYPE getMinFilter() const { return E_TEXTURE_FILTER_TYPE((m_params >> 12) & 7u); }
    E_TEXTURE_FILTER_TYPE getMagFilter() const { return E_TEXTURE_FILTER_TYPE((m_params >> 15) & 7u); }
    E_TEXTURE_CLAMP getWrapS() const { return E_TEXTURE_CLAMP((m_params >> 18) & 7u); }
    E_TEXTURE_CLAMP getWrapT() const { return E_TEXTURE_CLAMP((m_params >> 21) & 7u); }
    E_TEXTURE_CLAMP getWrapR() const { return E_TEXTURE_CLAMP((m_params >> 24) & 7u); }
    bool getCompareRToTexture() const { return (m_params >> 27) & 1u; }
    E_COMPARE_FUNC getCompareMode() const { return E_COMPARE_FUNC((m_params >> 28) & 7u); }
    unsigned getParameterWord() const { return m_params; }

    // Setters mark their dirty bit only on a change; a mipmapped min filter on one level is ignored.
    void setMinFilter(E_TEXTURE_FILTER_TYPE f);
    void setMagFilter(E_TEXTURE_FILTER_TYPE f) { setField(15, 3, f, ETDF_MAG_FILTER); }
    void setWrapS(E_TEXTURE_CLAMP c) { setField(18, 3, c, ETDF_WRAP_S); }
    void setWrapT(E_TEXTURE_CLAMP c) { setField(21, 3, c, ETDF_WRAP_T); }
    void setWrapR(E_TEXTURE_CLAMP c) { setField(24, 3, c, ETDF_WRAP_R); }
    void setCompareRToTexture(bool on) { setField(27, 1, on, ETDF_COMPARE_R); }
    void setCompareMode(E_COMPARE_FUNC f) { setField(28, 3, f, ETDF_COMPARE_MODE); }
    void setAnisotropy(float a);  // raised to 1
    void setLODBias(float v) { setFloat(m_lodBias, v, ETDF_LOD_BIAS); }
    void setMinLOD(float v) { setFloat(m_minLod, v, ETDF_MIN_LOD); }
    void setMaxLOD(float v) { setFloat(m_maxLod, v, ETDF_MAX_LOD); }
    float getAnisotropy() const { return m_anisotropy; }
    float getLODBias() const { return m_lodBias; }
    float getMinLOD() const { return m_minLod; }
    float getMaxLOD() const { return m_maxLod; }

    unsigned char getStateFlags() const { return m_stateFlags; }
    void setStateFlags(unsigned char f) { m_stateFlags = f; }
    unsigned short getDirtyFlags() const { return m_dirtyFlags; }
    void setDirtyFlags(unsigned short f) { m_dirtyFlags = f; }
    unsigned char getMapState() const { return m_mapState; }
    unsigned char getMappedPlace() const { return m_mappedPlace; }
    const boost::intrusive_ptr<ITexture>& getProxy() const { return m_proxy; }
    void setProxy(const boost::intrusive_ptr<ITexture>& proxy) { m_proxy = proxy; }

    virtual bool bindImpl(bool releaseClientData) = 0;
    virtual void unbindImpl() = 0;
    virtual void* mapImpl(unsigned char access, E_TEXTURE_CUBE_MAP_FACE face, unsigned char level) = 0;
    virtual void unmapImpl() const = 0;
    virtual void* getMappedPtr() const = 0;
    virtual void generateMipmapsImpl() = 0;

protected:
    void setField(unsigned shift, unsigned width, unsigned value, unsigned short dirty);
    void setFloat(float& field, float value, unsigned short dirty);
    unsigned faceBytes() const;

    core::stringc m_name;
    int m_width;
    int m_height;
    int m_depth;
    void* m_clientData = nullptr;
    unsigned* m_levels = nullptr;
    IVideoDriver* m_driver;
    unsigned int m_params = 0;
    unsigned short m_id = 0xffff;
    unsigned char m_mipCount = 1;
    unsigned char m_stateFlags = 0;
    unsigned short m_dirtyFlags = ETDF_NEW;
    mutable unsigned char m_mapState = 0;
    mutable unsigned char m_mappedPlace = 0;
    float m_anisotropy = 1.f;
    float m_lodBias = 0.f;
    float m_minLod = 0.f;
    float m_maxLod = 0.f;
    boost::intrusive_ptr<ITexture> m_proxy;
};

}  // namespace pravik::video
