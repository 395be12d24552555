#pragma once
// XML as 32-bit characters stored little-endian, with tab indentation by nesting depth. A short
// write is logged once and remembered (hasWriteError), so a damaged file never looks saved.

#include <cstdint>

#include "engine/io/IXMLWriter.h"

namespace pravik::io {

class IWriteFile;

class CXMLWriter : public IXMLWriter {
public:
    explicit CXMLWriter(IWriteFile* file);  // keeps its own reference; null makes a writer of nothing
    ~CXMLWriter() override;
    CXMLWriter(const CXMLWriter&) = delete;
    CXMLWriter& operator=(const CXMLWriter&) = delete;

    void writeXMLHeader() override;
    void writeElement(const wchar_t* name, bool empty = false, const wchar_t* attr1Name = nullptr,
                      const wchar_t* attr1Value = nullptr, const wchar_t* attr2Name = nullptr,
                      const wchar_t* attr2Value = nullptr, const wchar_t* attr3Name = nullptr,
                      const wchar_t* attr3Value = nullptr, const wchar_t* attr4Name = nullptr,
                      const wchar_t* attr4Value = nullptr, const wchar_t* attr5Name = nullptr,
                      const wchar_t* attr5Value = nullptr) override;
    void writeElement(const wchar_t* name, bool empty, const StringList& names,
                      const StringList& values) override;
    void writeComment(const wchar_t* comment) override;
    void writeClosingTag(const wchar_t* name) override;
    void writeText(const wchar_t* text) override;
    void writeLineBreak() override;
    bool hasWriteError() const override { return m_writeError; }

private:
    void writeAttribute(const wchar_t* name, const wchar_t* value);
    void writeChars(const wchar_t* text, size_t count);
    void writeChars(const wchar_t* text);
    void writeTabs(int32_t count);

    IWriteFile* m_file;
    int32_t m_depth = 0;
    bool m_textWrittenLast = false;
    bool m_writeError = false;
};

}  // namespace pravik::io
