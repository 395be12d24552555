#include "tests/game/GameTestSupport.h"

#include "audio/FileSystemInterface.h"
#include "engine/os/Timer.h"
#include "framework/AppPlaybook.h"
#include "framework/ScreenGeometry.h"
#include "platform/Pcm.h"
#include "tools/formats/SpriteWriter.h"
#include "tools/formats/TrackerModule.h"
#include "tools/formats/Wave.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <unistd.h>

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
    TraceOpen(traceDir.file("trace.txt"));
    CAIGame::ReleaseStaticData();
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
    TraceOpen("");
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

std::vector<int> GameFixture::traced(const char* what) const
{
    std::istringstream lines(readFile(traceDir.file("trace.txt")));
    std::vector<int> out;
    std::string line, word;
    while (std::getline(lines, line)) {
        std::istringstream in(line);
        int frame = 0, n = 0;
        if (in >> frame >> word >> n && word == what)
            out.push_back(n);
    }
    return out;
}

CAISprite* newAnimSprite(int anims)
{
    formats::sprites::Sprite f;
    f.addImageModule(0, 0, 0, 4, 4);
    const int frame = f.addFrame({{0, 0, 0, 0}});
    for (int i = 0; i < anims; ++i)
        f.addAnim({{frame, 1}});
    const std::vector<uint8_t> bytes = formats::sprites::Write(f);
    auto* sprite = new CAISprite;
    sprite->Load(bytes.data(), bytes.size());
    return sprite;
}

GameAudio::GameAudio(const std::vector<int>& ids)
{
    platform::PcmOptions options;
    options.backend = "null";
    platform::pcm_set_options(options);
    std::filesystem::create_directories(dir.path() / "data");
    std::snprintf(g_appPath, APP_PATH_SIZE, "%s/", dir.file("data").c_str());
    std::snprintf(m_gSavPath, APP_PATH_SIZE, "%s/", dir.file("save").c_str());
    std::vector<int16_t> tone;
    for (int i = 0; i < 22050; ++i)
        tone.push_back(int16_t(8000 * std::sin(2 * M_PI * 440 * i / 22050)));
    for (int id : ids) {
        const std::string path = CKezManager::CachePath(id);
        const bool music = path.size() > 3 && path.compare(path.size() - 3, 3, ".it") == 0;
        dir.write(std::filesystem::relative(path, dir.path()).string(),
                  music ? formats::tracker::tinyProTrackerModule() : formats::wave::pcm16(tone, 1, 22050));
    }
    CKezManager::DeleteInstance();
    kez().EnableKez(true);
    kez().Init();
}

GameAudio::~GameAudio()
{
    kez().Destroy();
    CKezManager::DeleteInstance();
    kez::FileSystemInterface::DestroyInstance();
    platform::pcm_set_options(platform::PcmOptions());
    g_appPath[0] = m_gSavPath[0] = 0;
}

GameDevice::GameDevice()
{
    char cwd[4096];
    if (getcwd(cwd, sizeof cwd))
        m_oldDir = cwd;
    ScreenGeometry_SetMode(RESOLUTION_MODE_600X1024);
    std::filesystem::create_directories(dir.path() / "app/native/data");
    std::snprintf(g_appPath, APP_PATH_SIZE, "%s/", dir.file("app/native/data").c_str());
    if (m_context.ok())
        m_device = new CVuvDevice(600, 1024);
}

GameDevice::~GameDevice()
{
    delete m_device;
    g_appPath[0] = 0;
    if (!m_oldDir.empty() && chdir(m_oldDir.c_str()) != 0)
        std::perror("chdir");
}

}  // namespace test
