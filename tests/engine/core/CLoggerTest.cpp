#include "engine/CLogger.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct SReceiver : pravik::IEventReceiver {
    bool take = true;
    std::vector<std::pair<std::string, pravik::ELOG_LEVEL>> seen;
    bool onEvent(const pravik::SEvent& e) override
    {
        EXPECT_EQ(e.EventType, pravik::EET_LOG_TEXT_EVENT);
        seen.emplace_back(e.LogEvent.Text, e.LogEvent.Level);
        return take;
    }
};

} // namespace

TEST(CLogger, LevelFilterAndTheFormsOfAMessage)
{
    SReceiver receiver;
    auto* logger = new pravik::CLogger(&receiver);
    EXPECT_EQ(logger->getLogLevel(), pravik::ELL_INFORMATION);
    logger->setLogLevel(pravik::ELL_WARNING);

    const struct {
        const char* why;
        void (*send)(pravik::CLogger&);
        const char* text;   // null: dropped
        pravik::ELOG_LEVEL level;
    } kCases[] = {
        {"below the level", [](pravik::CLogger& l) { l.log("info", pravik::ELL_INFORMATION); }, nullptr, {}},
        {"at the level", [](pravik::CLogger& l) { l.log("warn", pravik::ELL_WARNING); }, "warn", pravik::ELL_WARNING},
        {"text and hint", [](pravik::CLogger& l) { l.log("a", "b", pravik::ELL_ERROR); }, "a: b", pravik::ELL_ERROR},
        {"a percent sign is data", [](pravik::CLogger& l) { l.log("100%s", pravik::ELL_ERROR); }, "100%s", pravik::ELL_ERROR},
        {"formatted", [](pravik::CLogger& l) { l.logf(pravik::ELL_ERROR, "%d-%s", 7, "x"); }, "7-x", pravik::ELL_ERROR},
        {"wide", [](pravik::CLogger& l) { l.log(L"w\u00e9", pravik::ELL_ERROR); }, "w\xe9", pravik::ELL_ERROR},
        {"wide with hint", [](pravik::CLogger& l) { l.log(L"c", L"d", pravik::ELL_ERROR); }, "c: d", pravik::ELL_ERROR},
        {"wide below the level", [](pravik::CLogger& l) { l.log(L"c", L"d", pravik::ELL_INFORMATION); }, nullptr, {}},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.why);
        receiver.seen.clear();
        c.send(*logger);
        if (!c.text) {
            EXPECT_TRUE(receiver.seen.empty());
            continue;
        }
        ASSERT_EQ(receiver.seen.size(), 1u);
        EXPECT_EQ(receiver.seen[0].first, c.text);
        EXPECT_EQ(receiver.seen[0].second, c.level);
    }

    // A receiver that declines lets the message through to the printer (which has no sink).
    receiver.take = false;
    receiver.seen.clear();
    logger->logf(pravik::ELL_ERROR, "%s", "declined");
    EXPECT_EQ(receiver.seen.size(), 1u);
    logger->setReceiver(nullptr);
    logger->log("nobody", pravik::ELL_ERROR);
    EXPECT_EQ(receiver.seen.size(), 1u);
    EXPECT_TRUE(logger->drop());
}

TEST(CLogger, LongFormattedMessagesAreCutTo3997Characters)
{
    SReceiver receiver;
    pravik::CLogger* logger = new pravik::CLogger(&receiver);
    const std::string big(5000, 'z');
    logger->logf(pravik::ELL_ERROR, "%s", big.c_str());
    ASSERT_EQ(receiver.seen.size(), 1u);
    EXPECT_EQ(receiver.seen[0].first.size(), 3997u);
    logger->drop();
}
