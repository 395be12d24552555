#pragma once
// An emitter: one playing instance of a data source. It owns a decoder cursor, one driver source
// and a small ring of decode buffers. Client threads only record requests under the emitter lock;
// the update thread's Update() turns them into driver-source calls, moves decoded data, advances
// the gain, fade and pitch ramps and reports when the emitter may die.
// States (current and target): -1 failed, 0 initial, 1 playing, 2 paused, 3 stopped.

#include <cstdint>
#include <string>
#include <vector>

#include "audio/Handlable.h"
#include "audio/KezRamp.h"
#include "audio/decoders/TrackParams.h"

namespace kez {

class DataObj;
class DecoderCursorInterface;
class DriverSourceInterface;
class EmitterHandle;

struct EmitterHandleUserData { int32_t value = -1; };
enum EmitterExternState : int { EmitterExtern_None = 0, EmitterExtern_Playing = 1, EmitterExtern_Paused = 2,
                                EmitterExtern_Stopped = 4 };
using EmitterStateCallback = void (*)(EmitterHandle&, void*, EmitterExternState);

struct KezVector3f { float x = 0, y = 0, z = 0; };

struct Kez3DEmitterParameters {
    int32_t relative = 0;
    float maxDistance = 3.4028235e38f;
    float referenceDistance = 1.0f;
    float rolloff = 1.0f;
    float coneInner = 360.0f;
    float coneOuter = 360.0f;
    float coneOuterGain = 0.0f;
    float param7 = 3.4028235e38f;
};

class EmitterObj : public Handlable {
public:
    static constexpr int kStatusPlaying = 1, kStatusPaused = 2, kStatusStopped = 4, kStatusFadingIn = 16,
                         kStatusFadingOut = 32;

    // cursor null for an asynchronous creation (LoadAsync makes it on the update thread)
    EmitterObj(int64_t id, int priority, int bankId, int bufferSize, DriverSourceInterface* source,
               DecoderCursorInterface* cursor, DataObj* data, const TrackParams* asyncParams = nullptr);
    ~EmitterObj() override;  // frees the ring's storage, not the buffers (CleanUp does)

    // The bytes one decode asks for: the whole sound when the driver source references the
    // decoder's memory, else a quarter of a second; whole frames. 0 or less when there are none.
    static int BufferSize(const TrackParams& params, bool referenced);

    void Update(float seconds);
    void Play(float fade);
    void Stop(float fade);
    void Pause(float fade);
    void Resume(float fade);
    void SetLoop(bool loop);
    bool GetLoop();
    void SetGroup(int group);  // outside 0..31 becomes 0
    int GetGroup();
    bool IsGroup(unsigned mask);
    void SetGainModifier(float modifier);
    void SetGain(float gain, float seconds);
    void SetPitch(float pitch, float seconds);
    float GetGain();
    float GetPitch();
    void Reset();
    void SetState(int target);
    int GetState();
    int GetTargetState();
    bool IsPlaying();
    bool IsDone();
    bool ShouldDie();
    bool IsAlive();
    void NeedToDie();
    bool IsReady();
    int GetStatus();
    void SetPlayCursor(float seconds);
    float GetPlayCursor();
    void SetDefaultParameters();
    void CleanUp();  // frees owned ring buffers and the DSP strings
    bool LoadAsync();
    bool NeedToSendStateChangedCallback(EmitterStateCallback& callback, void*& user, EmitterExternState& state);
    void SetStateCallback(EmitterStateCallback callback, void* user);
    void SetUserData(int value);
    int GetUserData();
    void SetAutoKillAfterDone(bool autoKill);
    void SetPriority(int priority);
    int GetPriority();
    int GetPriorityBankId();
    bool IsInPriorityBank();
    void SetInPriorityBank(bool in);
    void SetPendingDSPParameter(const char* text);
    void SetInteractiveMusicStateChange(const char* state);
    int GetDecoderType() const { return m_decoderType; }
    DataObj* GetDataObj() const { return m_data; }
    DecoderCursorInterface* GetCursor() const { return m_cursor; }
    DriverSourceInterface* GetDriverSource() const { return m_source; }
    void DetachDriverSource() { m_source = nullptr; }
    void DetachCursor() { m_cursor = nullptr; }

    // 3D values: id 0 int; 1..7 floats; 8..10 vectors. A setter marks the id dirty.
    void Set3DParameteri(int id, int value);
    void Set3DParameterf(int id, float value);
    void Set3DParameter3f(int id, float x, float y, float z);
    void Set3DParameters(const Kez3DEmitterParameters& p);
    void Get3DParameteri(int id, int& out);
    void Get3DParameterf(int id, float& out);
    void Get3DParameter3f(int id, float& x, float& y, float& z);
    void Get3DParameters(Kez3DEmitterParameters& out);

private:
    bool _IsDone() const { return (m_state == 0 && m_target == 0) || (m_state == 3 && m_target == 3); }
    bool _ShouldDie() const { return (_IsDone() && m_refCount == 0) || m_mustDie || m_state == -1; }
    void SetupRing();
    void Update3D();
    void UpdateDSP(float dt);
    void ProcessNonNativeData();
    void ProcessNativeData();
    void FadeFromCurrent(float to, float seconds);

    bool m_asyncPending = false;
    int32_t m_bytesPerSecond = 1;
    int32_t m_totalBytes = 0;
    int32_t m_bytesPerFrame = 0;
    int32_t m_group = 0;
    int32_t m_priority;
    int32_t m_bankId;
    bool m_inBank = false;
    float m_driverGain = 1.0f;
    float m_gain = 1.0f;
    float m_requestedGain = 1.0f;
    float m_gainModifier = 1.0f;
    KezRamp m_gainRamp;
    KezRamp m_fade;
    float m_driverPitch = 1.0f;
    float m_pitch = 1.0f;
    KezRamp m_pitchRamp;
    bool m_loopApplied = false;
    bool m_loopRequested = false;
    int32_t m_state = 0;
    int32_t m_target = 0;
    bool m_stateChanged = false;
    bool m_rewindPending = false;
    KezVector3f m_position, m_direction, m_velocity;
    Kez3DEmitterParameters m_3d;
    bool m_dirty[11] = {};
    std::string m_dsp, m_pendingDsp;
    std::vector<unsigned char*> m_buffers;
    bool m_ownsBuffers = false;
    int32_t m_current = 0;
    int32_t m_bufferCount = 0;
    int32_t m_bufferSize;
    DriverSourceInterface* m_source;
    DecoderCursorInterface* m_cursor;
    DataObj* m_data;
    bool m_mustDie = false;
    bool m_autoKill = false;
    int32_t m_userData = -1;
    EmitterStateCallback m_callback = nullptr;
    void* m_callbackUser = nullptr;
    int32_t m_decoderType = -1;
    bool m_musicStatePending = false;
    bool m_atStart = true;
    char m_musicState[64] = {};
};

}  // namespace kez
