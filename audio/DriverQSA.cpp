#include "audio/DriverQSA.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <sched.h>
#include <unistd.h>

#include "audio/KezMemory.h"

namespace kez {

using namespace platform;

std::atomic<bool> DriverQSA::s_isThreadRunning{false};

namespace {
std::atomic<DriverQSA::Pause> g_pause{nullptr};
}

void DriverQSA::SetPause(Pause pause) { g_pause = pause; }

DriverInterface* CreateDriver() { return KezNew<DriverQSA>(); }

DriverQSA::DriverQSA() { Init(nullptr); }

DriverQSA::~DriverQSA() { Shutdown(); }

int DriverQSA::GetChannelRate(const snd_pcm_channel_info_t* info) {
    if (info->rates & SND_PCM_RATE_48000) return 48000;
    if (info->rates & SND_PCM_RATE_32000) return 32000;
    if (info->rates & SND_PCM_RATE_44100) return 44100;
    return info->min_rate;
}

void DriverQSA::Init(void* parameter) {
    MutexLock l(m_driverLock);
    DriverCallbackInterface::Init(parameter);
    if (snd_pcm_open_preferred(&m_handle, &m_card, &m_device, SND_PCM_OPEN_PLAYBACK) < 0 || !m_handle) {
        std::fprintf(stderr, "kez: no PCM playback channel; sound is off\n");
        m_handle = nullptr;
        return;
    }
    snd_pcm_channel_info_t info{};
    info.channel = SND_PCM_CHANNEL_PLAYBACK;
    snd_pcm_plugin_info(m_handle, &info);
    const int rate = GetChannelRate(&info);

    snd_pcm_channel_params_t params{};
    params.channel = SND_PCM_CHANNEL_PLAYBACK;
    params.mode = SND_PCM_MODE_BLOCK;
    params.start_mode = SND_PCM_START_FULL;
    params.stop_mode = SND_PCM_STOP_STOP;
    params.format.interleave = 1;
    params.format.format = SND_PCM_SFMT_S16_LE;
    params.format.rate = rate;
    params.format.voices = 2;  // the mixer always delivers stereo
    params.buf.block.frag_size = info.min_fragment_size;
    params.buf.block.frags_min = 1;
    params.buf.block.frags_max = 2;
    std::strncpy(params.sw_mixer_subchn_name, "Wave playback channel", sizeof(params.sw_mixer_subchn_name) - 1);
    snd_pcm_plugin_params(m_handle, &params);
    snd_pcm_plugin_prepare(m_handle, SND_PCM_CHANNEL_PLAYBACK);

    snd_pcm_channel_setup_t setup{};
    setup.channel = SND_PCM_CHANNEL_PLAYBACK;
    const int setupResult = snd_pcm_plugin_setup(m_handle, &setup);
    m_fragCount = setup.buf.block.frags;
    m_fragSize = setup.buf.block.frag_size;
    m_deviceRate = setup.format.rate > 0 ? setup.format.rate : rate;
    m_resampling = m_deviceRate != 32000;
    m_resampler.SetRates(32000, m_deviceRate);
    if (setupResult != 0 || m_fragSize < 4 || m_deviceRate <= 0) {
        std::fprintf(stderr, "kez: PCM channel set-up failed; sound is off\n");
        return;
    }

    m_mix = static_cast<short*>(KezAlloc(unsigned(m_fragSize)));
    if (!m_mix) return;

    const int frames = m_fragSize / 4;
    float period = float(frames) / float(m_deviceRate);
    if (m_resampling) period *= float(m_deviceRate) / 32000.0f;
    DriverCallbackSourceInterface::SetDriverCallbackPeriod(period);
    DriverCallbackSourceInterface::SetDriverSampleRate(32000);
    SetDefaultParameter(true);

    for (int k = 0; k < std::max(1, m_fragCount); ++k)
        if (!WriteFragment()) {
            KezFree(m_mix);
            m_mix = nullptr;
            return;
        }

    s_isThreadRunning = true;
    if (pthread_create(&m_thread, nullptr, &DriverQSA::UpdateThreaded, this) != 0) {
        s_isThreadRunning = false;
        KezFree(m_mix);
        m_mix = nullptr;
        return;
    }
    m_threadStarted = true;
    int policy = 0;
    sched_param sp{};
    if (pthread_getschedparam(m_thread, &policy, &sp) == 0) {
        const int lo = sched_get_priority_min(policy), hi = sched_get_priority_max(policy);
        int priority = hi <= 23 ? hi : 24;
        if (lo > 24) priority = lo;
        sp.sched_priority = priority;
        pthread_setschedparam(m_thread, policy, &sp);
    }
    m_active = true;
}

bool DriverQSA::WriteFragment() {
    if (m_pendingOffset >= 0) return WritePending();
    const int frames = m_fragSize / 4;
    if (m_resampling) FillLocked(m_mix, frames);
    else _FillBuffer(m_mix, frames);
    m_pendingOffset = 0;
    return WritePending();
}

// A write cut short by an underrun keeps the rest of its fragment for after the recovery, so
// the mix reaches the channel whole, only later.
bool DriverQSA::WritePending() {
    const ssize_t written = snd_pcm_plugin_write(m_handle, reinterpret_cast<const char*>(m_mix) + m_pendingOffset,
                                                 size_t(m_fragSize - m_pendingOffset));
    if (written > 0) m_pendingOffset += int(written);
    if (m_pendingOffset >= m_fragSize) {
        m_pendingOffset = -1;
        return true;
    }
    return false;
}

void DriverQSA::Shutdown() {
    {
        MutexLock l(m_driverLock);
        if (!m_handle) return;
        s_isThreadRunning = false;
    }
    // The writer's pass takes the driver lock: join it outside.
    if (m_threadStarted) {
        pthread_join(m_thread, nullptr);
        m_threadStarted = false;
    }
    MutexLock l(m_driverLock);
    m_active = false;
    snd_pcm_close(m_handle);
    m_handle = nullptr;
    KezFree(m_mix);
    m_mix = nullptr;
    m_resampler.Release();
}

void DriverQSA::Suspend() {
    MutexLock l(m_driverLock);
    if (!m_active) return;
    snd_pcm_playback_pause(m_handle);
    m_suspended = true;
}

void DriverQSA::Resume() {
    MutexLock l(m_driverLock);
    if (!m_active) return;
    snd_pcm_playback_resume(m_handle);
    m_suspended = false;
    m_fadeInPending = true;
}

DriverSourceInterface* DriverQSA::CreateDriverSource(void* trackParameters, void* driverData, int) {
    MutexLock l(m_driverLock);
    if (!m_active) return nullptr;
    auto* s = KezNew<DriverQSASource>(static_cast<const TrackParams*>(trackParameters), driverData, m_nextSourceId++);
    if (!s) return nullptr;
    s->Init();
    m_sources.push_back(s);
    return s;
}

void DriverQSA::DestroyDriverSource(DriverSourceInterface* source) {
    if (!source) return;
    MutexLock l(m_driverLock);
    auto it = std::find(m_sources.begin(), m_sources.end(), source);
    if (it != m_sources.end()) m_sources.erase(it);
    KezDelete(source);
}

void* DriverQSA::UpdateThreaded(void* driver) {
    auto* self = static_cast<DriverQSA*>(driver);
    while (s_isThreadRunning) {
        self->DoCallback();
        if (const Pause pause = g_pause.load()) pause(1);
        else usleep(1000);
    }
    return nullptr;
}

void DriverQSA::DoCallback() {
    MutexLock l(m_driverLock);
    if (m_suspended || !m_mix || !m_active) return;
    snd_pcm_channel_status_t status{};
    status.channel = SND_PCM_CHANNEL_PLAYBACK;
    if (snd_pcm_plugin_status(m_handle, &status) < 0 || status.status != SND_PCM_STATUS_RUNNING) {
        Recover();
        return;
    }
    if (!WriteFragment()) Recover();
}

void DriverQSA::Recover() {
    snd_pcm_channel_status_t status{};
    status.channel = SND_PCM_CHANNEL_PLAYBACK;
    if (snd_pcm_plugin_status(m_handle, &status) < 0) return;
    if (status.status == SND_PCM_STATUS_READY || status.status == SND_PCM_STATUS_UNDERRUN) {
        if (snd_pcm_plugin_prepare(m_handle, SND_PCM_CHANNEL_PLAYBACK) < 0) return;
    }
    ++m_recoveries;
    for (int k = 0; k < std::max(1, m_fragCount); ++k)
        if (!WriteFragment()) break;
}

void DriverQSA::FillBuffer(short* out, int frames) {
    if (!m_resampling) {
        DriverCallbackInterface::FillBuffer(out, frames);
        return;
    }
    MutexLock l(m_driverLock);
    FillLocked(out, frames);
}

void DriverQSA::PullMix(void* driver, short* out, int frames) {
    static_cast<DriverQSA*>(driver)->_FillBuffer(out, frames);
}

void DriverQSA::FillLocked(short* out, int frames) {
    if (frames <= 0) return;
    if (!m_resampling) {
        _FillBuffer(out, frames);
        return;
    }
    m_resampler.Fill(out, frames, &DriverQSA::PullMix, this);
    if (m_fadeInPending) {
        m_fadeInPending = false;
        for (int i = 0; i < frames; ++i) {
            out[2 * i] = short(out[2 * i] * i / frames);
            out[2 * i + 1] = short(out[2 * i + 1] * i / frames);
        }
    }
}

}  // namespace kez
