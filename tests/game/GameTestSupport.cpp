#include "tests/game/GameTestSupport.h"

#include "engine/os/Timer.h"

namespace test {

namespace {
uint64_t g_nowUs = 0;
uint64_t now() { return g_nowUs; }
}  // namespace

std::vector<Message> GameFixture::s_messages;

GameClock::GameClock()
{
    g_nowUs = 1000000;   // a start away from 0: the first frame's reading must not be 0
    pravik::os::Timer::setTimeSource(now);
}

GameClock::~GameClock() { pravik::os::Timer::setTimeSource(nullptr); }
void GameClock::setMs(uint64_t ms) { g_nowUs = ms * 1000; }
void GameClock::advanceMs(uint64_t ms) { g_nowUs += ms * 1000; }

GameFixture::GameFixture()
{
    CAIGame::ReleaseStaticData();
    game_standin::CKezManager::Destroy();
    game_standin::CVuvDevice::Get() = {};
    game_standin::CM3DRender::Get() = {};
    pad = std::make_unique<CPad>();
    CAIGame::SetKeyPad(pad.get());
    game = std::make_unique<CAIGame>();
    s_messages.clear();
    CAIGame::s_messageObserver = [](int state, int kind) { s_messages.emplace_back(state, kind); };
}

GameFixture::~GameFixture()
{
    CAIGame::s_messageObserver = nullptr;
    CAIGame::SetKeyPad(nullptr);
    CAIGame::ReleaseStaticData();
    game.reset();
    game_standin::CKezManager::Destroy();
}

std::vector<Message> GameFixture::frame(uint64_t ms)
{
    clock.advanceMs(ms);
    s_messages.clear();
    game->Game_update();
    return std::exchange(s_messages, {});
}

std::vector<Message> GameFixture::paint()
{
    s_messages.clear();
    game->Game_Paint();
    return std::exchange(s_messages, {});
}

}  // namespace test
