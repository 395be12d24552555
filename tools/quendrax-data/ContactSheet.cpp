#include "ContactSheet.h"

#include "Art.h"

#include "engine/video/image/CImageLoaderPng.h"
#include "engine/io/CMemoryReadFile.h"

#include <algorithm>
#include <map>

namespace qdata {

namespace {

namespace sprites = formats::sprites;

constexpr int kSheetWidth = 4096;  // keeps the sheet under the 16K side common viewers accept
constexpr int kThumb = 64;
constexpr int kCellW = 72, kCellH = 84;

Canvas decodePng(const std::string& bytes)
{
    using namespace pravik;
    io::CMemoryReadFile* file = new io::CMemoryReadFile(const_cast<char*>(bytes.data()), int32_t(bytes.size()), "sheet.png", false);
    video::CImageLoaderPng loader;
    video::CImagePtr image = loader.loadImage(file);
    file->drop();
    if (!image)
        return Canvas();
    const auto size = image->getDimension();
    Canvas c(size.Width, size.Height);
    for (int y = 0; y < size.Height; ++y)
        for (int x = 0; x < size.Width; ++x) {
            const video::SColor p = image->getPixel(unsigned(x), unsigned(y));
            c.set(x, y, Rgba(uint8_t(p.getRed()), uint8_t(p.getGreen()), uint8_t(p.getBlue()), uint8_t(p.getAlpha())));
        }
    return c;
}

// A frame drawn on its own: image modules placed by their offsets (flips applied), nested frames
// followed a few levels deep, markers shown as small crosses.
void drawFrame(Canvas& out, const sprites::Sprite& s, const std::vector<const Canvas*>& images, int frame, int ox, int oy,
               int depth)
{
    if (frame < 0 || frame >= int(s.frames.size()) || depth > 4)
        return;
    const sprites::Frame& f = s.frames[size_t(frame)];
    for (int k = f.first; k < f.first + f.count && k < int(s.fmodules.size()); ++k) {
        const sprites::FModule& fm = s.fmodules[size_t(k)];
        if (fm.flags & 0x10) {
            drawFrame(out, s, images, fm.index, ox + fm.x, oy + fm.y, depth + 1);
            continue;
        }
        if (fm.index < 0 || fm.index >= int(s.modules.size()))
            continue;
        const sprites::Module& m = s.modules[size_t(fm.index)];
        if (m.type == 0xFD) {
            out.line(float(ox + fm.x - 3), float(oy + fm.y), float(ox + fm.x + 3), float(oy + fm.y), 1, palette::kRed);
            out.line(float(ox + fm.x), float(oy + fm.y - 3), float(ox + fm.x), float(oy + fm.y + 3), 1, palette::kRed);
            continue;
        }
        if (m.type != 0 || m.image < 0 || m.image >= int(images.size()) || !images[size_t(m.image)])
            continue;
        const Canvas& img = *images[size_t(m.image)];
        for (int y = 0; y < m.h; ++y)
            for (int x = 0; x < m.w; ++x) {
                const int sx = fm.flags & 1 ? m.x + m.w - 1 - x : m.x + x;
                const int sy = fm.flags & 2 ? m.y + m.h - 1 - y : m.y + y;
                out.blend(ox + fm.x + x, oy + fm.y + y, img.at(sx, sy));
            }
    }
}

}  // namespace

std::string contactSheet(const DataFolder& folder, const std::vector<SpriteEntry>& entries)
{
    std::map<std::string, Canvas> images;
    for (const SpriteEntry& e : entries)
        for (const std::string& path : e.images)
            if (!images.count(path)) {
                const std::string* bytes = folder.get(path);
                images[path] = bytes ? decodePng(*bytes) : Canvas();
            }
    // Blocks flow left to right, a sprite with many frames spanning whole rows; laid out first,
    // so the sheet is made at its final height.
    const int perRow = kSheetWidth / kCellW;
    struct Block {
        int x, y, columns;
    };
    std::vector<Block> blocks;
    int x = 0, y = 8, lineHeight = 0;
    for (const SpriteEntry& e : entries) {
        const int frames = std::max<int>(1, int(e.sprite.frames.size()));
        const int columns = std::max(std::min(frames, perRow), 7);  // room for the title
        const int height = 28 + ((frames + columns - 1) / columns) * kCellH;
        if (x + columns * kCellW > kSheetWidth) {
            x = 0;
            y += lineHeight + 8;
            lineHeight = 0;
        }
        blocks.push_back({x, y, columns});
        x += columns * kCellW + 16;
        lineHeight = std::max(lineHeight, height);
    }
    Canvas sheet(kSheetWidth, y + lineHeight + 8, palette::kNight.shade(-0.5f));
    for (size_t i = 0; i < entries.size(); ++i) {
        const SpriteEntry& e = entries[i];
        const Block& b = blocks[i];
        const std::string title = "pack " + e.pack + " row " + std::to_string(e.row) + " " +
                                  e.path.substr(e.path.find('/') + 1) + " (" + std::to_string(e.sprite.frames.size()) +
                                  "f " + std::to_string(e.sprite.anims.size()) + "a " +
                                  std::to_string(e.sprite.modules.size()) + "m)";
        sans().draw(sheet, title, float(b.x + 4), float(b.y + 18), 14, palette::kYellow);
        std::vector<const Canvas*> imgs;
        for (const std::string& path : e.images)
            imgs.push_back(&images[path]);
        for (int f = 0; f < int(e.sprite.frames.size()); ++f) {
            const sprites::Frame& fr = e.sprite.frames[size_t(f)];
            const int w = std::max<int>(1, fr.rect[2]), h = std::max<int>(1, fr.rect[3]);
            Canvas frame(w, h);
            drawFrame(frame, e.sprite, imgs, f, -fr.rect[0], -fr.rect[1], 0);
            const float k = std::min(1.0f, float(kThumb) / float(std::max(w, h)));
            const int tw = std::max(1, int(w * k)), th = std::max(1, int(h * k));
            const int cx = b.x + (f % b.columns) * kCellW + 4, cy = b.y + 28 + (f / b.columns) * kCellH;
            sheet.fillRect(cx, cy, kThumb, kThumb, palette::kNight);
            sheet.draw(frame.scaled(tw, th), cx + (kThumb - tw) / 2, cy + (kThumb - th) / 2);
            sans().draw(sheet, std::to_string(f), float(cx), float(cy + kThumb + 14), 12, palette::kCream);
        }
    }
    return sheet.encode(".png");
}

}  // namespace qdata
