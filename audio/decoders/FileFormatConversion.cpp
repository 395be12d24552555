#include "audio/decoders/FileFormatConversion.h"
#include "audio/KezEndian.h"

#include <cstdint>
#include <cstring>
#include <string>

#include "audio/FileSystemInterface.h"
#include "audio/KezMemory.h"
#include "audio/StreamCFile.h"
#include "audio/decoders/DecoderLog.h"
#include "audio/decoders/DecoderMPC8.h"
#include "audio/decoders/DecoderMSWav.h"
#include "audio/decoders/DecoderStbVorbis.h"
#include "audio/decoders/SoundExtension.h"

namespace kez {

namespace {

constexpr int kBlockBytes = 65536;
constexpr KezFileAccessMode kReadBinary{6};
constexpr KezFileAccessMode kReadWriteTruncate{10};
constexpr KezFileSeekOrigin kFromStart{0};
constexpr KezFileSeekOrigin kFromEnd{2};

std::string s_appDataFolder;
std::string s_saveFolder;

std::string below(const std::string& folder, const char* path) {
    if (folder.empty() || path[0] == '/') return path;
    return folder.back() == '/' ? folder + path : folder + '/' + path;
}

void put16(unsigned char* p, unsigned v) { p[0] = uint8_t(v); p[1] = uint8_t(v >> 8); }
void put32(unsigned char* p, uint32_t v) { put16(p, v & 0xffff); put16(p + 2, v >> 16); }

// The 44-byte header, as three records: RIFF (12), "fmt " (24), "data" head (8).
void makeHeader(unsigned char* h, int channels, int rate, uint32_t dataBytes) {
    std::memcpy(h, "RIFF", 4);
    put32(h + 4, dataBytes + 36);
    std::memcpy(h + 8, "WAVEfmt ", 8);
    put32(h + 16, 16);
    put16(h + 20, 1);
    put16(h + 22, unsigned(channels));
    put32(h + 24, uint32_t(rate));
    put32(h + 28, uint32_t(rate) * uint32_t(channels) * 2);
    put16(h + 32, unsigned(channels) * 2);
    put16(h + 34, 16);
    std::memcpy(h + 36, "data", 4);
    put32(h + 40, dataBytes);
}

// A good cache file of this sound: our header with the same shape, and sizes that match the file.
bool alreadyConverted(FileSystemInterface* fs, const std::string& path, int channels, int rate,
                      uint32_t expectedBytes) {
    FileInterface* file = fs->OpenFile(path.c_str(), kReadBinary);
    if (!file) return false;
    unsigned char have[44];
    bool good = false;
    if (file->Read(have, 1, 44) == 44 && file->Seek(0, kFromEnd) == 0) {
        const int64_t length = file->Tell();
        const uint32_t dataBytes = le32(have + 40);
        unsigned char want[44];
        makeHeader(want, channels, rate, dataBytes);
        good = std::memcmp(have, want, 44) == 0 && int64_t(dataBytes) + 44 == length &&
               dataBytes <= expectedBytes;
    }
    fs->CloseFile(file);
    return good;
}

}  // namespace

void FileFormatConversion::SetFolders(const char* appDataFolder, const char* saveFolder) {
    s_appDataFolder = appDataFolder ? appDataFolder : "";
    s_saveFolder = saveFolder ? saveFolder : "";
}

int FileFormatConversion::ConvertToWavPCM(const char* inputPath, const char* outputPath) {
    if (!inputPath || !outputPath) return -2;
    auto* work = static_cast<unsigned char*>(KezAlloc(kBlockBytes));
    if (!work) return -1;

    StreamInterface* stream = StreamCFileFactory(const_cast<char*>(inputPath));
    if (stream && stream->Size() <= 0 && !s_appDataFolder.empty() && inputPath[0] != '/') {
        KezDelete(stream);
        const std::string underApp = below(s_appDataFolder, inputPath);
        stream = StreamCFileFactory(const_cast<char*>(underApp.c_str()));
    }
    StreamCursorInterface* streamCursor = stream ? stream->CreateNewCursor() : nullptr;
    DecoderInterface* decoder = nullptr;
    DecoderCursorInterface* cursor = nullptr;
    FileSystemInterface* fs = nullptr;
    FileInterface* out = nullptr;
    int result = 0;
    auto release = [&] {
        KezFree(work);
        if (decoder) decoder->DestroyCursor(cursor);
        KezDelete(decoder);
        if (stream) stream->DestroyCursor(streamCursor);
        KezDelete(stream);
    };

    if (!streamCursor) {
        DecoderLog("convert: %s is missing or empty", inputPath);
        release();
        return -2;
    }
    switch (DecoderTypeFromExtension(inputPath)) {
    case 1: decoder = DecoderMSWavFactory(nullptr); break;
    case 2: decoder = DecoderStbVorbisFactory(nullptr); break;
    case 3: decoder = DecoderMPC8Factory(nullptr); break;
    default: break;
    }
    if (!decoder) {
        DecoderLog("convert: no decoder for %s", inputPath);
        release();
        return -3;
    }
    cursor = decoder->CreateNewCursor(streamCursor);
    const TrackParams params = cursor ? cursor->GetTrackParams() : TrackParams{};
    const bool eightBit = params.bitsPerSample == 8;
    // Each block asks for whole frames: a short answer is how the decoder says the sound ended.
    const int budget = eightBit ? kBlockBytes / 2 : kBlockBytes;
    const int frameBytes = params.channels * (eightBit ? 1 : 2);
    if (!cursor || params.channels <= 0 || params.sampleRate <= 0 ||
        (params.bitsPerSample != 16 && !eightBit) || frameBytes > budget) {
        DecoderLog("convert: %s did not decode", inputPath);
        release();
        return -4;
    }

    // 16-bit output whatever the input's width, so the header matches the samples.
    const uint64_t expected64 = uint64_t(uint32_t(params.numSamples)) * uint32_t(params.channels) * 2;
    const uint32_t expected = expected64 > 0x7fffffffu ? 0x7fffffffu : uint32_t(expected64);
    const std::string output = below(s_saveFolder, outputPath);
    fs = FileSystemInterface::GetInstance();
    if (fs && alreadyConverted(fs, output, params.channels, params.sampleRate, expected)) {
        release();
        return 0;
    }
    out = fs ? fs->OpenFile(output.c_str(), kReadWriteTruncate) : nullptr;
    if (!out) {
        DecoderLog("convert: cannot write %s", output.c_str());
        release();
        return -5;
    }

    unsigned char header[44];
    makeHeader(header, params.channels, params.sampleRate, expected);
    bool ok = out->Seek(0, kFromStart) == 0 && out->Write(header, 12, 1) == 1 &&
              out->Write(header + 12, 24, 1) == 1 && out->Write(header + 36, 8, 1) == 1;
    uint64_t written = 0;
    const int request = budget - budget % frameBytes;
    while (ok) {
        int n = cursor->Decode(work, request);
        if (n < 0) n = 0;
        const int got = n;
        if (eightBit) {
            for (int i = n - 1; i >= 0; --i) {  // unsigned 8-bit to signed 16-bit, in place
                const int16_t s = int16_t((int(work[i]) - 128) << 8);
                put16(work + 2 * i, uint16_t(s));
            }
            n *= 2;
        }
        if (n > 0 && out->Write(work, 1, n) != n) ok = false;
        written += uint64_t(n);
        if (written > 0x7fffffffu) ok = false;  // no cache file may outgrow its 32-bit sizes
        if (got < request) break;
    }
    if (ok && written != expected) {
        unsigned char size[4];
        put32(size, uint32_t(written) + 36);
        ok = out->Seek(4, kFromStart) == 0 && out->Write(size, 4, 1) == 1;
        put32(size, uint32_t(written));
        ok = ok && out->Seek(40, kFromStart) == 0 && out->Write(size, 4, 1) == 1;
    }
    release();
    if (!ok) {
        DecoderLog("convert: writing %s failed", output.c_str());
        out->Seek(0, kFromStart);
        out->Write("NULL", 1, 4);
        result = -6;
    }
    fs->CloseFile(out);
    return result;
}

}  // namespace kez
