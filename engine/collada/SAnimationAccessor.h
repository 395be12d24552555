#pragma once
// The view through which animations are evaluated: an animation record, the key data of the
// segment holding the current time, and the caller's key-search cache. Key times are u8 or u16
// frame numbers at 30 frames a second (33.333332 ms a frame) or s32 milliseconds; the time base
// is always sampler 0's, the key array that of the sampler asked for. The accessor owns nothing.

#include "engine/collada/AnimationKeySearch.h"
#include "engine/collada/IAnimationTrackEx.h"
#include "engine/collada/SAnimationRecords.h"

#include <cstdint>

namespace pravik::collada {

class SAnimationAccessor {
public:
    static constexpr float MS_PER_FRAME = key_search::MS_PER_FRAME;

    SAnimationAccessor(const SAnimationView* animation, const SAnimationData* data, SKeySearchCache* cache)
        : m_animation(animation), m_data(data), m_cache(cache) {}

    const SAnimationView* getAnimation() const { return m_animation; }
    const SAnimationData* getData() const { return m_data; }

    // Record queries (sampler s, channel i).
    const char* getTarget() const { return m_animation->channel(0).target; }
    std::uint32_t getType(std::uint32_t i) const { return m_animation->channel(i).type; }
    SChannelView getChannel(std::uint32_t i) const { return m_animation->channel(i); }
    std::uint32_t getChannelsCount() const { return m_animation->channelCount; }
    std::uint32_t getTimeInternalType(std::uint32_t s) const { return m_animation->sampler(s).timeBase; }
    std::uint32_t getInterpolationType(std::uint32_t s) const { return m_animation->sampler(s).interpolation; }
    SKeyArray getKeyTime(std::uint32_t s) const { return array(m_animation->sampler(s).keyTimeArray); }
    [[gnu::always_inline]] SKeyArray getOutput(std::uint32_t s) const
    {
        return array(s == 0 ? m_animation->sampler0.keyValueArray : m_animation->samplerAt(s).keyValueArray);
    }
    std::uint32_t getOffsetScaleType() const { return m_animation->hasQuantisation ? m_animation->storage : EKS_FLOAT; }
    const float* getScales() const { return m_animation->scales; }
    const float* getOffsets() const { return m_animation->offsets; }
    bool hasDefaultValue() const { return m_animation->hasDescriptor && m_animation->defaultRef != 0; }
    const void* getDefaultValue(std::uint32_t size) const { return m_animation->defaultValue(size); }
    // The bound track; null without a record or a track (the value operations then do nothing).
    const IAnimationTrackEx* getAnimator() const { return m_animation ? m_animation->track : nullptr; }
    int getKeyTime(std::uint32_t s, std::uint32_t i) const;  // ms; 0 for an unknown time base
    int getStart(std::uint32_t s) const;
    int getEnd(std::uint32_t s) const;
    int getLength(std::uint32_t s) const { return getEnd(s) - getStart(s); }
    bool hasKeys() const  // sampler 0 has key times and key values
    {
        if (!m_animation)
            return false;
        const SSamplerView& s0 = m_animation->sampler0;
        const std::uint32_t width = s0.timeBase == ETB_MILLISECONDS ? 4
                                    : s0.timeBase == ETB_FRAMES_U16 ? 2
                                    : s0.timeBase == ETB_FRAMES_U8  ? 1
                                                                    : 0;
        const SKeyArray times = array(s0.keyTimeArray);
        return width && times.count && times.holds(width) && array(s0.keyValueArray).count;
    }

    // Value operations, forwarded to the bound track (none: nothing happens).
    void getValue(int time, void* out, int& keyHint, bool interpolate) const
    {
        if (const IAnimationTrackEx* track = getAnimator())
            track->getValue(*this, time, out, keyHint, interpolate);
    }
    void getValue(int refTime, int time, void* out, int& keyHint, bool interpolate) const
    {
        if (const IAnimationTrackEx* track = getAnimator())
            static_cast<const CAnimationTrackEx*>(track)->getValue(*this, refTime, time, out, keyHint, interpolate);
    }
    void applyValue(int time, void* target, CApplicatorInfo* info, int& keyHint, bool interpolate) const
    {
        if (const IAnimationTrackEx* track = getAnimator())
            track->applyValue(*this, time, target, info, keyHint, interpolate);
    }
    void applyValue(int time, void* target, int& keyHint, bool interpolate) const
    {
        applyValue(time, target, nullptr, keyHint, interpolate);
    }
    void applyValue(int refTime, int time, void* target, CApplicatorInfo* info, int& keyHint, bool interpolate) const
    {
        if (const IAnimationTrackEx* track = getAnimator())
            static_cast<const CAnimationTrackEx*>(track)->applyValue(*this, refTime, time, target, info, keyHint,
                                                                     interpolate);
    }

    // Sampler 0's search for a time-based track operation, in one pass over its arrays: -1 when
    // sampler 0 has no key times or no key values (nothing to apply); else 1 when the time lies
    // strictly between keys k and k + 1 and sampler 0 interpolates (fraction written), 0 when not.
    // values (when given) receives sampler 0's key-value array, so keys are read without a lookup.
    [[gnu::always_inline]] int findKeys(int time, int& k, float& fraction, const int* hint,
                                        SKeyArray* values = nullptr) const;

    // Key searches: true when time lies strictly between key k and k + 1 and sampler s
    // interpolates; the fraction is written only then. An unknown time base or an empty key
    // array answers false and leaves k alone.
    bool findKeyFrameNo(std::uint32_t s, const SKeyArray& keys, int time, int& k, float& fraction) const;
    bool findKeyFrameNo(std::uint32_t s, int time, int& k, float& fraction) const;
    bool findKeyFrameNo(std::uint32_t s, const SKeyArray& keys, int time, int& k) const;
    bool findKeyFrameNo(std::uint32_t s, int time, int& k) const;
    bool findKeyFrameNo(std::uint32_t s, const SKeyArray& keys, int time, int& k, int hint) const;
    bool findKeyFrameNo(std::uint32_t s, int time, int& k, int hint) const;
    bool findKeyFrameNo(std::uint32_t s, const SKeyArray& keys, int time, int& k, float& fraction, int hint) const;
    bool findKeyFrameNo(std::uint32_t s, int time, int& k, float& fraction, int hint) const;

private:
    [[gnu::always_inline]] SKeyArray array(std::uint32_t n) const  // empty when the data lacks array n
    {
        const SKeyArray* a = m_data ? m_data->get(n) : nullptr;
        return a ? *a : SKeyArray();
    }
    bool search(std::uint32_t s, const SKeyArray& keys, int time, int& k, float* fraction, const int* hint) const;
    template <class T, int UnitsPerSecond>
    [[gnu::always_inline]] int findKeysAs(int time, int& k, float& fraction, const int* hint, SKeyArray* values) const;

    const SAnimationView* m_animation;
    const SAnimationData* m_data;
    SKeySearchCache* m_cache;
};

inline int SAnimationAccessor::findKeys(int time, int& k, float& fraction, const int* hint, SKeyArray* values) const
{
    if (!m_animation || !m_data)
        return -1;
    // One switch on the time base: the key width is a constant in each search below.
    switch (m_animation->sampler0.timeBase) {
    case ETB_FRAMES_U8: return findKeysAs<std::uint8_t, 30>(time, k, fraction, hint, values);
    case ETB_FRAMES_U16: return findKeysAs<std::uint16_t, 30>(time, k, fraction, hint, values);
    case ETB_MILLISECONDS: return findKeysAs<std::int32_t, 1000>(time, k, fraction, hint, values);
    default: return -1;
    }
}

template <class T, int UnitsPerSecond>
inline int SAnimationAccessor::findKeysAs(int time, int& k, float& fraction, const int* hint, SKeyArray* valuesOut) const
{
    const SSamplerView& s0 = m_animation->sampler0;
    const SKeyArray* times = m_data->get(s0.keyTimeArray);
    const SKeyArray* values = m_data->get(s0.keyValueArray);
    if (!times || !values || !times->count || !times->holds(sizeof(T)) || !values->count)
        return -1;
    if (valuesOut)
        *valuesOut = *values;
    return key_search::searchAs<T, UnitsPerSecond>(*times, time, k, &fraction, hint, s0.interpolation != 0, m_cache);
}

// A time-based track operation: key k (from 0) and the fraction from sampler 0's search (hinted
// when a hint is given), then two(k, fraction) when interpolating between keys, else one(k); the
// hint takes k. Key data without keys runs neither.
template <class Two, class One>
inline void forKeysAt(const SAnimationAccessor& a, int time, int* hint, bool interpolate, Two&& two, One&& one)
{
    int k = 0;
    float f = 0.f;
    const int between = a.findKeys(time, k, f, hint);
    if (between < 0)
        return;
    if (between && interpolate)
        two(k, f);
    else
        one(k);
    if (hint)
        *hint = k;
}

// The searches by stored key type and key units a second (30 frames or 1000 ms): exact and
// hinted; they answer "strictly between key k and k + 1" without the interpolation gate.
template <class T, int UnitsPerSecond>
bool findKeyFrameNo(const SKeyArray& keys, int time, int& k);
template <class T, int UnitsPerSecond>
bool findKeyFrameNo(const SKeyArray& keys, int time, int& k, int hint);

} // namespace pravik::collada
