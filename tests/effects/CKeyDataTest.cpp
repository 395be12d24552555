#include "effects/CKeyData.h"

#include <gtest/gtest.h>

namespace {

CKeyData<int> track(std::initializer_list<CKeyData<int>::_keyData> keys, bool loop = false, int def = 0)
{
    CKeyData<int> t(def);
    for (const auto& k : keys)
        t.addKeyData(k);
    t.setLoop(loop);
    return t;
}

TEST(CKeyData, IntTrackTable)
{
    //  frame:  0 ........ 10
    //  value:  0 ........ 100     (frame 0 holds from 0 to 32 ms, frame 10 from 333 ms on)
    const CKeyData<int> once = track({{0, 0}, {10, 100}});
    const CKeyData<int> looped = track({{0, 0}, {10, 100}}, true);
    const struct { int t; int once; int looped; } cases[] = {
        {0, 0, 0}, {20, 0, 0}, {32, 0, 0}, {40, 12, 12}, {333, 100, 100}, {334, 100, 100},
        {366, 100, 100}, {367, 100, 0}, {-20, 0, 0}, {-34, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.t);
        EXPECT_EQ(once.getDataAtTime(c.t), c.once);
        EXPECT_EQ(looped.getDataAtTime(c.t), c.looped);
    }
}

TEST(CKeyData, BelowMinus33MsIsZeroEvenWithAFrameZeroValue)
{
    const CKeyData<int> t = track({{0, 50}, {10, 100}});
    EXPECT_EQ(t.getDataAtTime(-34), 0);
    EXPECT_EQ(t.getDataAtTime(-20), 50);  // still inside frame 0 (truncation toward zero)
    EXPECT_EQ(t.getDataAtTime(0), 50);
}

TEST(CKeyData, DefaultKeyAndReplacement)
{
    CKeyData<float> t(7.f);
    EXPECT_EQ(t.getKeyCount(), 1);
    for (int ms : {-5000, 0, 33, 100000})
        EXPECT_EQ(t.getDataAtTime(ms), 7.f);
    t.setLoop(true);
    EXPECT_EQ(t.getDataAtTime(5000), 7.f);

    t.addKeyData({0, 3.f});  // a loaded frame-0 key replaces the default
    EXPECT_EQ(t.getKeyCount(), 1);
    EXPECT_EQ(t.getDataAtTime(0), 3.f);

    t.addKeyData({6, 9.f});
    t.addKeyData({3, 1.f});
    t.addKeyData({3, 2.f});  // same frame: value replaced, count unchanged
    ASSERT_EQ(t.getKeyCount(), 3);
    EXPECT_EQ(t.getKey(0).m_frame, 0);
    EXPECT_EQ(t.getKey(1).m_frame, 3);
    EXPECT_EQ(t.getKey(2).m_frame, 6);
    EXPECT_EQ(t.getDataAtTime(110), 2.f);  // inside frame 3: exact
}

TEST(CKeyData, LoadedTrackStartsAtTheDefault)
{
    CKeyData<float> t(1.f);
    t.addKeyData({3, 4.f});
    EXPECT_EQ(t.getDataAtTime(0), 1.f);
    const float frame3Ms = float(int(3.f * zuduva::kFrameMs));  // single precision: 100
    EXPECT_FLOAT_EQ(t.getDataAtTime(66), 1.f + 3.f * (66.f / frame3Ms));  // frame 3 sits at 99 ms
}

TEST(CKeyData, VectorFollowsFloatPerComponent)
{
    using V = pravik::core::vector3d<float>;
    CKeyData<V> v(V(0, 1, 0));
    CKeyData<float> x(0.f), y(1.f), z(0.f);
    v.addKeyData({9, V(3, -2, 8)});
    x.addKeyData({9, 3.f});
    y.addKeyData({9, -2.f});
    z.addKeyData({9, 8.f});
    for (int t : {-40, 0, 17, 50, 123, 250, 299, 300, 900}) {
        const V r = v.getDataAtTime(t);
        EXPECT_EQ(r.X, x.getDataAtTime(t));
        EXPECT_EQ(r.Y, y.getDataAtTime(t));
        EXPECT_EQ(r.Z, z.getDataAtTime(t));
    }
}

TEST(CKeyData, NonPositivePeriodDoesNotWrap)
{
    CKeyData<int> t(5);
    t.addKeyData({-3, 9});
    t.setLoop(true);  // last frame 0: period 33 ms, wraps
    EXPECT_EQ(t.getDataAtTime(40), 5);
    // Keys at negative frames: the frame-0 key still bounds the period to one frame.
    CKeyData<int> only(4);
    only.addKeyData({-8, 2});
    only.setLoop(true);
    EXPECT_EQ(only.getDataAtTime(1000), 4);
}

TEST(CKeyData, CopyMergesKeys)
{
    CKeyData<int> a(255);
    a.addKeyData({5, 200});
    a.setLoop(true);
    const CKeyData<int> b(a);
    ASSERT_EQ(b.getKeyCount(), 2);
    EXPECT_EQ(b.getKey(0).m_value, 255);
    EXPECT_EQ(b.getKey(1).m_value, 200);
    EXPECT_TRUE(b.getLoop());
}

}  // namespace
