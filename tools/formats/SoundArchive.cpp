#include "tools/formats/SoundArchive.h"

#include <zlib.h>

namespace formats {

SoundArchive& SoundArchive::add(std::string name, std::string data, uint32_t signature, uint16_t method,
                                uint16_t flags, std::string extra)
{
    m_members.push_back({std::move(name), std::move(data), method, flags, signature, std::move(extra)});
    return *this;
}

std::string SoundArchive::bytes(bool withTable) const
{
    std::string out;
    std::vector<uint32_t> offsets;
    for (const Member& m : m_members) {
        const uint32_t crc = uint32_t(crc32(0, reinterpret_cast<const Bytef*>(m.data.data()), uInt(m.data.size())));
        put32(out, m.signature);
        put16(out, 20);
        put16(out, m.flags);
        put16(out, m.method);
        put16(out, 0);
        put16(out, 0x21);  // 1980-01-01: no time stamps, so equal input gives equal bytes
        put32(out, crc);
        put32(out, uint32_t(m.data.size()));
        put32(out, uint32_t(m.data.size()));
        put16(out, uint16_t(m.name.size()));
        put16(out, uint16_t(m.extra.size()));
        out += m.name;
        out += m.extra;
        offsets.push_back(uint32_t(out.size()));
        out += m.data;
    }
    if (withTable) {
        std::string table;
        put32(table, uint32_t(m_members.size()));
        for (size_t i = 0; i < m_members.size(); ++i) {
            const Member& m = m_members[i];
            put32(table, uint32_t(m.name.size()));
            table += m.name;
            put32(table, offsets[i]);
            put16(table, m.flags);
            put16(table, m.method);
            put32(table, uint32_t(m.data.size()));
            put32(table, uint32_t(m.data.size()));
            put16(table, uint16_t(m.extra.size()));
        }
        out += table;
        out += "ZET_";
        put32(out, uint32_t(table.size() + 8));
    }
    return out;
}

}  // namespace formats
