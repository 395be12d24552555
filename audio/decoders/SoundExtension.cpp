#include "audio/decoders/SoundExtension.h"

#include <cstring>

namespace kez {

int DecoderTypeFromExtension(const char* path) {
    if (!path) return -1;
    const char* dot = std::strrchr(path, '.');
    if (!dot) return -1;
    char ext[4] = {};
    const size_t length = std::strlen(dot + 1);
    if (length != 3) return -1;
    for (size_t i = 0; i < 3; ++i) {
        const signed char c = static_cast<signed char>(dot[1 + i]);
        ext[i] = c <= 96 ? char((unsigned char)c + 32) : char(c);
    }
    if (std::memcmp(ext, "wav", 3) == 0) return 1;
    if (std::memcmp(ext, "ogg", 3) == 0) return 2;
    if (std::memcmp(ext, "mpc", 3) == 0) return 3;
    if (std::memcmp(ext, "kzn", 3) == 0) return 4;
    return -1;
}

}  // namespace kez
