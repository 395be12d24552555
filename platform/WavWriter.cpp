#include "platform/WavWriter.h"

#include <cstring>

namespace platform {

namespace {

void put16(uint8_t* p, uint32_t v)
{
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}

void put32(uint8_t* p, uint32_t v)
{
    put16(p, v);
    put16(p + 2, v >> 16);
}

constexpr uint32_t kHeaderBytes = 44;

}  // namespace

WavWriter::~WavWriter()
{
    if (m_file)
        std::fclose(m_file);
}

bool WavWriter::open(const std::string& path)
{
    if (m_file)
        std::fclose(m_file);
    m_path = path;
    m_file = std::fopen(path.c_str(), "wb");
    return m_file != nullptr;
}

bool WavWriter::start(int32_t rate, int32_t voices)
{
    if (!m_file || !(m_file = std::freopen(m_path.c_str(), "wb", m_file)))
        return false;
    m_rate = rate;
    m_voices = voices;
    m_dataBytes = 0;
    return writeHeader();
}

bool WavWriter::append(const void* bytes, size_t size)
{
    if (!m_file || m_rate <= 0)
        return false;
    if (size > UINT32_MAX - kHeaderBytes - m_dataBytes)
        return false;
    if (std::fseek(m_file, 0, SEEK_END) != 0 || std::fwrite(bytes, 1, size, m_file) != size)
        return false;
    m_dataBytes += uint32_t(size);
    return writeHeader();
}

bool WavWriter::writeHeader()
{
    const uint32_t blockAlign = uint32_t(m_voices) * 2;
    uint8_t h[kHeaderBytes];
    std::memcpy(h, "RIFF", 4);
    put32(h + 4, kHeaderBytes - 8 + m_dataBytes);
    std::memcpy(h + 8, "WAVEfmt ", 8);
    put32(h + 16, 16);
    put16(h + 20, 1);  // integer PCM
    put16(h + 22, uint32_t(m_voices));
    put32(h + 24, uint32_t(m_rate));
    put32(h + 28, uint32_t(m_rate) * blockAlign);
    put16(h + 32, blockAlign);
    put16(h + 34, 16);
    std::memcpy(h + 36, "data", 4);
    put32(h + 40, m_dataBytes);
    return std::fseek(m_file, 0, SEEK_SET) == 0 && std::fwrite(h, 1, sizeof h, m_file) == sizeof h &&
           std::fflush(m_file) == 0;
}

}  // namespace platform
