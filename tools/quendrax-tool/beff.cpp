// `beff FILE [--tracks]`: an effect file through the effect reader's parser: a header line, then
// a line per scene entry and per emitter (depth-first, children indented by depth); --tracks
// adds a line per track that holds keys. A refused file prints one line naming the entry and
// the byte offset and exits 1.

#include "Tool.h"
#include "effects/BeffFile.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

const char* const kEmitterTracks[15] = {"radiusX", "radiusY", "radiusZ", "shellThickness", "rotationX",
                                        "rotationY", "rotationZ", "offsetX", "offsetY", "offsetZ",
                                        "burstCount", "radialSpeed", "directedSpeed", "spreadAngle", "direction"};
const char* const kParticleTracks[11] = {"red", "green", "blue", "alpha", "width", "height",
                                         "spinX", "spinY", "spinZ", "widthScale", "heightScale"};
const char* const kAffectorNames[4] = {"gravity", "acceleration", "random", "vortex"};

void printValue(int v) { std::printf("%d", v); }
void printValue(float v) { std::printf("%g", double(v)); }
void printValue(const beff::Vec3& v) { std::printf("(%g,%g,%g)", double(v.X), double(v.Y), double(v.Z)); }

template <typename T>
void printTrack(int depth, const char* name, const beff::STrack<T>& t)
{
    if (t.keys.empty())
        return;
    std::printf("%*strack %s loop=%d keys=", 2 * depth + 2, "", name, t.loop ? 1 : 0);
    for (size_t i = 0; i < t.keys.size(); ++i) {
        std::printf(i ? " %d:" : "%d:", t.keys[i].first);
        printValue(t.keys[i].second);
    }
    std::printf("\n");
}

void printEmitter(const beff::SEmitter& e, int depth, bool tracks)
{
    const auto& b = e.block;
    const auto& p = e.particle;
    std::string affectors;
    for (const auto& a : e.affectors) {
        affectors += affectors.empty() ? "" : ",";
        affectors += a.type >= 0 && a.type < 4 ? kAffectorNames[a.type] : "?";
    }
    std::printf("%*semitter depth=%d node=\"%s\" shape=%d flags=%d faceCamera=%d lifetime=%d delay=%d interval=%d "
                "kind=%d life=%d blend=%d texture=\"%s\" affectors=%zu%s%s%s children=%zu\n",
                2 * depth, "", depth, e.nodeId.c_str(), b[0], b[2], b[1] > 0, b[4], b[5], b[6], p.kind, p.life,
                p.blend, p.texture.c_str(), e.affectors.size(), affectors.empty() ? "" : "(", affectors.c_str(),
                affectors.empty() ? "" : ")", e.children.size());
    if (tracks) {
        const beff::STrack<float>* floats[15] = {&e.radius[0],   &e.radius[1],   &e.radius[2],   nullptr,
                                                 &e.rotation[0], &e.rotation[1], &e.rotation[2], &e.offset[0],
                                                 &e.offset[1],   &e.offset[2],   &e.burstCount,  &e.radialSpeed,
                                                 &e.directedSpeed, nullptr,      nullptr};
        for (int i = 0; i < 15; ++i) {
            if (floats[i])
                printTrack(depth, kEmitterTracks[i], *floats[i]);
            else if (i == 3)
                printTrack(depth, kEmitterTracks[i], e.shellThickness);
            else if (i == 13)
                printTrack(depth, kEmitterTracks[i], e.spreadAngle);
            else
                printTrack(depth, kEmitterTracks[i], e.direction);
        }
        for (int i = 0; i < 4; ++i)
            printTrack(depth, kParticleTracks[i], p.colour[size_t(i)]);
        for (int i = 0; i < 7; ++i)
            printTrack(depth, kParticleTracks[4 + i], p.sizes[size_t(i)]);
        for (const auto& a : e.affectors) {
            const std::string prefix = std::string(kAffectorNames[a.type]) + std::to_string(a.id) + ".";
            if (a.type == 0 || a.type == 3) {
                printTrack(depth, (prefix + "strength").c_str(), a.strength);
                printTrack(depth, (prefix + (a.type == 0 ? "direction" : "axis")).c_str(), a.direction);
            } else if (a.type == 1) {
                printTrack(depth, (prefix + "factor").c_str(), a.strength);
            }
        }
    }
    for (const auto& child : e.children)
        printEmitter(child, depth + 1, tracks);
}

int run(std::span<char* const> args)
{
    const char* path = nullptr;
    bool tracks = false;
    for (char* a : args) {
        if (std::strcmp(a, "--tracks") == 0)
            tracks = true;
        else if (!path)
            path = a;
        else
            return tool::fail("beff", "one file at a time");
    }
    if (!path)
        return tool::fail("beff", "usage: beff FILE [--tracks]");
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return tool::fail("beff", std::string("cannot open ") + path);
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    beff::SFile file;
    std::string error;
    if (!beff::parse(bytes.data(), bytes.size(), file, error))
        return tool::fail("beff", std::string(path) + ": " + error);
    std::printf("magic=\"%.4s\" version=%d entries=%zu\n", file.magic, file.version, file.entries.size());
    for (size_t i = 0; i < file.entries.size(); ++i) {
        const beff::SEntry& entry = file.entries[i];
        if (entry.kind != 0)
            std::printf("scene kind=%u path=\"%s\"\n", entry.kind, entry.scenePath.c_str());
        else
            printEmitter(entry.emitter, 0, tracks);
    }
    return 0;
}

const tool::ToolCommand command("beff", "FILE [--tracks]", run);

}  // namespace
