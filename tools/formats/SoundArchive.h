#pragma once
// Sound archives ("3.bar") as the audio engine reads them: a run of ZIP local headers, each
// followed by its member's bytes, behind either local-header signature, optionally closed by the
// appended "ZET_" member table. No central directory: the audio engine never reads one.

#include <cstdint>
#include <string>
#include <vector>

namespace formats {

class SoundArchive {
public:
    static constexpr uint32_t kSignaturePK = 0x04034B50;
    static constexpr uint32_t kSignatureQL = 0x05044C51;

    struct Member {
        std::string name, data;
        uint16_t method = 0, flags = 0;
        uint32_t signature = kSignaturePK;
        std::string extra;
    };

    // Members are written in the order they are added; a builder wanting stable bytes adds them sorted.
    SoundArchive& add(std::string name, std::string data, uint32_t signature = kSignaturePK,
                      uint16_t method = 0, uint16_t flags = 0, std::string extra = "");

    std::string bytes(bool withTable) const;
    const std::vector<Member>& members() const { return m_members; }

    static void put16(std::string& s, uint16_t v) { s += char(v & 0xFF); s += char(v >> 8); }
    static void put32(std::string& s, uint32_t v) { put16(s, uint16_t(v)); put16(s, uint16_t(v >> 16)); }

private:
    std::vector<Member> m_members;
};

}  // namespace formats
