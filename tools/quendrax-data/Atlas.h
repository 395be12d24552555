#pragma once
// Texture atlases: the pictures of every sprite module that names one texture, packed into one
// image a power of two a side (what every driver takes), square or half a square. Textures are
// shared by name across sprites, so pieces are gathered first and placed once every sprite has
// been made; the sprites' modules then take their places.

#include "tools/formats/Canvas.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace qdata {

using formats::Canvas;

struct Placed {
    int x = 0, y = 0, w = 0, h = 0;
};

class Atlas {
public:
    // Adds a picture; returns its piece number (the same picture twice gives the same number).
    int add(const Canvas& picture);
    // Places every piece in the smallest square, or half square, that holds them all; call once,
    // after the adds.
    void pack();
    const Placed& place(int piece) const { return m_places[size_t(piece)]; }
    Canvas render() const;
    bool empty() const { return m_pieces.empty(); }

private:
    bool tryPack(int width, int height);

    std::vector<Canvas> m_pieces;
    std::vector<Placed> m_places;
    int m_width = 1, m_height = 1;
};

class AtlasSet {
public:
    Atlas& operator[](const std::string& name) { return m_atlases[name]; }
    void pack();
    // A texture drawn from another's layout (the light variant of the brick sheet): pixels mapped.
    void derive(const std::string& name, const std::string& from, std::function<formats::Rgba(formats::Rgba)> map);
    // "name" -> picture for every atlas and derived texture.
    std::map<std::string, Canvas> render() const;

private:
    std::map<std::string, Atlas> m_atlases;
    std::map<std::string, std::pair<std::string, std::function<formats::Rgba(formats::Rgba)>>> m_derived;
};

}  // namespace qdata
