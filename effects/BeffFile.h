// Effect files (".beff", version 3) as a plain description, parsed from one buffer before
// anything is built. Little-endian, no padding:
//   header   char[4] magic (unchecked), i32 version = 3, i32 entry count
//   entry    u32 kind: 0 an emitter record, else a string naming a scene file
//   string   u32 n (bytes including the terminating zero), n bytes
//   track    i32 key count K, i32 loop (> 0 loops), K x {i32 frame, value (i32, f32 or 3 x f32)}
//   emitter  string node id, i32 child count, 48-byte block (12 x i32), 15 tracks, particle
//            definition (80-byte block, string texture, 4 int and 7 float tracks), i32
//            affector count, affectors {i32 id, i32 type, payload}, then the child emitters
// Every read is checked; counts are capped by the bytes remaining; emitters nest at most 16
// deep; strings that run past the end, unknown affector types and frame values (key frames,
// lifetimes, delays, intervals, particle lives) outside +-2^20 refuse the file.
#pragma once

#include "engine/core/vector3d.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace beff {

constexpr int kVersion = 3;
constexpr int kMaxDepth = 16;
constexpr int kFrameLimit = 1 << 20;
constexpr std::size_t kNodeIdBuffer = 256;
constexpr std::size_t kPathBuffer = 512;

using Vec3 = pravik::core::vector3d<float>;

template <typename T>
struct STrack {
    bool loop = false;
    std::vector<std::pair<int, T>> keys;  // as stored: unsorted, repeats allowed
};

struct SAffector {
    int id = 1;
    int type = 0;                 // 0 gravity, 1 acceleration, 2 random, 3 vortex
    STrack<float> strength;       // gravity, vortex; the factor of acceleration
    STrack<Vec3> direction;       // gravity direction, vortex axis
    float strengths[3] = {0, 0, 0};  // random
    int interval = 0;             // random, frames
    int mode = 0;                 // vortex
};

struct SParticle {
    int kind = 0, life = 100, lifeVariation = 0, sizeVariation = 0, uniformSize = 0;
    float angleX = 0; int angleVariationX = 0;
    float angleY = 0; int angleVariationY = 0;
    float angleZ = 0; int angleVariationZ = 0;
    int spinVariationX = 0, spinVariationY = 0, spinVariationZ = 0, reserved = 0;
    int blend = 1, anchorX = 0, anchorY = 0, uvRotation = 0;
    std::int16_t flipU = 0, flipV = 0;
    std::string texture;                  // without the "SFX/" folder
    std::array<STrack<int>, 4> colour;    // red, green, blue, alpha
    std::array<STrack<float>, 7> sizes;   // width, height, spin X, Y, Z, width scale, height scale
};

struct SEmitter {
    std::string nodeId;
    // shape, faceCamera, flags (1 local, 2 orient, 4 parent space), reserved, lifetime, start
    // delay, interval, reserved, endWithEmitter, targetMode, radial and directed speed variation
    std::array<std::int32_t, 12> block{0, 0, 2, 0, -1, 0, 0, 0, 0, 0, 0, 0};
    std::array<STrack<float>, 3> radius;
    STrack<int> shellThickness;
    std::array<STrack<float>, 3> rotation;
    std::array<STrack<float>, 3> offset;
    STrack<float> burstCount, radialSpeed, directedSpeed;
    STrack<int> spreadAngle;
    STrack<Vec3> direction;
    SParticle particle;
    std::vector<SAffector> affectors;
    std::vector<SEmitter> children;
};

struct SEntry {
    std::uint32_t kind = 0;   // 0 emitter, else scene
    std::string scenePath;
    SEmitter emitter;
};

struct SFile {
    char magic[4] = {'b', 'e', 'f', 'f'};
    std::int32_t version = kVersion;
    std::vector<SEntry> entries;
};

// Parses a whole file. On refusal returns false and says why in error, naming the entry and
// the byte offset ("entry 2: affector type 9 unknown at byte 412").
bool parse(const std::uint8_t* data, std::size_t size, SFile& out, std::string& error);

}  // namespace beff
