#pragma once
// What the image loaders and writers share: little-endian fields, exact reads, the size limits
// that every header is checked against before anything is allocated, and their log line.

#include "engine/io/IReadFile.h"
#include "engine/core/LittleEndian.h"
#include "engine/os/Printer.h"

#include <cstdint>
#include <cstring>

namespace pravik::video::image_io {

// Larger pictures than this are refused before allocation: 32768 pixels a side, 256 MB of pixels.
inline constexpr uint32_t MAX_DIMENSION = 32768;
inline constexpr uint64_t MAX_PIXEL_BYTES = uint64_t(1) << 28;

inline bool sizeAcceptable(uint64_t width, uint64_t height, uint64_t bytesPerPixel) {
    return width > 0 && height > 0 && width <= MAX_DIMENSION && height <= MAX_DIMENSION &&
           width * height * bytesPerPixel <= MAX_PIXEL_BYTES;
}

using core::le16;
using core::le32;

// True when exactly count bytes were read.
inline bool readExact(io::IReadFile* file, void* buffer, uint32_t count) {
    return count == 0 || (file->read(buffer, count) == int32_t(count));
}

// Bytes from the current position to the end of the file.
inline uint32_t remaining(io::IReadFile* file) {
    const int32_t size = file->getSize(), pos = file->getPos();
    return size > pos && pos >= 0 ? uint32_t(size - pos) : 0;
}

inline const char* nameOf(io::IReadFile* file) {
    const char* n = file ? file->getFileName() : nullptr;
    return n ? n : "";
}

inline void logError(const char* text, const char* hint = nullptr) {
    if (hint)
        os::Printer::log(text, hint, ELL_ERROR);
    else
        os::Printer::log(text, ELL_ERROR);
}

inline bool containsText(const char* name, const char* part) {
    return name && std::strstr(name, part) != nullptr;
}

// The text from the last '.' on, or "" without one.
inline const char* lastExtension(const char* name) {
    const char* dot = name ? std::strrchr(name, '.') : nullptr;
    return dot ? dot : "";
}

}  // namespace pravik::video::image_io
