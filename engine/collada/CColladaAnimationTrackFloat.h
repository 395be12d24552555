#pragma once
// Plain float tracks: a particle-system float parameter (CFloatEx) and the weight of a morph
// target (CWeightEx). Keys are one float each; the target is the float itself. Sums multiply
// every value by its weight, a single one included.

#include "engine/collada/IAnimationTrackEx.h"

namespace pravik::collada::animation_track {

class CFloatEx : public CAnimationTrackEx {
public:
    using CAnimationTrackEx::applyKeyBasedValue;
    using CAnimationTrackEx::getKeyBasedValue;
    static const CFloatEx s_Instance;

    int getValueSize() const override { return 4; }
    void getIdentityValue(void* out) const override;
    void getBlendedValue(void* values, float* weights, int count, void* out) const override;
    void getAddedValue(void* values, float* weights, int count, void* out) const override;
    void getKeyBasedValue(const Accessor& a, int key0, int key1, float f, void* out) const override;
    void getKeyBasedValue(const Accessor& a, int refKey, int key0, int key1, float f, void* out) const override;
    void getKeyBasedValue(const Accessor& a, int key, void* out) const override;
    void getKeyBasedValue(const Accessor& a, int refKey, int key, void* out) const override;
    void applyValue(void* value, void* target, CApplicatorInfo* info) const override;
    using CAnimationTrackEx::applyValue;
};

class CWeightEx : public CFloatEx {
public:
    using CFloatEx::applyKeyBasedValue;
    using CFloatEx::getKeyBasedValue;
    static const CWeightEx s_Instance;

    void applyBlendedValue(void* values, float* weights, int count, void* target, CApplicatorInfo*) const override;
    void applyAddedValue(void* values, float* weights, int count, void* target, CApplicatorInfo*) const override;
    // A weight is absolute: the reference forms of get ignore the reference key.
    void getKeyBasedValue(const Accessor& a, int refKey, int key0, int key1, float f, void* out) const override;
    void getKeyBasedValue(const Accessor& a, int refKey, int key, void* out) const override;
    void applyKeyBasedValue(const Accessor& a, int key0, int key1, float f, void* target,
                            CApplicatorInfo*) const override;
    void applyKeyBasedValue(const Accessor& a, int key, void* target, CApplicatorInfo*) const override;
    void applyKeyBasedValue(const Accessor& a, int refKey, int key, void* target) const override;
};

} // namespace pravik::collada::animation_track
