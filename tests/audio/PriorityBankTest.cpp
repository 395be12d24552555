#include "audio/PriorityBankManager.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "audio/EmitterObj.h"

namespace {

using kez::EmitterObj;
using kez::PriorityBankBehavior;
using kez::PriorityBankManager;

// An emitter with no cursor or driver source: enough for the banks, which read its priority and
// play state and stop their victims.
std::unique_ptr<EmitterObj> emitter(int priority) {
    auto e = std::make_unique<EmitterObj>(1, priority, 0, 0, nullptr, nullptr, nullptr);
    e->Play(0.0f);  // target state playing
    return e;
}

struct Admission {
    bool admitted;
    int victim;  // index among the earlier emitters that was stopped, or -1
};

// Plays the priorities in order into bank 0 configured (0, max, behaviour); reports the last one.
Admission playInto(int behavior, int max, const std::vector<int>& priorities) {
    PriorityBankManager banks(5);
    EXPECT_TRUE(banks.SetPriorityBank(0, 0, max, PriorityBankBehavior(behavior)));
    std::vector<std::unique_ptr<EmitterObj>> es;
    for (int p : priorities) es.push_back(emitter(p));
    for (size_t i = 0; i + 1 < es.size(); ++i) {
        if (banks.AddEmitter(0, es[i].get())) es[i]->SetInPriorityBank(true);
    }
    Admission a{banks.AddEmitter(0, es.back().get()), -1};
    for (size_t i = 0; i + 1 < es.size(); ++i)
        if (es[i]->GetTargetState() == 3) a.victim = int(i);
    return a;
}

TEST(PriorityBanks, FullBankStopsOrReplacesByPriorityAndBehaviour) {
    const struct { const char* why; int behavior, max; std::vector<int> priorities; Admission expected; } kCases[] = {
        {"behaviour 2, equal priority replaces the oldest", 2, 2, {200, 200, 200}, {true, 0}},
        {"behaviour 1, equal priority is refused", 1, 2, {200, 200, 200}, {false, -1}},
        {"behaviour 1, higher priority replaces the first", 1, 2, {200, 200, 201}, {true, 0}},
        {"behaviour 2, earliest of the lowest", 2, 3, {500, 200, 200, 300}, {true, 1}},
        {"behaviour 2, nothing at or below", 2, 2, {500, 700, 300}, {false, -1}},
        {"behaviour 0 replaces the oldest", 0, 2, {900, 100, 5}, {true, 0}},
        {"behaviour 3 refuses", 3, 1, {100, 900}, {false, -1}},
        {"below the minimum even when empty", 3, 5, {-5}, {false, -1}},
        {"room left", 3, 2, {100, 100}, {true, -1}},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.why);
        const Admission a = playInto(c.behavior, c.max, c.priorities);
        EXPECT_EQ(a.admitted, c.expected.admitted);
        EXPECT_EQ(a.victim, c.expected.victim);
    }
}

TEST(PriorityBanks, BankNumbersDefaultsAndCleanUp) {
    PriorityBankManager banks(5);
    EXPECT_FALSE(banks.SetPriorityBank(5, 0, 1, PriorityBankBehavior(2)));
    EXPECT_FALSE(banks.SetPriorityBank(-1, 0, 1, PriorityBankBehavior(2)));
    auto low = emitter(-2147483647);
    EXPECT_TRUE(banks.AddEmitter(1, low.get()));  // a bank at its initial values admits everything
    auto other = emitter(0);
    EXPECT_FALSE(banks.AddEmitter(7, other.get()));

    ASSERT_TRUE(banks.SetPriorityBank(0, 0, 1, PriorityBankBehavior(3)));
    auto a = emitter(10), b = emitter(10);
    ASSERT_TRUE(banks.AddEmitter(0, a.get()));
    a->SetInPriorityBank(true);
    EXPECT_FALSE(banks.AddEmitter(0, b.get()));
    a->Stop(0.0f);  // a finished emitter no longer plays...
    banks.Update();  // ...and the next clean-up frees its place
    EXPECT_FALSE(a->IsInPriorityBank());
    EXPECT_EQ(banks.EntryCount(0), 0);
    EXPECT_TRUE(banks.AddEmitter(0, b.get()));
}

}  // namespace
