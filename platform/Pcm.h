#pragma once
// Stand-in for the tablet's PCM playback channel (its sound architecture's "plugin" calls).
// A caller opens the preferred device, reads the channel information, sets parameters, prepares,
// reads the set-up it got, then writes whole fragments, polls the status and recovers from
// underruns with prepare; pause and resume hold the device, close ends it.
//
//     platform::snd_pcm_t* pcm = nullptr; int card = -1, dev = -1;
//     if (platform::snd_pcm_open_preferred(&pcm, &card, &dev, platform::SND_PCM_OPEN_PLAYBACK) < 0) ...
//
// The device behind it is chosen at open from QUENDRAX_AUDIO: "alsa" (a real device), "null"
// (discards, paced by the monotonic clock), "wav:PATH" (paced, and every byte written lands in a
// WAV file); unset means alsa when a device opens, else null. Any of them followed by "@RATE"
// offers that one rate instead of the usual ones (so "wav:out.wav@32000" captures what a mixer
// at 32000 Hz made, unresampled). Paced devices drain one fragment a
// fragment duration, block a writer while the queue is full, report underrun when starved and stop
// their clock while paused. Everything lives in namespace platform: Linux's own libasound exports
// some of these names with other signatures.
// Failures are negative errno values. Every call accepts a null handle and answers -EINVAL.

#include <cstddef>
#include <cstdint>
#include <string>
#include <sys/types.h>

namespace platform {

struct snd_pcm_t;  // one open channel; owned by the caller until snd_pcm_close

constexpr int SND_PCM_OPEN_PLAYBACK = 1;
constexpr int SND_PCM_CHANNEL_PLAYBACK = 0;

constexpr int SND_PCM_MODE_STREAM = 0;  // writes take what fits and return at once
constexpr int SND_PCM_MODE_BLOCK = 1;   // writes wait for room

constexpr int SND_PCM_START_DATA = 1;  // starts with the first write
constexpr int SND_PCM_START_FULL = 2;  // starts when the queue is full

constexpr int SND_PCM_STOP_STOP = 1;  // stops on underrun until prepared again

constexpr int SND_PCM_SFMT_S16_LE = 4;

constexpr uint32_t SND_PCM_RATE_32000 = 0x20;
constexpr uint32_t SND_PCM_RATE_44100 = 0x40;
constexpr uint32_t SND_PCM_RATE_48000 = 0x80;

// Channel states as the status call reports them.
constexpr int SND_PCM_STATUS_NOTREADY = 0;  // opened, parameters not set
constexpr int SND_PCM_STATUS_READY = 1;     // parameters set, not prepared
constexpr int SND_PCM_STATUS_PREPARED = 2;  // prepared, waiting for data to start
constexpr int SND_PCM_STATUS_RUNNING = 3;
constexpr int SND_PCM_STATUS_UNDERRUN = 4;  // starved and stopped; prepare to go on
constexpr int SND_PCM_STATUS_PAUSED = 5;

struct snd_pcm_channel_info_t {
    int32_t channel;            // in: SND_PCM_CHANNEL_PLAYBACK
    uint32_t rates;             // SND_PCM_RATE_* bits offered
    int32_t min_rate;           // Hz; also accepted by params when no bit fits
    int32_t max_rate;           // Hz
    int32_t min_voices;
    int32_t max_voices;
    int32_t min_fragment_size;  // bytes
    int32_t max_fragment_size;  // bytes
};

struct snd_pcm_format_t {
    int32_t interleave;  // 1: interleaved frames (the only layout)
    int32_t format;      // SND_PCM_SFMT_S16_LE (the only format)
    int32_t rate;        // Hz
    int32_t voices;      // 1 or 2
};

struct snd_pcm_channel_params_t {
    int32_t channel;     // SND_PCM_CHANNEL_PLAYBACK
    int32_t mode;        // SND_PCM_MODE_*
    int32_t start_mode;  // SND_PCM_START_*
    int32_t stop_mode;   // SND_PCM_STOP_STOP
    snd_pcm_format_t format;
    struct {
        struct {
            int32_t frag_size;  // bytes; clamped to the information's fragment range
            int32_t frags_min;
            int32_t frags_max;  // queue length in fragments, 1 or 2
        } block;
    } buf;
    char sw_mixer_subchn_name[32];
};

struct snd_pcm_channel_setup_t {
    int32_t channel;  // in: SND_PCM_CHANNEL_PLAYBACK
    int32_t mode;
    snd_pcm_format_t format;  // the rate the device really runs at
    struct {
        struct {
            int32_t frag_size;  // bytes
            int32_t frags;      // fragments the queue holds
        } block;
    } buf;
};

struct snd_pcm_channel_status_t {
    int32_t channel;    // in: SND_PCM_CHANNEL_PLAYBACK
    int32_t status;     // SND_PCM_STATUS_*
    int32_t count;      // bytes queued and not yet played
    int32_t underrun;   // underruns since open
    uint64_t scount;    // bytes played since open
};

// Opens the preferred playback device; card and device get 0. -ENODEV when nothing opens.
int snd_pcm_open_preferred(snd_pcm_t** handle, int* card, int* device, int mode);
int snd_pcm_close(snd_pcm_t* handle);
int snd_pcm_plugin_info(snd_pcm_t* handle, snd_pcm_channel_info_t* info);
int snd_pcm_plugin_params(snd_pcm_t* handle, snd_pcm_channel_params_t* params);  // -EINVAL on a bad field
int snd_pcm_plugin_prepare(snd_pcm_t* handle, int channel);  // drops anything queued
int snd_pcm_plugin_setup(snd_pcm_t* handle, snd_pcm_channel_setup_t* setup);  // 0, or negative
int snd_pcm_plugin_status(snd_pcm_t* handle, snd_pcm_channel_status_t* status);
// Bytes taken (short when the channel stopped meanwhile); -EPIPE after an underrun.
ssize_t snd_pcm_plugin_write(snd_pcm_t* handle, const void* buffer, size_t size);
int snd_pcm_playback_pause(snd_pcm_t* handle);   // -EINVAL unless prepared or running
int snd_pcm_playback_resume(snd_pcm_t* handle);  // -EINVAL unless paused

// What the next open offers, for tests and tools; the defaults suit the game.
struct PcmOptions {
    std::string backend;  // overrides QUENDRAX_AUDIO when not empty
    uint32_t rates = SND_PCM_RATE_32000 | SND_PCM_RATE_44100 | SND_PCM_RATE_48000;
    int32_t minRate = 32000;           // Hz, reported and accepted besides the rate bits
    int32_t minFragmentSize = 4096;    // bytes
    int32_t maxFragmentSize = 65536;   // bytes
    bool failOpen = false;             // the open answers -ENODEV
    bool failSetup = false;            // the set-up call answers -EIO
    std::string alsaDevice = "default";  // the ALSA device name the alsa backend opens
};
void pcm_set_options(const PcmOptions& options);
PcmOptions pcm_options();

}  // namespace platform
