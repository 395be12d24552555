#pragma once
// What each sound backend provides behind the PCM channel calls of Pcm.h. The front end checks
// handles and channel numbers; a device checks everything else and answers negative errno values.

#include "platform/Pcm.h"

namespace platform {

class PcmDevice {
public:
    virtual ~PcmDevice() = default;
    virtual void info(snd_pcm_channel_info_t& info) = 0;  // every field but channel
    virtual int params(const snd_pcm_channel_params_t& params) = 0;
    virtual int prepare() = 0;
    virtual int setup(snd_pcm_channel_setup_t& setup) = 0;
    virtual int status(snd_pcm_channel_status_t& status) = 0;
    virtual ssize_t write(const void* buffer, size_t size) = 0;
    virtual int pause() = 0;
    virtual int resume() = 0;
};

}  // namespace platform
