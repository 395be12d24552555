#include "audio/KezEngineInternal.h"

#include "audio/DriverInterface.h"
#include "audio/FileSystemInterface.h"
#include "audio/KezMemory.h"

namespace kez {

KezEngineInternal* KezEngineInternal::s_kezEngineInternal = nullptr;

KezEngineInternal* KezEngineInternal::GetKezEngineInternal() {
    if (!s_kezEngineInternal) s_kezEngineInternal = KezNew<KezEngineInternal>();
    return s_kezEngineInternal;
}

KezEngineInternal::KezEngineInternal() {
    m_killList.reserve(128);
    m_banks = KezNew<PriorityBankManager>(5);
    for (float& g : m_groupGains) g = 1.0f;
}

KezEngineInternal::~KezEngineInternal() {
    // Every data source dies with its emitters, active then pending.
    for (HandlableContainer* c : {&m_dataActive, &m_dataPending}) {
        std::vector<DataObj*> sources;
        for (auto& [id, object] : *c) sources.push_back(static_cast<DataObj*>(object));
        c->Reset();
        for (DataObj* d : sources) ReleaseDatasource(d);
    }
    {
        MutexLock l(m_releaseLock);
        m_releaseQueue.clear();
    }
    KezDelete(m_banks);
    m_banks = nullptr;
    KezDelete(m_driver);
    m_driver = nullptr;
    FileSystemInterface::DestroyInstance();
    if (s_kezEngineInternal == this) s_kezEngineInternal = nullptr;
}

void KezEngineInternal::Initialize() {
    if (!m_driver) m_driver = CreateDriver();
    FileSystemInterface::GetInstance();
}

int KezEngineInternal::RegisterStreamType(StreamFactory factory) {
    if (m_streamTypeCount + 1 > kMaxTypes) return -1;
    m_streamFactories[m_streamTypeCount] = factory;
    return m_streamTypeCount++;
}

int KezEngineInternal::RegisterDecoderType(DecoderFactoryFn factory) {
    if (m_decoderTypeCount + 1 > kMaxTypes) return -1;
    m_decoderFactories[m_decoderTypeCount] = factory;
    return m_decoderTypeCount++;
}

void KezEngineInternal::Suspend() {
    if (!m_driver) return;
    MutexLock l(m_engineLock);
    if (m_suspendCount == 0) m_driver->Suspend();
    ++m_suspendCount;
}

void KezEngineInternal::Resume() {
    if (!m_driver) return;
    MutexLock l(m_engineLock);
    if (m_suspendCount > 1) {
        --m_suspendCount;
    } else if (m_suspendCount == 1) {
        m_driver->Resume();
        m_suspendCount = 0;
    }
}

bool KezEngineInternal::IsSuspended() {
    MutexLock l(m_engineLock);
    return m_suspendCount > 0;
}

bool KezEngineInternal::SetPriorityBank(int bank, int minPriority, int maxEmitters, PriorityBankBehavior b) {
    return m_banks ? m_banks->SetPriorityBank(bank, minPriority, maxEmitters, b) : false;
}

void KezEngineInternal::UpdateDSP(float seconds) {
    if (m_driver) m_driver->Update(seconds);
}

void KezEngineInternal::SetSFXPresetActive(int preset, bool active, float seconds) {
    MutexLock l(m_engineLock);
    if (m_driver) m_driver->SetSFXPresetActive(preset, active, seconds);
}

void KezEngineInternal::SetDynamicBusRouting(char* name) {
    MutexLock l(m_engineLock);
    if (m_driver) m_driver->SetDynamicBusRouting(name);
}

void KezEngineInternal::SetStaticBusRouting(char* name) {
    MutexLock l(m_engineLock);
    if (m_driver) m_driver->SetStaticBusRouting(name);
}

void KezEngineInternal::SetOutputMode(KezOutputMode mode) {
    if (m_driver) m_driver->SetOutputMode(mode);
}

int KezEngineInternal::GetOutputMode() { return m_driver ? m_driver->GetOutputMode() : -1; }

void KezEngineInternal::GetDebugInfo(DebugInfo& out) {
    {
        ReadAccess r(m_dataControl);
        out.dataSources = int(m_dataActive.Size());
    }
    ReadAccess r(m_emitterControl);
    out.emitters = int(m_emitterActive.Size());
    out.playing = 0;
    for (auto& [id, o] : m_emitterActive)
        if (static_cast<EmitterObj*>(o)->IsPlaying()) ++out.playing;
    out.reserved = -1;
}

void KezEngineInternal::PrintDebug() {
    MutexLock l(m_engineLock);
    if (m_driver) m_driver->PrintDebug();
}

}  // namespace kez
