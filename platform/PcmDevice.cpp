#include "platform/PcmDevice.h"

#include <algorithm>
#include <cerrno>

namespace platform {

void PcmDevice::info(snd_pcm_channel_info_t& info) const
{
    info.rates = m_options.rates;
    info.min_rate = m_options.minRate;
    info.max_rate = std::max(m_options.minRate, (m_options.rates & SND_PCM_RATE_48000)   ? 48000
                                                : (m_options.rates & SND_PCM_RATE_44100) ? 44100
                                                : (m_options.rates & SND_PCM_RATE_32000) ? 32000
                                                                                         : 0);
    info.min_voices = 1;
    info.max_voices = 2;
    info.min_fragment_size = m_options.minFragmentSize;
    info.max_fragment_size = m_options.maxFragmentSize;
}

bool PcmDevice::formatUsable(const snd_pcm_channel_params_t& p)
{
    return p.format.interleave == 1 && p.format.format == SND_PCM_SFMT_S16_LE && p.format.voices >= 1 &&
           p.format.voices <= 2 && p.buf.block.frags_max >= 1 &&
           (p.mode == SND_PCM_MODE_BLOCK || p.mode == SND_PCM_MODE_STREAM);
}

int PcmDevice::reportSetup(snd_pcm_channel_setup_t& s, bool configured) const
{
    if (!configured)
        return -EINVAL;
    if (m_options.failSetup)
        return -EIO;
    s.mode = m_mode;
    s.format = {1, SND_PCM_SFMT_S16_LE, m_rate, m_voices};
    s.buf.block.frag_size = m_fragBytes;
    s.buf.block.frags = m_frags;
    return 0;
}

}  // namespace platform
