// The sound archive ("3.bar"): the local-header walk or the appended member table; every member
// it lists must lie inside the file, and its bytes are read.

#include "fuzz/FuzzTarget.h"
#include "fuzz/support/FuzzReaders.h"

#include "audio/CZipReader.h"
#include "tools/formats/SoundArchive.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = fuzz::asFile(data, size, ".bar");
    kez::CZipReader reader(path.c_str(), true, false);
    for (const auto& [name, entry] : reader.Members()) {
        int offset = -1, length = -1;
        if (!reader.getFileInfo(name.c_str(), offset, length)) continue;
        if (offset < 0 || length < 0 || size_t(offset) > size || size_t(length) > size - size_t(offset)) std::abort();
        fuzz::sum(data + offset, size_t(length));
    }
    return 0;
}

std::vector<std::string> fuzz::seeds() {
    formats::SoundArchive archive;
    archive.add("3/sfx/a.wav", std::string(100, 'a'));
    archive.add("3/music/b.it", std::string(40, 'b'), formats::SoundArchive::kSignatureQL);
    archive.add("c.mpc", "ccc", formats::SoundArchive::kSignaturePK, 8);
    return {archive.bytes(false), archive.bytes(true)};
}
