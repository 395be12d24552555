#include "engine/core/ProcessBuffer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "engine/Initialization.h"
#include "tests/engine/core/RecordingLogger.h"

using namespace pravik::core;

namespace {

// A fresh 64 KiB heap for every test, emptied again afterwards.
class ProcessBufferTest : public testing::Test {
protected:
    void SetUp() override
    {
        setProcessBufferHeapExcessEnabled(true);
        ASSERT_EQ(setProcessBufferHeapSize(0), 0);
        ASSERT_EQ(setProcessBufferHeapSize(0x10000), 0);
    }
    void TearDown() override
    {
        EXPECT_EQ(dumpProcessBufferAllocations(nullptr, pravik::ELL_ERROR), 0);
        setProcessBufferHeapSize(0);
        setProcessBufferHeapExcessEnabled(true);
    }
};

} // namespace

TEST_F(ProcessBufferTest, FreeSpace)
{
    EXPECT_EQ(getProcessBufferHeapSize(), 65536);
    EXPECT_EQ(getProcessBufferHeapAvailableMemory(), 65528);
    void* p = allocProcessBuffer(10);   // 5 words with its frame
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(p) % 4, 0u);
    EXPECT_EQ(getProcessBufferHeapAvailableMemory(), 65508);
    // The largest request that fits takes the rest exactly.
    void* rest = allocProcessBuffer(65508);
    ASSERT_NE(rest, nullptr);
    EXPECT_EQ(getProcessBufferHeapAvailableMemory(), -8);
    {
        SScopedEnableProcessBufferHeapExcess off(false);
        EXPECT_EQ(allocProcessBuffer(1), nullptr);
    }
    EXPECT_TRUE(isProcessBufferHeapExcessEnabled());
    releaseProcessBuffer(rest);
    releaseProcessBuffer(p);
    EXPECT_EQ(getProcessBufferHeapAvailableMemory(), 65528);
}

TEST_F(ProcessBufferTest, ReleaseOrders)
{
    // P = 10 bytes (20 with its frame), Q = 100 (108), R = 1 (12); all three take 140.
    const struct {
        const char* order;
        int available[3];
    } kCases[] = {
        {"QRP", {65388, 65508, 65528}},   // R retracts over the free Q down to the end of P
        {"PQR", {65388, 65388, 65528}},   // P and Q merge below R; R then retracts over both
        {"RQP", {65400, 65508, 65528}},
        {"PRQ", {65388, 65400, 65528}},   // Q on top retracts over the free P
        {"QPR", {65388, 65388, 65528}},   // P merges upward with Q
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.order);
        void* blocks[3] = {allocProcessBuffer(10), allocProcessBuffer(100), allocProcessBuffer(1)};
        ASSERT_EQ(getProcessBufferHeapAvailableMemory(), 65528 - 140);
        for (int i = 0; i < 3; ++i) {
            releaseProcessBuffer(blocks[c.order[i] - 'P']);
            EXPECT_EQ(getProcessBufferHeapAvailableMemory(), c.available[i]) << "after release " << i;
            EXPECT_EQ(dumpProcessBufferAllocations(nullptr, pravik::ELL_ERROR), 2 - i);
        }
    }
}

TEST_F(ProcessBufferTest, MergedHoleIsReusedAfterRetraction)
{
    void* p = allocProcessBuffer(40);
    void* q = allocProcessBuffer(40);
    void* r = allocProcessBuffer(40);
    releaseProcessBuffer(q);
    releaseProcessBuffer(r);
    void* again = allocProcessBuffer(40);
    EXPECT_EQ(again, q);   // stack-like: the space above P is handed out again
    releaseProcessBuffer(again);
    releaseProcessBuffer(p);
}

TEST_F(ProcessBufferTest, ExcessRequests)
{
    void* big = allocProcessBuffer(70000);
    ASSERT_NE(big, nullptr);
    EXPECT_EQ(getProcessBufferHeapAvailableMemory(), 65528);   // not from the heap
    static_cast<char*>(big)[69999] = 1;
    releaseProcessBuffer(big);   // handed back to the array allocator (ASan checks the pairing)
    setProcessBufferHeapExcessEnabled(false);
    EXPECT_EQ(allocProcessBuffer(70000), nullptr);
    EXPECT_EQ(allocProcessBuffer(-1), nullptr);
    releaseProcessBuffer(nullptr);
}

TEST_F(ProcessBufferTest, Resizing)
{
    void* p = allocProcessBuffer(16);
    EXPECT_EQ(setProcessBufferHeapSize(0x8000), 1);   // blocks in use
    EXPECT_EQ(getProcessBufferHeapSize(), 65536);
    EXPECT_EQ(setProcessBufferHeapSize(0x10000), 0);  // already that size
    releaseProcessBuffer(p);
    EXPECT_EQ(setProcessBufferHeapSize(0x8000), 0);
    EXPECT_EQ(getProcessBufferHeapSize(), 32768);
    EXPECT_EQ(setProcessBufferHeapSize(0), 0);
    EXPECT_EQ(getProcessBufferHeapAvailableMemory(), -8);
    void* fallback = allocProcessBuffer(8);   // no storage: every request takes the fall-back
    EXPECT_NE(fallback, nullptr);
    releaseProcessBuffer(fallback);
}

TEST_F(ProcessBufferTest, DumpListsBlocksInUse)
{
    test::SLoggerScope scope;
    void* a = allocProcessBuffer(10);
    void* b = allocProcessBuffer(3);
    void* c = allocProcessBuffer(30);
    releaseProcessBuffer(b);
    EXPECT_EQ(dumpProcessBufferAllocations(&scope.logger(), pravik::ELL_ERROR), 2);
    const auto& m = scope.logger().messages();
    ASSERT_EQ(m.size(), 2u);
    char expected[64];
    std::snprintf(expected, sizeof(expected), "0x%08lx:       12", (unsigned long)(std::uintptr_t)a);
    EXPECT_EQ(m[0].text, expected);
    std::snprintf(expected, sizeof(expected), "0x%08lx:       32", (unsigned long)(std::uintptr_t)c);
    EXPECT_EQ(m[1].text, expected);
    EXPECT_EQ(m[1].level, pravik::ELL_ERROR);
    releaseProcessBuffer(c);
    releaseProcessBuffer(a);
}

TEST_F(ProcessBufferTest, DoubleReleaseIsRefusedWithALogLine)
{
    test::SLoggerScope scope;
    void* a = allocProcessBuffer(10);
    void* b = allocProcessBuffer(10);
    releaseProcessBuffer(a);
    releaseProcessBuffer(a);
    EXPECT_TRUE(scope.logger().contains("not a block in use"));
    EXPECT_EQ(dumpProcessBufferAllocations(nullptr, pravik::ELL_ERROR), 1);
    releaseProcessBuffer(b);
    EXPECT_EQ(getProcessBufferHeapAvailableMemory(), 65528);
}

TEST_F(ProcessBufferTest, EmptyRequestIsABlockThatGoesBack)
{
    // Two words of frame and nothing else; giving it back must retract the heap below it too.
    test::SLoggerScope scope;
    void* below = allocProcessBuffer(10);
    void* empty = allocProcessBuffer(0);
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(getProcessBufferHeapAvailableMemory(), 65528 - 28);
    releaseProcessBuffer(below);
    releaseProcessBuffer(empty);
    EXPECT_FALSE(scope.logger().contains("not a block in use"));
    EXPECT_EQ(getProcessBufferHeapAvailableMemory(), 65528);
    releaseProcessBuffer(empty);   // twice is still refused
    EXPECT_TRUE(scope.logger().contains("not a block in use"));
}

TEST_F(ProcessBufferTest, ScopedAndSharedArrays)
{
    {
        SScopedProcessArray<float> floats(100);
        ASSERT_NE(floats.get(), nullptr);
        floats[99] = 1.f;
        EXPECT_EQ(getProcessBufferHeapAvailableMemory(), 65528 - 408);
        SSharedProcessArray<unsigned char> shared(16);
        {
            SSharedProcessArray<unsigned char> other = shared;
            other[15] = 7;
        }
        EXPECT_EQ(shared[15], 7);
        EXPECT_EQ(shared.size(), 16u);
    }
    EXPECT_EQ(getProcessBufferHeapAvailableMemory(), 65528);
}

TEST(ProcessBufferShutdown, ExitWithBlocksInUseListsThemAndFreesAnyway)
{
    test::SLoggerScope scope;
    ASSERT_TRUE(pravik::init());
    void* leaked = pravik::core::allocProcessBuffer(10);
    ASSERT_TRUE(pravik::exit());
    EXPECT_EQ(pravik::core::getProcessBufferHeapSize(), 0);
    std::vector<std::string> texts;
    for (const auto& m : scope.logger().messages())
        texts.push_back(m.text);
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0], "Freeing process buffer heap would fail due to the following allocated blocks:");
    EXPECT_NE(texts[1].find(":       12"), std::string::npos);
    EXPECT_EQ(texts[2], "Freeing anyways (at Pravik exit)");
    (void)leaked;   // its storage went with the heap
}
