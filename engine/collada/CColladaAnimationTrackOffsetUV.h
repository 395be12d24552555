#pragma once
// Texture transform: five floats (offset U, offset V, rotation in degrees, scale U, scale V),
// one channel per animated component (types 105 to 109, each with its own key times and key
// values, sampler i), the rest from the animation's default value. The value is built into a
// texture matrix about the centre (0.5, 0.5) and stored into the material's matrix parameter
// named by the CMaterialApplicatorInfo. Keys must be floats.

#include "engine/collada/IAnimationTrackEx.h"
#include "engine/core/CMatrix4.h"

namespace pravik::collada::animation_track {

class CTextureTransformEx : public CAnimationTrackEx {
public:
    using CAnimationTrackEx::applyKeyBasedValue;
    using CAnimationTrackEx::applyValue;
    using CAnimationTrackEx::getKeyBasedValue;
    using CAnimationTrackEx::getValue;
    static const CTextureTransformEx s_Instance;

    int getValueSize() const override { return 20; }
    void getIdentityValue(void* out) const override;
    // Weighted sums; the scales sum onto 1. The caller's values are left as they are.
    void getBlendedValue(void* values, float* weights, int count, void* out) const override;
    void getAddedValue(void* values, float* weights, int count, void* out) const override;
    void applyBlendedValue(void* values, float* weights, int count, void* target, CApplicatorInfo* info) const override;
    void applyAddedValue(void* values, float* weights, int count, void* target, CApplicatorInfo* info) const override;
    // Key-based forms do nothing: a value needs every channel's own search.
    void getKeyBasedValue(const Accessor&, int, int, float, void*) const override {}
    void getKeyBasedValue(const Accessor&, int, int, int, float, void*) const override {}
    void getKeyBasedValue(const Accessor&, int, void*) const override {}
    void getKeyBasedValue(const Accessor&, int, int, void*) const override {}
    void applyKeyBasedValue(const Accessor&, int, int, float, void*, CApplicatorInfo*) const override {}
    void applyKeyBasedValue(const Accessor&, int, int, int, float, void*) const override {}
    void applyKeyBasedValue(const Accessor&, int, void*, CApplicatorInfo*) const override {}
    void applyKeyBasedValue(const Accessor&, int, int, void*) const override {}

    void getValue(const Accessor& a, int time, void* out, int& keyHint, bool interpolate) const override;
    void applyValue(const Accessor& a, int time, void* target, CApplicatorInfo* info, int& keyHint,
                    bool interpolate) const override;
    void getValue(const Accessor& a, int refTime, int time, void* out, int& keyHint, bool interpolate) const override;
    void applyValue(void* value, void* target, CApplicatorInfo* info) const override;
    void retrieveValue(void*, void*) const override {}

    // The texture matrix of a value (rotation converted with 3.141596, as the exporter did).
    static core::CMatrix4<float> buildMatrix(const float value[5]);
};

} // namespace pravik::collada::animation_track
