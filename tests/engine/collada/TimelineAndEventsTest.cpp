#include "engine/collada/CEventsManager.h"
#include "engine/collada/CTimelineController.h"
#include "tests/engine/collada/AnimationFixture.h"
#include "tests/engine/core/RecordingLogger.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace pravik;
using namespace pravik::collada;

namespace {

TEST(TimelineController, TableOfPlays)
{
    struct Case {
        const char* why;
        bool loop;
        float scale;
        int jumpMs;  // start position
        std::vector<int> clocks;
        int expectTime;
        int wraps;
        bool ended;
    } cases[] = {
        {"loop wraps once", true, 1.f, 0, {0, 1500}, 500, 1, false},
        {"no loop holds the end", false, 1.f, 0, {0, 1500}, 1000, 1, true},
        {"no loop reports the end once", false, 1.f, 0, {0, 1500, 1600}, 1000, 1, true},
        {"scale 2", true, 2.f, 0, {0, 250}, 500, 0, false},
        {"backwards wraps at the start", true, -1.f, 200, {0, 500}, 700, 1, false},
        {"truncated toward zero", true, 1.f, 0, {0, 33}, 33, 0, false},
        {"the first update only records the clock", true, 1.f, 0, {5000}, 0, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        CTimelineController t;
        t.setRange(0, 1000, true);
        t.setLoop(c.loop);
        t.setScale(c.scale);
        t.jumpTo(c.jumpMs);
        int wraps = 0;
        t.setEndCallback([](scene::ITimelineController*, void* n) { ++*static_cast<int*>(n); }, &wraps);
        for (int clock : c.clocks)
            t.update(clock);
        EXPECT_EQ(t.getCurrentTime(), c.expectTime);
        EXPECT_EQ(wraps, c.wraps);
        EXPECT_EQ(t.hasEnded(), c.ended);
    }
}

TEST(TimelineController, ClipsByIndexAndName)
{
    const SAnimationClipLibrary clips = {{"idle", 0, 1000}, {"Move", 2000, 3000}};
    CTimelineController t(&clips);
    EXPECT_EQ(t.setClip(1), 1000);
    EXPECT_EQ(t.getCurrentTime(), 2000);
    EXPECT_EQ(t.getRangeStart(), 2000);
    EXPECT_EQ(t.getClipIndex("move"), 1);
    EXPECT_EQ(t.setClip("IDLE"), 0);
    EXPECT_EQ(t.getCurrentClipEnd(), 1000);
    EXPECT_EQ(t.setClip("run"), -1);
    EXPECT_EQ(t.getCurrentClipIndex(), 0);
    t.setRange(5, 6, false);  // a library keeps its clip's range
    EXPECT_EQ(t.getRangeStart(), 0);
    EXPECT_EQ(t.getClipCount(), 2);
    EXPECT_STREQ(t.getClipName(1), "Move");
    EXPECT_EQ(t.getClipName(2), nullptr);

    CTimelineController none;
    EXPECT_EQ(none.getClipIndex("idle"), -1);
    EXPECT_EQ(none.getClipCount(), 0);
    none.setRange(100, 100, true);  // length 0 with loop holds the start
    none.update(0);
    none.update(900);
    EXPECT_EQ(none.getCurrentTime(), 100);
}

// Events record with the given keys (time base units) and name lists.
struct Events {
    test::RecordImage image;
    std::unique_ptr<CFlatRecordSpace> space;
    SAnimationEventsView view;
    std::uint32_t ref = 0;

    Events(std::uint32_t timeBase, const std::vector<std::int32_t>& keys, const std::vector<std::vector<std::string>>& names,
           std::int32_t listCount = -1)
    {
        std::vector<std::uint8_t> times;
        for (std::int32_t k : keys) {
            const std::uint32_t width = timeBase == ETB_FRAMES_U8 ? 1 : timeBase == ETB_FRAMES_U16 ? 2 : 4;
            for (std::uint32_t b = 0; b < width; ++b)
                times.push_back(std::uint8_t(std::uint32_t(k) >> (8 * b)));
        }
        const std::uint32_t timesRef = times.empty() ? 0 : image.put(times.data(), times.size());
        std::vector<std::uint32_t> lists;
        for (const auto& list : names) {
            std::vector<std::uint32_t> texts;
            for (const std::string& n : list)
                texts.push_back(image.text(n));
            lists.push_back(std::uint32_t(list.size()));
            lists.push_back(texts.empty() ? 0 : image.putWords(texts));
        }
        const std::uint32_t listsRef = lists.empty() ? 0 : image.putWords(lists);
        ref = image.putWords({timeBase, 0, std::uint32_t(keys.size()), timesRef,
                              std::uint32_t(listCount < 0 ? names.size() : std::size_t(listCount)), listsRef});
        space = std::make_unique<CFlatRecordSpace>(image.bytes().data(), std::uint32_t(image.bytes().size()));
    }
    bool resolve() { return view.resolve(*space, ref); }
};

struct Fired {
    std::vector<std::pair<std::string, int>> events;
    static void record(const STriggeredEvent& e, void* self)
    {
        static_cast<Fired*>(self)->events.emplace_back(e.name, e.elapsed);
    }
};

TEST(AnimationEvents, FiredOncePerPassAndAcrossTheWrap)
{
    Events ev(ETB_MILLISECONDS, {0, 500, 1000}, {{"start"}, {"half", "step"}, {"end"}});
    ASSERT_TRUE(ev.resolve());
    Fired f;
    CEventsManager m(ev.view, &Fired::record, &f);
    using P = std::vector<std::pair<std::string, int>>;

    m.onUpdate(0, 400, 0, 1000);
    EXPECT_EQ(f.events, (P{{"start", 400}}));
    f.events.clear();
    m.onUpdate(400, 500, 0, 1000);  // ends on a key: fires it
    EXPECT_EQ(f.events, (P{{"half", 0}, {"step", 0}}));
    f.events.clear();
    m.onUpdate(500, 600, 0, 1000);  // starts there: not again
    EXPECT_TRUE(f.events.empty());
    m.onUpdate(600, 900, 0, 1000);
    m.onUpdate(900, 100, 0, 1000);  // wrapped
    EXPECT_EQ(f.events, (P{{"end", 100}, {"start", 100}}));
    EXPECT_EQ(m.getEventTimeFromEventName("step"), 500);
    EXPECT_EQ(m.getEventTimeFromEventName("none"), -1);

    f.events.clear();
    m.onUpdate(0, 600);
    EXPECT_EQ(f.events, (P{{"half", 100}, {"step", 100}}));
}

TEST(AnimationEvents, FrameKeysUnknownBasesAndShortLists)
{
    Events frames(ETB_FRAMES_U8, {15}, {{"f15"}});
    ASSERT_TRUE(frames.resolve());
    Fired f;
    CEventsManager m(frames.view, &Fired::record, &f);
    m.onUpdate(400, 499, 0, 1000);
    EXPECT_TRUE(f.events.empty());
    m.onUpdate(499, 500, 0, 1000);
    ASSERT_EQ(f.events.size(), 1u);
    EXPECT_EQ(f.events[0].second, 0);

    Events odd(2, {1, 2}, {{"a"}, {"b"}});
    ASSERT_TRUE(odd.resolve());
    CEventsManager none(odd.view, &Fired::record, &f);
    f.events.clear();
    none.onUpdate(0, 1000, 0, 1000);
    EXPECT_TRUE(f.events.empty());
    EXPECT_EQ(none.getEventTimeFromEventName("a"), 0);

    // Keys past the name lists do not exist.
    Events shortLists(ETB_MILLISECONDS, {0, 10, 20}, {{"a"}, {"b"}, {"c"}}, 2);
    ASSERT_TRUE(shortLists.resolve());
    EXPECT_EQ(shortLists.view.count, 2u);
    CEventsManager cut(shortLists.view, &Fired::record, &f);
    cut.onUpdate(-5, 30, 0, 30);
    EXPECT_EQ(f.events.size(), 2u);

    // A key count past the file is refused.
    Events lying(ETB_MILLISECONDS, {0}, {{"a"}});
    lying.image.patch(lying.ref + 8, 1000000);
    lying.image.patch(lying.ref + 0x10, 1000000);
    EXPECT_FALSE(lying.resolve());
}

TEST(AnimationEvents, DefaultCallbackLogsTwoLines)
{
    Events ev(ETB_MILLISECONDS, {0}, {{"boom"}});
    ASSERT_TRUE(ev.resolve());
    CEventsManager m(ev.view);
    test::SLoggerScope scope;
    m.onUpdate(-1, 5, 0, 100);
    const auto& lines = scope.logger().messages();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].text, "Warning - Event not handled : See collada::CSceneNodeAnimator::setEventsCallback");
    EXPECT_EQ(lines[1].text, "boom");
    EXPECT_EQ(lines[1].level, ELL_INFORMATION);
    EXPECT_EQ(m.getLastFiredKey(), 0);
}

} // namespace
