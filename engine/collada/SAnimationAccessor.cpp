#include "engine/collada/SAnimationAccessor.h"

namespace pravik::collada {

using namespace key_search;

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

} // namespace pravik::collada
