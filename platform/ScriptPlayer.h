#pragma once
// Plays the input script named by QUENDRAX_SCRIPT: read once, on first use; a script that does
// not parse ends the process with status 2 after one line naming the file and the line.
// Events come out by frame (Clock::frames()); shots and accelerometer forces have their own
// cursors, as they are taken by the present and by the force read rather than by the pump.

#include "platform/InputScript.h"

#include <mutex>

namespace platform {

class ScriptPlayer {
public:
    static ScriptPlayer& instance();

    bool active();  // a script plays
    // The next pump event due by frame (not shots, not forces); false when none is due. With
    // impliedExit, a script without an exit line ends with one a frame after its last line.
    bool nextEvent(uint64_t frame, bool impliedExit, ScriptEvent& out);
    std::vector<std::string> shotsDue(uint64_t frame);  // each shot path once
    bool forcesAt(uint64_t frame, double force[3]);    // the last forces due, if any
    void reset();  // forgets the script; the next use reads QUENDRAX_SCRIPT again (tests)

private:
    void loadLocked();

    std::mutex m_mutex;
    bool m_loaded = false;
    bool m_active = false;
    std::vector<ScriptEvent> m_events, m_shots, m_forces;
    size_t m_nextEvent = 0, m_nextShot = 0;
    bool m_hasExit = false;
    bool m_impliedExitSent = false;
    uint64_t m_lastFrame = 0;
};

}  // namespace platform
