#include "engine/memory/AllocationHooks.h"

#include <gtest/gtest.h>

#include <boost/unordered_set.hpp>
#include <csignal>
#include <stdexcept>
#include <unistd.h>

#include "engine/core/SAllocator.h"
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
