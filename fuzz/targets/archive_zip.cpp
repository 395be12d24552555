// ZIP archives: the directory, then every member read to its end.

#include "fuzz/FuzzTarget.h"

#include "engine/io/CMemoryReadFile.h"

#include "engine/io/CZipReader.h"
#include "tests/engine/io/ArchiveBuilders.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > INT32_MAX) return 0;
    auto file = test::adopt(pravik::io::createMemoryReadFile(const_cast<uint8_t*>(data), int32_t(size), "fuzz.zip", false));
    // Both local-header signatures the reader accepts, as the game mounts its archives.
    const auto reader = test::adopt(new pravik::io::CZipReader(file.get(), true, false, 1));
    for (int32_t i = 0; i < reader->getFileCount(); ++i) {
        reader->findFile(reader->getFileInfo(i)->simpleFileName.c_str());
        if (auto member = test::adopt(reader->openFile(i))) test::readAll(member.get());
    }
    return 0;
}

std::vector<std::string> fuzz::seeds() {
    return {test::ZipBuilder().add("a.txt", "hello").add("dir/b.bin", std::string(300, 'b'), true).bytes(),
            test::ZipBuilder().add("c", "stored").signature(0x504d4247).bytes()};
}
