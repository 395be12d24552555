// The tracker-module decoder: byte 0 chooses looping and the block size, the rest is the module.

#include "fuzz/FuzzTarget.h"
#include "fuzz/support/FuzzReaders.h"

#include "audio/decoders/DecoderMod.h"
#include "tools/formats/TrackerModule.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::playSound(kez::DecoderModFactory, data, size, false);
    return 0;
}

std::vector<std::string> fuzz::seeds() {
    return {'\0' + formats::tracker::tinyProTrackerModule()};
}
