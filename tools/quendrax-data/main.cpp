// quendrax-data DIR: writes the project's own complete data folder into DIR/app/native/data/.
// Everything is generated in code (art, texts, sounds, music) and written through the project's
// writers; the same bytes on every run.

#include "DataFolder.h"
#include "Sounds.h"
#include "Tables.h"
#include "Textures.h"

#include "framework/SoundTable.h"

#include "tools/formats/DevConfig.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

int usage()
{
    std::fprintf(stderr, "usage: quendrax-data DIR   (writes DIR/app/native/data/)\n");
    return 2;
}

qdata::DataFolder buildData()
{
    qdata::DataFolder folder;
    folder.put("AndroidDevConfig.bin", formats::devConfigFile({{"BUILD", "sample data"}, {"DEVICE", "linux"}}));
    qdata::addTables(folder);
    qdata::addTextures(folder);
    const qdata::SoundReport sounds =
        qdata::addSounds(folder, std::vector<std::string>(SOUND_FILE_NAMES, SOUND_FILE_NAMES + SOUND_COUNT));
    std::printf("quendrax-data: sounds: %d WAVE, %d Musepack, %d music%s\n", sounds.wave, sounds.musepack,
                sounds.music, sounds.haveMpcenc ? "" : " (no mpcenc: Musepack effects left out)");
    return folder;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2 || argv[1][0] == '-')
        return usage();
    const auto start = std::chrono::steady_clock::now();
    const std::string root = std::string(argv[1]) + "/app/native/data";
    const qdata::DataFolder folder = buildData();
    if (!folder.write(root))
        return 1;
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("quendrax-data: %zu files, %zu bytes in %s (%.2f s)\n", folder.files().size(), folder.bytes(),
                root.c_str(), seconds);
    return 0;
}
