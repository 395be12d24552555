// Wide XML output. Characters go to the file 4 bytes each in the machine's order, which is
// little-endian on every target we build.

#include "engine/io/CXMLWriter.h"

#include <cwchar>

#include "engine/io/IWriteFile.h"
#include "engine/os/Printer.h"

namespace pravik::io {

namespace {

static_assert(sizeof(wchar_t) == 4, "the writer stores 32-bit characters");

struct SXMLWSChar {
    wchar_t Character;
    const wchar_t* Symbol;
};

const SXMLWSChar XMLWSChar[] = {
    {L'&', L"&amp;"}, {L'<', L"&lt;"}, {L'>', L"&gt;"}, {L'"', L"&quot;"}, {0, nullptr}};

}  // namespace

CXMLWriter::CXMLWriter(IWriteFile* file) : m_file(file)
{
    if (m_file) m_file->grab();
}

CXMLWriter::~CXMLWriter()
{
    if (m_file) m_file->drop();
}

void CXMLWriter::writeChars(const wchar_t* text, size_t count)
{
    if (!m_file || count == 0) return;
    const uint32_t bytes = uint32_t(count * sizeof(wchar_t));
    if (m_file->write(text, bytes) != int32_t(bytes) && !m_writeError) {
        m_writeError = true;
        os::Printer::log("XML writer: could not write to", m_file->getFileName(), ELL_ERROR);
    }
}

void CXMLWriter::writeChars(const wchar_t* text) { writeChars(text, wcslen(text)); }

void CXMLWriter::writeTabs(int32_t count)
{
    for (int32_t i = 0; i < count; ++i) writeChars(L"\t", 1);
}

void CXMLWriter::writeXMLHeader()
{
    if (!m_file) return;
    const wchar_t mark = wchar_t(0xFEFF);
    writeChars(&mark, 1);
    writeChars(L"<?xml version=\"1.0\"?>");
    writeLineBreak();
    m_textWrittenLast = false;
}

void CXMLWriter::writeElement(const wchar_t* name, bool empty, const wchar_t* attr1Name,
                              const wchar_t* attr1Value, const wchar_t* attr2Name, const wchar_t* attr2Value,
                              const wchar_t* attr3Name, const wchar_t* attr3Value, const wchar_t* attr4Name,
                              const wchar_t* attr4Value, const wchar_t* attr5Name, const wchar_t* attr5Value)
{
    if (!m_file || !name) return;
    writeTabs(m_depth);
    writeChars(L"<", 1);
    writeChars(name);
    writeAttribute(attr1Name, attr1Value);
    writeAttribute(attr2Name, attr2Value);
    writeAttribute(attr3Name, attr3Value);
    writeAttribute(attr4Name, attr4Value);
    writeAttribute(attr5Name, attr5Value);
    if (empty) {
        writeChars(L" />", 3);
    } else {
        writeChars(L">", 1);
        ++m_depth;
    }
    m_textWrittenLast = false;
}

void CXMLWriter::writeElement(const wchar_t* name, bool empty, const StringList& names,
                              const StringList& values)
{
    if (!m_file || !name) return;
    writeTabs(m_depth);
    writeChars(L"<", 1);
    writeChars(name);
    for (size_t i = 0; i < names.size() && i < values.size(); ++i)
        writeAttribute(names[i].c_str(), values[i].c_str());
    if (empty) {
        writeChars(L" />", 3);
    } else {
        writeChars(L">", 1);
        ++m_depth;
    }
    m_textWrittenLast = false;
}

void CXMLWriter::writeAttribute(const wchar_t* name, const wchar_t* value)
{
    if (!name || !value) return;
    writeChars(L" ", 1);
    writeChars(name);
    writeChars(L"=\"", 2);
    writeText(value);
    writeChars(L"\"", 1);
}

void CXMLWriter::writeComment(const wchar_t* comment)
{
    if (!m_file || !comment) return;
    writeChars(L"<!--", 4);
    writeText(comment);
    writeChars(L"-->", 3);
}

void CXMLWriter::writeClosingTag(const wchar_t* name)
{
    if (!m_file || !name) return;
    --m_depth;
    if (m_depth >= 1 && !m_textWrittenLast) writeTabs(m_depth);
    writeChars(L"</", 2);
    writeChars(name);
    writeChars(L">", 1);
    m_file->flush();
    m_textWrittenLast = false;
}

void CXMLWriter::writeText(const wchar_t* text)
{
    if (!m_file || !text) return;
    core::stringw escaped;
    for (const wchar_t* c = text; *c; ++c) {
        const SXMLWSChar* entry = XMLWSChar;
        while (entry->Character && entry->Character != *c) ++entry;
        if (entry->Character)
            escaped.append(entry->Symbol);
        else
            escaped.push_back(*c);
    }
    writeChars(escaped.data(), escaped.size());
    m_textWrittenLast = true;
}

void CXMLWriter::writeLineBreak()
{
    if (!m_file) return;
    writeChars(L"\n", 1);
}

}  // namespace pravik::io
