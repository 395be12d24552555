// Engine strings: standard narrow and wide strings over the engine allocator (hint 0).
#pragma once

#include <string>

#include "engine/core/SAllocator.h"

namespace pravik::core {

using stringc = std::basic_string<char, std::char_traits<char>, SAllocator<char>>;
using stringw = std::basic_string<wchar_t, std::char_traits<wchar_t>, SAllocator<wchar_t>>;

} // namespace pravik::core
