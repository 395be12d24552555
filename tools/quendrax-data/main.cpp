// quendrax-data DIR: writes the project's own complete data folder into DIR/app/native/data/.
// quendrax-data --contact-sheet OUT.png: draws every sprite's frames on one labelled sheet.
// Everything is generated in code (art, texts, sounds, music) and written through the project's
// writers; the same bytes on every run.

#include "ContactSheet.h"
#include "DataFolder.h"
#include "Effects.h"
#include "SceneFiles.h"
#include "Fonts.h"
#include "Globals.h"
#include "Glyphs.h"
#include "Layers.h"
#include "MenuArt.h"
#include "Sounds.h"
#include "Sprites.h"
#include "Strings.h"
#include "Tables.h"
#include "Textures.h"

#include "framework/SoundTable.h"
#include "tools/formats/DevConfig.h"
#include "tools/formats/SampleEffects.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

int usage()
{
    std::fprintf(stderr, "usage: quendrax-data DIR                  writes DIR/app/native/data/\n"
                         "       quendrax-data --contact-sheet OUT.png  draws every sprite's frames\n");
    return 2;
}

struct Built {
    qdata::DataFolder folder;
    std::vector<qdata::SpriteEntry> sprites;
};

Built buildData(bool withSounds)
{
    Built b;
    b.folder.put("AndroidDevConfig.bin", formats::devConfigFile({{"BUILD", "sample data"}, {"DEVICE", "linux"}}));
    const auto t0 = std::chrono::steady_clock::now();
    auto lap = [&t0](const char* what) {
        if (std::getenv("QUENDRAX_DATA_TIMES"))
            std::fprintf(stderr, "%s: %.2f s\n", what, std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
    };
    qdata::addTables(b.folder);
    qdata::addLayers(b.folder);
    qdata::addGlobals(b.folder);
    qdata::addStrings(b.folder);
    qdata::addGlyphSheets(b.folder);
    qdata::addTextures(b.folder);
    qdata::addMenuTextures(b.folder);
    qdata::addEffects(b.folder);
    qdata::addSceneFiles(b.folder);
    lap("textures");
    b.sprites = qdata::addFonts(b.folder);
    lap("fonts");
    const std::vector<qdata::SpriteEntry> more = qdata::addSprites(b.folder);
    lap("sprites");
    b.sprites.insert(b.sprites.end(), more.begin(), more.end());
    if (withSounds) {
        const qdata::SoundReport sounds =
            qdata::addSounds(b.folder, std::vector<std::string>(SOUND_FILE_NAMES, SOUND_FILE_NAMES + SOUND_COUNT));
        std::printf("quendrax-data: sounds: %d WAVE, %d Musepack, %d music%s\n", sounds.wave, sounds.musepack,
                    sounds.music, sounds.haveMpcenc ? "" : " (no mpcenc: Musepack effects left out)");
    }
    return b;
}

}  // namespace

int main(int argc, char** argv)
{
    const auto start = std::chrono::steady_clock::now();
    if (argc == 3 && std::strcmp(argv[1], "--contact-sheet") == 0) {
        const Built b = buildData(false);
        const std::string png = qdata::contactSheet(b.folder, b.sprites);
        std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
        out.write(png.data(), std::streamsize(png.size()));
        if (png.empty() || !out) {
            std::fprintf(stderr, "quendrax-data: cannot write %s\n", argv[2]);
            return 1;
        }
        std::printf("quendrax-data: %zu sprites on %s\n", b.sprites.size(), argv[2]);
        return 0;
    }
    if (argc != 2 || argv[1][0] == '-')
        return usage();
    const std::string root = std::string(argv[1]) + "/app/native/data";
    const Built b = buildData(true);
    if (!b.folder.write(root))
        return 1;
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("quendrax-data: %zu files, %zu bytes in %s (%.2f s)\n", b.folder.files().size(), b.folder.bytes(),
                root.c_str(), seconds);
    return 0;
}
