#pragma once
// Helpers of the decoder tests: streams over bytes or files, whole-sound decoding, external
// reference tools run in a temp dir, and little-endian WAVE fixtures built in code.

#include <cstdint>
#include <string>
#include <vector>

#include "audio/StreamInterface.h"
#include "audio/decoders/DecoderCursorInterface.h"
#include "audio/decoders/DecoderInterface.h"
#include "tools/formats/Bytes.h"
#include "tools/formats/Wave.h"

namespace test {

// A stream with one cursor; memory streams copy the given bytes.
class StreamFixture {
public:
    static StreamFixture memory(const std::string& bytes);
    static StreamFixture file(const std::string& path);
    StreamFixture(StreamFixture&& other) noexcept;
    ~StreamFixture();

    kez::StreamInterface* stream() const { return m_stream; }
    kez::StreamCursorInterface* cursor() const { return m_cursor; }
    kez::StreamCursorInterface* newCursor() const { return m_stream ? m_stream->CreateNewCursor() : nullptr; }

private:
    StreamFixture() = default;
    kez::StreamInterface* m_stream = nullptr;
    kez::StreamCursorInterface* m_cursor = nullptr;
};

// A decoder made by `factory` and one cursor on a fresh stream cursor of `source`.
struct DecoderFixture {
    DecoderFixture(kez::DecoderFactory factory, const StreamFixture& source, void* params = nullptr);
    ~DecoderFixture();
    DecoderFixture(const DecoderFixture&) = delete;
    DecoderFixture& operator=(const DecoderFixture&) = delete;

    kez::DecoderInterface* decoder = nullptr;
    kez::DecoderCursorInterface* cursor = nullptr;
};

// Decodes until Decode gives 0 (or `maxBytes`), in calls of `chunk` bytes.
std::vector<int16_t> decodeAll(kez::DecoderCursorInterface& cursor, int chunk = 4096,
                               size_t maxBytes = 64u << 20);
std::string decodeAllBytes(kez::DecoderCursorInterface& cursor, int chunk = 4096,
                           size_t maxBytes = 64u << 20);

// True when the program is on the PATH.
bool haveTool(const char* name);
// Runs a shell command line; true on exit status 0.
bool run(const std::string& commandLine);

// The 16-bit samples of a raw little-endian file.
std::vector<int16_t> readRawS16(const std::string& path);

// Largest absolute difference over the common length; -1 when the lengths differ by more than `slack`.
int maxDifference(const std::vector<int16_t>& a, const std::vector<int16_t>& b, size_t slack = 0);
// Offset (in samples) of the first absolute value above `threshold`; size() when none.
size_t firstAbove(const std::vector<int16_t>& samples, int threshold);

// WAVE fixtures are built piece by piece with the writers' byte assembly.
using formats::Bytes;
using formats::wave::fmtPayload;

}  // namespace test
