#pragma once
// One line on stderr when a decoder refuses a file or stops on damaged data; the caller still
// answers with its interface's failure value.

namespace kez {

void DecoderLog(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace kez
