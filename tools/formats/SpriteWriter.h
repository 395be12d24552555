// Writes ".bsprite" files (layout in framework/CAISprite.h) and sprite folders with their
// images. Every field is written as given, so tests can also make broken files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace formats::sprites {

struct Module {
    uint8_t type = 0x00;   // 0x00 image, 0xFE rect, 0xF7 gradient, 0xF8 line, 0xFD marker, ...
    int image = 0;
    int x = 0, y = 0, w = 0, h = 0;
    uint32_t colour = 0, colour2 = 0;  // little-endian as stored
    int direction = 0;
    int16_t arc[4] = {};
};

struct FModule {
    int index = 0;   // module, or frame with flags 0x10; bits 8-9 go into flags bits 6-7
    int x = 0, y = 0;
    int flags = 0;
    int extra = 0, scaleX = 100, scaleY = 100;   // written with the extension only
};

struct Frame {
    int count = 0, first = 0;
    int markers = 0;
    int16_t rect[4] = {};
    int16_t rect2[4] = {};
};

struct AFrame {
    int frame = 0, time = 1, dx = 0, dy = 0, flags = 0;
};

struct Anim {
    int count = 0, first = 0;
};

// Flags that suit most fixtures: image index byte, 16-bit x, y, big modules, 6-byte
// frame-modules, 16-bit frame-module counts, animations with 7-byte frames.
inline constexpr uint32_t kDefaultFlags = 0x1 | 0x4 | 0x10 | 0x20 | 0x100 | 0x400 | 0x800 | 0x10000 | 0x40000;

struct Sprite {
    int16_t version = 0x03DF;
    uint32_t flags = kDefaultFlags;
    uint32_t ext = 0;   // written for version 0x04DF only
    std::vector<Module> modules;
    std::vector<FModule> fmodules;
    std::vector<int16_t> markerRects;   // four values a rect
    std::vector<Frame> frames;
    std::vector<AFrame> aframes;
    std::vector<Anim> anims;

    // Appends a frame over these frame-modules; returns its index.
    int addFrame(const std::vector<FModule>& fms);
    // Appends an animation over these frames; returns its index.
    int addAnim(const std::vector<AFrame>& afs);
    // An image module; returns its index.
    int addImageModule(int image, int x, int y, int w, int h);
};

std::vector<uint8_t> Write(const Sprite& sprite);

// Writes "<F>/<name>.bsprite" and each "<F>/<image>.png" under root, where F is the folder the
// sprite is read from in resolution mode 2 (the "_P" folders). images: name and PNG bytes.
bool WriteFolder(const std::string& root, const char* folder, const std::string& name, const Sprite& sprite,
                 const std::vector<std::pair<std::string, std::vector<uint8_t>>>& images);

// The folder a pack folder's sprites are read from in resolution mode 2.
std::string ModeFolder(const char* folder);

}  // namespace formats::sprites
