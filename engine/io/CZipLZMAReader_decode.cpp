// The LZMA decoder of the resource packs: range decoder, literal, length and distance coders.
// The whole output is the dictionary, so every distance is checked against what was produced.

#include "engine/io/CZipLZMAReader.h"

namespace pravik::io {

namespace {

constexpr int kNumBitModelTotalBits = 11;
constexpr uint32_t kBitModelTotal = 1u << kNumBitModelTotalBits;
constexpr int kNumMoveBits = 5;
constexpr uint32_t kTopValue = 1u << 24;

constexpr int kNumPosBitsMax = 4;
constexpr int kNumStates = 12;
constexpr int kNumLitStates = 7;
constexpr int kLenNumLowBits = 3;
constexpr int kLenNumMidBits = 3;
constexpr int kLenNumHighBits = 8;
constexpr int kLenChoice = 0;
constexpr int kLenChoice2 = 1;
constexpr int kLenLow = 2;
constexpr int kLenMid = kLenLow + (1 << kNumPosBitsMax << kLenNumLowBits);
constexpr int kLenHigh = kLenMid + (1 << kNumPosBitsMax << kLenNumMidBits);
constexpr int kNumLenProbs = kLenHigh + (1 << kLenNumHighBits);

constexpr int kNumPosSlotBits = 6;
constexpr int kNumLenToPosStates = 4;
constexpr int kStartPosModelIndex = 4;
constexpr int kEndPosModelIndex = 14;
constexpr int kNumFullDistances = 1 << (kEndPosModelIndex / 2);
constexpr int kNumAlignBits = 4;
constexpr int kMatchMinLen = 2;

constexpr int kIsMatch = 0;
constexpr int kIsRep = kIsMatch + (kNumStates << kNumPosBitsMax);
constexpr int kIsRepG0 = kIsRep + kNumStates;
constexpr int kIsRepG1 = kIsRepG0 + kNumStates;
constexpr int kIsRepG2 = kIsRepG1 + kNumStates;
constexpr int kIsRep0Long = kIsRepG2 + kNumStates;
constexpr int kPosSlot = kIsRep0Long + (kNumStates << kNumPosBitsMax);
constexpr int kSpecPos = kPosSlot + (kNumLenToPosStates << kNumPosSlotBits);
constexpr int kAlign = kSpecPos + kNumFullDistances - kEndPosModelIndex;
constexpr int kLenCoder = kAlign + (1 << kNumAlignBits);
constexpr int kRepLenCoder = kLenCoder + kNumLenProbs;
constexpr int kLiteral = kRepLenCoder + kNumLenProbs;
static_assert(kLiteral == 1846);

}  // namespace

void CZipLZMAReader::RangeDecoderInit(CRangeDecoder* rd, const unsigned char* stream, uint32_t size)
{
    rd->buffer = stream;
    rd->bufferLim = stream + size;
    rd->extraBytes = 0;
    rd->code = 0;
    rd->range = 0xFFFFFFFFu;
    for (int i = 0; i < 5; ++i)
        rd->code = (rd->code << 8) | RangeDecoderReadByte(rd);
}

uint32_t CZipLZMAReader::RangeDecoderReadByte(CRangeDecoder* rd)
{
    if (rd->buffer == rd->bufferLim) {
        rd->extraBytes = 1;
        return 0xFF;
    }
    return *rd->buffer++;
}

uint32_t CZipLZMAReader::RangeDecoderBitDecode(uint16_t* prob, CRangeDecoder* rd)
{
    const uint32_t bound = (rd->range >> kNumBitModelTotalBits) * *prob;
    uint32_t bit;
    if (rd->code < bound) {
        rd->range = bound;
        *prob = uint16_t(*prob + ((kBitModelTotal - *prob) >> kNumMoveBits));
        bit = 0;
    } else {
        rd->range -= bound;
        rd->code -= bound;
        *prob = uint16_t(*prob - (*prob >> kNumMoveBits));
        bit = 1;
    }
    while (rd->range < kTopValue) {
        rd->range <<= 8;
        rd->code = (rd->code << 8) | RangeDecoderReadByte(rd);
    }
    return bit;
}

uint32_t CZipLZMAReader::RangeDecoderDecodeDirectBits(CRangeDecoder* rd, int numTotalBits)
{
    uint32_t result = 0;
    for (int i = 0; i < numTotalBits; ++i) {
        rd->range >>= 1;
        uint32_t bit = 0;
        if (rd->code >= rd->range) {
            rd->code -= rd->range;
            bit = 1;
        }
        result = (result << 1) | bit;
        while (rd->range < kTopValue) {
            rd->range <<= 8;
            rd->code = (rd->code << 8) | RangeDecoderReadByte(rd);
        }
    }
    return result;
}

uint32_t CZipLZMAReader::RangeDecoderBitTreeDecode(uint16_t* probs, int numLevels,
                                                   CRangeDecoder* rd)
{
    uint32_t m = 1;
    for (int i = 0; i < numLevels; ++i)
        m = (m << 1) | RangeDecoderBitDecode(probs + m, rd);
    return m - (1u << numLevels);
}

uint32_t CZipLZMAReader::RangeDecoderReverseBitTreeDecode(uint16_t* probs, int numLevels,
                                                          CRangeDecoder* rd)
{
    uint32_t m = 1, symbol = 0;
    for (int i = 0; i < numLevels; ++i) {
        const uint32_t bit = RangeDecoderBitDecode(probs + m, rd);
        m = (m << 1) | bit;
        symbol |= bit << i;
    }
    return symbol;
}

uint8_t CZipLZMAReader::LzmaLiteralDecode(uint16_t* probs, CRangeDecoder* rd)
{
    uint32_t symbol = 1;
    do
        symbol = (symbol << 1) | RangeDecoderBitDecode(probs + symbol, rd);
    while (symbol < 0x100);
    return uint8_t(symbol);
}

uint8_t CZipLZMAReader::LzmaLiteralDecodeMatch(uint16_t* probs, CRangeDecoder* rd,
                                               uint8_t matchByte)
{
    uint32_t symbol = 1;
    do {
        const uint32_t matchBit = (matchByte >> 7) & 1;
        matchByte = uint8_t(matchByte << 1);
        const uint32_t bit = RangeDecoderBitDecode(probs + 0x100 + (matchBit << 8) + symbol, rd);
        symbol = (symbol << 1) | bit;
        if (matchBit != bit) {
            while (symbol < 0x100)
                symbol = (symbol << 1) | RangeDecoderBitDecode(probs + symbol, rd);
            break;
        }
    } while (symbol < 0x100);
    return uint8_t(symbol);
}

uint32_t CZipLZMAReader::LzmaLenDecode(uint16_t* probs, CRangeDecoder* rd, int posState)
{
    if (RangeDecoderBitDecode(probs + kLenChoice, rd) == 0)
        return RangeDecoderBitTreeDecode(probs + kLenLow + (posState << kLenNumLowBits),
                                         kLenNumLowBits, rd);
    if (RangeDecoderBitDecode(probs + kLenChoice2, rd) == 0)
        return (1u << kLenNumLowBits) +
               RangeDecoderBitTreeDecode(probs + kLenMid + (posState << kLenNumMidBits),
                                         kLenNumMidBits, rd);
    return (1u << kLenNumLowBits) + (1u << kLenNumMidBits) +
           RangeDecoderBitTreeDecode(probs + kLenHigh, kLenNumHighBits, rd);
}

int CZipLZMAReader::LzmaDecode(uint8_t* probBuffer, uint32_t probsSize, int lc, int lp, int pb,
                               const uint8_t* in, uint32_t inSize, uint8_t* out, uint32_t outSize,
                               uint32_t* outProduced)
{
    *outProduced = 0;
    if (lc < 0 || lc > 8 || lp < 0 || lp > 4 || pb < 0 || pb > 4)
        return LZMA_RESULT_DATA_ERROR;
    const uint32_t numProbs = probabilityCount(lc, lp);
    if (probsSize < numProbs * sizeof(uint16_t))
        return LZMA_RESULT_NOT_ENOUGH_MEM;
    auto* p = reinterpret_cast<uint16_t*>(probBuffer);
    for (uint32_t i = 0; i < numProbs; ++i)
        p[i] = kBitModelTotal >> 1;

    CRangeDecoder rd;
    RangeDecoderInit(&rd, in, inSize);

    const uint32_t posStateMask = (1u << pb) - 1;
    const uint32_t literalPosMask = (1u << lp) - 1;
    int state = 0;
    // Distances are kept plus one, so that the end marker (0xFFFFFFFF) wraps to 0.
    uint32_t rep0 = 1, rep1 = 1, rep2 = 1, rep3 = 1;
    uint8_t previousByte = 0;
    uint32_t nowPos = 0;

    while (nowPos < outSize) {
        if (rd.extraBytes)
            return LZMA_RESULT_DATA_ERROR;
        const int posState = int(nowPos & posStateMask);
        if (RangeDecoderBitDecode(p + kIsMatch + (state << kNumPosBitsMax) + posState, &rd) == 0) {
            uint16_t* probs = p + kLiteral +
                              0x300 * (((nowPos & literalPosMask) << lc) +
                                       (uint32_t(previousByte) >> (8 - lc)));
            if (state >= kNumLitStates)
                previousByte = LzmaLiteralDecodeMatch(probs, &rd, out[nowPos - rep0]);
            else
                previousByte = LzmaLiteralDecode(probs, &rd);
            out[nowPos++] = previousByte;
            state = state < 4 ? 0 : state < 10 ? state - 3 : state - 6;
            continue;
        }
        uint32_t len;
        if (RangeDecoderBitDecode(p + kIsRep + state, &rd) == 1) {
            if (nowPos == 0)
                return LZMA_RESULT_DATA_ERROR;
            if (RangeDecoderBitDecode(p + kIsRepG0 + state, &rd) == 0) {
                if (RangeDecoderBitDecode(p + kIsRep0Long + (state << kNumPosBitsMax) + posState,
                                          &rd) == 0) {
                    state = state < kNumLitStates ? 9 : 11;
                    previousByte = out[nowPos - rep0];
                    out[nowPos++] = previousByte;
                    continue;
                }
            } else {
                uint32_t distance;
                if (RangeDecoderBitDecode(p + kIsRepG1 + state, &rd) == 0) {
                    distance = rep1;
                } else {
                    if (RangeDecoderBitDecode(p + kIsRepG2 + state, &rd) == 0) {
                        distance = rep2;
                    } else {
                        distance = rep3;
                        rep3 = rep2;
                    }
                    rep2 = rep1;
                }
                rep1 = rep0;
                rep0 = distance;
            }
            len = LzmaLenDecode(p + kRepLenCoder, &rd, posState);
            state = state < kNumLitStates ? 8 : 11;
        } else {
            rep3 = rep2;
            rep2 = rep1;
            rep1 = rep0;
            len = LzmaLenDecode(p + kLenCoder, &rd, posState);
            state = state < kNumLitStates ? 7 : 10;
            const uint32_t lenState = len < kNumLenToPosStates ? len : kNumLenToPosStates - 1;
            const uint32_t posSlot = RangeDecoderBitTreeDecode(
                p + kPosSlot + (lenState << kNumPosSlotBits), kNumPosSlotBits, &rd);
            if (posSlot >= uint32_t(kStartPosModelIndex)) {
                const int numDirectBits = int(posSlot >> 1) - 1;
                rep0 = (2 | (posSlot & 1)) << numDirectBits;
                if (posSlot < uint32_t(kEndPosModelIndex)) {
                    rep0 += RangeDecoderReverseBitTreeDecode(p + kSpecPos + rep0 - posSlot - 1,
                                                             numDirectBits, &rd);
                } else {
                    rep0 += RangeDecoderDecodeDirectBits(&rd, numDirectBits - kNumAlignBits)
                            << kNumAlignBits;
                    rep0 += RangeDecoderReverseBitTreeDecode(p + kAlign, kNumAlignBits, &rd);
                }
            } else {
                rep0 = posSlot;
            }
            ++rep0;
            if (rep0 == 0)
                break;  // end marker
            if (rep0 > nowPos)
                return LZMA_RESULT_DATA_ERROR;
        }
        len += kMatchMinLen;
        do {
            previousByte = out[nowPos - rep0];
            out[nowPos++] = previousByte;
        } while (--len > 0 && nowPos < outSize);
    }
    *outProduced = nowPos;
    return LZMA_RESULT_OK;
}

}  // namespace pravik::io
