#pragma once
// The audio engine's facade: a process-wide singleton that owns the update thread and the internal
// engine, and forwards every other call to it, answering a fixed default when it is missing.
//
//     kez::KezEngine* engine = kez::KezEngine::GetKezEngine();
//     engine->Initialize();                      // driver, file system, 2 stream and 6 decoder types, thread
//     kez::DataHandle data = engine->LoadDataSource(1, (void*)"a.wav", 1, nullptr, 2);
//     kez::EmitterHandle e = engine->CreateEmitter(data, 0, nullptr);
//     engine->Play(e, false, 0.0f);
//     ...                                        // every handle is dropped before:
//     kez::KezEngine::DestroyKezEngine();

#include "audio/KezEngineInternal.h"
#include "audio/KezThread.h"

namespace kez {

class KezEngine {
public:
    static KezEngine* s_kezEngine;
    static KezEngineInternal* m_internal;

    static KezEngine* GetKezEngine();  // created on first use
    static void DestroyKezEngine();

    virtual ~KezEngine();
    virtual void Initialize();  // once; the registrations and the update thread
    virtual void Shutdown();    // stops the update thread only
    virtual void SuspendEngine();
    virtual void ResumeEngine();
    virtual bool IsEngineSuspended();  // true without an internal engine

    // Thread entries.
    static void UpdateThreaded(void* engine, void*);
    static void UpdateSourcesThreaded(void* engine, void*);
    static void UpdateEmittersThreaded(void* engine, void*);
    void UpdateThreaded();
    void UpdateSourcesThreaded();
    void UpdateEmittersThreaded();
    KezThread* GetUpdateThread() const { return m_updateThread; }

    int RegisterStreamType(StreamFactory factory);
    int RegisterDecoderType(DecoderFactoryFn factory);

    // Data sources.
    DataHandle LoadDataSource(int streamType, void* streamParams, int decoderType, void* decoderParams, int group);
    DataHandle LoadDataSourceAsync(int streamType, void* streamParams, int decoderType, void* decoderParams, int group,
                                   KezSourceLoadingFlags flags);
    DataHandle ConvertToRamBufferSource(DataHandle& h);
    DataHandle ConvertToRawSource(DataHandle& h);
    void ReleaseDatasource(unsigned groupMask);
    void ReleaseDatasource(DataHandle& h);
    void SetUid(DataHandle& h, int uid);
    void SetPriorityBankId(DataHandle& h, int bank);
    void SetUserData(DataHandle& h, DataHandleUserData& data);
    bool IsValid(DataHandle& h);
    bool IsReady(DataHandle& h);
    int GetAllDataSources(DataHandle* out, int max);
    float GetDuration(DataHandle& h);
    int GetUid(DataHandle& h);
    int GetUserData(DataHandle& h);

    bool SetPriorityBank(int bank, int minPriority, int maxEmitters, PriorityBankBehavior behavior);

    // Emitters.
    EmitterHandle CreateEmitter(DataHandle& data, int priority, void* driverData);
    EmitterHandle CreateEmitterAsync(DataHandle& data, int priority, void* driverData);
    DataHandle GetData(EmitterHandle& h);
    void Play(EmitterHandle& h, bool loop, float fadeIn);
    void Stop(EmitterHandle& h, float fade);
    void Pause(EmitterHandle& h, float fade);
    void Resume(EmitterHandle& h, float fade);
    void KillEmitter(EmitterHandle& h);
    void SetLoop(EmitterHandle& h, bool loop);
    void SetGroup(EmitterHandle& h, int group);
    void SetPriority(EmitterHandle& h, int priority);
    void SetGain(EmitterHandle& h, float gain, float seconds);
    void SetPitch(EmitterHandle& h, float pitch, float seconds);
    void SetAutoKillAfterDone(EmitterHandle& h, bool autoKill);
    void SetUserData(EmitterHandle& h, EmitterHandleUserData& data);
    void SetInteractiveMusicState(EmitterHandle& h, const char* state);
    void SetDSPEmitterParameter(EmitterHandle& h, int id, void* text);
    void PlayAllEmitters(unsigned mask, float fade);
    void SetPlayCursor(EmitterHandle& h, float seconds);
    void StopAllEmitters(unsigned mask, float fade);
    void PauseAllEmitters(unsigned mask, float fade);
    void ResumeAllEmitters(unsigned mask, float fade);
    bool IsValid(EmitterHandle& h);
    bool IsReady(EmitterHandle& h);
    bool IsAlive(EmitterHandle& h);
    bool IsPlaying(EmitterHandle& h);
    bool IsDone(EmitterHandle& h);  // true without an internal engine
    int GetStatus(EmitterHandle& h);
    int GetGroup(EmitterHandle& h);
    int GetAllEmitters(EmitterHandle* out, int max);
    int GetEmitterHandles(DataHandle& data, EmitterHandle* out, int max);
    int GetPriority(EmitterHandle& h);  // -1073741824 without an internal engine
    float GetGain(EmitterHandle& h);
    float GetPitch(EmitterHandle& h);
    float GetPlayCursor(EmitterHandle& h);
    int GetUserData(EmitterHandle& h);

    // Gains.
    void SetMasterGain(float gain, float seconds);
    void SetGroupGain(unsigned mask, float gain, float seconds);
    float GetMasterGain();
    float GetGroupGain(int group);

    // 3D.
    void Set3DGeneralParameteri(int id, int value);
    void Set3DGeneralParameterf(int id, float value);
    void Set3DGeneralParameter(const Kez3DGeneralParameters& p);
    void Set3DListenerPosition(float x, float y, float z);
    void Set3DListenerVelocity(float x, float y, float z);
    void Set3DListenerOrientation(float fx, float fy, float fz, float ux, float uy, float uz);
    void Set3DEmitterParameteri(EmitterHandle& h, int id, int value);
    void Set3DEmitterParameterf(EmitterHandle& h, int id, float value);
    void Set3DEmitterParameters(EmitterHandle& h, const Kez3DEmitterParameters& p);
    void Set3DEmitterPosition(EmitterHandle& h, float x, float y, float z);
    void Set3DEmitterVelocity(EmitterHandle& h, float x, float y, float z);
    void Set3DEmitterDirection(EmitterHandle& h, float x, float y, float z);
    void Get3DGeneralParameteri(int id, int& out);
    void Get3DGeneralParameterf(int id, float& out);
    void Get3DGeneralParameter(Kez3DGeneralParameters& out);
    void Get3DListenerPosition(float& x, float& y, float& z);
    void Get3DListenerVelocity(float& x, float& y, float& z);
    void Get3DListenerOrientation(float& fx, float& fy, float& fz, float& ux, float& uy, float& uz);
    void Get3DEmitterParameteri(EmitterHandle& h, int id, int& out);
    void Get3DEmitterParameterf(EmitterHandle& h, int id, float& out);
    void Get3DEmitterParameters(EmitterHandle& h, Kez3DEmitterParameters& out);
    void Get3DEmitterPosition(EmitterHandle& h, float& x, float& y, float& z);
    void Get3DEmitterVelocity(EmitterHandle& h, float& x, float& y, float& z);
    void Get3DEmitterDirection(EmitterHandle& h, float& x, float& y, float& z);

    // Output, DSP and debug: accepted and ignored by the driver.
    void SetOutputMode(KezOutputMode mode);
    int GetOutputMode();  // -1 without an internal engine
    void SetSFXPresetActive(int preset, bool active, float seconds);
    void SetRoutingVolume(char* a, char* b, int type, float x, float y, float z);
    void SetDynamicBusRouting(char* name);
    void SetStaticBusRouting(char* name);
    void GetDebugInfo(DebugInfo& out);
    void PrintDebug();

    // These do nothing whatever the state: a facade client cannot drive passes or register callbacks.
    void Update(float) {}
    void UpdateSources() {}
    void UpdateEmitters(float) {}
    void RegisterForEmitterStateChangeNotification(EmitterHandle&, EmitterStateCallback, void*) {}
    void UnregisterForEmitterStateChangeNotification(EmitterHandle&) {}

private:
    KezEngine();

    KezThread* m_updateThread = nullptr;
    double m_lastEmitterUpdate = 0.0;
    Mutex* m_mutex = nullptr;
    bool m_initialized = false;
};

}  // namespace kez
