#include "engine/video/image/CDDSTextureLoader.h"
#include "engine/core/LittleEndian.h"

#include "engine/io/IReadFile.h"
#include "engine/os/Printer.h"
#include "engine/video/ITexture.h"
#include "engine/video/ITextureDataLoading.h"

#include <cstdio>

namespace pravik::video {

IImageLoader* createTextureLoaderDDS() { return new CDDSTextureLoader(); }

namespace {

constexpr uint32_t DDSD_PITCH = 0x8, DDSD_LINEARSIZE = 0x80000;
constexpr int32_t DATA_OFFSET = 128;

using core::le32;

// The two header fields the pixel data depends on; leaves the file at the data.
bool readLayoutFields(io::IReadFile* file, uint32_t& flags, uint32_t& pitchOrLinearSize)
{
    unsigned char b[124];
    if (!file->seek(4) || file->read(b, 124) != 124 || le32(b) != 124 || le32(b + 72) != 32)
        return false;
    flags = le32(b + 4);
    pitchOrLinearSize = le32(b + 16);
    return true;
}

class CDataInfo : public IDataInfo {
public:
    CDataInfo(unsigned dataSize, unsigned pitch) : m_dataSize(dataSize), m_pitch(pitch) {}
    unsigned getFileDataSize() const override { return m_dataSize; }
    unsigned getFilePitch(unsigned char level) const override { return level == 0 ? m_pitch : 0; }
    unsigned getFaceStartOffset() const override { return 0; }
    bool isLittleEndian() const override { return true; }
    bool needsFlip() const override { return false; }

private:
    unsigned m_dataSize, m_pitch;
};

}  // namespace

bool CDDSTextureLoader::loadTextureHeader(io::IReadFile* file, STextureDesc& desc) const
{
    SImageFileDesc header;
    if (!readFileDesc(file, header))
        return false;
    setTextureDesc(header, desc);
    return true;
}

bool CDDSTextureLoader::loadTextureData(io::IReadFile* file, const boost::intrusive_ptr<ITexture>& texture,
                                        const STextureDesc& desc, const STextureDesc*, unsigned) const
{
    uint32_t flags = 0, pitchOrSize = 0;
    if (!file || !texture || !readLayoutFields(file, flags, pitchOrSize))
        return false;
    if ((flags & DDSD_LINEARSIZE) && texture->getPixelFormat() == desc.format) {
        const unsigned* levels = texture->getLevelTable();
        if (pitchOrSize != levels[1] - levels[0]) {
            char text[1100];
            std::snprintf(text, sizeof text, "loading %.1000s: level 0 size mismatch", file->getFileName());
            os::Printer::log(text, ELL_ERROR);
            return false;
        }
    }
    const int32_t size = file->getSize();
    const CDataInfo info(size > DATA_OFFSET ? unsigned(size - DATA_OFFSET) : 0u,
                         (flags & DDSD_PITCH) ? pitchOrSize : 0u);
    return loadData(file, info, desc, texture);
}

}  // namespace pravik::video
