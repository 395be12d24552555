#pragma once
// LZMA resource packs (little-endian):
//   0 record count n (int32)   4 n records {int32 name hash, uint32 position / 4, uint32 size}
//   then 12 bytes loaded with the index and never used.
// A member is an LZMA-alone stream at 4 x position: properties byte ((pb*5+lp)*9+lc, <= 224),
// dictionary size (unused), 64-bit uncompressed size (high word 0, low word not 0xFFFFFFFF),
// then LZMA data. Members are found by the hash of "res\" + the name lower-cased with '/' turned
// into '\', never by comparing names. The index and every member are checked against the pack
// size; a member must decode to exactly its declared size.

#include "engine/IReferenceCounted.h"
#include "engine/core/pravikString.h"
#include "engine/io/IReadFile.h"

#include <cstdint>

namespace pravik::io {

class CZipLZMAReader : public IReferenceCounted {
public:
    struct PakEntry {
        int32_t hash;
        uint32_t position;  // in 4-byte units
        uint32_t size;      // bytes, header included; 2^31 or more is invalid
    };

    struct CRangeDecoder {
        const unsigned char* buffer = nullptr;
        const unsigned char* bufferLim = nullptr;
        uint32_t range = 0;
        uint32_t code = 0;
        int32_t extraBytes = 0;  // set once a read went past the end of the input
    };

    enum { LZMA_RESULT_OK = 0, LZMA_RESULT_DATA_ERROR = 1, LZMA_RESULT_NOT_ENOUGH_MEM = 2 };

    // keeps its own reference; the flags and pool value are accepted for a common signature
    CZipLZMAReader(IReadFile* file, bool ignoreCase, bool ignorePaths, uint32_t poolValue);
    CZipLZMAReader(const char* fileName, bool ignoreCase, bool ignorePaths, uint32_t poolValue);
    ~CZipLZMAReader() override;

    virtual IReadFile* openFile(const char* name);  // the decoded member in memory, or null
    int32_t findFile(const char* name) const;       // 1 for a stored-form key or a plain name, else -1
    bool Open(const char* name);                    // loads the index; false when it cannot
    const PakEntry* FindRecord(const char* key) const;  // first record in file order, or null
    int32_t GetRecordSize(const PakEntry* record) const;  // -1 for null
    int32_t GetDecompressedSize(const PakEntry* record) const;  // 0 when unknown or unreadable
    bool Read(const PakEntry* record, void* out, int32_t outSize, int32_t extraOffset);
    void SetAppDirectory(const char* dir);
    void setMounted(bool mounted) { m_mounted = mounted ? 1 : 0; }
    IReadFile* getArchiveFile() const { return m_file; }
    int32_t getRecordCount() const { return m_recordsLoaded ? m_count : 0; }
    const PakEntry* getRecord(int32_t index) const;  // file order; null past the end

    static int32_t ComputeHash(const char* key);
    static core::stringc makeKey(const char* name);  // "res\" + lower-cased, '\'-separated name

    // The decoder: the standard LZMA algorithm with the whole output as its dictionary.
    static void RangeDecoderInit(CRangeDecoder* rd, const unsigned char* stream, uint32_t size);
    static uint32_t RangeDecoderReadByte(CRangeDecoder* rd);
    static uint32_t RangeDecoderBitDecode(uint16_t* prob, CRangeDecoder* rd);
    static uint32_t RangeDecoderDecodeDirectBits(CRangeDecoder* rd, int numTotalBits);
    static uint32_t RangeDecoderBitTreeDecode(uint16_t* probs, int numLevels, CRangeDecoder* rd);
    static uint32_t RangeDecoderReverseBitTreeDecode(uint16_t* probs, int numLevels,
                                                     CRangeDecoder* rd);
    static uint8_t LzmaLiteralDecode(uint16_t* probs, CRangeDecoder* rd);
    static uint8_t LzmaLiteralDecodeMatch(uint16_t* probs, CRangeDecoder* rd, uint8_t matchByte);
    static uint32_t LzmaLenDecode(uint16_t* probs, CRangeDecoder* rd, int posState);
    static int LzmaDecode(uint8_t* probs, uint32_t probsSize, int lc, int lp, int pb,
                          const uint8_t* in, uint32_t inSize, uint8_t* out, uint32_t outSize,
                          uint32_t* outProduced);
    static uint32_t probabilityCount(int lc, int lp) { return 1846u + (768u << (lc + lp)); }

private:
    IReadFile* m_file = nullptr;  // counted
    int32_t m_count = 0;
    struct PackState {
        int32_t open = 0;
        unsigned char* index = nullptr;  // 12 n + 16 bytes, malloc'd
    };
    PackState* m_state = nullptr;
    bool m_recordsLoaded = false;
    char m_appDirectory[256] = {};
    uint8_t m_mounted = 0;
};

}  // namespace pravik::io
