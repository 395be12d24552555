#pragma once
// The pull parser behind both XML reader instances. The whole input is read at construction,
// UTF-16 and UTF-32 are recognised by their byte-order marks and converted to the instance's
// characters (units truncated to 8 bits for `char`, 8-bit bytes sign-extended for `wchar_t`; no
// UTF-8 decoding anywhere), and the text is then parsed in place: names and values are ended
// with a zero where they stand, so the pointers the getters return are valid until the next read.
// Every scan is bounded by the end of what was read, so truncated markup yields the nodes read
// so far and never looks past the buffer. Nothing is validated; malformed input gives odd nodes.

#include <cstdint>
#include <string>
#include <vector>

#include "engine/core/SAllocator.h"
#include "engine/io/IXMLReader.h"

namespace pravik::io {

template <class T, class B = IReferenceCounted>
class CXMLReaderImpl : public IVuvXMLReader<T, B> {
public:
    // source may be null (no text); deleteSource: delete it once its bytes are read.
    CXMLReaderImpl(IFileReadCallBack* source, bool deleteSource);
    ~CXMLReaderImpl() override;
    CXMLReaderImpl(const CXMLReaderImpl&) = delete;
    CXMLReaderImpl& operator=(const CXMLReaderImpl&) = delete;

    bool read() override;
    bool readToNextElement() override;
    E_XML_NODE_KIND getNodeType() const override { return m_nodeKind; }
    int getAttributeCount() const override { return m_attributeCount; }
    const T* getAttributeName(int index) const override;
    const T* getAttributeValue(int index) const override;
    const T* getAttributeValue(const T* name) const override;
    const T* getAttributeValueSafe(const T* name) const override;
    int getAttributeValueAsInt(const T* name) const override;
    int getAttributeValueAsInt(int index) const override;
    float getAttributeValueAsFloat(const T* name) const override;
    float getAttributeValueAsFloat(int index) const override;
    const T* getNodeName() const override { return m_nodeName; }
    const T* getNodeData() const override { return m_nodeName; }
    bool isEmptyElement() const override { return m_isEmptyElement; }
    E_XML_TEXT_FORMAT getSourceFormat() const override { return m_sourceFormat; }
    E_XML_TEXT_FORMAT getParserFormat() const override { return m_parserFormat; }

private:
    // A zero-terminated text in a buffer that only grows, so that stepping through a document
    // stops allocating once the longest text node has been seen.
    class SText {
    public:
        SText() = default;
        SText(SText&& o) noexcept : m_data(o.m_data), m_size(o.m_size), m_capacity(o.m_capacity)
        {
            o.m_data = nullptr;
            o.m_size = o.m_capacity = 0;
        }
        SText(const SText&) = delete;
        SText& operator=(const SText&) = delete;
        ~SText() { core::SAllocator<T>().deallocate(m_data, m_capacity + 1); }

        void assign(const T* begin, const T* end)
        {
            m_size = 0;
            append(begin, end);
        }
        void append(const T* begin, const T* end)
        {
            const size_t n = size_t(end - begin);
            if (!m_data || m_size + n > m_capacity) grow(m_size + n);
            if (n) std::char_traits<T>::copy(m_data + m_size, begin, n);
            m_size += n;
            m_data[m_size] = T(0);
        }
        void push_back(T c) { append(&c, &c + 1); }
        void clear() { assign(nullptr, nullptr); }
        const T* c_str() const { return m_data ? m_data : kEmpty; }
        size_t size() const { return m_size; }

    private:
        static constexpr T kEmpty[1] = {T(0)};
        void grow(size_t n);

        T* m_data = nullptr;
        size_t m_size = 0;
        size_t m_capacity = 0;  // characters, the terminator not counted
    };

    // Names and values point into the text, where the parser ends each with a zero once it has
    // passed it; only text nodes are copied out, since their end is the next tag's '<'.
    struct SAttribute {
        const T* Name;
        const T* Value;
    };
    static constexpr T kEmptyText[1] = {T(0)};

    void loadText(IFileReadCallBack* source);
    template <class U>
    void convertUnits(const U* units, int32_t count, int32_t realCount, bool swap);
    void createSpecialCharacterList();

    bool parseCurrentNode();
    void parseOpeningXMLElement();
    void parseClosingXMLElement();
    void parseComment();
    void parseCDATA();
    void ignoreDefinition();
    void replaceSpecialCharacters(const T* begin, const T* end, SText& out) const;
    const T* replaceInPlace(const T* begin, const T* end) const;  // ends the result with a zero
    static const T* terminate(const T* begin, const T* end);      // writes the zero at end
    SAttribute& appendAttribute();
    const SAttribute* findAttribute(const T* name) const;
    template <class Stops>
    static const T* scan(const T* p, Stops stops);
    static const T* findAmpersand(const T* begin, const T* end);

    uint32_t* m_block = nullptr;  // the bytes as read; owned
    T* m_converted = nullptr;     // the text after conversion, when it needed a block of its own
    const T* m_p = nullptr;       // next character to parse
    const T* m_textBegin = nullptr;
    const T* m_textEnd = nullptr;  // first of the zero characters that close the text
    int32_t m_textSize = 0;        // characters from text begin, the closing zeros included
    E_XML_NODE_KIND m_nodeKind = EXNK_NONE;
    E_XML_TEXT_FORMAT m_sourceFormat = EXTF_8BIT;
    E_XML_TEXT_FORMAT m_parserFormat;
    const T* m_nodeName = kEmptyText;
    SText m_text;  // the last text node
    bool m_isEmptyElement = false;
    using string_type = std::basic_string<T, std::char_traits<T>, core::SAllocator<T>>;
    std::vector<string_type, core::SAllocator<string_type>> m_specialCharacters;  // replacement, name, ';'
    std::vector<SAttribute, core::SAllocator<SAttribute>> m_attributes;  // slots reused from tag to tag
    int m_attributeCount = 0;
};

extern template class CXMLReaderImpl<char, IReferenceCounted>;
extern template class CXMLReaderImpl<wchar_t, IReferenceCounted>;

}  // namespace pravik::io
