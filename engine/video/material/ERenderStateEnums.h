#pragma once
// The enumerations of a render pass's fixed-function state, with their name tables (value
// order, closed by a null entry), which attribute files use to store values by name.

namespace pravik::video {

enum E_BLEND_FACTOR : unsigned char {
    EBF_ZERO = 0,
    EBF_ONE,
    EBF_SRC_COLOR,
    EBF_ONE_MINUS_SRC_COLOR,
    EBF_SRC_ALPHA,
    EBF_ONE_MINUS_SRC_ALPHA,
    EBF_DST_COLOR,
    EBF_ONE_MINUS_DST_COLOR,
    EBF_DST_ALPHA,
    EBF_ONE_MINUS_DST_ALPHA,
    EBF_CONSTANT_COLOR,
    EBF_ONE_MINUS_CONSTANT_COLOR,
    EBF_CONSTANT_ALPHA,
    EBF_ONE_MINUS_CONSTANT_ALPHA,
    EBF_SRC_ALPHA_SATURATE,
    EBF_SEPARATE,
    EBF_COUNT
};

enum E_BLEND_EQUATION : unsigned char {
    EBE_ADD = 0,
    EBE_SUBTRACT,
    EBE_REVERSE_SUBTRACT,
    EBE_MIN,
    EBE_MAX,
    EBE_SEPARATE,
    EBE_COUNT
};

enum E_FACE_SIDE : unsigned char { EFS_BACK = 0, EFS_FRONT, EFS_FRONT_AND_BACK, EFS_COUNT };

enum E_FACE_WINDING : unsigned char { EFW_CCW = 0, EFW_CW, EFW_COUNT };

// Shared with the driver's depth and alpha tests; "Separate" has no room in a render state.
enum E_COMPARE_FUNC : unsigned char {
    ECF_NEVER = 0,
    ECF_LESS,
    ECF_EQUAL,
    ECF_LEQUAL,
    ECF_GREATER,
    ECF_NOTEQUAL,
    ECF_GEQUAL,
    ECF_ALWAYS,
    ECF_SEPARATE,
    ECF_COUNT
};

enum E_POLYGON_MODE : unsigned char { EPM_FILL = 0, EPM_LINE, EPM_POINT, EPM_COUNT };

enum E_STENCIL_OP : unsigned char {
    ESO_KEEP = 0,
    ESO_ZERO,
    ESO_REPLACE,
    ESO_INCR,
    ESO_INCR_WRAP,
    ESO_DECR,
    ESO_DECR_WRAP,
    ESO_INVERT,
    ESO_SEPARATE,
    ESO_COUNT
};

const char* const* getStringsInternal(E_BLEND_FACTOR*);
const char* const* getStringsInternal(E_BLEND_EQUATION*);
const char* const* getStringsInternal(E_FACE_SIDE*);
const char* const* getStringsInternal(E_FACE_WINDING*);
const char* const* getStringsInternal(E_COMPARE_FUNC*);
const char* const* getStringsInternal(E_POLYGON_MODE*);
const char* const* getStringsInternal(E_STENCIL_OP*);

}  // namespace pravik::video
