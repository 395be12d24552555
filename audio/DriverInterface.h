#pragma once
// The contract between the engine and an output driver. One DriverInterface per engine owns the
// output and makes sources; one DriverSourceInterface per emitter queues its decoded blocks and
// plays them with a gain (0..1), a pitch (0..2] and 3D values. Source states: -1 failed,
// 0 initial, 1 playing, 2 paused, 3 stopped. Queued blocks are referenced, not copied, when
// AllowBufferReference() is true: they must stay valid until consumed.

namespace kez {

enum KezOutputMode : int {};

class DriverSourceInterface {
public:
    virtual ~DriverSourceInterface() = default;
    virtual void Play() = 0;
    virtual void Stop() = 0;
    virtual void Pause() = 0;
    virtual void Reset() = 0;
    virtual int GetState() = 0;
    virtual int GetByteOffset() = 0;
    virtual void SetByteOffset(int bytes) = 0;
    virtual bool NeedData() = 0;
    virtual void UploadData(void* data, int bytes) = 0;
    virtual void SetGain(float gain) = 0;
    virtual void SetPitch(float pitch) = 0;
    virtual float GetGain() = 0;
    virtual float GetPitch() = 0;
    virtual void Set3DParameter(int id, void* value) = 0;  // ids 0..6 and 8..10
    virtual void SetDSPParameter(int, void*) {}
    virtual void Update(float) {}
    virtual bool AllowBufferReference() { return false; }
    virtual void FreeDisposableData(int, int&, int&) {}
    virtual void PrintDebug() = 0;
    virtual int GetBufferCount() = 0;
    virtual void Init() = 0;
    virtual void Cleanup() = 0;
};

class DriverInterface {
public:
    virtual ~DriverInterface() = default;
    virtual void Init(void* parameter) = 0;
    virtual void Shutdown() = 0;
    virtual void Suspend() = 0;
    virtual void Resume() = 0;
    virtual void RampOut() {}
    virtual void RampIn() {}
    virtual void Update(float) {}
    virtual void Set3DParameter(int id, void* value) = 0;  // general and listener ids 0..6
    virtual void SetDSPParameter(int, void*) {}
    virtual void SetStaticBusRouting(char*) {}
    virtual void SetDynamicBusRouting(char*) {}
    virtual void SetSFXPresetActive(int, bool, float) {}
    virtual void SetOutputMode(KezOutputMode) {}
    virtual int GetOutputMode() { return 1; }
    virtual void PrintDebug() = 0;
    // A new source in state 0, or null when the driver cannot make one.
    virtual DriverSourceInterface* CreateDriverSource(void* trackParameters, void* driverData, int priority) = 0;
    virtual void DestroyDriverSource(DriverSourceInterface* source) = 0;  // null is ignored
};

DriverInterface* CreateDriver();  // the platform driver

}  // namespace kez
