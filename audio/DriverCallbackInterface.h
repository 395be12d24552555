#pragma once
// The software mixer as an output driver: the list of sources, the general and listener 3D values
// and the mixing pass, which adds every playing source into a 32-bit stereo accumulator and clamps
// it to interleaved 16-bit stereo. _FillBuffer is the pull point: it takes no lock, so the platform
// driver calls it with the driver lock held, and tests call it directly without any thread.

#include <cstdint>
#include <list>

#include "audio/DriverCallbackSourceInterface.h"
#include "audio/DriverInterface.h"
#include "audio/KezEngineInternal.h"
#include "audio/Mutex.h"

namespace kez {

class DriverCallbackInterface : public DriverInterface {
public:
    DriverCallbackInterface();
    ~DriverCallbackInterface() override;

    void Init(void* parameter) override;
    void Set3DParameter(int id, void* value) override;  // ids 0..6 into the driver's copy
    void SetDefaultParameter(bool lockHeld = false);
    void _FillBuffer(short* out, int frames);  // the mixing pass; no lock, no active check
    virtual void FillBuffer(short* out, int frames);  // under the driver lock, when active

    bool IsActive();
    int SourceCount();
    // Appends and removes without the platform: a test mixer can make sources of its own.
    DriverCallbackSourceInterface* AddSource(const TrackParams* params, const void* driverData);
    void RemoveSource(DriverSourceInterface* source);

protected:
    void Set3DParameterLocked(int id, const void* value);

    Mutex m_driverLock;
    bool m_active = false;
    uint32_t m_nextSourceId = 1;
    std::list<DriverCallbackSourceInterface*> m_sources;
    Kez3DGeneralParameters m_general;
    ListenerParameters m_listener;
    int32_t* m_mixBuffer = nullptr;
    int m_mixCapacity = 0;  // frames
};

// A mixer with no device: sources and passes only. Tests and benchmarks pull it by hand.
class DriverCallbackMixer : public DriverCallbackInterface {
public:
    explicit DriverCallbackMixer(int sampleRate = 32000, float period = 0.032f);
    void Shutdown() override {}
    void Suspend() override {}
    void Resume() override {}
    void PrintDebug() override {}
    DriverSourceInterface* CreateDriverSource(void* params, void* driverData, int) override;
    void DestroyDriverSource(DriverSourceInterface* source) override;
};

}  // namespace kez
