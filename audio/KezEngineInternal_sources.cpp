// Data sources of the engine: loading, conversions, release and the update thread's source pass.
#include <algorithm>
#include <unistd.h>

#include "audio/KezEngineInternal.h"
#include "audio/KezMemory.h"
#include "audio/StreamInterface.h"
#include "audio/StreamMemoryBuffer.h"
#include "audio/decoders/DecoderCursorInterface.h"
#include "audio/decoders/DecoderInterface.h"

namespace kez {

DataObj* KezEngineInternal::GetDataObject(DataHandle& h) {
    unsigned stamp, slot;
    h.GetTimeStamp(stamp, slot);
    if (h.GetObjectPointer() && GetTimeStamp(slot) == stamp) return static_cast<DataObj*>(h.GetObjectPointer());
    if (h.GetId() < 0) return nullptr;
    Handlable* o = m_dataActive.Find(h.GetId());
    if (!o) {
        ReadAccess r(m_dataPendingControl);
        o = m_dataPending.Find(h.GetId());
    }
    if (o) h.SetTimeStamp(GetTimeStamp(o->GetTimeStampSlot()), o->GetTimeStampSlot());
    return static_cast<DataObj*>(o);
}

void KezEngineInternal::QueueForRelease(DataObj* d) {
    MutexLock l(m_releaseLock);
    if (d->queued) return;
    d->queued = true;
    m_releaseQueue.push_back(d);
}

void KezEngineInternal::IncreaseDataObjectRefCount(DataHandle& h) {
    ReadAccess r(m_dataControl);
    if (DataObj* d = GetDataObject(h)) d->Retain();
}

void KezEngineInternal::DecreaseDataObjectRefCount(DataHandle& h) {
    ReadAccess r(m_dataControl);
    if (DataObj* d = GetDataObject(h)) {
        d->Release();
        QueueForRelease(d);
    }
}

DataHandle KezEngineInternal::MakeDataHandle(DataObj* d) {
    const unsigned slot = d->GetTimeStampSlot();
    return DataHandle(d->GetId(), &s_kezEngineInternal, d, GetTimeStamp(slot), slot);
}

DataHandle KezEngineInternal::AddDataSource(DataObj* d, bool queueNow) {
    d->SetTimeStampSlot(m_nextSlot.fetch_add(1) % 16);
    DataHandle local = MakeDataHandle(d);
    {
        WriteAccess w(m_dataPendingControl);
        m_dataPending.Add(d);
    }
    if (queueNow) QueueForRelease(d);
    return local;  // the local handle's reference goes back and queues the source once
}

DataHandle KezEngineInternal::LoadDataSource(int streamType, void* streamParams, int decoderType,
                                             void* decoderParams, int group) {
    return NewDataSource(streamType, streamParams, decoderType, decoderParams, group, -1);
}

DataHandle KezEngineInternal::LoadDataSourceAsync(int streamType, void* streamParams, int decoderType,
                                                  void* decoderParams, int group, KezSourceLoadingFlags flags) {
    return NewDataSource(streamType, streamParams, decoderType, decoderParams, group, int(flags) & 0xFFFF);
}

// asyncMode -1 probes the track parameters here; otherwise it is the loading mode the update
// thread runs at its next pass.
DataHandle KezEngineInternal::NewDataSource(int streamType, void* streamParams, int decoderType,
                                            void* decoderParams, int group, int asyncMode) {
    if (streamType < 0 || streamType >= m_streamTypeCount || !m_streamFactories[streamType]) return {};
    StreamInterface* stream = m_streamFactories[streamType](streamParams);
    if (!stream) return {};
    DecoderInterface* decoder = nullptr;
    if (decoderType >= 0 && decoderType < m_decoderTypeCount && m_decoderFactories[decoderType])
        decoder = m_decoderFactories[decoderType](decoderParams);
    if (!decoder) {
        KezDelete(stream);
        return {};
    }
    TrackParams params;
    if (asyncMode < 0) {
        StreamCursorInterface* sc = stream->CreateNewCursor();
        DecoderCursorInterface* dc = sc ? decoder->CreateNewCursor(sc) : nullptr;
        if (dc) {
            params = dc->GetTrackParams();
            decoder->DestroyCursor(dc);
        }
        if (sc) stream->DestroyCursor(sc);
        if (!dc || params.channels < 1) {
            KezDelete(decoder);
            KezDelete(stream);
            return {};
        }
    }
    int64_t id;
    {
        WriteAccess w(m_dataControl);
        id = m_dataActive.GetFreeHandleId();
    }
    // A group outside the 32 gain groups would index past the gain table.
    if (group < 0 || group > 31) group = 0;
    DataObj* d = asyncMode < 0 ? KezNew<DataObj>(id, group, params, stream, decoder)
                               : KezNew<DataObj>(id, group, params, stream, decoder, 3, asyncMode);
    if (!d) {
        KezDelete(decoder);
        KezDelete(stream);
        return {};
    }
    return AddDataSource(d, asyncMode >= 0);
}

DataHandle KezEngineInternal::ConvertToRamBufferSource(DataHandle& h) {
    unsigned char* buffer = nullptr;
    int size = 0, got = -1, decoderType = -1, group = 0;
    void* decoderParam = nullptr;
    {
        ReadAccess r(m_dataControl);
        DataObj* d = GetDataObject(h);
        if (!d || !d->IsReady() || !d->GetStream() || !d->GetDecoder()) return {};
        StreamCursorInterface* sc = d->GetStream()->CreateNewCursor();
        if (!sc) return {};
        size = d->GetStream()->Size();
        if (size <= 0) {
            d->GetStream()->DestroyCursor(sc);
            return {};
        }
        buffer = static_cast<unsigned char*>(KezAlloc(unsigned(size)));
        if (buffer) {
            sc->Seek(0, 0);
            got = sc->Read(buffer, size);
        }
        d->GetStream()->DestroyCursor(sc);
        decoderType = d->GetDecoder()->GetType();
        decoderParam = d->GetDecoder()->GetParam();
        group = d->GetGroup();
    }
    if (!buffer) return {};
    if (got != size) {
        KezFree(buffer);
        return {};
    }
    StreamMemoryBufferParams params{buffer, size, false, true};
    return LoadDataSource(0, &params, decoderType, decoderParam, group);
}

DataHandle KezEngineInternal::ConvertToRawSource(DataHandle& h) {
    unsigned char* buffer = nullptr;
    int n = 0, group = 0;
    TrackParams params;
    {
        ReadAccess r(m_dataControl);
        DataObj* d = GetDataObject(h);
        if (!d || !d->IsReady() || !d->GetStream()) return {};
        StreamCursorInterface* sc = d->GetStream()->CreateNewCursor();
        if (!sc) return {};
        DecoderCursorInterface* dc = d->GetDecoder() ? d->GetDecoder()->CreateNewCursor(sc) : nullptr;
        if (!dc) {
            d->GetStream()->DestroyCursor(sc);
            return {};
        }
        params = dc->GetTrackParams();
        const long long size = (long long)(params.bitsPerSample / 8) * params.numSamples * params.channels;
        if (size > 0 && size <= 0x7FFFFFFF) {
            buffer = static_cast<unsigned char*>(KezAlloc(unsigned(size)));
            if (buffer) {
                dc->Seek(0);
                n = std::max(0, dc->Decode(buffer, int(size)));
            }
        }
        d->GetDecoder()->DestroyCursor(dc);
        d->GetStream()->DestroyCursor(sc);
        group = d->GetGroup();
        if (size <= 0 || size > 0x7FFFFFFF) return {};
    }
    if (!buffer) return {};
    StreamMemoryBufferParams sp{buffer, n, false, true};
    return LoadDataSource(0, &sp, 0, &params, group);
}

void KezEngineInternal::ReleaseDatasource(unsigned mask) {
    {
        ReadAccess r(m_dataControl);
        for (auto& [id, o] : m_dataActive) {
            auto* d = static_cast<DataObj*>(o);
            if (d->IsGroup(mask)) {
                d->NeedToDie();
                QueueForRelease(d);
            }
        }
    }
    ReadAccess r(m_dataPendingControl);
    for (auto& [id, o] : m_dataPending) {
        auto* d = static_cast<DataObj*>(o);
        if (d->IsGroup(mask)) {
            d->NeedToDie();
            QueueForRelease(d);
        }
    }
}

void KezEngineInternal::ReleaseDatasource(DataHandle& h) {
    ReadAccess r(m_dataControl);
    if (DataObj* d = GetDataObject(h)) {
        d->NeedToDie();
        QueueForRelease(d);
    }
}

void KezEngineInternal::ReleaseDatasource(DataObj* d) {
    if (!d) return;
    BumpTimeStamp(d->GetTimeStampSlot());
    int misses = 0;
    while (d->HasEmitters()) {
        const int64_t id = d->LastEmitter();
        EmitterObj* e;
        {
            WriteAccess w(m_emitterControl);
            e = DetachEmitterObject(id);
        }
        if (e) {
            KillEmitter(e);
        } else if (++misses < 2000) {
            usleep(1000);  // another thread is killing it and will unregister it
        } else {
            d->UnregisterEmitter(id);  // an id nobody holds: do not wait forever
        }
    }
    KezDelete(d);
}

bool KezEngineInternal::IsValid(DataHandle& h) {
    ReadAccess r(m_dataControl);
    return GetDataObject(h) != nullptr;
}

bool KezEngineInternal::IsReady(DataHandle& h) {
    ReadAccess r(m_dataControl);
    DataObj* d = GetDataObject(h);
    return d && d->IsReady();
}

float KezEngineInternal::GetDuration(DataHandle& h) {
    ReadAccess r(m_dataControl);
    DataObj* d = GetDataObject(h);
    return d ? d->GetDuration() : 0.0f;
}

int KezEngineInternal::GetAllDataSources(DataHandle* out, int max) {
    if (!out || max <= 0) return 0;
    int n = 0;
    ReadAccess r(m_dataControl);
    for (auto& [id, o] : m_dataActive) {
        if (n >= max) break;
        out[n++] = MakeDataHandle(static_cast<DataObj*>(o));
    }
    ReadAccess rp(m_dataPendingControl);
    for (auto& [id, o] : m_dataPending) {
        if (n >= max) break;
        out[n++] = MakeDataHandle(static_cast<DataObj*>(o));
    }
    return n;
}

int KezEngineInternal::GetUid(DataHandle& h) {
    ReadAccess r(m_dataControl);
    DataObj* d = GetDataObject(h);
    return d ? d->GetUid() : -1;
}

void KezEngineInternal::SetUid(DataHandle& h, int uid) {
    ReadAccess r(m_dataControl);
    if (DataObj* d = GetDataObject(h)) d->SetUid(uid);
}

void KezEngineInternal::SetPriorityBankId(DataHandle& h, int bank) {
    ReadAccess r(m_dataControl);
    if (DataObj* d = GetDataObject(h)) d->SetPriorityBankId(bank);
}

int KezEngineInternal::GetUserData(DataHandle& h) {
    ReadAccess r(m_dataControl);
    DataObj* d = GetDataObject(h);
    return d ? d->GetUserData() : -1;
}

void KezEngineInternal::SetUserData(DataHandle& h, DataHandleUserData& data) {
    ReadAccess r(m_dataControl);
    if (DataObj* d = GetDataObject(h)) d->SetUserData(data.value);
}

void KezEngineInternal::UpdateSources() {
    if (IsSuspended()) return;
    {
        WriteAccess w(m_dataControl);
        WriteAccess wp(m_dataPendingControl);
        if (!m_dataPending.Empty()) {
            m_dataActive.Merge(&m_dataPending);
            m_dataPending.Reset();
        }
    }
    size_t n;
    {
        MutexLock l(m_releaseLock);
        n = m_releaseQueue.size();
    }
    for (size_t i = 0; i < n; ++i) {
        m_dataControl.GetWriteAccess();
        DataObj* d = nullptr;
        {
            MutexLock l(m_releaseLock);
            if (m_releaseQueue.empty()) {
                m_dataControl.ReleaseWriteAccess();
                break;
            }
            d = m_releaseQueue.front();
            m_releaseQueue.pop_front();
        }
        if (d->ShouldDie()) {
            if (!m_dataActive.Detach(d->GetId())) {
                WriteAccess wp(m_dataPendingControl);
                m_dataPending.Detach(d->GetId());
            }
            BumpTimeStamp(d->GetTimeStampSlot());
            m_dataControl.ReleaseWriteAccess();
            ReleaseDatasource(d);
        } else {
            {
                MutexLock l(m_releaseLock);
                d->queued = false;
            }
            m_dataControl.ReleaseWriteAccess();
            ReadAccess r(m_dataControl);
            d->Update();
        }
    }
}

}  // namespace kez
