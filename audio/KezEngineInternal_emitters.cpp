// Emitters of the engine: creation, requests by handle, kill, listing and their 3D values.
#include "audio/DriverInterface.h"
#include "audio/KezEngineInternal.h"
#include "audio/KezMemory.h"
#include "audio/StreamInterface.h"
#include "audio/decoders/DecoderCursorInterface.h"
#include "audio/decoders/DecoderInterface.h"

namespace kez {

EmitterObj* KezEngineInternal::GetEmitterObject(EmitterHandle& h) {
    unsigned stamp, slot;
    h.GetTimeStamp(stamp, slot);
    if (h.GetObjectPointer() && GetTimeStamp(slot) == stamp) return static_cast<EmitterObj*>(h.GetObjectPointer());
    if (h.GetId() < 0) return nullptr;
    Handlable* o = m_emitterActive.Find(h.GetId());
    if (!o) {
        ReadAccess r(m_emitterPendingControl);
        o = m_emitterPending.Find(h.GetId());
    }
    if (o) h.SetTimeStamp(GetTimeStamp(o->GetTimeStampSlot()), o->GetTimeStampSlot());
    return static_cast<EmitterObj*>(o);
}

template <typename F>
void KezEngineInternal::WithEmitter(EmitterHandle& h, F&& f) {
    ReadAccess r(m_emitterControl);
    if (EmitterObj* e = GetEmitterObject(h)) f(e);
}

void KezEngineInternal::IncreaseEmitterObjectRefCount(EmitterHandle& h) {
    WithEmitter(h, [](EmitterObj* e) { e->Retain(); });
}

void KezEngineInternal::DecreaseEmitterObjectRefCount(EmitterHandle& h) {
    WithEmitter(h, [](EmitterObj* e) { e->Release(); });
}

EmitterHandle KezEngineInternal::MakeEmitterHandle(EmitterObj* e) {
    const unsigned slot = e->GetTimeStampSlot();
    return EmitterHandle(e->GetId(), &s_kezEngineInternal, e, GetTimeStamp(slot), slot);
}

EmitterHandle KezEngineInternal::CreateEmitter(DataHandle& dataHandle, int priority, void* driverData) {
    return NewEmitter(dataHandle, priority, driverData, false);
}

EmitterHandle KezEngineInternal::CreateEmitterAsync(DataHandle& dataHandle, int priority, void* driverData) {
    return NewEmitter(dataHandle, priority, driverData, true);
}

// A synchronous emitter opens its cursors and sizes its buffers here; an asynchronous one does
// both on the update thread (EmitterObj::LoadAsync).
EmitterHandle KezEngineInternal::NewEmitter(DataHandle& dataHandle, int priority, void* driverData, bool async) {
    EmitterObj* e = nullptr;
    {
        ReadAccess r(m_dataControl);
        DataObj* d = GetDataObject(dataHandle);
        if (!d || !d->IsReady() || !d->GetStream() || !d->GetDecoder() || !m_driver) return {};
        StreamInterface* stream = d->GetStream();
        DecoderInterface* decoder = d->GetDecoder();
        StreamCursorInterface* sc = nullptr;
        DecoderCursorInterface* dc = nullptr;
        TrackParams p;
        if (async) {
            p = d->GetTrackParams();
        } else {
            sc = stream->CreateNewCursor();
            dc = sc ? decoder->CreateNewCursor(sc) : nullptr;
            if (dc) p = dc->GetTrackParams();
        }
        DriverSourceInterface* source = nullptr;
        if (p.channels > 0 && (async || dc)) source = m_driver->CreateDriverSource(&p, driverData, priority);
        const int size =
            source && dc ? EmitterObj::BufferSize(p, source->AllowBufferReference() && dc->AllowBufferReference()) : 0;
        if (source && (async || size > 0)) {
            int64_t id;
            {
                WriteAccess w(m_emitterControl);
                id = m_emitterActive.GetFreeHandleId();
            }
            e = async ? KezNew<EmitterObj>(id, priority, d->GetPriorityBankId(), 0, source, nullptr, d, &p)
                      : KezNew<EmitterObj>(id, priority, d->GetPriorityBankId(), size, source, dc, d);
        }
        if (!e) {
            if (source) m_driver->DestroyDriverSource(source);
            if (dc) decoder->DestroyCursor(dc);
            if (sc) stream->DestroyCursor(sc);
            return {};
        }
        e->SetGroup(d->GetGroup());
        d->RegisterEmitter(e->GetId());
    }
    e->SetTimeStampSlot(m_nextSlot.fetch_add(1) % 16);
    EmitterHandle local = MakeEmitterHandle(e);
    {
        WriteAccess w(m_emitterPendingControl);
        m_emitterPending.Add(e);
    }
    return local;
}

DataHandle KezEngineInternal::GetData(EmitterHandle& h) {
    int64_t id = -1;
    WithEmitter(h, [&](EmitterObj* e) { if (e->GetDataObj()) id = e->GetDataObj()->GetId(); });
    if (id < 0) return {};
    return DataHandle(id, &s_kezEngineInternal, nullptr, 0, 0);
}

void KezEngineInternal::PlayEmitter(EmitterObj* e, bool loop, float fade) {
    if (e->IsInPriorityBank()) {
        if (m_banks) m_banks->RemoveEmitter(e->GetPriorityBankId(), e);
        e->SetInPriorityBank(false);
    }
    if (!m_banks) return;
    if (m_banks->AddEmitter(e->GetPriorityBankId(), e)) {
        if (e->IsPlaying()) e->Reset();
        e->Play(fade);
        e->SetLoop(loop);
        e->SetInPriorityBank(true);
    } else {
        e->SetInPriorityBank(false);
        e->Stop(0.0f);
    }
}

void KezEngineInternal::StopEmitter(EmitterObj* e, float fade) {
    if (e->IsInPriorityBank()) {
        if (m_banks) m_banks->RemoveEmitter(e->GetPriorityBankId(), e);
        e->SetInPriorityBank(false);
    }
    e->Stop(fade);
}

void KezEngineInternal::Play(EmitterHandle& h, bool loop, float fade) {
    WithEmitter(h, [&](EmitterObj* e) { PlayEmitter(e, loop, fade); });
}
void KezEngineInternal::Stop(EmitterHandle& h, float fade) {
    WithEmitter(h, [&](EmitterObj* e) { StopEmitter(e, fade); });
}
void KezEngineInternal::Pause(EmitterHandle& h, float fade) { WithEmitter(h, [&](EmitterObj* e) { e->Pause(fade); }); }
void KezEngineInternal::Resume(EmitterHandle& h, float fade) { WithEmitter(h, [&](EmitterObj* e) { e->Resume(fade); }); }

template <typename F>
void KezEngineInternal::ForEmitters(unsigned mask, F&& f) {
    ReadAccess r(m_emitterControl);
    ReadAccess rp(m_emitterPendingControl);
    for (HandlableContainer* c : {&m_emitterActive, &m_emitterPending})
        for (auto& [id, o] : *c) {
            auto* e = static_cast<EmitterObj*>(o);
            if (e->IsGroup(mask)) f(e);
        }
}

void KezEngineInternal::PlayAllEmitters(unsigned mask, float fade) {
    ForEmitters(mask, [&](EmitterObj* e) { PlayEmitter(e, e->GetLoop(), fade); });
}
void KezEngineInternal::StopAllEmitters(unsigned mask, float fade) {
    ForEmitters(mask, [&](EmitterObj* e) { StopEmitter(e, fade); });
}
void KezEngineInternal::PauseAllEmitters(unsigned mask, float fade) {
    ForEmitters(mask, [&](EmitterObj* e) { e->Pause(fade); });
}
void KezEngineInternal::ResumeAllEmitters(unsigned mask, float fade) {
    ForEmitters(mask, [&](EmitterObj* e) { e->Resume(fade); });
}

// Write access held. Cached pointers are invalidated before the access is released, so no other
// thread can reach the emitter afterwards.
EmitterObj* KezEngineInternal::DetachEmitterObject(int64_t id) {
    auto* e = static_cast<EmitterObj*>(m_emitterActive.Detach(id));
    if (!e) {
        WriteAccess wp(m_emitterPendingControl);
        e = static_cast<EmitterObj*>(m_emitterPending.Detach(id));
    }
    if (e) BumpTimeStamp(e->GetTimeStampSlot());
    return e;
}

void KezEngineInternal::KillEmitter(EmitterHandle& h) {
    EmitterObj* e;
    {
        WriteAccess w(m_emitterControl);
        e = DetachEmitterObject(h.GetId());
    }
    if (e) KillEmitter(e);
}

void KezEngineInternal::KillEmitter(EmitterObj* e) {
    if (!e) return;
    BumpTimeStamp(e->GetTimeStampSlot());
    if (e->IsInPriorityBank()) {
        if (m_banks) m_banks->RemoveEmitter(e->GetPriorityBankId(), e);
        e->SetInPriorityBank(false);
    }
    if (m_driver && e->GetDriverSource()) {
        m_driver->DestroyDriverSource(e->GetDriverSource());
        e->DetachDriverSource();
    }
    e->CleanUp();
    {
        ReadAccess r(m_dataControl);
        DataObj* d = e->GetDataObj();
        if (DecoderCursorInterface* dc = e->GetCursor()) {
            StreamCursorInterface* sc = dc->GetStreamCursor();
            if (d && d->GetDecoder()) d->GetDecoder()->DestroyCursor(dc);
            else KezDelete(dc);
            if (d && d->GetStream()) d->GetStream()->DestroyCursor(sc);
            else KezDelete(sc);
            e->DetachCursor();
        }
        if (d) {
            d->UnregisterEmitter(e->GetId());
            QueueForRelease(d);
        }
    }
    KezDelete(e);
}

void KezEngineInternal::SetLoop(EmitterHandle& h, bool loop) { WithEmitter(h, [&](EmitterObj* e) { e->SetLoop(loop); }); }
void KezEngineInternal::SetGroup(EmitterHandle& h, int group) { WithEmitter(h, [&](EmitterObj* e) { e->SetGroup(group); }); }
void KezEngineInternal::SetPriority(EmitterHandle& h, int p) { WithEmitter(h, [&](EmitterObj* e) { e->SetPriority(p); }); }
void KezEngineInternal::SetGain(EmitterHandle& h, float g, float s) { WithEmitter(h, [&](EmitterObj* e) { e->SetGain(g, s); }); }
void KezEngineInternal::SetPitch(EmitterHandle& h, float p, float s) { WithEmitter(h, [&](EmitterObj* e) { e->SetPitch(p, s); }); }
void KezEngineInternal::SetAutoKillAfterDone(EmitterHandle& h, bool a) {
    WithEmitter(h, [&](EmitterObj* e) { e->SetAutoKillAfterDone(a); });
}
void KezEngineInternal::SetUserData(EmitterHandle& h, EmitterHandleUserData& u) {
    WithEmitter(h, [&](EmitterObj* e) { e->SetUserData(u.value); });
}
void KezEngineInternal::SetInteractiveMusicState(EmitterHandle& h, const char* state) {
    WithEmitter(h, [&](EmitterObj* e) {
        if (e->GetDecoderType() == 4 && e->GetCursor()) e->SetInteractiveMusicStateChange(state);
    });
}
void KezEngineInternal::SetDSPEmitterParameter(EmitterHandle& h, int id, void* text) {
    if (id != 0) return;
    WithEmitter(h, [&](EmitterObj* e) { e->SetPendingDSPParameter(static_cast<const char*>(text)); });
}
void KezEngineInternal::SetPlayCursor(EmitterHandle& h, float s) { WithEmitter(h, [&](EmitterObj* e) { e->SetPlayCursor(s); }); }

float KezEngineInternal::GetPlayCursor(EmitterHandle& h) {
    float v = 0.0f;
    WithEmitter(h, [&](EmitterObj* e) { v = e->GetPlayCursor(); });
    return v;
}
bool KezEngineInternal::IsValid(EmitterHandle& h) {
    bool v = false;
    WithEmitter(h, [&](EmitterObj*) { v = true; });
    return v;
}
bool KezEngineInternal::IsReady(EmitterHandle& h) {
    bool v = false;
    WithEmitter(h, [&](EmitterObj* e) { v = e->IsReady(); });
    return v;
}
bool KezEngineInternal::IsAlive(EmitterHandle& h) {
    bool v = false;
    WithEmitter(h, [&](EmitterObj* e) { v = e->IsAlive(); });
    return v;
}
bool KezEngineInternal::IsPlaying(EmitterHandle& h) {
    bool v = false;
    WithEmitter(h, [&](EmitterObj* e) { v = e->IsPlaying(); });
    return v;
}
bool KezEngineInternal::IsDone(EmitterHandle& h) {
    bool v = true;
    WithEmitter(h, [&](EmitterObj* e) { v = e->IsDone(); });
    return v;
}
int KezEngineInternal::GetStatus(EmitterHandle& h) {
    int v = 0;
    WithEmitter(h, [&](EmitterObj* e) { v = e->GetStatus(); });
    return v;
}
int KezEngineInternal::GetGroup(EmitterHandle& h) {
    int v = 0;
    WithEmitter(h, [&](EmitterObj* e) { v = e->GetGroup(); });
    return v;
}
int KezEngineInternal::GetPriority(EmitterHandle& h) {
    int v = -1073741824;
    WithEmitter(h, [&](EmitterObj* e) { v = e->GetPriority(); });
    return v;
}
float KezEngineInternal::GetGain(EmitterHandle& h) {
    float v = 0.0f;
    WithEmitter(h, [&](EmitterObj* e) { v = e->GetGain(); });
    return v;
}
float KezEngineInternal::GetPitch(EmitterHandle& h) {
    float v = 0.0f;
    WithEmitter(h, [&](EmitterObj* e) { v = e->GetPitch(); });
    return v;
}
int KezEngineInternal::GetUserData(EmitterHandle& h) {
    int v = -1;
    WithEmitter(h, [&](EmitterObj* e) { v = e->GetUserData(); });
    return v;
}

int KezEngineInternal::GetAllEmitters(EmitterHandle* out, int max) {
    if (!out || max <= 0) return 0;
    int n = 0;
    ReadAccess r(m_emitterControl);
    ReadAccess rp(m_emitterPendingControl);
    for (HandlableContainer* c : {&m_emitterActive, &m_emitterPending})
        for (auto& [id, o] : *c) {
            if (n >= max) return n;
            out[n++] = MakeEmitterHandle(static_cast<EmitterObj*>(o));
        }
    return n;
}

int KezEngineInternal::GetEmitterHandles(DataHandle& data, EmitterHandle* out, int max) {
    if (!out || max <= 0) return 0;
    int n = 0;
    ReadAccess rd(m_dataControl);
    DataObj* d = GetDataObject(data);
    if (!d) return 0;
    ReadAccess r(m_emitterControl);
    ReadAccess rp(m_emitterPendingControl);
    for (HandlableContainer* c : {&m_emitterActive, &m_emitterPending})
        for (auto& [id, o] : *c) {
            auto* e = static_cast<EmitterObj*>(o);
            if (e->GetDataObj() != d) continue;
            if (n >= max) return n;
            out[n++] = MakeEmitterHandle(e);
        }
    return n;
}

void KezEngineInternal::RegisterForEmitterStateChangeNotification(EmitterHandle& h, EmitterStateCallback cb, void* u) {
    WithEmitter(h, [&](EmitterObj* e) { e->SetStateCallback(cb, u); });
}
void KezEngineInternal::UnregisterForEmitterStateChangeNotification(EmitterHandle& h) {
    WithEmitter(h, [&](EmitterObj* e) { e->SetStateCallback(nullptr, nullptr); });
}

void KezEngineInternal::Set3DEmitterParameteri(EmitterHandle& h, int id, int v) {
    WithEmitter(h, [&](EmitterObj* e) { e->Set3DParameteri(id, v); });
}
void KezEngineInternal::Set3DEmitterParameterf(EmitterHandle& h, int id, float v) {
    WithEmitter(h, [&](EmitterObj* e) { e->Set3DParameterf(id, v); });
}
void KezEngineInternal::Set3DEmitterParameters(EmitterHandle& h, const Kez3DEmitterParameters& p) {
    WithEmitter(h, [&](EmitterObj* e) { e->Set3DParameters(p); });
}
void KezEngineInternal::Set3DEmitterPosition(EmitterHandle& h, float x, float y, float z) {
    WithEmitter(h, [&](EmitterObj* e) { e->Set3DParameter3f(8, x, y, z); });
}
void KezEngineInternal::Set3DEmitterVelocity(EmitterHandle& h, float x, float y, float z) {
    WithEmitter(h, [&](EmitterObj* e) { e->Set3DParameter3f(9, x, y, z); });
}
void KezEngineInternal::Set3DEmitterDirection(EmitterHandle& h, float x, float y, float z) {
    WithEmitter(h, [&](EmitterObj* e) { e->Set3DParameter3f(10, x, y, z); });
}
void KezEngineInternal::Get3DEmitterParameteri(EmitterHandle& h, int id, int& out) {
    WithEmitter(h, [&](EmitterObj* e) { e->Get3DParameteri(id, out); });
}
void KezEngineInternal::Get3DEmitterParameterf(EmitterHandle& h, int id, float& out) {
    WithEmitter(h, [&](EmitterObj* e) { e->Get3DParameterf(id, out); });
}
void KezEngineInternal::Get3DEmitterParameters(EmitterHandle& h, Kez3DEmitterParameters& out) {
    WithEmitter(h, [&](EmitterObj* e) { e->Get3DParameters(out); });
}
void KezEngineInternal::Get3DEmitterPosition(EmitterHandle& h, float& x, float& y, float& z) {
    WithEmitter(h, [&](EmitterObj* e) { e->Get3DParameter3f(8, x, y, z); });
}
void KezEngineInternal::Get3DEmitterVelocity(EmitterHandle& h, float& x, float& y, float& z) {
    WithEmitter(h, [&](EmitterObj* e) { e->Get3DParameter3f(9, x, y, z); });
}
void KezEngineInternal::Get3DEmitterDirection(EmitterHandle& h, float& x, float& y, float& z) {
    WithEmitter(h, [&](EmitterObj* e) { e->Get3DParameter3f(10, x, y, z); });
}

}  // namespace kez
