#pragma once
// What each sound backend provides behind the PCM channel calls of Pcm.h. The front end checks
// handles and channel numbers; a device checks everything else and answers negative errno values.

#include "platform/Pcm.h"

namespace platform {

class PcmDevice {
public:
    explicit PcmDevice(const PcmOptions& options) : m_options(options) {}
    virtual ~PcmDevice() = default;
    void info(snd_pcm_channel_info_t& info) const;  // every field but channel, from the options
    virtual int params(const snd_pcm_channel_params_t& params) = 0;
    virtual int prepare() = 0;
    virtual int setup(snd_pcm_channel_setup_t& setup) = 0;
    virtual int status(snd_pcm_channel_status_t& status) = 0;
    virtual ssize_t write(const void* buffer, size_t size) = 0;
    virtual int pause() = 0;
    virtual int resume() = 0;

protected:
    // The parameter checks every output makes; each adds its own for the rate.
    static bool formatUsable(const snd_pcm_channel_params_t& params);
    // The set-up call's answer from the values the last parameters gave, under the caller's lock.
    int reportSetup(snd_pcm_channel_setup_t& setup, bool configured) const;

    const PcmOptions m_options;
    int32_t m_mode = SND_PCM_MODE_BLOCK;
    int32_t m_rate = 0;
    int32_t m_voices = 0;
    int32_t m_fragBytes = 0;
    int32_t m_frags = 0;
};

}  // namespace platform
