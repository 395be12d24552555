// Fixed-width names the engine's interfaces use; wchar_t is 32 bits on every target we build.
#pragma once

#include <cstdint>

namespace pravik {

using u8 = std::uint8_t;
using s8 = std::int8_t;
using c8 = char;
using u16 = std::uint16_t;
using s16 = std::int16_t;
using u32 = std::uint32_t;
using s32 = std::int32_t;
using u64 = std::uint64_t;
using s64 = std::int64_t;
using f32 = float;
using f64 = double;

static_assert(sizeof(wchar_t) == 4, "engine text is held in 32-bit code units");

} // namespace pravik
