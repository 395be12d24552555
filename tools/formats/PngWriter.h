// PNG files from plain RGBA pixels, through the engine's PNG writer.
#pragma once

#include <cstdint>
#include <vector>

namespace formats::images {

// rgba: width x height pixels, 4 bytes each (R, G, B, A), rows top first. Empty on failure.
std::vector<uint8_t> PngRGBA(int width, int height, const std::vector<uint8_t>& rgba);

// A picture of four coloured quadrants (top-left, top-right, bottom-left, bottom-right; each
// 0xRRGGBBAA), width x height pixels.
std::vector<uint8_t> QuadrantsRGBA(int width, int height, const uint32_t colours[4]);

}  // namespace formats::images
