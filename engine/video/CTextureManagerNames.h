#pragma once
// Free names for textures: a taken name gets a suffix of capital letters, advanced until the
// name is free. The suffix runs A ... Z, AA ... AZ, BAA ... BAZ, BBAA ...: a 'Z' in last place
// appends a new 'A', turns itself into 'A' and carries left through the earlier suffix letters
// only. The name is built in one process buffer of maxLength + 1 bytes; a base name that does
// not fit is refused rather than cut, and so is a suffix that would outgrow the buffer.

#include "engine/core/ProcessBuffer.h"

#include <cstring>

namespace pravik::video::detail::texturemanager {

// Longest name the unique-name search builds (the terminator comes on top).
inline constexpr unsigned MAX_TEXTURE_NAME_LENGTH = 1015;

// The first name from base on that taken() rejects, in buffer; nullptr (and an empty buffer)
// when base is too long, the suffixes run out or no buffer could be had.
template <class Taken>
const char* createUniqueName(const char* base, unsigned maxLength, Taken taken,
                             core::SScopedProcessArray<char>& buffer)
{
    const std::size_t length = base ? std::strlen(base) : 0;
    if (!base || length >= maxLength || !buffer.reset(std::size_t(maxLength) + 1))
        return nullptr;
    char* name = buffer.get();
    std::memcpy(name, base, length + 1);
    std::size_t end = length;
    while (taken(static_cast<const char*>(name))) {
        if (end == length) {
            name[end++] = 'A';
            name[end] = '\0';
            continue;
        }
        if (name[end - 1] < 'Z') {
            ++name[end - 1];
            continue;
        }
        if (end >= maxLength) {
            buffer.reset(0);
            return nullptr;
        }
        name[end++] = 'A';
        name[end] = '\0';
        name[end - 2] = 'A';
        for (std::size_t i = end - 2; i-- > length;) {
            if (name[i] != 'Z') {
                ++name[i];
                break;
            }
            name[i] = 'A';
        }
    }
    return name;
}

}  // namespace pravik::video::detail::texturemanager
