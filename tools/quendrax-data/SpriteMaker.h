#pragma once
// Builds one sprite: pictures become image modules in the atlases of the sprite's textures,
// markers become marker modules at the indices the game asks for, frames place modules around
// the frame's origin (their rectangles computed), animations run over frames.

#include "Atlas.h"

#include "tools/formats/SpriteWriter.h"

#include <set>
#include <string>
#include <vector>

namespace qdata {

namespace sprites = formats::sprites;

class SpriteMaker {
public:
    // textures: the sprite's texture list as the pack table gives it ("a;b"); atlas names may be
    // renamed through `atlasName` (the brick sheet is drawn as its first location's variant).
    SpriteMaker(AtlasSet& atlases, const std::string& textures);

    // Module indices that must be markers (the game reads them as marker types).
    void reserveMarkers(const std::set<int>& indices);
    // An image module of `picture` in image `image` of the texture list; returns its index.
    int module(const Canvas& picture, int image = 0);
    // A marker module (kind 5); at the next free index unless given.
    int marker(int index = -1);
    // Pads the module table with markers until it has n modules.
    void ensureModules(int n);

    // A frame of frame-modules; its rectangle is the union of its image modules (markers aside).
    int frame(const std::vector<sprites::FModule>& fms);
    // A frame of one picture with its origin at (ox, oy) inside the picture (centred: w/2, h/2).
    int pictureFrame(const Canvas& picture, int ox, int oy, int image = 0);
    // A frame showing module m with its origin at (ox, oy) inside it.
    int moduleFrame(int m, int ox, int oy);
    // An animation over frames with one time for all (units of 33 ms).
    int anim(const std::vector<int>& frames, int time = 2);
    // Pads frames / animations (repeating frame `fill` / a one-frame animation of it).
    void ensureFrames(int n, int fill = 0);
    void ensureAnims(int n, int frame = 0);

    // Once the atlases are packed: every image module takes its place in its atlas.
    void place();

    int moduleCount() const { return int(m_sprite.modules.size()); }
    int frameCount() const { return int(m_sprite.frames.size()); }
    const sprites::Sprite& sprite() const { return m_sprite; }
    const std::vector<std::string>& textures() const { return m_textures; }

private:
    void fillReserved();

    AtlasSet& m_atlases;
    std::vector<std::string> m_textures;
    std::set<int> m_markers;
    sprites::Sprite m_sprite;
    struct PieceRef {
        int module;
        std::string atlas;
        int piece;
    };
    std::vector<PieceRef> m_pieces;
};

// The atlas a texture name is drawn into ("bricks_all" -> "bricks_all_act1").
std::string atlasName(const std::string& texture);
// "a;b" -> {"a", "b"}.
std::vector<std::string> splitList(const std::string& list);

}  // namespace qdata
