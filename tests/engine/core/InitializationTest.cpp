#include "engine/Initialization.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/core/ProcessBuffer.h"
#include "engine/core/SSharedString.h"

namespace {

std::vector<std::string> g_calls;
void stepA(bool start) { g_calls.push_back(start ? "A+" : "A-"); }
void stepB(bool start) { g_calls.push_back(start ? "B+" : "B-"); }

} // namespace

TEST(Initialization, StepsRunOnceInOrderAndShutDownInReverse)
{
    static const bool registered = [] {   // once per process, however often the test runs
        const std::size_t before = pravik::getInitializationSteps().size();
        EXPECT_EQ(pravik::registerInitStep(stepA), before + 1);
        EXPECT_EQ(pravik::registerInitStep(stepB), before + 2);
        return true;
    }();
    ASSERT_TRUE(registered);

    const struct {
        bool init;   // else exit
        bool result;
        std::vector<std::string> calls;
    } kSteps[] = {
        {true, true, {"A+", "B+"}},
        {true, false, {}},
        {false, false, {}},
        {false, true, {"B-", "A-"}},
        {false, false, {}},   // unbalanced: nothing to shut down
        {true, true, {"A+", "B+"}},   // and a later init still starts everything
        {false, true, {"B-", "A-"}},
    };
    int row = 0;
    for (const auto& s : kSteps) {
        SCOPED_TRACE(row++);
        g_calls.clear();
        EXPECT_EQ(s.init ? pravik::init() : pravik::exit(), s.result);
        EXPECT_EQ(g_calls, s.calls);
    }
}

TEST(Initialization, EngineStepsGiveTheHeapsTheirLifetime)
{
    ASSERT_EQ(pravik::InitializationCount, 0);
    EXPECT_EQ(pravik::core::getProcessBufferHeapSize(), 0);
    ASSERT_TRUE(pravik::init());
    EXPECT_EQ(pravik::core::getProcessBufferHeapSize(), 65536);
    EXPECT_TRUE(pravik::core::detail::sharedStringHeapExists());
    ASSERT_TRUE(pravik::exit());
    EXPECT_EQ(pravik::core::getProcessBufferHeapSize(), 0);
    EXPECT_FALSE(pravik::core::detail::sharedStringHeapExists());
}
