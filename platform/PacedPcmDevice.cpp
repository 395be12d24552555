#include "platform/PacedPcmDevice.h"

#include "platform/Clock.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>

namespace platform {

PacedPcmDevice::PacedPcmDevice(const PcmOptions& options, std::unique_ptr<WavWriter> wav)
    : PcmDevice(options), m_wav(std::move(wav))
{
}

bool PacedPcmDevice::rateOffered(int32_t rate) const
{
    return rate == m_options.minRate || (rate == 32000 && (m_options.rates & SND_PCM_RATE_32000)) ||
           (rate == 44100 && (m_options.rates & SND_PCM_RATE_44100)) ||
           (rate == 48000 && (m_options.rates & SND_PCM_RATE_48000));
}

int PacedPcmDevice::params(const snd_pcm_channel_params_t& p)
{
    std::lock_guard lock(m_mutex);
    if (!formatUsable(p) || !rateOffered(p.format.rate)) {
        std::fprintf(stderr, "sound: channel parameters refused (rate %d, voices %d, format %d)\n",
                     p.format.rate, p.format.voices, p.format.format);
        return -EINVAL;
    }
    const int32_t frame = p.format.voices * 2;
    int32_t frag = std::clamp(p.buf.block.frag_size, m_options.minFragmentSize, m_options.maxFragmentSize);
    frag = std::max(frame, frag - frag % frame);  // whole frames only
    if (m_wav && !m_wav->start(p.format.rate, p.format.voices)) {
        std::fprintf(stderr, "sound: cannot write %s\n", m_wav->path().c_str());
        return -EIO;
    }
    m_mode = p.mode;
    m_startMode = p.start_mode == SND_PCM_START_DATA ? SND_PCM_START_DATA : SND_PCM_START_FULL;
    m_rate = p.format.rate;
    m_voices = p.format.voices;
    m_fragBytes = frag;
    m_frags = std::min(p.buf.block.frags_max, 2);
    m_queued = 0;
    m_state = SND_PCM_STATUS_READY;
    m_wake.notify_all();
    return 0;
}

int PacedPcmDevice::prepare()
{
    std::lock_guard lock(m_mutex);
    if (m_state == SND_PCM_STATUS_NOTREADY)
        return -EINVAL;
    m_queued = 0;
    m_state = SND_PCM_STATUS_PREPARED;
    m_wake.notify_all();
    return 0;
}

int PacedPcmDevice::setup(snd_pcm_channel_setup_t& s)
{
    std::lock_guard lock(m_mutex);
    return reportSetup(s, m_state != SND_PCM_STATUS_NOTREADY);
}

int PacedPcmDevice::status(snd_pcm_channel_status_t& s)
{
    std::lock_guard lock(m_mutex);
    advance(Clock::monotonicNs());
    s.status = m_state;
    s.count = int32_t(m_queued);
    s.underrun = m_underruns;
    s.scount = m_played;
    return 0;
}

uint64_t PacedPcmDevice::tickNs(uint64_t fragment) const
{
    // Exact fragment ends from the frame count, so rounding never drifts.
    const uint64_t frames = fragment * uint64_t(m_fragBytes / (m_voices * 2));
    const uint64_t rate = uint64_t(m_rate);
    return m_startNs + frames / rate * 1000000000ull + frames % rate * 1000000000ull / rate;
}

void PacedPcmDevice::start(uint64_t nowNs)
{
    m_state = SND_PCM_STATUS_RUNNING;
    m_startNs = nowNs;
    m_ticks = 0;
}

void PacedPcmDevice::advance(uint64_t nowNs)
{
    while (m_state == SND_PCM_STATUS_RUNNING && nowNs >= tickNs(m_ticks + 1)) {
        ++m_ticks;
        const uint64_t n = std::min<uint64_t>(m_queued, uint64_t(m_fragBytes));
        m_queued -= n;
        m_played += n;
        if (m_queued == 0) {
            m_state = SND_PCM_STATUS_UNDERRUN;
            ++m_underruns;
        }
    }
}

ssize_t PacedPcmDevice::write(const void* buffer, size_t size)
{
    std::unique_lock lock(m_mutex);
    if (!buffer)
        return -EINVAL;
    const auto* bytes = static_cast<const uint8_t*>(buffer);
    size_t written = 0;
    while (written < size) {
        // Read afresh each turn: the channel may have been set up again while this write waited.
        const uint64_t capacity = uint64_t(m_fragBytes) * uint64_t(m_frags);
        const uint64_t now = Clock::monotonicNs();
        advance(now);
        if (m_state == SND_PCM_STATUS_UNDERRUN)
            return written ? ssize_t(written) : -EPIPE;
        if (m_state != SND_PCM_STATUS_PREPARED && m_state != SND_PCM_STATUS_RUNNING &&
            m_state != SND_PCM_STATUS_PAUSED)
            return written ? ssize_t(written) : -EINVAL;
        if (m_queued < capacity) {
            const size_t n = size_t(std::min<uint64_t>(capacity - m_queued, size - written));
            if (m_wav && !m_wav->append(bytes + written, n)) {
                std::fprintf(stderr, "sound: cannot write %s\n", m_wav->path().c_str());
                return written ? ssize_t(written) : -EIO;
            }
            m_queued += n;
            written += n;
            if (m_state == SND_PCM_STATUS_PREPARED &&
                (m_startMode == SND_PCM_START_DATA || m_queued == capacity))
                start(now);
            continue;
        }
        if (m_mode != SND_PCM_MODE_BLOCK)
            break;
        if (m_state == SND_PCM_STATUS_RUNNING) {
            const uint64_t wait = tickNs(m_ticks + 1) - now;
            Clock::waitFor(m_wake, lock, wait);
        } else {
            Clock::wait(m_wake, lock);  // paused: until resumed, prepared or reconfigured
        }
    }
    return ssize_t(written);
}

int PacedPcmDevice::pause()
{
    std::lock_guard lock(m_mutex);
    const uint64_t now = Clock::monotonicNs();
    advance(now);
    if (m_state != SND_PCM_STATUS_RUNNING && m_state != SND_PCM_STATUS_PREPARED)
        return -EINVAL;
    m_pausedFrom = m_state;
    m_pausedAtNs = now;
    m_state = SND_PCM_STATUS_PAUSED;
    return 0;
}

int PacedPcmDevice::resume()
{
    std::lock_guard lock(m_mutex);
    if (m_state != SND_PCM_STATUS_PAUSED)
        return -EINVAL;
    const uint64_t now = Clock::monotonicNs();
    m_startNs += now - m_pausedAtNs;
    m_state = m_pausedFrom;
    const uint64_t capacity = uint64_t(m_fragBytes) * uint64_t(m_frags);
    if (m_state == SND_PCM_STATUS_PREPARED && m_queued > 0 &&
        (m_startMode == SND_PCM_START_DATA || m_queued == capacity))
        start(now);  // filled while paused
    m_wake.notify_all();
    return 0;
}

}  // namespace platform
