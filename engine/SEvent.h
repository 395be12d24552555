// An event the device routes to receivers; copied by value. The first word is the type, the
// rest depend on it. Only the kinds the core sends are declared here so far.
#pragma once

#include <cstdint>

#include "engine/ELogLevel.h"

namespace pravik {

enum EEVENT_TYPE : std::int32_t {
    EET_LOG_TEXT_EVENT = 3,
};

struct SEvent {
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
        SLogEvent LogEvent;
        SWords Words;
    };
};

} // namespace pravik
