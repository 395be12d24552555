#include "audio/KezEngine.h"

#include "audio/KezClock.h"
#include "audio/KezMemory.h"
#include "audio/StreamCFile.h"
#include "audio/StreamMemoryBuffer.h"
#include "audio/decoders/DecoderMPC8.h"
#include "audio/decoders/DecoderMSWav.h"
#include "audio/decoders/DecoderStbVorbis.h"
#include "audio/decoders/DecoderRaw.h"

namespace kez {

KezEngine* KezEngine::s_kezEngine = nullptr;
KezEngineInternal* KezEngine::m_internal = nullptr;

KezEngine::KezEngine() {
    m_mutex = KezNew<Mutex>();
    m_internal = KezEngineInternal::GetKezEngineInternal();
}

KezEngine::~KezEngine() {
    Shutdown();
    if (m_internal) {
        KezDelete(m_internal);
        m_internal = nullptr;
    }
    KezDelete(m_mutex);
}

KezEngine* KezEngine::GetKezEngine() {
    if (!s_kezEngine) {
        void* memory = KezAlloc(sizeof(KezEngine));
        if (memory) s_kezEngine = new (memory) KezEngine();
    }
    return s_kezEngine;
}

void KezEngine::DestroyKezEngine() {
    KezDelete(s_kezEngine);
    s_kezEngine = nullptr;
}

void KezEngine::Initialize() {
    if (!m_internal || m_initialized) return;
    m_initialized = true;
    m_internal->Initialize();
    m_internal->RegisterStreamType(StreamMemoryBufferFactory);
    m_internal->RegisterStreamType(StreamCFileFactory);
    // Type 4 (native interactive music) holds its number with a null entry: the game ships no such
    // file and its decoder is not part of this engine. Type 5 is null by design.
    m_internal->RegisterDecoderType(DecoderRawFactory);
    m_internal->RegisterDecoderType(DecoderMSWavFactory);
    m_internal->RegisterDecoderType(DecoderStbVorbisFactory);
    m_internal->RegisterDecoderType(DecoderMPC8Factory);
    m_internal->RegisterDecoderType(nullptr);
    m_internal->RegisterDecoderType(nullptr);
    m_lastEmitterUpdate = _GetTime();
    m_updateThread = KezNew<KezThread>(static_cast<KezThread::Callback>(&KezEngine::UpdateThreaded), static_cast<void*>(this), nullptr, "KezEngine::Update");
}

void KezEngine::Shutdown() {
    KezDelete(m_updateThread);
    m_updateThread = nullptr;
}

void KezEngine::SuspendEngine() { if (m_internal) m_internal->Suspend(); }
void KezEngine::ResumeEngine() { if (m_internal) m_internal->Resume(); }
bool KezEngine::IsEngineSuspended() { return m_internal ? m_internal->IsSuspended() : true; }

void KezEngine::UpdateThreaded(void* engine, void*) { static_cast<KezEngine*>(engine)->UpdateThreaded(); }
void KezEngine::UpdateSourcesThreaded(void* engine, void*) { static_cast<KezEngine*>(engine)->UpdateSourcesThreaded(); }
void KezEngine::UpdateEmittersThreaded(void* engine, void*) { static_cast<KezEngine*>(engine)->UpdateEmittersThreaded(); }

void KezEngine::UpdateThreaded() {
    UpdateSourcesThreaded();
    UpdateEmittersThreaded();
}

void KezEngine::UpdateSourcesThreaded() {
    if (m_internal) m_internal->UpdateSources();
}

void KezEngine::UpdateEmittersThreaded() {
    if (!m_internal) return;
    const double now = _GetTime();
    const double dt = GetTimeDT(m_lastEmitterUpdate, now);
    if (now > m_lastEmitterUpdate) m_lastEmitterUpdate = now;
    m_internal->UpdateEmitters(float(dt));
}

int KezEngine::RegisterStreamType(StreamFactory f) { return m_internal ? m_internal->RegisterStreamType(f) : -1; }
int KezEngine::RegisterDecoderType(DecoderFactoryFn f) { return m_internal ? m_internal->RegisterDecoderType(f) : -1; }

#define KEZ_FWD(ret, def, name, params, args) \
    ret KezEngine::name params { return m_internal ? m_internal->name args : def; }
#define KEZ_FWDV(name, params, args) \
    void KezEngine::name params { if (m_internal) m_internal->name args; }

KEZ_FWD(DataHandle, DataHandle(), LoadDataSource, (int st, void* sp, int dt, void* dp, int g), (st, sp, dt, dp, g))
KEZ_FWD(DataHandle, DataHandle(), LoadDataSourceAsync,
        (int st, void* sp, int dt, void* dp, int g, KezSourceLoadingFlags f), (st, sp, dt, dp, g, f))
KEZ_FWD(DataHandle, DataHandle(), ConvertToRamBufferSource, (DataHandle& h), (h))
KEZ_FWD(DataHandle, DataHandle(), ConvertToRawSource, (DataHandle& h), (h))
KEZ_FWDV(ReleaseDatasource, (unsigned mask), (mask))
KEZ_FWDV(ReleaseDatasource, (DataHandle& h), (h))
KEZ_FWDV(SetUid, (DataHandle& h, int uid), (h, uid))
KEZ_FWDV(SetPriorityBankId, (DataHandle& h, int bank), (h, bank))
KEZ_FWDV(SetUserData, (DataHandle& h, DataHandleUserData& d), (h, d))
KEZ_FWD(bool, false, IsValid, (DataHandle& h), (h))
KEZ_FWD(bool, false, IsReady, (DataHandle& h), (h))
KEZ_FWD(int, 0, GetAllDataSources, (DataHandle* out, int max), (out, max))
KEZ_FWD(float, 0.0f, GetDuration, (DataHandle& h), (h))
KEZ_FWD(int, -1, GetUid, (DataHandle& h), (h))
KEZ_FWD(int, -1, GetUserData, (DataHandle& h), (h))
KEZ_FWD(bool, false, SetPriorityBank, (int b, int minP, int maxE, PriorityBankBehavior be), (b, minP, maxE, be))
KEZ_FWD(EmitterHandle, EmitterHandle(), CreateEmitter, (DataHandle& d, int p, void* dd), (d, p, dd))
KEZ_FWD(EmitterHandle, EmitterHandle(), CreateEmitterAsync, (DataHandle& d, int p, void* dd), (d, p, dd))
KEZ_FWD(DataHandle, DataHandle(), GetData, (EmitterHandle& h), (h))
KEZ_FWDV(Play, (EmitterHandle& h, bool loop, float f), (h, loop, f))
KEZ_FWDV(Stop, (EmitterHandle& h, float f), (h, f))
KEZ_FWDV(Pause, (EmitterHandle& h, float f), (h, f))
KEZ_FWDV(Resume, (EmitterHandle& h, float f), (h, f))
KEZ_FWDV(KillEmitter, (EmitterHandle& h), (h))
KEZ_FWDV(SetLoop, (EmitterHandle& h, bool l), (h, l))
KEZ_FWDV(SetGroup, (EmitterHandle& h, int g), (h, g))
KEZ_FWDV(SetPriority, (EmitterHandle& h, int p), (h, p))
KEZ_FWDV(SetGain, (EmitterHandle& h, float g, float s), (h, g, s))
KEZ_FWDV(SetPitch, (EmitterHandle& h, float p, float s), (h, p, s))
KEZ_FWDV(SetAutoKillAfterDone, (EmitterHandle& h, bool a), (h, a))
KEZ_FWDV(SetUserData, (EmitterHandle& h, EmitterHandleUserData& d), (h, d))
KEZ_FWDV(SetInteractiveMusicState, (EmitterHandle& h, const char* s), (h, s))
KEZ_FWDV(SetDSPEmitterParameter, (EmitterHandle& h, int id, void* t), (h, id, t))
KEZ_FWDV(PlayAllEmitters, (unsigned m, float f), (m, f))
KEZ_FWDV(SetPlayCursor, (EmitterHandle& h, float s), (h, s))
KEZ_FWDV(StopAllEmitters, (unsigned m, float f), (m, f))
KEZ_FWDV(PauseAllEmitters, (unsigned m, float f), (m, f))
KEZ_FWDV(ResumeAllEmitters, (unsigned m, float f), (m, f))
KEZ_FWD(bool, false, IsValid, (EmitterHandle& h), (h))
KEZ_FWD(bool, false, IsReady, (EmitterHandle& h), (h))
KEZ_FWD(bool, false, IsAlive, (EmitterHandle& h), (h))
KEZ_FWD(bool, false, IsPlaying, (EmitterHandle& h), (h))
KEZ_FWD(bool, true, IsDone, (EmitterHandle& h), (h))
KEZ_FWD(int, 0, GetStatus, (EmitterHandle& h), (h))
KEZ_FWD(int, 0, GetGroup, (EmitterHandle& h), (h))
KEZ_FWD(int, 0, GetAllEmitters, (EmitterHandle* out, int max), (out, max))
KEZ_FWD(int, 0, GetEmitterHandles, (DataHandle& d, EmitterHandle* out, int max), (d, out, max))
KEZ_FWD(int, -1073741824, GetPriority, (EmitterHandle& h), (h))
KEZ_FWD(float, 0.0f, GetGain, (EmitterHandle& h), (h))
KEZ_FWD(float, 0.0f, GetPitch, (EmitterHandle& h), (h))
KEZ_FWD(float, 0.0f, GetPlayCursor, (EmitterHandle& h), (h))
KEZ_FWD(int, -1, GetUserData, (EmitterHandle& h), (h))
KEZ_FWDV(SetMasterGain, (float g, float s), (g, s))
KEZ_FWDV(SetGroupGain, (unsigned m, float g, float s), (m, g, s))
KEZ_FWD(float, 0.0f, GetMasterGain, (), ())
KEZ_FWD(float, 0.0f, GetGroupGain, (int g), (g))
KEZ_FWDV(Set3DGeneralParameteri, (int id, int v), (id, v))
KEZ_FWDV(Set3DGeneralParameterf, (int id, float v), (id, v))
KEZ_FWDV(Set3DGeneralParameter, (const Kez3DGeneralParameters& p), (p))
KEZ_FWDV(Set3DListenerPosition, (float x, float y, float z), (x, y, z))
KEZ_FWDV(Set3DListenerVelocity, (float x, float y, float z), (x, y, z))
KEZ_FWDV(Set3DListenerOrientation, (float a, float b, float c, float d, float e, float f), (a, b, c, d, e, f))
KEZ_FWDV(Set3DEmitterParameteri, (EmitterHandle& h, int id, int v), (h, id, v))
KEZ_FWDV(Set3DEmitterParameterf, (EmitterHandle& h, int id, float v), (h, id, v))
KEZ_FWDV(Set3DEmitterParameters, (EmitterHandle& h, const Kez3DEmitterParameters& p), (h, p))
KEZ_FWDV(Set3DEmitterPosition, (EmitterHandle& h, float x, float y, float z), (h, x, y, z))
KEZ_FWDV(Set3DEmitterVelocity, (EmitterHandle& h, float x, float y, float z), (h, x, y, z))
KEZ_FWDV(Set3DEmitterDirection, (EmitterHandle& h, float x, float y, float z), (h, x, y, z))
KEZ_FWDV(Get3DGeneralParameteri, (int id, int& o), (id, o))
KEZ_FWDV(Get3DGeneralParameterf, (int id, float& o), (id, o))
KEZ_FWDV(Get3DGeneralParameter, (Kez3DGeneralParameters& o), (o))
KEZ_FWDV(Get3DListenerPosition, (float& x, float& y, float& z), (x, y, z))
KEZ_FWDV(Get3DListenerVelocity, (float& x, float& y, float& z), (x, y, z))
KEZ_FWDV(Get3DListenerOrientation, (float& a, float& b, float& c, float& d, float& e, float& f), (a, b, c, d, e, f))
KEZ_FWDV(Get3DEmitterParameteri, (EmitterHandle& h, int id, int& o), (h, id, o))
KEZ_FWDV(Get3DEmitterParameterf, (EmitterHandle& h, int id, float& o), (h, id, o))
KEZ_FWDV(Get3DEmitterParameters, (EmitterHandle& h, Kez3DEmitterParameters& o), (h, o))
KEZ_FWDV(Get3DEmitterPosition, (EmitterHandle& h, float& x, float& y, float& z), (h, x, y, z))
KEZ_FWDV(Get3DEmitterVelocity, (EmitterHandle& h, float& x, float& y, float& z), (h, x, y, z))
KEZ_FWDV(Get3DEmitterDirection, (EmitterHandle& h, float& x, float& y, float& z), (h, x, y, z))
KEZ_FWDV(SetOutputMode, (KezOutputMode m), (m))
KEZ_FWD(int, -1, GetOutputMode, (), ())
KEZ_FWDV(SetSFXPresetActive, (int p, bool a, float s), (p, a, s))
KEZ_FWDV(SetRoutingVolume, (char* a, char* b, int t, float x, float y, float z), (a, b, t, x, y, z))
KEZ_FWDV(SetDynamicBusRouting, (char* n), (n))
KEZ_FWDV(SetStaticBusRouting, (char* n), (n))
KEZ_FWDV(GetDebugInfo, (DebugInfo& o), (o))
KEZ_FWDV(PrintDebug, (), ())

#undef KEZ_FWD
#undef KEZ_FWDV

}  // namespace kez
