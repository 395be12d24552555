#pragma once
// The parsed description of a RIFF WAVE file, shared by every cursor of one decoder.
//
// Layout (little-endian): chunks of {id[4], u32 size, payload}, padded to even offsets. "RIFF"
// carries the form type "WAVE" and the sub-chunks follow; "fmt " holds tag u16, channels u16,
// rate u32, byte rate u32, block align u16, bits u16 and maybe an extension; "fact" holds the
// frame count u32; "data" chunks (one or more) hold the samples and play back to back.

#include <cstdint>

namespace kez {

// One "data" chunk: the stream offset of its 8-byte header and its payload size.
struct DataNode {
    int32_t offset = 0;
    int32_t size = 0;
    DataNode* next = nullptr;

    bool AddNode(int offset, int size);  // appends at the end of this list; false when out of memory
    void DropNodes();                    // frees every node after this one
};

struct WaveChunk {
    char riffId[4] = {};
    uint32_t riffSize = 0;
    char formType[4] = {};

    char fmtId[4] = {};
    uint32_t fmtSize = 0;
    uint16_t formatTag = 0;
    uint16_t channels = 0;
    uint32_t sampleRate = 0;
    uint32_t byteRate = 0;
    uint16_t blockAlign = 0;
    uint16_t bitsPerSample = 0;
    int32_t fmtOffset = -1;  // stream offset of the "fmt " payload; the MS ADPCM extension follows its 16 bytes

    char dataId[4] = {};
    uint32_t dataSize = 0;  // size of the last data chunk walked

    char factId[4] = {};
    uint32_t factSize = 0;
    uint32_t sampleCount = 0;
    bool hasFact = false;

    DataNode* dataList = nullptr;  // owned by the decoder

    bool IsWave() const;
};

}  // namespace kez
