#include <gtest/gtest.h>

#include "engine/CCursorControl.h"
#include "engine/COSOperator.h"

TEST(COSOperator, VersionOnlyAndNoHardwareFigures)
{
    auto* os = new pravik::COSOperator("5.15 \xe9");
    EXPECT_EQ(os->getReferenceCount(), 1);
    const wchar_t expected[] = {L'5', L'.', L'1', L'5', L' ', wchar_t(0xFFFFFFE9u), 0};
    EXPECT_STREQ(os->getOperationSystemVersion(), expected);
    unsigned mhz = 123, total = 4, available = 5;
    EXPECT_FALSE(os->getProcessorSpeedMHz(&mhz));
    EXPECT_FALSE(os->getSystemMemory(&total, &available));
    EXPECT_EQ(mhz, 123u);
    EXPECT_EQ(total, 4u);
    EXPECT_EQ(available, 5u);
    EXPECT_EQ(os->getTextFromClipboard(), nullptr);
    os->copyToClipboard("x");
    EXPECT_TRUE(os->drop());
    pravik::COSOperator none(nullptr);
    EXPECT_STREQ(none.getOperationSystemVersion(), L"");
}

TEST(CCursorControl, RelativePositions)
{
    pravik::CCursorControl cursor({600, 1024}, nullptr);
    EXPECT_TRUE(cursor.isVisible());
    cursor.setPosition(0.5f, 0.5f);
    EXPECT_EQ(cursor.getPosition(), pravik::core::position2d<int>(300, 512));
    EXPECT_EQ(cursor.getRelativePosition(), pravik::core::position2d<float>(0.5f, 0.5f));
    cursor.setPosition(pravik::core::position2d<float>(0.999f, 0.0f));
    EXPECT_EQ(cursor.getPosition(), pravik::core::position2d<int>(599, 0));   // truncated
    cursor.setPosition(pravik::core::position2d<int>(10, 20));
    EXPECT_EQ(cursor.getPosition(), pravik::core::position2d<int>(10, 20));

    pravik::CCursorControl noWindow({0, 0}, nullptr);
    noWindow.setPosition(7, 9);
    EXPECT_EQ(noWindow.getRelativePosition(), pravik::core::position2d<float>(0.f, 0.f));
}

TEST(CCursorControl, ReferenceRectangle)
{
    const struct {
        pravik::core::recti in, stored;
    } kCases[] = {
        {{10, 20, 110, 121}, {10, 20, 110, 122}},   // odd height grows, even width stays
        {{0, 0, 0, 0}, {0, 0, 1, 1}},               // empty sides grow
        {{0, 0, 51, 40}, {0, 0, 52, 40}},
    };
    pravik::CCursorControl cursor({600, 1024}, nullptr);
    for (auto c : kCases) {
        SCOPED_TRACE(c.in.LowerRightCorner.X);
        cursor.setReferenceRect(&c.in);
        EXPECT_TRUE(cursor.usesReferenceRect());
        EXPECT_EQ(cursor.getReferenceRect(), c.stored);
    }
    pravik::core::recti r(10, 20, 110, 220);
    cursor.setReferenceRect(&r);
    cursor.setPosition(50, 50);
    EXPECT_EQ(cursor.getRelativePosition(), pravik::core::position2d<float>(0.5f, 0.25f));   // not shifted
    cursor.setReferenceRect(nullptr);
    EXPECT_FALSE(cursor.usesReferenceRect());
}
