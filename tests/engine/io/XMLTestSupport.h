#pragma once
// Shared by the XML tests: byte sources, encoders for the five input formats and a plain-text
// dump of a reader's node stream.

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "engine/io/CXMLReaderImpl.h"

namespace xmltest {

using namespace pravik::io;

// Serves bytes; claims `claimedSize` (default: the real size) and delivers at most `chunk` a call.
class CBytesSource : public IFileReadCallBack {
public:
    explicit CBytesSource(std::string bytes, int32_t claimedSize = -2, int32_t chunk = 1 << 30)
        : m_bytes(std::move(bytes)),
          m_claimed(claimedSize == -2 ? int32_t(m_bytes.size()) : claimedSize),
          m_chunk(chunk)
    {
    }
    int32_t read(void* buffer, int32_t size) override
    {
        int32_t n = size;
        if (n > m_chunk) n = m_chunk;
        if (n > int32_t(m_bytes.size() - m_pos)) n = int32_t(m_bytes.size() - m_pos);
        if (n <= 0) return 0;
        memcpy(buffer, m_bytes.data() + m_pos, size_t(n));
        m_pos += size_t(n);
        return n;
    }
    int32_t getSize() override { return m_claimed; }

private:
    std::string m_bytes;
    size_t m_pos = 0;
    int32_t m_claimed;
    int32_t m_chunk;
};

// Code points as bytes of the given format, with its byte-order mark (none for 8-bit).
inline std::string encode(const std::u32string& text, E_XML_TEXT_FORMAT format)
{
    std::string out;
    auto put = [&](uint32_t v, int bytes, bool big) {
        for (int i = 0; i < bytes; ++i) {
            const int shift = big ? 8 * (bytes - 1 - i) : 8 * i;
            out.push_back(char((v >> shift) & 0xFF));
        }
    };
    const bool big = format == EXTF_UTF16_BE || format == EXTF_UTF32_BE;
    const int width = format == EXTF_UTF16_BE || format == EXTF_UTF16_LE   ? 2
                      : format == EXTF_UTF32_BE || format == EXTF_UTF32_LE ? 4
                                                                           : 1;
    if (width > 1) put(0xFEFF, width, big);
    for (char32_t c : text) put(uint32_t(c), width, big);
    return out;
}

inline std::u32string widen(const std::string& ascii) { return std::u32string(ascii.begin(), ascii.end()); }

template <class T>
std::string narrow(const T* text)
{
    std::string out;
    if (!text) return "(null)";
    for (; *text; ++text) {
        const uint32_t c = uint32_t(*text) & (sizeof(T) == 1 ? 0xFFu : 0xFFFFFFFFu);
        if (c >= 0x20 && c < 0x7F) {
            out.push_back(char(c));
        } else {
            char hex[16];
            snprintf(hex, sizeof hex, "\\x%X", c);
            out += hex;
        }
    }
    return out;
}

// One line a node: kind, name, the attributes as name=value and an empty-element mark.
template <class T>
std::vector<std::string> dumpNodes(IVuvXMLReader<T>& reader, size_t limit = 100000)
{
    static const char* const kKinds[] = {"none", "element", "end", "text", "comment", "cdata", "unknown"};
    std::vector<std::string> lines;
    while (lines.size() < limit && reader.read()) {
        std::string line = kKinds[reader.getNodeType()];
        line += " " + narrow(reader.getNodeName());
        if (reader.getNodeType() == EXNK_ELEMENT) {
            for (int i = 0; i < reader.getAttributeCount(); ++i)
                line += " " + narrow(reader.getAttributeName(i)) + "=" + narrow(reader.getAttributeValue(i));
            if (reader.isEmptyElement()) line += " /";
        }
        lines.push_back(line);
    }
    return lines;
}

template <class T>
std::vector<std::string> parse(const std::string& bytes)
{
    CXMLReaderImpl<T> reader(new CBytesSource(bytes), true);
    return dumpNodes(reader);
}

}  // namespace xmltest
