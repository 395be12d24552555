#include "tests/engine/io/ArchiveBuilders.h"

#include "engine/io/CMemoryReadFile.h"
#include "engine/io/CZipLZMAReader.h"

#include <cstdlib>
#include <cstring>
#include <lzma.h>
#include <stdexcept>
#include <zlib.h>

namespace test {

std::string le16(uint32_t v) { return {char(v & 0xFF), char((v >> 8) & 0xFF)}; }
std::string le32(uint32_t v) { return le16(v & 0xFFFF) + le16(v >> 16); }

std::string rawDeflate(std::string_view data, int level)
{
    z_stream s{};
    if (deflateInit2(&s, level, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        throw std::runtime_error("deflateInit2");
    std::string out(deflateBound(&s, uLong(data.size())), '\0');
    s.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    s.avail_in = uInt(data.size());
    s.next_out = reinterpret_cast<Bytef*>(out.data());
    s.avail_out = uInt(out.size());
    if (deflate(&s, Z_FINISH) != Z_STREAM_END)
        throw std::runtime_error("deflate");
    out.resize(s.total_out);
    deflateEnd(&s);
    return out;
}

std::string lzmaAlone(std::string_view data, uint32_t lc, uint32_t lp, uint32_t pb,
                      bool endMarkerOnly)
{
    lzma_options_lzma opt;
    lzma_lzma_preset(&opt, 6);
    opt.lc = lc;
    opt.lp = lp;
    opt.pb = pb;
    opt.dict_size = 1u << 20;
    lzma_stream s = LZMA_STREAM_INIT;
    if (lzma_alone_encoder(&s, &opt) != LZMA_OK)
        throw std::runtime_error("lzma_alone_encoder");
    std::string out(data.size() + data.size() / 2 + 4096, '\0');
    s.next_in = reinterpret_cast<const uint8_t*>(data.data());
    s.avail_in = data.size();
    s.next_out = reinterpret_cast<uint8_t*>(out.data());
    s.avail_out = out.size();
    if (lzma_code(&s, LZMA_FINISH) != LZMA_STREAM_END)
        throw std::runtime_error("lzma_code");
    out.resize(s.total_out);
    lzma_end(&s);
    if (!endMarkerOnly)
        out.replace(5, 8, le32(uint32_t(data.size())) + le32(0));
    return out;
}

std::string ZipRecord::bytes() const
{
    return le32(signature) + le16(10) + le16(flags) + le16(method) + le16(0) + le16(0x21) +
           le32(crc) + le32(compressedSize) + le32(uncompressedSize) + le16(uint16_t(nameLength)) +
           le16(uint16_t(extraLength)) + name + extra + data;
}

ZipBuilder& ZipBuilder::add(std::string name, std::string data, bool deflate)
{
    m_members.push_back({std::move(name), std::move(data), deflate});
    return *this;
}

ZipBuilder& ZipBuilder::signature(uint32_t sig)
{
    m_signature = sig;
    return *this;
}

std::string ZipBuilder::bytes() const
{
    std::string out, central;
    for (const auto& m : m_members) {
        const uint32_t crc = uint32_t(
            crc32(0, reinterpret_cast<const Bytef*>(m.data.data()), uInt(m.data.size())));
        ZipRecord r;
        r.signature = m_signature;
        r.method = m.deflate ? 8 : 0;
        r.crc = crc;
        r.data = m.deflate ? rawDeflate(m.data) : m.data;
        r.compressedSize = uint32_t(r.data.size());
        r.uncompressedSize = uint32_t(m.data.size());
        r.name = m.name;
        r.nameLength = int16_t(m.name.size());
        const uint32_t offset = uint32_t(out.size());
        out += r.bytes();
        central += le32(0x02014b50) + le16(20) + le16(20) + le16(0) + le16(r.method) + le16(0) +
                   le16(0x21) + le32(crc) + le32(r.compressedSize) + le32(r.uncompressedSize) +
                   le16(uint32_t(m.name.size())) + le16(0) + le16(0) + le16(0) + le16(0) +
                   le32(0) + le32(offset) + m.name;
    }
    const uint32_t cdOffset = uint32_t(out.size());
    out += central;
    out += le32(0x06054b50) + le16(0) + le16(0) + le16(uint32_t(m_members.size())) +
           le16(uint32_t(m_members.size())) + le32(uint32_t(central.size())) + le32(cdOffset) +
           le16(0);
    return out;
}

PakBuilder& PakBuilder::add(std::string name, std::string data)
{
    m_files.emplace_back(std::move(name), std::move(data));
    return *this;
}
PakBuilder& PakBuilder::tag(std::string fourBytes)
{
    m_tag = std::move(fourBytes);
    return *this;
}
PakBuilder& PakBuilder::dirLength(uint32_t length)
{
    m_dirLength = length;
    return *this;
}
PakBuilder& PakBuilder::dirOffset(uint32_t offset)
{
    m_dirOffset = offset;
    return *this;
}

std::string PakBuilder::bytes() const
{
    std::string data, dir;
    for (const auto& [name, bytes] : m_files) {
        std::string record(56, '\0');
        std::memcpy(record.data(), name.data(), std::min<size_t>(56, name.size()));
        dir += record + le32(uint32_t(12 + data.size())) + le32(uint32_t(bytes.size()));
        data += bytes;
    }
    const uint32_t offset = m_dirOffset >= 0 ? uint32_t(m_dirOffset) : uint32_t(12 + data.size());
    const uint32_t length = m_dirLength >= 0 ? uint32_t(m_dirLength) : uint32_t(dir.size());
    return m_tag.substr(0, 4) + le32(offset) + le32(length) + data + dir;
}

LzmaPackBuilder& LzmaPackBuilder::add(std::string name, std::string data)
{
    const auto key = pravik::io::CZipLZMAReader::makeKey(name.c_str());
    return addMember(pravik::io::CZipLZMAReader::ComputeHash(key.c_str()), lzmaAlone(data));
}

LzmaPackBuilder& LzmaPackBuilder::addMember(int32_t hash, std::string member)
{
    m_members.emplace_back(hash, std::move(member));
    return *this;
}

std::string LzmaPackBuilder::bytes() const
{
    const size_t n = m_members.size();
    std::string index = le32(uint32_t(n));
    std::string data;
    size_t pos = 4 + 12 * n + 12;
    for (const auto& [hash, member] : m_members) {
        while (pos % 4)
            ++pos, data += '\0';
        index += le32(uint32_t(hash)) + le32(uint32_t(pos / 4)) + le32(uint32_t(member.size()));
        data += member;
        pos += member.size();
    }
    return index + std::string(12, '\0') + data;
}

std::string readAll(pravik::io::IReadFile* file)
{
    std::string out;
    if (!file)
        return out;
    char buffer[4096];
    for (;;) {
        const int32_t n = file->read(buffer, sizeof buffer);
        if (n <= 0)
            break;
        out.append(buffer, size_t(n));
    }
    return out;
}

pravik::io::IReadFile* memoryFile(const std::string& bytes, const char* name)
{
    void* copy = std::malloc(bytes.size() ? bytes.size() : 1);
    std::memcpy(copy, bytes.data(), bytes.size());
    return pravik::io::createMemoryReadFile(copy, int32_t(bytes.size()), name, true);
}

}  // namespace test
