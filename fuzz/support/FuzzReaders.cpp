#include "fuzz/support/FuzzReaders.h"

#include "fuzz/FuzzTarget.h"

#include "audio/decoders/DecoderCursorInterface.h"
#include "audio/KezMemory.h"
#include "audio/StreamMemoryBuffer.h"
#include "engine/io/CMemoryReadFile.h"
#include "engine/video/image/CImage.h"
#include "engine/video/image/IImageLoader.h"
#include "engine/video/image/pixel_format.h"
#include "framework/ViDuz.h"
#include "tests/framework/DataDir.h"
#include "tools/formats/PackFolderWriter.h"
#include "tools/formats/Wave.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace fuzz {

uint32_t useImage(const pravik::video::CImage& image) {
    uint32_t s = sum(image.getData(), image.getImageDataSizeInBytes());
    for (unsigned level = 1; level <= image.getMipMapCount(); ++level) {
        const auto d = image.getDimension(level);
        // A level's size follows from its dimension and format; the image must hold it.
        if (const void* p = image.getMipMapData(level))
            s += sum(p, pravik::video::pixel_format::computeSizeInBytes(image.getColorFormat(), unsigned(d.Width),
                                                                        unsigned(d.Height)));
    }
    const auto d = image.getDimension();
    for (int y = 0; y < d.Height; ++y)
        for (int x = 0; x < d.Width; ++x) s += image.getPixel(unsigned(x), unsigned(y)).toWord();
    return s;
}

void loadImage(const pravik::video::IImageLoader& loader, const uint8_t* data, size_t size, const char* name) {
    if (size > INT32_MAX) return;
    pravik::io::IReadFile* file =
        pravik::io::createMemoryReadFile(const_cast<uint8_t*>(data), int32_t(size), name, false);
    // The content check reads the outside bytes too: it runs even where the name alone would do.
    const bool byContent = loader.isALoadableFileFormat(file);
    if (byContent || loader.isALoadableFileExtension(name)) {
        file->seek(0, false);
        if (pravik::video::CImagePtr image = loader.loadImage(file)) useImage(*image);
    }
    file->drop();
}

void playSound(kez::DecoderFactory factory, const uint8_t* data, size_t size, bool lengthBound) {
    if (size < 1 || size > INT32_MAX) return;
    const bool loop = data[0] & 1;
    const int block = 64 << ((data[0] >> 1) & 7);  // 64 .. 8192 bytes
    kez::StreamMemoryBufferParams params;
    params.data = reinterpret_cast<char*>(const_cast<uint8_t*>(data + 1));
    params.size = int(size - 1);
    params.copyData = false;
    kez::StreamInterface* stream = kez::StreamMemoryBufferFactory(&params);
    kez::StreamCursorInterface* streamCursor = stream->CreateNewCursor();
    kez::DecoderInterface* decoder = factory(nullptr);
    kez::DecoderCursorInterface* cursor = decoder->CreateNewCursor(streamCursor);
    const kez::TrackParams p = cursor->GetTrackParams();
    // Every sample delivered is read; no cursor delivers more than its stated length.
    const int64_t stated = int64_t(std::max(p.numSamples, 0)) * std::max(p.channels, 0) * 2;
    std::vector<char> out(static_cast<size_t>(block));
    cursor->SetLoop(loop);
    int64_t delivered = 0;
    for (int calls = 0; calls < 1024 && (loop ? delivered < 2 * stated + block : true); ++calls) {
        const int n = cursor->Decode(out.data(), block);
        if (n < 0 || n > block) std::abort();
        if (n == 0 && !loop) break;
        sum(out.data(), size_t(n));
        delivered += n;
        if (lengthBound && !loop && delivered > stated) std::abort();
        if (n == 0 && !cursor->HasData()) break;
    }
    cursor->HasData();
    if (cursor->Seek(0) == 0) cursor->Decode(out.data(), block);
    cursor->Seek(1);
    decoder->DestroyCursor(cursor);
    kez::KezDelete(decoder);
    stream->DestroyCursor(streamCursor);
    kez::KezDelete(stream);
}

std::string encodeSound(const std::string& commandLine, const std::string& extension) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / ("quendrax-fuzz-seed-" + std::to_string(getpid()));
    fs::create_directories(dir);
    std::vector<int16_t> samples;
    for (int i = 0; i < 9600; ++i) {
        const double t = i / 32000.0;
        samples.push_back(int16_t(8000 * std::sin(2 * M_PI * 440 * t)));
        samples.push_back(int16_t(6000 * std::sin(2 * M_PI * (300 + 2000 * t) * t)));
    }
    const fs::path in = dir / "in.wav", out = dir / ("out" + extension);
    {
        std::ofstream f(in, std::ios::binary);
        const std::string wave = formats::wave::pcm16(samples, 2, 32000);
        f.write(wave.data(), std::streamsize(wave.size()));
    }
    std::string line = commandLine;
    line.replace(line.find("%in"), 3, in.string());
    line.replace(line.find("%out"), 4, out.string());
    std::string bytes;
    if (std::system((line + " >/dev/null 2>&1").c_str()) == 0) {
        std::ifstream f(out, std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
    }
    fs::remove_all(dir);
    return bytes;
}

namespace {

// The one temporary file of this process, removed at exit.
struct TempFile {
    std::string path;
    ~TempFile() {
        if (!path.empty()) std::filesystem::remove(path);
    }
};

}  // namespace

std::string asFile(const uint8_t* data, size_t size, const char* extension) {
    static TempFile temp;
    if (temp.path.empty())
        temp.path = (std::filesystem::temp_directory_path() /
                     ("quendrax-fuzz-" + std::to_string(getpid()) + extension)).string();
    const std::string& file = temp.path;
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), std::streamsize(size));
    return file;
}

void openPackItem(const char* folder, int row, const uint8_t* data, size_t size) {
    static test::DataDir dir;
    ViDuz::Pack_Close();
    if (!formats::packs::WriteItem(dir.root(), folder, row, std::vector<uint8_t>(data, data + size))) std::abort();
    ViDuz::Pack_Open(folder);
}

}  // namespace fuzz
