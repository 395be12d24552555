#include "engine/memory/AllocationHooks.h"

#include <gtest/gtest.h>

#include <boost/unordered_set.hpp>
#include <csignal>
#include <stdexcept>
#include <unistd.h>

#include "engine/core/CMatrix4.h"
#include "engine/core/SAlignedMalloc.h"
#include "engine/core/SAllocator.h"
#include "engine/memory/Pools.h"
#include "engine/core/pravikString.h"
#include "tests/engine/core/TestAllocationHooks.h"

using pravik::memory::E_MEMORY_HINT;

TEST(EngineAllocation, HintedFormsPassEverythingToTheHooks)
{
    auto& r = test::hookRecord();
    void* p = operator new(24, pravik::memory::EMH_SCENE_FILE_DATA);
    EXPECT_EQ(r.lastSize, 24u);
    EXPECT_EQ(r.lastHint, pravik::memory::EMH_SCENE_FILE_DATA);
    operator delete(p, pravik::memory::EMH_SCENE_FILE_DATA);
    EXPECT_EQ(r.lastFreed, p);

    static const char kFile[] = "here.cpp";
    p = operator new[](40, pravik::memory::EMH_DEFAULT, 9, kFile, 77);
    EXPECT_EQ(r.lastSize, 40u);
    EXPECT_EQ(r.lastTag, 9);
    EXPECT_EQ(r.lastFile, kFile);
    EXPECT_EQ(r.lastLine, 77);
    operator delete[](p, pravik::memory::EMH_DEFAULT, 9, kFile, 77);
    EXPECT_EQ(r.lastFreed, p);
}

TEST(EngineAllocation, VuvFunctions)
{
    auto& r = test::hookRecord();
    void* p = vuv_malloc(16);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(r.lastHint, pravik::memory::EMH_DEFAULT);
    EXPECT_EQ(vuv_free(p), 0);
    EXPECT_EQ(r.lastFreed, p);
    EXPECT_EQ(vuv_free(nullptr), 0);
    EXPECT_EQ(r.lastFreed, nullptr);
    EXPECT_EQ(vuv_malloc(-1), nullptr);   // never a huge request after widening
}

TEST(EngineAllocation, EngineStringsAndContainersUseTheHooks)
{
    auto& r = test::hookRecord();
    const long before = r.allocations;
    pravik::core::stringc s(100, 'x');
    EXPECT_GT(r.allocations, before);
    std::vector<int, pravik::core::SAllocator<int>> v(1000);
    EXPECT_EQ(r.lastSize, 1000 * sizeof(int));
    EXPECT_THROW(v.reserve(v.max_size() + 1), std::length_error);   // the standard's own error survives
}

TEST(EngineAllocationDeathTest, BoostThrowExceptionPrintsTheTextAsIsAndStops)
{
    // The text goes to stdout; the child points stdout at stderr so the death test can read it.
    // Boost code after the call assumes it never returns, so it must abort.
    EXPECT_EXIT(
        {
            dup2(2, 1);
            boost::throw_exception(std::runtime_error("100% bad"));
        },
        testing::KilledBySignal(SIGABRT), "100% bad");
}

TEST(EnginePools, MatrixAndBoxBlocks)
{
    pravik::memory::createPools();
    ASSERT_NE(pravik::memory::Matrix4Pool, nullptr);
    ASSERT_NE(pravik::memory::Aabbox3dfPool, nullptr);
    auto* pool = pravik::memory::Matrix4Pool;
    void* a = pool->malloc();
    void* b = pool->malloc();
    ASSERT_NE(a, nullptr);
    ASSERT_NE(a, b);
    auto* m = new (a) pravik::core::CMatrix4<float>(pravik::core::EM4CONST_IDENTITY);
    EXPECT_TRUE(m->isIdentity());
    pool->free(a);
    EXPECT_EQ(pool->malloc(), a);   // a freed block is handed out again
    pravik::memory::createPools();  // a second call keeps the pools
    EXPECT_EQ(pravik::memory::Matrix4Pool, pool);
    pravik::memory::destroyPools();
    EXPECT_EQ(pravik::memory::Matrix4Pool, nullptr);
}

TEST(EnginePools, AlignedMallocKeepsLargeAlignments)
{
    char* p = pravik::core::SAlignedMalloc<64>::malloc(100);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(p) % 64, 0u);
    p[99] = 1;
    pravik::core::SAlignedMalloc<64>::free(p);
}
