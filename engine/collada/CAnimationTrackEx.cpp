#include "engine/collada/IAnimationTrackEx.h"
#include "engine/collada/SAnimationAccessor.h"

#include <cstring>

namespace pravik::collada {

// Every time-based operation runs forKeysAt; the reference forms search the reference key after
// the current one, unhinted and without a fraction. The weighted forms end in weighted key
// operations, which no kind provides.

namespace {
int referenceKey(const SAnimationAccessor& a, int refTime)
{
    int k = 0;
    a.findKeyFrameNo(0, refTime, k);
    return k;
}
} // namespace

void CAnimationTrackEx::getValue(const Accessor& a, int time, void* out, bool interpolate) const
{
    forKeysAt(a, time, nullptr, interpolate, [&](int k, float f) { getKeyBasedValue(a, k, k + 1, f, out); },
              [&](int k) { getKeyBasedValue(a, k, out); });
}

void CAnimationTrackEx::applyValue(const Accessor& a, int time, void* target, CApplicatorInfo* info,
                                   bool interpolate) const
{
    forKeysAt(a, time, nullptr, interpolate, [&](int k, float f) { applyKeyBasedValue(a, k, k + 1, f, target, info); },
              [&](int k) { applyKeyBasedValue(a, k, target, info); });
}

void CAnimationTrackEx::getValue(const Accessor& a, int time, void* out, int& keyHint, bool interpolate) const
{
    forKeysAt(a, time, &keyHint, interpolate, [&](int k, float f) { getKeyBasedValue(a, k, k + 1, f, out); },
              [&](int k) { getKeyBasedValue(a, k, out); });
}

void CAnimationTrackEx::applyValue(const Accessor& a, int time, void* target, CApplicatorInfo* info, int& keyHint,
                                   bool interpolate) const
{
    forKeysAt(a, time, &keyHint, interpolate, [&](int k, float f) { applyKeyBasedValue(a, k, k + 1, f, target, info); },
              [&](int k) { applyKeyBasedValue(a, k, target, info); });
}

void CAnimationTrackEx::getValue(const Accessor& a, int refTime, int time, void* out, int& keyHint,
                                 bool interpolate) const
{
    forKeysAt(
        a, time, &keyHint, interpolate,
        [&](int k, float f) { getKeyBasedValue(a, referenceKey(a, refTime), k, k + 1, f, out); },
        [&](int k) { getKeyBasedValue(a, referenceKey(a, refTime), k, out); });
}

void CAnimationTrackEx::applyValue(const Accessor& a, int refTime, int time, void* target, CApplicatorInfo*,
                                   int& keyHint, bool interpolate) const
{
    forKeysAt(
        a, time, &keyHint, interpolate,
        [&](int k, float f) { applyKeyBasedValue(a, referenceKey(a, refTime), k, k + 1, f, target); },
        [&](int k) { applyKeyBasedValue(a, referenceKey(a, refTime), k, target); });
}

void CAnimationTrackEx::getValue(const Accessor& a, int time, void* out, float weight, bool interpolate) const
{
    forKeysAt(a, time, nullptr, interpolate, [&](int k, float f) { getKeyBasedValue(a, k, k + 1, f, out, weight); },
              [&](int k) { getKeyBasedValue(a, k, out, weight); });
}

void CAnimationTrackEx::getValue(const Accessor& a, int time, void* out, int& keyHint, float weight,
                                 bool interpolate) const
{
    forKeysAt(a, time, &keyHint, interpolate, [&](int k, float f) { getKeyBasedValue(a, k, k + 1, f, out, weight); },
              [&](int k) { getKeyBasedValue(a, k, out, weight); });
}

void CAnimationTrackEx::applyValue(const Accessor& a, int time, void* target, CApplicatorInfo* info, float weight,
                                   bool interpolate) const
{
    forKeysAt(
        a, time, nullptr, interpolate, [&](int k, float f) { applyKeyBasedValue(a, k, k + 1, f, target, info, weight); },
        [&](int k) { applyKeyBasedValue(a, k, target, info, weight); });
}

void CAnimationTrackEx::applyValue(const Accessor& a, int time, void* target, CApplicatorInfo* info, int& keyHint,
                                   float weight, bool interpolate) const
{
    forKeysAt(
        a, time, &keyHint, interpolate,
        [&](int k, float f) { applyKeyBasedValue(a, k, k + 1, f, target, info, weight); },
        [&](int k) { applyKeyBasedValue(a, k, target, info, weight); });
}

void CAnimationTrackEx::retrieveValue(void* target, void* out) const
{
    std::memcpy(out, target, std::size_t(getValueSize()));
}

} // namespace pravik::collada
