#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "engine/task/CTask.h"
#include "engine/task/CTaskHandler.h"
#include "engine/task/CTaskManager.h"

using namespace pravik::task;

namespace {

// Records what the manager hands over.
struct SRecordingHandler : CTaskHandler {
    SRecordingHandler() : CTaskHandler(CCpuTask::TaskType) {}
    void setTask(CTask* task) override { taken.push_back(task); }
    std::vector<CTask*> taken;
};

struct SNamedTask : CTask {
    SNamedTask(const char* n, std::uint32_t mask) : CTask(mask, false), name(n) {}
    std::string name;
};

std::uint32_t lowestFreeHandlerBit()
{
    std::uint32_t bit = 1;
    while (bit && (CTaskHandler::UsedID & bit))
        bit <<= 1;
    return bit;
}

} // namespace

TEST(TaskTypes, ThirtyThirdTypeIsRefused)
{
    const std::uint32_t saved = CTask::UsedMaskID;
    CTask::UsedMaskID = 0;
    std::uint32_t seen = 0;
    for (int i = 0; i < 32; ++i) {
        const std::uint32_t type = CTask::registerTaskType();
        EXPECT_EQ(type, 1u << i);   // the lowest free bit each time
        seen |= type;
    }
    EXPECT_EQ(seen, 0xFFFFFFFFu);
    EXPECT_EQ(CTask::registerTaskType(), 0u);
    CTask::unregisterTaskType(1u << 5);
    EXPECT_EQ(CTask::registerTaskType(), 1u << 5);
    CTask::UsedMaskID = saved;
    EXPECT_EQ(CCpuGraphicsTask::TaskType, 1u);
    EXPECT_EQ(CCpuTask::TaskType, 2u);
}

TEST(TaskHandlers, IdsAreLowestFreeBitsAndGraphicsHandlersKeepTheirOwnMask)
{
    const std::uint32_t expected = lowestFreeHandlerBit();
    {
        CCpuGraphicsTaskHandler graphics;
        EXPECT_EQ(graphics.getId(), expected);
        EXPECT_EQ(graphics.getTaskType(), CCpuGraphicsTask::TaskType);
        EXPECT_TRUE(CCpuGraphicsTaskHandler::HandlersMask & expected);
        EXPECT_FALSE(CCpuTaskHandler::HandlersMask & expected);
        CCpuTaskHandler cpu;
        EXPECT_EQ(cpu.getId(), lowestFreeHandlerBit() == 0 ? 0u : cpu.getId());
        EXPECT_TRUE(CCpuTaskHandler::HandlersMask & cpu.getId());
        EXPECT_NE(cpu.getId(), graphics.getId());
    }
    EXPECT_FALSE(CTaskHandler::UsedID & expected);   // given back
    EXPECT_FALSE(CCpuGraphicsTaskHandler::HandlersMask & expected);
}

TEST(TaskHandlers, FullIdMaskGivesIdZero)
{
    const std::uint32_t saved = CTaskHandler::UsedID;
    CTaskHandler::UsedID = 0xFFFFFFFFu;
    {
        SRecordingHandler h;
        EXPECT_EQ(h.getId(), 0u);
        SNamedTask t("t", 0xFFFFFFFFu);
        CTaskManager::getInstance()->push(&t);
        EXPECT_FALSE(CTaskManager::getInstance()->dispatchTask(&h, false));   // matches nothing
        CTaskManager::getInstance()->pop(&t);
    }
    CTaskHandler::UsedID = saved;
}

TEST(TaskManager, DispatchOrder)
{
    auto* manager = CTaskManager::getInstance();
    SRecordingHandler a, b;
    ASSERT_EQ(manager->size(), 0u);
    EXPECT_FALSE(manager->dispatchTask(&a, false));   // empty: false at once

    SNamedTask forB("forB", b.getId()), a1("a1", a.getId()), never("never", 0), a2("a2", a.getId() | b.getId()),
        forB2("forB2", b.getId());
    for (CTask* t : std::initializer_list<CTask*>{&forB, &a1, &never, &a2, &forB2})
        manager->push(t);

    // Each row: which handler asks, and what it gets ("" for nothing).
    const struct {
        SRecordingHandler* handler;
        const char* expected;
    } kSteps[] = {
        {&a, "a1"},     // a task for b pushed first does not block a
        {&a, "a2"},     // then the next in push order that a may run
        {&a, ""},       // only b's and the affinity-0 task are left
        {&b, "forB"},
        {&b, "forB2"},
        {&b, ""},       // affinity 0 is never taken
    };
    int row = 0;
    for (const auto& s : kSteps) {
        SCOPED_TRACE(row++);
        const std::size_t before = s.handler->taken.size();
        const bool got = manager->dispatchTask(s.handler, false);
        EXPECT_EQ(got, s.expected[0] != '\0');
        if (got) {
            ASSERT_EQ(s.handler->taken.size(), before + 1);
            EXPECT_EQ(static_cast<SNamedTask*>(s.handler->taken.back())->name, s.expected);
        }
    }
    EXPECT_EQ(manager->size(), 1u);
    manager->pop(&never);
    EXPECT_EQ(manager->size(), 0u);
}

TEST(TaskManager, HandlerRunDeletesManagedTasksOnly)
{
    static int destroyed = 0;
    struct SCounted : IRunnable {
        int* runs;
        explicit SCounted(int* r) : runs(r) {}
        ~SCounted() override { ++destroyed; }
        void run() override { ++*runs; }
    };
    destroyed = 0;
    CCpuTaskHandler handler;
    int runs = 0;
    auto* managed = new CCpuTask(new SCounted(&runs), true, handler.getId());
    CCpuTask unmanaged(new SCounted(&runs), false, handler.getId());
    managed->push();
    unmanaged.push();
    EXPECT_TRUE(handler.run(false));
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(destroyed, 1);   // the managed task and its function are gone
    EXPECT_TRUE(handler.run(false));
    EXPECT_EQ(runs, 2);
    EXPECT_EQ(destroyed, 1);
    EXPECT_TRUE(unmanaged.isDone());
    EXPECT_TRUE(handler.run(false));   // nothing queued: still true
}

TEST(Task, DoneBeforeWaitIsRemembered)
{
    CCpuTask task(new SFunction([] {}), false, 1);
    task.run();
    EXPECT_TRUE(task.wait(0));    // would block for ever without the done flag
    EXPECT_TRUE(task.wait(10));
    CCpuTask never(new SFunction([] {}), false, 1);
    EXPECT_FALSE(never.wait(5));  // timed out
}

TEST(Task, DoneNotifiesDependantsAndWakesAWaiter)
{
    struct SDependant : CTask {
        SDependant() : CTask(0, false) { m_pendingDependencies = 1; }
        std::int32_t pending() const { return m_pendingDependencies; }
    };
    struct SWithDependant : CTask {
        explicit SWithDependant(CTask* d) : CTask(0, false) { m_dependants.push_back(d); }
    };
    SDependant dependant;
    SWithDependant task(&dependant);
    // Starting the thread usually takes longer than reaching the wait, so done() mostly wakes a
    // waiter; when it comes first the remembered completion must answer the wait the same way.
    std::thread finisher([&] { task.done(); });
    EXPECT_TRUE(task.wait(0));
    finisher.join();
    EXPECT_EQ(dependant.pending(), 0);
}

TEST(Task, DependenciesDoneOnSeveralThreadsAreAllCounted)
{
    // Tasks finishing on different workers decrement one dependant at once; no decrement may
    // be lost between them.
    struct SDependant : CTask {
        SDependant() : CTask(0, false) {}
        std::int32_t pending() const { return m_pendingDependencies; }
    };
    struct SWithDependant : CTask {
        explicit SWithDependant(CTask* d) : CTask(0, false) { m_dependants.push_back(d); }
    };
    constexpr int kThreads = 4, kTasks = 20000;
    SDependant dependant;
    std::atomic<int> ready{0};
    std::vector<std::thread> finishers;
    for (int t = 0; t < kThreads; ++t)
        finishers.emplace_back([&] {
            std::vector<std::unique_ptr<SWithDependant>> tasks;
            for (int i = 0; i < kTasks; ++i)
                tasks.push_back(std::make_unique<SWithDependant>(&dependant));
            ++ready;
            while (ready < kThreads)
                std::this_thread::yield();
            for (auto& task : tasks)
                task->done();
        });
    for (auto& f : finishers)
        f.join();
    EXPECT_EQ(dependant.pending(), -kThreads * kTasks);
}

TEST(TaskWorkers, PushedTasksRunOnWorkerThreads)
{
    CCpuTaskHandler::init(2);
    EXPECT_EQ(CCpuTaskHandler::ThreadsCount, 2);
    std::atomic<int> runs{0};
    std::vector<CCpuTask*> tasks;
    for (int i = 0; i < 20; ++i) {
        tasks.push_back(new CCpuTask(new SFunction([&runs] { ++runs; }), false, CCpuTaskHandler::HandlersMask));
        tasks.back()->push();
    }
    for (CCpuTask* t : tasks) {
        EXPECT_TRUE(t->wait());
        delete t;
    }
    EXPECT_EQ(runs.load(), 20);
}
