#include "SpriteMaker.h"

#include <algorithm>

namespace qdata {

std::vector<std::string> splitList(const std::string& list)
{
    std::vector<std::string> out;
    size_t start = 0;
    while (start <= list.size()) {
        const size_t end = std::min(list.find(';', start), list.size());
        if (end > start)
            out.push_back(list.substr(start, end - start));
        start = end + 1;
    }
    return out;
}

std::string atlasName(const std::string& texture)
{
    return texture == "bricks_all" ? "bricks_all_act1" : texture;
}

SpriteMaker::SpriteMaker(AtlasSet& atlases, const std::string& textures)
    : m_atlases(atlases), m_textures(splitList(textures))
{
    m_sprite.flags = sprites::kDefaultFlags;
}

void SpriteMaker::reserveMarkers(const std::set<int>& indices)
{
    m_markers.insert(indices.begin(), indices.end());
    fillReserved();
}

void SpriteMaker::fillReserved()
{
    while (m_markers.count(int(m_sprite.modules.size()))) {
        sprites::Module m;
        m.type = 0xFD;
        m.w = 1;
        m.h = 1;
        m_sprite.modules.push_back(m);
    }
}

int SpriteMaker::module(const Canvas& picture, int image)
{
    fillReserved();
    const std::string texture = m_textures.empty() ? "unnamed" : m_textures[size_t(std::min<int>(image, int(m_textures.size()) - 1))];
    const std::string atlas = atlasName(texture);
    const int piece = m_atlases[atlas].add(picture);
    const int index = m_sprite.addImageModule(image, 0, 0, std::max(1, picture.width()), std::max(1, picture.height()));
    m_pieces.push_back({index, atlas, piece});
    fillReserved();
    return index;
}

int SpriteMaker::marker(int index)
{
    if (index >= 0 && index < int(m_sprite.modules.size()))
        return m_sprite.modules[size_t(index)].type == 0xFD ? index : -1;
    if (index >= 0)
        m_markers.insert(index);
    else
        m_markers.insert(int(m_sprite.modules.size()));
    const int at = index >= 0 ? index : int(m_sprite.modules.size());
    // Indices below a wanted one are filled with markers too: nothing else claims them now.
    while (int(m_sprite.modules.size()) <= at) {
        sprites::Module m;
        m.type = 0xFD;
        m.w = 1;
        m.h = 1;
        m_sprite.modules.push_back(m);
    }
    fillReserved();
    return at;
}

void SpriteMaker::ensureModules(int n)
{
    if (n > 0 && int(m_sprite.modules.size()) < n)
        marker(n - 1);
}

void SpriteMaker::place()
{
    for (const PieceRef& r : m_pieces) {
        const Placed& p = m_atlases[r.atlas].place(r.piece);
        m_sprite.modules[size_t(r.module)].x = p.x;
        m_sprite.modules[size_t(r.module)].y = p.y;
    }
}

int SpriteMaker::frame(const std::vector<sprites::FModule>& fms)
{
    const int index = m_sprite.addFrame(fms);
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    bool any = false;
    for (const sprites::FModule& fm : fms) {
        if (fm.flags & 0x10)
            continue;
        const sprites::Module& m = m_sprite.modules[size_t(fm.index)];
        if (m.type == 0xFD)
            continue;
        const int w = (fm.flags & 4) ? m.h : m.w, h = (fm.flags & 4) ? m.w : m.h;
        if (!any) {
            x0 = fm.x;
            y0 = fm.y;
            x1 = fm.x + w;
            y1 = fm.y + h;
            any = true;
        }
        x0 = std::min(x0, fm.x);
        y0 = std::min(y0, fm.y);
        x1 = std::max(x1, fm.x + w);
        y1 = std::max(y1, fm.y + h);
    }
    sprites::Frame& f = m_sprite.frames[size_t(index)];
    f.rect[0] = int16_t(x0);
    f.rect[1] = int16_t(y0);
    f.rect[2] = int16_t(x1 - x0);
    f.rect[3] = int16_t(y1 - y0);
    return index;
}

int SpriteMaker::moduleFrame(int m, int ox, int oy)
{
    sprites::FModule fm;
    fm.index = m;
    fm.x = -ox;
    fm.y = -oy;
    return frame({fm});
}

int SpriteMaker::pictureFrame(const Canvas& picture, int ox, int oy, int image)
{
    return moduleFrame(module(picture, image), ox, oy);
}

int SpriteMaker::anim(const std::vector<int>& frames, int time)
{
    std::vector<sprites::AFrame> afs;
    for (int f : frames) {
        sprites::AFrame a;
        a.frame = f;
        a.time = time;
        afs.push_back(a);
    }
    return m_sprite.addAnim(afs);
}

void SpriteMaker::ensureFrames(int n, int fill)
{
    while (frameCount() < n) {
        if (fill < frameCount()) {
            const sprites::Frame copy = m_sprite.frames[size_t(fill)];
            m_sprite.frames.push_back(copy);
        } else {
            frame({});
        }
    }
}

void SpriteMaker::ensureAnims(int n, int frame)
{
    while (int(m_sprite.anims.size()) < n)
        anim({std::min(frame, std::max(0, frameCount() - 1))});
}

}  // namespace qdata
