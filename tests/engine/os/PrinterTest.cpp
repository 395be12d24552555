#include "engine/os/Printer.h"

#include <gtest/gtest.h>

#include "tests/engine/core/RecordingLogger.h"

using pravik::os::Printer;

TEST(Printer, WithoutLoggerEverythingIsDropped)
{
    ASSERT_EQ(Printer::Logger, nullptr);
    EXPECT_EQ(Printer::getLogLevel(), pravik::ELL_NONE);
    EXPECT_EQ(int(Printer::getLogLevel()), 4);
    Printer::log("a", pravik::ELL_ERROR);
    Printer::log("a", "b", pravik::ELL_ERROR);
    Printer::log(L"a", pravik::ELL_ERROR);
    Printer::logf("%d", 1);
    Printer::setLogLevel(pravik::ELL_ERROR);
    Printer::print("%s", "no console");
    EXPECT_EQ(Printer::getLogLevel(), pravik::ELL_NONE);
}

TEST(Printer, ForwardsEveryFormToTheInstalledLogger)
{
    test::SLoggerScope scope;
    Printer::log("plain", pravik::ELL_WARNING);
    Printer::log("text", "hint", pravik::ELL_ERROR);
    Printer::log(L"wide", pravik::ELL_INFORMATION);
    Printer::logf("n=%d", 5);
    Printer::logf(pravik::ELL_ERROR, "%s%%", "x");
    Printer::setLogLevel(pravik::ELL_WARNING);
    EXPECT_EQ(Printer::getLogLevel(), pravik::ELL_WARNING);

    const auto& m = scope.logger().messages();
    ASSERT_EQ(m.size(), 5u);
    const struct {
        const char* text;
        pravik::ELOG_LEVEL level;
    } kExpected[] = {{"plain", pravik::ELL_WARNING}, {"text: hint", pravik::ELL_ERROR},
                     {"wide", pravik::ELL_INFORMATION}, {"n=5", pravik::ELL_INFORMATION}, {"x%", pravik::ELL_ERROR}};
    for (size_t i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(m[i].text, kExpected[i].text);
        EXPECT_EQ(m[i].level, kExpected[i].level);
    }
}
