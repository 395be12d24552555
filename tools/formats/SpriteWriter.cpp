#include "tools/formats/SpriteWriter.h"

#include "framework/CAISprite.h"
#include "tools/formats/PackFolderWriter.h"

namespace formats::sprites {

namespace {

struct Out {
    std::vector<uint8_t> b;
    void u8(int v) { b.push_back(uint8_t(v)); }
    void u16(int v) { u8(v); u8(v >> 8); }
    void u32(uint32_t v) { u16(int(v & 0xFFFF)); u16(int(v >> 16)); }
};

}  // namespace

int Sprite::addFrame(const std::vector<FModule>& fms)
{
    Frame f;
    f.first = int(fmodules.size());
    f.count = int(fms.size());
    fmodules.insert(fmodules.end(), fms.begin(), fms.end());
    frames.push_back(f);
    return int(frames.size()) - 1;
}

int Sprite::addAnim(const std::vector<AFrame>& afs)
{
    Anim a;
    a.first = int(aframes.size());
    a.count = int(afs.size());
    aframes.insert(aframes.end(), afs.begin(), afs.end());
    anims.push_back(a);
    return int(anims.size()) - 1;
}

int Sprite::addImageModule(int image, int x, int y, int w, int h)
{
    Module m;
    m.image = image;
    m.x = x; m.y = y; m.w = w; m.h = h;
    modules.push_back(m);
    return int(modules.size()) - 1;
}

std::vector<uint8_t> Write(const Sprite& s)
{
    Out o;
    const uint32_t f = s.flags;
    const bool big = f & 0x10;
    o.u16(uint16_t(s.version));
    o.u32(f);
    if (s.version == 0x04DF)
        o.u32(s.ext);
    if (f & 0x1) {
        o.u16(int(s.modules.size()));
        for (const Module& m : s.modules) {
            o.u8(m.type);
            switch (m.type) {
            case 0x00:
                if (f & 0x4)
                    o.u8(m.image);
                if (f & 0x20) { o.u16(m.x); o.u16(m.y); }
                else if (f & 0x2) { o.u8(m.x); o.u8(m.y); }
                if (big) { o.u16(m.w); o.u16(m.h); }
                else { o.u8(m.w); o.u8(m.h); }
                break;
            case 0xFF: o.b.insert(o.b.end(), big ? 8 : 6, 0); break;
            case 0xFC: case 0xFB: o.b.insert(o.b.end(), big ? 12 : 10, 0); break;
            case 0xFE: case 0xF8:
                if (big) { o.u32(m.colour); o.u16(m.w); o.u16(m.h); }
                else o.b.insert(o.b.end(), 6, 0);
                break;
            case 0xFD:
                if (big) { o.u16(m.w); o.u16(m.h); }
                else o.b.insert(o.b.end(), 2, 0);
                break;
            case 0xFA: case 0xF9:
                o.u32(m.colour);
                for (int16_t v : m.arc) o.u16(v);
                break;
            case 0xF7:
                if (big) { o.u32(m.colour); o.u32(m.colour2); o.u8(m.direction); o.u16(m.w); o.u16(m.h); }
                else o.b.insert(o.b.end(), 11, 0);
                break;
            default: break;
            }
        }
    }
    if (f & 0x100) {
        const bool wide = f & 0x400;
        const bool extended = s.version == 0x04DF && (s.ext & 1);
        o.u16(int(s.fmodules.size()));
        for (const FModule& m : s.fmodules) {
            const int flags = (m.flags & 0x3F) | ((m.index >> 8) & 3) << 6;
            o.u8(m.index & 0xFF);
            if (wide) { o.u16(m.x); o.u16(m.y); }
            else { o.u8(m.x); o.u8(m.y); }
            o.u8(flags);
            if (extended) { o.u16(m.extra); o.u16(m.scaleX); o.u16(m.scaleY); }
        }
        if (f & 0x8000) {
            o.u16(int(s.markerRects.size() / 4));
            for (int16_t v : s.markerRects)
                wide ? o.u16(v) : o.u8(v);
        }
        o.u16(int(s.frames.size()));
        for (const Frame& fr : s.frames) {
            if (f & 0x800) o.u16(fr.count); else o.u8(fr.count);
            o.u16(fr.first);
            if (f & 0x8000) o.u8(fr.markers);
        }
        if (!s.frames.empty()) {
            if (!(f & 0x1000))
                for (const Frame& fr : s.frames)
                    for (int16_t v : fr.rect) wide ? o.u16(v) : o.u8(v);
            if (f & 0x2000)
                for (const Frame& fr : s.frames)
                    for (int16_t v : fr.rect2) wide ? o.u16(v) : o.u8(v);
        }
    }
    if (f & 0x10000) {
        o.u16(int(s.aframes.size()));
        for (const AFrame& a : s.aframes) {
            const int flags = (a.flags & 0x3F) | ((a.frame >> 8) & 3) << 6;
            o.u8(a.frame & 0xFF);
            o.u8(a.time);
            if (f & 0x40000) { o.u16(a.dx); o.u16(a.dy); }
            else { o.u8(a.dx); o.u8(a.dy); }
            o.u8(flags);
        }
        o.u16(int(s.anims.size()));
        for (const Anim& a : s.anims) {
            o.u8(a.count);
            o.u16(a.first);
        }
    }
    return o.b;
}

std::string ModeFolder(const char* folder)
{
    char F[64];
    CAISprite::ChooseFolder(2, "", folder, F, sizeof F, nullptr, nullptr);
    return F;
}

bool WriteFolder(const std::string& root, const char* folder, const std::string& name, const Sprite& sprite,
                 const std::vector<std::pair<std::string, std::vector<uint8_t>>>& images)
{
    const std::string F = ModeFolder(folder);
    bool ok = packs::WriteFile(root, F + "/" + name + ".bsprite", Write(sprite));
    for (const auto& [image, png] : images)
        ok = ok && packs::WriteFile(root, F + "/" + image + ".png", png);
    return ok;
}

}  // namespace formats::sprites
