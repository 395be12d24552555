#include "Sounds.h"

#include "Music.h"
#include "tools/formats/SoundArchive.h"
#include "tools/formats/Wave.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <thread>

namespace qdata {

namespace {

uint32_t nameHash(const std::string& s)
{
    uint32_t h = 2166136261u;
    for (unsigned char c : s)
        h = (h ^ c) * 16777619u;
    return h;
}

bool has(const std::string& name, const char* word)
{
    return name.find(word) != std::string::npos;
}

// "3/SFX/ingame/sfx_brick_destroy" -> "brick_destroy"
std::string effectName(const std::string& path)
{
    std::string base = path.substr(path.find_last_of('/') + 1);
    if (base.rfind("sfx_", 0) == 0)
        base = base.substr(4);
    const size_t dot = base.find('.');
    return dot == std::string::npos ? base : base.substr(0, dot);
}

}  // namespace

std::vector<int16_t> synthesizeEffect(const std::string& path, int rate)
{
    const std::string name = effectName(path);
    const uint32_t h = nameHash(name);
    // A pitch of its own for every name, within about an octave.
    const float base = 330.0f * std::pow(2.0f, float(h % 12) / 12.0f);
    Synth s(rate, h | 1);
    Voice v;
    if (has(name, "explosion") || has(name, "supernova") || has(name, "fire_work") || has(name, "die")) {
        s.add({Wave::Noise, 0, 0.6f, 3000, 200, 0.9f, 0.002f, 0.5f});
        s.add({Wave::Sine, 0, 0.4f, 120, 40, 0.6f, 0.002f, 0.3f});
    } else if (has(name, "destroy") || has(name, "melt") || has(name, "ice") || has(name, "wall")) {
        s.add({Wave::Noise, 0, 0.18f, 6000, 1500, 0.6f, 0.001f, 0.15f});
        s.add({Wave::Triangle, 0, 0.12f, base * 2, base, 0.4f, 0.001f, 0.1f});
    } else if (has(name, "hit") || has(name, "bounce") || has(name, "boing") || has(name, "dribble") || has(name, "slide")) {
        s.add({Wave::Triangle, 0, 0.12f, base * 1.5f, base * 0.7f, 0.8f, 0.001f, 0.1f});
        s.add({Wave::Noise, 0, 0.03f, 8000, 8000, 0.3f, 0.0005f, 0.02f});
    } else if (has(name, "laser") || has(name, "shoot") || has(name, "gun") || has(name, "blast") || has(name, "beam")) {
        s.add({Wave::Square, 0, 0.22f, base * 4, base / 2, 0.6f, 0.001f, 0.1f, 0, 0.3f});
    } else if (has(name, "malus") || has(name, "small") || has(name, "wrong") || has(name, "powerdown") ||
               has(name, "forbid") || has(name, "shrink") || has(name, "slow") || has(name, "lost") ||
               has(name, "disappear") || has(name, "scream")) {
        s.add({Wave::Square, 0, 0.45f, base * 1.5f, base / 2, 0.5f, 0.005f, 0.2f, 0.5f, 0.4f});
    } else if (has(name, "pickup") || has(name, "bonus") || has(name, "power_up") || has(name, "extra") ||
               has(name, "enlarge") || has(name, "star") || has(name, "buy") || has(name, "begin")) {
        // A rising arpeggio: root, third, fifth, octave.
        const float steps[] = {0, 4, 7, 12};
        for (int i = 0; i < 4; ++i) {
            const float f = base * std::pow(2.0f, steps[i] / 12.0f);
            s.add({Wave::Square, 0.07f * float(i), 0.16f, f, f, 0.35f, 0.002f, 0.08f, 0, 0.25f});
        }
    } else if (has(name, "menu") || has(name, "dialog") || has(name, "confirm") || has(name, "browse") ||
               has(name, "back") || has(name, "score")) {
        s.add({Wave::Sine, 0, 0.07f, base * 2, base * 2, 0.7f, 0.001f, 0.05f});
        if (has(name, "confirm") || has(name, "end"))
            s.add({Wave::Sine, 0.06f, 0.09f, base * 3, base * 3, 0.6f, 0.001f, 0.06f});
    } else if (has(name, "loop") || has(name, "buzz") || has(name, "fly") || has(name, "field") || has(name, "speed") ||
               has(name, "vortex") || has(name, "magnet")) {
        s.add({Wave::Saw, 0, 0.6f, base / 2, base / 2, 0.4f, 0.02f, 0.05f, 0.3f});
        s.add({Wave::Saw, 0, 0.6f, base / 2 * 1.01f, base / 2 * 1.01f, 0.4f, 0.02f, 0.05f});
    } else if (has(name, "whoosh") || has(name, "wave") || has(name, "absor") || has(name, "emit") ||
               has(name, "repulsion") || has(name, "jump") || has(name, "eat")) {
        s.add({Wave::Noise, 0, 0.35f, 500, 5000, 0.6f, 0.08f, 0.2f});
    } else {
        s.add({Wave::Triangle, 0, 0.25f, base, base * 1.25f, 0.6f, 0.005f, 0.15f, 0.2f});
        s.add({Wave::Sine, 0.05f, 0.2f, base * 1.5f, base * 1.5f, 0.3f, 0.005f, 0.15f});
    }
    return s.pcm(0.7f);
}

namespace {

// Encodes WAVE files with mpcenc, several at a time; "" for each that failed.
std::vector<std::string> encodeMusepack(const std::vector<std::string>& waves)
{
    namespace fs = std::filesystem;
    std::vector<std::string> out(waves.size());
    char pattern[] = "/tmp/quendrax-data-XXXXXX";
    if (!mkdtemp(pattern))
        return out;
    const fs::path dir = pattern;
    for (size_t i = 0; i < waves.size(); ++i)
        std::ofstream(dir / (std::to_string(i) + ".wav"), std::ios::binary) << waves[i];
    const size_t workers = std::max(1u, std::min(8u, std::thread::hardware_concurrency()));
    std::vector<std::thread> threads;
    for (size_t w = 0; w < workers; ++w)
        threads.emplace_back([&, w] {
            for (size_t i = w; i < waves.size(); i += workers) {
                const std::string in = (dir / (std::to_string(i) + ".wav")).string();
                const std::string mpc = (dir / (std::to_string(i) + ".mpc")).string();
                // posix_spawn, not fork: the builder holds much memory, and copying its page
                // tables for every encoder costs more than the encoding.
                posix_spawn_file_actions_t actions;
                posix_spawn_file_actions_init(&actions);
                posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
                posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
                const char* args[] = {"mpcenc", "--silent", "--overwrite", in.c_str(), mpc.c_str(), nullptr};
                pid_t pid = -1;
                if (posix_spawnp(&pid, "mpcenc", &actions, nullptr, const_cast<char* const*>(args), environ) != 0)
                    pid = -1;
                posix_spawn_file_actions_destroy(&actions);
                int status = 0;
                if (pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0) {
                    std::ifstream f(mpc, std::ios::binary);
                    std::ostringstream bytes;
                    bytes << f.rdbuf();
                    out[i] = bytes.str();
                }
            }
        });
    for (std::thread& t : threads)
        t.join();
    std::error_code ec;
    fs::remove_all(dir, ec);
    return out;
}

bool haveProgram(const char* name)
{
    const char* path = std::getenv("PATH");
    std::stringstream dirs(path ? path : "/usr/bin:/bin");
    for (std::string d; std::getline(dirs, d, ':');)
        if (!d.empty() && access((d + "/" + name).c_str(), X_OK) == 0)
            return true;
    return false;
}

}  // namespace

SoundReport addSounds(DataFolder& folder, const std::vector<std::string>& table)
{
    SoundReport report;
    std::map<std::string, std::string> members;  // sorted archive members
    std::set<std::string> music;
    std::vector<std::string> mpcNames, mpcWaves;
    std::set<std::string> seen;
    for (const std::string& path : table) {
        if (path.empty() || !seen.insert(path).second)
            continue;
        if (path.size() > 3 && path.compare(path.size() - 3, 3, ".it") == 0) {
            music.insert(path);
        } else if (path.size() > 4 && path.compare(path.size() - 4, 4, ".wav") == 0) {
            const std::vector<int16_t> pcm = synthesizeEffect(path, 22050);
            // Longer effects go as IMA ADPCM, a quarter of the size; short ones stay exact PCM.
            members[path] = pcm.size() >= 22050 * 35 / 100 ? formats::wave::imaAdpcm(pcm, 1, 22050)
                                                           : formats::wave::pcm16(pcm, 1, 22050);
            ++report.wave;
        } else {
            mpcNames.push_back(path + ".mpc");
            mpcWaves.push_back(formats::wave::pcm16(synthesizeEffect(path, 44100), 1, 44100));
        }
    }
    report.haveMpcenc = haveProgram("mpcenc");
    if (!report.haveMpcenc) {
        std::fprintf(stderr, "quendrax-data: mpcenc (Debian musepack-tools) is missing: the %zu Musepack effects are "
                             "not written\n", mpcNames.size());
        report.skipped += int(mpcNames.size());
    } else {
        const std::vector<std::string> encoded = encodeMusepack(mpcWaves);
        for (size_t i = 0; i < encoded.size(); ++i) {
            if (encoded[i].empty()) {
                std::fprintf(stderr, "quendrax-data: mpcenc failed on %s\n", mpcNames[i].c_str());
                ++report.skipped;
                continue;
            }
            members[mpcNames[i]] = encoded[i];
            ++report.musepack;
        }
    }
    // Music: loose, where the game copies it from through the engine's file system, and in the
    // archive too, where the audio engine's own file system looks first.
    for (const std::string& path : music) {
        members[path] = composeMusic(effectName(path));
        folder.put(path, members[path]);
        ++report.music;
    }
    formats::SoundArchive archive;
    for (auto& [name, bytes] : members)
        archive.add(name, bytes);
    folder.put("3.bar", archive.bytes(true));
    return report;
}

}  // namespace qdata
