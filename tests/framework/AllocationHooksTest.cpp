#include "framework/AllocationHooks.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "engine/core/pravikString.h"

namespace {
struct SThing {
    int a = 5;
};
} // namespace

TEST(AllocationHooks, TaggedFormsAndTheirRefusals)
{
    const struct {
        std::size_t size;
        bool null;
    } kCases[] = {{0, true}, {1, false}, {std::size_t(1) << 31, true}, {std::size_t(INT32_MAX) + 5, true}};
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.size);
        void* p = operator new(c.size, "Game", 10, 1, 2);
        EXPECT_EQ(p == nullptr, c.null);
        ::operator delete(p);
        void* q = PravikAlloc(c.size, pravik::memory::EMH_DEFAULT, 0, "here", 1);
        EXPECT_EQ(q == nullptr, c.null);
        PravikFree(q);
    }
    EXPECT_EQ(malloc(0, "f", 1, 1, 2), nullptr);
    EXPECT_EQ(malloc(-4, "f", 1, 1, 2), nullptr);
    void* m = malloc(8, "f", 1, 1, 2);
    EXPECT_NE(m, nullptr);
    free(m, 1, 2);
    free(nullptr, 1, 2);
}

TEST(AllocationHooks, ObjectsFromTheTaggedNewAreFreedWithDelete)
{
    SThing* t = new ("System/PhoneDevice.h", 42, 1, 2) SThing;
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->a, 5);
    delete t;   // the ordinary delete frees malloc memory
    int* none = new ("Game", 1, 1, 2) int[0];   // nothing asked: null, and nothing constructed
    EXPECT_EQ(none, nullptr);
    MemStack_Begin_SnapShot();
    MemStack_End_SnapShot();
}

TEST(AllocationHooks, EngineStringsGoThroughTheFrameworkHooks)
{
    pravik::core::stringc s(1000, 'q');
    EXPECT_EQ(s.size(), 1000u);
    void* p = PravikAlloc(0, pravik::memory::EMH_DEFAULT);   // whatever malloc(0) gives
    PravikFree(p);
}
