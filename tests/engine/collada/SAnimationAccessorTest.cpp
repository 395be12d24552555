#include "engine/collada/SAnimationAccessor.h"
#include "tests/engine/collada/AnimationFixture.h"

#include <gtest/gtest.h>

#include <random>

using namespace pravik::collada;

namespace {

// An accessor over one key-time array of the given time base (values are unused).
template <class T>
struct Keys {
    test::Animation anim;
    explicit Keys(std::vector<T> times, std::uint32_t timeBase, std::uint32_t interpolation = 1)
    {
        anim.keys.add(times);
        anim.keys.add(std::vector<float>(times.size(), 0.f));
        test::AnimationSpec spec;
        spec.samplers[0].timeBase = timeBase;
        spec.samplers[0].interpolation = interpolation;
        EXPECT_TRUE(anim.build(spec));
    }
    SAnimationAccessor acc() { return anim.accessor(); }
};

TEST(AnimationKeySearch, ExactSearchTableOverTheThreeTimeBases)
{
    // Frames:      0    3    6        (u8 and u16 keys; 0, 99, 199 ms)
    // Millisecs:   0  100  200
    struct Case {
        const char* why;
        int time;
        int k;
        bool between;
        float fraction;  // checked when between
    } cases[] = {
        {"before the first key", -10, 0, true, 0.f},
        {"on the first key", 0, 0, false, 0.f},
        {"between 0 and 1", 50, 0, true, 50.f / 99.f},
        {"between 1 and 2", 150, 1, true, 51.f / 100.f},
        {"after the last key", 5000, 2, false, 0.f},
    };
    Keys<std::uint8_t> u8({0, 3, 6}, ETB_FRAMES_U8);
    Keys<std::uint16_t> u16({0, 3, 6}, ETB_FRAMES_U16);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        for (auto* acc : {&u8.anim, &u16.anim}) {
            int k = 0;
            float f = -1.f;
            const bool between = acc->accessor().findKeyFrameNo(0, c.time, k, f);
            // Before the first key the exact search lands on key 0 "between" 0 and 1 with a clamped fraction.
            EXPECT_EQ(k, c.k);
            EXPECT_EQ(between, c.between);
            if (between) {
                EXPECT_FLOAT_EQ(f, c.time < 0 ? 0.f : c.fraction);
            }
        }
    }
    Keys<std::int32_t> ms({0, 100, 200}, ETB_MILLISECONDS);
    int k = 0;
    float f = 0.f;
    EXPECT_TRUE(ms.acc().findKeyFrameNo(0, 150, k, f));
    EXPECT_EQ(k, 1);
    EXPECT_FLOAT_EQ(f, 0.5f);
    EXPECT_FALSE(ms.acc().findKeyFrameNo(0, 100, k, f));
    EXPECT_EQ(k, 1);
}

TEST(AnimationKeySearch, CountsAreClampedToTheirBytesAndToTheIndexRange)
{
    const unsigned char bytes[8] = {};
    using key_search::checkedTimes;
    EXPECT_EQ(checkedTimes<std::int32_t>(SKeyArray{bytes, 5, 8}).count, 2);
    EXPECT_EQ(checkedTimes<std::int32_t>(SKeyArray{bytes, 1, 8}).count, 1);
    // Only the count is looked at here: no key is read.
    EXPECT_EQ(checkedTimes<std::uint8_t>(SKeyArray{bytes, 0xFFFFFFFFu, 0xFFFFFFFFu}).count, INT32_MAX);
}

TEST(AnimationKeySearch, KeyTimesInMillisecondsAndRecordQueries)
{
    Keys<std::uint8_t> frames({0, 3, 30}, ETB_FRAMES_U8);
    EXPECT_EQ(frames.acc().getKeyTime(0, 1), 99);
    EXPECT_EQ(frames.acc().getKeyTime(0, 2), 999);
    EXPECT_EQ(frames.acc().getStart(0), 0);
    EXPECT_EQ(frames.acc().getEnd(0), 999);
    EXPECT_EQ(frames.acc().getLength(0), 999);
    EXPECT_EQ(frames.acc().getOffsetScaleType(), 2u);  // no quantisation record
    EXPECT_STREQ(frames.acc().getTarget(), "node");
}

TEST(AnimationKeySearch, StepOneKeyUnknownBaseAndEmptyArrays)
{
    Keys<std::int32_t> step({0, 100}, ETB_MILLISECONDS, 0);
    int k = 0;
    float f = -1.f;
    EXPECT_FALSE(step.acc().findKeyFrameNo(0, 50, k, f));  // gated off: step
    EXPECT_EQ(k, 0);
    EXPECT_EQ(f, -1.f);

    Keys<std::int32_t> one({40}, ETB_MILLISECONDS);
    for (int t : {0, 40, 1000}) {
        k = 7;
        EXPECT_FALSE(one.acc().findKeyFrameNo(0, t, k, f));
        EXPECT_EQ(k, 0);
    }

    Keys<std::int32_t> odd({0, 100}, 2);
    k = 5;
    EXPECT_FALSE(odd.acc().findKeyFrameNo(0, 50, k, f));
    EXPECT_EQ(k, 5);  // untouched
    EXPECT_EQ(odd.acc().getKeyTime(0, 1), 0);

    Keys<std::int32_t> empty({}, ETB_MILLISECONDS);
    k = 5;
    EXPECT_FALSE(empty.acc().findKeyFrameNo(0, 50, k, f, 3));
    EXPECT_EQ(k, 5);
    EXPECT_FALSE(empty.acc().hasKeys());
}

TEST(AnimationKeySearch, ValueOperationsWithoutRecordOrTrackDoNothing)
{
    Keys<std::int32_t> keys({0, 100}, ETB_MILLISECONDS);
    keys.anim.view.track = nullptr;
    SKeySearchCache cache;
    const SAnimationAccessor unbound = keys.acc(), none(nullptr, keys.anim.keys.data(), &cache);
    for (const SAnimationAccessor* a : {&unbound, &none}) {
        float out = -1.f;
        int hint = 3;
        a->getValue(50, &out, hint, true);
        a->getValue(0, 50, &out, hint, true);
        a->applyValue(50, &out, hint, true);
        a->applyValue(0, 50, &out, nullptr, hint, true);
        EXPECT_EQ(out, -1.f);
        EXPECT_EQ(hint, 3);
        EXPECT_EQ(a->getAnimator(), nullptr);
    }
    EXPECT_FALSE(none.hasKeys());
}

TEST(AnimationKeySearch, CacheSharesOneSearchPerTime)
{
    Keys<std::int32_t> a({0, 100, 200}, ETB_MILLISECONDS);
    Keys<std::int32_t> b({0, 10, 20}, ETB_MILLISECONDS);  // different keys: the cache must not look
    SKeySearchCache cache;
    cache.enabled = true;
    SAnimationAccessor accA(&a.anim.view, a.anim.keys.data(), &cache);
    SAnimationAccessor accB(&b.anim.view, b.anim.keys.data(), &cache);
    int k = 0;
    float f = 0.f;
    EXPECT_TRUE(accA.findKeyFrameNo(0, 150, k, f));
    EXPECT_EQ(k, 1);
    int k2 = 0;
    float f2 = 0.f;
    EXPECT_TRUE(accB.findKeyFrameNo(0, 150, k2, f2));  // same time: the first answer comes back
    EXPECT_EQ(k2, 1);
    EXPECT_FLOAT_EQ(f2, 0.5f);
    EXPECT_FALSE(accB.findKeyFrameNo(0, 151, k2, f2));  // a new time searches b itself
    EXPECT_EQ(k2, 2);
    EXPECT_EQ(cache.lastTime, 151);
}

template <class T>
void hintedAgreesWithExact(std::uint32_t timeBase, int unitMs)
{
    std::mt19937 rng(11);
    std::vector<T> times;
    T t = 0;
    for (int i = 0; i < 60; ++i) {
        times.push_back(t);
        t = T(t + 1 + rng() % 3);
    }
    Keys<T> keys(times, timeBase);
    SAnimationAccessor acc = keys.acc();
    const int end = int(double(times.back()) * (unitMs == 1 ? 1.0 : 33.333332)) + 200;
    std::uniform_int_distribution<int> timeDist(-100, end), hintDist(-5, 70);
    int disagreements = 0;
    for (int i = 0; i < 10000; ++i) {
        const int time = timeDist(rng), hint = hintDist(rng);
        int ke = 0, kh = 0;
        float fe = -1.f, fh = -1.f;
        const bool be = acc.findKeyFrameNo(0, time, ke, fe);
        const bool bh = acc.findKeyFrameNo(0, time, kh, fh, hint);
        if (be == bh && ke == kh) {
            if (be) {
                EXPECT_FLOAT_EQ(fe, fh);
            }
            continue;
        }
        // The one allowed difference: exactly on key k+1 the hint may answer (k, fraction 1).
        EXPECT_TRUE(!be && bh && kh + 1 == ke && fh == 1.f) << "time " << time << " hint " << hint;
        ++disagreements;
    }
    EXPECT_LT(disagreements, 10000);
}

TEST(AnimationKeySearch, HintedAndExactAgreeOnRandomTimes)
{
    hintedAgreesWithExact<std::uint8_t>(ETB_FRAMES_U8, 33);
    hintedAgreesWithExact<std::uint16_t>(ETB_FRAMES_U16, 33);
    hintedAgreesWithExact<std::int32_t>(ETB_MILLISECONDS, 1);
}

TEST(AnimationKeySearch, HintPathsAndFarHints)
{
    // Keys at 0, 100, ..., 900 ms.
    std::vector<std::int32_t> times;
    for (int i = 0; i < 10; ++i)
        times.push_back(i * 100);
    Keys<std::int32_t> keys(times, ETB_MILLISECONDS);
    struct Case {
        int time, hint, k;
    } cases[] = {
        {150, 1, 1}, {150, 2, 1}, {250, 1, 2}, {350, 1, 3}, {850, 0, 8}, {50, 9, 0}, {950, 9, 9}, {950, 8, 9}, {850, 7, 8},
    };
    for (const Case& c : cases) {
        int k = -1;
        keys.acc().findKeyFrameNo(0, c.time, k, c.hint);
        EXPECT_EQ(k, c.k) << c.time << " hint " << c.hint;
    }
    // On key 2 with hint 1: (1, fraction 1) rather than (2, on key).
    int k = 0;
    float f = 0.f;
    EXPECT_TRUE(keys.acc().findKeyFrameNo(0, 200, k, f, 1));
    EXPECT_EQ(k, 1);
    EXPECT_FLOAT_EQ(f, 1.f);
}

TEST(AnimationRecords, ResolveRefusesRecordsOutsideTheImage)
{
    test::Animation anim;
    test::AnimationSpec spec;
    spec.descriptor = true;
    spec.arity = 3;
    spec.defaultValue = test::defaultOf<float>({1, 2, 3});
    ASSERT_TRUE(anim.build(spec));
    EXPECT_NE(anim.accessor().getDefaultValue(12), nullptr);
    EXPECT_EQ(anim.accessor().getDefaultValue(1u << 20), nullptr);  // longer than the image

    std::vector<std::uint8_t>& bytes = anim.image.bytes();
    const std::uint32_t rec = std::uint32_t(bytes.size()) - 32;
    CFlatRecordSpace space(bytes.data(), std::uint32_t(bytes.size()));
    SAnimationView v;
    EXPECT_TRUE(v.resolve(space, rec));
    EXPECT_FALSE(v.resolve(space, rec + 4));  // the record runs past the end
    EXPECT_FALSE(v.resolve(space, 0));
    anim.image.patch(rec + 0xC, 0x10000000);  // a channel count no region holds
    EXPECT_FALSE(v.resolve(space, rec));
    anim.image.patch(rec + 0xC, 1);
    anim.image.patch(rec + 0x1C, std::uint32_t(bytes.size()) - 4);  // quantisation past the end
    EXPECT_FALSE(v.resolve(space, rec));
    EXPECT_EQ(v.record, nullptr);
}

} // namespace
