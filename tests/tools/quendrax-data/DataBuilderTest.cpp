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
#include "effects/BeffFile.h"
#include "engine/res/File.h"
#include "framework/CZyFont.h"
#include "framework/CAISprite.h"
#include "game/SpecialFX/EffectTable.h"
#include "framework/CStringManager.h"
#include "framework/GlyphTables.h"
#include "framework/PackTables.h"
#include "framework/SoundTable.h"
#include "tools/formats/SampleEffects.h"
#include "tools/formats/SpriteWriter.h"
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

// Every sprite of the pack tables parses through the game's sprite reader, its images exist,
// and it holds at least the frames, animations and modules the game's code indexes.
TEST_F(DataBuilder, EverySpriteParsesAndHoldsWhatTheGameIndexes)
{
    struct Min {
        const char* pack;
        int row, frames, anims, modules;
    };
    const Min minima[] = {
        {"2", 0, 1, 0, 256}, {"2", 5, 1, 0, 256}, {"4", 0, 1, 0, 1}, {"8", 0, 308, 0, 1},
        {"9", 0, 1, 30, 1}, {"9", 10, 174, 0, 1}, {"9", 11, 80, 0, 1}, {"9", 12, 174, 0, 1}, {"9", 13, 40, 0, 1},
        {"9", 16, 1, 3, 1}, {"9", 25, 1, 7, 1}, {"9", 29, 12, 0, 1}, {"9", 30, 182, 24, 1}, {"9", 31, 4, 2, 1},
        {"9", 33, 1, 7, 1}, {"9", 35, 12, 0, 1}, {"9", 36, 1, 14, 1}, {"9", 38, 6, 0, 1}, {"9", 42, 6, 0, 1},
        {"9", 43, 24, 12, 1}, {"9", 44, 1, 24, 1}, {"9", 45, 2, 0, 1}, {"9", 46, 1, 18, 1}, {"9", 47, 1, 4, 1},
        {"9", 51, 1, 5, 1}, {"9", 53, 1, 5, 1}, {"9", 54, 10, 0, 1}, {"9", 56, 50, 0, 1}, {"9", 57, 37, 0, 1},
        {"9", 58, 1, 2, 1}, {"9", 60, 1, 6, 1}, {"9", 61, 1, 8, 1}, {"9", 62, 545, 84, 71}, {"9", 63, 59, 21, 48},
        {"9", 64, 65, 16, 23}, {"9", 65, 8, 0, 1}, {"9", 66, 23, 15, 29}, {"9", 67, 1, 42, 1}, {"9", 70, 86, 20, 77},
        {"9", 73, 1, 10, 1}, {"9", 82, 1, 21, 1}, {"11", 0, 1, 27, 1}, {"15", 2, 5, 0, 1}, {"15", 14, 8, 0, 1},
        {"15", 24, 4, 0, 1}, {"15", 25, 95, 0, 1}, {"15", 29, 74, 15, 1}, {"15", 30, 1, 28, 1},
        {"15", 31, 118, 30, 53}, {"15", 32, 80, 27, 50}, {"15", 33, 30, 0, 1}, {"15", 34, 1, 0, 2},
        {"15", 35, 84, 0, 1}, {"15", 36, 9, 0, 1}, {"15", 37, 20, 0, 1}, {"15", 38, 1, 4, 3},
    };
    std::map<std::pair<std::string, int>, Min> wanted;
    for (const Min& m : minima)
        wanted[{m.pack, m.row}] = m;
    int parsed = 0;
    for (const SPackTable& table : PACK_TABLES) {
        if (!table.textures)
            continue;
        const std::string folder = formats::sprites::ModeFolder(table.folder);
        for (int row = 0; row < table.count; ++row) {
            // Empty rows name nothing; the font pack's last row is a typed array, not a sprite.
            if (!*table.names[row] || std::string(table.names[row]).ends_with(".ARRAY"))
                continue;
            const std::string name = folder + "/" + table.names[row] + ".bsprite";
            SCOPED_TRACE(name);
            const std::string& bytes = file(name);
            ASSERT_FALSE(bytes.empty());
            CAISprite sprite;
            ASSERT_TRUE(sprite.Load(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), name.c_str()));
            ++parsed;
            std::string images = table.textures[row];
            for (size_t start = 0; start < images.size();) {
                const size_t end = std::min(images.find(';', start), images.size());
                std::string image = images.substr(start, end - start);
                start = end + 1;
                // The brick sheet is read as its location's variant.
                if (image == "bricks_all") {
                    for (int act = 1; act <= 7; ++act)
                        EXPECT_FALSE(file(folder + "/bricks_all_act" + std::to_string(act) + ".png").empty()) << act;
                    continue;
                }
                EXPECT_FALSE(file(folder + "/" + image + ".png").empty()) << image;
            }
            const auto it = wanted.find({table.folder, row});
            if (it == wanted.end())
                continue;
            EXPECT_GE(sprite.m_frameCount, it->second.frames);
            EXPECT_GE(sprite.m_animCount, it->second.anims);
            EXPECT_GE(sprite.m_moduleCount, it->second.modules);
        }
    }
    EXPECT_GT(parsed, 100);
}

// Markers the game reads by module index sit in the frames that carry them.
TEST_F(DataBuilder, MarkersAreWhereTheGameLooks)
{
    const struct {
        std::string path;
        int frame, module;
    } cases[] = {
        {"15_P/Bricks_Menu.bsprite", 0, 50}, {"15_P/Bricks_Menu.bsprite", 0, 51}, {"15_P/Bricks_Menu.bsprite", 0, 52},
        {"15_P/menu_title.bsprite", 0, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path + " module " + std::to_string(c.module));
        const std::string& bytes = file(c.path);
        CAISprite sprite;
        ASSERT_TRUE(sprite.Load(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()));
        EXPECT_EQ(sprite.GetNumFrameMarkers(c.frame, c.module), 1);
    }
}

// The nine string tables decode through the game's reader with a text for every id the menus
// show; other languages carry the English text marked with their code, Chinese, Japanese and
// Korean as glyphs of their sheets.
TEST_F(DataBuilder, StringTablesGiveEveryLanguageItsTexts)
{
    const int shown[] = {1, 206, 207, 230, 235, 236, 240, 253, 311, 319, 321, 387, 910, 952, 953, 954, 1010, 1040};
    for (int language = 0; language < LANGUAGE_COUNT; ++language) {
        SCOPED_TRACE(LANGUAGE_CODES[language]);
        const std::string& bytes = file(SMALL_FONT_STRING_FILES[language]);
        ASSERT_FALSE(bytes.empty());
        std::vector<wchar_t*> table(SMALL_STRING_COUNT, nullptr);
        CStringManager::DecodeTable(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), table.data(),
                                    SMALL_STRING_COUNT, language);
        std::wstring play;
        for (const wchar_t* p = table[952]; p && *p; ++p) {
            if (CStringManager::IsWCharLanguage(language)) {
                // Glyph index -> code point through the language's table.
                const SGlyphTable glyphs = SmallGlyphTable(language);
                ASSERT_GE(*p, 1);
                ASSERT_LE(*p, glyphs.count);
                play += wchar_t(glyphs.entries[*p - 1].codePoint);
            } else {
                play += *p;
            }
        }
        const std::string code = LANGUAGE_CODES[language];
        EXPECT_EQ(play, language == 0 ? L"Play" : L"[" + std::wstring(code.begin(), code.end()) + L"] Play");
        for (int id : shown)
            EXPECT_TRUE(table[size_t(id)] && *table[size_t(id)]) << "id " << id;
        EXPECT_TRUE(table[SMALL_STRING_COUNT - 1] != nullptr);  // the table runs to its last id
        for (wchar_t* p : table)
            delete[] p;
        if (CStringManager::IsWCharLanguage(language)) {
            EXPECT_FALSE(file(BIG_FONT_STRING_FILES[language]).empty());
        }
    }
}

// Every file of the game's effect table parses through the effect reader, and every texture its
// emitters name is in the data.
TEST_F(DataBuilder, EveryEffectOfTheTableParsesAndHasItsTextures)
{
    for (int type = 0; type < SFX_EFFECT_TYPE_COUNT; ++type) {
        const std::string name = g_chEffectFileName[type];
        SCOPED_TRACE(name);
        const std::string& bytes = file(name);
        ASSERT_FALSE(bytes.empty());
        beff::SFile effect;
        std::string error;
        EXPECT_TRUE(beff::parse(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), effect, error)) << error;
        EXPECT_FALSE(effect.entries.empty());
    }
    for (const std::string& texture : formats::effects::sampleTextureNames())
        EXPECT_FALSE(file(texture).empty()) << texture;
}

TEST_F(DataBuilder, SceneFileAndGlyphSheetsOpenThroughTheirReaders)
{
    std::string image = file("DefaultEffects.bdae");
    ASSERT_FALSE(image.empty());
    pravik::res::File scene;
    EXPECT_FALSE(scene.Init(image.data(), uint32_t(image.size()))) << scene.error();
    EXPECT_TRUE(scene.isValid());

    for (const char* language : {"cn", "jp", "ko"})
        for (const char* size : {"small", "large"}) {
            const std::string name = std::string("unicode_text_res/font_") + language + "_" + size;
            SCOPED_TRACE(name);
            const std::string& metrics = file(name + ".bin");
            EXPECT_FALSE(file(name + ".png").empty());
            CZyFontCS font;
            const auto style = std::string(size) == "small" ? CZyFont::FONT_SMALL : CZyFont::FONT_LARGE;
            EXPECT_TRUE(font.LoadMetrics(reinterpret_cast<const uint8_t*>(metrics.data()), metrics.size(), style));
        }
}

}  // namespace
