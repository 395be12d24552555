// Attribute blocks written as wide XML.

#include "engine/io/CXMLAttributesWriter.h"

#include "engine/core/TextForms.h"
#include "engine/io/IAttributes.h"

namespace pravik::io {

CXMLAttributesWriter::CXMLAttributesWriter(IXMLWriter* writer, bool writeHeader, const wchar_t* elementName)
    : m_writer(writer), m_writeHeader(writeHeader), m_elementName(elementName)
{
    if (m_writer) m_writer->grab();
}

CXMLAttributesWriter::~CXMLAttributesWriter()
{
    if (m_writer) m_writer->drop();
}

bool CXMLAttributesWriter::write(IAttributes* attributes)
{
    if (!m_writer) return false;
    if (m_writeHeader) m_writer->writeXMLHeader();
    const wchar_t* elementName = m_elementName ? m_elementName : L"attributes";
    m_writer->writeElement(elementName, false);
    m_writer->writeLineBreak();
    writeGroup(attributes);
    m_writer->writeClosingTag(elementName);
    m_writer->writeLineBreak();
    return !m_writer->hasWriteError();
}

void CXMLAttributesWriter::writeGroup(IAttributes* attributes)
{
    const core::stringc group = attributes->getGroupName();
    if (!group.empty()) {
        m_writer->writeElement(L"group", false, L"name", core::stringc2stringw(group).c_str());
        m_writer->writeLineBreak();
    }

    for (int i = 0; i < attributes->getAttributeCount(); ++i) {
        const char* rawName = attributes->getAttributeName(i);
        const core::stringw name = core::stringc2stringw(rawName ? rawName : "");
        if (attributes->getAttributeType(i) == EAK_STRINGWARRAY) {
            const StringWArray strings = attributes->getArray(i);
            IXMLWriter::StringList keys, values;
            keys.emplace_back(L"name");
            values.push_back(name);
            keys.emplace_back(L"count");
            values.push_back(core::stringc2stringw(core::intToText(int(strings.size()))));
            for (size_t s = 0; s < strings.size(); ++s) {
                keys.push_back(L"value" + core::stringc2stringw(core::intToText(int(s))));
                values.push_back(strings[s]);
            }
            m_writer->writeElement(attributes->getAttributeTypeString(i), true, keys, values);
        } else {
            const core::stringw value = attributes->getStringW(i);
            m_writer->writeElement(attributes->getAttributeTypeString(i), true, L"name", name.c_str(),
                                   L"value", value.c_str());
        }
        m_writer->writeLineBreak();
    }

    const unsigned groups = attributes->getGroupsCount();
    for (unsigned j = 0; j < groups; ++j) {
        attributes->setGroup(j);
        writeGroup(attributes);
        attributes->pop();
    }

    if (!group.empty()) {
        m_writer->writeClosingTag(L"group");
        m_writer->writeLineBreak();
    }
}

}  // namespace pravik::io
