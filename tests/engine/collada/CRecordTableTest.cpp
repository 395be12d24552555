#include "engine/collada/CRecordTable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <random>
#include <vector>

namespace pravik::collada {
namespace {

// The table against a std::map fed the same insertions, in the orders records come in.
TEST(CRecordTableTest, AgreesWithAMapInAnyOrder)
{
    std::mt19937 rng(7);
    std::vector<uint32_t> refs;
    for (uint32_t i = 1; i <= 3000; ++i) refs.push_back(i * 4);  // records lie 4-byte aligned
    refs.push_back(0x80000004u);  // a record of a dependency
    const struct {
        const char* why;
        void (*order)(std::vector<uint32_t>&, std::mt19937&);
        size_t reserved;
    } kOrders[] = {
        {"ascending", [](std::vector<uint32_t>&, std::mt19937&) {}, 0},
        {"descending", [](std::vector<uint32_t>& r, std::mt19937&) { std::reverse(r.begin(), r.end()); }, 0},
        {"shuffled", [](std::vector<uint32_t>& r, std::mt19937& g) { std::shuffle(r.begin(), r.end(), g); }, 0},
        {"shuffled, room made for a third", [](std::vector<uint32_t>& r, std::mt19937& g) { std::shuffle(r.begin(), r.end(), g); }, 1000},
    };
    for (const auto& o : kOrders) {
        SCOPED_TRACE(o.why);
        std::vector<uint32_t> order = refs;
        o.order(order, rng);
        CRecordTable<int> table;
        table.reserve(o.reserved);
        std::map<uint32_t, int> plain;
        for (size_t k = 0; k < order.size(); ++k) {
            // Every third one is stored twice: the second value replaces the first.
            const int value = int(k);
            ASSERT_EQ(*table.insert(order[k], value), value);
            plain[order[k]] = value;
            if (k % 3 == 0) {
                table.insert(order[k], -value);
                plain[order[k]] = -value;
            }
        }
        EXPECT_EQ(table.size(), plain.size());
        for (const auto& [ref, value] : plain) {
            const int* found = table.find(ref);
            ASSERT_NE(found, nullptr) << ref;
            EXPECT_EQ(*found, value) << ref;
            EXPECT_EQ(table.find(ref + 1), nullptr);  // between records
        }
        std::map<uint32_t, int> visited;
        table.forEach([&](uint32_t ref, int& value) { EXPECT_TRUE(visited.emplace(ref, value).second); });
        EXPECT_EQ(visited, plain);
    }
}

TEST(CRecordTableTest, ReferenceZeroIsNeverStoredAndClearLetsGo)
{
    CRecordTable<std::shared_ptr<int>> table;
    EXPECT_EQ(table.find(4), nullptr);  // nothing allocated yet
    EXPECT_EQ(table.insert(0, std::make_shared<int>(1)), nullptr);
    EXPECT_EQ(table.find(0), nullptr);
    EXPECT_TRUE(table.empty());

    auto held = std::make_shared<int>(2);
    for (uint32_t ref = 4; ref <= 400; ref += 4) table.insert(ref, held);
    EXPECT_EQ(held.use_count(), 101);  // the table's copies, moved and not duplicated as it grows
    table.clear();
    EXPECT_EQ(held.use_count(), 1);
    EXPECT_TRUE(table.empty());
    EXPECT_EQ(table.find(4), nullptr);
    table.insert(8, held);
    EXPECT_EQ(*table.find(8), held);
}

}  // namespace
}  // namespace pravik::collada
