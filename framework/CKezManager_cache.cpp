// The sound cache in the save folder: music modules copied out of the data folder as they are,
// Musepack effects decoded once into 16-bit PCM WAVE files. Eleven steps: 0 the music (1-18),
// 1-9 twelve effects each from 56, 10 the effects 164-179. A good file is never rewritten; new
// files are written under a temporary name and renamed, so no partial file survives.

#include "framework/CKezManager.h"
#include "engine/core/LittleEndian.h"

#include "audio/decoders/FileFormatConversion.h"
#include "framework/AppPlaybook.h"
#include "framework/ResourceContext.h"
#include "framework/SoundTable.h"
#include "framework/ViDuz.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <cstring>

namespace fs = std::filesystem;

int CWavFileChecker::IsWavFileFormatCorrect(const char* path)
{
    FILE* f = path ? std::fopen(path, "rb") : nullptr;
    if (!f)
        return WAV_MISSING;
    int result = WAV_BAD;
    unsigned char head[12], data[8];
    if (std::fseek(f, 0, SEEK_END) == 0) {
        const long L = std::ftell(f);
        std::fseek(f, 0, SEEK_SET);
        auto le32 = [](const unsigned char* p) { return long(pravik::core::le32(p)); };
        if (L >= 44 && std::fread(head, 1, 12, f) == 12 && std::memcmp(head, "RIFF", 4) == 0 &&
            std::memcmp(head + 8, "WAVE", 4) == 0 && le32(head + 4) == L - 8 && std::fseek(f, 24, SEEK_CUR) == 0 &&
            std::fread(data, 1, 8, f) == 8 && le32(data + 4) == L - 44)
            result = WAV_GOOD;
    }
    std::fclose(f);
    return result;
}

// The source bytes of a music module: through the engine's file system when there is one,
// else from the data folder on disk.
static bool readSource(const char* name, std::vector<uint8_t>& out)
{
    if (GetResourceContext().fileSystem && ViDuz::ReadWholeFile(name, out))
        return true;
    std::ifstream in(std::string(g_appPath) + name, std::ios::binary);
    if (!in)
        return false;
    out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

static bool writeThenRename(const std::string& path, const std::vector<uint8_t>& bytes)
{
    const std::string tmp = path + ".part";
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        if (!out) {
            std::error_code ec;
            fs::remove(tmp, ec);
            return false;
        }
    }
    std::error_code ec;
    fs::rename(tmp, path, ec);
    if (ec)
        fs::remove(tmp, ec);
    return !ec;
}

std::vector<CKezManager::SCacheReport> CKezManager::RunCacheStep(int step)
{
    std::vector<SCacheReport> report;
    if (step < 0 || step > 10)
        return report;
    std::error_code ec;
    fs::create_directories(m_gSavPath, ec);
    int first, last;
    if (step == 0) {
        first = 1; last = 18;
    } else if (step <= 9) {
        first = 56 + 12 * (step - 1); last = 67 + 12 * (step - 1);
    } else {
        first = 164; last = 179;
    }
    for (int id = first; id <= last; ++id) {
        if (!SOUND_FILE_NAMES[id][0])
            continue;
        const std::string cache = CachePath(id);
        const std::string name = fs::path(cache).filename().string();
        if (step == 0) {
            std::vector<uint8_t> source;
            const bool haveSource = readSource(SOUND_FILE_NAMES[id], source);
            const bool exists = fs::exists(cache, ec);
            // A cached module is kept only when it is as long as its source.
            if (exists && (!haveSource || fs::file_size(cache, ec) == source.size())) {
                report.push_back({id, name, CACHE_KEPT});
                continue;
            }
            if (!haveSource) {
                report.push_back({id, name, CACHE_FAILED});
                continue;
            }
            const bool ok = writeThenRename(cache, source);
            report.push_back({id, name, !ok ? CACHE_FAILED : exists ? CACHE_REBUILT : CACHE_WRITTEN});
            continue;
        }
        const int check = CWavFileChecker::IsWavFileFormatCorrect(cache.c_str());
        if (check == WAV_GOOD) {
            report.push_back({id, name, CACHE_KEPT});
            continue;
        }
        if (check == WAV_BAD)
            fs::remove(cache, ec);
        const std::string source = std::string(SOUND_FILE_NAMES[id]) + ".mpc";
        const std::string tmp = cache + ".part";
        fs::remove(tmp, ec);
        const int r = kez::FileFormatConversion::ConvertToWavPCM(source.c_str(), tmp.c_str());
        bool ok = r >= 0 && CWavFileChecker::IsWavFileFormatCorrect(tmp.c_str()) == WAV_GOOD;
        if (ok) {
            fs::rename(tmp, cache, ec);
            ok = !ec;
        }
        fs::remove(tmp, ec);
        report.push_back({id, name, !ok ? CACHE_FAILED : check == WAV_BAD ? CACHE_REBUILT : CACHE_WRITTEN});
    }
    return report;
}

void CKezManager::SaveAllMPC2WAV_ByStep(int step)
{
    RunCacheStep(step);
}
