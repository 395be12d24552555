#include "tests/audio/decoders/DecoderTestSupport.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "audio/KezMemory.h"
#include "audio/StreamCFile.h"
#include "audio/StreamMemoryBuffer.h"
#include "tests/support/TempDir.h"

namespace test {

StreamFixture StreamFixture::memory(const std::string& bytes) {
    StreamFixture f;
    kez::StreamMemoryBufferParams params;
    params.data = const_cast<char*>(bytes.data());
    params.size = int(bytes.size());
    params.copyData = true;
    f.m_stream = kez::StreamMemoryBufferFactory(&params);
    f.m_cursor = f.newCursor();
    return f;
}

StreamFixture StreamFixture::file(const std::string& path) {
    StreamFixture f;
    f.m_stream = kez::StreamCFileFactory(const_cast<char*>(path.c_str()));
    f.m_cursor = f.newCursor();
    return f;
}

StreamFixture::StreamFixture(StreamFixture&& other) noexcept
    : m_stream(other.m_stream), m_cursor(other.m_cursor) {
    other.m_stream = nullptr;
    other.m_cursor = nullptr;
}

StreamFixture::~StreamFixture() {
    if (m_stream) {
        m_stream->DestroyCursor(m_cursor);
        kez::KezDelete(m_stream);
    }
}

DecoderFixture::DecoderFixture(kez::DecoderFactory factory, const StreamFixture& source, void* params) {
    decoder = factory(params);
    if (decoder) cursor = decoder->CreateNewCursor(source.cursor());
}

DecoderFixture::~DecoderFixture() {
    if (decoder) decoder->DestroyCursor(cursor);
    kez::KezDelete(decoder);
}

std::string decodeAllBytes(kez::DecoderCursorInterface& cursor, int chunk, size_t maxBytes) {
    std::string out;
    std::string block(size_t(chunk), '\0');
    while (out.size() < maxBytes) {
        const int n = cursor.Decode(block.data(), chunk);
        if (n <= 0) break;
        out.append(block.data(), size_t(n));
    }
    return out;
}

std::vector<int16_t> decodeAll(kez::DecoderCursorInterface& cursor, int chunk, size_t maxBytes) {
    const std::string bytes = decodeAllBytes(cursor, chunk, maxBytes);
    std::vector<int16_t> samples(bytes.size() / 2);
    if (!samples.empty()) std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
    return samples;
}

bool haveTool(const char* name) {
    return std::system((std::string("command -v ") + name + " >/dev/null 2>&1").c_str()) == 0;
}

bool run(const std::string& commandLine) {
    return std::system((commandLine + " >/dev/null 2>&1").c_str()) == 0;
}

std::vector<int16_t> readRawS16(const std::string& path) {
    const std::string bytes = readFile(path);
    std::vector<int16_t> samples(bytes.size() / 2);
    std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
    return samples;
}

int maxDifference(const std::vector<int16_t>& a, const std::vector<int16_t>& b, size_t slack) {
    const size_t longer = std::max(a.size(), b.size());
    const size_t shorter = std::min(a.size(), b.size());
    if (longer - shorter > slack) return -1;
    int worst = 0;
    for (size_t i = 0; i < shorter; ++i) worst = std::max(worst, std::abs(int(a[i]) - int(b[i])));
    return worst;
}

size_t firstAbove(const std::vector<int16_t>& samples, int threshold) {
    for (size_t i = 0; i < samples.size(); ++i)
        if (std::abs(int(samples[i])) > threshold) return i;
    return samples.size();
}

}  // namespace test
