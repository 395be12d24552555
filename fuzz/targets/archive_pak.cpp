// Pak archives: the directory, then every member read to its end.

#include "fuzz/FuzzTarget.h"

#include "engine/io/CMemoryReadFile.h"

#include "engine/io/CPakReader.h"
#include "tests/engine/io/ArchiveBuilders.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > INT32_MAX) return 0;
    auto file = test::adopt(pravik::io::createMemoryReadFile(const_cast<uint8_t*>(data), int32_t(size), "fuzz.pak", false));
    const auto reader = test::adopt(new pravik::io::CPakReader(file.get(), true, false));
    for (int32_t i = 0; i < reader->getFileCount(); ++i)
        if (auto member = test::adopt(reader->openFile(i))) test::readAll(member.get());
    return 0;
}

std::vector<std::string> fuzz::seeds() {
    return {test::PakBuilder().add("a.txt", "hello").add("maps/b.bin", std::string(300, 'b')).bytes()};
}
