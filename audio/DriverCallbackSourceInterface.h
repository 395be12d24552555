#pragma once
// One source of the software mixer: a ring of referenced blocks uploaded by its emitter, a gain,
// a pitch with a ramp and 3D values. Its fill adds the source into the 32-bit stereo accumulator
// with 14-bit fixed-point gains (16384 = 1.0), linear interpolation when its step is not exactly
// one frame, a 3 ms gain ramp against clicks and a 3 ms fade at the end of its data.
// 16-bit data is mixed as it is; unsigned 8-bit data is widened to 16 bits.

#include <cstdint>
#include <vector>

#include "audio/DriverInterface.h"
#include "audio/Mutex.h"
#include "audio/decoders/TrackParams.h"

namespace kez {

struct DriverBuffer {
    unsigned char* data = nullptr;
    int32_t size = 0;          // bytes
    int32_t uploadedSize = 0;  // bytes
    int32_t fraction = 0;      // 14-bit part of the read position
    int32_t position = 0;      // frames consumed
    bool free = true;
};

struct ListenerParameters {
    float position[3] = {}, velocity[3] = {}, forward[3] = {}, up[3] = {};
};

struct Kez3DGeneralParameters;

class DriverCallbackSourceInterface : public DriverSourceInterface {
public:
    // driverData: null, or an int32 with the number of queue blocks (default 3)
    DriverCallbackSourceInterface(const TrackParams* params, const void* driverData, unsigned sourceId);
    ~DriverCallbackSourceInterface() override;

    void Play() override;
    void Stop() override;
    void Pause() override;
    void Reset() override;
    int GetState() override;
    int GetByteOffset() override;
    void SetByteOffset(int bytes) override;
    bool NeedData() override;
    void UploadData(void* data, int bytes) override;
    void SetGain(float gain) override;   // clamped to 0..1
    void SetPitch(float pitch) override; // above 2 becomes 2, 0 or less 1/16384
    float GetGain() override;
    float GetPitch() override;
    void Set3DParameter(int id, void* value) override;
    void Update(float seconds) override;
    bool AllowBufferReference() override { return true; }
    void FreeDisposableData(int limit, int& freedBlocks, int& freedBytes) override;
    int GetBufferCount() override;
    void Init() override;
    void Cleanup() override;
    virtual void FillBuffer(int* mix, int frames);  // the source's share of a mixing pass

    // Mixing rate and output block period, set by the platform driver.
    static void SetDriverSampleRate(int hz);
    static void SetDriverCallbackPeriod(float seconds);
    static int DriverSampleRate() { return s_driverSampleRate; }
    static void Set3DParameters(const ListenerParameters& listener, const Kez3DGeneralParameters& general);
    static void FreeWorkBuffer();

    // 3D factors (14-bit), from this source's values and the class-wide listener values.
    int GetDistanceGain() const;
    int GetDirectionalGain() const;
    int GetDopplerPitch() const;
    void GetStereoPanning(int* left, int* right) const;
    void GetNormalizedPosition(float* x, float* y, float* z) const;

    int GetNbAvailableSamples(int n);
    int GetWorkData(unsigned char* out, int bytes, int advance);
    int TargetPitch() { MutexLock l(m_lock); return m_targetPitch; }
    int GainFixed() { MutexLock l(m_lock); return m_gain; }

protected:
    struct Targets { int left, right; };
    void FreeAllBuffer();
    void FillNoInter(int* mix, int frames, Targets t, bool stereo);
    void FillInter(int* mix, int frames, Targets t, bool stereo, int step);
    static unsigned char* GetWorkBuffer(int bytes);

    int32_t m_updateEstimate = 540;
    Mutex m_lock;
    int32_t m_rateStep = 16384;
    TrackParams m_params;
    int32_t m_rampLength;
    bool m_gainsStarted = false;
    int32_t m_gain = 0;
    int32_t m_lastLeft = 0, m_lastRight = 0;
    int32_t m_targetPitch = 16384, m_currentPitch = 16384, m_pitchStep = 0;
    int32_t m_step = 16384;
    int32_t m_blockCount;
    int32_t m_write = 0, m_read = 0;
    int32_t m_state = 0;
    uint32_t m_id;
    int32_t m_byteOffset = 0;
    int32_t m_bytesPerFrame;
    std::vector<DriverBuffer> m_blocks;
    float m_position[3] = {}, m_velocity[3] = {}, m_direction[3] = {};
    int32_t m_relative = 0;
    float m_maxDistance, m_referenceDistance = 1.0f, m_rolloff = 1.0f, m_coneInner = 360.0f, m_coneOuter = 360.0f,
          m_coneOuterGain = 0.0f, m_param7;
    int32_t m_dopplerPitch = 16384;

    static int s_driverSampleRate;
    static int s_driverCallbackPeriod;
    static ListenerParameters s_listenerParameters;
    static int s_distanceModel;
    static float s_dopplerFactor;
    static int s_enable3dSimulation;
    static float s_alteredSpeedOfSound;
    static unsigned char* s_workBuffer;
    static int s_workCapacity;
};

}  // namespace kez
