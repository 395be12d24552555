// The Musepack decoder: byte 0 chooses looping and the block size, the rest is the file.

#include "fuzz/FuzzTarget.h"
#include "fuzz/support/FuzzReaders.h"

#include "audio/decoders/DecoderMPC8.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::playSound(kez::DecoderMPC8Factory, data, size);
    return 0;
}

std::vector<std::string> fuzz::seeds() {
    const std::string mpc = fuzz::encodeSound("mpcenc --silent --overwrite %in %out", ".mpc");
    if (mpc.empty()) return {};
    return {'\0' + mpc, '\x05' + mpc};
}
