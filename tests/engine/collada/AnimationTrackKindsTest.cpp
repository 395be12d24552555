#include "engine/collada/AnimationBlending.h"
#include "engine/collada/AnimationTrackKinds.h"
#include "engine/collada/AnimationTrackLookup.h"
#include "engine/collada/CColladaAnimationTrackFloat.h"
#include "engine/collada/CColladaAnimationTrackVisibility.h"
#include "tests/engine/collada/AnimationFixture.h"
#include "tests/engine/scene/SceneTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using namespace pravik;
using namespace pravik::collada;
using namespace pravik::collada::animation_track;
using core::quaternion;
using core::vector3d;

namespace {

constexpr float kTol = 1e-6f;

// Keys at 0, 100, 200 ... ms; values as given (any element type), one channel of type.
template <class V>
std::unique_ptr<test::Animation> animation(std::uint32_t type, const std::vector<V>& values, std::uint32_t components,
                                           test::AnimationSpec spec = {})
{
    auto a = std::make_unique<test::Animation>();
    const std::size_t n = components ? values.size() / components : 0;
    std::vector<std::int32_t> times;
    for (std::size_t i = 0; i < n; ++i)
        times.push_back(std::int32_t(i * 100));
    a->keys.add(times);
    a->keys.add(values);
    spec.channels[0].type = type;
    spec.samplers[0].components = components;
    if (std::is_same_v<V, std::uint8_t>)
        spec.samplers[0].valueType = EKVT_UBYTE;
    EXPECT_TRUE(a->build(spec));
    return a;
}

test::AnimationSpec withDefault(std::vector<std::uint8_t> value, std::uint32_t arity = 3, std::uint32_t mask = 0)
{
    test::AnimationSpec s;
    s.descriptor = true;
    s.arity = arity;
    s.mask = mask;
    s.defaultValue = std::move(value);
    return s;
}

test::AnimationSpec quantised(std::uint32_t storage, std::vector<float> scales, std::vector<float> offsets)
{
    test::AnimationSpec s;
    s.quantised = true;
    s.storage = storage;
    s.scales = std::move(scales);
    s.offsets = std::move(offsets);
    return s;
}

void expectVec(const SFloats<3>& v, float x, float y, float z)
{
    EXPECT_NEAR(v.v[0], x, kTol);
    EXPECT_NEAR(v.v[1], y, kTol);
    EXPECT_NEAR(v.v[2], z, kTol);
}
void expectQuat(const quaternion& q, float x, float y, float z, float w, float tol = 2e-6f)
{
    EXPECT_NEAR(q.X, x, tol);
    EXPECT_NEAR(q.Y, y, tol);
    EXPECT_NEAR(q.Z, z, tol);
    EXPECT_NEAR(q.W, w, tol);
}

struct Node {
    test::RecordingNode node{nullptr, "n", scene::ESNRP_NONE};
};

TEST(AnimationTransformTracks, PositionAndQuantisedKeys)
{
    auto f = animation<float>(1, {1, 2, 3, 3, 6, 9}, 3);
    ASSERT_EQ(f->view.track, &PositionTrack<float>::getInstance());
    SFloats<3> out;
    f->track()->getKeyBasedValue(f->accessor(), 0, 1, 0.5f, &out);
    expectVec(out, 2, 4, 6);
    f->track()->getKeyBasedValue(f->accessor(), 0, 1, 0.f, &out);
    EXPECT_EQ(out.v[0], 1.f);
    EXPECT_EQ(out.v[2], 3.f);
    f->track()->getKeyBasedValue(f->accessor(), 0, 1, &out);  // key 1 relative to key 0
    expectVec(out, 2, 4, 6);
    int hint = 0;
    f->track()->getValue(f->accessor(), 150, &out, hint, true);  // past the last key: no extrapolation
    expectVec(out, 3, 6, 9);
    f->track()->getValue(f->accessor(), 50, &out, hint, false);  // interpolation off: the earlier key
    expectVec(out, 1, 2, 3);

    auto s16 = animation<std::int16_t>(1, {-32768, 0, 32767}, 3, quantised(EKS_S16, {0.5f, 1.f, 1.f}, {0, 0, 1}));
    ASSERT_EQ(s16->view.track, &PositionTrack<short>::getInstance());
    s16->track()->getKeyBasedValue(s16->accessor(), 0, &out);
    expectVec(out, -16384, 0, 32768);
    auto s8 = animation<std::int8_t>(11, {-128}, 1, quantised(EKS_S8, {0.5f}, {10.f}));
    ASSERT_EQ(s8->view.track, &ScaleXTrack<s8key>::getInstance());
    out = {{5, 5, 5}};
    s8->track()->getKeyBasedValue(s8->accessor(), 0, &out);
    expectVec(out, -54, 5, 5);  // no default value: the other components stay
}

TEST(AnimationTransformTracks, ComponentKindsWithAndWithoutDefault)
{
    auto y = animation<float>(3, {7, 5}, 1, withDefault(test::defaultOf<float>({10, 20, 30})));
    SFloats<3> out = {{0, 0, 0}};
    y->track()->getKeyBasedValue(y->accessor(), 0, &out);
    expectVec(out, 10, 7, 30);
    y->track()->getKeyBasedValue(y->accessor(), 1, 0, &out);  // 7 relative to 5
    expectVec(out, 10, 2, 30);

    // Without a default value an applied component keeps the node's other components.
    auto z = animation<float>(4, {4}, 1);
    Node n;
    n.node.setPosition(vector3d<float>(1, 2, 3));
    z->track()->applyKeyBasedValue(z->accessor(), 0, &n.node, nullptr);
    EXPECT_EQ(n.node.getPosition(), vector3d<float>(1, 2, 4));
}

TEST(AnimationTransformTracks, ApplyMarksTheNodeAndIdentities)
{
    struct Case {
        std::uint32_t type;
        unsigned flag;
    } cases[] = {{1, scene::ESNF_POSITION_CHANGED}, {10, scene::ESNF_SCALE_CHANGED}};
    for (const Case& c : cases) {
        auto a = animation<float>(c.type, {1, 2, 3}, 3);
        Node n;
        n.node.getRelativeTransformation();  // clears the change flags
        ASSERT_EQ(n.node.getFlags() & scene::ESNF_LOCAL_CHANGES, 0u);
        int hint = 0;
        a->accessor().applyValue(0, &n.node, hint, true);
        EXPECT_NE(n.node.getFlags() & c.flag, 0u);
        SFloats<3> id = {{9, 9, 9}};
        a->track()->getIdentityValue(&id);
        expectVec(id, 0, 0, 0);  // also for scale
        a->track()->applyBlendedValue(nullptr, nullptr, 0, &n.node, nullptr);
        SFloats<3> now;
        a->track()->retrieveValue(&n.node, &now);
        expectVec(now, 0, 0, 0);
    }
    auto r = animation<float>(5, {0, 0, 0, 1, 0, 0, 1, 0}, 4);  // identity to a half turn about Y
    Node n;
    n.node.getRelativeTransformation();
    r->track()->applyKeyBasedValue(r->accessor(), 0, 1, 1.f, &n.node, nullptr);
    expectQuat(n.node.getRotation(), 0, 0, 1, 0, 0);  // exactly the second key
    EXPECT_NE(n.node.getFlags() & scene::ESNF_ROTATION_CHANGED, 0u);
    quaternion id;
    r->track()->getIdentityValue(&id);
    expectQuat(id, 0, 0, 0, 1, 0);
}

TEST(AnimationTransformTracks, PerFramePathsMatchAPlainLerp)
{
    // Keys at 0, 100, 200 ms. Cut short, key 2 holds only its first float; the missing components
    // read as 0, on the paths that read a pair of keys in place as on the others.
    const struct {
        const char* why;
        std::vector<float> values;
    } cases[] = {{"whole keys", {1, 2, 3, 3, 6, 9, -5, 0.5f, 5}}, {"last key cut short", {1, 2, 3, 3, 6, 9, -5}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        test::Animation a;
        a.keys.add(std::vector<std::int32_t>{0, 100, 200});
        a.keys.add(c.values);
        test::AnimationSpec spec;
        spec.samplers[0].components = 3;
        ASSERT_TRUE(a.build(spec));
        const auto plain = [&](int key, int comp) {
            const std::size_t i = std::size_t(key * 3 + comp);
            return i < c.values.size() ? c.values[i] : 0.f;
        };
        int getHint = 0, applyHint = 0;
        for (int t = -30; t <= 230; t += 7) {
            SCOPED_TRACE(t);
            const int k = t < 100 ? 0 : (t < 200 ? 1 : 2);
            const float f = k == 2 ? 0.f : std::clamp(float(t - k * 100) / 100.f, 0.f, 1.f);
            const int k1 = k == 2 ? 2 : k + 1;
            SFloats<3> hinted, exact;
            std::fill_n(hinted.v, 3, std::nanf(""));
            std::fill_n(exact.v, 3, std::nanf(""));
            a.track()->getValue(a.accessor(), t, &hinted, getHint, true);
            a.track()->getValue(a.accessor(), t, &exact, true);
            Node n;
            a.accessor().applyValue(t, &n.node, applyHint, true);
            const vector3d<float> p = n.node.getPosition();
            const float applied[3] = {p.X, p.Y, p.Z};
            for (int comp = 0; comp < 3; ++comp) {
                const float want = plain(k, comp) + f * (plain(k1, comp) - plain(k, comp));
                EXPECT_NEAR(hinted.v[comp], want, 1e-5f);
                EXPECT_NEAR(exact.v[comp], want, 1e-5f);
                EXPECT_NEAR(applied[comp], want, 1e-5f);
            }
        }
    }
}

TEST(AnimationBlending, VectorAndQuaternionCases)
{
    const float ones[] = {1, 1, 1, 3, 3, 3};
    struct VCase {
        std::vector<float> weights;
        float expect;
    } vcases[] = {{{0.3f}, 1.f}, {{0.5f, 0.5f}, 2.f}, {{1.f, 1.f}, 4.f}};
    for (const VCase& c : vcases) {
        float out[3];
        blendFloats(ones, c.weights.data(), int(c.weights.size()), 3, out);
        EXPECT_FLOAT_EQ(out[1], c.expect);
    }

    const quaternion id, quarterZ(0, 0, 0.7071068f, 0.7071068f);
    expectQuat(slerpOf(id, quarterZ, 0.5f), 0, 0, 0.3826834f, 0.9238795f);
    expectQuat(slerpOf(quarterZ, quarterZ, 0.3f), 0, 0, 0.7071068f, 0.7071068f);
    const quaternion q2[] = {id, quarterZ};
    struct QCase {
        const char* why;
        float w0, w1;
        quaternion expect;
    } qcases[] = {
        {"leading weight 1 ends the blend", 1.f, 1.f, id},
        {"halves", 0.5f, 0.5f, slerpOf(id, quarterZ, 0.5f)},
        {"unnormalised equal weights", 2.f, 2.f, slerpOf(id, quarterZ, 0.5f)},
        {"zero weights give the identity", 0.f, 0.f, id},
        {"a running weight of zero skips the value", 0.5f, -0.5f, id},
    };
    for (const QCase& c : qcases) {
        SCOPED_TRACE(c.why);
        const float w[] = {c.w0, c.w1};
        const quaternion r = blendQuaternions(q2, w, 2);
        expectQuat(r, c.expect.X, c.expect.Y, c.expect.Z, c.expect.W);
    }
    const float zero = 0.f;
    expectQuat(blendQuaternions(&quarterZ, &zero, 1), 0, 0, 0, 1, 0);

    // Addition: weight 1 gives q back (even with a negative W), -1 its inverse.
    const quaternion negW(0, 0.7071068f, 0, -0.7071068f);
    const float plus = 1.f, minus = -1.f;
    const quaternion added = addQuaternions(&negW, &plus, 1);
    expectQuat(added, negW.X, negW.Y, negW.Z, negW.W);
    expectQuat(addQuaternions(&quarterZ, &minus, 1), 0, 0, -0.7071068f, 0.7071068f);
    // relative(Q, R) added onto R gives Q.
    const quaternion q = slerpOf(id, quarterZ, 0.3f);
    expectQuat(compose(relative(q, quarterZ), quarterZ), q.X, q.Y, q.Z, q.W);
}

TEST(AnimationRotationAngleTracks, AxisAngleCases)
{
    const float pi = 3.14159265f;
    struct Case {
        const char* why;
        std::vector<float> axis;
        std::vector<float> keys;
        float fraction;
        quaternion expect;
    } cases[] = {
        {"quarter turn about X", {1, 0, 0}, {pi / 2}, 0.f, {0.70710677f, 0, 0, 0.70710677f}},
        {"axis used as stored", {0, 2, 0}, {pi / 2}, 0.f, {0, 1.4142135f, 0, 0.70710677f}},
        {"angles interpolate: 0 to 2pi halfway is a half turn", {0, 0, 1}, {0, 2 * pi}, 0.5f, {0, 0, 1, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        auto a = animation<float>(9, c.keys, 1, withDefault(test::bytesOf(c.axis)));
        ASSERT_EQ(a->view.track, &RotationAngleTrack<float>::getInstance());
        quaternion out;
        if (c.keys.size() == 1)
            a->track()->getKeyBasedValue(a->accessor(), 0, &out);
        else
            a->track()->getKeyBasedValue(a->accessor(), 0, 1, c.fraction, &out);
        expectQuat(out, c.expect.X, c.expect.Y, c.expect.Z, c.expect.W);
    }
    auto s8 = animation<std::int8_t>(6, {-128}, 1, quantised(EKS_S8, {0.01f}, {0.f}));
    ASSERT_EQ(s8->view.track, &RotationAngleTrack<s8key>::getInstance());
    quaternion out;
    s8->track()->getKeyBasedValue(s8->accessor(), 0, &out);
    expectQuat(out, 0, 0, 0, std::cos(-0.64f));  // no axis: (0, 0, 0, cos(a / 2))
}

TEST(AnimationLightColorTrack, ByteArithmeticAndTheLight)
{
    auto a = animation<std::uint8_t>(16, {10, 20, 30, 21, 41, 61, 20, 1, 0}, 3);
    ASSERT_EQ(a->view.track, &LightColorTrack::getInstance());
    SBytes<3> out;
    a->track()->getKeyBasedValue(a->accessor(), 0, 1, 0.5f, &out);
    EXPECT_EQ(out.v[0], 15);
    EXPECT_EQ(out.v[1], 30);
    EXPECT_EQ(out.v[2], 45);

    const std::uint8_t pair[] = {200, 0, 100, 100, 40, 20};
    struct Case {
        const char* why;
        float w0, w1;
        int count;
        std::uint8_t r, g, b;
    } cases[] = {
        {"weighted blend", 0.25f, 0.75f, 2, 125, 30, 40},
        {"one value is copied", 0.1f, 0.f, 1, 200, 0, 100},
        {"sums saturate", 1.f, 1.f, 2, 255, 40, 120},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        float w[] = {c.w0, c.w1};
        a->track()->getBlendedValue(const_cast<std::uint8_t*>(pair), w, c.count, &out);
        EXPECT_EQ(out.v[0], c.r);
        EXPECT_EQ(out.v[1], c.g);
        EXPECT_EQ(out.v[2], c.b);
    }

    // Relative forms wrap: (10, 0, 255) relative to (20, 1, 0).
    auto rel = animation<std::uint8_t>(16, {10, 0, 255, 20, 1, 0}, 3);
    rel->track()->getKeyBasedValue(rel->accessor(), 1, 0, &out);
    EXPECT_EQ(out.v[0], 246);
    EXPECT_EQ(out.v[1], 255);
    EXPECT_EQ(out.v[2], 255);

    auto light = video::CLight::allocate();
    light->DiffuseColor = video::SColorf(0, 0, 0, 0.5f);
    std::uint8_t value[] = {255, 128, 0};
    a->track()->applyValue(value, light.get(), nullptr);
    EXPECT_FLOAT_EQ(light->DiffuseColor.r, 1.f);
    EXPECT_FLOAT_EQ(light->DiffuseColor.g, 0.5019608f);
    EXPECT_FLOAT_EQ(light->DiffuseColor.b, 0.f);
    EXPECT_FLOAT_EQ(light->DiffuseColor.a, 1.f);
    struct RCase {
        float r, g, b;
        std::uint8_t er, eg, eb;
    } rcases[] = {{1.f, 0.5f, 0.2f, 255, 127, 51}, {1.5f, -1.f, 0.f, 255, 0, 0}};
    for (const RCase& c : rcases) {
        light->DiffuseColor = video::SColorf(c.r, c.g, c.b);
        a->track()->retrieveValue(light.get(), &out);
        EXPECT_EQ(out.v[0], c.er);
        EXPECT_EQ(out.v[1], c.eg);
        EXPECT_EQ(out.v[2], c.eb);
    }
}

TEST(AnimationEmitterTracks, ParametersAndComponents)
{
    auto y = animation<float>(53, {7}, 1, withDefault(test::defaultOf<float>({10, 20, 30})));
    ASSERT_EQ(y->view.track, &Emitter3dParamYTrack::getInstance());
    float parameter[3] = {0, 0, 0};
    y->track()->applyKeyBasedValue(y->accessor(), 0, parameter, nullptr);
    EXPECT_EQ(parameter[0], 10.f);
    EXPECT_EQ(parameter[1], 7.f);
    EXPECT_EQ(parameter[2], 30.f);

    auto whole = animation<float>(33, {1, 2, 3, 3, 6, 9}, 3);
    int hint = 0;
    whole->accessor().applyValue(50, parameter, hint, true);
    EXPECT_EQ(parameter[0], 2.f);
    EXPECT_EQ(parameter[2], 6.f);
}

TEST(AnimationHandWrittenTracks, FloatWeightAndVisibility)
{
    auto f = animation<float>(28, {2, 5}, 1);
    ASSERT_EQ(f->view.track, &CFloatEx::s_Instance);
    float v = 5.f, w = 0.5f, out = 0.f;
    f->track()->getBlendedValue(&v, &w, 1, &out);
    EXPECT_EQ(out, 2.5f);
    f->track()->getKeyBasedValue(f->accessor(), 0, 1, &out);  // 5 relative to 2
    EXPECT_EQ(out, 3.f);
    float target = 0.f;
    f->track()->applyKeyBasedValue(f->accessor(), 0, 1, 0.5f, &target, nullptr);
    EXPECT_EQ(target, 3.5f);
    f->track()->applyBlendedValue(&v, &w, 1, &target, nullptr);  // does nothing for a float parameter
    EXPECT_EQ(target, 3.5f);

    auto m = animation<float>(14, {2, 5}, 1);
    ASSERT_EQ(m->view.track, &CWeightEx::s_Instance);
    m->track()->getKeyBasedValue(m->accessor(), 0, 1, &out);
    EXPECT_EQ(out, 5.f);
    m->track()->applyBlendedValue(&v, &w, 1, &target, nullptr);
    EXPECT_EQ(target, 2.5f);

    auto vis = animation<float>(20, {1.f, 0.f, 3.f, 0.999f, std::nanf("")}, 1);
    ASSERT_EQ(vis->view.track, &CVisibilityEx::s_Instance);
    Node n;
    const bool keyVisible[] = {true, false, true, false, false};
    for (int k = 0; k < 5; ++k) {
        vis->track()->applyKeyBasedValue(vis->accessor(), k, &n.node, nullptr);
        EXPECT_EQ(n.node.isVisible(), keyVisible[k]) << k;
    }
    n.node.setVisible(false);
    vis->track()->applyKeyBasedValue(vis->accessor(), 0, 1, 0.9f, &n.node, nullptr);  // the first key decides
    EXPECT_TRUE(n.node.isVisible());

    std::int32_t values[] = {1, 0}, result = -1;
    struct VCase {
        float w0, w1;
        bool blend;
        std::int32_t expect;
    } cases[] = {{1.f, 0.f, true, 1}, {0.5f, 0.5f, true, 0}, {1.f, 0.1f, false, 1}, {0.f, 0.f, false, 0}};
    for (const VCase& c : cases) {
        float ws[] = {c.w0, c.w1};
        if (c.blend) {
            vis->track()->getBlendedValue(values, ws, 2, &result);
        } else {
            std::int32_t swapped[] = {0, 1};
            vis->track()->getAddedValue(swapped, ws, 2, &result);
        }
        EXPECT_EQ(result, c.expect);
    }
    std::uint8_t flag[4] = {7, 7, 7, 7};
    n.node.setVisible(true);
    vis->track()->retrieveValue(&n.node, flag);
    EXPECT_EQ(flag[0], 1);
    EXPECT_EQ(flag[1], 7);
}

TEST(AnimationTracks, EmptyKeyArraysApplyNothing)
{
    auto a = animation<float>(1, {}, 3);
    Node n;
    n.node.setPosition(vector3d<float>(4, 5, 6));
    int hint = 0;
    a->accessor().applyValue(100, &n.node, hint, true);
    EXPECT_EQ(n.node.getPosition(), vector3d<float>(4, 5, 6));
}

} // namespace
