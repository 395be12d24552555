// The emitter half of the update pass, the master and group gains and the general 3D values.
#include <algorithm>

#include "audio/DriverInterface.h"
#include "audio/KezEngineInternal.h"

namespace kez {

namespace {
float clamp01(float g) { return g < 0.0f ? 0.0f : g > 1.0f ? 1.0f : g; }
}

void KezEngineInternal::SetGroupGain(unsigned mask, float gain, float seconds) {
    MutexLock l(m_engineLock);
    for (int i = 0; i < 32; ++i)
        if (mask & (1u << i)) m_groupRamps[i].Restart(m_groupRamps[i].Value(), clamp01(gain), seconds + 0.001f);
}

void KezEngineInternal::SetMasterGain(float gain, float seconds) {
    MutexLock l(m_engineLock);
    m_masterRamp.Restart(m_masterRamp.Value(), clamp01(gain), seconds + 0.001f);
}

float KezEngineInternal::GetMasterGain() {
    MutexLock l(m_engineLock);
    return m_masterRamp.target;
}

float KezEngineInternal::GetGroupGain(int group) {
    if (group < 0 || group > 31) return 0.0f;
    MutexLock l(m_engineLock);
    return m_groupRamps[group].target;
}

float KezEngineInternal::GetEffectiveGroupGain(int group) {
    if (group < 0 || group > 31) return 0.0f;
    MutexLock l(m_engineLock);
    return m_groupGains[group];
}

void KezEngineInternal::Set3DGeneralParameteri(int id, int value) {
    MutexLock l(m_engineLock);
    if (id == 2) m_general.distanceModel = value;
    else if (id == 3) m_general.enable3D = value;
    else return;
    m_3dDirty[id] = true;
}

void KezEngineInternal::Get3DGeneralParameteri(int id, int& out) {
    MutexLock l(m_engineLock);
    if (id == 2) out = m_general.distanceModel;
}

void KezEngineInternal::Set3DGeneralParameterf(int id, float value) {
    MutexLock l(m_engineLock);
    if (id == 0) m_general.dopplerFactor = value;
    else if (id == 1) m_general.speedOfSound = value;
    else return;
    m_3dDirty[id] = true;
}

void KezEngineInternal::Get3DGeneralParameterf(int id, float& out) {
    MutexLock l(m_engineLock);
    if (id == 0) out = m_general.dopplerFactor;
    else if (id == 1) out = m_general.speedOfSound;
}

void KezEngineInternal::Set3DGeneralParameter(const Kez3DGeneralParameters& p) {
    MutexLock l(m_engineLock);
    m_general = p;
    for (int i = 0; i < 4; ++i) m_3dDirty[i] = true;
}

void KezEngineInternal::Get3DGeneralParameter(Kez3DGeneralParameters& out) {
    MutexLock l(m_engineLock);
    out = m_general;
}

void KezEngineInternal::Set3DListenerPosition(float x, float y, float z) {
    MutexLock l(m_engineLock);
    m_listenerPosition[0] = x; m_listenerPosition[1] = y; m_listenerPosition[2] = z;
    m_3dDirty[4] = true;
}

void KezEngineInternal::Set3DListenerVelocity(float x, float y, float z) {
    MutexLock l(m_engineLock);
    m_listenerVelocity[0] = x; m_listenerVelocity[1] = y; m_listenerVelocity[2] = z;
    m_3dDirty[5] = true;
}

void KezEngineInternal::Set3DListenerOrientation(float fx, float fy, float fz, float ux, float uy, float uz) {
    MutexLock l(m_engineLock);
    const float v[6] = {fx, fy, fz, ux, uy, uz};
    std::copy(v, v + 6, m_listenerOrientation);
    m_3dDirty[6] = true;
}

void KezEngineInternal::Get3DListenerPosition(float& x, float& y, float& z) {
    MutexLock l(m_engineLock);
    x = m_listenerPosition[0]; y = m_listenerPosition[1]; z = m_listenerPosition[2];
}

void KezEngineInternal::Get3DListenerVelocity(float& x, float& y, float& z) {
    MutexLock l(m_engineLock);
    x = m_listenerVelocity[0]; y = m_listenerVelocity[1]; z = m_listenerVelocity[2];
}

void KezEngineInternal::Get3DListenerOrientation(float& fx, float& fy, float& fz, float& ux, float& uy, float& uz) {
    MutexLock l(m_engineLock);
    fx = m_listenerOrientation[0]; fy = m_listenerOrientation[1]; fz = m_listenerOrientation[2];
    ux = m_listenerOrientation[3]; uy = m_listenerOrientation[4]; uz = m_listenerOrientation[5];
}

// Engine lock held.
void KezEngineInternal::Update3D() {
    if (!m_driver) return;
    void* values[7] = {&m_general.dopplerFactor, &m_general.speedOfSound, &m_general.distanceModel,
                       &m_general.enable3D, m_listenerPosition, m_listenerVelocity, nullptr};
    float orientation[6];
    std::copy(m_listenerOrientation, m_listenerOrientation + 6, orientation);
    values[6] = orientation;
    for (int id = 0; id < 7; ++id) {
        if (!m_3dDirty[id]) continue;
        m_driver->Set3DParameter(id, values[id]);
        m_3dDirty[id] = false;
    }
}

void KezEngineInternal::UpdateEmitters(float dt) {
    float gains[32];
    {
        MutexLock l(m_engineLock);
        if (m_suspendCount > 0) return;
        dt = dt < 0.0f ? 0.0f : dt > 0.1f ? 0.1f : dt;
        Update3D();
        UpdateDSP(dt);
        m_masterRamp.Advance(dt);
        const float master = m_masterRamp.Value();
        for (int i = 0; i < 32; ++i) {
            m_groupRamps[i].Advance(dt);
            m_groupGains[i] = master * m_groupRamps[i].Value();
        }
        std::copy(m_groupGains, m_groupGains + 32, gains);
    }
    {
        WriteAccess w(m_emitterControl);
        WriteAccess wp(m_emitterPendingControl);
        if (!m_emitterPending.Empty()) {
            m_emitterActive.Merge(&m_emitterPending);
            m_emitterPending.Reset();
        }
    }
    {
        ReadAccess r(m_emitterControl);
        for (auto& [id, o] : m_emitterActive) {
            auto* e = static_cast<EmitterObj*>(o);
            const int g = e->GetGroup();
            e->SetGainModifier(gains[(g < 0 || g > 31) ? 0 : g]);
            e->Update(dt);
        }
        for (auto& [id, o] : m_emitterActive) {
            auto* e = static_cast<EmitterObj*>(o);
            if (e->ShouldDie()) m_killList.push_back(e);
        }
        if (m_banks) m_banks->Update();
    }
    if (!m_killList.empty()) {
        WriteAccess w(m_emitterControl);
        while (!m_killList.empty()) {
            EmitterObj* e = m_killList.back();
            m_emitterActive.Detach(e->GetId());
            KillEmitter(e);
            m_killList.pop_back();
        }
    }
}

}  // namespace kez
