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
#include "framework/SoundTable.h"
#include "tests/audio/decoders/DecoderTestSupport.h"
#include "tests/engine/io/ArchiveBuilders.h"
#include "tests/support/TempDir.h"
#include "tests/tools/ToolRun.h"
#include "tests/tools/quendrax-data/SampleData.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

namespace {

namespace fs = std::filesystem;

// The data folder's files by relative path.
std::map<std::string, std::string> filesBelow(const fs::path& root)
{
    std::map<std::string, std::string> files;
    std::error_code ec;
    for (const auto& entry : fs::recursive_directory_iterator(root, ec))
        if (entry.is_regular_file())
            files[fs::relative(entry.path(), root).string()] = test::readFile(entry.path().string());
    return files;
}

class DataBuilder : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_root = test::sampleDataRoot(&s_output);
        s_files = new std::map<std::string, std::string>;
        if (!s_root.empty())
            *s_files = filesBelow(fs::path(s_root) / "app/native/data");
    }
    static void TearDownTestSuite() { delete s_files; }
    const std::string& file(const std::string& path)
    {
        static const std::string none;
        const auto it = s_files->find(path);
        return it == s_files->end() ? none : it->second;
    }
    std::string path(const std::string& relative) const { return (fs::path(s_root) / "app/native/data" / relative).string(); }

    static std::string s_root;
    static std::map<std::string, std::string>* s_files;
    static std::string s_output;
};

std::string DataBuilder::s_root;
std::map<std::string, std::string>* DataBuilder::s_files = nullptr;
std::string DataBuilder::s_output;

TEST_F(DataBuilder, TwoRunsGiveTheSameBytes)
{
    ASSERT_FALSE(s_files->empty()) << s_output;
    test::TempDir again;
    std::string output;
    ASSERT_EQ(test::runDataBuilder(again.path().string(), &output), 0) << output;
    const std::map<std::string, std::string> second = filesBelow(again.path() / "app/native/data");
    ASSERT_EQ(second.size(), s_files->size());
    for (const auto& [name, bytes] : *s_files) {
        const auto it = second.find(name);
        ASSERT_NE(it, second.end()) << name;
        EXPECT_TRUE(it->second == bytes) << name << " differs between runs";
    }
}

TEST(DataBuilderProgram, RefusesAMissingDirectoryArgument)
{
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

// Peak of a whole decoded sound, and its frame count.
int decodedPeak(kez::DecoderFactory factory, const std::string& bytes, int* frames)
{
    test::StreamFixture source = test::StreamFixture::memory(bytes);
    test::DecoderFixture decoder(factory, source);
    if (!decoder.cursor)
        return -1;
    const int channels = std::max(1, decoder.cursor->GetTrackParams().channels);
    const std::vector<int16_t> pcm = test::decodeAll(*decoder.cursor, 4096, 32u << 20);
    *frames = int(pcm.size()) / channels;
    int peak = 0;
    for (int16_t v : pcm)
        peak = std::max(peak, std::abs(int(v)));
    return peak;
}

// Every sound of the table: effects from the archive through the audio engine's archive reader
// and their decoder, music from the folder the game copies it from; all of them audible.
TEST_F(DataBuilder, EverySoundOfTheTableDecodesAudibly)
{
    const std::string archive = file("3.bar");
    ASSERT_FALSE(archive.empty());
    std::map<std::string, std::pair<int, int>> members;  // lower-case name -> offset, size
    {
        kez::CZipReader reader(path("3.bar").c_str(), true, false);
        ASSERT_TRUE(reader.isValid());
        for (const auto& [name, entry] : reader.Members()) {
            int offset = 0, size = 0;
            ASSERT_TRUE(reader.getFileInfo(name.c_str(), offset, size)) << name;
            members[name] = {offset, size};
        }
    }
    kez::FileSystemInterface::DestroyInstance();
    auto member = [&](std::string name) -> std::string {
        for (char& c : name)
            c = char(std::tolower(static_cast<unsigned char>(c)));
        const auto it = members.find(name);
        if (it == members.end() || size_t(it->second.first) + size_t(it->second.second) > archive.size())
            return "";
        return archive.substr(size_t(it->second.first), size_t(it->second.second));
    };
    int checked = 0;
    for (int id = 0; id < SOUND_COUNT; ++id) {
        const std::string name = SOUND_FILE_NAMES[id];
        if (name.empty())
            continue;
        SCOPED_TRACE(testing::Message() << "sound " << id << " " << name);
        int frames = 0, peak = -1;
        if (name.ends_with(".it")) {
            EXPECT_TRUE(member(name) == file(name));
            peak = decodedPeak(kez::DecoderModFactory, file(name), &frames);
            EXPECT_GT(frames, 32000 * 2);  // a tune, not a blip
        } else if (name.ends_with(".wav")) {
            peak = decodedPeak(kez::DecoderMSWavFactory, member(name), &frames);
            EXPECT_GT(frames, 22050 / 50);
        } else {
            peak = decodedPeak(kez::DecoderMPC8Factory, member(name + ".mpc"), &frames);
            EXPECT_GT(frames, 44100 / 50);
        }
        EXPECT_GT(peak, 3000);
        ++checked;
    }
    EXPECT_EQ(checked, 166);
}

}  // namespace
