// The XML pull parser. Text is held with its closing zero characters; m_textEnd marks the first
// of them, and every scan stops there, whatever it looks for.

#include "engine/io/CXMLReaderImpl.h"

#include <cstdlib>
#include <cstring>

#include "engine/core/TextForms.h"
#include "engine/core/fast_atof.h"

namespace pravik::io {

namespace {

template <class T>
bool isWhiteSpace(T c)
{
    return c == T(' ') || c == T('\t') || c == T('\n') || c == T('\r');
}

// Stops at the first difference, so neither text is read past its zero.
template <class T>
bool sameText(const T* a, const T* b)
{
    while (*a && *a == *b) {
        ++a;
        ++b;
    }
    return *a == *b;
}

uint16_t swap16(uint16_t v) { return uint16_t((v >> 8) | (v << 8)); }

uint32_t swap32(uint32_t v) { return __builtin_bswap32(v); }

float toFloatByAtof(const char* text) { return float(atof(text)); }

float toFloatByAtof(const wchar_t* text) { return float(atof(core::string2stringc(text).c_str())); }

float toFloatByParser(const char* text)
{
    float f = 0.f;
    core::fast_atof_move(text, f);
    return f;
}

float toFloatByParser(const wchar_t* text)
{
    float f = 0.f;
    core::fast_atof_move(core::string2stringc(text).c_str(), f);
    return f;
}

}  // namespace

template <class T, class B>
CXMLReaderImpl<T, B>::CXMLReaderImpl(IFileReadCallBack* source, bool deleteSource)
    : m_parserFormat(sizeof(T) == 1 ? EXTF_UTF8 : EXTF_UTF32_LE)
{
    if (source) {
        loadText(source);
        if (deleteSource) delete source;
    }
    createSpecialCharacterList();
    m_p = m_textBegin;
}

template <class T, class B>
CXMLReaderImpl<T, B>::~CXMLReaderImpl()
{
    delete[] m_converted;
    delete[] m_block;
}

template <class T, class B>
void CXMLReaderImpl<T, B>::loadText(IFileReadCallBack* source)
{
    const int32_t size = source->getSize();
    if (size < 0) return;
    // Room for the text, four closing zero bytes and a zero unit past any partial last unit.
    const size_t words = (size_t(size) + 8 + 3) / 4;
    m_block = new uint32_t[words];
    char* bytes = reinterpret_cast<char*>(m_block);
    int32_t got = 0;
    while (got < size) {  // a source may deliver less than asked; take what it has
        const int32_t n = source->read(bytes + got, size - got);
        if (n <= 0 || n > size - got) break;
        got += n;
    }
    if (got == 0) {
        delete[] m_block;
        m_block = nullptr;
        return;
    }
    memset(bytes + got, 0, words * 4 - size_t(got));

    const uint32_t word32 = m_block[0];
    uint16_t word16;
    memcpy(&word16, bytes, 2);
    if (got < 0x7FFFFFFC && word32 == 0xFFFE0000u) {
        m_sourceFormat = EXTF_UTF32_BE;
    } else if (got < 0x7FFFFFFC && word32 == 0x0000FEFFu) {
        m_sourceFormat = EXTF_UTF32_LE;
    } else if (word16 == 0xFFFE) {
        m_sourceFormat = EXTF_UTF16_BE;
    } else if (word16 == 0xFEFF) {
        m_sourceFormat = EXTF_UTF16_LE;
    } else {
        m_sourceFormat = EXTF_8BIT;
    }

    const bool bigEndian = m_sourceFormat == EXTF_UTF16_BE || m_sourceFormat == EXTF_UTF32_BE;
    if (m_sourceFormat == EXTF_UTF16_BE || m_sourceFormat == EXTF_UTF16_LE) {
        const int32_t count = int32_t((int64_t(got) + 4) / 2 - 1);
        const int32_t real = (got - 2 + 1) / 2;
        convertUnits(reinterpret_cast<uint16_t*>(bytes + 2), count, real, bigEndian);
    } else if (m_sourceFormat == EXTF_UTF32_BE || m_sourceFormat == EXTF_UTF32_LE) {
        const int32_t count = int32_t((int64_t(got) + 4) / 4 - 1);
        const int32_t real = got > 4 ? (got - 4 + 3) / 4 : 0;
        convertUnits(m_block + 1, count, real, bigEndian);
    } else if constexpr (sizeof(T) == 1) {
        m_textBegin = reinterpret_cast<const T*>(bytes);
        m_textSize = got + 4;
        m_textEnd = m_textBegin + got;
    } else {
        // 8-bit input widened byte by byte, each byte taken as signed.
        m_converted = new T[size_t(got) + 4];
        for (int32_t i = 0; i < got + 4; ++i) m_converted[i] = T(static_cast<signed char>(bytes[i]));
        m_textBegin = m_converted;
        m_textSize = got + 4;
        m_textEnd = m_textBegin + got;
        delete[] m_block;
        m_block = nullptr;
    }
}

template <class T, class B>
template <class U>
void CXMLReaderImpl<T, B>::convertUnits(const U* unitsIn, int32_t count, int32_t realCount, bool swap)
{
    U* units = const_cast<U*>(unitsIn);
    if (swap) {
        for (int32_t i = 0; i < count && units[i] != 0; ++i)
            units[i] = sizeof(U) == 2 ? U(swap16(uint16_t(units[i]))) : U(swap32(uint32_t(units[i])));
    }
    if constexpr (sizeof(T) == 4 && sizeof(U) == 4) {
        // Wide text from UTF-32 stays where it was read.
        m_textBegin = reinterpret_cast<const T*>(units);
    } else {
        m_converted = new T[size_t(count) + 1];
        for (int32_t i = 0; i < count; ++i) {
            if constexpr (sizeof(T) == 1)
                m_converted[i] = T(static_cast<unsigned char>(units[i] & 0xFF));
            else
                m_converted[i] = T(units[i]);  // zero extension
        }
        m_converted[count] = T(0);
        m_textBegin = m_converted;
        delete[] m_block;
        m_block = nullptr;
    }
    m_textSize = count;
    m_textEnd = m_textBegin + realCount;
}

template <class T, class B>
void CXMLReaderImpl<T, B>::createSpecialCharacterList()
{
    static const char* const kEntities[] = {"&amp;", "<lt;", ">gt;", "\"quot;", "'apos;"};
    for (const char* e : kEntities) {
        string_type s;
        for (const char* c = e; *c; ++c) s.push_back(T(*c));
        m_specialCharacters.push_back(std::move(s));
    }
}

template <class T, class B>
bool CXMLReaderImpl<T, B>::read()
{
    if (m_isEmptyElement) {
        m_nodeKind = EXNK_ELEMENT_END;
        m_isEmptyElement = false;
        m_attributeCount = 0;
        return true;
    }
    if (!m_p || m_p >= m_textEnd || *m_p == T(0)) return false;
    return parseCurrentNode();
}

template <class T, class B>
bool CXMLReaderImpl<T, B>::readToNextElement()
{
    while (true) {
        if (!read()) return false;
        if (m_nodeKind == EXNK_ELEMENT) return true;
    }
}

// Scans stop at a zero character as well as at what they look for. The text always ends in
// zeros, so no scan can run past it, and a zero inside the text ends the document there.

namespace {

struct SStopTable {
    bool stop[256] = {};
    constexpr SStopTable(const char* chars)
    {
        stop[0] = true;
        for (; *chars; ++chars) stop[static_cast<unsigned char>(*chars)] = true;
    }
};

constexpr SStopTable kNameStops(" \t\r\n>");
constexpr SStopTable kAttributeNameStops(" \t\r\n=");
constexpr SStopTable kQuoteStops("\"'");
constexpr SStopTable kTextStops("<");
constexpr SStopTable kDoubleQuotedStops("\"&");
constexpr SStopTable kSingleQuotedStops("'&");

template <class T>
bool stops(const SStopTable& table, T c)
{
    if constexpr (sizeof(T) == 1)
        return table.stop[static_cast<unsigned char>(c)];
    else
        return uint32_t(c) < 256 && table.stop[uint32_t(c)];
}

}  // namespace

template <class T, class B>
template <class Stops>
inline __attribute__((always_inline)) const T* CXMLReaderImpl<T, B>::scan(const T* p, Stops table)
{
    // Four at a time: a character is looked at only after the one before it did not stop the
    // scan, so the closing zero is never passed.
    for (;; p += 4) {
        if (stops(*table, p[0])) return p;
        if (stops(*table, p[1])) return p + 1;
        if (stops(*table, p[2])) return p + 2;
        if (stops(*table, p[3])) return p + 3;
    }
}

template <class T, class B>
void CXMLReaderImpl<T, B>::SText::grow(size_t n)
{
    size_t capacity = m_capacity ? m_capacity * 2 : 32;
    while (capacity < n) capacity *= 2;
    core::SAllocator<T> allocator;
    T* data = allocator.allocate(capacity + 1);
    for (size_t i = 0; i < m_size; ++i) data[i] = m_data[i];
    if (m_data) allocator.deallocate(m_data, m_capacity + 1);
    m_data = data;
    m_capacity = capacity;
}

template <class T, class B>
bool CXMLReaderImpl<T, B>::parseCurrentNode()
{
    const T* start = m_p;
    const T* p = scan(m_p, &kTextStops);
    m_p = p;

    if (p != start) {
        const ptrdiff_t n = p - start;
        bool dropped = false;
        if (n <= 2) {
            dropped = true;
            for (const T* c = start; c < p; ++c)
                if (!isWhiteSpace(*c)) dropped = false;
        }
        if (!dropped) {
            if (*p == T(0)) return false;  // text after the last tag is never reported
            m_nodeKind = EXNK_TEXT;
            replaceSpecialCharacters(start, p, m_text);
            m_nodeName = m_text.c_str();
            return true;
        }
    }
    if (*p == T(0)) return false;

    ++p;  // past '<'
    m_p = p;
    switch (*p) {
        case T('/'):
            parseClosingXMLElement();
            break;
        case T('?'):
            ignoreDefinition();
            break;
        case T('!'):
            if (p[1] == T('['))
                parseCDATA();
            else
                parseComment();
            break;
        default:
            parseOpeningXMLElement();  // also a lone '<' at the end: an element with no name
            break;
    }
    return true;
}

template <class T, class B>
void CXMLReaderImpl<T, B>::ignoreDefinition()
{
    m_nodeKind = EXNK_UNKNOWN;
    const T* p = m_p;
    while (*p != T('>') && *p != T(0)) ++p;
    m_p = *p ? p + 1 : p;
}

template <class T, class B>
void CXMLReaderImpl<T, B>::parseClosingXMLElement()
{
    m_nodeKind = EXNK_ELEMENT_END;
    m_isEmptyElement = false;
    m_attributeCount = 0;
    const T* begin = m_p + 1;  // past '/'
    const T* p = begin;
    while (*p != T('>') && *p != T(0)) ++p;
    m_p = *p ? p + 1 : p;
    m_nodeName = terminate(begin, p);
}

template <class T, class B>
void CXMLReaderImpl<T, B>::parseComment()
{
    m_nodeKind = EXNK_COMMENT;
    const T* bang = m_p;
    const T* p = bang + 1;
    int depth = 1;
    for (; *p != T(0); ++p) {
        if (*p == T('>')) {
            if (--depth == 0) break;
        } else if (*p == T('<')) {
            ++depth;
        }
    }
    // p is the closing '>' (or the end); the name lies between "!--" and "--".
    const T* begin = p - bang > 3 ? bang + 3 : p;
    const T* last = p - begin > 2 ? p - 2 : begin;
    m_p = *p ? p + 1 : p;
    m_nodeName = terminate(begin, last);
}

template <class T, class B>
void CXMLReaderImpl<T, B>::parseCDATA()
{
    m_nodeKind = EXNK_CDATA;
    const T* p = m_p;
    // "![CDATA[" is assumed, not checked.
    for (int i = 0; i < 8; ++i) {
        if (*p == T(0)) {
            m_p = p;
            return;
        }
        ++p;
    }
    const T* begin = p;
    for (; *p != T(0); ++p) {
        if (p[0] == T(']') && p[1] == T(']') && p[2] == T('>')) {
            m_p = p + 3;
            m_nodeName = terminate(begin, p);
            return;
        }
    }
    m_nodeName = kEmptyText;
    m_p = p;
}

template <class T, class B>
typename CXMLReaderImpl<T, B>::SAttribute& CXMLReaderImpl<T, B>::appendAttribute()
{
    if (size_t(m_attributeCount) == m_attributes.size()) m_attributes.emplace_back();
    return m_attributes[size_t(m_attributeCount++)];
}

template <class T, class B>
void CXMLReaderImpl<T, B>::parseOpeningXMLElement()
{
    m_nodeKind = EXNK_ELEMENT;
    m_isEmptyElement = false;
    m_attributeCount = 0;
    const T* p = m_p;
    const T* nameBegin = p;
    p = scan(p, &kNameStops);
    const T* nameEnd = p;

    while (*p != T('>') && *p != T(0)) {
        if (isWhiteSpace(*p)) {
            ++p;
            continue;
        }
        if (*p == T('/')) {
            ++p;
            m_isEmptyElement = true;
            break;
        }
        const T* attributeBegin = p;
        p = scan(p, &kAttributeNameStops);
        const T* attributeEnd = p;
        p = scan(p, &kQuoteStops);  // whatever stands between the name and the quote
        if (*p == T(0)) {           // the element ends here, its name unset
            m_p = p;
            return;
        }
        const T quote = *p++;
        const T* valueBegin = p;
        const SStopTable* valueStops = quote == T('"') ? &kDoubleQuotedStops : &kSingleQuotedStops;
        bool hasEntity = false;
        for (p = scan(p, valueStops); *p == T('&'); p = scan(p + 1, valueStops)) hasEntity = true;
        if (*p == T(0)) {
            m_p = p;
            return;
        }
        SAttribute& a = appendAttribute();
        a.Name = terminate(attributeBegin, attributeEnd);  // behind us now: the '=' or a space
        a.Value = hasEntity ? replaceInPlace(valueBegin, p) : terminate(valueBegin, p);
        ++p;  // past the closing quote
    }

    if (nameEnd > nameBegin && nameEnd[-1] == T('/')) {
        --nameEnd;
        m_isEmptyElement = true;
    }
    m_p = *p ? p + 1 : p;
    m_nodeName = terminate(nameBegin, nameEnd);
}

template <class T, class B>
void CXMLReaderImpl<T, B>::replaceSpecialCharacters(const T* begin, const T* end, SText& out) const
{
    const ptrdiff_t length = end - begin;
    const T* amp = findAmpersand(begin, end);
    if (amp == end) {
        out.assign(begin, end);
        return;
    }
    out.clear();
    const T* copied = begin;
    while (amp < end && (amp - begin) < length - 2) {
        // The first entry of the table whose name follows the '&' in full.
        const string_type* match = nullptr;
        for (const auto& entity : m_specialCharacters) {
            const size_t nameLength = entity.size() - 1;
            if (amp[1] != entity[1] || size_t(end - amp - 1) < nameLength) continue;
            size_t i = 1;
            while (i < nameLength && amp[1 + i] == entity[1 + i]) ++i;
            if (i == nameLength) {
                match = &entity;
                break;
            }
        }
        if (match) {
            out.append(copied, amp);
            out.push_back((*match)[0]);
            amp += match->size();
            copied = amp;
        } else {
            out.append(copied, amp + 1);
            copied = ++amp;
        }
        amp = findAmpersand(amp, end);
    }
    out.append(copied, end);
}

template <class T, class B>
const T* CXMLReaderImpl<T, B>::terminate(const T* begin, const T* end)
{
    *const_cast<T*>(end) = T(0);  // the text is the reader's own
    return begin;
}

template <class T, class B>
const T* CXMLReaderImpl<T, B>::replaceInPlace(const T* begin, const T* end) const
{
    // The same steps as replaceSpecialCharacters; the result is never longer than the text.
    T* out = const_cast<T*>(begin);
    const ptrdiff_t length = end - begin;
    const T* amp = findAmpersand(begin, end);
    const T* copied = begin;
    auto copy = [&out](const T* from, const T* to) {
        while (from < to) *out++ = *from++;
    };
    while (amp < end && (amp - begin) < length - 2) {
        const string_type* match = nullptr;
        for (const auto& entity : m_specialCharacters) {
            const size_t nameLength = entity.size() - 1;
            if (amp[1] != entity[1] || size_t(end - amp - 1) < nameLength) continue;
            size_t i = 1;
            while (i < nameLength && amp[1 + i] == entity[1 + i]) ++i;
            if (i == nameLength) {
                match = &entity;
                break;
            }
        }
        if (match) {
            copy(copied, amp);
            *out++ = (*match)[0];
            amp += match->size();
            copied = amp;
        } else {
            copy(copied, amp + 1);
            copied = ++amp;
        }
        amp = findAmpersand(amp, end);
    }
    copy(copied, end);
    *out = T(0);
    return begin;
}

template <class T, class B>
const T* CXMLReaderImpl<T, B>::findAmpersand(const T* begin, const T* end)
{
    if (end - begin < 32) {  // most texts are short: a call costs more than the search
        while (begin < end && *begin != T('&')) ++begin;
        return begin;
    }
    if constexpr (sizeof(T) == 1) {
        const void* amp = memchr(begin, '&', size_t(end - begin));
        return amp ? static_cast<const T*>(amp) : end;
    } else {
        while (begin < end && *begin != T('&')) ++begin;
        return begin;
    }
}

template <class T, class B>
const typename CXMLReaderImpl<T, B>::SAttribute* CXMLReaderImpl<T, B>::findAttribute(const T* name) const
{
    if (!name) return nullptr;
    for (int i = 0; i < m_attributeCount; ++i)
        if (sameText(m_attributes[size_t(i)].Name, name)) return &m_attributes[size_t(i)];
    return nullptr;
}

template <class T, class B>
const T* CXMLReaderImpl<T, B>::getAttributeName(int index) const
{
    if (index < 0 || index >= m_attributeCount) return nullptr;
    return m_attributes[size_t(index)].Name;
}

template <class T, class B>
const T* CXMLReaderImpl<T, B>::getAttributeValue(int index) const
{
    if (index < 0 || index >= m_attributeCount) return nullptr;
    return m_attributes[size_t(index)].Value;
}

template <class T, class B>
const T* CXMLReaderImpl<T, B>::getAttributeValue(const T* name) const
{
    const SAttribute* a = findAttribute(name);
    return a ? a->Value : nullptr;
}

template <class T, class B>
const T* CXMLReaderImpl<T, B>::getAttributeValueSafe(const T* name) const
{
    const SAttribute* a = findAttribute(name);
    return a ? a->Value : kEmptyText;
}

template <class T, class B>
float CXMLReaderImpl<T, B>::getAttributeValueAsFloat(const T* name) const
{
    const SAttribute* a = findAttribute(name);
    return a ? toFloatByAtof(a->Value) : 0.f;
}

template <class T, class B>
float CXMLReaderImpl<T, B>::getAttributeValueAsFloat(int index) const
{
    const T* value = getAttributeValue(index);
    return value ? toFloatByParser(value) : 0.f;
}

template <class T, class B>
int CXMLReaderImpl<T, B>::getAttributeValueAsInt(const T* name) const
{
    return core::truncateToInt(getAttributeValueAsFloat(name));
}

template <class T, class B>
int CXMLReaderImpl<T, B>::getAttributeValueAsInt(int index) const
{
    return core::truncateToInt(getAttributeValueAsFloat(index));
}

template class CXMLReaderImpl<char, IReferenceCounted>;
template class CXMLReaderImpl<wchar_t, IReferenceCounted>;

}  // namespace pravik::io
