#include "engine/collada/CColladaAnimationTrackOffsetUV.h"
#include "engine/collada/SAnimationAccessor.h"
#include "engine/video/material/CMaterial.h"

#include <cmath>
#include <cstring>

namespace pravik::collada::animation_track {

namespace {

constexpr std::uint32_t FIRST_CHANNEL_TYPE = 105, LAST_CHANNEL_TYPE = 109;

// Fills out from the default value and every channel's keys at time; refTime (when given)
// makes each animated component relative to its key at that time.
void evaluate(const SAnimationAccessor& a, int time, const int* refTime, float* out, bool interpolate)
{
    static const float identity[5] = {0.f, 0.f, 0.f, 1.f, 1.f};
    if (const void* d = a.getDefaultValue(20))
        std::memcpy(out, d, 20);
    else
        std::memcpy(out, identity, 20);
    if (!a.hasKeys())
        return;
    for (std::uint32_t i = 0; i < a.getChannelsCount(); ++i) {
        const std::uint32_t type = a.getType(i);
        if (type < FIRST_CHANNEL_TYPE || type > LAST_CHANNEL_TYPE)
            continue;
        const SKeyArray values = a.getOutput(i);
        int k = 0;
        float f = 0.f;
        // Each channel decides for itself whether it interpolates.
        const bool between = a.findKeyFrameNo(i, time, k, f) && interpolate;
        const float v0 = values.at<float>(std::uint32_t(k));
        float v = between ? v0 + f * (values.at<float>(std::uint32_t(k + 1)) - v0) : v0;
        if (refTime) {
            int kr = 0;
            a.findKeyFrameNo(i, *refTime, kr);
            v -= values.at<float>(std::uint32_t(kr));
        }
        out[type - FIRST_CHANNEL_TYPE] = v;
    }
}

void weightedSum(const void* values, const float* weights, int count, float* out)
{
    float sum[5] = {0.f, 0.f, 0.f, 0.f, 0.f};
    const unsigned char* bytes = static_cast<const unsigned char*>(values);
    for (int i = 0; i < count; ++i) {
        float v[5];
        std::memcpy(v, bytes + 20 * i, 20);
        for (int j = 0; j < 5; ++j)
            sum[j] += weights[i] * v[j];
    }
    out[0] = sum[0];
    out[1] = sum[1];
    out[2] = sum[2];
    out[3] = 1.f + sum[3];
    out[4] = 1.f + sum[4];
}

void store(const float value[5], void* target, CApplicatorInfo* info)
{
    const auto* m = static_cast<const CMaterialApplicatorInfo*>(info);
    const unsigned short id = m ? static_cast<unsigned short>(m->ParameterID) : 0xFFFF;
    static_cast<video::CMaterial*>(target)->setParameter(id, 0, CTextureTransformEx::buildMatrix(value));
}

} // namespace

const CTextureTransformEx CTextureTransformEx::s_Instance;

core::CMatrix4<float> CTextureTransformEx::buildMatrix(const float value[5])
{
    const float r = value[2] / 180.f * 3.141596f;
    const float c = std::cos(r), s = std::sin(r);
    const float su = value[3], sv = value[4];
    core::CMatrix4<float> m(core::EM4CONST_NOTHING);
    float* e = m.pointer();
    for (int i = 0; i < 16; ++i)
        e[i] = 0.f;
    e[0] = su * c;
    e[1] = sv * s;
    e[4] = -su * s;
    e[5] = sv * c;
    e[8] = value[0] + su * (0.5f - 0.5f * c + 0.5f * s);
    e[9] = value[1] + sv * (0.5f - 0.5f * s - 0.5f * c);
    e[10] = 1.f;
    e[15] = 1.f;
    m.setDefinitelyIdentityMatrix(false);
    return m;
}

void CTextureTransformEx::getIdentityValue(void* out) const
{
    static const float identity[5] = {0.f, 0.f, 0.f, 1.f, 1.f};
    std::memcpy(out, identity, 20);
}

void CTextureTransformEx::getBlendedValue(void* values, float* weights, int count, void* out) const
{
    float v[5];
    weightedSum(values, weights, count, v);
    std::memcpy(out, v, 20);
}

void CTextureTransformEx::getAddedValue(void* values, float* weights, int count, void* out) const
{
    getBlendedValue(values, weights, count, out);
}

void CTextureTransformEx::applyBlendedValue(void* values, float* weights, int count, void* target,
                                            CApplicatorInfo* info) const
{
    float v[5];
    weightedSum(values, weights, count, v);
    store(v, target, info);
}

void CTextureTransformEx::applyAddedValue(void* values, float* weights, int count, void* target,
                                          CApplicatorInfo* info) const
{
    applyBlendedValue(values, weights, count, target, info);
}

void CTextureTransformEx::getValue(const Accessor& a, int time, void* out, int&, bool interpolate) const
{
    float v[5];
    evaluate(a, time, nullptr, v, interpolate);
    std::memcpy(out, v, 20);
}

void CTextureTransformEx::applyValue(const Accessor& a, int time, void* target, CApplicatorInfo* info, int&,
                                     bool interpolate) const
{
    float v[5];
    evaluate(a, time, nullptr, v, interpolate);
    store(v, target, info);
}

void CTextureTransformEx::getValue(const Accessor& a, int refTime, int time, void* out, int&, bool interpolate) const
{
    float v[5];
    evaluate(a, time, &refTime, v, interpolate);
    std::memcpy(out, v, 20);
}

void CTextureTransformEx::applyValue(void* value, void* target, CApplicatorInfo* info) const
{
    float v[5];
    std::memcpy(v, value, 20);
    store(v, target, info);
}

} // namespace pravik::collada::animation_track
