// A key-framed value: keys at whole frames of 33.333332 ms, optionally looping, answered at a
// time in milliseconds. Never empty: the owner's default sits at frame 0 until a loaded key at
// frame 0 replaces it. Within the frame of a key the value is that key's; between keys it is
// interpolated linearly in milliseconds. Lookups walk the few keys and never allocate.
#pragma once

#include "engine/core/vector3d.h"

#include <algorithm>
#include <vector>

namespace zuduva {
inline constexpr float kFrameMs = 33.333332f;   // one frame
inline constexpr float kMsToFrame = 0.03f;      // its inverse, as stored
}  // namespace zuduva

template <typename T>
class CKeyData {
public:
    struct _keyData {
        int m_frame = 0;
        T m_value{};
    };

    explicit CKeyData(const T& defaultValue) { m_keys.push_back({0, defaultValue}); }
    CKeyData(const CKeyData& other) : m_keys{{0, T{}}} { addAll(other); }
    CKeyData& operator=(const CKeyData&) = delete;

    // Replaces the value of a key at the same frame, otherwise inserts in frame order.
    void addKeyData(const _keyData& key)
    {
        for (_keyData& k : m_keys)
            if (k.m_frame == key.m_frame) {
                k.m_value = key.m_value;
                return;
            }
        m_keys.push_back(key);
        std::stable_sort(m_keys.begin(), m_keys.end(),
                         [](const _keyData& a, const _keyData& b) { return a.m_frame < b.m_frame; });
    }
    void addAll(const CKeyData& other)
    {
        for (const _keyData& k : other.m_keys)
            addKeyData(k);
        m_loop = other.m_loop;  // a copied track keeps repeating
    }

    T getDataAtTime(int t) const
    {
        if (m_keys.size() == 1 || t == 0)
            return m_keys.front().m_value;
        return between(t);
    }

    // Multiplies every key value (emitter scaling).
    void scaleValues(float factor)
    {
        for (_keyData& k : m_keys)
            k.m_value = T(k.m_value * factor);
    }

    int getKeyCount() const { return int(m_keys.size()); }
    const _keyData& getKey(int i) const { return m_keys[size_t(i)]; }
    const T& getFirstValue() const { return m_keys.front().m_value; }
    void setFirstValue(const T& v) { m_keys.front().m_value = v; }
    bool getLoop() const { return m_loop; }
    void setLoop(bool loop) { m_loop = loop; }

private:
    static T lerp(const T& lo, const T& hi, float ratio);
    T between(int t) const;

    std::vector<_keyData> m_keys;
    bool m_loop = false;
};

template <>
inline int CKeyData<int>::lerp(const int& lo, const int& hi, float ratio)
{
    return lo + int(float(hi - lo) * ratio);
}
template <>
inline float CKeyData<float>::lerp(const float& lo, const float& hi, float ratio)
{
    return lo + (hi - lo) * ratio;
}
template <>
inline pravik::core::vector3d<float> CKeyData<pravik::core::vector3d<float>>::lerp(
    const pravik::core::vector3d<float>& lo, const pravik::core::vector3d<float>& hi, float ratio)
{
    return {lo.X + (hi.X - lo.X) * ratio, lo.Y + (hi.Y - lo.Y) * ratio, lo.Z + (hi.Z - lo.Z) * ratio};
}

template <typename T>
T CKeyData<T>::between(int t) const
{
    const int lastFrame = m_keys.back().m_frame;
    if (m_loop) {
        const int period = int(float(lastFrame + 1) * zuduva::kFrameMs);
        // A period of 0 or less (keys at negative frames) does not wrap.
        if (period > 0 && t > period)
            t %= period;
    } else if (float(t) >= float(lastFrame) * zuduva::kFrameMs) {
        return m_keys.back().m_value;
    }
    const int f = int(float(t) * zuduva::kMsToFrame);
    const _keyData* lower = nullptr;
    const _keyData* upper = nullptr;
    for (const _keyData& k : m_keys) {
        if (k.m_frame == f)
            return k.m_value;
        if (k.m_frame < f)
            lower = &k;
        else {
            upper = &k;
            break;
        }
    }
    if (!lower || !upper)
        return T{};
    const int lowerMs = int(float(lower->m_frame) * zuduva::kFrameMs);
    const int upperMs = int(float(upper->m_frame) * zuduva::kFrameMs);
    if (lowerMs == upperMs)
        return T{};
    const float ratio = float(t - lowerMs) / float(upperMs - lowerMs);
    return lerp(lower->m_value, upper->m_value, ratio);
}

using CKeyDataInt = CKeyData<int>;
using CKeyDataFloat = CKeyData<float>;
using CKeyDataVector = CKeyData<pravik::core::vector3d<float>>;
