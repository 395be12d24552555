#pragma once
// What the game controller's tests share: an injected clock (the engine's real-time source),
// a controller built fresh for each test with every stand-in counter cleared, and a record of
// the messages the state machine sends.
// A key counts in the frame it is let go: release(key) presses and lets go.

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "game/CAIGame.h"

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

    GameClock clock;
    std::unique_ptr<CPad> pad;   // the key table the controller reads
    std::unique_ptr<CAIGame> game;
    static std::vector<Message> s_messages;
};

}  // namespace test
