#pragma once
// Writes 8-bit RGBA pixels to a PNG file.

#include <cstdint>
#include <string>

namespace platform {

// rows bottom first, as glReadPixels gives them, when bottomUp; false (and one line) on failure.
bool writePng(const std::string& path, const uint8_t* rgba, int width, int height, bool bottomUp);

}  // namespace platform
