// Attribute blocks of wide XML read into a store; every attribute of every group is then read
// back as text, which walks each kind's own conversion.

#include "fuzz/FuzzTarget.h"

#include "engine/io/CAttributes.h"
#include "engine/io/CMemoryReadFile.h"
#include "engine/io/CMemoryWriteFile.h"
#include "engine/io/CXMLAttributesReader.h"
#include "engine/io/CXMLAttributesWriter.h"
#include "engine/io/CXMLWriter.h"
#include "tests/engine/io/ArchiveBuilders.h"

namespace {

using namespace pravik;
using namespace pravik::io;

void readEverything(IAttributes& store, int depth) {
    for (int i = 0; i < store.getAttributeCount(); ++i) {
        const core::stringc text = store.getString(i);
        fuzz::sum(text.c_str(), text.size());
        const core::stringw wide = store.getStringW(store.getAttributeName(i));
        fuzz::sum(wide.c_str(), wide.size() * sizeof(wchar_t));
        store.getInt(i);
        store.getFloat(i);
    }
    if (depth > 64) return;
    for (unsigned g = 0; g < store.getGroupsCount(); ++g) {
        store.setGroup(g);
        readEverything(store, depth + 1);
        store.pop();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > INT32_MAX) return 0;
    auto file = test::adopt(createMemoryReadFile(const_cast<uint8_t*>(data), int32_t(size), "fuzz.xml", false));
    auto reader = test::adopt(createIXMLReader(file.get()));
    auto store = test::adopt(new CAttributes(nullptr));
    if (reader) {
        CXMLAttributesReader attributes(reader.get(), false, nullptr);
        attributes.read(store.get());
    }
    readEverything(*store, 0);
    return 0;
}

std::vector<std::string> fuzz::seeds() {
    auto store = test::adopt(new CAttributes(nullptr));
    store->addString("title", L"caf\u00E9");
    store->addInt("n", 7);
    store->addFloat("f", 2.5f);
    store->addBool("b", true);
    const char data[] = {1, 2, 3, 4, 5};
    store->addBinary("bin", data, 5);
    store->addStringAsFloat("sf", L"1.5");
    store->push("group");
    store->addString("inner", "x");
    store->pop();
    auto out = test::adopt(new CMemoryWriteFile());
    {
        auto writer = test::adopt(new CXMLWriter(out.get()));
        CXMLAttributesWriter attributes(writer.get(), true, nullptr);
        attributes.write(store.get());
    }
    return {std::string(reinterpret_cast<const char*>(out->getBuffer()), out->getBufferSize())};
}
