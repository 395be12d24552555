#include "engine/collada/CColladaAnimationTrackFloat.h"
#include "engine/collada/SAnimationAccessor.h"

#include <cstring>

namespace pravik::collada::animation_track {

namespace {

float K(const SAnimationAccessor& a, int k) { return a.getOutput(0).at<float>(std::uint32_t(k)); }
float lerpKeys(const SAnimationAccessor& a, int k0, int k1, float f)
{
    const float v0 = K(a, k0);
    return v0 + f * (K(a, k1) - v0);
}
float sum(const void* values, const float* weights, int count)
{
    const float* v = static_cast<const float*>(values);
    float out = 0.f;
    for (int i = 0; i < count; ++i)
        out = out + v[i] * weights[i];
    return out;
}
void put(void* out, float v) { std::memcpy(out, &v, 4); }

} // namespace

const CFloatEx CFloatEx::s_Instance;
const CWeightEx CWeightEx::s_Instance;

void CFloatEx::getIdentityValue(void* out) const { put(out, 0.f); }
void CFloatEx::getBlendedValue(void* values, float* weights, int count, void* out) const
{
    put(out, sum(values, weights, count));
}
void CFloatEx::getAddedValue(void* values, float* weights, int count, void* out) const
{
    put(out, sum(values, weights, count));
}
void CFloatEx::getKeyBasedValue(const Accessor& a, int key0, int key1, float f, void* out) const
{
    put(out, lerpKeys(a, key0, key1, f));
}
void CFloatEx::getKeyBasedValue(const Accessor& a, int refKey, int key0, int key1, float f, void* out) const
{
    put(out, lerpKeys(a, key0, key1, f) - K(a, refKey));
}
void CFloatEx::getKeyBasedValue(const Accessor& a, int key, void* out) const { put(out, K(a, key)); }
void CFloatEx::getKeyBasedValue(const Accessor& a, int refKey, int key, void* out) const
{
    put(out, K(a, key) - K(a, refKey));
}
void CFloatEx::applyValue(void* value, void* target, CApplicatorInfo*) const { std::memcpy(target, value, 4); }

void CWeightEx::applyBlendedValue(void* values, float* weights, int count, void* target, CApplicatorInfo*) const
{
    put(target, sum(values, weights, count));
}
void CWeightEx::applyAddedValue(void* values, float* weights, int count, void* target, CApplicatorInfo*) const
{
    put(target, sum(values, weights, count));
}
void CWeightEx::getKeyBasedValue(const Accessor& a, int, int key0, int key1, float f, void* out) const
{
    put(out, lerpKeys(a, key0, key1, f));
}
void CWeightEx::getKeyBasedValue(const Accessor& a, int, int key, void* out) const { put(out, K(a, key)); }
void CWeightEx::applyKeyBasedValue(const Accessor& a, int key0, int key1, float f, void* target,
                                   CApplicatorInfo*) const
{
    put(target, lerpKeys(a, key0, key1, f));
}
void CWeightEx::applyKeyBasedValue(const Accessor& a, int key, void* target, CApplicatorInfo*) const
{
    put(target, K(a, key));
}
void CWeightEx::applyKeyBasedValue(const Accessor& a, int refKey, int key, void* target) const
{
    put(target, K(a, key) - K(a, refKey));
}

} // namespace pravik::collada::animation_track
