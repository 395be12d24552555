#include "audio/KezEngine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <condition_variable>
#include <mutex>
#include <vector>

#include "audio/KezClock.h"
#include "audio/KezThread.h"
#include "platform/Pcm.h"
#include "tests/audio/AudioTestSupport.h"

namespace {

using kez::KezEngine;

kez::DecoderInterface* nullDecoder(void*) { return nullptr; }

class KezEngineFacade : public ::testing::Test {
protected:
    void SetUp() override {
        platform::PcmOptions o;
        o.backend = "null";
        platform::pcm_set_options(o);
    }
    void TearDown() override {
        KezEngine::DestroyKezEngine();
        platform::pcm_set_options(platform::PcmOptions{});
    }
};

TEST_F(KezEngineFacade, DefaultsWithoutInternalEngine) {
    KezEngine* engine = KezEngine::GetKezEngine();
    kez::KezEngineInternal* saved = KezEngine::m_internal;
    KezEngine::m_internal = nullptr;
    kez::EmitterHandle e;
    kez::DataHandle d;
    EXPECT_TRUE(engine->IsEngineSuspended());
    EXPECT_TRUE(engine->IsDone(e));
    EXPECT_EQ(engine->GetPriority(e), -1073741824);
    EXPECT_EQ(engine->GetOutputMode(), -1);
    EXPECT_EQ(engine->RegisterDecoderType(nullDecoder), -1);
    EXPECT_EQ(engine->CreateEmitter(d, 0, nullptr).GetId(), -1);
    EXPECT_EQ(engine->GetMasterGain(), 0.0f);
    EXPECT_EQ(engine->GetUid(d), -1);
    EXPECT_FALSE(engine->SetPriorityBank(0, 0, 1, kez::PriorityBankBehavior(2)));
    float untouched = 7.0f;
    engine->Get3DGeneralParameterf(0, untouched);
    EXPECT_EQ(untouched, 7.0f);
    engine->Initialize();  // nothing without an internal engine
    EXPECT_EQ(engine->GetUpdateThread(), nullptr);
    KezEngine::m_internal = saved;
}

TEST_F(KezEngineFacade, RegistrationNumbersFollowTheOrderAndStopAt31) {
    KezEngine* engine = KezEngine::GetKezEngine();
    engine->Initialize();
    EXPECT_EQ(KezEngine::m_internal->DecoderTypeCount(), 6);
    EXPECT_EQ(KezEngine::m_internal->StreamTypeCount(), 2);
    EXPECT_EQ(engine->GetOutputMode(), 1);
    engine->SetOutputMode(kez::KezOutputMode(3));
    EXPECT_EQ(engine->GetOutputMode(), 1);

    std::vector<int> numbers;
    for (int i = 0; i < 26; ++i) numbers.push_back(engine->RegisterDecoderType(nullDecoder));
    EXPECT_EQ(numbers[0], 6);    // the game's tracker-module decoder
    EXPECT_EQ(numbers[24], 30);  // the 25th
    EXPECT_EQ(numbers[25], -1);
    EXPECT_EQ(engine->RegisterStreamType(nullptr), 2);  // a null factory takes a number

    kez::KezThread* thread = engine->GetUpdateThread();
    ASSERT_NE(thread, nullptr);
    engine->Initialize();  // a second time changes nothing
    EXPECT_EQ(engine->GetUpdateThread(), thread);
    EXPECT_EQ(KezEngine::m_internal->StreamTypeCount(), 3);

    kez::DataHandle none = engine->LoadDataSource(5, nullptr, 0, nullptr, 0);  // unregistered stream type
    EXPECT_FALSE(engine->IsValid(none));
    unsigned char b[4] = {};
    kez::StreamMemoryBufferParams p{b, 4, false, false};
    kez::DataHandle nullType = engine->LoadDataSource(0, &p, 5, nullptr, 0);  // type 5 is a null entry
    EXPECT_FALSE(engine->IsValid(nullType));
}

TEST_F(KezEngineFacade, NestedSuspendAndResume) {
    KezEngine* engine = KezEngine::GetKezEngine();
    engine->ResumeEngine();  // before Initialize: no driver, nothing happens
    EXPECT_FALSE(engine->IsEngineSuspended());
    engine->Initialize();
    engine->ResumeEngine();  // without a suspension: nothing
    EXPECT_FALSE(engine->IsEngineSuspended());
    engine->SuspendEngine();
    engine->SuspendEngine();
    engine->ResumeEngine();
    EXPECT_TRUE(engine->IsEngineSuspended());
    engine->ResumeEngine();
    EXPECT_FALSE(engine->IsEngineSuspended());
}

TEST(KezThreadPacing, SleepRule) {
    const struct { double start, previous, end; int ms; } kCases[] = {
        {100.000, 0.0, 100.000, 1},      // the first pass measures from time 0
        {100.033, 100.000, 100.033, 33}, // idle, steady state
        {100.050, 100.000, 100.100, 1},  // a 50 ms callback leaves 1 ms
        {100.0405, 100.000, 100.046, 21},  // 66 - 40 - 5
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(testing::Message() << c.start << " " << c.previous << " " << c.end);
        EXPECT_EQ(kez::KezThread::SleepMs(c.start, c.previous, c.end), c.ms);
    }
}

// The update thread on a clock the test owns: sleeping moves it, and so does the callback's
// own work, so every period is exact.
std::atomic<uint64_t> g_threadClockUs{0};
std::atomic<uint64_t> g_passWorkUs{0};

struct PassTimes {
    std::mutex lock;
    std::condition_variable grew;
    std::vector<double> starts;
};

void recordPass(void* arg, void*) {
    auto* t = static_cast<PassTimes*>(arg);
    {
        std::lock_guard<std::mutex> l(t->lock);
        t->starts.push_back(kez::_GetTime());
    }
    t->grew.notify_all();
    g_threadClockUs += g_passWorkUs.load();
}

TEST(KezThreadPacing, PeriodsSettleByTheSleepRule) {
    const struct { uint64_t workMs; std::vector<double> periodsMs; } kCases[] = {
        {0, {1, 33, 33, 33, 33, 33, 33, 33}},   // idle: the first pass measures from time 0
        {50, {51, 51, 51, 51, 51, 51, 51, 51}}, // a slow callback always gets at least 1 ms of rest
    };
    kez::SetTimeSource([] { return double(g_threadClockUs.load()) / 1e6; });
    kez::KezThread::SetSleeper([](int ms) { g_threadClockUs += uint64_t(ms) * 1000u; });
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.workMs);
        g_threadClockUs = 5000000;
        g_passWorkUs = c.workMs * 1000u;
        PassTimes times;
        const size_t needed = c.periodsMs.size() + 1;
        {
            kez::KezThread thread(recordPass, &times, nullptr, "pacing");
            std::unique_lock<std::mutex> l(times.lock);
            times.grew.wait(l, [&] { return times.starts.size() >= needed; });
        }
        std::vector<double> periods;
        for (size_t i = 1; i < needed; ++i)
            periods.push_back(std::round((times.starts[i] - times.starts[i - 1]) * 1e6) / 1e3);
        EXPECT_EQ(periods, c.periodsMs);
    }
    kez::KezThread::SetSleeper(nullptr);
    kez::SetTimeSource(nullptr);
}

class Handles : public ::testing::Test {
protected:
    test::EngineHarness h;
    std::vector<int16_t> samples = test::testSignal(1000, 2);
};

TEST_F(Handles, ReferenceCountsFollowCopiesAndAssignments) {
    kez::DataHandle data = h.loadRaw(samples, 2);
    ASSERT_TRUE(h.engine->IsValid(data));
    kez::EmitterHandle a = h.engine->CreateEmitter(data, 0, nullptr);
    ASSERT_TRUE(h.engine->IsValid(a));
    auto* obj = static_cast<kez::EmitterObj*>(a.GetObjectPointer());
    EXPECT_EQ(obj->GetRefCount(), 1);
    {
        kez::EmitterHandle b(a);
        EXPECT_EQ(obj->GetRefCount(), 2);
        kez::EmitterHandle c;
        c = b;
        EXPECT_EQ(obj->GetRefCount(), 3);
        c = c;  // self-assignment
        EXPECT_EQ(obj->GetRefCount(), 3);
        c = kez::EmitterHandle();  // reassigned away
        EXPECT_EQ(obj->GetRefCount(), 2);
    }
    EXPECT_EQ(obj->GetRefCount(), 1);
    {
        kez::EmitterHandle copy(a);
        a = kez::EmitterHandle();
        EXPECT_TRUE(h.engine->IsValid(copy));  // the copy keeps it
        EXPECT_EQ(obj->GetRefCount(), 1);
        a = copy;
    }
    // A handle made of an id alone resolves by id every time.
    kez::EmitterHandle byId(a.GetId(), &kez::KezEngineInternal::s_kezEngineInternal, nullptr, 0, 0);
    EXPECT_EQ(obj->GetRefCount(), 2);
    EXPECT_TRUE(h.engine->IsValid(byId));
    // The invalid handle never touches a count.
    kez::EmitterHandle invalid, invalidCopy(invalid);
    invalidCopy = invalid;
    EXPECT_EQ(obj->GetRefCount(), 2);

    auto* dobj = static_cast<kez::DataObj*>(data.GetObjectPointer());
    EXPECT_EQ(dobj->GetRefCount(), 1);
    kez::DataHandle fromEmitter = h.engine->GetData(a);
    EXPECT_EQ(fromEmitter.GetId(), data.GetId());
    EXPECT_EQ(dobj->GetRefCount(), 2);
}

TEST_F(Handles, KilledEmitterLeavesEveryHandleStaleAndNeighboursResolve) {
    kez::DataHandle data = h.loadRaw(samples, 2);
    std::vector<kez::EmitterHandle> emitters;
    for (int i = 0; i < 17; ++i) emitters.push_back(h.engine->CreateEmitter(data, 0, nullptr));
    h.pass();
    // Emitters 0 and 16 share a time-stamp slot (16 slots in turn; the data source took one).
    unsigned s0, slot0, s16, slot16;
    emitters[0].GetTimeStamp(s0, slot0);
    emitters[16].GetTimeStamp(s16, slot16);
    ASSERT_EQ(slot0, slot16);
    kez::EmitterHandle copy(emitters[0]);
    h.engine->KillEmitter(emitters[0]);
    EXPECT_FALSE(h.engine->IsValid(emitters[0]));
    EXPECT_FALSE(h.engine->IsValid(copy));
    EXPECT_NE(copy.GetObjectPointer(), nullptr);  // the cached pointer is still there, and unused
    EXPECT_EQ(h.engine->GetPriority(copy), -1073741824);
    EXPECT_TRUE(h.engine->IsDone(copy));
    EXPECT_TRUE(h.engine->IsValid(emitters[16]));  // found again by id, takes the new stamp
    unsigned after, slotAfter;
    emitters[16].GetTimeStamp(after, slotAfter);
    EXPECT_GT(after, s16);
    kez::EmitterHandle copyOfDead(copy);  // copies and destruction of a dead handle do nothing
    EXPECT_EQ(h.emitterCount(), 16);
}

TEST_F(Handles, DataSourcesDieAtThePassAfterTheirLastHandle) {
    kez::DataHandle keep = h.loadRaw(samples, 2);
    {
        kez::DataHandle dropped = h.loadRaw(samples, 2, 32000, 40);  // group 40 is mapped to group 0
        EXPECT_TRUE(h.engine->IsReady(dropped));
        EXPECT_FLOAT_EQ(h.engine->GetDuration(dropped), 1000.0f / 32000.0f);
    }
    kez::DataHandle all[4];
    EXPECT_EQ(h.engine->GetAllDataSources(all, 4), 2);
    for (auto& a : all) a = kez::DataHandle();  // listing handles hold references too
    h.pass();
    EXPECT_EQ(h.engine->GetAllDataSources(all, 4), 1);
    for (auto& a : all) a = kez::DataHandle();

    kez::EmitterHandle e = h.engine->CreateEmitter(keep, 0, nullptr);
    h.engine->ReleaseDatasource(2u);  // group 1 only: not ours
    EXPECT_TRUE(h.engine->IsReady(keep));
    h.engine->ReleaseDatasource(1u);
    EXPECT_FALSE(h.engine->IsReady(keep));
    EXPECT_TRUE(h.engine->IsValid(keep));
    EXPECT_TRUE(h.engine->IsValid(e));
    h.pass();
    EXPECT_FALSE(h.engine->IsValid(keep));
    EXPECT_FALSE(h.engine->IsValid(e));  // its emitters died with it
}

// Records, as each emitter is killed, whether a handle to it still resolved at that moment.
class KillWatcher : public kez::KezEngineInternal {
public:
    using KezEngineInternal::KillEmitter;
    void KillEmitter(kez::EmitterObj* e) override {
        if (watched) resolvedWhileKilled.push_back(IsValid(*watched));
        KezEngineInternal::KillEmitter(e);
    }
    kez::EmitterHandle* watched = nullptr;
    std::vector<bool> resolvedWhileKilled;
};

// Another thread holding a cached pointer must not reach an emitter that is being destroyed:
// its stamp changes while the emitter is detached, before the kill.
TEST(HandleStamps, EmittersOfAReleasedSourceGoStaleBeforeTheyAreKilled) {
    auto* watcher = kez::KezNew<KillWatcher>();
    test::EngineHarness h(3, watcher);
    const std::vector<int16_t> samples = test::testSignal(1000, 2);
    kez::DataHandle data = h.loadRaw(samples, 2);
    kez::EmitterHandle e = h.engine->CreateEmitter(data, 0, nullptr);
    h.pass();
    ASSERT_TRUE(h.engine->IsValid(e));
    watcher->watched = &e;
    h.engine->ReleaseDatasource(data);
    h.pass();
    watcher->watched = nullptr;
    ASSERT_EQ(watcher->resolvedWhileKilled.size(), 1u);
    EXPECT_FALSE(watcher->resolvedWhileKilled[0]);
    EXPECT_FALSE(h.engine->IsValid(e));
}

}  // namespace
