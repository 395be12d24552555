#include "engine/core/SSharedString.h"

#include <gtest/gtest.h>

#include <string>

#include "engine/Initialization.h"
#include "tests/engine/core/RecordingLogger.h"

using pravik::core::SSharedString;
using SData = pravik::core::SSharedString::SData;

namespace {

class SharedStringTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(pravik::init()); }
    void TearDown() override { ASSERT_TRUE(pravik::exit()); }
};

} // namespace

TEST_F(SharedStringTest, Interning)
{
    {
        SSharedString a = "abc";
        SSharedString b;
        b = "abc";
        EXPECT_EQ(a, b);
        EXPECT_EQ(a.get(), b.get());
        EXPECT_EQ(a.get()->count, 2);
        EXPECT_STREQ(a.c_str(), "abc");
        SSharedString other = "abd";
        EXPECT_NE(a, other);
        EXPECT_EQ(pravik::core::detail::sharedStringHeapSize(), 2u);
        EXPECT_EQ(SData::get("abc", false), a.get());
    }
    // Both handles gone: the block left the heap, and interning again makes a new one.
    EXPECT_EQ(pravik::core::detail::sharedStringHeapSize(), 0u);
    EXPECT_EQ(SData::get("abc", false), nullptr);
    SSharedString again = "abc";
    EXPECT_EQ(again.get()->count, 1);
    EXPECT_EQ(pravik::core::detail::sharedStringHeapSize(), 1u);
}

TEST_F(SharedStringTest, EdgeTexts)
{
    const struct {
        const char* text;
        bool insert;
        bool isNull, isEmptyString;
        std::size_t heapAfter;
    } kCases[] = {
        {nullptr, true, true, false, 0},
        {"", true, false, true, 0},          // never stored
        {"never interned", false, true, false, 0},
        {"x", true, false, false, 1},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.text ? c.text : "(null)");
        SData* d = SData::get(c.text, c.insert);
        EXPECT_EQ(d == nullptr, c.isNull);
        EXPECT_EQ(d == &pravik::core::detail::EmptyString, c.isEmptyString);
        EXPECT_EQ(pravik::core::detail::sharedStringHeapSize(), c.heapAfter);
        if (d && d->count == 0)
            SData::release(d);   // nobody took a reference
    }
    SSharedString empty = "";
    EXPECT_TRUE(empty.empty());
    EXPECT_EQ(empty.get(), &pravik::core::detail::EmptyString);
}

TEST_F(SharedStringTest, ManyNamesThroughGrowth)
{
    std::vector<SSharedString> names;
    for (int i = 0; i < 2000; ++i)
        names.emplace_back(("name" + std::to_string(i)).c_str());
    for (int i = 0; i < 2000; ++i) {
        SSharedString again = ("name" + std::to_string(i)).c_str();
        ASSERT_EQ(again, names[i]);
    }
    EXPECT_EQ(pravik::core::detail::sharedStringHeapSize(), 2000u);
    names.clear();
    EXPECT_EQ(pravik::core::detail::sharedStringHeapSize(), 0u);
}

TEST(SharedStringHash, KnownValues)
{
    // Characters count as signed bytes.
    EXPECT_EQ(pravik::core::detail::sharedStringHash(""), 0u);
    EXPECT_EQ(pravik::core::detail::sharedStringHash("a"), 0x9e3779b9u + 97u);
    const std::uint32_t h1 = 0x9e3779b9u - 23u;   // 0xE9 as -23
    EXPECT_EQ(pravik::core::detail::sharedStringHash("\xE9"), h1);
}

TEST(SharedStringShutdown, LeftoverHandlesAreReportedAndStillFreeTheirBlocks)
{
    test::SLoggerScope scope;
    ASSERT_TRUE(pravik::init());
    auto* survivor = new SSharedString("kept past exit");
    ASSERT_TRUE(pravik::exit());
    EXPECT_TRUE(scope.logger().contains("Shared string objects not properly cleaned up"));
    EXPECT_STREQ(survivor->c_str(), "kept past exit");
    delete survivor;   // no heap any more: the block is simply freed (ASan would see a fault)
}
