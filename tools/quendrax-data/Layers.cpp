#include "Layers.h"

#include "tools/formats/LayoutLayerWriter.h"
#include "tools/formats/PackFolderWriter.h"

namespace qdata {

namespace {

using formats::layers::Element;
using formats::layers::SetValue;

constexpr int kLayers = 38;

// Every element carries values up to 17 so the slide-in and animation values are always there.
Element element(int16_t kind, int16_t id, int16_t x, int16_t y)
{
    Element e;
    e.kind = kind;
    e.id = id;
    e.x = x;
    e.y = y;
    e.values.assign(13, 0);
    SetValue(e, 10, 1);
    return e;
}

// A graphic of a GUI sprite frame, no animation.
Element graphic(int16_t id, int16_t x, int16_t y, int16_t slot, int16_t frame)
{
    Element e = element(1, id, x, y);
    SetValue(e, 5, slot);
    SetValue(e, 6, frame);
    SetValue(e, 7, -1);
    return e;
}

// A text area of width w and height h in style `style`.
Element text(int16_t id, int16_t x, int16_t y, int16_t w, int16_t h, int16_t style)
{
    Element e = element(2, id, x, y);
    SetValue(e, 5, w);
    SetValue(e, 6, h);
    SetValue(e, 8, style);
    return e;
}

int elementCount(int layer)
{
    switch (layer) {
    case 8: return 6;
    case 24: return 35;
    case 26: return 5;
    case 27: return 7;
    case 28: return 43;
    case 29:
    case 30: return 28;
    case 31: return 4;
    case 32: return 16;
    case 37: return 134;
    default: return 12;
    }
}

// Layer 37 configures the GUI sprites: element 59 + j for the level loadings, 95 + j for the
// others. Kind 4 so the load-time animation rewrite leaves values 6 and 7 alone.
std::vector<Element> guiConfig()
{
    std::vector<Element> out;
    for (int e = 0; e < elementCount(37); ++e) {
        Element c = element(4, int16_t(e), 0, 0);
        SetValue(c, 10, 0);
        out.push_back(c);
    }
    for (int base : {59, 95})
        for (int j : {2, 11, 17, 26, 29, 32}) {
            SetValue(out[size_t(base + j)], 6, 1);
            SetValue(out[size_t(base + j)], 7, 0);
        }
    return out;
}

// A screen: the menu frame behind, a title, then a column of entries sliding in from the left.
std::vector<Element> screen(int layer)
{
    std::vector<Element> out;
    const int count = elementCount(layer);
    out.push_back(graphic(0, 384, 512, 17, 3));
    out.push_back(text(1, 84, 120, 600, 80, 7));
    for (int e = 2; e < count; ++e) {
        Element t = text(int16_t(e), 134, int16_t(230 + (e - 2) * 64 % 700), 500, 56, 4);
        SetValue(t, 14, int16_t((e - 2) * 5 % 50));
        SetValue(t, 15, -400);
        SetValue(t, 17, 50);
        out.push_back(t);
    }
    if (layer == 8) {
        // The loading tip's text area over the progress bar.
        out[5] = text(5, 40, 860, 688, 100, 7);
    }
    return out;
}

}  // namespace

void addLayers(DataFolder& folder)
{
    for (int layer = 0; layer < kLayers; ++layer) {
        const std::vector<uint8_t> bytes =
            formats::layers::Write(layer == 37 ? guiConfig() : screen(layer));
        folder.put(formats::packs::ItemPath("14", layer), std::string(bytes.begin(), bytes.end()));
    }
}

}  // namespace qdata
