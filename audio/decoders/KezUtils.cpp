#include "audio/decoders/KezUtils.h"

#include <algorithm>

#include "audio/FileSystemInterface.h"
#include "audio/KezEngine.h"
#include "audio/KezMemory.h"
#include "audio/StreamMemoryBuffer.h"
#include "audio/decoders/DecoderLog.h"
#include "audio/decoders/SoundExtension.h"

namespace kez {

namespace {

constexpr KezFileAccessMode kReadBinary{6};
constexpr int kReadStep = 65536;

}  // namespace

DataHandle KezUtils::LoadDataSourceFromFile(const char* path, int decoderType, int group) {
    if (!path) return DataHandle();
    return KezEngine::GetKezEngine()->LoadDataSource(1, const_cast<char*>(path), decoderType, nullptr, group);
}

DataHandle KezUtils::LoadDataSourceFromFileToRAM(const char* path, int decoderType, int group) {
    FileSystemInterface* fs = FileSystemInterface::GetInstance();
    FileInterface* file = fs && path ? fs->OpenFile(path, kReadBinary) : nullptr;
    if (!file) return DataHandle();
    int size = -1;
    if (file->Seek(0, KezFileSeekOrigin{2}) == 0) size = file->Tell();
    if (size < 1 || file->Seek(0, KezFileSeekOrigin{0}) != 0) {
        fs->CloseFile(file);
        return DataHandle();
    }
    auto* buffer = static_cast<unsigned char*>(KezAlloc(unsigned(size)));
    if (!buffer) {
        fs->CloseFile(file);
        return DataHandle();
    }
    int done = 0;
    for (;;) {
        const int n = file->Read(buffer + done, 1, std::min(kReadStep, size - done));
        if (n <= 0) break;
        done += n;
    }
    fs->CloseFile(file);
    if (done != size) {
        DecoderLog("load: %s read %d of %d bytes", path, done, size);
        KezFree(buffer);
        return DataHandle();
    }
    StreamMemoryBufferParams params;
    params.data = buffer;
    params.size = size;
    params.copyData = false;
    params.transferOwnership = true;  // the memory stream frees it
    return KezEngine::GetKezEngine()->LoadDataSource(0, &params, decoderType, nullptr, group);
}

DataHandle KezUtils::LoadDataSourceFromFileAsRAW(const char* path, int decoderType, int group) {
    DataHandle streamed = LoadDataSourceFromFile(path, decoderType, group);
    KezEngine* engine = KezEngine::GetKezEngine();
    if (!engine->IsValid(streamed)) return DataHandle();
    DataHandle raw = engine->ConvertToRawSource(streamed);
    engine->ReleaseDatasource(streamed);
    return raw;
}

DataHandle KezUtils::LoadDataSourceFromFileEx(const char* path, int decoderType, KezSourceLoadingFlags flags,
                                              int group) {
    if (!path) return DataHandle();
    if (flags & 0x10000)
        return KezEngine::GetKezEngine()->LoadDataSourceAsync(1, const_cast<char*>(path), decoderType, nullptr,
                                                              group, KezSourceLoadingFlags(flags & 0xffff));
    if (flags & 0x1) return LoadDataSourceFromFileToRAM(path, decoderType, group);
    if (flags == 2) return LoadDataSourceFromFileAsRAW(path, decoderType, group);
    return LoadDataSourceFromFile(path, decoderType, group);
}

DataHandle KezUtils::LoadDataSourceFromFileAutoDetectDecoderEx(const char* path, int group,
                                                               KezSourceLoadingFlags flags, DataHandleUserData*) {
    const int type = DecoderTypeFromExtension(path);
    if (type < 0) return DataHandle();
    return LoadDataSourceFromFileEx(path, type, flags, group);
}

DataHandle KezUtils::LoadDataSourceFromFileAutoDetectDecoder(const char* path, int group) {
    const int type = DecoderTypeFromExtension(path);
    if (type < 0) return DataHandle();
    return LoadDataSourceFromFile(path, type, group);
}

}  // namespace kez
