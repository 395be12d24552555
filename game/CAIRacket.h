// A racket. So far its speed parameters, which the save writer and reader reset, its shield
// strength, which the reader and the erase set, and the pause of its effects.
#pragma once

#include <cstdint>

#include "game/CAIObject.h"

class CAIRacket : public CAIObject {
public:
    static void SetDefaultSpeeds();   // the speed parameters to their defaults

    bool m_enabled = true;

    static int32_t s_Racket_speed_max;
    static int32_t s_Racket_speed_go_in;
    static int32_t s_Racket_speed_go_out;
    static int32_t s_Racket_speed_INC1_end;
    static int32_t s_Racket_speed_INC1;
    static int32_t s_Racket_speed_INC;
    static int32_t s_Racket_speed_min;
    static int32_t _shieldMaxStrength;
};
