// Texture files into textures on the null driver: PNG members of mounted archives, texture files
// wrapped in a ZIP, one decode per key, DDS files filled directly, textures made from images
// (borrowed pixels never outlive a failed upload) and the background path run on the main thread.

#include "engine/video/CTextureManager.h"

#include "engine/io/CZipReader.h"
#include "engine/task/CTaskHandler.h"
#include "engine/task/CTaskManager.h"
#include "engine/video/image/IImageLoader.h"
#include "tools/formats/PvrWriter.h"
#include "tests/engine/video/CTextureManagerTestSupport.h"

using namespace pravik;
using namespace pravik::video;
using core::dimension2d;

namespace {

using TextureLoading = test::NullDriverTextures;

// Claims ".cnt" files by name and counts its decodes.
class CountingLoader : public IImageLoader {
public:
    bool isALoadableFileExtension(const char* name) const override { return std::strstr(name, ".cnt") != nullptr; }
    bool isALoadableFileFormat(io::IReadFile*) const override { return false; }
    CImagePtr loadImage(io::IReadFile*) const override
    {
        ++decodes;
        return test::patternImage(EPF_R8G8B8A8, 2, 2);
    }
    mutable int decodes = 0;
};

}  // namespace

TEST_F(TextureLoading, PngInsideAMountedZipLoadsByName)
{
    const CImagePtr image = test::patternImage(EPF_R8G8B8A8, 4, 4);
    const std::string zip = test::ZipBuilder().add("tex/a.png", test::pngOf(image), true).bytes();
    ASSERT_TRUE(fileSystem->addZipFileArchive(dir.write("res.bar", zip).c_str(), true, false, 1));

    const auto texture = manager->getTexture("tex/a.png");
    ASSERT_TRUE(texture);
    EXPECT_EQ(texture->getName(), "tex/a.png");
    EXPECT_EQ(texture->getWidth(), 4);
    EXPECT_EQ(texture->getHeight(), 4);
    EXPECT_EQ(texture->getPixelFormat(), EPF_R8G8B8A8);
    EXPECT_EQ(test::bytesAt(texture->getClientPointer(0, 0), 64), test::bytesAt(image->getData(), 64));
    EXPECT_TRUE(texture->getStateFlags() & 0x80);
    EXPECT_TRUE(log.contains("Loaded texture"));
    const unsigned short id = manager->getRegistry().getId("tex/a.png");
    ASSERT_EQ(id, texture->getId());
    EXPECT_EQ(manager->getRegistry().getProperties(id).sourceFormat, EPF_R8G8B8A8);

    log.clear();
    EXPECT_EQ(manager->getTexture("tex/a.png"), texture);
    EXPECT_FALSE(log.contains("Loaded texture"));
    EXPECT_FALSE(manager->getTexture("tex/missing.png"));
    EXPECT_EQ(log.first(), "Could not find texture file");
}

TEST_F(TextureLoading, ASecondRequestDoesNotDecodeAgain)
{
    boost::intrusive_ptr<CountingLoader> counting = new CountingLoader();
    manager->addExternalImageLoader(counting);
    dir.write("c.cnt", "not really a picture");
    mountFolder();

    auto first = manager->getTexture("c.cnt");
    ASSERT_TRUE(first);
    EXPECT_EQ(manager->getTexture("c.cnt"), first);
    EXPECT_EQ(counting->decodes, 1);

    // Once nothing holds it, it goes with the unused textures and the next request decodes.
    first.reset();
    manager->getRegistry().removeAll(false);
    EXPECT_TRUE(manager->getTexture("c.cnt"));
    EXPECT_EQ(counting->decodes, 2);
}

TEST_F(TextureLoading, ATextureFileThatIsAZipHoldingItsNamesake)
{
    const CImagePtr image = test::patternImage(EPF_R8G8B8A8, 2, 2, 3);
    dir.write("t.png", test::ZipBuilder().add("other.txt", "x").add("T.PNG", test::pngOf(image), true).bytes());
    dir.write("u.png", test::ZipBuilder().add("v.png", test::pngOf(image)).bytes());
    mountFolder();

    const auto t = manager->getTexture("t.png");
    ASSERT_TRUE(t);
    EXPECT_EQ(test::bytesAt(t->getClientPointer(0, 0), 16), test::bytesAt(image->getData(), 16));
    // The member's own name is recorded as the source.
    auto outer = test::adopt(fileSystem->createAndOpenFile("t.png"));
    auto reader = test::adopt(new io::CZipReader(outer.get(), true, true, 0));
    auto member = test::adopt(reader->openFile(outer->getFileName()));
    ASSERT_TRUE(member);
    EXPECT_EQ(manager->getRegistry().getProperties(t->getId()).sourceFileName, member->getFileName());

    log.clear();
    EXPECT_FALSE(manager->getTexture("u.png"));
    EXPECT_TRUE(log.contains("Could not load texture"));
    EXPECT_EQ(manager->getRegistry().getId("u.png"), 0xffff);
}

TEST_F(TextureLoading, LoaderChosenByContentThenByName)
{
    const CImagePtr image = test::patternImage(EPF_R8G8B8A8, 2, 2);
    const std::string png = test::pngOf(image);
    // A PNG named like a bitmap goes to the PNG loader; the position is back where it was.
    auto file = test::adopt(test::memoryFile(png, "picture.bmp"));
    file->seek(0);
    const auto loader = manager->getImageLoader(file.get());
    ASSERT_TRUE(loader);
    EXPECT_EQ(file->getPos(), 0);
    EXPECT_TRUE(loader->isALoadableFileExtension("x.png"));
    EXPECT_FALSE(loader->isALoadableFileExtension("x.bmp"));
    // Unrecognised content falls back on the name.
    auto unknown = test::adopt(test::memoryFile("????????????", "thing.tga"));
    const auto byName = manager->getImageLoader(unknown.get());
    ASSERT_TRUE(byName);
    EXPECT_TRUE(byName->isALoadableFileExtension("thing.tga"));
    EXPECT_FALSE(manager->getImageLoader(nullptr));
}

TEST_F(TextureLoading, DdsFillsTheTextureDirectly)
{
    test::DdsFile dds;
    dds.caps = 0x400000;
    dds.mips = 3;  // 4x4, 2x2, 1x1 of 4 bytes a texel
    dds.data = test::patternBytes(64 + 16 + 4);
    dir.write("a.dds", dds.bytes());
    test::DdsFile broken = dds;
    broken.masks[0] = 0x12345;
    dir.write("b.dds", broken.bytes());
    dir.write("c.dds", dds.bytes().substr(0, 128 + 40));
    mountFolder();

    const auto texture = manager->getTexture("a.dds");
    ASSERT_TRUE(texture);
    EXPECT_EQ(texture->getPixelFormat(), EPF_R8G8B8A8);
    ASSERT_EQ(texture->getMipmapCount(), 3);
    EXPECT_EQ(test::bytesAt(texture->getClientPointer(0, 0), 84), test::bytesAt(dds.data.data(), 84));
    EXPECT_TRUE(texture->getStateFlags() & 0x80);
    EXPECT_EQ(manager->getRegistry().getProperties(texture->getId()).sourceFormat, EPF_R8G8B8A8);

    const struct {
        const char* name;
        const char* message;
    } kRefused[] = {{"b.dds", "loading b.dds: corrupt header"}, {"c.dds", "loading c.dds: read error"}};
    for (const auto& c : kRefused) {
        SCOPED_TRACE(c.name);
        log.clear();
        EXPECT_FALSE(manager->getTexture(c.name));
        EXPECT_TRUE(log.contains(c.message)) << log.first();
        EXPECT_TRUE(log.contains("Could not load texture"));
        EXPECT_EQ(manager->getRegistry().getId(c.name), 0xffff);
    }
}

TEST_F(TextureLoading, HugeHeadersAreRefusedBeforeATextureIsMade)
{
    test::DdsFile dds;
    dds.width = dds.height = 0x8000000;
    dir.write("huge.dds", dds.bytes());
    mountFolder();
    EXPECT_FALSE(manager->getTexture("huge.dds"));
    EXPECT_TRUE(log.contains("corrupt header"));
}

TEST_F(TextureLoading, ImagesHandOverTheirPixelsOnlyWhileTheyLast)
{
    CImagePtr image = test::patternImage(EPF_R8G8B8A8, 4, 4);
    const auto expected = test::bytesAt(image->getData(), 64);
    log.clear();
    const auto texture = manager->createTextureFromImage("img", image, ETL_LINEAR);
    ASSERT_TRUE(texture);
    EXPECT_TRUE(log.empty()) << log.first();  // same format and pitch: no copy, no message
    // The null driver's upload fails, so the texture took its own copy of the borrowed pixels.
    EXPECT_NE(texture->getData(), image->getData());
    image.reset();
    EXPECT_EQ(test::bytesAt(texture->getClientPointer(0, 0), 64), expected);

    // Keeping the client data always copies, without the repacking message.
    manager->setFlags(ETMF_KEEP_TEXTURE_DATA, true);
    CImagePtr kept = test::patternImage(EPF_R8G8B8A8, 4, 4);
    const auto copied = manager->createTextureFromImage("kept", kept, ETL_LINEAR);
    ASSERT_TRUE(copied);
    EXPECT_NE(copied->getData(), kept->getData());
    EXPECT_FALSE(log.contains("repacking"));
}

TEST_F(TextureLoading, LayoutOverrides)
{
    const CImagePtr image = test::patternImage(EPF_R8G8B8A8, 4, 4);
    const struct {
        E_TEXTURE_LAYOUT asked;
        E_TEXTURE_LAYOUT made;
        const char* message;
    } kCases[] = {
        {ETL_LINEAR, ETL_LINEAR, nullptr},
        {ETL_LINEAR_UNIFORM_PITCH, ETL_LINEAR_UNIFORM_PITCH, nullptr},
        {ETL_TILED_32, ETL_LINEAR,
         "adding texture t: ignoring layout override Tiled 32 (not supported when creating textures from images)"},
        {E_TEXTURE_LAYOUT(255), ETL_LINEAR,
         "adding texture t: ignoring layout override unknown (not supported when creating textures from images)"},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(int(c.asked));
        log.clear();
        const auto texture = manager->createTextureFromImage("t", image, c.asked);
        ASSERT_TRUE(texture);
        EXPECT_EQ(texture->getLayout(), c.made);
        if (c.message)
            EXPECT_EQ(log.first(), c.message);
        else
            EXPECT_TRUE(log.empty()) << log.first();
    }
}

TEST_F(TextureLoading, ImageMipChainsAreTakenWhenComplete)
{
    const CImagePtr chain = new CImage(EPF_R8G8B8A8, dimension2d<int>(4, 4), true);  // 4x4, 2x2, 1x1
    auto* level1 = static_cast<unsigned char*>(chain->getMipMapData(1));
    for (int i = 0; i < 16; ++i)
        level1[i] = (unsigned char)(100 + i);
    const auto texture = manager->createTextureFromImage("chain", chain, ETL_LINEAR);
    ASSERT_TRUE(texture);
    ASSERT_EQ(texture->getMipmapCount(), 3);
    EXPECT_FALSE(texture->getStateFlags() & 0x02);
    EXPECT_EQ(test::bytesAt(texture->getClientPointer(0, 1), 16), test::bytesAt(level1, 16));

    // Without the flag only level 0 is held; the driver generates the rest.
    manager->setFlags(ETMF_USE_IMAGE_MIPMAPS, false);
    const auto flat = manager->createTextureFromImage("flat", chain, ETL_LINEAR);
    ASSERT_TRUE(flat);
    EXPECT_TRUE(flat->getStateFlags() & 0x02);
}

// With worker threads the full texture would be filled by a CPU task. Here the task is run by
// a handler on this very thread, which owns the driver: its bind must not wait for itself.
TEST_F(TextureLoading, BackgroundLoadOnTheDriversThreadDoesNotWaitForItself)
{
    test::DdsFile dds;
    dds.width = dds.height = 16;
    dds.caps = 0x400000;
    dds.mips = 5;
    dds.data = test::patternBytes(4 * (256 + 64 + 16 + 4 + 1), 9);
    dir.write("big.dds", dds.bytes());
    mountFolder();

    task::CCpuTaskHandler handler;  // before the push: the task takes the handlers' mask
    task::CCpuGraphicsTaskHandler graphics;  // nobody runs it: a pushed bind would wait forever
    // Only this handler may take the task, not the workers another test may have started.
    const uint32_t handlers = task::CCpuTaskHandler::HandlersMask;
    task::CCpuTaskHandler::HandlersMask = handler.getId();
    task::CCpuTaskHandler::ThreadsCount = 1;
    const auto texture = manager->getTexture("big.dds");
    task::CCpuTaskHandler::HandlersMask = handlers;
    ASSERT_TRUE(texture);
    ASSERT_TRUE(texture->getProxy());
    EXPECT_EQ(texture->getProxy()->getWidth(), 8);
    EXPECT_FALSE(texture->getStateFlags() & 0x80);
    ASSERT_EQ(task::CTaskManager::getInstance()->size(), 1u);

    handler.run(false);
    EXPECT_EQ(task::CTaskManager::getInstance()->size(), 0u);
    EXPECT_TRUE(texture->getStateFlags() & 0x80);
    EXPECT_EQ(test::bytesAt(texture->getClientPointer(0, 0), 1024), test::bytesAt(dds.data.data(), 1024));
}

namespace {

// A PVR file of R8G8B8A8 texels (pixel type 18) with its whole chain.
std::string pvrFile(uint32_t side, uint32_t mips, const std::string& data, bool prefixed)
{
    formats::pvr::File f;
    f.width = f.height = side;
    f.mips = mips;
    f.flags = formats::pvr::kRGBA8888 | (mips ? formats::pvr::kMipMaps : 0) | formats::pvr::kAlpha;
    f.dataSize = uint32_t(data.size());
    f.bits = 32;
    f.prefixed = prefixed;
    f.data = data;
    return f.bytes();
}

}  // namespace

TEST_F(TextureLoading, PvrAndBtexFilesFillTexturesDirectly)
{
    const std::string data = test::patternBytes(64 + 16 + 4, 4);
    dir.write("a.pvr", pvrFile(4, 2, data, false));
    dir.write("b.btex", pvrFile(4, 2, data, true));
    mountFolder();
    for (const char* name : {"a.pvr", "b.btex"}) {
        SCOPED_TRACE(name);
        const auto texture = manager->getTexture(name);
        ASSERT_TRUE(texture);
        EXPECT_EQ(texture->getPixelFormat(), EPF_R8G8B8A8);
        ASSERT_EQ(texture->getMipmapCount(), 3);
        EXPECT_EQ(test::bytesAt(texture->getData(), 84), test::bytesAt(data.data(), 84));
    }
}

TEST_F(TextureLoading, PvrReducedTextureStartsFurtherDownTheChain)
{
    // 8x8, 4x4, 2x2, 1x1; a reduced texture of one further level takes 2x2 and 1x1.
    const std::string data = test::patternBytes(256 + 64 + 16 + 4, 6);
    const std::string bytes = pvrFile(8, 3, data, false);
    auto file = test::adopt(test::memoryFile(bytes, "r.pvr"));
    const auto loader = manager->getImageLoader(file.get());
    ASSERT_TRUE(loader && loader->hasTextureLoadInterface());
    STextureDesc full;
    ASSERT_TRUE(loader->loadTextureHeader(file.get(), full));
    STextureDesc small = full;
    small.width = 2;
    small.height = 2;
    auto reduced = driver->createTexture("r", small);
    ASSERT_TRUE(reduced);
    reduced->setData(nullptr, true, false);
    ASSERT_TRUE(loader->loadTextureData(file.get(), reduced, small, &full, 1));
    EXPECT_EQ(test::bytesAt(reduced->getData(), 20), test::bytesAt(data.data() + 320, 20));
}

namespace {

// Makes R8G8B8A8 textures when asked for A8R8G8B8, as the OpenGL ES driver does.
class SubstitutingDriver : public CNullDriver {
public:
    SubstitutingDriver() : CNullDriver(static_cast<IDevice*>(nullptr)) {}
    boost::intrusive_ptr<ITexture> createTextureImpl(const char* name, const STextureDesc& desc) override
    {
        STextureDesc made = desc;
        if (made.format == EPF_A8R8G8B8)
            made.format = EPF_R8G8B8A8;
        return CNullDriver::createTextureImpl(name, made);
    }
};

}  // namespace

TEST_F(TextureLoading, ASubstitutedFormatIsConvertedOnTheSlowPath)
{
    boost::intrusive_ptr<SubstitutingDriver> gl(new SubstitutingDriver(), false);
    CTextureManager* glManager = gl->getTextureManager();
    ASSERT_NE(glManager, nullptr);
    CImagePtr image = new CImage(EPF_A8R8G8B8, dimension2d<int>(2, 2));
    const unsigned char argb[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    std::memcpy(image->getData(), argb, 16);

    log.clear();
    const auto texture = glManager->addTexture("t", image, true);
    ASSERT_TRUE(texture);
    EXPECT_EQ(texture->getPixelFormat(), EPF_R8G8B8A8);
    EXPECT_EQ(log.first(), "adding texture t: slow path pixel format conversion from A8R8G8B8 to R8G8B8A8");
    EXPECT_EQ(test::bytesAt(texture->getClientPointer(0, 0), 16),
              (std::vector<unsigned char>{2, 3, 4, 1, 6, 7, 8, 5, 10, 11, 12, 9, 14, 15, 16, 13}));
    EXPECT_EQ(glManager->getRegistry().getProperties(texture->getId()).sourceFormat, EPF_A8R8G8B8);
}

// Every cut and many random changes of valid texture files: each load ends in a texture or a
// refusal, never a crash or a read outside the file (the sanitizer run checks the latter).
TEST_F(TextureLoading, CutAndChangedTextureFilesAreRefusedSafely)
{
    test::DdsFile dds;
    dds.caps = 0x400000;
    dds.mips = 3;
    dds.data = test::patternBytes(84);
    test::DdsFile dxt;
    dxt.pfFlags = 0x4;
    dxt.caps2 = 0x200 | 0xFC00;  // a cube map of DXT1 blocks
    dxt.data = test::patternBytes(6 * 8);
    std::string dxtBytes = dxt.bytes();
    dxtBytes.replace(84, 4, "DXT1");
    const std::string png = test::pngOf(test::patternImage(EPF_R8G8B8A8, 4, 4));
    const std::string files[] = {dds.bytes(), dxtBytes, pvrFile(4, 2, test::patternBytes(84), true), png,
                                 test::ZipBuilder().add("z.png", png).bytes()};
    driver->setFeature(EVDF_TEXTURE_CUBE_MAP, true);
    uint32_t seed = 12345;
    auto next = [&seed] { return seed = seed * 1103515245u + 12345u; };
    int loaded = 0;
    for (const std::string& whole : files) {
        std::vector<std::string> variants;
        for (size_t cut = 0; cut < whole.size(); ++cut)
            variants.push_back(whole.substr(0, cut));
        for (int i = 0; i < 300; ++i) {
            std::string changed = whole;
            for (int k = 0; k < 3; ++k)
                changed[next() % changed.size()] = char(next() >> 16);
            variants.push_back(changed);
        }
        for (const std::string& bytes : variants) {
            auto file = test::adopt(test::memoryFile(bytes, "z.png"));
            auto texture = manager->getTexture(file.get(), "k");
            if (texture) {
                ++loaded;
                ITexture* raw = texture.get();
                texture.reset();
                EXPECT_TRUE(manager->removeTexture(raw));
            }
        }
    }
    EXPECT_GT(loaded, 0);
    EXPECT_EQ(manager->getRegistry().size(), 0u);
}

// A picture decoded ahead on a worker becomes, at its getTexture, the texture the ordinary path
// makes, and is decoded once; what cannot or need not be decoded ahead starts nothing, and a
// decode that fails leaves the file to the ordinary path.
TEST_F(TextureLoading, DecodedAheadIsTheTextureTheOrdinaryPathMakes)
{
    boost::intrusive_ptr<CountingLoader> counting = new CountingLoader();
    manager->addExternalImageLoader(counting);
    const CImagePtr image = test::patternImage(EPF_R8G8B8A8, 4, 4);
    dir.write("a.png", test::pngOf(image));
    dir.write("c.cnt", "not really a picture");
    dir.write("d.dds", test::DdsFile{}.bytes());
    dir.write("e.png", test::pngOf(image).substr(0, 60));
    dir.write("z.png", test::ZipBuilder().add("z.png", test::pngOf(image), true).bytes());
    dir.write("never.png", test::pngOf(image));
    mountFolder();

    ASSERT_TRUE(manager->decodeAhead("a.png"));
    ASSERT_TRUE(manager->decodeAhead("c.cnt"));
    const struct {
        const char* name;
        const char* why;
    } refused[] = {{"a.png", "already under way"},      {"missing.png", "no file"},
                   {"d.dds", "filled by its loader"},   {"z.png", "a texture inside a ZIP"},
                   {nullptr, "no name"}};
    for (const auto& r : refused)
        EXPECT_FALSE(manager->decodeAhead(r.name)) << r.why;
    ASSERT_TRUE(manager->decodeAhead("e.png"));
    ASSERT_TRUE(manager->decodeAhead("never.png"));  // never asked for: joined with the manager

    log.clear();
    const auto texture = manager->getTexture("a.png");
    ASSERT_TRUE(texture);
    EXPECT_EQ(texture->getName(), "a.png");
    EXPECT_EQ(texture->getWidth(), 4);
    EXPECT_EQ(texture->getPixelFormat(), EPF_R8G8B8A8);
    EXPECT_EQ(test::bytesAt(texture->getClientPointer(0, 0), 64), test::bytesAt(image->getData(), 64));
    EXPECT_TRUE(texture->getStateFlags() & 0x80);
    EXPECT_TRUE(log.contains("Loaded texture"));
    const unsigned short id = manager->getRegistry().getId("a.png");
    ASSERT_EQ(id, texture->getId());
    EXPECT_EQ(manager->getRegistry().getProperties(id).sourceFormat, EPF_R8G8B8A8);
    EXPECT_EQ(manager->getTexture("a.png"), texture);
    EXPECT_FALSE(manager->decodeAhead("a.png")) << "the texture exists";

    ASSERT_TRUE(manager->getTexture("c.cnt"));
    EXPECT_EQ(counting->decodes, 1);

    log.clear();
    EXPECT_FALSE(manager->getTexture("e.png"));
    EXPECT_TRUE(log.contains("Could not load texture"));
}
