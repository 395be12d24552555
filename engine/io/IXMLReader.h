#pragma once
// The engine's pull parser for XML text, as an interface over the character type it hands out:
// `char` for 8-bit text, `wchar_t` (32-bit) for wide text. Readers are made over files by the
// two factories below (or by the file system) and step through the text one node at a time.

#include <cstdint>

#include "engine/IReferenceCounted.h"

namespace pravik::io {

class IReadFile;

enum E_XML_NODE_KIND {
    EXNK_NONE = 0,         // nothing read yet
    EXNK_ELEMENT = 1,      // a start tag, also of an empty element
    EXNK_ELEMENT_END = 2,  // an end tag, and the step after an empty element
    EXNK_TEXT = 3,
    EXNK_COMMENT = 4,
    EXNK_CDATA = 5,
    EXNK_UNKNOWN = 6  // the XML declaration and processing instructions
};

enum E_XML_TEXT_FORMAT {
    EXTF_8BIT = 0,  // no recognised byte-order mark: ASCII, Latin-1 or UTF-8 alike
    EXTF_UTF8 = 1,
    EXTF_UTF16_BE = 2,
    EXTF_UTF16_LE = 3,
    EXTF_UTF32_BE = 4,
    EXTF_UTF32_LE = 5
};

// The byte source of a reader.
class IFileReadCallBack {
public:
    virtual ~IFileReadCallBack() = default;
    virtual int32_t read(void* buffer, int32_t sizeToRead) = 0;  // bytes actually read
    virtual int32_t getSize() = 0;                               // bytes in the source
};

template <class T, class B = IReferenceCounted>
class IVuvXMLReader : public B {
public:
    virtual bool read() = 0;               // steps to the next node; false when there is none
    virtual bool readToNextElement() = 0;  // reads until a start tag; false at the end
    virtual E_XML_NODE_KIND getNodeType() const = 0;
    virtual int getAttributeCount() const = 0;                        // those of the last start tag
    virtual const T* getAttributeName(int index) const = 0;           // nullptr out of range
    virtual const T* getAttributeValue(int index) const = 0;          // nullptr out of range
    virtual const T* getAttributeValue(const T* name) const = 0;      // exact match, or nullptr
    virtual const T* getAttributeValueSafe(const T* name) const = 0;  // "" when missing
    virtual int getAttributeValueAsInt(const T* name) const = 0;      // 0 when missing
    virtual int getAttributeValueAsInt(int index) const = 0;
    virtual float getAttributeValueAsFloat(const T* name) const = 0;  // by atof
    virtual float getAttributeValueAsFloat(int index) const = 0;      // by the engine's parser
    virtual const T* getNodeName() const = 0;  // element name, or the text of text-like nodes
    virtual const T* getNodeData() const = 0;  // the same as getNodeName
    virtual bool isEmptyElement() const = 0;
    virtual E_XML_TEXT_FORMAT getSourceFormat() const = 0;  // what the input was found to be
    virtual E_XML_TEXT_FORMAT getParserFormat() const = 0;  // 1 narrow, 5 wide
};

using IXMLReader = IVuvXMLReader<wchar_t, IReferenceCounted>;
using IXMLReaderUTF8 = IVuvXMLReader<char, IReferenceCounted>;

// Readers over a file (which they read whole and release at once); nullptr for a null file.
// The caller drops the reader.
IXMLReader* createIXMLReader(IReadFile* file);
IXMLReaderUTF8* createIXMLReaderUTF8(IReadFile* file);

}  // namespace pravik::io
