#pragma once
// Loading a data source from a file path: streamed from the file, read whole into memory,
// decoded to raw PCM, or asynchronously; optionally with the decoder chosen by the extension
// ("wav" 1, "ogg" 2, "mpc" 3, "kzn" 4). Every failure gives an invalid handle.
//
// Flags: bit 0x10000 loads asynchronously (the low 16 bits go on); else bit 0x1 reads the file
// into memory; else exactly 2 decodes to raw PCM; anything else streams from the file.

#include "audio/Handle.h"
#include "audio/KezEngineInternal.h"

namespace kez {

struct DataHandleUserData;

class KezUtils {
public:
    static DataHandle LoadDataSourceFromFile(const char* path, int decoderType, int group);
    static DataHandle LoadDataSourceFromFileToRAM(const char* path, int decoderType, int group);
    static DataHandle LoadDataSourceFromFileAsRAW(const char* path, int decoderType, int group);
    static DataHandle LoadDataSourceFromFileEx(const char* path, int decoderType, KezSourceLoadingFlags flags,
                                               int group);
    static DataHandle LoadDataSourceFromFileAutoDetectDecoderEx(const char* path, int group,
                                                                KezSourceLoadingFlags flags,
                                                                DataHandleUserData* userData);  // not used
    static DataHandle LoadDataSourceFromFileAutoDetectDecoder(const char* path, int group);
};

}  // namespace kez
