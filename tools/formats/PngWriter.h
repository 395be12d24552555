// PNG files from plain RGBA pixels, written for quick decoding: the game decodes its art while
// it loads, a frame a step.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace formats::images {

// rgba: width x height pixels, 4 bytes each (R, G, B, A), rows top first. Empty on failure.
std::vector<uint8_t> PngRGBA(int width, int height, const std::vector<uint8_t>& rgba);
std::vector<uint8_t> PngRGBA(int width, int height, const uint8_t* rgba, size_t size);

// A picture of four coloured quadrants (top-left, top-right, bottom-left, bottom-right; each
// 0xRRGGBBAA), width x height pixels.
std::vector<uint8_t> QuadrantsRGBA(int width, int height, const uint32_t colours[4]);

}  // namespace formats::images
