#pragma once
// Enumerations of the fixed-function pipeline's shader states, with their name tables (value
// order, closed by a null entry). E_COLOR_GEN 7, a constant colour, has no name.

namespace pravik::video {

enum E_SHADE_MODEL : unsigned char { ESM_FLAT = 0, ESM_SMOOTH, ESM_COUNT };
enum E_FOG_MODE : unsigned char { EFM_NONE = 0, EFM_LINEAR, EFM_EXP, EFM_EXP2, EFM_COUNT };
enum E_RENDER_HINT : unsigned char { ERH_FASTEST = 0, ERH_NICEST, ERH_DONT_CARE, ERH_COUNT };
enum E_TEXTURE_ENV_MODE : unsigned int {
    ETEM_MODULATE = 0,
    ETEM_REPLACE,
    ETEM_DECAL,
    ETEM_BLEND,
    ETEM_ADD,
    ETEM_COMBINE,
    ETEM_COUNT
};
enum E_TEXTURE_COMBINE_MODE : unsigned char {
    ETCM_MODULATE = 0,
    ETCM_REPLACE,
    ETCM_ADD,
    ETCM_ADD_SIGNED,
    ETCM_INTERPOLATE,
    ETCM_SUBTRACT,
    ETCM_DOT3_RGB,
    ETCM_COUNT
};
enum E_TEXTURE_COMBINE_SOURCE : unsigned char {
    ETCS_TEXTURE = 0,
    ETCS_CONSTANT,
    ETCS_PREVIOUS,
    ETCS_PRIMARY_COLOR,
    ETCS_COUNT
};
enum E_TEXTURE_COMBINE_OPERAND : unsigned char {
    ETCO_SRC_COLOR = 0,
    ETCO_ONE_MINUS_SRC_COLOR,
    ETCO_SRC_ALPHA,
    ETCO_ONE_MINUS_SRC_ALPHA,
    ETCO_COUNT
};
enum E_TEX_GEN_TYPE : unsigned char { ETGT_NONE = 0, ETGT_SIMPLE_SPHERE_MAP, ETGT_SPHERE_MAP, ETGT_COUNT };
enum E_COLOR_GEN : unsigned char {
    ECG_NONE = 0,
    ECG_SKINNED_OS_DIRECTIONAL_LIGHT,
    ECG_SKINNED_OS_POINT_LIGHT,
    ECG_OS_DIRECTIONAL_LIGHT,
    ECG_OS_POINT_LIGHT,
    ECG_TS_DIRECTIONAL_LIGHT,
    ECG_TS_POINT_LIGHT,
    ECG_CONSTANT_COLOR,  // no name in the table
    ECG_COUNT
};

// Another platform's pipeline; kept with the set, read by nothing here.
enum E_PSP_TEXTURE_FUNC_MODE : unsigned char {
    EPTFM_MODULATE = 0,
    EPTFM_REPLACE,
    EPTFM_DECAL,
    EPTFM_BLEND,
    EPTFM_ADD
};
enum E_PSP_TEXTURE_FUNC_COLOR : unsigned char { EPTFC_RGB = 0, EPTFC_RGBA };
enum E_PSP_TEXTURE_MAP_MODE : unsigned char { EPTMM_UV = 0, EPTMM_PROJECTION, EPTMM_SHADE };
enum E_PSP_TEXTURE_PROJECTION_MAP_MODE : unsigned char {
    EPTPMM_POSITION = 0,
    EPTPMM_UV,
    EPTPMM_NORMALIZED_NORMAL,
    EPTPMM_NORMAL
};
enum E_PSP_LIGHT_MODE : unsigned char { EPLM_SINGLE_COLOR = 0, EPLM_SEPARATE_SPECULAR_COLOR };

const char* const* getStringsInternal(E_SHADE_MODEL*);
const char* const* getStringsInternal(E_FOG_MODE*);
const char* const* getStringsInternal(E_RENDER_HINT*);
const char* const* getStringsInternal(E_TEXTURE_ENV_MODE*);
const char* const* getStringsInternal(E_TEXTURE_COMBINE_MODE*);
const char* const* getStringsInternal(E_TEXTURE_COMBINE_SOURCE*);
const char* const* getStringsInternal(E_TEXTURE_COMBINE_OPERAND*);
const char* const* getStringsInternal(E_TEX_GEN_TYPE*);
const char* const* getStringsInternal(E_COLOR_GEN*);
const char* const* getStringsInternal(E_PSP_TEXTURE_FUNC_MODE*);
const char* const* getStringsInternal(E_PSP_TEXTURE_FUNC_COLOR*);
const char* const* getStringsInternal(E_PSP_TEXTURE_MAP_MODE*);
const char* const* getStringsInternal(E_PSP_TEXTURE_PROJECTION_MAP_MODE*);
const char* const* getStringsInternal(E_PSP_LIGHT_MODE*);

}  // namespace pravik::video
