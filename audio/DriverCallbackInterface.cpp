#include "audio/DriverCallbackInterface.h"

#include <algorithm>
#include <cstring>

#include "audio/KezMemory.h"

namespace kez {

namespace {

class MixerSource : public DriverCallbackSourceInterface {
public:
    using DriverCallbackSourceInterface::DriverCallbackSourceInterface;
    void PrintDebug() override {}
};

}  // namespace

DriverCallbackInterface::DriverCallbackInterface() = default;

DriverCallbackInterface::~DriverCallbackInterface() {
    MutexLock l(m_driverLock);
    KezFree(m_mixBuffer);
    m_mixBuffer = nullptr;
    m_mixCapacity = 0;
    DriverCallbackSourceInterface::FreeWorkBuffer();
    // Sources still listed belong to nobody any more (the engine destroys its own first).
    for (DriverCallbackSourceInterface* s : m_sources) KezDelete(s);
    m_sources.clear();
}

void DriverCallbackInterface::Init(void*) {
    // The class-wide buffers start empty; they grow at the first pass.
}

bool DriverCallbackInterface::IsActive() { MutexLock l(m_driverLock); return m_active; }
int DriverCallbackInterface::SourceCount() { MutexLock l(m_driverLock); return int(m_sources.size()); }

void DriverCallbackInterface::Set3DParameter(int id, void* value) {
    if (!value) return;
    MutexLock l(m_driverLock);
    Set3DParameterLocked(id, value);
}

void DriverCallbackInterface::Set3DParameterLocked(int id, const void* value) {
    const float* f = static_cast<const float*>(value);
    switch (id) {
        case 0: m_general.dopplerFactor = *f; break;
        case 1: m_general.speedOfSound = *f; break;
        case 2: m_general.distanceModel = *static_cast<const int32_t*>(value); break;
        case 3: m_general.enable3D = *static_cast<const int32_t*>(value); break;
        case 4: std::copy(f, f + 3, m_listener.position); break;
        case 5: std::copy(f, f + 3, m_listener.velocity); break;
        case 6:
            std::copy(f, f + 3, m_listener.forward);
            std::copy(f + 3, f + 6, m_listener.up);
            break;
        default: break;
    }
}

void DriverCallbackInterface::SetDefaultParameter(bool lockHeld) {
    if (!lockHeld) {
        MutexLock l(m_driverLock);
        SetDefaultParameter(true);
        return;
    }
    float doppler = 1.0f, speed = 343.3f;
    int32_t model = 2, sw = 0;
    float zero[3] = {0, 0, 0};
    float orientation[6] = {0, 0, -1, 0, 1, 0};
    Set3DParameterLocked(0, &doppler);
    Set3DParameterLocked(1, &speed);
    Set3DParameterLocked(2, &model);
    Set3DParameterLocked(3, &sw);
    Set3DParameterLocked(4, zero);
    Set3DParameterLocked(5, zero);
    Set3DParameterLocked(6, orientation);
}

void DriverCallbackInterface::_FillBuffer(short* out, int frames) {
    DriverCallbackSourceInterface::Set3DParameters(m_listener, m_general);
    if (frames > m_mixCapacity) {
        KezFree(m_mixBuffer);
        m_mixBuffer = static_cast<int32_t*>(KezAlloc(unsigned(frames) * 2u * sizeof(int32_t)));
        m_mixCapacity = m_mixBuffer ? frames : 0;
        if (!m_mixBuffer) return;
    }
    if (m_mixCapacity < 1 || frames < 1) return;
    std::memset(m_mixBuffer, 0, size_t(frames) * 2 * sizeof(int32_t));
    for (DriverCallbackSourceInterface* s : m_sources) s->FillBuffer(m_mixBuffer, frames);
    for (int k = 0; k < frames * 2; ++k) {
        const int v = m_mixBuffer[k];
        out[k] = short(v > 32767 ? 32767 : v < -32768 ? -32768 : v);
    }
}

void DriverCallbackInterface::FillBuffer(short* out, int frames) {
    MutexLock l(m_driverLock);
    if (m_active) _FillBuffer(out, frames);
}

DriverCallbackSourceInterface* DriverCallbackInterface::AddSource(const TrackParams* params, const void* driverData) {
    MutexLock l(m_driverLock);
    auto* s = KezNew<MixerSource>(params, driverData, m_nextSourceId++);
    if (!s) return nullptr;
    s->Init();
    m_sources.push_back(s);
    return s;
}

void DriverCallbackInterface::RemoveSource(DriverSourceInterface* source) {
    if (!source) return;
    MutexLock l(m_driverLock);
    auto it = std::find(m_sources.begin(), m_sources.end(), source);
    if (it == m_sources.end()) return;
    m_sources.erase(it);
    KezDelete(source);
}

DriverCallbackMixer::DriverCallbackMixer(int sampleRate, float period) {
    DriverCallbackSourceInterface::SetDriverSampleRate(sampleRate);
    DriverCallbackSourceInterface::SetDriverCallbackPeriod(period);
    SetDefaultParameter();
    m_active = true;
}

DriverSourceInterface* DriverCallbackMixer::CreateDriverSource(void* params, void* driverData, int) {
    return AddSource(static_cast<const TrackParams*>(params), driverData);
}

void DriverCallbackMixer::DestroyDriverSource(DriverSourceInterface* source) { RemoveSource(source); }

}  // namespace kez
