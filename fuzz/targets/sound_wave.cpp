// The RIFF WAVE decoder (PCM, IMA and MS ADPCM): byte 0 chooses looping and the block size, the
// rest is the file.

#include "fuzz/FuzzTarget.h"
#include "fuzz/support/FuzzReaders.h"

#include "audio/decoders/DecoderMSWav.h"
#include "tools/formats/Wave.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::playSound(kez::DecoderMSWavFactory, data, size);
    return 0;
}

std::vector<std::string> fuzz::seeds() {
    std::vector<int16_t> samples;
    for (int i = 0; i < 2000; ++i) samples.push_back(int16_t(9000 * std::sin(i * 0.05)));
    return {'\0' + formats::wave::pcm16(samples, 1, 22050), '\x03' + formats::wave::pcm16(samples, 2, 32000),
            '\0' + formats::wave::imaAdpcm(samples, 1, 22050, 256), '\x01' + formats::wave::imaAdpcm(samples, 2, 22050, 512)};
}
