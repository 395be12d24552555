#include "engine/video/image/CPVRTextureLoader.h"
#include "engine/core/LittleEndian.h"

#include "engine/io/IReadFile.h"
#include "engine/video/ITexture.h"
#include "engine/video/ITextureDataLoading.h"

#include <algorithm>
#include <cstring>

namespace pravik::video {

IImageLoader* createTextureLoaderPVR() { return new CPVRTextureLoader(); }

namespace {

constexpr int32_t HEADER_SIZE = 52, PREFIX_SIZE = 8;

using core::le32;

struct SLayout {
    bool prefixed = false;
    uint32_t height = 0, width = 0, mipCount = 0, bitsPerPixel = 0;
};

// The fields the pixel data depends on; leaves the file at the first surface.
bool readLayout(io::IReadFile* file, SLayout& layout)
{
    unsigned char b[PREFIX_SIZE + HEADER_SIZE];
    if (!file->seek(0) || file->read(b, PREFIX_SIZE) != PREFIX_SIZE)
        return false;
    layout.prefixed = std::memcmp(b, "BTEXpvr", PREFIX_SIZE) == 0;
    const unsigned char* h = layout.prefixed ? b + PREFIX_SIZE : b;
    const int32_t rest = layout.prefixed ? HEADER_SIZE : HEADER_SIZE - PREFIX_SIZE;
    if (file->read(b + PREFIX_SIZE, uint32_t(rest)) != rest)
        return false;
    layout.height = le32(h + 4);
    layout.width = le32(h + 8);
    layout.mipCount = le32(h + 12);
    layout.bitsPerPixel = le32(h + 24);
    return true;
}

class CDataInfo : public IDataInfo {
public:
    CDataInfo(unsigned dataSize, unsigned skipped) : m_dataSize(dataSize), m_skipped(skipped) {}
    unsigned getFileDataSize() const override { return m_dataSize; }
    unsigned getFilePitch(unsigned char) const override { return 0; }
    unsigned getFaceStartOffset() const override { return m_skipped; }
    bool isLittleEndian() const override { return true; }
    bool needsFlip() const override { return false; }

private:
    unsigned m_dataSize, m_skipped;
};

}  // namespace

bool CPVRTextureLoader::loadTextureHeader(io::IReadFile* file, STextureDesc& desc) const
{
    SImageFileDesc header;
    if (!readFileDesc(file, header))
        return false;
    setTextureDesc(header, desc);
    return true;
}

bool CPVRTextureLoader::loadTextureData(io::IReadFile* file, const boost::intrusive_ptr<ITexture>& texture,
                                        const STextureDesc& desc, const STextureDesc* requested,
                                        unsigned requestedLevels) const
{
    SImageFileDesc header;
    SLayout layout;
    if (!file || !texture || !readFileDesc(file, header) || !readLayout(file, layout))
        return false;
    // A reduced texture starts requestedLevels levels above the smallest: skip the larger ones.
    uint64_t skipped = 0;
    if (requested && layout.mipCount > requestedLevels) {
        uint64_t w = layout.width, h = layout.height;
        for (uint32_t i = 0; i < layout.mipCount - requestedLevels; ++i) {
            skipped += h * w * layout.bitsPerPixel / 8;
            w = std::max<uint64_t>(w / 2, 1);
            h = std::max<uint64_t>(h / 2, 1);
        }
    }
    const int64_t data = int64_t(file->getSize()) - HEADER_SIZE - (layout.prefixed ? PREFIX_SIZE : 0);
    if (int64_t(skipped) > data)
        return false;
    const CDataInfo info(unsigned(data - int64_t(skipped)), unsigned(skipped));
    return loadData(file, info, desc, texture);
}

}  // namespace pravik::video
