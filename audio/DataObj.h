#pragma once
// A data source: a loaded sound that emitters play. It owns a stream and a decoder, keeps the
// probed track parameters, the gain group and priority bank of its emitters and the ids of the
// emitters made from it. States: 0 ready, 3 asynchronous load pending, 4 dying, -1 failed.
// Only the update thread destroys a data source.

#include <cstdint>
#include <list>

#include "audio/Handlable.h"
#include "audio/KezMemory.h"
#include "audio/decoders/TrackParams.h"

namespace kez {

class StreamInterface;
class DecoderInterface;

struct DataHandleUserData { int32_t value = -1; };

struct DebugChunk_dataSource {
    int64_t id; int streamType, decoderType, bankId, sampleRate, channels, bits; float duration; int group, refCount;
};

class DataObj : public Handlable {
public:
    DataObj(int64_t id, int group, const TrackParams& params, StreamInterface* stream, DecoderInterface* decoder,
            int state = 0, int loadingMode = 0);
    ~DataObj() override;  // destroys the decoder and the stream

    int GetGroup();
    bool IsGroup(unsigned mask);  // false for a group outside 0..31
    bool IsReady();
    float GetDuration();
    int GetUserData();
    void SetUserData(int value);
    int GetUid();
    void SetUid(int uid);
    int GetPriorityBankId();
    void SetPriorityBankId(int bank);
    void RegisterEmitter(int64_t id);
    void UnregisterEmitter(int64_t id);
    bool HasEmitters();
    int64_t LastEmitter();  // -1 when none
    bool ShouldDie();
    void NeedToDie();
    void Update();  // the asynchronous load; update thread only
    int GetState();
    void GetDebugInfo(DebugChunk_dataSource& out);
    void PrintDebug() {}

    TrackParams GetTrackParams();
    StreamInterface* GetStream() const { return m_stream; }
    DecoderInterface* GetDecoder() const { return m_decoder; }

    bool queued = false;  // under the engine's release lock

private:
    void SetState(int state);
    bool LoadStream();
    bool LoadMemory();
    bool LoadRaw();

    int32_t m_group;
    int32_t m_bankId = 0;
    int32_t m_uid = -1;
    TrackParams m_params;
    StreamInterface* m_stream;
    DecoderInterface* m_decoder;
    std::list<int64_t, SAllocator<int64_t>> m_emitters;
    int32_t m_userData = -1;
    bool m_mustDie = false;
    int32_t m_state;
    int32_t m_loadingMode;
    Mutex m_stateLock;
};

}  // namespace kez
