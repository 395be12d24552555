// The PCM channel front end: picks the output at open (QUENDRAX_AUDIO or the options), checks
// handles and channel numbers, and hands each call to the device.

#include "platform/Pcm.h"

#include "platform/AlsaPcmDevice.h"
#include "platform/PacedPcmDevice.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>

namespace platform {

struct snd_pcm_t {
    std::unique_ptr<PcmDevice> device;
};

namespace {

std::mutex g_optionsMutex;
PcmOptions g_options;

std::unique_ptr<PcmDevice> openNull(const PcmOptions& options)
{
    return std::make_unique<PacedPcmDevice>(options, nullptr);
}

// "BACKEND@RATE": the device offers that one rate (Hz), so the engine mixes at it. The suffix
// counts only when it is all digits, so a WAV path may hold an '@' of its own.
bool splitRate(std::string& choice, int32_t& rate)
{
    const size_t at = choice.rfind('@');
    if (at == std::string::npos || at + 1 == choice.size() || at + 7 < choice.size())
        return false;
    int32_t value = 0;
    for (size_t i = at + 1; i < choice.size(); ++i) {
        if (choice[i] < '0' || choice[i] > '9')
            return false;
        value = value * 10 + (choice[i] - '0');
    }
    if (value < 8000 || value > 192000)
        return false;
    rate = value;
    choice.erase(at);
    return true;
}

std::unique_ptr<PcmDevice> openDevice(PcmOptions options)
{
    std::string choice = options.backend;
    if (choice.empty()) {
        const char* env = std::getenv("QUENDRAX_AUDIO");
        choice = env ? env : "";
    }
    if (int32_t rate = 0; splitRate(choice, rate)) {
        options.rates = 0;
        options.minRate = rate;
    }
    if (choice.empty()) {
        if (auto alsa = openAlsaPcmDevice(options))
            return alsa;
        std::fprintf(stderr, "sound: no ALSA device, playing into the null output\n");
        return openNull(options);
    }
    if (choice == "null")
        return openNull(options);
    if (choice == "alsa") {
        if (auto alsa = openAlsaPcmDevice(options))
            return alsa;
        std::fprintf(stderr, "sound: warning: the ALSA device does not open, using the null output\n");
        return openNull(options);
    }
    if (choice.rfind("wav:", 0) == 0) {
        const std::string path = choice.substr(4);
        auto wav = std::make_unique<WavWriter>();
        if (!path.empty() && wav->open(path))
            return std::make_unique<PacedPcmDevice>(options, std::move(wav));
        std::fprintf(stderr, "sound: warning: cannot create WAV file \"%s\", using the null output\n",
                     path.c_str());
        return openNull(options);
    }
    std::fprintf(stderr, "sound: unknown QUENDRAX_AUDIO \"%s\" (alsa, null or wav:PATH, each with @RATE or not)\n", choice.c_str());
    return nullptr;
}

bool playback(int32_t channel)
{
    return channel == SND_PCM_CHANNEL_PLAYBACK;
}

}  // namespace

void pcm_set_options(const PcmOptions& options)
{
    std::lock_guard lock(g_optionsMutex);
    g_options = options;
}

PcmOptions pcm_options()
{
    std::lock_guard lock(g_optionsMutex);
    return g_options;
}

int snd_pcm_open_preferred(snd_pcm_t** handle, int* card, int* device, int mode)
{
    if (!handle)
        return -EINVAL;
    *handle = nullptr;
    if (mode != SND_PCM_OPEN_PLAYBACK)
        return -EINVAL;
    const PcmOptions options = pcm_options();
    if (options.failOpen)
        return -ENODEV;
    auto dev = openDevice(options);
    if (!dev)
        return -ENODEV;
    *handle = new snd_pcm_t{std::move(dev)};
    if (card)
        *card = 0;
    if (device)
        *device = 0;
    return 0;
}

int snd_pcm_close(snd_pcm_t* handle)
{
    if (!handle)
        return -EINVAL;
    delete handle;
    return 0;
}

int snd_pcm_plugin_info(snd_pcm_t* handle, snd_pcm_channel_info_t* info)
{
    if (!handle || !info || !playback(info->channel))
        return -EINVAL;
    handle->device->info(*info);
    return 0;
}

int snd_pcm_plugin_params(snd_pcm_t* handle, snd_pcm_channel_params_t* params)
{
    if (!handle || !params || !playback(params->channel))
        return -EINVAL;
    return handle->device->params(*params);
}

int snd_pcm_plugin_prepare(snd_pcm_t* handle, int channel)
{
    if (!handle || !playback(channel))
        return -EINVAL;
    return handle->device->prepare();
}

int snd_pcm_plugin_setup(snd_pcm_t* handle, snd_pcm_channel_setup_t* setup)
{
    if (!handle || !setup || !playback(setup->channel))
        return -EINVAL;
    return handle->device->setup(*setup);
}

int snd_pcm_plugin_status(snd_pcm_t* handle, snd_pcm_channel_status_t* status)
{
    if (!handle || !status || !playback(status->channel))
        return -EINVAL;
    return handle->device->status(*status);
}

ssize_t snd_pcm_plugin_write(snd_pcm_t* handle, const void* buffer, size_t size)
{
    if (!handle || (!buffer && size))
        return -EINVAL;
    if (size == 0)
        return 0;
    return handle->device->write(buffer, size);
}

int snd_pcm_playback_pause(snd_pcm_t* handle)
{
    return handle ? handle->device->pause() : -EINVAL;
}

int snd_pcm_playback_resume(snd_pcm_t* handle)
{
    return handle ? handle->device->resume() : -EINVAL;
}

}  // namespace platform
