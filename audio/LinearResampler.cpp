#include "audio/LinearResampler.h"

#include <cstring>

#include "audio/KezMemory.h"

namespace kez {

LinearResampler::~LinearResampler() { Release(); }

void LinearResampler::SetRates(int inRate, int outRate) {
    m_step = outRate > 0 ? int((static_cast<long long>(inRate) << 14) / outRate) : 16384;
}

void LinearResampler::Release() {
    KezFree(m_source);
    m_source = nullptr;
    m_sourceSize = 0;
    m_position = 0;
    m_previous[0] = m_previous[1] = 0;
}

void LinearResampler::Fill(short* out, int frames, Pull pull, void* context) {
    if (frames <= 0) return;
    if (m_sourceSize == 0) {
        m_source = static_cast<short*>(KezAlloc(unsigned(frames) * 4u));
        if (m_source) {
            m_sourceSize = frames * 4;
            m_position = 0;
            std::memset(m_source, 0, size_t(m_sourceSize));
            pull(context, m_source, frames);
        } else {
            m_sourceSize = -1;
        }
    }
    if (m_sourceSize < 0) {
        std::memset(out, 0, size_t(frames) * 4);
        return;
    }
    const int sourceFrames = m_sourceSize / 4;
    const int end = sourceFrames << 14;
    int position = m_position;
    int prevL = m_previous[0], prevR = m_previous[1];
    for (int i = 0; i < frames; ++i) {
        if (position >= end) {
            position &= 0x3FFF;
            pull(context, m_source, sourceFrames);
        }
        const int k = position >> 14, f = position & 0x3FFF;
        const short* s = m_source + 2 * k;
        out[2 * i] = short(prevL + (((s[0] - prevL) * f) >> 14));
        out[2 * i + 1] = short(prevR + (((s[1] - prevR) * f) >> 14));
        position += m_step;
        if ((position >> 14) != k) {
            prevL = s[0];
            prevR = s[1];
        }
    }
    m_position = position;
    m_previous[0] = short(prevL);
    m_previous[1] = short(prevR);
}

}  // namespace kez
