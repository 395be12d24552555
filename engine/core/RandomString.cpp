#include "engine/core/RandomString.h"

#include <cstdint>

namespace pravik::core {

namespace {
int32_t s_counter = 1;
}

stringc randomString(int length)
{
    static const char digits[] = "0123456789ABCDEF";
    int32_t value = s_counter++;
    stringc text;
    for (int i = 0; i + 1 < length; ++i) {
        text += digits[value & 15];
        value >>= 4;
    }
    text += 'r';
    return text;
}

}  // namespace pravik::core
