// Filling textures straight from file data: one read for the whole block, faces to their
// aligned starts, file levels the texture does not want skipped, conversion from a buffer, and
// short or lying files refused.

#include "engine/video/ITextureDataLoading.h"

#include "tests/engine/video/CTextureManagerTestSupport.h"

using namespace pravik;
using namespace pravik::video;

namespace {

struct DataInfo : IDataInfo {
    unsigned size = 0, pitch = 0, faceOffset = 0;
    unsigned getFileDataSize() const override { return size; }
    unsigned getFilePitch(unsigned char level) const override { return level == 0 ? pitch : 0; }
    unsigned getFaceStartOffset() const override { return faceOffset; }
    bool isLittleEndian() const override { return true; }
    bool needsFlip() const override { return false; }
};

class TextureDataLoading : public test::NullDriverTextures {
protected:
    boost::intrusive_ptr<ITexture> make(E_PIXEL_FORMAT format, int size, bool mipmaps, E_TEXTURE_TYPE type = ETT_2D)
    {
        STextureDesc desc;
        desc.type = type;
        desc.format = format;
        desc.width = size;
        desc.height = unsigned(size);
        desc.hasMipmaps = mipmaps;
        auto texture = driver->createTexture("t", desc);
        if (texture)
            texture->setData(nullptr, true, false);
        return texture;
    }

    bool load(const std::string& bytes, const DataInfo& info, const STextureDesc& fileDesc,
              const boost::intrusive_ptr<ITexture>& texture)
    {
        auto file = test::adopt(test::memoryFile(bytes, "f.dds"));
        return loadData(file.get(), info, fileDesc, texture);
    }

    static STextureDesc fileDesc(E_PIXEL_FORMAT format, int size, bool mipmaps)
    {
        STextureDesc d;
        d.format = format;
        d.width = size;
        d.height = unsigned(size);
        d.hasMipmaps = mipmaps;
        return d;
    }
};

}  // namespace

TEST_F(TextureDataLoading, SameFormatWithAFullChainIsOneRead)
{
    const auto texture = make(EPF_R8G8B8A8, 4, true);
    const std::string data = test::patternBytes(64 + 16 + 4);
    DataInfo info;
    info.size = unsigned(data.size());
    ASSERT_TRUE(load(data, info, fileDesc(EPF_R8G8B8A8, 4, true), texture));
    EXPECT_EQ(test::bytesAt(texture->getData(), data.size()), test::bytesAt(data.data(), data.size()));
    EXPECT_TRUE(texture->getDirtyFlags() & 0x0001);
    EXPECT_EQ(texture->getMapState(), 0);
    EXPECT_TRUE(log.empty()) << log.first();
}

TEST_F(TextureDataLoading, FileLevelsTheTextureDoesNotWantAreSkipped)
{
    const auto texture = make(EPF_R8G8B8A8, 4, false);
    const std::string data = test::patternBytes(64 + 16 + 4);
    DataInfo info;
    info.size = unsigned(data.size());
    ASSERT_TRUE(load(data, info, fileDesc(EPF_R8G8B8A8, 4, true), texture));
    EXPECT_EQ(test::bytesAt(texture->getData(), 64), test::bytesAt(data.data(), 64));
    EXPECT_EQ(log.first(), "loading f.dds: superfluous texture data (texture file has mipmaps but texture requests none)");
    EXPECT_EQ(log.entries().front().level, ELL_WARNING);
}

TEST_F(TextureDataLoading, CubeFacesGoToTheirAlignedStarts)
{
    driver->setFeature(EVDF_TEXTURE_CUBE_MAP, true);
    const auto texture = make(EPF_R8G8B8A8, 4, false, ETT_CUBE_MAP);
    ASSERT_TRUE(texture);
    const std::string data = test::patternBytes(6 * 64);  // faces packed without alignment
    DataInfo info;
    info.size = unsigned(data.size());
    ASSERT_TRUE(load(data, info, fileDesc(EPF_R8G8B8A8, 4, false), texture));
    for (unsigned face = 0; face < 6; ++face)
        EXPECT_EQ(test::bytesAt(texture->getClientPointer(face, 0), 64), test::bytesAt(data.data() + face * 64, 64))
            << face;
}

TEST_F(TextureDataLoading, NarrowerFileFormatsConvertFromABuffer)
{
    const auto texture = make(EPF_R8G8B8A8, 2, true);  // 2x2 and 1x1
    const std::string data = "\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0a\x0b\x0c"
                             "\x0d\x0e\x0f";  // R8G8B8 levels: 12 + 3 bytes
    DataInfo info;
    info.size = unsigned(data.size());
    ASSERT_TRUE(load(data, info, fileDesc(EPF_R8G8B8, 2, true), texture));
    EXPECT_EQ(test::bytesAt(texture->getClientPointer(0, 0), 16),
              (std::vector<unsigned char>{1, 2, 3, 255, 4, 5, 6, 255, 7, 8, 9, 255, 10, 11, 12, 255}));
    EXPECT_EQ(test::bytesAt(texture->getClientPointer(0, 1), 4), (std::vector<unsigned char>{13, 14, 15, 255}));
}

TEST_F(TextureDataLoading, ShortAndLyingFilesAreRefused)
{
    const std::string data = test::patternBytes(64 + 16 + 4);
    const struct {
        const char* why;
        E_PIXEL_FORMAT fileFormat;
        std::string bytes;
        unsigned claimed;
    } kCases[] = {
        {"whole read cut short", EPF_R8G8B8A8, data.substr(0, 50), 84},
        {"converted levels past the data", EPF_R8G8B8, data.substr(0, 20), 20},
        {"claimed size past the file", EPF_R8G8B8, data.substr(0, 20), 4000},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.why);
        log.clear();
        const auto texture = make(EPF_R8G8B8A8, 4, true);
        DataInfo info;
        info.size = c.claimed;
        EXPECT_FALSE(load(c.bytes, info, fileDesc(c.fileFormat, 4, true), texture));
        EXPECT_TRUE(log.contains("loading f.dds: read error")) << log.first();
        EXPECT_EQ(texture->getMapState(), 0);
    }
}
