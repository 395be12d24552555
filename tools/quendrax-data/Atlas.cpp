#include "Atlas.h"

#include <algorithm>

namespace qdata {

namespace {

int powerOfTwo(int v)
{
    int p = 1;
    while (p < v)
        p *= 2;
    return p;
}

}  // namespace

Placed Atlas::add(const Canvas& picture)
{
    // The same picture twice (a shared background) is stored once.
    for (const auto& [p, existing] : m_pieces)
        if (existing.width() == picture.width() && existing.height() == picture.height() &&
            existing.pixels() == picture.pixels())
            return p;
    const int w = std::max(1, picture.width()), h = std::max(1, picture.height());
    if (w + 2 > m_width)
        m_width = powerOfTwo(w + 2);
    if (m_shelfX + w + 2 > m_width) {
        m_shelfY += m_shelfH;
        m_shelfX = 0;
        m_shelfH = 0;
    }
    Placed p{m_shelfX + 1, m_shelfY + 1, w, h};
    m_shelfX += w + 2;
    m_shelfH = std::max(m_shelfH, h + 2);
    m_pieces.emplace_back(p, picture);
    return p;
}

Canvas Atlas::render() const
{
    int width = 1, height = 1;
    for (const auto& [p, picture] : m_pieces) {
        width = std::max(width, p.x + p.w + 1);
        height = std::max(height, p.y + p.h + 1);
    }
    Canvas out(powerOfTwo(width), powerOfTwo(height));
    for (const auto& [p, picture] : m_pieces)
        out.copy(picture, p.x, p.y);
    return out;
}

void AtlasSet::derive(const std::string& name, const std::string& from, std::function<formats::Rgba(formats::Rgba)> map)
{
    m_derived[name] = {from, std::move(map)};
}

std::map<std::string, Canvas> AtlasSet::render() const
{
    std::map<std::string, Canvas> out;
    for (const auto& [name, atlas] : m_atlases)
        if (!atlas.empty())
            out[name] = atlas.render();
    for (const auto& [name, source] : m_derived) {
        const auto it = out.find(source.first);
        if (it == out.end())
            continue;
        Canvas c = it->second;
        for (int y = 0; y < c.height(); ++y)
            for (int x = 0; x < c.width(); ++x)
                c.set(x, y, source.second(c.at(x, y)));
        out[name] = std::move(c);
    }
    return out;
}

}  // namespace qdata
