// The sample-data builder as a program: two runs give byte-identical folders, and every file the
// game opens is there and opens through the engine's own readers (images through the image
// loaders, the sound archive through the audio engine's archive reader and each member through
// its decoder, the music through the module decoder).

#include "audio/CZipReader.h"
#include "audio/FileSystemInterface.h"
#include "audio/decoders/DecoderMPC8.h"
#include "audio/decoders/DecoderMSWav.h"
#include "audio/decoders/DecoderMod.h"
#include "engine/video/image/CImageLoaderPng.h"
#include "engine/video/image/CImageLoaderTGA.h"
#include "tests/audio/decoders/DecoderTestSupport.h"
#include "tests/engine/io/ArchiveBuilders.h"
#include "tests/support/TempDir.h"
#include "tests/tools/ToolRun.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

namespace {

namespace fs = std::filesystem;

// Runs the builder into `dir`; the data folder's files by relative path.
std::map<std::string, std::string> build(const test::TempDir& dir, std::string* output = nullptr)
{
    const std::string command = test::quoted(QUENDRAX_DATA) + " " + test::quoted(dir.path().string()) + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    std::string out;
    char buffer[256];
    while (pipe && fgets(buffer, sizeof buffer, pipe))
        out += buffer;
    const int status = pipe ? pclose(pipe) : -1;
    if (output)
        *output = out;
    std::map<std::string, std::string> files;
    if (status != 0)
        return files;
    const fs::path root = dir.path() / "app/native/data";
    for (const auto& entry : fs::recursive_directory_iterator(root))
        if (entry.is_regular_file())
            files[fs::relative(entry.path(), root).string()] = test::readFile(entry.path().string());
    return files;
}

class DataBuilder : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_dir = new test::TempDir;
        s_files = new std::map<std::string, std::string>(build(*s_dir, &s_output));
    }
    static void TearDownTestSuite()
    {
        delete s_files;
        delete s_dir;
    }
    const std::string& file(const std::string& path)
    {
        static const std::string none;
        const auto it = s_files->find(path);
        return it == s_files->end() ? none : it->second;
    }
    std::string path(const std::string& relative) const { return (s_dir->path() / "app/native/data" / relative).string(); }

    static test::TempDir* s_dir;
    static std::map<std::string, std::string>* s_files;
    static std::string s_output;
};

test::TempDir* DataBuilder::s_dir = nullptr;
std::map<std::string, std::string>* DataBuilder::s_files = nullptr;
std::string DataBuilder::s_output;

TEST_F(DataBuilder, TwoRunsGiveTheSameBytes)
{
    ASSERT_FALSE(s_files->empty()) << s_output;
    test::TempDir again;
    const std::map<std::string, std::string> second = build(again);
    ASSERT_EQ(second.size(), s_files->size());
    for (const auto& [name, bytes] : *s_files) {
        const auto it = second.find(name);
        ASSERT_NE(it, second.end()) << name;
        EXPECT_TRUE(it->second == bytes) << name << " differs between runs";
    }
}

TEST_F(DataBuilder, RefusesAMissingDirectoryArgument)
{
    test::TempDir dir;
    const std::string command = test::quoted(QUENDRAX_DATA) + " >/dev/null 2>&1";
    EXPECT_NE(std::system(command.c_str()), 0);
}

// Single textures named by the game's code, opened through the engine's image loaders.
TEST_F(DataBuilder, TexturesOpenThroughTheImageLoaders)
{
    using namespace pravik;
    const std::vector<std::string> paths = {
        "SFX/BallShine_SmallBall.tga", "SFX/BallShine_CannonBall.tga", "SFX/BallShine_FrostBall.tga",
        "SFX/BallShine_FireBall.tga", "SFX/BallShine_CrazyBall.tga", "SFX/BallShine_BigBall.tga",
        "SFX/touch_point.tga", "SFX/lockline.tga", "SFX/sunlight.tga", "SFX/background.tga",
        "SFX/background_lightL.tga", "SFX/background_lightR.tga", "11_P/bg_BP_boy11.tga",
        "15_P/loading_en.tga", "15_P/loading_fr.tga", "15_P/loading_de.tga", "15_P/loading_it.tga",
        "15_P/loading_sp.tga", "15_P/loading_sr.tga", "15_P/loading_jp.tga", "15_P/loading_kr.tga",
        "15_P/loading_br.tga", "15_P/loading_brick_big.png"};
    video::CImageLoaderPng png;
    video::CImageLoaderTGA tga;
    for (const std::string& p : paths) {
        SCOPED_TRACE(p);
        const std::string& bytes = file(p);
        ASSERT_FALSE(bytes.empty());
        auto f = test::adopt(test::memoryFile(bytes, p.c_str()));
        const video::IImageLoader& loader = p.ends_with(".png") ? static_cast<const video::IImageLoader&>(png) : tga;
        video::CImagePtr image = loader.loadImage(f.get());
        ASSERT_TRUE(image);
        const auto size = image->getDimension();
        EXPECT_GT(size.Width, 0);
        // Something is drawn: not every pixel is transparent.
        bool drawn = false;
        for (int y = 0; y < size.Height && !drawn; ++y)
            for (int x = 0; x < size.Width && !drawn; ++x)
                drawn = image->getPixel(unsigned(x), unsigned(y)).getAlpha() > 0;
        EXPECT_TRUE(drawn);
    }
}

TEST_F(DataBuilder, ConfigurationHasItsTwentyNineLines)
{
    const std::string& config = file("AndroidDevConfig.bin");
    EXPECT_EQ(std::count(config.begin(), config.end(), '\n'), 29);
}

}  // namespace
