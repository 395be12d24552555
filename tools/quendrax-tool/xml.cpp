// `xml [--narrow] FILE`: the XML reader's node stream, one node a line. The first line names the
// format the input was found in. Characters print as UTF-8 (the narrow reader's bytes as they
// are), with quotes, backslashes and control characters escaped, so each node stays on its line.

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "Tool.h"
#include "engine/io/CReadFile.h"
#include "engine/io/IXMLReader.h"

using namespace pravik::io;

namespace {

void appendUtf8(std::string& out, uint32_t c)
{
    if (c < 0x80) {
        out.push_back(char(c));
    } else if (c < 0x800) {
        out.push_back(char(0xC0 | (c >> 6)));
        out.push_back(char(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(char(0xE0 | (c >> 12)));
        out.push_back(char(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(char(0x80 | (c & 0x3F)));
    } else {
        out.push_back(char(0xF0 | (c >> 18)));
        out.push_back(char(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(char(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(char(0x80 | (c & 0x3F)));
    }
}

template <class T>
std::string quoted(const T* text)
{
    std::string out = "\"";
    for (; text && *text; ++text) {
        const uint32_t c = sizeof(T) == 1 ? uint8_t(*text) : uint32_t(*text);
        char escape[16];
        if (c == '"' || c == '\\') {
            out.push_back('\\');
            out.push_back(char(c));
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c < 0x20 || c == 0x7F || (sizeof(T) == 4 && c > 0x10FFFF)) {
            snprintf(escape, sizeof escape, "\\x{%X}", c);
            out += escape;
        } else if (sizeof(T) == 1) {
            out.push_back(char(c));  // bytes pass through: UTF-8 stays UTF-8
        } else {
            appendUtf8(out, c);
        }
    }
    return out + "\"";
}

const char* formatName(E_XML_TEXT_FORMAT format)
{
    switch (format) {
        case EXTF_8BIT:
            return "8-bit";
        case EXTF_UTF8:
            return "UTF-8";
        case EXTF_UTF16_BE:
            return "UTF-16BE";
        case EXTF_UTF16_LE:
            return "UTF-16LE";
        case EXTF_UTF32_BE:
            return "UTF-32BE";
        case EXTF_UTF32_LE:
            return "UTF-32LE";
    }
    return "?";
}

template <class T>
void printNodes(IVuvXMLReader<T, pravik::IReferenceCounted>& reader)
{
    static const char* const kKinds[] = {"none", "element", "end", "text", "comment", "cdata", "unknown"};
    printf("format %s\n", formatName(reader.getSourceFormat()));
    while (reader.read()) {
        std::string line = kKinds[reader.getNodeType()];
        line += " " + quoted(reader.getNodeName());
        if (reader.getNodeType() == EXNK_ELEMENT) {
            for (int i = 0; i < reader.getAttributeCount(); ++i)
                line += " " + quoted(reader.getAttributeName(i)) + "=" + quoted(reader.getAttributeValue(i));
            if (reader.isEmptyElement()) line += " empty";
        }
        puts(line.c_str());
    }
}

int runXml(std::span<char* const> args)
{
    bool narrow = false;
    const char* path = nullptr;
    for (char* const arg : args) {
        if (!strcmp(arg, "--narrow"))
            narrow = true;
        else if (!path)
            path = arg;
        else
            return tool::fail("xml", "usage: xml [--narrow] FILE");
    }
    if (!path) return tool::fail("xml", "usage: xml [--narrow] FILE");
    IReadFile* file = createReadFile(path);
    if (!file) return tool::fail("xml", std::string("cannot open ") + path);
    if (narrow) {
        IXMLReaderUTF8* reader = createIXMLReaderUTF8(file);
        printNodes(*reader);
        reader->drop();
    } else {
        IXMLReader* reader = createIXMLReader(file);
        printNodes(*reader);
        reader->drop();
    }
    file->drop();
    return 0;
}

const tool::ToolCommand kXml("xml", "[--narrow] FILE    the XML reader's node stream, one node a line",
                             runXml);

}  // namespace
