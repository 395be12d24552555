#pragma once
// Archives built in memory for the file tests: ZIP (stored, raw deflate, any local-header
// signature), pak and LZMA packs (liblzma as the encoder), plus small file helpers.

#include "engine/io/IReadFile.h"

#include <boost/intrusive_ptr.hpp>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace test {

std::string rawDeflate(std::string_view data, int level = 6);
// An LZMA-alone member with its real size in the header (liblzma writes "unknown")
std::string lzmaAlone(std::string_view data, uint32_t lc = 3, uint32_t lp = 0, uint32_t pb = 2,
                      bool endMarkerOnly = false);
std::string le16(uint32_t v);
std::string le32(uint32_t v);

// One local header, its name, extra field and data, every field as given.
struct ZipRecord {
    uint32_t signature = 0x04034b50;
    uint16_t flags = 0;
    uint16_t method = 0;
    uint32_t crc = 0;
    uint32_t compressedSize = 0;
    uint32_t uncompressedSize = 0;
    int16_t nameLength = 0;
    int16_t extraLength = 0;
    std::string name, extra, data;
    std::string bytes() const;
};

class ZipBuilder {
public:
    ZipBuilder& add(std::string name, std::string data, bool deflate = false);
    ZipBuilder& signature(uint32_t sig);  // of every local header
    std::string bytes() const;            // local headers, central directory, end record

private:
    struct Member {
        std::string name, data;
        bool deflate;
    };
    std::vector<Member> m_members;
    uint32_t m_signature = 0x04034b50;
};

class PakBuilder {
public:
    PakBuilder& add(std::string name, std::string data);
    PakBuilder& tag(std::string fourBytes);
    PakBuilder& dirLength(uint32_t length);  // overrides the computed length
    PakBuilder& dirOffset(uint32_t offset);  // overrides the computed offset
    std::string bytes() const;

private:
    std::vector<std::pair<std::string, std::string>> m_files;
    std::string m_tag = "PACK";
    int64_t m_dirLength = -1, m_dirOffset = -1;
};

class LzmaPackBuilder {
public:
    LzmaPackBuilder& add(std::string name, std::string data);  // keyed like the reader keys names
    LzmaPackBuilder& addMember(int32_t hash, std::string member);  // a raw member
    std::string bytes() const;

private:
    std::vector<std::pair<int32_t, std::string>> m_members;
};

std::string readAll(pravik::io::IReadFile* file);  // from the current position to the end
// A memory read file owning a copy of bytes (count 1)
pravik::io::IReadFile* memoryFile(const std::string& bytes, const char* name = "mem");

// Takes over the count a creator handed out (count 1), so the object goes with the handle.
template <class T>
boost::intrusive_ptr<T> adopt(T* object)
{
    return boost::intrusive_ptr<T>(object, false);
}

}  // namespace test
