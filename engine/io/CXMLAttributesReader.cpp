// Attribute blocks read from wide XML.

#include "engine/io/CXMLAttributesReader.h"

#include <cwchar>

#include "engine/core/TextForms.h"
#include "engine/io/IAttributes.h"

namespace pravik::io {

namespace {

bool same(const wchar_t* a, const wchar_t* b) { return a && b && wcscmp(a, b) == 0; }

}  // namespace

CXMLAttributesReader::CXMLAttributesReader(IXMLReader* reader, bool startCheck, const wchar_t* elementName)
    : m_reader(reader), m_startCheck(startCheck), m_elementName(elementName)
{
    if (m_reader) m_reader->grab();
}

CXMLAttributesReader::~CXMLAttributesReader()
{
    if (m_reader) m_reader->drop();
}

bool CXMLAttributesReader::read(IAttributes* attributes)
{
    attributes->clear();
    if (!m_reader) return false;
    const wchar_t* elementName = m_elementName ? m_elementName : L"attributes";
    if (m_startCheck && !same(m_reader->getNodeName(), elementName)) return false;

    // Groups opened inside this block; a closing group beyond them would leave the root.
    int openGroups = 0;
    while (m_reader->read()) {
        switch (m_reader->getNodeType()) {
            case EXNK_ELEMENT:
                if (same(m_reader->getNodeName(), L"group")) ++openGroups;
                readAttributeFromXML(attributes);
                break;
            case EXNK_ELEMENT_END:
                if (same(m_reader->getNodeName(), elementName)) return true;
                if (same(m_reader->getNodeName(), L"group") && openGroups > 0) {
                    --openGroups;
                    attributes->pop();
                }
                break;
            default:
                break;
        }
    }
    // A block cut short leaves the store at its root all the same.
    for (; openGroups > 0; --openGroups) attributes->pop();
    return true;
}

void CXMLAttributesReader::readAttributeFromXML(IAttributes* attributes)
{
    const core::stringw element = m_reader->getNodeName();
    const core::stringc name = core::string2stringc(m_reader->getAttributeValue(L"name"));
    const wchar_t* valueText = m_reader->getAttributeValue(L"value");
    const wchar_t* value = valueText ? valueText : L"";
    const char* n = name.c_str();

    if (element == L"group") {
        attributes->push(n);
    } else if (element == L"enum") {
        attributes->addEnum(n, core::string2stringc(value).c_str(), nullptr, false);
    } else if (element == L"color") {
        attributes->addStringAsColor(n, value, false);
    } else if (element == L"colorf") {
        attributes->addStringAsColorf(n, value, false);
    } else if (element == L"float") {
        attributes->addStringAsFloat(n, value, false);
    } else if (element == L"int") {
        attributes->addStringAsInt(n, value, false);
    } else if (element == L"bool") {
        attributes->addStringAsBool(n, value, false);
    } else if (element == L"string") {
        attributes->addString(n, value, false);
    } else if (element == L"texture") {
        attributes->addStringAsTexture(n, value, false);
    } else if (element == L"vector3d") {
        attributes->addStringAsVector3d(n, value, false);
    } else if (element == L"vector4d") {
        attributes->addStringAsVector4d(n, value, false);
    } else if (element == L"position") {
        attributes->addStringAsPosition2d(n, value, false);
    } else if (element == L"rect") {
        attributes->addStringAsRect(n, value, false);
    } else if (element == L"matrix") {
        attributes->addStringAsMatrix(n, value, false);
    } else if (element == L"quaternion") {
        attributes->addStringAsQuaternion(n, value, false);
    } else if (element == L"box3d") {
        attributes->addStringAsBox3d(n, value, false);
    } else if (element == L"plane") {
        attributes->addStringAsPlane3d(n, value, false);
    } else if (element == L"triangle") {
        attributes->addStringAsTriangle3d(n, value, false);
    } else if (element == L"line2d") {
        attributes->addStringAsLine2d(n, value, false);
    } else if (element == L"line3d") {
        attributes->addStringAsLine3d(n, value, false);
    } else if (element == L"stringwarray") {
        // Never more strings than the element has attributes to hold them.
        int count = m_reader->getAttributeValueAsInt(L"count");
        if (count > m_reader->getAttributeCount()) count = m_reader->getAttributeCount();
        StringWArray strings;
        for (int i = 0; i < count; ++i) {
            const core::stringw key = L"value" + core::stringc2stringw(core::intToText(i));
            const wchar_t* s = m_reader->getAttributeValue(key.c_str());
            strings.emplace_back(s ? s : L"");
        }
        attributes->addArray(n, strings, false);
    } else if (element == L"binary") {
        attributes->addStringAsBinary(n, value, false);
    }
}

}  // namespace pravik::io
