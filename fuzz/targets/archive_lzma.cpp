// LZMA packs: the index, then every member decoded whole.

#include "fuzz/FuzzTarget.h"

#include "engine/io/CMemoryReadFile.h"

#include "engine/io/CZipLZMAReader.h"
#include "tests/engine/io/ArchiveBuilders.h"

#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > INT32_MAX) return 0;
    auto file = test::adopt(pravik::io::createMemoryReadFile(const_cast<uint8_t*>(data), int32_t(size), "fuzz.pak", false));
    const auto reader = test::adopt(new pravik::io::CZipLZMAReader(file.get(), false, false, 0));
    // By name, as the game opens members: the declared size is checked before it is allocated.
    for (const char* name : {"a.txt", "b.bin"})
        if (auto member = test::adopt(reader->openFile(name))) test::readAll(member.get());
    // Every record straight into a buffer of its declared size, when that size is modest.
    for (int32_t i = 0; i < reader->getRecordCount(); ++i) {
        const auto* record = reader->getRecord(i);
        const int32_t n = reader->GetDecompressedSize(record);
        if (n <= 0 || n > (1 << 20)) continue;
        std::vector<char> out(static_cast<size_t>(n));
        if (reader->Read(record, out.data(), n, 0)) fuzz::sum(out.data(), out.size());
    }
    return 0;
}

std::vector<std::string> fuzz::seeds() {
    return {test::LzmaPackBuilder().add("a.txt", "hello hello hello").add("b.bin", std::string(500, 'b')).bytes()};
}
