// The Ogg Vorbis decoder: byte 0 chooses looping and the block size, the rest is the file.

#include "fuzz/FuzzTarget.h"
#include "fuzz/support/FuzzReaders.h"

#include "audio/decoders/DecoderStbVorbis.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::playSound(kez::DecoderStbVorbisFactory, data, size);
    return 0;
}

std::vector<std::string> fuzz::seeds() {
    const std::string ogg = fuzz::encodeSound("oggenc -Q -q 0 -o %out %in", ".ogg");
    if (ogg.empty()) return {};
    return {'\0' + ogg, '\x07' + ogg};
}
