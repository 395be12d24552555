#pragma once
// Visibility of a scene node: keys are floats, visible when 1.0 or more (0.999 and NaN are
// hidden). The value is a 32-bit 1 or 0; it never interpolates: between two keys the first
// decides, and the relative forms ignore the reference key.

#include "engine/collada/IAnimationTrackEx.h"

namespace pravik::collada::animation_track {

class CVisibilityEx : public CAnimationTrackEx {
public:
    using CAnimationTrackEx::applyKeyBasedValue;
    using CAnimationTrackEx::getKeyBasedValue;
    using CAnimationTrackEx::applyValue;
    static const CVisibilityEx s_Instance;

    int getValueSize() const override { return 4; }
    void getIdentityValue(void* out) const override;
    void getBlendedValue(void* values, float* weights, int count, void* out) const override;  // all visible
    void getAddedValue(void* values, float* weights, int count, void* out) const override;    // any visible
    void applyBlendedValue(void* values, float* weights, int count, void* target, CApplicatorInfo*) const override;
    void applyAddedValue(void* values, float* weights, int count, void* target, CApplicatorInfo*) const override;
    void getKeyBasedValue(const Accessor& a, int key0, int key1, float f, void* out) const override;
    void getKeyBasedValue(const Accessor& a, int refKey, int key0, int key1, float f, void* out) const override;
    void getKeyBasedValue(const Accessor& a, int key, void* out) const override;
    void getKeyBasedValue(const Accessor& a, int refKey, int key, void* out) const override;
    void applyKeyBasedValue(const Accessor& a, int key0, int key1, float f, void* target,
                            CApplicatorInfo*) const override;
    void applyKeyBasedValue(const Accessor& a, int refKey, int key0, int key1, float f, void* target) const override;
    void applyKeyBasedValue(const Accessor& a, int key, void* target, CApplicatorInfo*) const override;
    void applyKeyBasedValue(const Accessor& a, int refKey, int key, void* target) const override;
    void applyValue(void* value, void* target, CApplicatorInfo* info) const override;
    void retrieveValue(void* target, void* out) const override;  // writes the first byte only
};

} // namespace pravik::collada::animation_track
