#pragma once
// Reads an attribute block of wide XML into a store: inside the enclosing element (default
// "attributes"), one element per attribute named by its type string with "name" and "value",
// and nested "group" elements for child contexts. vector2d, the integer vectors, light and
// userPointer elements are skipped; binary elements are read back from their hexadecimal text.
// A closing group with no opening one is ignored, and a string array's "count" is capped by
// the XML attributes the element really has.

#include "engine/io/IAttributesReader.h"
#include "engine/io/IXMLReader.h"

namespace pravik::io {

class CXMLAttributesReader : public IAttributesReader {
public:
    // startCheck: read insists that the reader stands on the enclosing element.
    // elementName: kept, not copied (it must outlive this object); null means "attributes".
    CXMLAttributesReader(IXMLReader* reader, bool startCheck, const wchar_t* elementName);
    ~CXMLAttributesReader() override;
    CXMLAttributesReader(const CXMLAttributesReader&) = delete;
    CXMLAttributesReader& operator=(const CXMLAttributesReader&) = delete;

    // Clears the store and fills it; false only when the start check fails. Leaves the reader
    // on the enclosing end tag, or at the end of the input, and the store at its root.
    bool read(IAttributes* attributes) override;

private:
    void readAttributeFromXML(IAttributes* attributes);

    IXMLReader* m_reader;
    bool m_startCheck;
    const wchar_t* m_elementName;
};

}  // namespace pravik::io
