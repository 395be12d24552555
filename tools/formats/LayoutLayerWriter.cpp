#include "tools/formats/LayoutLayerWriter.h"

namespace formats::layers {

void SetValue(Element& e, int index, int16_t value)
{
    if (index < 5)
        return;
    if (int(e.values.size()) < index - 4)
        e.values.resize(size_t(index - 4), 0);
    e.values[size_t(index - 5)] = value;
}

static void put(std::vector<uint8_t>& out, int16_t v)
{
    out.push_back(uint8_t(uint16_t(v) & 0xFF));
    out.push_back(uint8_t(uint16_t(v) >> 8));
}

std::vector<uint8_t> Write(const std::vector<Element>& elements)
{
    std::vector<uint8_t> out;
    for (const Element& e : elements) {
        put(out, e.kind);
        put(out, e.id);
        put(out, e.x);
        put(out, e.y);
        put(out, e.n ? *e.n : int16_t(e.values.size()));
        for (int16_t v : e.values)
            put(out, v);
    }
    return out;
}

}  // namespace formats::layers
