#pragma once
// The virtual sound device behind the "null" and "wav" outputs. Once running it plays one
// fragment a fragment duration on the monotonic clock; a block-mode write waits while the queue
// holds its fragments; when the last queued fragment has played it stops with an underrun until
// prepared again; pause holds its clock. With a WAV writer, every byte a write takes is appended
// to the file as it is taken.

#include "platform/PcmDevice.h"
#include "platform/WavWriter.h"

#include <condition_variable>
#include <memory>
#include <mutex>

namespace platform {

class PacedPcmDevice : public PcmDevice {
public:
    // wav: null for the null output; the device owns it.
    PacedPcmDevice(const PcmOptions& options, std::unique_ptr<WavWriter> wav);

    int params(const snd_pcm_channel_params_t& params) override;
    int prepare() override;
    int setup(snd_pcm_channel_setup_t& setup) override;
    int status(snd_pcm_channel_status_t& status) override;
    ssize_t write(const void* buffer, size_t size) override;
    int pause() override;
    int resume() override;

private:
    bool rateOffered(int32_t rate) const;
    void advance(uint64_t nowNs);              // plays the fragments due by now
    uint64_t tickNs(uint64_t fragment) const;  // when fragment n after the start ends
    void start(uint64_t nowNs);

    std::unique_ptr<WavWriter> m_wav;

    std::mutex m_mutex;
    std::condition_variable m_wake;
    int m_state = SND_PCM_STATUS_NOTREADY;
    int m_pausedFrom = SND_PCM_STATUS_NOTREADY;
    int32_t m_startMode = SND_PCM_START_FULL;
    uint64_t m_queued = 0;     // bytes waiting, the playing fragment included
    uint64_t m_played = 0;     // bytes played since open
    int32_t m_underruns = 0;
    uint64_t m_startNs = 0;    // when playing started, moved on by pauses
    uint64_t m_ticks = 0;      // fragments played since the start
    uint64_t m_pausedAtNs = 0;
};

}  // namespace platform
