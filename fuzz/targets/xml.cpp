// The XML reader, narrow and wide, over the same bytes: every node, name, value and attribute.

#include "fuzz/FuzzTarget.h"

#include "engine/io/CMemoryReadFile.h"
#include "engine/io/IXMLReader.h"
#include "tests/engine/io/ArchiveBuilders.h"

#include <cstring>
#include <cwchar>

namespace {

template <class T>
size_t length(const T* s) {
    if (!s) return 0;
    size_t n = 0;
    while (s[n]) ++n;
    return n;
}

template <class Reader>
void walk(Reader* reader) {
    if (!reader) return;
    for (int nodes = 0; nodes < 100000 && reader->read(); ++nodes) {
        fuzz::sum(reader->getNodeName(), length(reader->getNodeName()) * sizeof(*reader->getNodeName()));
        for (int i = 0; i < reader->getAttributeCount(); ++i) {
            fuzz::sum(reader->getAttributeName(i), length(reader->getAttributeName(i)) * sizeof(*reader->getAttributeName(i)));
            fuzz::sum(reader->getAttributeValue(i), length(reader->getAttributeValue(i)) * sizeof(*reader->getAttributeValue(i)));
            reader->getAttributeValueAsFloat(i);
            reader->getAttributeValueAsInt(i);
        }
        reader->isEmptyElement();
    }
    reader->drop();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > INT32_MAX) return 0;
    auto file = test::adopt(pravik::io::createMemoryReadFile(const_cast<uint8_t*>(data), int32_t(size), "fuzz.xml", false));
    walk(pravik::io::createIXMLReaderUTF8(file.get()));
    file->seek(0, false);
    walk(pravik::io::createIXMLReader(file.get()));
    return 0;
}

std::vector<std::string> fuzz::seeds() {
    const std::string doc = "<?xml version=\"1.0\"?>\n<!-- c --><root a=\"1\" b='x &amp; y'>text<e f=\"2.5\"/>"
                            "<![CDATA[raw <data>]]></root>\n";
    std::string utf16 = "\xFF\xFE";
    for (char c : doc) utf16 += std::string{c, '\0'};
    return {doc, "\xEF\xBB\xBF" + doc, utf16};
}
