#include "game/CAIRacket.h"

int32_t CAIRacket::s_Racket_speed_max = 0x5600;
int32_t CAIRacket::s_Racket_speed_go_in = 0x3000;
int32_t CAIRacket::s_Racket_speed_go_out = 0x3000;
int32_t CAIRacket::s_Racket_speed_INC1_end = 0x700;
int32_t CAIRacket::s_Racket_speed_INC1 = 0x400;
int32_t CAIRacket::s_Racket_speed_INC = 0x900;
int32_t CAIRacket::s_Racket_speed_min = 0x900;
int32_t CAIRacket::_shieldMaxStrength = 4;

void CAIRacket::SetDefaultSpeeds()
{
    s_Racket_speed_max = 0x5600;
    s_Racket_speed_go_in = 0x3000;
    s_Racket_speed_go_out = 0x3000;
    s_Racket_speed_INC1_end = 0x700;
    s_Racket_speed_INC1 = 0x400;
    s_Racket_speed_INC = 0x900;
    s_Racket_speed_min = 0x900;
}
