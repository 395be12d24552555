#include "Atlas.h"

#include <algorithm>
#include <numeric>

namespace qdata {

namespace {

int powerOfTwo(int v)
{
    int p = 1;
    while (p < v)
        p *= 2;
    return p;
}

// A 1-pixel gap keeps filtering from bleeding between pieces; a piece whose side is already a
// power of two (a screen-high background) goes without, so it does not double the atlas.
int gapOf(const Canvas& c)
{
    const int w = std::max(1, c.width()), h = std::max(1, c.height());
    return w == powerOfTwo(w) || h == powerOfTwo(h) ? 0 : 1;
}

}  // namespace

int Atlas::add(const Canvas& picture)
{
    for (size_t i = 0; i < m_pieces.size(); ++i)
        if (m_pieces[i].width() == picture.width() && m_pieces[i].height() == picture.height() &&
            m_pieces[i].pixels() == picture.pixels())
            return int(i);
    m_pieces.push_back(picture);
    return int(m_pieces.size()) - 1;
}

bool Atlas::tryPack(int width, int height)
{
    // Shelves, tallest pieces first (ties by order of adding, so the layout is the same each run).
    std::vector<size_t> order(m_pieces.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [this](size_t a, size_t b) { return m_pieces[a].height() > m_pieces[b].height(); });
    m_places.assign(m_pieces.size(), Placed{});
    int x = 0, y = 0, shelf = 0;
    for (size_t i : order) {
        const int gap = gapOf(m_pieces[i]);
        const int w = std::max(1, m_pieces[i].width()) + 2 * gap, h = std::max(1, m_pieces[i].height()) + 2 * gap;
        if (w > width)
            return false;
        if (x + w > width) {
            y += shelf;
            x = 0;
            shelf = 0;
        }
        if (y + h > height)
            return false;
        m_places[i] = Placed{x + gap, y + gap, m_pieces[i].width(), m_pieces[i].height()};
        x += w;
        shelf = std::max(shelf, h);
    }
    return true;
}

void Atlas::pack()
{
    int side = 16;
    while (!tryPack(side, side))
        side *= 2;
    // Half the square, when the pieces fit, halves what the game decodes and uploads.
    m_width = m_height = side;
    if (tryPack(side / 2, side))
        m_width = side / 2;
    else if (tryPack(side, side / 2))
        m_height = side / 2;
    else
        tryPack(side, side);
}

Canvas Atlas::render() const
{
    Canvas out(m_width, m_height);
    for (size_t i = 0; i < m_pieces.size() && i < m_places.size(); ++i)
        out.copy(m_pieces[i], m_places[i].x, m_places[i].y);
    return out;
}

void AtlasSet::pack()
{
    for (auto& [name, atlas] : m_atlases)
        atlas.pack();
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
