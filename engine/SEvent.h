// An event the device routes to receivers; copied by value. The first word is the type, the
// rest depend on it. The record lives only in memory, so its pointers have native width.
#pragma once

#include <cstdint>

#include "engine/ELogLevel.h"

namespace pravik {

enum EEVENT_TYPE : std::int32_t {
    EET_GUI_EVENT = 0,
    EET_MOUSE_INPUT_EVENT = 1,
    EET_KEY_INPUT_EVENT = 2,
    EET_LOG_TEXT_EVENT = 3,
};

enum EMOUSE_INPUT_EVENT : std::int32_t {
    EMIE_LMOUSE_PRESSED_DOWN = 0,
    EMIE_RMOUSE_PRESSED_DOWN = 1,
    EMIE_MMOUSE_PRESSED_DOWN = 2,
    EMIE_LMOUSE_LEFT_UP = 3,
    EMIE_RMOUSE_LEFT_UP = 4,
    EMIE_MMOUSE_LEFT_UP = 5,
    EMIE_MOUSE_MOVED = 6,
    EMIE_MOUSE_WHEEL = 7,
};

// Key codes follow the common virtual-key numbering (0x25 left arrow, 0x41 the A key, ...).
using EKEY_CODE = std::int32_t;

struct SEvent {
    // Pointer and wheel input in window pixels.
    struct SMouseInput {
        std::int32_t X;
        std::int32_t Y;
        float Wheel;                // wheel steps, signed by the direction of turning
        EMOUSE_INPUT_EVENT Event;
    };
    struct SKeyInput {
        wchar_t Char;
        EKEY_CODE Key;
        bool PressedDown;           // false for a release
        bool Shift;
        bool Control;
    };
    // A log message: the text (not owned, valid for the call) and its level.
    struct SLogEvent {
        const char* Text;
        ELOG_LEVEL Level;
    };
    // Pointer-free kinds keep their 32-bit words.
    struct SWords {
        std::int32_t Word[5];
    };

    EEVENT_TYPE EventType;
    union {
        SMouseInput MouseInput;
        SKeyInput KeyInput;
        SLogEvent LogEvent;
        SWords Words;
    };
};

} // namespace pravik
