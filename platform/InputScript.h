#pragma once
// Input scripts: plain text, one event a line, "FRAME COMMAND ARGS...", frames never going back:
//     FRAME touch|move|release ID X Y    a finger, in window pixels
//     FRAME key CODE                     a key press (a screen keyboard event)
//     FRAME pause | FRAME resume         the window goes to the background / comes back
//     FRAME keyboard shown|hidden        the virtual keyboard
//     FRAME accel X Y Z                  accelerometer forces in g, held until the next accel
//     FRAME shot PATH.png                writes the frame about to be presented
//     FRAME exit                         the navigator's exit
// Blank lines and lines starting with '#' are skipped. A bad line fails the whole script with
// its line number. Headless, a script without an exit line exits a frame after its last line.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

struct ScriptEvent {
    enum class Kind { Touch, Move, Release, Key, Pause, Resume, KeyboardShown, KeyboardHidden, Accel, Shot, Exit };
    uint32_t frame = 0;
    Kind kind = Kind::Exit;
    int32_t id = 0;  // touch id, or key code
    int32_t x = 0;
    int32_t y = 0;
    double force[3] = {0, 0, 0};
    std::string path;  // shot
};

class InputScript {
public:
    // On failure error reads "line N: reason".
    static std::optional<InputScript> parse(std::string_view text, std::string& error);
    static std::optional<InputScript> load(const std::string& path, std::string& error);

    const std::vector<ScriptEvent>& events() const { return m_events; }

private:
    std::vector<ScriptEvent> m_events;
};

}  // namespace platform
