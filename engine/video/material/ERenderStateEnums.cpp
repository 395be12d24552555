#include "engine/video/material/ERenderStateEnums.h"

namespace pravik::video {

namespace {

const char* const kBlendFactorNames[] = {"Zero",
                                         "One",
                                         "Source Color",
                                         "1 - Source Color",
                                         "Source Alpha",
                                         "1 - Source Alpha",
                                         "Destination Color",
                                         "1 - Destination Color",
                                         "Destination Alpha",
                                         "1 - Destination Alpha",
                                         "Constant Color",
                                         "1 - Constant Color",
                                         "Constant Alpha",
                                         "1 - Constant Alpha",
                                         "Source Alpha Saturate",
                                         "Separate",
                                         nullptr};
const char* const kBlendEquationNames[] = {"Add",      "Subtract", "Reverse Subtract", "Min", "Max",
                                           "Separate", nullptr};
const char* const kFaceSideNames[] = {"Back", "Front", "Front and Back", nullptr};
const char* const kFaceWindingNames[] = {"Counterclockwise", "Clockwise", nullptr};
const char* const kCompareFuncNames[] = {
    "Never",  "Less",     "Equal", "Less or Equal", "Greater", "Not Equal", "Greater or Equal",
    "Always", "Separate", nullptr};
const char* const kPolygonModeNames[] = {"Fill", "Line", "Point", nullptr};
const char* const kStencilOpNames[] = {"Keep",           "Zero",      "Replace",        "Increment",
                                       "Increment Wrap", "Decrement", "Decrement Wrap", "Invert",
                                       "Separate",       nullptr};

}  // namespace

const char* const* getStringsInternal(E_BLEND_FACTOR*) { return kBlendFactorNames; }
const char* const* getStringsInternal(E_BLEND_EQUATION*) { return kBlendEquationNames; }
const char* const* getStringsInternal(E_FACE_SIDE*) { return kFaceSideNames; }
const char* const* getStringsInternal(E_FACE_WINDING*) { return kFaceWindingNames; }
const char* const* getStringsInternal(E_COMPARE_FUNC*) { return kCompareFuncNames; }
const char* const* getStringsInternal(E_POLYGON_MODE*) { return kPolygonModeNames; }
const char* const* getStringsInternal(E_STENCIL_OP*) { return kStencilOpNames; }

}  // namespace pravik::video
