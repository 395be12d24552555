// An event the device routes to receivers; copied by value. The first word is the type, the
// rest depend on it. The record lives only in memory, so its pointers have native width.
#pragma once

#include <cstdint>

#include "engine/ELogLevel.h"

namespace pravik {

namespace gui {
class IGUIElement;
}

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

// The key codes the GUI names.
enum : EKEY_CODE {
    KEY_BACK = 0x08,
    KEY_TAB = 0x09,
    KEY_RETURN = 0x0D,
    KEY_SHIFT = 0x10,
    KEY_ESCAPE = 0x1B,
    KEY_SPACE = 0x20,
    KEY_PRIOR = 0x21,
    KEY_NEXT = 0x22,
    KEY_END = 0x23,
    KEY_HOME = 0x24,
    KEY_LEFT = 0x25,
    KEY_UP = 0x26,
    KEY_RIGHT = 0x27,
    KEY_DOWN = 0x28,
    KEY_DELETE = 0x2E,
    KEY_KEY_A = 0x41,
    KEY_KEY_C = 0x43,
    KEY_KEY_N = 0x4E,
    KEY_KEY_V = 0x56,
    KEY_KEY_X = 0x58,
    KEY_KEY_Y = 0x59,
    KEY_F1 = 0x70,
    KEY_F24 = 0x87,
};

struct SEvent {
    // A GUI event: the element it is about, a second element (or null) and the kind
    // (gui::EGUI_EVENT_TYPE).
    struct SGUIEvent {
        gui::IGUIElement* Caller;
        gui::IGUIElement* Element;
        std::int32_t EventType;
    };
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
        SGUIEvent GUIEvent;
        SMouseInput MouseInput;
        SKeyInput KeyInput;
        SLogEvent LogEvent;
        SWords Words;
    };
};

} // namespace pravik
