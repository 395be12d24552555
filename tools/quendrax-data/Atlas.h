#pragma once
// Texture atlases: the pictures of every sprite module that names one texture, packed on shelves
// into one image. Textures are shared by name across sprites, so a module's place is fixed when
// it is added and the image is drawn once every sprite has been made.

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
    explicit Atlas(int width = 1024) : m_width(width) {}
    // Places a picture (1-pixel gap around it) and returns where.
    Placed add(const Canvas& picture);
    // The whole atlas, its height rounded up to a power of two (width too when it was widened).
    Canvas render() const;
    bool empty() const { return m_pieces.empty(); }

private:
    int m_width;
    int m_shelfX = 0, m_shelfY = 0, m_shelfH = 0;
    std::vector<std::pair<Placed, Canvas>> m_pieces;
};

class AtlasSet {
public:
    Atlas& operator[](const std::string& name) { return m_atlases[name]; }
    // A texture drawn from another's layout (the light variant of the brick sheet): pixels mapped.
    void derive(const std::string& name, const std::string& from, std::function<formats::Rgba(formats::Rgba)> map);
    // "name" -> picture for every atlas and derived texture.
    std::map<std::string, Canvas> render() const;

private:
    std::map<std::string, Atlas> m_atlases;
    std::map<std::string, std::pair<std::string, std::function<formats::Rgba(formats::Rgba)>>> m_derived;
};

}  // namespace qdata
