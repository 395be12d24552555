#pragma once
// What the game controller's tests share: an injected clock (the engine's real-time source),
// a controller built fresh for each test with its run traced into a file of its own, a record
// of the messages the state machine sends, animated sprites for players, the sound facade
// playing into the null output, and the render device on a headless GL context.
// A key counts in the frame it is let go: release(key) presses and lets go.

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "game/CAIGame.h"
#include "tests/engine/video/GLTestContext.h"
#include "tests/support/TempDir.h"

namespace test {

// The engine clock reads this; tests move it.
class GameClock {
public:
    GameClock();
    ~GameClock();
    void setMs(uint64_t ms);
    void advanceMs(uint64_t ms);
};

using Message = std::pair<int, int>;   // (state, kind)

class GameFixture {
public:
    GameFixture();
    ~GameFixture();

    // One update frame after ms milliseconds; returns the messages sent in it.
    std::vector<Message> frame(uint64_t ms = 16);
    std::vector<Message> paint();
    void release(int key) { pad->KeyClick(key, true), pad->KeyClick(key, false); }
    // The numbers of the trace lines "FRAME what N" written so far, in order ("music", "sound").
    std::vector<int> traced(const char* what) const;

    TempDir traceDir;
    GameClock clock;
    std::unique_ptr<CPad> pad;   // the key table the controller reads
    std::unique_ptr<CAIGame> game;
    static std::vector<Message> s_messages;
};

// A sprite of `anims` animations, each of one 33 ms frame; counted (the caller's reference).
CAISprite* newAnimSprite(int anims);

// The sound facade enabled and initialised over the null output, with the music and effects
// `ids` cached in a save folder of its own (a tracker module for music ids, a tone otherwise).
class GameAudio {
public:
    explicit GameAudio(const std::vector<int>& ids = {1, 12, 56, 60});
    ~GameAudio();
    CKezManager& kez() const { return *CKezManager::GetInstance(); }

    TempDir dir;
};

// The render device at the screen's size on a headless GL context, over an empty data folder;
// the working directory is put back afterwards.
class GameDevice {
public:
    GameDevice();
    ~GameDevice();
    bool ok() const { return m_context.ok() && m_device && m_device->IsValid(); }
    CVuvDevice& device() const { return *m_device; }

    TempDir dir;

private:
    pravik::video::test::GLTestContext m_context{600, 1024};
    CVuvDevice* m_device = nullptr;
    std::string m_oldDir;
};

}  // namespace test
