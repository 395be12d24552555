#include "audio/DataObj.h"

#include <algorithm>

#include "audio/StreamInterface.h"
#include "audio/StreamMemoryBuffer.h"
#include "audio/decoders/DecoderCursorInterface.h"
#include "audio/decoders/DecoderInterface.h"
#include "audio/decoders/DecoderRaw.h"

namespace kez {

DataObj::DataObj(int64_t id, int group, const TrackParams& params, StreamInterface* stream,
                 DecoderInterface* decoder, int state, int loadingMode)
    : Handlable(id), m_group(group), m_params(params), m_stream(stream), m_decoder(decoder), m_state(state),
      m_loadingMode(loadingMode) {}

DataObj::~DataObj() {
    KezDelete(m_decoder);
    KezDelete(m_stream);
}

int DataObj::GetGroup() { MutexLock l(m_lock); return m_group; }

bool DataObj::IsGroup(unsigned mask) {
    MutexLock l(m_lock);
    return m_group >= 0 && m_group < 32 && (mask & (1u << m_group));
}

int DataObj::GetState() { MutexLock l(m_stateLock); return m_state; }
void DataObj::SetState(int state) { MutexLock l(m_stateLock); m_state = state; }
bool DataObj::IsReady() { return GetState() == 0; }

float DataObj::GetDuration() {
    if (!IsReady()) return 0.0f;
    MutexLock l(m_lock);
    return m_params.sampleRate > 0 ? float(m_params.numSamples) / float(m_params.sampleRate) : 0.0f;
}

int DataObj::GetUserData() { MutexLock l(m_lock); return m_userData; }
void DataObj::SetUserData(int value) { MutexLock l(m_lock); m_userData = value; }
int DataObj::GetUid() { MutexLock l(m_lock); return m_uid; }
void DataObj::SetUid(int uid) { MutexLock l(m_lock); m_uid = uid; }
int DataObj::GetPriorityBankId() { MutexLock l(m_lock); return m_bankId; }
void DataObj::SetPriorityBankId(int bank) { MutexLock l(m_lock); m_bankId = bank; }
TrackParams DataObj::GetTrackParams() { MutexLock l(m_lock); return m_params; }

void DataObj::RegisterEmitter(int64_t id) { MutexLock l(m_lock); m_emitters.push_back(id); }

void DataObj::UnregisterEmitter(int64_t id) {
    MutexLock l(m_lock);
    auto it = std::find(m_emitters.begin(), m_emitters.end(), id);
    if (it != m_emitters.end()) m_emitters.erase(it);
}

bool DataObj::HasEmitters() { MutexLock l(m_lock); return !m_emitters.empty(); }
int64_t DataObj::LastEmitter() { MutexLock l(m_lock); return m_emitters.empty() ? -1 : m_emitters.back(); }

bool DataObj::ShouldDie() {
    bool die;
    {
        MutexLock l(m_lock);
        die = (m_emitters.empty() && m_refCount == 0) || m_mustDie;
    }
    return die || GetState() == -1;
}

void DataObj::NeedToDie() {
    { MutexLock l(m_lock); m_mustDie = true; }
    SetState(4);
}

void DataObj::Update() {
    if (GetState() == 0) return;
    MutexLock l(m_lock);
    if (GetState() != 3) return;
    bool ok = true;
    switch (m_loadingMode) {
        case 0: ok = LoadStream(); break;
        case 1: ok = LoadMemory(); break;
        case 2: ok = LoadRaw(); break;
        default: break;
    }
    SetState(ok ? 0 : -1);
}

// The three loads run with the object lock held.
bool DataObj::LoadStream() {
    if (!m_stream || !m_decoder) return false;
    StreamCursorInterface* sc = m_stream->CreateNewCursor();
    DecoderCursorInterface* dc = sc ? m_decoder->CreateNewCursor(sc) : nullptr;
    if (dc) m_params = dc->GetTrackParams();
    if (dc) m_decoder->DestroyCursor(dc);
    if (sc) m_stream->DestroyCursor(sc);
    return dc && m_params.channels > 0;
}

bool DataObj::LoadMemory() {
    if (!m_stream || !m_decoder) return false;
    const int size = m_stream->Size();
    if (size <= 0) return false;
    auto* buffer = static_cast<unsigned char*>(KezAlloc(unsigned(size)));
    if (!buffer) return false;
    StreamCursorInterface* sc = m_stream->CreateNewCursor();
    const int got = sc ? sc->Read(buffer, size) : 0;
    if (sc) m_stream->DestroyCursor(sc);
    if (got != size) {
        KezFree(buffer);
        return false;
    }
    StreamMemoryBufferParams params{buffer, size, false, true};
    StreamInterface* memory = StreamMemoryBufferFactory(&params);
    if (!memory) {
        KezFree(buffer);
        return false;
    }
    KezDelete(m_stream);
    m_stream = memory;
    sc = m_stream->CreateNewCursor();
    DecoderCursorInterface* dc = sc ? m_decoder->CreateNewCursor(sc) : nullptr;
    if (dc) m_params = dc->GetTrackParams();
    if (dc) m_decoder->DestroyCursor(dc);
    if (sc) m_stream->DestroyCursor(sc);
    return true;
}

bool DataObj::LoadRaw() {
    if (!m_stream || !m_decoder) return false;
    StreamCursorInterface* sc = m_stream->CreateNewCursor();
    DecoderCursorInterface* dc = sc ? m_decoder->CreateNewCursor(sc) : nullptr;
    auto cleanup = [&] {
        if (dc) m_decoder->DestroyCursor(dc);
        if (sc) m_stream->DestroyCursor(sc);
    };
    if (!dc) { cleanup(); return false; }
    const TrackParams p = dc->GetTrackParams();
    const long long size = (long long)(p.bitsPerSample / 8) * p.numSamples * p.channels;
    if (size <= 0 || size > 0x7FFFFFFF) { cleanup(); return false; }
    auto* buffer = static_cast<unsigned char*>(KezAlloc(unsigned(size)));
    if (!buffer) { cleanup(); return false; }
    const int n = dc->Decode(buffer, int(size));
    cleanup();
    if (n <= 0) { KezFree(buffer); return false; }
    StreamMemoryBufferParams params{buffer, n, false, true};
    StreamInterface* memory = StreamMemoryBufferFactory(&params);
    DecoderInterface* raw = DecoderRawFactory(const_cast<TrackParams*>(&p));
    if (!memory || !raw) {
        if (memory) KezDelete(memory); else KezFree(buffer);
        KezDelete(raw);
        return false;
    }
    KezDelete(m_stream);
    KezDelete(m_decoder);
    m_stream = memory;
    m_decoder = raw;
    m_params = p;
    return true;
}

void DataObj::GetDebugInfo(DebugChunk_dataSource& out) {
    out.id = m_id;
    out.streamType = m_stream ? m_stream->GetType() : -1;
    out.decoderType = m_decoder ? m_decoder->GetType() : -1;
    out.bankId = GetPriorityBankId();
    const TrackParams p = GetTrackParams();
    out.sampleRate = p.sampleRate;
    out.channels = p.channels;
    out.bits = p.bitsPerSample;
    out.duration = GetDuration();
    out.group = GetGroup();
    out.refCount = GetRefCount();
}

}  // namespace kez
