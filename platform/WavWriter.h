#pragma once
// A 16-bit PCM WAV file written as data arrives: a 44-byte header (RIFF, "fmt " of 16 bytes,
// "data"), then the samples. The two sizes in the header are brought up to date after every
// append, so the file is complete at any moment, even when the program never closes it.

#include <cstdint>
#include <cstdio>
#include <string>

namespace platform {

class WavWriter {
public:
    WavWriter() = default;
    ~WavWriter();
    WavWriter(const WavWriter&) = delete;
    WavWriter& operator=(const WavWriter&) = delete;

    bool open(const std::string& path);         // creates or truncates; false when it cannot
    bool start(int32_t rate, int32_t voices);   // (re)starts the file with no samples
    bool append(const void* bytes, size_t size);  // false on a write error or past 4 GiB
    const std::string& path() const { return m_path; }

private:
    bool writeHeader();

    std::FILE* m_file = nullptr;
    std::string m_path;
    int32_t m_rate = 0;
    int32_t m_voices = 0;
    uint32_t m_dataBytes = 0;
};

}  // namespace platform
