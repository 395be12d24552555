#pragma once
// The audio engine's internal singleton: the containers of data sources and emitters with their
// access controllers, the release queue, master and group gain ramps, 3D values, the stream and
// decoder registries, the output driver, the priority banks and the 16 handle time stamps.
// Lock order: an active container's controller before the pending one; the engine lock before
// the driver lock; the bank lock before emitter locks; release lock and object locks innermost.

#include <atomic>
#include <cstdint>
#include <list>
#include <vector>

#include "audio/AccessController.h"
#include "audio/DataObj.h"
#include "audio/DriverInterface.h"
#include "audio/EmitterObj.h"
#include "audio/Handle.h"
#include "audio/HandlableContainer.h"
#include "audio/KezRamp.h"
#include "audio/Mutex.h"
#include "audio/PriorityBankManager.h"
#include "audio/decoders/TrackParams.h"

namespace kez {

class DriverInterface;
class StreamInterface;
class DecoderInterface;

using StreamFactory = StreamInterface* (*)(void*);
using DecoderFactoryFn = DecoderInterface* (*)(void*);

enum KezSourceLoadingFlags : int { KezSourceLoading_Stream = 0, KezSourceLoading_Memory = 1, KezSourceLoading_Raw = 2,
                                   KezSourceLoading_Async = 0x10000 };

struct Kez3DGeneralParameters {
    float dopplerFactor = 1.0f;
    float speedOfSound = 343.3f;
    int32_t distanceModel = 2;
    int32_t enable3D = 0;
};

struct DebugInfo {
    int dataSources = 0, emitters = 0, playing = 0, reserved = -1;
};

class KezEngineInternal {
public:
    static constexpr int kMaxTypes = 31;
    static KezEngineInternal* s_kezEngineInternal;
    static KezEngineInternal* GetKezEngineInternal();  // created on first use

    KezEngineInternal();
    virtual ~KezEngineInternal();
    KezEngineInternal(const KezEngineInternal&) = delete;
    KezEngineInternal& operator=(const KezEngineInternal&) = delete;

    virtual void Initialize();  // the output driver, then the file system
    virtual void Suspend();
    virtual void Resume();
    virtual bool IsSuspended();
    virtual void UpdateSources();
    virtual void UpdateEmitters(float seconds);
    virtual void KillEmitter(EmitterObj* emitter);
    virtual void SetGroupGain(unsigned mask, float gain, float seconds);
    virtual void SetMasterGain(float gain, float seconds);

    int RegisterStreamType(StreamFactory factory);        // the type number, or -1 when full
    int RegisterDecoderType(DecoderFactoryFn factory);    // the type number, or -1 when full
    int StreamTypeCount() const { return m_streamTypeCount; }
    int DecoderTypeCount() const { return m_decoderTypeCount; }

    // For tests and the platform: an engine may be given its driver before Initialize.
    void SetDriver(DriverInterface* driver) { m_driver = driver; }
    DriverInterface* GetDriver() const { return m_driver; }

    // Data sources.
    DataHandle LoadDataSource(int streamType, void* streamParams, int decoderType, void* decoderParams, int group);
    DataHandle LoadDataSourceAsync(int streamType, void* streamParams, int decoderType, void* decoderParams,
                                   int group, KezSourceLoadingFlags flags);
    DataHandle ConvertToRamBufferSource(DataHandle& handle);
    DataHandle ConvertToRawSource(DataHandle& handle);
    void ReleaseDatasource(unsigned groupMask);
    void ReleaseDatasource(DataHandle& handle);
    void ReleaseDatasource(DataObj* data);  // destroys, with its emitters; update thread
    bool IsValid(DataHandle& handle);
    bool IsReady(DataHandle& handle);
    float GetDuration(DataHandle& handle);
    int GetAllDataSources(DataHandle* out, int max);
    int GetUid(DataHandle& handle);
    void SetUid(DataHandle& handle, int uid);
    void SetPriorityBankId(DataHandle& handle, int bank);
    int GetUserData(DataHandle& handle);
    void SetUserData(DataHandle& handle, DataHandleUserData& data);
    void IncreaseDataObjectRefCount(DataHandle& handle);
    void DecreaseDataObjectRefCount(DataHandle& handle);
    DataObj* GetDataObject(DataHandle& handle);  // caller holds read access on the data controller

    // Priority banks.
    bool SetPriorityBank(int bank, int minPriority, int maxEmitters, PriorityBankBehavior behavior);
    PriorityBankManager* GetPriorityBankManager() const { return m_banks; }

    // Emitters.
    EmitterHandle CreateEmitter(DataHandle& data, int priority, void* driverData);
    EmitterHandle CreateEmitterAsync(DataHandle& data, int priority, void* driverData);
    DataHandle GetData(EmitterHandle& handle);
    void Play(EmitterHandle& handle, bool loop, float fadeIn);
    void Stop(EmitterHandle& handle, float fadeOut);
    void Pause(EmitterHandle& handle, float fadeOut);
    void Resume(EmitterHandle& handle, float fadeIn);
    void KillEmitter(EmitterHandle& handle);
    void SetLoop(EmitterHandle& handle, bool loop);
    void SetGroup(EmitterHandle& handle, int group);
    void SetPriority(EmitterHandle& handle, int priority);
    void SetGain(EmitterHandle& handle, float gain, float seconds);
    void SetPitch(EmitterHandle& handle, float pitch, float seconds);
    void SetAutoKillAfterDone(EmitterHandle& handle, bool autoKill);
    void SetUserData(EmitterHandle& handle, EmitterHandleUserData& data);
    void SetInteractiveMusicState(EmitterHandle& handle, const char* state);
    void SetDSPEmitterParameter(EmitterHandle& handle, int id, void* text);
    void PlayAllEmitters(unsigned mask, float fade);
    void StopAllEmitters(unsigned mask, float fade);
    void PauseAllEmitters(unsigned mask, float fade);
    void ResumeAllEmitters(unsigned mask, float fade);
    void SetPlayCursor(EmitterHandle& handle, float seconds);
    float GetPlayCursor(EmitterHandle& handle);
    bool IsValid(EmitterHandle& handle);
    bool IsReady(EmitterHandle& handle);
    bool IsAlive(EmitterHandle& handle);
    bool IsPlaying(EmitterHandle& handle);
    bool IsDone(EmitterHandle& handle);
    int GetStatus(EmitterHandle& handle);
    int GetGroup(EmitterHandle& handle);
    int GetPriority(EmitterHandle& handle);
    float GetGain(EmitterHandle& handle);
    float GetPitch(EmitterHandle& handle);
    int GetUserData(EmitterHandle& handle);
    int GetAllEmitters(EmitterHandle* out, int max);
    int GetEmitterHandles(DataHandle& data, EmitterHandle* out, int max);
    void RegisterForEmitterStateChangeNotification(EmitterHandle& handle, EmitterStateCallback cb, void* user);
    void UnregisterForEmitterStateChangeNotification(EmitterHandle& handle);
    void IncreaseEmitterObjectRefCount(EmitterHandle& handle);
    void DecreaseEmitterObjectRefCount(EmitterHandle& handle);
    EmitterObj* GetEmitterObject(EmitterHandle& handle);  // caller holds read access on the emitter controller

    // Gains and 3D.
    float GetMasterGain();
    float GetGroupGain(int group);
    float GetEffectiveGroupGain(int group);  // master x group of the last pass
    void Set3DGeneralParameteri(int id, int value);
    void Set3DGeneralParameterf(int id, float value);
    void Set3DGeneralParameter(const Kez3DGeneralParameters& p);
    void Get3DGeneralParameteri(int id, int& out);
    void Get3DGeneralParameterf(int id, float& out);
    void Get3DGeneralParameter(Kez3DGeneralParameters& out);
    void Set3DListenerPosition(float x, float y, float z);
    void Set3DListenerVelocity(float x, float y, float z);
    void Set3DListenerOrientation(float fx, float fy, float fz, float ux, float uy, float uz);
    void Get3DListenerPosition(float& x, float& y, float& z);
    void Get3DListenerVelocity(float& x, float& y, float& z);
    void Get3DListenerOrientation(float& fx, float& fy, float& fz, float& ux, float& uy, float& uz);
    void Set3DEmitterParameteri(EmitterHandle& h, int id, int value);
    void Set3DEmitterParameterf(EmitterHandle& h, int id, float value);
    void Set3DEmitterParameters(EmitterHandle& h, const Kez3DEmitterParameters& p);
    void Set3DEmitterPosition(EmitterHandle& h, float x, float y, float z);
    void Set3DEmitterVelocity(EmitterHandle& h, float x, float y, float z);
    void Set3DEmitterDirection(EmitterHandle& h, float x, float y, float z);
    void Get3DEmitterParameteri(EmitterHandle& h, int id, int& out);
    void Get3DEmitterParameterf(EmitterHandle& h, int id, float& out);
    void Get3DEmitterParameters(EmitterHandle& h, Kez3DEmitterParameters& out);
    void Get3DEmitterPosition(EmitterHandle& h, float& x, float& y, float& z);
    void Get3DEmitterVelocity(EmitterHandle& h, float& x, float& y, float& z);
    void Get3DEmitterDirection(EmitterHandle& h, float& x, float& y, float& z);

    // Output, DSP and debug entries: passed to the driver, which ignores them.
    void UpdateDSP(float seconds);
    void SetSFXPresetActive(int preset, bool active, float seconds);
    void SetRoutingVolume(char*, char*, int, float, float, float) {}
    void SetDynamicBusRouting(char* name);
    void SetStaticBusRouting(char* name);
    void SetOutputMode(KezOutputMode mode);
    int GetOutputMode();
    void GetDebugInfo(DebugInfo& out);
    void PrintDebug();

    unsigned GetTimeStamp(unsigned slot) const { return m_timeStamps[slot & 15].load(); }
    void BumpTimeStamp(unsigned slot) { m_timeStamps[slot & 15].fetch_add(1); }

private:
    template <typename F> void WithEmitter(EmitterHandle& handle, F&& f);
    template <typename F> void ForEmitters(unsigned mask, F&& f);
    void Update3D();
    void QueueForRelease(DataObj* data);
    EmitterObj* DetachEmitterObject(int64_t id);
    EmitterHandle NewEmitter(DataHandle& data, int priority, void* driverData, bool async);
    void PlayEmitter(EmitterObj* emitter, bool loop, float fade);
    void StopEmitter(EmitterObj* emitter, float fade);
    EmitterHandle MakeEmitterHandle(EmitterObj* e);
    DataHandle MakeDataHandle(DataObj* d);
    DataHandle AddDataSource(DataObj* data, bool queueNow);
    DataHandle NewDataSource(int streamType, void* streamParams, int decoderType, void* decoderParams, int group,
                             int asyncMode);

    HandlableContainer m_dataActive, m_dataPending;
    AccessController m_dataControl, m_dataPendingControl;
    std::list<DataObj*> m_releaseQueue;
    Mutex m_releaseLock;
    HandlableContainer m_emitterActive, m_emitterPending;
    std::vector<EmitterObj*> m_killList;
    AccessController m_emitterControl, m_emitterPendingControl;
    PriorityBankManager* m_banks = nullptr;
    KezRamp m_masterRamp;
    KezRamp m_groupRamps[32];
    float m_groupGains[32];
    Mutex m_engineLock;
    float m_listenerPosition[3] = {}, m_listenerVelocity[3] = {}, m_listenerOrientation[6] = {};
    Kez3DGeneralParameters m_general;
    bool m_3dDirty[7] = {};
    StreamFactory m_streamFactories[32] = {};
    int m_streamTypeCount = 0;
    DecoderFactoryFn m_decoderFactories[32] = {};
    int m_decoderTypeCount = 0;
    DriverInterface* m_driver = nullptr;
    // Atomic so that a stamp bumped by the update thread is seen by handle resolution on any thread.
    std::atomic<uint32_t> m_timeStamps[16] = {};
    std::atomic<uint32_t> m_nextSlot{0};
    int m_suspendCount = 0;
};

}  // namespace kez
