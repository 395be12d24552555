#include <gtest/gtest.h>

#include <atomic>

#include "engine/thread/CCondition.h"
#include "engine/thread/CThread.h"
#include "engine/thread/this_thread.h"

using namespace pravik::thread;

TEST(Thread, StackSizesAndStartingSuspended)
{
    std::atomic<int> ran{0};
    auto* worker = CThread<1024>::fromFunction([&ran] { ++ran; });
    EXPECT_EQ(worker->getStackSize(), 1024u);
    EXPECT_EQ(worker->getPriority(), EP_NORMAL);
    ASSERT_TRUE(worker->createThread());   // 1 KiB is below the platform minimum: raised
    worker->suspend();                     // now two resumes are needed
    worker->resume();
    EXPECT_EQ(ran.load(), 0);
    EXPECT_TRUE(worker->run());
    EXPECT_TRUE(worker->join());
    EXPECT_EQ(ran.load(), 1);
    EXPECT_EQ(worker->getState(), ETS_FINISHED);
    worker->setPriority(EP_HIGHEST);   // only clamps under the default policy
    delete worker;
}

TEST(Thread, RegistryAdoptsTheCallingThreadOnce)
{
    IThread* self = this_thread::get();
    ASSERT_NE(self, nullptr);
    EXPECT_EQ(this_thread::get(), self);
    EXPECT_EQ(self->getStackSize(), 1048576u);

    IThread* fromOther = nullptr;
    auto* other = CThread<1024>::fromFunction([&fromOther] { fromOther = this_thread::get(); });
    other->createThread();
    other->run();
    other->join();
    EXPECT_NE(fromOther, nullptr);
    EXPECT_NE(fromOther, self);   // each thread gets its own object
    delete other;

    std::atomic<bool> stop{false};
    auto* registered = CThread<1024>::fromFunction([&stop] {
        while (!stop) {
        }
    });
    registered->createThread();
    this_thread::add(registered->getId(), registered);
    EXPECT_EQ(this_thread::find(registered->getId()), registered);
    registered->run();
    stop = true;
    registered->join();
    const this_thread::ThreadId id = registered->getId();
    delete registered;   // takes its entry with it
    EXPECT_EQ(this_thread::find(id), nullptr);
}

TEST(Condition, TimedWaitAndSignal)
{
    CMutex mutex;
    CCondition condition(mutex);
    mutex.lock();
    EXPECT_FALSE(condition.wait(5));   // nobody signals: time-out
    mutex.unlock();
    EXPECT_FALSE(condition.signal());  // false: the call succeeded
    EXPECT_FALSE(condition.broadcast());
}
