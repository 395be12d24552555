#pragma once
// Little-endian byte assembly for the writers and for fixtures that build files piece by piece.

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

namespace formats {

struct Bytes {
    std::string data;

    Bytes& tag(const char* four) { data.append(four, 4); return *this; }
    Bytes& u8(unsigned v) { data.push_back(char(v & 0xff)); return *this; }
    Bytes& u16(unsigned v) { u8(v & 0xff); return u8((v >> 8) & 0xff); }
    Bytes& u32(uint32_t v) { u16(v & 0xffff); return u16(v >> 16); }
    Bytes& s16(int v) { return u16(unsigned(uint16_t(int16_t(v)))); }
    Bytes& raw(std::string_view bytes) { data.append(bytes); return *this; }
    Bytes& zeros(size_t n) { data.append(n, '\0'); return *this; }
    // A text in a fixed-size field: cut to size, padded with NULs.
    Bytes& fixed(std::string_view text, size_t size) {
        data.append(text.substr(0, size));
        return zeros(size - std::min(size, text.size()));
    }
    // A RIFF-style chunk: id, 32-bit size, payload, and a pad byte after an odd payload.
    Bytes& chunk(const char* id, std::string_view payload, bool pad = true) {
        tag(id).u32(uint32_t(payload.size())).raw(payload);
        if (pad && payload.size() % 2) u8(0);
        return *this;
    }
    // Overwrites 4 bytes at a known offset (sizes and offsets known only later).
    void patch32(size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) data[at + size_t(i)] = char((v >> (8 * i)) & 0xff);
    }
    size_t size() const { return data.size(); }
};

}  // namespace formats
