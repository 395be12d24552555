// Name tables of the texture enumerations.

#include "engine/video/ETexture.h"

namespace pravik::video {

namespace {
const char* const TypeNames[] = {"2D", "3D", "Cube Map", "Rectangle", nullptr};
const char* const LayoutNames[] = {"Linear", "Linear Uniform Pitch", "Tiled 32", "Swizzled", nullptr};
const char* const FaceNames[] = {"Position X", "Negative X", "Position Y", "Negative Y", "Position Z", "Negative Z", nullptr};
const char* const FilterNames[] = {"Nearest", "Linear", "Nearest Mipmap Nearest", "Linear Mipmap Nearest",
                                   "Nearest Mipmap Linear", "Linear Mipmap Linear", nullptr};
const char* const ClampNames[] = {"Repeat", "Clamp", "Clamp to Edge", "Clamp to Border", "Mirror", nullptr};
}  // namespace

const char* const* getStringsInternal(E_TEXTURE_TYPE*) { return TypeNames; }
const char* const* getStringsInternal(E_TEXTURE_LAYOUT*) { return LayoutNames; }
const char* const* getStringsInternal(E_TEXTURE_CUBE_MAP_FACE*) { return FaceNames; }
const char* const* getStringsInternal(E_TEXTURE_FILTER_TYPE*) { return FilterNames; }
const char* const* getStringsInternal(E_TEXTURE_CLAMP*) { return ClampNames; }

}  // namespace pravik::video
