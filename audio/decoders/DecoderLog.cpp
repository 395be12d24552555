#include "audio/decoders/DecoderLog.h"

#include <cstdarg>
#include <cstdio>

namespace kez {

void DecoderLog(const char* format, ...) {
    char line[256];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    std::fprintf(stderr, "kez: %s\n", line);
}

}  // namespace kez
