#pragma once
// The output driver: plays the mixer's 32000 Hz stereo through one PCM playback channel of the
// platform, resampled linearly when the device runs at 48000 or 44100 Hz, from a writer thread
// that feeds one fragment a pass and recovers the channel after underruns.
// The driver lock is never taken twice by one thread: the resampling fill has an unlocked inner
// form for the writer, set-up and recovery, which already hold it; and Shutdown joins the writer
// outside the lock.

#include <atomic>
#include <pthread.h>

#include "audio/DriverCallbackInterface.h"
#include "audio/LinearResampler.h"
#include "platform/Pcm.h"

namespace kez {

class DriverQSASource : public DriverCallbackSourceInterface {
public:
    using DriverCallbackSourceInterface::DriverCallbackSourceInterface;
    void PrintDebug() override {}
};

class DriverQSA : public DriverCallbackInterface {
public:
    static std::atomic<bool> s_isThreadRunning;

    DriverQSA();            // opens and starts the channel (Init)
    ~DriverQSA() override;  // Shutdown

    void Init(void* parameter) override;
    void Shutdown() override;
    void Suspend() override;
    void Resume() override;
    void PrintDebug() override {}
    DriverSourceInterface* CreateDriverSource(void* trackParameters, void* driverData, int priority) override;
    void DestroyDriverSource(DriverSourceInterface* source) override;
    void FillBuffer(short* out, int frames) override;  // resampling fill with fade-in, under the lock

    static void* UpdateThreaded(void* driver);
    // How the writer rests between passes (1 ms); tests put one here that keeps it in step with
    // their clock. Null restores usleep.
    using Pause = void (*)(int ms);
    static void SetPause(Pause pause);
    void DoCallback();  // one writer pass
    static int GetChannelRate(const platform::snd_pcm_channel_info_t* info);

    int DeviceRate() const { return m_deviceRate; }
    bool IsResampling() const { return m_resampling; }
    int FragmentSize() const { return m_fragSize; }
    int FragmentCount() const { return m_fragCount; }
    int Recoveries() const { return m_recoveries.load(); }

private:
    void Recover();  // lock held
    void FillLocked(short* out, int frames);  // the resampling fill without the lock
    static void PullMix(void* driver, short* out, int frames);
    bool WriteFragment();  // lock held; false on a short write
    bool WritePending();   // lock held; the rest of a fragment cut short by an underrun

    platform::snd_pcm_t* m_handle = nullptr;
    short* m_mix = nullptr;
    int m_fragCount = 0;
    int m_fragSize = 0;
    int m_card = -1;
    int m_device = -1;
    bool m_suspended = false;
    pthread_t m_thread{};
    bool m_threadStarted = false;
    int m_deviceRate = 32000;
    bool m_resampling = false;
    LinearResampler m_resampler;  // 32000 Hz mix to the device rate
    bool m_fadeInPending = false;
    int m_pendingOffset = -1;  // bytes of m_mix already written when a write came back short
    std::atomic<int> m_recoveries{0};
};

}  // namespace kez
