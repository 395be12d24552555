#include "audio/decoders/DecoderMSWavCursor.h"
#include "audio/KezEndian.h"

#include <cstdint>
#include <cstring>

#include "audio/KezMemory.h"
#include "audio/StreamInterface.h"
#include "audio/decoders/DecoderLog.h"
#include "audio/decoders/DecoderMSWav.h"
#include "audio/decoders/KezMSWavSubDecoderIMAADPCM.h"
#include "audio/decoders/KezMSWavSubDecoderMSADPCM.h"
#include "audio/decoders/KezMSWavSubDecoderPCM.h"

namespace kez {

namespace {


bool readExactly(StreamCursorInterface* cursor, unsigned char* buffer, int count) {
    return cursor->Read(buffer, count) == count;
}

}  // namespace

DecoderMSWavCursor::DecoderMSWavCursor(DecoderMSWav* decoder, StreamCursorInterface* streamCursor)
    : DecoderCursorInterface(decoder, streamCursor), m_chunk(decoder->GetChunk()) {
    if (decoder->NeedsParse()) {
        if (!ParseFile()) return;
        decoder->MarkParsed();
    }
    if (!m_chunk->IsWave()) {
        DecoderLog("wav: not a RIFF WAVE file");
        return;
    }
    if (!m_chunk->dataList) {
        DecoderLog("wav: no data chunk");
        return;
    }
    if (m_chunk->fmtSize < 16 || std::memcmp(m_chunk->fmtId, "fmt ", 4) != 0) {
        DecoderLog("wav: missing or short fmt chunk");
        return;
    }
    switch (m_chunk->formatTag) {
    case 1: m_subDecoder = KezNew<KezMSWavSubDecoderPCM>(streamCursor, m_chunk); break;
    case 0x11: m_subDecoder = KezNew<KezMSWavSubDecoderIMAADPCM>(streamCursor, m_chunk); break;
    case 2: m_subDecoder = KezNew<KezMSWavSubDecoderMSADPCM>(streamCursor, m_chunk); break;
    default: DecoderLog("wav: format tag 0x%x is not supported", m_chunk->formatTag); return;
    }
    if (m_subDecoder && m_subDecoder->GetTrackParams().channels == 0) {
        KezDelete(m_subDecoder);  // it logged why
        m_subDecoder = nullptr;
    }
    if (m_subDecoder) m_trackParams = m_subDecoder->GetTrackParams();
}

DecoderMSWavCursor::~DecoderMSWavCursor() {
    KezDelete(m_subDecoder);
}

int DecoderMSWavCursor::Decode(void* buffer, int bytes) {
    return m_subDecoder ? m_subDecoder->Decode(buffer, bytes) : 0;
}

bool DecoderMSWavCursor::HasData() {
    return m_subDecoder && m_subDecoder->HasData();
}

int DecoderMSWavCursor::Seek(unsigned int frame) {
    return m_subDecoder ? m_subDecoder->Seek(frame) : -1;
}

void DecoderMSWavCursor::SetLoop(bool loop) {
    if (m_subDecoder) m_subDecoder->SetLoop(loop);
}

// Sizes are unsigned and bounded by the stream: a chunk that claims more than is left ends the
// walk (a data chunk is cut to what is there), so no size can move the walk backwards.
bool DecoderMSWavCursor::ParseFile() {
    StreamCursorInterface* cursor = m_streamCursor;
    if (!cursor || !cursor->GetStream()) return false;
    const int64_t streamSize = cursor->GetStream()->Size();
    if (streamSize <= 0) return false;

    WaveChunk& chunk = *m_chunk;
    if (chunk.dataList) {
        chunk.dataList->DropNodes();
        KezDelete(chunk.dataList);
    }
    chunk = WaveChunk{};

    const int saved = cursor->Tell();
    if (cursor->Seek(0, 0) != 0) return false;

    int64_t pos = 0;
    bool first = true;
    while (!cursor->EndOfStream()) {
        unsigned char header[8];
        if (pos & 1) {
            if (!readExactly(cursor, header, 1)) break;
            ++pos;
        }
        if (!readExactly(cursor, header, 8)) break;
        pos += 8;
        const uint32_t size = le32(header + 4);
        const int64_t left = streamSize - pos;
        uint64_t skip = size;
        const bool isRiff = std::memcmp(header, "RIFF", 4) == 0;

        if (isRiff) {
            std::memcpy(chunk.riffId, header, 4);
            chunk.riffSize = size;
            if (!readExactly(cursor, reinterpret_cast<unsigned char*>(chunk.formType), 4)) break;
            pos += 4;
            skip = 0;  // the sub-chunks follow
        } else if (std::memcmp(header, "fmt ", 4) == 0) {
            std::memcpy(chunk.fmtId, header, 4);
            chunk.fmtSize = size;
            if (size >= 16 && left >= 16) {
                unsigned char fmt[16];
                if (!readExactly(cursor, fmt, 16)) break;
                chunk.formatTag = le16(fmt);
                chunk.channels = le16(fmt + 2);
                chunk.sampleRate = le32(fmt + 4);
                chunk.byteRate = le32(fmt + 8);
                chunk.blockAlign = le16(fmt + 12);
                chunk.bitsPerSample = le16(fmt + 14);
                chunk.fmtOffset = int32_t(pos);
                pos += 16;
                skip = size - 16;
            }
        } else if (std::memcmp(header, "fact", 4) == 0) {
            std::memcpy(chunk.factId, header, 4);
            chunk.factSize = size;
            if (size >= 4 && left >= 4) {
                unsigned char fact[4];
                if (!readExactly(cursor, fact, 4)) break;
                chunk.sampleCount = le32(fact);
                chunk.hasFact = true;
                pos += 4;
                skip = size - 4;
            }
        } else if (std::memcmp(header, "data", 4) == 0) {
            std::memcpy(chunk.dataId, header, 4);
            if (int64_t(size) > left) {
                DecoderLog("wav: data chunk of %u bytes cut to the %lld left", size, (long long)left);
                skip = uint64_t(left);
            }
            chunk.dataSize = uint32_t(skip);
            bool added;
            if (!chunk.dataList) {
                chunk.dataList = KezNew<DataNode>();
                added = chunk.dataList != nullptr;
                if (added) {
                    chunk.dataList->offset = int32_t(pos - 8);
                    chunk.dataList->size = int32_t(skip);
                } else {
                    cursor->Seek(saved, 0);
                    return false;
                }
            } else {
                added = chunk.dataList->AddNode(int32_t(pos - 8), int32_t(skip));
            }
            if (!added) break;
        }
        if (skip > uint64_t(streamSize - pos)) break;  // claims more than the stream holds
        pos += int64_t(skip);
        if (skip && cursor->Seek(int(pos), 0) != 0) break;
        if (first && !isRiff) break;
        first = false;
    }
    cursor->Seek(saved, 0);
    return true;
}

}  // namespace kez
