#pragma once
// RIFF WAVE files as the audio engine reads them: 16-bit PCM, and IMA ADPCM (format tag 0x11) in
// blocks with a "fact" chunk holding the frame count, which the decoder requires.

#include <cstdint>
#include <string>
#include <vector>

namespace formats::wave {

// The 16-byte "fmt " payload.
std::string fmtPayload(unsigned tag, unsigned channels, uint32_t rate, unsigned blockAlign, unsigned bits);
// "RIFF", the size, then the body (which starts with "WAVE").
std::string riff(const std::string& body);

// Interleaved 16-bit samples as a PCM WAVE file.
std::string pcm16(const std::vector<int16_t>& samples, unsigned channels, uint32_t rate);

// Frames held by one IMA ADPCM block of `blockAlign` bytes.
int imaFramesPerBlock(unsigned channels, unsigned blockAlign);
// Interleaved samples encoded as IMA ADPCM; the last block is padded with silence, the fact chunk
// keeps the true length. blockAlign must exceed 4 x channels and leave whole 4-byte groups.
std::string imaAdpcm(const std::vector<int16_t>& samples, unsigned channels, uint32_t rate,
                     unsigned blockAlign = 512);

}  // namespace formats::wave
