// The texture registry on the null driver: name clashes, removal and renaming by key, the key
// rules of file names, the placeholders with their names and colours, and the colour-key and
// normal-map operations on driver textures.

#include "engine/video/CTextureManager.h"

#include "engine/io/IAttributeVideo.h"
#include "tests/engine/video/CTextureManagerTestSupport.h"

using namespace pravik;
using namespace pravik::video;
using core::dimension2d;

namespace {

using TextureManager = test::NullDriverTextures;

std::vector<unsigned char> level0(const boost::intrusive_ptr<ITexture>& t, size_t n)
{
    return test::bytesAt(t->getClientPointer(0, 0), n);
}

}  // namespace

TEST_F(TextureManager, DriverCreatesItsManagerThroughTheHooks)
{
    ASSERT_NE(manager, nullptr);
    EXPECT_EQ(manager->getVideoDriver(), driver.get());
    EXPECT_EQ(manager->getFlags(), 0x42u);
}

TEST_F(TextureManager, NameClashMakesAFreeNameOrReportsTheRegisteredTexture)
{
    const CImagePtr image = test::patternImage(EPF_R8G8B8A8, 4, 4);
    const auto x = manager->addTexture("x", image, true);
    ASSERT_TRUE(x);
    EXPECT_EQ(x->getName(), "x");

    const auto xA = manager->addTexture("x", image, false);
    const auto xB = manager->addTexture("x", image, false);
    ASSERT_TRUE(xA && xB);
    EXPECT_EQ(xA->getName(), "xA");
    EXPECT_EQ(xB->getName(), "xB");
    EXPECT_NE(xA, x);

    log.clear();
    EXPECT_EQ(manager->addTexture("x", image, true), x);
    EXPECT_TRUE(log.contains("adding texture x: name exists already"));
    EXPECT_EQ(log.entries().front().level, ELL_INFORMATION);
    // The size form follows the same rule.
    EXPECT_EQ(manager->addTexture(dimension2d<int>(8, 8), "x", EPF_A8R8G8B8, false)->getName(), "xC");
    EXPECT_EQ(manager->getRegistry().size(), 4u);
}

TEST_F(TextureManager, LongNamesAreRefused)
{
    const CImagePtr image = test::patternImage(EPF_R8G8B8A8, 2, 2);
    const std::string longest(1014, 'n');
    ASSERT_TRUE(manager->addTexture(longest.c_str(), image, true));
    // Its free name needs one more letter, which still fits.
    const auto again = manager->addTexture(longest.c_str(), image, false);
    ASSERT_TRUE(again);
    EXPECT_EQ(again->getName().c_str(), longest + "A");

    log.clear();
    const std::string tooLong(1015, 'n');
    EXPECT_FALSE(manager->addTexture(tooLong.c_str(), image, true));
    EXPECT_FALSE(manager->addTexture(dimension2d<int>(2, 2), std::string(100000, 'q').c_str(), EPF_R8G8B8A8, false));
    EXPECT_TRUE(log.contains("name too long"));
    EXPECT_EQ(manager->getRegistry().size(), 2u);
}

TEST_F(TextureManager, RemoveOnlyWhatNothingElseHolds)
{
    auto texture = manager->addTexture(dimension2d<int>(4, 4), "a", EPF_A8R8G8B8, true);
    ASSERT_TRUE(texture);
    EXPECT_FALSE(manager->removeTexture(texture.get()));
    EXPECT_NE(manager->getRegistry().getId("a"), 0xffff);

    // Another texture of the same name is not the registered one.
    STextureDesc desc;
    desc.width = 4;
    desc.height = 4;
    const auto stranger = driver->createTexture("a", desc);
    EXPECT_FALSE(manager->removeTexture(stranger.get()));

    ITexture* raw = texture.get();
    texture.reset();
    EXPECT_TRUE(manager->removeTexture(raw));
    EXPECT_EQ(manager->getRegistry().getId("a"), 0xffff);
    EXPECT_FALSE(manager->removeTexture(nullptr));
}

TEST_F(TextureManager, RenameKeepsTheIdAndForgetsTheSource)
{
    auto a = manager->addTexture(dimension2d<int>(4, 4), "a", EPF_A8R8G8B8, true);
    const auto c = manager->addTexture(dimension2d<int>(4, 4), "c", EPF_A8R8G8B8, true);
    const unsigned short id = a->getId();
    EXPECT_EQ(manager->getRegistry().getProperties(id).sourceFormat, EPF_A8R8G8B8);

    ASSERT_TRUE(manager->renameTexture(a, "b"));
    EXPECT_EQ(a->getName(), "b");
    EXPECT_EQ(a->getId(), id);
    EXPECT_EQ(manager->getRegistry().getId("b"), id);
    EXPECT_EQ(manager->getRegistry().getId("a"), 0xffff);
    EXPECT_EQ(manager->getRegistry().getProperties(id).sourceFormat, EPF_COUNT);

    EXPECT_FALSE(manager->renameTexture(a, "c"));
    EXPECT_EQ(a->getName(), "b");
    EXPECT_EQ(manager->getRegistry().getId("c"), c->getId());

    // The renamed texture is still found, and removed, by its new name.
    EXPECT_EQ(manager->addTexture("b", CImagePtr(test::patternImage(EPF_R8G8B8A8, 2, 2)), true), a);
    ITexture* raw = a.get();
    a.reset();
    EXPECT_TRUE(manager->removeTexture(raw));
    EXPECT_EQ(manager->getRegistry().size(), 1u);
}

TEST_F(TextureManager, KeysOfFileNames)
{
    dir.write("here.png", "x");
    mountFolder();
    EXPECT_EQ(manager->getHashName("tex/a.png"), "tex/a.png");

    manager->setFlags(ETMF_KEY_OPENED_FILE_NAME, true);
    EXPECT_EQ(manager->getHashName("missing.png"), "missing.png");
    auto opened = test::adopt(fileSystem->createAndOpenFile("here.png"));
    ASSERT_TRUE(opened);
    EXPECT_EQ(manager->getHashName("here.png"), opened->getFileName());

    manager->setFlags(ETMF_KEY_OPENED_FILE_NAME, false);
    manager->setFlags(ETMF_KEY_ABSOLUTE_PATH, true);
    EXPECT_EQ(manager->getHashName("here.png"), fileSystem->getAbsolutePath("here.png"));
}

TEST_F(TextureManager, PlaceHoldersHaveTheirNamesAndColours)
{
    const struct {
        E_PLACE_HOLDER kind;
        const char* name;
        std::vector<unsigned char> rgba;
    } kCases[] = {{EPH_NOT_FOUND, "pravik::texture-not-found-2d", {255, 0, 128, 255}},
                  {EPH_BIND_FAILED, "pravik::texture-bind-failed-2d", {55, 215, 55, 255}}};
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        ITexture* p = manager->getPlaceHolder(c.kind, ETT_2D);
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(p->getName(), c.name);
        EXPECT_EQ(p->getPixelFormat(), EPF_R8G8B8A8);
        EXPECT_EQ(p->getWidth(), 1);
        EXPECT_EQ(p->getMinFilter(), ETFT_NEAREST);
        EXPECT_EQ(p->getMagFilter(), ETFT_NEAREST);
        EXPECT_EQ(test::bytesAt(p->getClientPointer(0, 0), 4), c.rgba);
        EXPECT_EQ(manager->getPlaceHolder(c.kind, ETT_2D), p);
        EXPECT_NE(manager->getRegistry().getId(c.name), 0xffff);
    }

    // Only the registry holds them: they go with the unused textures and come back on request.
    manager->clearPlaceHolders();
    manager->getRegistry().removeAll(false);
    EXPECT_EQ(manager->getRegistry().size(), 0u);
    ASSERT_NE(manager->getPlaceHolder(EPH_NOT_FOUND, ETT_2D), nullptr);
    EXPECT_EQ(manager->getRegistry().size(), 1u);
}

TEST_F(TextureManager, CubeMapPlaceHolderNeedsCubeMaps)
{
    // The null driver makes 2D textures only.
    EXPECT_EQ(manager->getPlaceHolder(EPH_NOT_FOUND, ETT_CUBE_MAP), nullptr);
    driver->setFeature(EVDF_TEXTURE_CUBE_MAP, true);
    ITexture* cube = manager->getPlaceHolder(EPH_NOT_FOUND, ETT_CUBE_MAP);
    ASSERT_NE(cube, nullptr);
    EXPECT_EQ(cube->getName(), "pravik::texture-not-found-cube-map");
    for (unsigned face = 0; face < 6; ++face)
        EXPECT_EQ(test::bytesAt(cube->getClientPointer(face, 0), 4), (std::vector<unsigned char>{255, 0, 128, 255}))
            << face;
    EXPECT_EQ(manager->getPlaceHolder(EPH_NOT_FOUND, ETT_CUBE_MAP), cube);
}

TEST_F(TextureManager, SetPlaceHolderRemovesTheTextureItReplaces)
{
    ITexture* made = manager->getPlaceHolder(EPH_BIND_FAILED, ETT_2D);
    ASSERT_NE(made, nullptr);
    const auto mine = manager->addTexture(dimension2d<int>(2, 2), "mine", EPF_R8G8B8A8, true);
    manager->setPlaceHolder(EPH_BIND_FAILED, mine);
    EXPECT_EQ(manager->getPlaceHolder(EPH_BIND_FAILED, ETT_2D), mine.get());
    EXPECT_EQ(manager->getRegistry().getId("pravik::texture-bind-failed-2d"), 0xffff);
}

TEST_F(TextureManager, ColourKeyExamples)
{
    driver->setOption(0x10, false);
    const auto argb = manager->addTexture(dimension2d<int>(2, 2), "argb", EPF_A8R8G8B8, true);
    ASSERT_TRUE(argb);
    const unsigned char texels[16] = {0x20, 255, 0, 255, 0x20, 254, 0, 255, 0, 1, 2, 3, 0xFF, 255, 0, 255};
    std::memcpy(argb->map(EBMA_CLIENT_WRITE, ETCMF_POSITIVE_X, 0), texels, 16);
    argb->unmap();
    manager->makeColorKeyTexture(argb, SColor(255, 0, 255, 0));
    EXPECT_EQ(level0(argb, 16),
              (std::vector<unsigned char>{0, 0, 0, 0, 0xFF, 254, 0, 255, 0xFF, 1, 2, 3, 0, 0, 0, 0}));
    EXPECT_EQ(argb->getMapState(), 0);

    // By position on a 16-bit texture: equal in the 15 colour bits goes, the rest gains bit 15.
    const auto a1 = manager->addTexture(dimension2d<int>(2, 2), "a1", EPF_A1R5G5B5, true);
    const uint16_t words[4] = {0x1234, 0x9234, 0x0001, 0x1234};
    std::memcpy(a1->map(EBMA_CLIENT_WRITE, ETCMF_POSITIVE_X, 0), words, 8);
    a1->unmap();
    manager->makeColorKeyTexture(a1, core::position2d<int>(1, 1));
    uint16_t out[4];
    std::memcpy(out, a1->getClientPointer(0, 0), 8);
    EXPECT_EQ(out[0], 0);
    EXPECT_EQ(out[1], 0);
    EXPECT_EQ(out[2], 0x8001);
    EXPECT_EQ(out[3], 0);

    // Other formats stay as they are.
    const auto rgb = manager->addTexture(dimension2d<int>(2, 2), "rgb", EPF_R5G6B5, true);
    std::memcpy(rgb->map(EBMA_CLIENT_WRITE, ETCMF_POSITIVE_X, 0), words, 8);
    rgb->unmap();
    log.clear();
    manager->makeColorKeyTexture(rgb, SColor(255, 0, 255, 0));
    EXPECT_EQ(level0(rgb, 8), test::bytesAt(words, 8));
    EXPECT_EQ(log.first(), "Error: Unsupported texture color format for making color key channel.");
    log.clear();
    manager->makeColorKeyTexture(a1, core::position2d<int>(5, 5));
    EXPECT_EQ(log.first(), "Error: Color key position lies outside the texture.");
    manager->makeNormalMapTexture(rgb, 1.f);
    EXPECT_TRUE(log.contains("Error: Unsupported texture color format for making normal map."));
}

TEST_F(TextureManager, NormalMapOfConstantHeight)
{
    driver->setOption(0x10, false);
    const auto t = manager->addTexture(dimension2d<int>(4, 4), "height", EPF_A8R8G8B8, true);
    auto* p = static_cast<unsigned char*>(t->map(EBMA_CLIENT_WRITE, ETCMF_POSITIVE_X, 0));
    for (int i = 0; i < 16; ++i) {
        const unsigned char texel[4] = {9, 9, 60, 9};
        std::memcpy(p + 4 * i, texel, 4);
    }
    t->unmap();
    manager->makeNormalMapTexture(t, 5.f);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(test::bytesAt(static_cast<unsigned char*>(t->getClientPointer(0, 0)) + 4 * i, 4),
                  (std::vector<unsigned char>{60, 127, 127, 0}))
            << i;
}

TEST_F(TextureManager, ImagesAndTheirFiles)
{
    const CImagePtr image = test::patternImage(EPF_R8G8B8A8, 4, 4);
    EXPECT_TRUE(manager->writeImageToFile(image, dir.file("out.png").c_str()));
    EXPECT_FALSE(manager->writeImageToFile(image, dir.file("out.unknown").c_str()));
    const CImagePtr back = manager->createImageFromFile(dir.file("out.png").c_str());
    ASSERT_TRUE(back);
    EXPECT_EQ(test::rgbaOf(back), test::rgbaOf(image));
    log.clear();
    EXPECT_FALSE(manager->createImageFromFile(dir.file("nothing.png").c_str()));
    EXPECT_EQ(log.first(), "Could not open file of image");
    EXPECT_EQ(manager->createImage(EPF_A8R8G8B8, image)->getColorFormat(), EPF_A8R8G8B8);
}

TEST_F(TextureManager, AttributesNameTexturesThroughTheManager)
{
    const CImagePtr image = test::patternImage(EPF_R8G8B8A8, 2, 2);
    dir.write("tex/a.png", test::pngOf(image));
    mountFolder();

    // "file;key": the file is loaded under the key; text without ';' is both.
    video::ITexture* keyed = io::fromString("tex/a.png;ui/a", driver.get());
    ASSERT_NE(keyed, nullptr);
    EXPECT_EQ(keyed->getName(), "ui/a");
    EXPECT_EQ(io::fromString("tex/a.png;ui/a", driver.get()), keyed);
    EXPECT_EQ(io::toString(keyed, driver.get()), "ui/a;ui/a");
    EXPECT_EQ(io::fromString("missing.png", driver.get()), nullptr);

    STextureDesc desc;
    desc.width = 2;
    desc.height = 2;
    const auto loose = driver->createTexture("loose", desc);
    EXPECT_EQ(io::toString(loose.get(), driver.get()), "<null>;loose");
}
