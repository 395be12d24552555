#include "audio/DriverCallbackSourceInterface.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "audio/KezMemory.h"

namespace kez {

int DriverCallbackSourceInterface::s_driverSampleRate = 32000;
int DriverCallbackSourceInterface::s_driverCallbackPeriod = 540;
unsigned char* DriverCallbackSourceInterface::s_workBuffer = nullptr;
int DriverCallbackSourceInterface::s_workCapacity = 0;

namespace {

// The gain ramp of one block: a 3 ms ramp from the previous block's gains to the targets, and a
// 3 ms fade to silence at the end of the data when the block cannot be filled.
struct BlockRamp {
    int curL, curR, stepL = 0, stepR = 0, tgtL, tgtR;
    int fadeStart, fadeLen, R;
    bool active;

    // The ramp of a block of `frames` when `available` of them have data: from the last block's
    // gains (straight to the targets on a source's first block), and a fade of rampLength frames
    // before the end of the data when it runs out.
    static BlockRamp Start(int available, int frames, int rampLength, int tgtL, int tgtR, bool& started,
                           int lastL, int lastR) {
        BlockRamp r{};
        r.tgtL = tgtL;
        r.tgtR = tgtR;
        const int L = rampLength;
        if (available < frames) {
            r.fadeLen = L;
            r.fadeStart = available - L;
            if (r.fadeStart < 0) { r.fadeLen = available; r.fadeStart = 0; }
        } else {
            r.fadeStart = frames + 1;
            r.fadeLen = 0;
        }
        r.R = r.fadeStart < L ? r.fadeStart : std::min(frames, L);
        if (!started) {
            started = true;
            r.curL = r.tgtL;
            r.curR = r.tgtR;
        } else {
            r.curL = lastL;
            r.curR = lastR;
            r.stepL = r.R > 0 ? (r.tgtL - lastL) / r.R : 0;
            r.stepR = r.R > 0 ? (r.tgtR - lastR) / r.R : 0;
            if (r.R <= 0 || (r.stepL == 0 && r.stepR == 0)) { r.curL = r.tgtL; r.curR = r.tgtR; }
        }
        r.active = r.stepL != 0 || r.stepR != 0 || r.fadeLen > 0;
        return r;
    }

    template <bool Stereo, typename Sample>
    void Mix(int* mix, int n, int& i, Sample&& sample) {
        if (!active) {
            const int gl = curL, gr = curR;
            for (int k = 0; k < n; ++k) {
                int l, r;
                sample(k, l, r);
                mix[2 * k] += (gl * l) >> 14;
                mix[2 * k + 1] += (gr * r) >> 14;
            }
            i += n;
            return;
        }
        for (int k = 0; k < n; ++k, ++i) {
            if (i == fadeStart && fadeLen > 0) {
                stepL = -std::abs(curL / fadeLen);
                stepR = -std::abs(curR / fadeLen);
                curL += stepL;
                curR += stepR;
            } else if (i >= fadeStart) {
                curL += stepL;
                curR += stepR;
            } else if (i < R) {
                // The last frame of the ramp-in lands on the targets, not short of them by the
                // rounding of the integer steps.
                curL = i == R - 1 ? tgtL : curL + stepL;
                curR = i == R - 1 ? tgtR : curR + stepR;
            }
            int l, r;
            sample(k, l, r);
            mix[2 * k] += (curL * l) >> 14;
            mix[2 * k + 1] += (curR * r) >> 14;
        }
        // The ramp-in is over: drop the rounding left by the integer steps.
        if (i >= R && i < fadeStart) {
            curL = tgtL;
            curR = tgtR;
        }
    }
};

}  // namespace

DriverCallbackSourceInterface::DriverCallbackSourceInterface(const TrackParams* params, const void* driverData,
                                                             unsigned sourceId)
    : m_id(sourceId) {
    if (params) m_params = *params;
    m_blockCount = driverData ? *static_cast<const int32_t*>(driverData) : 3;
    m_rampLength = int(float(m_params.sampleRate) * 0.003f);
    m_bytesPerFrame = m_params.bitsPerSample / 8 * m_params.channels;
    m_maxDistance = 3.4028235e38f;
    m_param7 = 3.4028235e38f;
}

DriverCallbackSourceInterface::~DriverCallbackSourceInterface() { Cleanup(); }

void DriverCallbackSourceInterface::Init() {
    MutexLock l(m_lock);
    m_gain = 16384;
    m_targetPitch = 16384;
    const int rate = s_driverSampleRate > 0 ? s_driverSampleRate : 32000;
    m_rateStep = int((long long)m_params.sampleRate * 16384 / rate);
    std::fill(m_position, m_position + 3, 0.0f);
    std::fill(m_velocity, m_velocity + 3, 0.0f);
    std::fill(m_direction, m_direction + 3, 0.0f);
    m_relative = 0;
    m_maxDistance = 3.4028235e38f;
    m_referenceDistance = 1.0f;
    m_rolloff = 1.0f;
    m_coneInner = m_coneOuter = 360.0f;
    m_coneOuterGain = 0.0f;
    m_param7 = 3.4028235e38f;
    m_dopplerPitch = 16384;
    m_read = m_write = 0;
    if (m_id != 0) {
        const int n = std::clamp(m_blockCount, 0, 64);
        m_blocks.assign(size_t(n), DriverBuffer{});
        m_blockCount = int(m_blocks.size());
        if (m_blockCount == 0) m_state = -1;
    }
    m_byteOffset = 0;
}

void DriverCallbackSourceInterface::Cleanup() {
    MutexLock l(m_lock);
    m_blocks.clear();
    m_blocks.shrink_to_fit();
}

void DriverCallbackSourceInterface::FreeAllBuffer() {
    for (auto& b : m_blocks) b = DriverBuffer{};
    m_read = m_write = 0;
}

void DriverCallbackSourceInterface::Play() {
    MutexLock l(m_lock);
    if (m_state != -1) m_state = 1;
}

void DriverCallbackSourceInterface::Stop() {
    MutexLock l(m_lock);
    if (m_state == -1) return;
    m_state = 3;
    FreeAllBuffer();
    m_byteOffset = 0;
    m_lastLeft = m_lastRight = 0;
}

void DriverCallbackSourceInterface::Pause() {
    MutexLock l(m_lock);
    if (m_state != 1) return;
    m_state = 2;
    m_lastLeft = m_lastRight = 0;
}

void DriverCallbackSourceInterface::Reset() {
    MutexLock l(m_lock);
    if (m_blocks.empty()) return;
    m_state = 0;
    FreeAllBuffer();
    m_byteOffset = 0;
}

int DriverCallbackSourceInterface::GetState() {
    MutexLock l(m_lock);
    if (m_state == 1 && (m_blocks.empty() || m_blocks[size_t(m_read)].free)) return 3;
    return m_state;
}

int DriverCallbackSourceInterface::GetByteOffset() { MutexLock l(m_lock); return m_byteOffset; }
void DriverCallbackSourceInterface::SetByteOffset(int bytes) { MutexLock l(m_lock); m_byteOffset = bytes; }

bool DriverCallbackSourceInterface::NeedData() {
    MutexLock l(m_lock);
    return m_state != -1 && !m_blocks.empty() && m_blocks[size_t(m_write)].free;
}

void DriverCallbackSourceInterface::UploadData(void* data, int bytes) {
    MutexLock l(m_lock);
    // Whole frames only: a part frame at the end of a sound would be read whole, past its memory.
    if (m_bytesPerFrame > 0) bytes -= bytes % m_bytesPerFrame;
    if (m_state == -1 || bytes <= 0 || m_blocks.empty()) return;
    DriverBuffer& b = m_blocks[size_t(m_write)];
    if (!b.free) return;
    b = DriverBuffer{static_cast<unsigned char*>(data), bytes, bytes, 0, 0, false};
    m_write = (m_write + 1) % m_blockCount;
}

void DriverCallbackSourceInterface::SetGain(float g) {
    MutexLock l(m_lock);
    m_gain = g > 1.0f ? 16384 : g < 0.0f ? 0 : int(g * 16384.0f);
}

float DriverCallbackSourceInterface::GetGain() { MutexLock l(m_lock); return float(m_gain) / 16384.0f; }

void DriverCallbackSourceInterface::SetPitch(float p) {
    MutexLock l(m_lock);
    m_targetPitch = p > 2.0f ? 32768 : p <= 0.0f ? 1 : int(p * 16384.0f);
    if (m_state == 1) {
        const int k = (s_driverCallbackPeriod < m_updateEstimate && m_updateEstimate > 0)
                          ? int((long long)s_driverCallbackPeriod * 16384 / m_updateEstimate)
                          : 16384;
        m_pitchStep = int(((long long)k * (m_targetPitch - m_currentPitch)) >> 14);
    } else {
        m_currentPitch = m_targetPitch;
    }
}

float DriverCallbackSourceInterface::GetPitch() { MutexLock l(m_lock); return float(m_targetPitch) / 16384.0f; }

void DriverCallbackSourceInterface::Set3DParameter(int id, void* value) {
    if (!value) return;
    MutexLock l(m_lock);
    if (m_id == 0) return;
    const float* f = static_cast<const float*>(value);
    switch (id) {
        case 0: m_relative = *static_cast<const int32_t*>(value); break;
        case 1: m_maxDistance = *f; break;
        case 2: m_referenceDistance = *f; break;
        case 3: m_rolloff = *f; break;
        case 4: m_coneInner = *f; break;
        case 5: m_coneOuter = *f; break;
        case 6: m_coneOuterGain = *f; break;
        case 8: std::copy(f, f + 3, m_position); break;
        case 9: std::copy(f, f + 3, m_velocity); break;
        case 10: std::copy(f, f + 3, m_direction); break;
        default: break;
    }
}

void DriverCallbackSourceInterface::Update(float seconds) {
    m_updateEstimate += (int(seconds * 16384.0f) - m_updateEstimate) >> 3;
}

int DriverCallbackSourceInterface::GetBufferCount() { MutexLock l(m_lock); return m_blockCount; }

void DriverCallbackSourceInterface::SetDriverSampleRate(int hz) { s_driverSampleRate = hz; }
void DriverCallbackSourceInterface::SetDriverCallbackPeriod(float seconds) {
    s_driverCallbackPeriod = int(seconds * 16384.0f);
}

unsigned char* DriverCallbackSourceInterface::GetWorkBuffer(int bytes) {
    if (bytes > s_workCapacity) {
        KezFree(s_workBuffer);
        s_workBuffer = static_cast<unsigned char*>(KezAlloc(unsigned(bytes)));
        s_workCapacity = s_workBuffer ? bytes : 0;
    }
    return s_workBuffer;
}

void DriverCallbackSourceInterface::FreeWorkBuffer() {
    KezFree(s_workBuffer);
    s_workBuffer = nullptr;
    s_workCapacity = 0;
}

int DriverCallbackSourceInterface::GetNbAvailableSamples(int n) {
    if (m_blocks.empty() || m_bytesPerFrame <= 0) return -1;
    int sum = 0;
    for (int k = 0; k < m_blockCount; ++k) {
        const DriverBuffer& b = m_blocks[size_t((m_read + k) % m_blockCount)];
        if (b.free) break;
        sum += b.size / m_bytesPerFrame - b.position;
        if (sum >= n) return n;
    }
    return sum;
}

int DriverCallbackSourceInterface::GetWorkData(unsigned char* out, int bytes, int advance) {
    int copied = 0;
    const int bpf = m_bytesPerFrame;
    for (;;) {
        DriverBuffer& b = m_blocks[size_t(m_read)];
        if (b.free) break;
        const int framesIn = b.size / bpf;
        const int left = (framesIn - b.position) * bpf;
        const int n = std::max(0, std::min(bytes - copied, left));
        std::memcpy(out + copied, b.data + size_t(b.position) * size_t(bpf), size_t(n));
        copied += n;
        const int before = b.position;
        const long long moved = (long long)b.fraction + advance;
        b.position += int(moved >> 14);
        b.fraction = int(moved & 16383);
        m_byteOffset += (std::min(b.position, framesIn) - before) * bpf;
        if (left > n) break;
        if (b.position < framesIn) {
            // The last frame of the block needs its partner from the start of the next one.
            DriverBuffer& next = m_blocks[size_t((m_read + 1) % m_blockCount)];
            if (!next.free && &next != &b) {
                std::memcpy(out + copied, next.data, size_t(bpf));
                copied += bpf;
            } else {
                b = DriverBuffer{};
                m_read = (m_read + 1) % m_blockCount;
            }
            break;
        }
        const long long carry = b.fraction + ((long long)(b.position - framesIn) << 14);
        b = DriverBuffer{};
        m_read = (m_read + 1) % m_blockCount;
        if (m_blocks[size_t(m_read)].free || copied >= bytes) break;
        advance = int(carry);
    }
    return copied;
}

void DriverCallbackSourceInterface::FillNoInter(int* mix, int frames, Targets t, bool stereo) {
    DriverBuffer& first = m_blocks[size_t(m_read)];
    if (first.fraction != 0) {
        first.position += 1;
        first.fraction = 0;
    }
    const int A = GetNbAvailableSamples(frames);
    if (A < 0) return;
    BlockRamp r =
        BlockRamp::Start(A, frames, m_rampLength, t.left, t.right, m_gainsStarted, m_lastLeft, m_lastRight);

    const int bpf = m_bytesPerFrame;
    int remaining = frames, i = 0;
    while (remaining > 0) {
        DriverBuffer& b = m_blocks[size_t(m_read)];
        if (b.free) break;
        const int framesIn = b.size / bpf;
        const int count = std::min(remaining, framesIn - b.position);
        if (count > 0) {
            const unsigned char* at = b.data + size_t(b.position) * size_t(bpf);
            const int16_t* src = reinterpret_cast<const int16_t*>(at);
            if (m_params.bitsPerSample == 8) {
                // Unsigned 8-bit data is widened, not left silent.
                if (stereo)
                    r.Mix<true>(mix + 2 * i, count, i, [at](int k, int& l, int& rr) {
                        l = (at[2 * k] - 128) * 256;
                        rr = (at[2 * k + 1] - 128) * 256;
                    });
                else
                    r.Mix<false>(mix + 2 * i, count, i, [at](int k, int& l, int& rr) { l = rr = (at[k] - 128) * 256; });
            } else if (stereo) {
                r.Mix<true>(mix + 2 * i, count, i, [src](int k, int& l, int& rr) { l = src[2 * k]; rr = src[2 * k + 1]; });
            } else {
                r.Mix<false>(mix + 2 * i, count, i, [src](int k, int& l, int& rr) { l = rr = src[k]; });
            }
            m_byteOffset += count * bpf;
            remaining -= count;
        }
        if (b.position + std::max(count, 0) >= framesIn) {
            b = DriverBuffer{};
            m_read = (m_read + 1) % m_blockCount;
            if (m_blocks[size_t(m_read)].free) break;
        } else {
            b.position += count;
        }
    }
    m_lastLeft = r.curL;
    m_lastRight = r.curR;
}

void DriverCallbackSourceInterface::FillInter(int* mix, int frames, Targets t, bool stereo, int step) {
    const int bpf = m_bytesPerFrame;
    int a = m_blocks[size_t(m_read)].fraction;
    const long long neededLL = (((long long)frames * step) >> 14) + 3;
    if (neededLL > (1 << 24)) return;
    const int needed = int(neededLL);
    unsigned char* work = GetWorkBuffer(needed * bpf + 2 * bpf);
    if (!work) {
        m_state = -1;
        return;
    }
    const long long advance = (long long)frames * step;
    const int d = GetWorkData(work, needed * bpf, int(std::min<long long>(advance, 0x7FFFFFFF)));
    const int avail = d / bpf;
    long long A = (long long)avail * 16384 / step;
    if (A < frames) A = std::max(0LL, A - 1);
    else A = frames;
    const int16_t* w = reinterpret_cast<const int16_t*>(work);

    BlockRamp r =
        BlockRamp::Start(int(A), frames, m_rampLength, t.left, t.right, m_gainsStarted, m_lastLeft, m_lastRight);

    int i = 0;
    const int last = avail - 1;
    if (m_params.bitsPerSample == 8) {
        const unsigned char* w8 = work;
        const int channels = stereo ? 2 : 1;
        auto at = [&](int frame, int c) { return (w8[frame * channels + c] - 128) * 256; };
        r.Mix<true>(mix, int(A), i, [&](int k, int& l, int& rr) {
            const long long pos = a + (long long)k * step;
            const int j = int(pos >> 14), f = int(pos & 16383);
            const int j1 = j < last ? j + 1 : j;
            l = at(j, 0) + ((f * (at(j1, 0) - at(j, 0))) >> 14);
            rr = stereo ? at(j, 1) + ((f * (at(j1, 1) - at(j, 1))) >> 14) : l;
        });
    } else if (stereo) {
        r.Mix<true>(mix, int(A), i, [&](int k, int& l, int& rr) {
            const long long pos = a + (long long)k * step;
            const int j = int(pos >> 14), f = int(pos & 16383);
            const int j1 = j < last ? j + 1 : j;
            l = w[2 * j] + ((f * (w[2 * j1] - w[2 * j])) >> 14);
            rr = w[2 * j + 1] + ((f * (w[2 * j1 + 1] - w[2 * j + 1])) >> 14);
        });
    } else {
        r.Mix<false>(mix, int(A), i, [&](int k, int& l, int& rr) {
            const long long pos = a + (long long)k * step;
            const int j = int(pos >> 14), f = int(pos & 16383);
            const int j1 = j < last ? j + 1 : j;
            l = rr = w[j] + ((f * (w[j1] - w[j])) >> 14);
        });
    }
    m_lastLeft = r.curL;
    m_lastRight = r.curR;
}

void DriverCallbackSourceInterface::FillBuffer(int* mix, int frames) {
    MutexLock l(m_lock);
    if (m_state != 1 || m_blocks.empty() || m_blocks[size_t(m_read)].free || frames <= 0) return;
    if (m_currentPitch != m_targetPitch) {
        if (m_pitchStep == 0 || std::abs(m_targetPitch - m_currentPitch) < std::abs(m_pitchStep))
            m_currentPitch = m_targetPitch;
        else
            m_currentPitch += m_pitchStep;
    }
    const bool mono = m_params.channels == 1;
    m_dopplerPitch = mono ? GetDopplerPitch() : 16384;
    long long step = (((long long)m_rateStep * m_currentPitch) >> 14) * m_dopplerPitch >> 14;
    if (step <= 0) step = 1;
    m_step = int(std::min<long long>(step, 1 << 22));
    if ((m_params.bitsPerSample != 16 && m_params.bitsPerSample != 8) ||
        (m_params.channels != 1 && m_params.channels != 2))
        return;

    Targets t;
    if (mono) {
        const int total = int((((long long)m_gain * GetDistanceGain()) >> 14) * GetDirectionalGain() >> 14);
        int lp, rp;
        GetStereoPanning(&lp, &rp);
        t = {int(((long long)lp * total) >> 14), int(((long long)rp * total) >> 14)};
    } else {
        t = {m_gain, m_gain};
    }
    if (m_step == 16384) FillNoInter(mix, frames, t, !mono);
    else FillInter(mix, frames, t, !mono, m_step);
}

void DriverCallbackSourceInterface::FreeDisposableData(int limit, int& freedBlocks, int& freedBytes) {
    MutexLock l(m_lock);
    freedBlocks = 0;
    freedBytes = 0;
    if (limit <= 0 || m_blocks.empty() || m_bytesPerFrame <= 0) return;
    const int bpf = m_bytesPerFrame;
    const long long perBlock = ((long long)s_driverSampleRate * (s_driverCallbackPeriod + 1)) >> 14;
    const long long sourceFrames = ((long long)m_step * (perBlock + 1)) >> 14;
    const long long keep = 3LL * bpf * (sourceFrames + 1);
    int keepBlock = -1;
    long long keepOffset = 0, sum = 0;
    for (int k = 0; k < m_blockCount; ++k) {
        const int idx = (m_read + k) % m_blockCount;
        const DriverBuffer& b = m_blocks[size_t(idx)];
        if (b.free) break;
        const long long unplayed = b.size - (long long)b.position * bpf;
        if (sum + unplayed > keep) {
            keepBlock = idx;
            keepOffset = (long long)b.position * bpf + keep - sum;
            break;
        }
        sum += unplayed;
    }
    long long total = 0;
    for (int k = 1; k <= m_blockCount; ++k) {
        const int idx = ((m_write - k) % m_blockCount + m_blockCount) % m_blockCount;
        DriverBuffer& b = m_blocks[size_t(idx)];
        if (b.free) continue;
        const long long unplayed = b.size - (long long)b.position * bpf;
        total += unplayed;
        if (idx == keepBlock) {
            const long long newSize = std::max(keepOffset, (long long)b.position * bpf + total - limit);
            freedBytes += int(b.size - newSize);
            if (newSize <= 0) {
                b = DriverBuffer{};
                ++freedBlocks;
                m_write = idx;
            } else {
                b.size = int(newSize);
                m_write = (idx + 1) % m_blockCount;
            }
            return;
        }
        if (keepBlock < 0 && idx == m_read) return;  // nothing may go from the block being played
        if (total >= limit) {
            const long long newSize = (long long)b.position * bpf + total - limit;
            freedBytes += int(b.size - newSize);
            b.size = int(newSize);
            m_write = (idx + 1) % m_blockCount;
            return;
        }
        freedBytes += b.size;
        b = DriverBuffer{};
        ++freedBlocks;
        m_write = idx;
    }
}

}  // namespace kez
