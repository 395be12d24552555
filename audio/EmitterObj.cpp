#include "audio/EmitterObj.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "audio/DataObj.h"
#include "audio/DriverInterface.h"
#include "audio/KezMemory.h"
#include "audio/StreamInterface.h"
#include "audio/decoders/DecoderCursorInterface.h"
#include "audio/decoders/DecoderInterface.h"

namespace kez {

namespace {
constexpr float kLargest = 3.4028235e38f;
}

EmitterObj::EmitterObj(int64_t id, int priority, int bankId, int bufferSize, DriverSourceInterface* source,
                       DecoderCursorInterface* cursor, DataObj* data, const TrackParams* asyncParams)
    : Handlable(id), m_priority(priority), m_bankId(bankId), m_bufferSize(bufferSize), m_source(source),
      m_cursor(cursor), m_data(data) {
    TrackParams p;
    if (cursor) p = cursor->GetTrackParams();
    else if (asyncParams) p = *asyncParams;
    m_asyncPending = cursor == nullptr;
    // Counts come from file headers: computed wide and held to 32 bits, never overflowed.
    const int64_t bytesPerSample = p.bitsPerSample / 8;
    const auto to32 = [](int64_t v) { return int32_t(std::clamp<int64_t>(v, 0, INT32_MAX)); };
    m_bytesPerSecond = to32(int64_t(p.channels) * p.sampleRate * bytesPerSample);
    if (m_bytesPerSecond <= 0) m_bytesPerSecond = 1;
    m_totalBytes = to32(int64_t(p.channels) * p.numSamples * bytesPerSample);
    m_bytesPerFrame = to32(int64_t(p.channels) * bytesPerSample);
    if (cursor) SetupRing();
    SetDefaultParameters();
    if (data && data->GetDecoder()) m_decoderType = data->GetDecoder()->GetType();
}

EmitterObj::~EmitterObj() = default;

int EmitterObj::BufferSize(const TrackParams& p, bool referenced) {
    int size;
    if (referenced)
        size = int((long long)p.numSamples * p.bitsPerSample / 8);
    else
        size = int((long long)(p.bitsPerSample * p.channels / 8) * p.sampleRate * 250 / 1000);
    const int frame = p.channels * (p.bitsPerSample / 8);
    if (frame > 0) size -= size % frame;
    return size;
}

void EmitterObj::SetupRing() {
    m_buffers.clear();
    m_bufferCount = 0;
    m_ownsBuffers = false;
    if (!m_source || !m_cursor) {
        m_mustDie = true;
        return;
    }
    const bool cursorRefs = m_cursor->AllowBufferReference();
    if (m_source->AllowBufferReference() && !cursorRefs) {
        m_ownsBuffers = true;
        const int n = m_source->GetBufferCount() + 1;
        for (int i = 0; i < n; ++i) {
            auto* b = static_cast<unsigned char*>(KezAlloc(unsigned(m_bufferSize)));
            if (!b) break;
            m_buffers.push_back(b);
        }
        m_bufferCount = int(m_buffers.size());
    } else if (cursorRefs) {
        m_buffers.push_back(nullptr);
        m_bufferCount = 1;
    } else {
        m_ownsBuffers = true;
        if (auto* b = static_cast<unsigned char*>(KezAlloc(unsigned(m_bufferSize)))) {
            m_buffers.push_back(b);
            m_bufferCount = 1;
        }
    }
    if (m_bufferCount == 0) m_mustDie = true;
}

bool EmitterObj::LoadAsync() {
    // Runs with the emitter lock held, on the update thread.
    StreamInterface* stream = m_data ? m_data->GetStream() : nullptr;
    DecoderInterface* decoder = m_data ? m_data->GetDecoder() : nullptr;
    StreamCursorInterface* sc = stream ? stream->CreateNewCursor() : nullptr;
    DecoderCursorInterface* dc = (sc && decoder) ? decoder->CreateNewCursor(sc) : nullptr;
    const TrackParams p = dc ? dc->GetTrackParams() : TrackParams{};
    const int size = dc && p.channels > 0
                         ? BufferSize(p, m_source && m_source->AllowBufferReference() && dc->AllowBufferReference())
                         : 0;
    if (size <= 0) {
        if (dc) decoder->DestroyCursor(dc);
        if (sc) stream->DestroyCursor(sc);
        m_state = -1;
        m_mustDie = true;
        return false;
    }
    m_cursor = dc;
    m_bufferSize = size;
    SetupRing();
    if (m_bufferCount == 0) {
        m_state = -1;
        return false;
    }
    return true;
}

void EmitterObj::FadeFromCurrent(float to, float seconds) { m_fade.Restart(m_fade.Value(), to, seconds); }

void EmitterObj::Play(float f) {
    MutexLock l(m_lock);
    m_fade.Restart(m_target == 2 ? m_fade.Value() : 0.0f, 1.0f, f);
    m_target = 1;
}

void EmitterObj::Stop(float f) {
    MutexLock l(m_lock);
    if (m_state != 1) {
        m_target = 3;
        m_fade.Clear();
    } else if (m_target != 3) {
        m_target = 3;
        FadeFromCurrent(0.0f, f);
    } else if (f < m_fade.Remaining()) {
        FadeFromCurrent(0.0f, f);
    }
}

void EmitterObj::Pause(float f) {
    MutexLock l(m_lock);
    if (m_target == 2 || m_target == 3) {
        if (f < m_fade.Remaining()) FadeFromCurrent(0.0f, f);
    } else if (m_target == 1) {
        m_target = 2;
        if (m_state == 1) FadeFromCurrent(0.0f, f);
        else m_fade.Clear();
    }
}

void EmitterObj::Resume(float f) {
    MutexLock l(m_lock);
    if (m_target == 2 || (m_state == 2 && m_target != 3)) {
        m_target = 1;
        FadeFromCurrent(1.0f, f);
    }
}

void EmitterObj::SetLoop(bool loop) { MutexLock l(m_lock); m_loopRequested = loop; }
bool EmitterObj::GetLoop() { MutexLock l(m_lock); return m_loopApplied; }
void EmitterObj::SetGroup(int group) { MutexLock l(m_lock); m_group = (group < 0 || group > 31) ? 0 : group; }
int EmitterObj::GetGroup() { MutexLock l(m_lock); return m_group; }
bool EmitterObj::IsGroup(unsigned mask) {
    MutexLock l(m_lock);
    return m_group >= 0 && m_group < 32 && (mask & (1u << m_group));
}
void EmitterObj::SetGainModifier(float modifier) { MutexLock l(m_lock); m_gainModifier = modifier; }
void EmitterObj::SetGain(float g, float s) {
    MutexLock l(m_lock);
    m_requestedGain = g;
    m_gainRamp.Restart(m_gainRamp.Value(), g, s);
}
void EmitterObj::SetPitch(float p, float s) {
    MutexLock l(m_lock);
    m_pitchRamp.Restart(m_pitchRamp.Value(), p, s);
}
float EmitterObj::GetGain() { MutexLock l(m_lock); return m_gain; }
float EmitterObj::GetPitch() { MutexLock l(m_lock); return m_pitch; }
void EmitterObj::Reset() { MutexLock l(m_lock); m_rewindPending = true; }
void EmitterObj::SetState(int target) { MutexLock l(m_lock); m_target = target; }
int EmitterObj::GetState() { MutexLock l(m_lock); return m_state; }
int EmitterObj::GetTargetState() { MutexLock l(m_lock); return m_target; }
bool EmitterObj::IsPlaying() { MutexLock l(m_lock); return m_state == 1 || m_target == 1; }
bool EmitterObj::IsDone() { MutexLock l(m_lock); return _IsDone(); }
bool EmitterObj::ShouldDie() { MutexLock l(m_lock); return _ShouldDie(); }
bool EmitterObj::IsAlive() { MutexLock l(m_lock); return !_ShouldDie(); }
void EmitterObj::NeedToDie() { MutexLock l(m_lock); m_mustDie = true; }
bool EmitterObj::IsReady() { MutexLock l(m_lock); return !m_asyncPending; }
void EmitterObj::SetUserData(int value) { MutexLock l(m_lock); m_userData = value; }
int EmitterObj::GetUserData() { MutexLock l(m_lock); return m_userData; }
void EmitterObj::SetAutoKillAfterDone(bool autoKill) { MutexLock l(m_lock); m_autoKill = autoKill; }
void EmitterObj::SetPriority(int priority) { MutexLock l(m_lock); m_priority = priority; }
int EmitterObj::GetPriority() { MutexLock l(m_lock); return m_priority; }
int EmitterObj::GetPriorityBankId() { MutexLock l(m_lock); return m_bankId; }
bool EmitterObj::IsInPriorityBank() { MutexLock l(m_lock); return m_inBank; }
void EmitterObj::SetInPriorityBank(bool in) { MutexLock l(m_lock); m_inBank = in; }
void EmitterObj::SetStateCallback(EmitterStateCallback cb, void* user) {
    MutexLock l(m_lock);
    m_callback = cb;
    m_callbackUser = user;
}
void EmitterObj::SetPendingDSPParameter(const char* text) {
    if (!text || !*text) return;
    MutexLock l(m_lock);
    m_pendingDsp = text;
}
void EmitterObj::SetInteractiveMusicStateChange(const char* state) {
    MutexLock l(m_lock);
    std::strncpy(m_musicState, state ? state : "", sizeof(m_musicState) - 1);
    m_musicStatePending = true;
}

int EmitterObj::GetStatus() {
    MutexLock l(m_lock);
    int status = 0;
    switch (m_state) {
        case -1: return 0;
        case 1: status = kStatusPlaying; break;
        case 2: status = kStatusPaused; break;
        default: status = kStatusStopped; break;
    }
    if (!m_fade.done && m_fade.elapsed < m_fade.duration)
        status |= m_fade.target > m_fade.start ? kStatusFadingIn : kStatusFadingOut;
    return status;
}

bool EmitterObj::NeedToSendStateChangedCallback(EmitterStateCallback& cb, void*& user, EmitterExternState& state) {
    MutexLock l(m_lock);
    if (!m_stateChanged || !m_callback) return false;
    cb = m_callback;
    user = m_callbackUser;
    state = (m_state == 0 || m_state == 3) ? EmitterExtern_Stopped
            : m_state == 1                 ? EmitterExtern_Playing
            : m_state == 2                 ? EmitterExtern_Paused
                                           : EmitterExtern_None;
    m_stateChanged = false;
    return true;
}

void EmitterObj::SetPlayCursor(float seconds) {
    MutexLock l(m_lock);
    if (!m_source || !m_cursor || m_decoderType == 4) return;
    const TrackParams p = m_cursor->GetTrackParams();
    if (p.numSamples <= 0) return;
    if (seconds < 0.0f) seconds = 0.0f;
    const unsigned frame = unsigned(float(p.sampleRate) * seconds);
    m_source->Reset();
    m_source->SetByteOffset(int((long long)frame * p.channels * p.bitsPerSample / 8));
    m_cursor->Seek(frame);
    if (m_target == 2) m_target = 3;
}

float EmitterObj::GetPlayCursor() {
    MutexLock l(m_lock);
    if (m_totalBytes <= 0 || !m_source) return 0.0f;
    return float(m_source->GetByteOffset() % m_totalBytes) / float(m_bytesPerSecond);
}

void EmitterObj::SetDefaultParameters() {
    Set3DParameteri(0, 0);
    Set3DParameterf(1, kLargest);
    Set3DParameterf(2, 1.0f);
    Set3DParameterf(3, 1.0f);
    Set3DParameterf(4, 360.0f);
    Set3DParameterf(5, 360.0f);
    Set3DParameterf(6, 0.0f);
    Set3DParameter3f(8, 0, 0, 0);
    Set3DParameter3f(9, 0, 0, 0);
    Set3DParameter3f(10, 0, 0, 0);
}

void EmitterObj::CleanUp() {
    MutexLock l(m_lock);
    if (m_cursor && m_ownsBuffers)
        for (int i = 0; i < m_bufferCount && i < int(m_buffers.size()); ++i)
            if (m_buffers[i]) {
                KezFree(m_buffers[i]);
                m_buffers[i] = nullptr;
            }
    m_buffers.clear();
    m_dsp.clear();
    m_pendingDsp.clear();
}

void EmitterObj::Set3DParameteri(int id, int value) {
    if (id != 0) return;
    MutexLock l(m_lock);
    m_3d.relative = value;
    m_dirty[0] = true;
}

void EmitterObj::Set3DParameterf(int id, float value) {
    if (id < 1 || id > 7) return;
    MutexLock l(m_lock);
    float* fields[] = {&m_3d.maxDistance, &m_3d.referenceDistance, &m_3d.rolloff, &m_3d.coneInner,
                       &m_3d.coneOuter, &m_3d.coneOuterGain, &m_3d.param7};
    *fields[id - 1] = value;
    m_dirty[id] = true;
}

void EmitterObj::Set3DParameter3f(int id, float x, float y, float z) {
    if (id < 8 || id > 10) return;
    MutexLock l(m_lock);
    KezVector3f& v = id == 8 ? m_position : id == 9 ? m_velocity : m_direction;
    v = {x, y, z};
    m_dirty[id] = true;
}

void EmitterObj::Set3DParameters(const Kez3DEmitterParameters& p) {
    Set3DParameteri(0, p.relative);
    const float values[] = {p.maxDistance, p.referenceDistance, p.rolloff, p.coneInner, p.coneOuter,
                            p.coneOuterGain, p.param7};
    for (int id = 1; id <= 7; ++id) Set3DParameterf(id, values[id - 1]);
}

void EmitterObj::Get3DParameteri(int id, int& out) {
    if (id != 0) return;
    MutexLock l(m_lock);
    out = m_3d.relative;
}

void EmitterObj::Get3DParameterf(int id, float& out) {
    if (id < 1 || id > 7) return;
    MutexLock l(m_lock);
    const float values[] = {m_3d.maxDistance, m_3d.referenceDistance, m_3d.rolloff, m_3d.coneInner,
                            m_3d.coneOuter, m_3d.coneOuterGain, m_3d.param7};
    out = values[id - 1];
}

void EmitterObj::Get3DParameter3f(int id, float& x, float& y, float& z) {
    if (id < 8 || id > 10) return;
    MutexLock l(m_lock);
    const KezVector3f& v = id == 8 ? m_position : id == 9 ? m_velocity : m_direction;
    x = v.x; y = v.y; z = v.z;
}

void EmitterObj::Get3DParameters(Kez3DEmitterParameters& out) { MutexLock l(m_lock); out = m_3d; }

void EmitterObj::Update3D() {
    void* values[11] = {&m_3d.relative, &m_3d.maxDistance, &m_3d.referenceDistance, &m_3d.rolloff,
                        &m_3d.coneInner, &m_3d.coneOuter, &m_3d.coneOuterGain, nullptr,
                        &m_position, &m_velocity, &m_direction};
    for (int id = 0; id < 11; ++id) {
        if (id == 7 || !m_dirty[id]) continue;
        m_source->Set3DParameter(id, values[id]);
        m_dirty[id] = false;
    }
}

void EmitterObj::UpdateDSP(float dt) {
    if (!m_pendingDsp.empty()) {
        m_dsp.swap(m_pendingDsp);
        m_pendingDsp.clear();
        m_source->SetDSPParameter(0, m_dsp.data());
    }
    m_source->Update(dt);
}

void EmitterObj::ProcessNonNativeData() {
    if (!m_source->NeedData() || !m_cursor->HasData()) return;
    if (m_bufferCount <= 0) return;
    unsigned char*& entry = m_buffers[size_t(m_current)];
    if (!entry && !m_cursor->AllowBufferReference()) {
        m_target = -1;
        return;
    }
    void* data = entry;
    const int n = m_cursor->DecodeRef(data, m_bufferSize);
    if (!m_ownsBuffers) entry = static_cast<unsigned char*>(data);
    if (n > 0) {
        m_source->UploadData(data, n);
        m_current = (m_current + 1) % m_bufferCount;
    }
}

// The native interactive-music cursor is not part of this engine build; its sources are fed like
// any other, and a requested music state is only recorded.
void EmitterObj::ProcessNativeData() {
    if (m_musicStatePending && m_atStart) {
        m_cursor->Reset();
        m_source->Reset();
        m_current = 0;
    }
    m_musicStatePending = false;
    ProcessNonNativeData();
}

void EmitterObj::Update(float dt) {
    MutexLock l(m_lock);
    const int oldState = m_state;
    if (m_asyncPending && m_state != -1) {
        if (!LoadAsync()) return;
        m_asyncPending = false;
    }
    if (!m_source || !m_cursor || m_bufferCount == 0) {
        m_mustDie = true;
        return;
    }
    if (m_rewindPending) {
        m_rewindPending = false;
        m_cursor->Reset();
        m_state = m_source->GetState();
        if (m_state != 0) {
            m_source->Reset();
            return;
        }
    }
    if (m_loopRequested != m_loopApplied) {
        m_cursor->SetLoop(m_loopRequested);
        m_loopApplied = m_loopRequested;
    }
    if (m_cursor->GetTrackParams().channels == 1) Update3D();
    UpdateDSP(dt);

    m_gainRamp.Advance(dt);
    m_fade.Advance(dt);
    m_gain = m_gainModifier * m_fade.Value() * m_gainRamp.Value();
    m_driverGain = m_source->GetGain();
    if (m_driverGain != m_gain) {
        m_source->SetGain(m_gain);
        m_driverGain = m_gain;
    }
    m_pitchRamp.Advance(dt);
    m_pitch = m_pitchRamp.Value();
    m_driverPitch = m_source->GetPitch();
    if (m_driverPitch != m_pitch) {
        m_source->SetPitch(m_pitch);
        m_driverPitch = m_pitch;
    }

    m_state = m_source->GetState();
    if (m_state == 3 && m_target != 3 && !m_cursor->HasData()) {
        m_target = 3;
        m_atStart = true;
        m_rewindPending = true;
    } else if (m_state == -1) {
        if (oldState != -1) m_stateChanged = true;
        return;
    }

    if (m_decoderType == 4) ProcessNativeData();
    else ProcessNonNativeData();

    if (m_target != m_state) {
        switch (m_target) {
            case 0:
                m_target = m_state;
                break;
            case 1:
                m_atStart = false;
                m_source->Play();
                m_state = m_source->GetState();
                break;
            case 2:
                if (m_fade.done) {
                    m_source->SetGain(0.0f);
                    m_source->Pause();
                    m_state = m_source->GetState();
                }
                break;
            case 3:
                if (m_state == 0) {
                    m_target = 0;
                } else if (m_fade.done) {
                    m_source->Stop();
                    m_state = m_source->GetState();
                    if (m_state == 0) m_state = 3;
                    m_rewindPending = true;
                    m_atStart = true;
                }
                break;
            default:
                m_state = m_target = -1;
                break;
        }
    }
    if (m_state != oldState && m_state != 0) m_stateChanged = true;
}

}  // namespace kez
