#pragma once
// The "alsa" output: the PCM channel calls mapped onto a real device of Linux's ALSA library.
// Kept in its own translation unit: ALSA's names (snd_pcm_t, snd_pcm_close, ...) would clash with
// the stand-in's everywhere else.

#include "platform/PcmDevice.h"

#include <memory>

namespace platform {

// Opens options.alsaDevice for playback; null (and one line on stderr) when it cannot.
std::unique_ptr<PcmDevice> openAlsaPcmDevice(const PcmOptions& options);

}  // namespace platform
