#include "framework/SoundTable.h"

const char* const SOUND_FILE_NAMES[SOUND_COUNT] = {
    "",  // 0
    "3/Music/m_title.it",  // 1
    "3/Music/m_title.it",  // 2
    "3/Music/m_title.it",  // 3
    "3/Music/bgm_1.it",  // 4
    "3/Music/bgm_2.it",  // 5
    "3/Music/bgm_4.it",  // 6
    "3/Music/bgm_1.it",  // 7
    "3/Music/bgm_2.it",  // 8
    "3/Music/bgm_4.it",  // 9
    "3/Music/bgm_1.it",  // 10
    "3/Music/bgm_2.it",  // 11
    "3/Music/bgm_4.it",  // 12
    "3/Music/bgm_1.it",  // 13
    "3/Music/bgm_2.it",  // 14
    "3/Music/bgm_4.it",  // 15
    "3/Music/m_win.it",  // 16
    "3/Music/bgm_1.it",  // 17
    "3/Music/m_game_over.it",  // 18
    "",  // 19
    "",  // 20
    "3/sfx_absorption.wav",  // 21
    "3/sfx_enemy_hit.wav",  // 22
    "3/sfx_bonus.wav",  // 23
    "3/sfx_malus.wav",  // 24
    "3/sfx_pad_enlarge.wav",  // 25
    "3/sfx_pad_shrink.wav",  // 26
    "3/sfx_player_die.wav",  // 27
    "3/sfx_power_up_grabbed.wav",  // 28
    "3/sfx_laser_blast.wav",  // 29
    "3/sfx_extra_life.wav",  // 30
    "3/sfx_fireball.wav",  // 31
    "3/sfx_force_field.wav",  // 32
    "3/sfx_ball_hits_star.wav",  // 33
    "3/sfx_ball_locked.wav",  // 34
    "3/sfx_multi_ball.wav",  // 35
    "3/sfx_shield.wav",  // 36
    "3/sfx_speed.wav",  // 37
    "3/sfx_vortex.wav",  // 38
    "3/sfx_barrier_closes.wav",  // 39
    "3/sfx_barrier_opens.wav",  // 40
    "3/sfx_explosion.wav",  // 41
    "3/sfx_force_waves.wav",  // 42
    "3/sfx_jump.wav",  // 43
    "3/sfx_pickup_star.wav",  // 44
    "3/sfx_slow_down.wav",  // 45
    "3/sfx_special_brick.wav",  // 46
    "3/sfx_monster_hit.wav",  // 47
    "3/sfx_repulsion.wav",  // 48
    "3/sfx_brick_destroy.wav",  // 49
    "3/sfx_brick_ice.wav",  // 50
    "3/sfx_brick_normal_hit.wav",  // 51
    "3/sfx_brick_wall.wav",  // 52
    "3/sfx_bricks_melt.wav",  // 53
    "3/sfx_boing.wav",  // 54
    "3/sfx_electric_buzz.wav",  // 55
    "3/SFX/interface/sfx_menu_confirm",  // 56
    "3/SFX/interface/sfx_menu_back",  // 57
    "3/SFX/interface/sfx_menu_browse",  // 58
    "3/SFX/interface/sfx_menu_confirm",  // 59
    "3/SFX/interface/sfx_menu_confirm_short",  // 60
    "3/SFX/interface/sfx_menu_browse",  // 61
    "3/SFX/interface/sfx_forbid",  // 62
    "3/SFX/interface/sfx_score_count",  // 63
    "3/SFX/interface/sfx_score_count_end",  // 64
    "3/SFX/interface/sfx_buy",  // 65
    "",  // 66
    "",  // 67
    "3/SFX/interface/sfx_game_begin",  // 68
    "3/SFX/interface/sfx_dialog_skip",  // 69
    "3/SFX/interface/sfx_store_addon_use",  // 70
    "3/SFX/interface/sfx_fire_work",  // 71
    "3/SFX/interface/sfx_slot_machine_loop",  // 72
    "3/SFX/interface/sfx_slot_machine_loop_end",  // 73
    "3/SFX/object_npc/sfx_barrier_closes",  // 74
    "3/SFX/object_npc/sfx_barrier_opens",  // 75
    "3/SFX/object_npc/sfx_monster_hit",  // 76
    "3/SFX/object_npc/sfx_jetpack_fly",  // 77
    "3/SFX/object_npc/sfx_absorb",  // 78
    "3/SFX/object_npc/sfx_boss_eat",  // 79
    "3/SFX/object_npc/sfx_bosses_hit",  // 80
    "3/SFX/object_npc/sfx_boing",  // 81
    "3/SFX/object_npc/sfx_mouth_hit",  // 82
    "3/SFX/object_npc/sfx_dribble",  // 83
    "3/SFX/object_npc/sfx_boss_2_scream",  // 84
    "3/SFX/object_npc/sfx_boss_3_hit",  // 85
    "3/SFX/object_npc/sfx_boss_3_attack",  // 86
    "",  // 87
    "",  // 88
    "",  // 89
    "3/SFX/object_npc/sfx_vortex",  // 90
    "3/SFX/object_npc/sfx_npc_laser",  // 91
    "3/SFX/object_npc/sfx_npc_sphere_hit",  // 92
    "3/SFX/object_npc/sfx_boss_4_laser_beam",  // 93
    "3/SFX/object_npc/sfx_boss_4_spinning_balls",  // 94
    "3/SFX/object_npc/sfx_boss_4_spinning_balls_tail",  // 95
    "3/SFX/object_npc/sfx_boss_6_electric_buzz",  // 96
    "3/SFX/object_npc/sfx_boss_7_bat_appears",  // 97
    "3/SFX/ingame/sfx_brick_hits_pad",  // 98
    "3/SFX/ingame/sfx_ball_hits_star",  // 99
    "3/SFX/ingame/sfx_ball_locked",  // 100
    "3/SFX/ingame/sfx_ball_unlocked",  // 101
    "3/SFX/ingame/sfx_explosion",  // 102
    "3/SFX/ingame/sfx_ball_die",  // 103
    "3/SFX/ingame/sfx_player_die",  // 104
    "3/SFX/ingame/sfx_brick_destroy",  // 105
    "3/SFX/ingame/sfx_brick_destroy_group",  // 106
    "3/SFX/ingame/sfx_brick_normal_hit",  // 107
    "3/SFX/ingame/sfx_ball_bounce_normal",  // 108
    "3/SFX/ingame/sfx_ball_bounce_slow",  // 109
    "3/SFX/ingame/sfx_ball_bounce_fast",  // 110
    "3/SFX/ingame/sfx_shield_ball_bounce",  // 111
    "3/SFX/ingame/sfx_pad_return",  // 112
    "3/SFX/ingame/sfx_slide",  // 113
    "3/SFX/ingame/sfx_small_star",  // 114
    "3/SFX/ingame/sfx_speed",  // 115
    "3/SFX/ingame/sfx_bricks_melt",  // 116
    "3/SFX/ingame/sfx_cannon_ball_impact",  // 117
    "3/SFX/ingame/sfx_fire_ball_whoosh_1",  // 118
    "3/SFX/ingame/sfx_fire_ball_whoosh_2",  // 119
    "3/SFX/ingame/sfx_freeze_ball_whoosh_1",  // 120
    "3/SFX/ingame/sfx_freeze_ball_whoosh_2",  // 121
    "3/SFX/ingame/sfx_high_speed_loop",  // 122
    "3/SFX/bonus/sfx_bonus",  // 123
    "3/SFX/bonus/sfx_pad_enlarge",  // 124
    "3/SFX/bonus/sfx_absorption",  // 125
    "",  // 126
    "3/SFX/bonus/sfx_power_up_grabbed",  // 127
    "3/SFX/bonus/sfx_extra_life",  // 128
    "",  // 129
    "3/SFX/bonus/sfx_force_field",  // 130
    "",  // 131
    "3/SFX/bonus/sfx_gun_shooting",  // 132
    "3/SFX/bonus/sfx_laser_shooter",  // 133
    "3/SFX/bonus/sfx_magnet_shoot",  // 134
    "",  // 135
    "",  // 136
    "3/SFX/bonus/sfx_force_wave_emit",  // 137
    "3/SFX/bonus/sfx_pickup_anti_malus",  // 138
    "3/SFX/bonus/sfx_pickup_ball_absorber",  // 139
    "3/SFX/bonus/sfx_pickup_ball_controller",  // 140
    "3/SFX/bonus/sfx_pickup_big_ball",  // 141
    "3/SFX/bonus/sfx_pickup_cannon_ball",  // 142
    "3/SFX/bonus/sfx_pickup_explosive_ball",  // 143
    "3/SFX/bonus/sfx_pickup_extra_time",  // 144
    "3/SFX/bonus/sfx_pickup_fire_ball",  // 145
    "3/SFX/bonus/sfx_pickup_force_field",  // 146
    "3/SFX/bonus/sfx_pickup_force_wave",  // 147
    "3/SFX/bonus/sfx_pickup_freeze_ball",  // 148
    "3/SFX/bonus/sfx_pickup_golden_ball",  // 149
    "3/SFX/bonus/sfx_pickup_jetpack",  // 150
    "3/SFX/bonus/sfx_pickup_laser",  // 151
    "3/SFX/bonus/sfx_pickup_laser_ball",  // 152
    "3/SFX/bonus/sfx_pickup_magnet",  // 153
    "3/SFX/bonus/sfx_pickup_melter",  // 154
    "3/SFX/bonus/sfx_pickup_money",  // 155
    "3/SFX/bonus/sfx_pickup_multi_ball",  // 156
    "3/SFX/bonus/sfx_pickup_pad_enlarge",  // 157
    "3/SFX/bonus/sfx_pickup_radar",  // 158
    "3/SFX/bonus/sfx_pickup_shield",  // 159
    "3/SFX/bonus/sfx_pickup_slow_ball",  // 160
    "3/SFX/bonus/sfx_pickup_sniper",  // 161
    "3/SFX/bonus/sfx_pickup_transfomation_field",  // 162
    "3/SFX/bonus/sfx_bonus_supernova_explosion",  // 163
    "3/SFX/malus/sfx_high_speed",  // 164
    "3/SFX/malus/sfx_unstable_ball",  // 165
    "",  // 166
    "3/SFX/malus/sfx_pad_wrong",  // 167
    "3/SFX/malus/sfx_pad_small",  // 168
    "3/SFX/malus/sfx_pad_blink_disappear",  // 169
    "3/SFX/malus/sfx_pad_blink_reappear",  // 170
    "3/SFX/malus/sfx_pad_powerdown",  // 171
    "3/SFX/malus/sfx_malus_blink",  // 172
    "3/SFX/malus/sfx_malus_crazy_ball",  // 173
    "3/SFX/malus/sfx_malus_fast_ball",  // 174
    "3/SFX/malus/sfx_malus_hot_ball",  // 175
    "3/SFX/malus/sfx_malus_pad_slow_down",  // 176
    "3/SFX/malus/sfx_malus_pad_small",  // 177
    "3/SFX/malus/sfx_malus_precision_lost",  // 178
    "3/SFX/malus/sfx_malus_small_ball",  // 179
};

const int SOUND_BANK_SIZES[SOUND_BANK_COUNT] = {2, 4, 4, 3, 4};

int SoundBankOf(int id)
{
    if ((id >= 1 && id <= 11) || (id >= 16 && id <= 18))
        return 0;
    switch (id) {
    case 22: case 49: case 50: case 51: case 80: case 82: case 85:
    case 105: case 107: case 114: case 116: case 117:
        return 1;
    case 99: case 100: case 101: case 102: case 103: case 104:
    case 111: case 113: case 115: case 164:
        return 2;
    case 90: case 98: case 108: case 109: case 110:
        return 3;
    default:
        return 4;
    }
}
