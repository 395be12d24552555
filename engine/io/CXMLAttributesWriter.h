#pragma once
// Writes a store as a block of wide XML: the enclosing element (default "attributes"), one empty
// element per attribute of the current context named by its type string, with "name" and "value"
// (a string array: "name", "count", value0, value1, ...), then each child context as a "group"
// element named after it. A context with an empty name gets no group element of its own.

#include "engine/io/IAttributesWriter.h"
#include "engine/io/IXMLWriter.h"

namespace pravik::io {

class CXMLAttributesWriter : public IAttributesWriter {
public:
    // writeHeader: the XML header first. elementName: kept, not copied; null means "attributes".
    CXMLAttributesWriter(IXMLWriter* writer, bool writeHeader, const wchar_t* elementName);
    ~CXMLAttributesWriter() override;
    CXMLAttributesWriter(const CXMLAttributesWriter&) = delete;
    CXMLAttributesWriter& operator=(const CXMLAttributesWriter&) = delete;

    // Writes the block; false when the XML writer reports a write error. The store's current
    // context is left where it was.
    bool write(IAttributes* attributes) override;

private:
    void writeGroup(IAttributes* attributes);

    IXMLWriter* m_writer;
    bool m_writeHeader;
    const wchar_t* m_elementName;
};

}  // namespace pravik::io
