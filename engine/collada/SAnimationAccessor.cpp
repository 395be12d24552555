#include "engine/collada/SAnimationAccessor.h"

#include <type_traits>

namespace pravik::collada {

namespace {

template <int UnitsPerSecond>
float toKeyUnits(int time)
{
    return UnitsPerSecond == 30 ? float(time) / SAnimationAccessor::MS_PER_FRAME : float(time);
}

template <int UnitsPerSecond>
bool onKey(float key, int time)
{
    return float(time) == (UnitsPerSecond == 30 ? key * SAnimationAccessor::MS_PER_FRAME : key);
}

// Key times whose count lies within their bytes (clamped once), read without further checks.
struct SKeyTimes {
    const unsigned char* data;
    int count;
};

template <class T>
SKeyTimes checkedTimes(const SKeyArray& a)
{
    const std::uint32_t n = a.count < a.bytes / sizeof(T) ? a.count : a.bytes / std::uint32_t(sizeof(T));
    return {a.data, int(n)};
}

template <class T>
float keyAt(const SKeyTimes& keys, int i)
{
    T v;
    std::memcpy(&v, keys.data + std::size_t(i) * sizeof(T), sizeof(T));
    return float(v);
}

// Milliseconds of a key, truncated. Frames convert in double precision: in single precision
// frame 3 is an exact tie that rounds to 100 ms, where every key time of the system says 99.
template <class T, int UnitsPerSecond>
int keyMs(const SKeyTimes& keys, int i)
{
    const float v = keyAt<T>(keys, i);
    return UnitsPerSecond == 30 ? int(double(v) * 33.333332) : int(v);
}

std::uint32_t keyWidth(std::uint32_t timeBase)
{
    switch (timeBase) {
    case ETB_FRAMES_U8: return 1;
    case ETB_FRAMES_U16: return 2;
    case ETB_MILLISECONDS: return 4;
    default: return 0;
    }
}

template <class T, int UnitsPerSecond>
[[gnu::always_inline]] inline bool exactSearch(const SKeyTimes& keys, int time, int& k);
template <class T, int UnitsPerSecond>
[[gnu::always_inline]] inline bool hintedSearch(const SKeyTimes& keys, int time, int& k, int hint);

template <class T, int UnitsPerSecond>
[[gnu::always_inline]] inline bool searchAndFraction(const SKeyTimes& keys, int time, int& k, float* fraction, const int* hint, bool interpolates)
{
    const bool between = hint ? hintedSearch<T, UnitsPerSecond>(keys, time, k, *hint)
                              : exactSearch<T, UnitsPerSecond>(keys, time, k);
    const bool gated = between && interpolates;
    if (gated && fraction) {
        const int t0 = keyMs<T, UnitsPerSecond>(keys, k);
        const int t1 = keyMs<T, UnitsPerSecond>(keys, k + 1);
        // Two frame keys a frame apart can truncate to one millisecond; never divide by zero.
        float f = t1 != t0 ? float(time - t0) / float(t1 - t0) : 0.f;
        f = f < 0.f ? 0.f : (f > 1.f ? 1.f : f);
        *fraction = f;
    }
    return gated;
}

template <class T, int UnitsPerSecond>
bool exactSearch(const SKeyTimes& keys, int time, int& k)
{
    const int last = int(keys.count) - 1;
    if (last < 0)
        return false;
    const float x = toKeyUnits<UnitsPerSecond>(time);
    k = last;
    if (last > 0) {
        int lo = 1;
        while (lo <= k) {
            const int mid = (lo + k) / 2;
            if (keyAt<T>(keys, mid) > x)
                k = mid - 1;
            else
                lo = mid + 1;
        }
    }
    return !onKey<UnitsPerSecond>(keyAt<T>(keys, k), time) && k != last;
}

template <class T, int UnitsPerSecond>
bool hintedSearch(const SKeyTimes& keys, int time, int& k, int hint)
{
    const int last = int(keys.count) - 1;
    if (last < 0)
        return false;
    const float x = toKeyUnits<UnitsPerSecond>(time);
    int h = hint < 0 ? 0 : (hint > last ? last : hint);
    int answer = -1;
    const float kh = keyAt<T>(keys, h);
    if (kh > x && h > 0) {
        if (keyAt<T>(keys, h - 1) <= x)
            answer = h - 1;
    } else if (h < last) {
        const float k1 = keyAt<T>(keys, h + 1);
        if (k1 >= x) {
            if (kh <= x)
                answer = h;
        } else if (h + 1 == last) {
            answer = last;
        } else if (keyAt<T>(keys, h + 2) >= x) {
            answer = h + 1;
        } else if (h + 2 == last) {
            answer = last;
        } else if (keyAt<T>(keys, h + 2) <= x && x <= keyAt<T>(keys, h + 3)) {
            answer = h + 2;
        }
    } else {
        answer = last;
    }
    if (answer < 0)
        return exactSearch<T, UnitsPerSecond>(keys, time, k);
    k = answer;
    return !onKey<UnitsPerSecond>(keyAt<T>(keys, k), time) && k != last;
}

} // namespace

template <class T, int UnitsPerSecond>
bool findKeyFrameNo(const SKeyArray& keys, int time, int& k)
{
    return exactSearch<T, UnitsPerSecond>(checkedTimes<T>(keys), time, k);
}

template <class T, int UnitsPerSecond>
bool findKeyFrameNo(const SKeyArray& keys, int time, int& k, int hint)
{
    return hintedSearch<T, UnitsPerSecond>(checkedTimes<T>(keys), time, k, hint);
}

template bool findKeyFrameNo<std::uint8_t, 30>(const SKeyArray&, int, int&);
template bool findKeyFrameNo<std::uint16_t, 30>(const SKeyArray&, int, int&);
template bool findKeyFrameNo<std::int32_t, 1000>(const SKeyArray&, int, int&);
template bool findKeyFrameNo<std::uint8_t, 30>(const SKeyArray&, int, int&, int);
template bool findKeyFrameNo<std::uint16_t, 30>(const SKeyArray&, int, int&, int);
template bool findKeyFrameNo<std::int32_t, 1000>(const SKeyArray&, int, int&, int);

int SAnimationAccessor::getKeyTime(std::uint32_t s, std::uint32_t i) const
{
    const SKeyArray keys = getKeyTime(s);
    switch (getTimeInternalType(0)) {
    case ETB_FRAMES_U8: return int(double(keys.at<std::uint8_t>(i)) * 33.333332);
    case ETB_FRAMES_U16: return int(double(keys.at<std::uint16_t>(i)) * 33.333332);
    case ETB_MILLISECONDS: return keys.at<std::int32_t>(i);
    default: return 0;
    }
}

int SAnimationAccessor::getStart(std::uint32_t s) const { return getKeyTime(s, 0); }

int SAnimationAccessor::getEnd(std::uint32_t s) const
{
    const std::uint32_t n = getKeyTime(s).count;
    return getKeyTime(s, n ? n - 1 : 0);
}

namespace {

// One search of sampler 0's time base, through the cache when it is enabled; for an unsupported
// time base (T void) only the cache's time changes.
template <class T, int UnitsPerSecond>
[[gnu::always_inline]] inline bool searchAs(const SKeyArray& keys, int time, int& k, float* fraction, const int* hint,
                                            bool interpolates, SKeySearchCache* cache)
{
    if (!cache || !cache->enabled) {
        if constexpr (std::is_void_v<T>)
            return false;
        else
            return searchAndFraction<T, UnitsPerSecond>(checkedTimes<T>(keys), time, k, fraction, hint, interpolates);
    }
    if (time != cache->lastTime) {
        cache->lastTime = time;
        if constexpr (!std::is_void_v<T>)
            cache->answer = searchAndFraction<T, UnitsPerSecond>(checkedTimes<T>(keys), time, cache->key,
                                                                 fraction ? &cache->fraction : nullptr, hint, interpolates);
    }
    k = cache->key;
    if (fraction)
        *fraction = cache->fraction;
    return cache->answer;
}

} // namespace

bool SAnimationAccessor::search(std::uint32_t s, const SKeyArray& keys, int time, int& k, float* fraction,
                                const int* hint) const
{
    const SSamplerView& s0 = m_animation->sampler0;
    const bool interpolates = (s == 0 ? s0.interpolation : m_animation->samplerAt(s).interpolation) != 0;
    switch (s0.timeBase) {
    case ETB_FRAMES_U8: return searchAs<std::uint8_t, 30>(keys, time, k, fraction, hint, interpolates, m_cache);
    case ETB_FRAMES_U16: return searchAs<std::uint16_t, 30>(keys, time, k, fraction, hint, interpolates, m_cache);
    case ETB_MILLISECONDS: return searchAs<std::int32_t, 1000>(keys, time, k, fraction, hint, interpolates, m_cache);
    default: return searchAs<void, 0>(keys, time, k, fraction, hint, interpolates, m_cache);
    }
}

bool SAnimationAccessor::findKeyFrameNo(std::uint32_t s, const SKeyArray& keys, int time, int& k, float& fraction) const
{
    return search(s, keys, time, k, &fraction, nullptr);
}
bool SAnimationAccessor::findKeyFrameNo(std::uint32_t s, int time, int& k, float& fraction) const
{
    return search(s, getKeyTime(s), time, k, &fraction, nullptr);
}
bool SAnimationAccessor::findKeyFrameNo(std::uint32_t s, const SKeyArray& keys, int time, int& k) const
{
    return search(s, keys, time, k, nullptr, nullptr);
}
bool SAnimationAccessor::findKeyFrameNo(std::uint32_t s, int time, int& k) const
{
    return search(s, getKeyTime(s), time, k, nullptr, nullptr);
}
bool SAnimationAccessor::findKeyFrameNo(std::uint32_t s, const SKeyArray& keys, int time, int& k, int hint) const
{
    return search(s, keys, time, k, nullptr, &hint);
}
bool SAnimationAccessor::findKeyFrameNo(std::uint32_t s, int time, int& k, int hint) const
{
    return search(s, getKeyTime(s), time, k, nullptr, &hint);
}
bool SAnimationAccessor::findKeyFrameNo(std::uint32_t s, const SKeyArray& keys, int time, int& k, float& fraction,
                                        int hint) const
{
    return search(s, keys, time, k, &fraction, &hint);
}
bool SAnimationAccessor::findKeyFrameNo(std::uint32_t s, int time, int& k, float& fraction, int hint) const
{
    return search(s, getKeyTime(s), time, k, &fraction, &hint);
}

int SAnimationAccessor::findKeys(int time, int& k, float& fraction, const int* hint) const
{
    if (!m_animation || !m_data)
        return -1;
    const SSamplerView& s0 = m_animation->sampler0;
    const SKeyArray* times = m_data->get(s0.keyTimeArray);
    const SKeyArray* values = m_data->get(s0.keyValueArray);
    const std::uint32_t width = keyWidth(s0.timeBase);
    if (!times || !values || !width || !times->count || !times->holds(width) || !values->count)
        return -1;
    const bool interpolates = s0.interpolation != 0;
    switch (s0.timeBase) {
    case ETB_FRAMES_U8: return searchAs<std::uint8_t, 30>(*times, time, k, &fraction, hint, interpolates, m_cache);
    case ETB_FRAMES_U16: return searchAs<std::uint16_t, 30>(*times, time, k, &fraction, hint, interpolates, m_cache);
    default: return searchAs<std::int32_t, 1000>(*times, time, k, &fraction, hint, interpolates, m_cache);
    }
}

} // namespace pravik::collada
