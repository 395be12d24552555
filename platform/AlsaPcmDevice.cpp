// The one file that talks to ALSA: its return codes stop here and become the channel's answers.
// A fragment is an ALSA period; the queue is the ALSA buffer of frags periods.

#include "platform/AlsaPcmDevice.h"

#include <alsa/asoundlib.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <mutex>

namespace platform {

namespace {

class AlsaPcmDevice : public PcmDevice {
public:
    AlsaPcmDevice(const PcmOptions& options, ::snd_pcm_t* pcm) : PcmDevice(options), m_pcm(pcm) {}
    ~AlsaPcmDevice() override { ::snd_pcm_close(m_pcm); }

    int params(const snd_pcm_channel_params_t& p) override
    {
        std::lock_guard lock(m_mutex);
        if (!formatUsable(p) || p.format.rate <= 0)
            return -EINVAL;
        const int frame = p.format.voices * 2;
        const int frag = std::clamp(p.buf.block.frag_size, m_options.minFragmentSize, m_options.maxFragmentSize);
        snd_pcm_uframes_t period = snd_pcm_uframes_t(std::max(1, frag / frame));
        snd_pcm_uframes_t buffer = period * snd_pcm_uframes_t(std::min(p.buf.block.frags_max, 2));
        unsigned rate = unsigned(p.format.rate);

        snd_pcm_hw_params_t* hw;
        snd_pcm_hw_params_alloca(&hw);
        int rc = ::snd_pcm_hw_params_any(m_pcm, hw);
        if (rc >= 0) rc = ::snd_pcm_hw_params_set_access(m_pcm, hw, SND_PCM_ACCESS_RW_INTERLEAVED);
        if (rc >= 0) rc = ::snd_pcm_hw_params_set_format(m_pcm, hw, SND_PCM_FORMAT_S16_LE);
        if (rc >= 0) rc = ::snd_pcm_hw_params_set_channels(m_pcm, hw, unsigned(p.format.voices));
        if (rc >= 0) rc = ::snd_pcm_hw_params_set_rate_near(m_pcm, hw, &rate, nullptr);
        if (rc >= 0) rc = ::snd_pcm_hw_params_set_period_size_near(m_pcm, hw, &period, nullptr);
        if (rc >= 0) rc = ::snd_pcm_hw_params_set_buffer_size_near(m_pcm, hw, &buffer);
        if (rc >= 0) rc = ::snd_pcm_hw_params(m_pcm, hw);
        if (rc < 0)
            return fail("hardware parameters", rc);
        m_canPause = ::snd_pcm_hw_params_can_pause(hw);

        snd_pcm_sw_params_t* sw;
        snd_pcm_sw_params_alloca(&sw);
        rc = ::snd_pcm_sw_params_current(m_pcm, sw);
        const snd_pcm_uframes_t threshold = p.start_mode == SND_PCM_START_DATA ? 1 : buffer;
        if (rc >= 0) rc = ::snd_pcm_sw_params_set_start_threshold(m_pcm, sw, threshold);
        if (rc >= 0) rc = ::snd_pcm_sw_params_set_stop_threshold(m_pcm, sw, buffer);
        if (rc >= 0) rc = ::snd_pcm_sw_params(m_pcm, sw);
        if (rc < 0)
            return fail("software parameters", rc);
        ::snd_pcm_nonblock(m_pcm, p.mode == SND_PCM_MODE_STREAM ? 1 : 0);

        m_mode = p.mode;
        m_rate = int32_t(rate);
        m_voices = p.format.voices;
        m_fragBytes = int32_t(period) * frame;
        m_frags = int32_t(std::max<snd_pcm_uframes_t>(1, buffer / period));
        m_configured = true;
        return 0;
    }

    int prepare() override
    {
        std::lock_guard lock(m_mutex);
        if (!m_configured)
            return -EINVAL;
        ::snd_pcm_drop(m_pcm);
        m_paused = false;
        const int rc = ::snd_pcm_prepare(m_pcm);
        return rc < 0 ? fail("prepare", rc) : 0;
    }

    int setup(snd_pcm_channel_setup_t& s) override
    {
        std::lock_guard lock(m_mutex);
        return reportSetup(s, m_configured);
    }

    int status(snd_pcm_channel_status_t& s) override
    {
        std::lock_guard lock(m_mutex);
        s.status = channelState();
        snd_pcm_sframes_t delay = 0;
        if (s.status == SND_PCM_STATUS_RUNNING && ::snd_pcm_delay(m_pcm, &delay) == 0 && delay > 0)
            s.count = int32_t(delay) * m_voices * 2;
        else
            s.count = 0;
        s.underrun = m_underruns;
        s.scount = 0;
        return 0;
    }

    ssize_t write(const void* buffer, size_t size) override
    {
        std::lock_guard lock(m_mutex);
        if (!m_configured)
            return -EINVAL;
        const size_t frame = size_t(m_voices) * 2;
        const snd_pcm_sframes_t rc = ::snd_pcm_writei(m_pcm, buffer, size / frame);
        if (rc == -EPIPE) {
            ++m_underruns;
            return -EPIPE;
        }
        if (rc == -EAGAIN)
            return 0;
        if (rc == -ESTRPIPE) {  // the system suspended the card
            ::snd_pcm_prepare(m_pcm);
            return -EPIPE;
        }
        if (rc < 0)
            return fail("write", int(rc));
        return ssize_t(size_t(rc) * frame);
    }

    int pause() override
    {
        std::lock_guard lock(m_mutex);
        const int state = channelState();
        if (state != SND_PCM_STATUS_RUNNING && state != SND_PCM_STATUS_PREPARED)
            return -EINVAL;
        if (state == SND_PCM_STATUS_RUNNING) {
            // Devices that cannot pause drop what is queued; resume then starts afresh.
            const int rc = m_canPause ? ::snd_pcm_pause(m_pcm, 1) : ::snd_pcm_drop(m_pcm);
            if (rc < 0)
                return fail("pause", rc);
        }
        m_paused = true;
        return 0;
    }

    int resume() override
    {
        std::lock_guard lock(m_mutex);
        if (!m_paused)
            return -EINVAL;
        m_paused = false;
        const snd_pcm_state_t st = ::snd_pcm_state(m_pcm);
        const int rc = st == SND_PCM_STATE_PAUSED ? ::snd_pcm_pause(m_pcm, 0)
                       : st == SND_PCM_STATE_SETUP ? ::snd_pcm_prepare(m_pcm)
                                                   : 0;
        return rc < 0 ? fail("resume", rc) : 0;
    }

private:
    int channelState()
    {
        if (!m_configured)
            return SND_PCM_STATUS_NOTREADY;
        if (m_paused)
            return SND_PCM_STATUS_PAUSED;
        switch (::snd_pcm_state(m_pcm)) {
        case SND_PCM_STATE_PREPARED: return SND_PCM_STATUS_PREPARED;
        case SND_PCM_STATE_RUNNING:
        case SND_PCM_STATE_DRAINING: return SND_PCM_STATUS_RUNNING;
        case SND_PCM_STATE_XRUN: return SND_PCM_STATUS_UNDERRUN;
        case SND_PCM_STATE_PAUSED: return SND_PCM_STATUS_PAUSED;
        default: return SND_PCM_STATUS_READY;
        }
    }

    static int fail(const char* what, int rc)
    {
        std::fprintf(stderr, "sound: ALSA %s failed: %s\n", what, ::snd_strerror(rc));
        return rc < 0 ? rc : -EIO;
    }

    ::snd_pcm_t* m_pcm;
    std::mutex m_mutex;
    bool m_configured = false;
    bool m_canPause = false;
    bool m_paused = false;
    int32_t m_underruns = 0;
};

}  // namespace

std::unique_ptr<PcmDevice> openAlsaPcmDevice(const PcmOptions& options)
{
    ::snd_pcm_t* pcm = nullptr;
    const int rc = ::snd_pcm_open(&pcm, options.alsaDevice.c_str(), SND_PCM_STREAM_PLAYBACK, 0);
    if (rc < 0) {
        std::fprintf(stderr, "sound: ALSA device \"%s\" does not open: %s\n", options.alsaDevice.c_str(),
                     ::snd_strerror(rc));
        return nullptr;
    }
    return std::make_unique<AlsaPcmDevice>(options, pcm);
}

}  // namespace platform
