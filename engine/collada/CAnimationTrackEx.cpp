#include "engine/collada/IAnimationTrackEx.h"
#include "engine/collada/SAnimationAccessor.h"

#include <cstring>

namespace pravik::collada {

// Every time-based operation: key k (from 0) and the fraction from sampler 0's search, then the
// two-key form when interpolating between keys, else the one-key form. Key data without keys
// applies nothing.

void CAnimationTrackEx::getValue(const Accessor& a, int time, void* out, bool interpolate) const
{
    if (!a.hasKeys())
        return;
    int k = 0;
    float f = 0.f;
    if (a.findKeyFrameNo(0, time, k, f) && interpolate)
        getKeyBasedValue(a, k, k + 1, f, out);
    else
        getKeyBasedValue(a, k, out);
}

void CAnimationTrackEx::applyValue(const Accessor& a, int time, void* target, CApplicatorInfo* info,
                                   bool interpolate) const
{
    if (!a.hasKeys())
        return;
    int k = 0;
    float f = 0.f;
    if (a.findKeyFrameNo(0, time, k, f) && interpolate)
        applyKeyBasedValue(a, k, k + 1, f, target, info);
    else
        applyKeyBasedValue(a, k, target, info);
}

void CAnimationTrackEx::getValue(const Accessor& a, int time, void* out, int& keyHint, bool interpolate) const
{
    if (!a.hasKeys())
        return;
    int k = 0;
    float f = 0.f;
    if (a.findKeyFrameNo(0, time, k, f, keyHint) && interpolate)
        getKeyBasedValue(a, k, k + 1, f, out);
    else
        getKeyBasedValue(a, k, out);
    keyHint = k;
}

void CAnimationTrackEx::applyValue(const Accessor& a, int time, void* target, CApplicatorInfo* info, int& keyHint,
                                   bool interpolate) const
{
    if (!a.hasKeys())
        return;
    int k = 0;
    float f = 0.f;
    if (a.findKeyFrameNo(0, time, k, f, keyHint) && interpolate)
        applyKeyBasedValue(a, k, k + 1, f, target, info);
    else
        applyKeyBasedValue(a, k, target, info);
    keyHint = k;
}

void CAnimationTrackEx::getValue(const Accessor& a, int refTime, int time, void* out, int& keyHint,
                                 bool interpolate) const
{
    if (!a.hasKeys())
        return;
    int k = 0, refKey = 0;
    float f = 0.f;
    const bool between = a.findKeyFrameNo(0, time, k, f, keyHint);
    a.findKeyFrameNo(0, refTime, refKey);
    if (between && interpolate)
        getKeyBasedValue(a, refKey, k, k + 1, f, out);
    else
        getKeyBasedValue(a, refKey, k, out);
    keyHint = k;
}

void CAnimationTrackEx::applyValue(const Accessor& a, int refTime, int time, void* target, CApplicatorInfo*,
                                   int& keyHint, bool interpolate) const
{
    if (!a.hasKeys())
        return;
    int k = 0, refKey = 0;
    float f = 0.f;
    const bool between = a.findKeyFrameNo(0, time, k, f, keyHint);
    a.findKeyFrameNo(0, refTime, refKey);
    if (between && interpolate)
        applyKeyBasedValue(a, refKey, k, k + 1, f, target);
    else
        applyKeyBasedValue(a, refKey, k, target);
    keyHint = k;
}

// The weighted forms end in weighted key operations, which no kind provides.
void CAnimationTrackEx::getValue(const Accessor& a, int time, void* out, float weight, bool interpolate) const
{
    if (!a.hasKeys())
        return;
    int k = 0;
    float f = 0.f;
    if (a.findKeyFrameNo(0, time, k, f) && interpolate)
        getKeyBasedValue(a, k, k + 1, f, out, weight);
    else
        getKeyBasedValue(a, k, out, weight);
}

void CAnimationTrackEx::getValue(const Accessor& a, int time, void* out, int& keyHint, float weight,
                                 bool interpolate) const
{
    if (!a.hasKeys())
        return;
    int k = 0;
    float f = 0.f;
    if (a.findKeyFrameNo(0, time, k, f, keyHint) && interpolate)
        getKeyBasedValue(a, k, k + 1, f, out, weight);
    else
        getKeyBasedValue(a, k, out, weight);
    keyHint = k;
}

void CAnimationTrackEx::applyValue(const Accessor& a, int time, void* target, CApplicatorInfo* info, float weight,
                                   bool interpolate) const
{
    if (!a.hasKeys())
        return;
    int k = 0;
    float f = 0.f;
    if (a.findKeyFrameNo(0, time, k, f) && interpolate)
        applyKeyBasedValue(a, k, k + 1, f, target, info, weight);
    else
        applyKeyBasedValue(a, k, target, info, weight);
}

void CAnimationTrackEx::applyValue(const Accessor& a, int time, void* target, CApplicatorInfo* info, int& keyHint,
                                   float weight, bool interpolate) const
{
    if (!a.hasKeys())
        return;
    int k = 0;
    float f = 0.f;
    if (a.findKeyFrameNo(0, time, k, f, keyHint) && interpolate)
        applyKeyBasedValue(a, k, k + 1, f, target, info, weight);
    else
        applyKeyBasedValue(a, k, target, info, weight);
    keyHint = k;
}

void CAnimationTrackEx::retrieveValue(void* target, void* out) const
{
    std::memcpy(out, target, std::size_t(getValueSize()));
}

} // namespace pravik::collada
