#pragma once
// What the targets share: each reader's result used whole, and seeds from outside encoders.

#include <cstddef>
#include <cstdint>
#include <string>

#include "audio/decoders/DecoderInterface.h"

namespace pravik::video {
class IImageLoader;
class CImage;
}  // namespace pravik::video

namespace fuzz {

// Loads the bytes as a file named `name` and reads every byte of every level and every pixel.
void loadImage(const pravik::video::IImageLoader& loader, const uint8_t* data, size_t size, const char* name);
uint32_t useImage(const pravik::video::CImage& image);

// Byte 0 chooses how to play (bit 0 loops, bits 1-3 the block size), the rest is the sound file:
// the cursor reads it to its end, rewinds, and loops a while. With lengthBound, a cursor that
// delivers more than its stated length is a finding (the module player renders to the song's
// end, which its length only estimates).
void playSound(kez::DecoderFactory factory, const uint8_t* data, size_t size, bool lengthBound = true);

// The bytes of a sound encoded by a command line ("%in" and "%out" replaced by paths) from a
// 0.3 s stereo WAVE written by the formats library; "" when the encoder is missing.
std::string encodeSound(const std::string& commandLine, const std::string& extension);

// The input in a temporary file of this process (for readers that only open paths).
std::string asFile(const uint8_t* data, size_t size, const char* extension);

}  // namespace fuzz

namespace fuzz {

// The input as item `row` of pack `folder` in a data folder of this process, which is the
// framework's resource context from the first call on; the pack is then open.
void openPackItem(const char* folder, int row, const uint8_t* data, size_t size);

}  // namespace fuzz
