#pragma once
// Key search over one key-time array, by stored key type T and key units a second (30 frames or
// 1000 ms): exact (binary) and hinted (the hint's key and the next three first). Inline, so the
// per-frame track paths search without a call; everything that reads key data here has had its
// array's count clamped to its bytes once (checkedTimes), and reads unchecked after that.

#include "engine/collada/SAnimationRecords.h"

#include <cstdint>
#include <cstring>
#include <type_traits>

namespace pravik::collada {

// One evaluation pass's shared key search: valid only when all animations of a file share their
// key times (the file says so).
struct SKeySearchCache {
    float fraction = 0.f;
    int lastTime = -16777215;
    int key = 0;
    bool answer = false;
    bool enabled = false;
};

namespace key_search {

constexpr float MS_PER_FRAME = 33.333332f;

template <int UnitsPerSecond>
inline float toKeyUnits(int time)
{
    return UnitsPerSecond == 30 ? float(time) / MS_PER_FRAME : float(time);
}

template <int UnitsPerSecond>
inline bool onKey(float key, int time)
{
    return float(time) == (UnitsPerSecond == 30 ? key * MS_PER_FRAME : key);
}

// Key times whose count lies within their bytes (clamped once), read without further checks.
struct SKeyTimes {
    const unsigned char* data;
    int count;
};

template <class T>
inline SKeyTimes checkedTimes(const SKeyArray& a)
{
    const std::uint32_t n = a.count < a.bytes / sizeof(T) ? a.count : a.bytes / std::uint32_t(sizeof(T));
    return {a.data, int(n)};
}

template <class T>
inline float keyAt(const SKeyTimes& keys, int i)
{
    T v;
    std::memcpy(&v, keys.data + std::size_t(i) * sizeof(T), sizeof(T));
    return float(v);
}

// Milliseconds of a key, truncated. Frames convert in double precision: in single precision
// frame 3 is an exact tie that rounds to 100 ms, where every key time of the system says 99.
template <class T, int UnitsPerSecond>
inline int keyMs(const SKeyTimes& keys, int i)
{
    const float v = keyAt<T>(keys, i);
    return UnitsPerSecond == 30 ? int(double(v) * 33.333332) : int(v);
}

inline std::uint32_t keyWidth(std::uint32_t timeBase)
{
    switch (timeBase) {
    case ETB_FRAMES_U8: return 1;
    case ETB_FRAMES_U16: return 2;
    case ETB_MILLISECONDS: return 4;
    default: return 0;
    }
}

// True when time lies strictly between key k and k + 1; k is the last key at or before time
// (key 0 before the first). An empty array answers false and leaves k alone.
template <class T, int UnitsPerSecond>
[[gnu::always_inline]] inline bool exactSearch(const SKeyTimes& keys, int time, int& k)
{
    const int last = int(keys.count) - 1;
    if (last < 0)
        return false;
    const float x = toKeyUnits<UnitsPerSecond>(time);
    k = last;
    if (last > 0) {
        int lo = 1;
        while (lo <= k) {
            const int mid = int((unsigned(lo) + unsigned(k)) / 2);  // both non-negative
            if (keyAt<T>(keys, mid) > x)
                k = mid - 1;
            else
                lo = mid + 1;
        }
    }
    return !onKey<UnitsPerSecond>(keyAt<T>(keys, k), time) && k != last;
}

// As exactSearch, trying the hint's neighbourhood first; exactly on key k + 1 it may answer k.
template <class T, int UnitsPerSecond>
[[gnu::always_inline]] inline bool hintedSearch(const SKeyTimes& keys, int time, int& k, int hint)
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

// The search (hinted when a hint is given), gated by interpolation; the fraction is written
// only when the answer is true, clamped to 0..1.
template <class T, int UnitsPerSecond>
[[gnu::always_inline]] inline bool searchAndFraction(const SKeyTimes& keys, int time, int& k, float* fraction,
                                                     const int* hint, bool interpolates)
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

} // namespace key_search
} // namespace pravik::collada
