#include "engine/collada/SAnimationRecords.h"

namespace pravik::collada {

const unsigned char* CFlatRecordSpace::resolve(std::uint32_t ref, std::uint32_t size) const
{
    if (ref == 0 || ref > m_size || size > m_size - ref)
        return nullptr;
    return m_base + ref;
}

const char* CFlatRecordSpace::resolveText(std::uint32_t ref) const
{
    if (ref == 0 || ref >= m_size)
        return nullptr;
    const void* end = std::memchr(m_base + ref, 0, m_size - ref);
    return end ? reinterpret_cast<const char*>(m_base + ref) : nullptr;
}

bool SAnimationView::resolve(const IRecordSpace& space, std::uint32_t ref)
{
    *this = SAnimationView();
    const unsigned char* rec = space.resolve(ref, RECORD_SIZE);
    if (!rec)
        return false;
    const std::uint32_t count = loadU32(rec + 0xC);
    // Counts past what any region could hold are refused before the products below.
    if (count == 0 || count > 0x00FFFFFFu / SAMPLER_SIZE)
        return false;
    const unsigned char* samp = space.resolve(loadU32(rec + 8), count * SAMPLER_SIZE);
    const unsigned char* chan = space.resolve(loadU32(rec + 0x10), count * CHANNEL_SIZE);
    if (!samp || !chan)
        return false;

    SAnimationView v;
    v.file = &space;
    v.record = rec;
    v.samplers = samp;
    v.channels = chan;
    v.channelCount = count;
    if (const std::uint32_t descRef = loadU32(rec + 0x18)) {
        const unsigned char* d = space.resolve(descRef, 12);
        if (!d)
            return false;
        v.hasDescriptor = true;
        v.mask = loadU32(d);
        v.arity = loadU32(d + 4);
        v.defaultRef = loadU32(d + 8);
    }
    if (const std::uint32_t quantRef = loadU32(rec + 0x1C)) {
        const unsigned char* q = space.resolve(quantRef, 12);
        if (!q)
            return false;
        v.hasQuantisation = true;
        v.storage = loadU32(q);
        if (v.storage == EKS_S8 || v.storage == EKS_S16) {
            // One scale and offset per component the keys hold (at most four).
            std::uint32_t n = loadU32(samp + 0x14);
            n = n == 0 ? 1 : (n > MAX_QUANTISED_COMPONENTS ? MAX_QUANTISED_COMPONENTS : n);
            const unsigned char* scales = space.resolve(loadU32(q + 4), n * 4);
            const unsigned char* offsets = space.resolve(loadU32(q + 8), n * 4);
            if (!scales || !offsets)
                return false;
            for (std::uint32_t i = 0; i < n; ++i) {
                v.scales[i] = loadF32(scales + 4 * i);
                v.offsets[i] = loadF32(offsets + 4 * i);
            }
        }
    }
    *this = v;
    sampler0 = samplerAt(0);
    return true;
}

SSamplerView SAnimationView::samplerAt(std::uint32_t s) const
{
    SSamplerView out;
    if (s >= channelCount)
        return out;
    const unsigned char* p = samplers + s * SAMPLER_SIZE;
    out.interpolation = loadU32(p);
    out.timeBase = loadU32(p + 4);
    out.keyTimeArray = loadU32(p + 0xC);
    out.valueType = loadU32(p + 0x10);
    out.components = loadU32(p + 0x14);
    out.keyValueArray = loadU32(p + 0x18);
    return out;
}

SChannelView SAnimationView::channel(std::uint32_t i) const
{
    SChannelView out;
    if (i >= channelCount)
        return out;
    const unsigned char* p = channels + i * CHANNEL_SIZE;
    out.target = file->resolveText(loadU32(p + 4));
    out.type = loadU32(p + 8);
    out.extra = loadU32(p + 0xC);
    return out;
}

const char* SAnimationView::channelText(std::uint32_t i) const
{
    return i < channelCount ? file->resolveText(loadU32(channels + i * CHANNEL_SIZE + 0xC)) : nullptr;
}

const void* SAnimationView::defaultValue(std::uint32_t size) const
{
    return hasDescriptor && defaultRef ? file->resolve(defaultRef, size) : nullptr;
}

} // namespace pravik::collada
