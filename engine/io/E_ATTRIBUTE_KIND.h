#pragma once
// The kinds of attribute a store holds, with the type strings that name them in XML files.

#include <cstdint>

namespace pravik::io {

enum E_ATTRIBUTE_KIND : int32_t {
    EAK_INT = 0,
    EAK_FLOAT,
    EAK_STRING,
    EAK_BOOL,
    EAK_ENUM,
    EAK_COLOR,
    EAK_COLORF,
    EAK_VECTOR2D,
    EAK_VECTOR3D,
    EAK_VECTOR4D,
    EAK_VECTOR2DI,
    EAK_VECTOR3DI,
    EAK_VECTOR4DI,
    EAK_POSITION,
    EAK_RECT,
    EAK_MATRIX,
    EAK_QUATERNION,
    EAK_BOX3D,
    EAK_PLANE,
    EAK_TRIANGLE,
    EAK_LINE2D,
    EAK_LINE3D,
    EAK_STRINGWARRAY,
    EAK_FLOATLIST,
    EAK_INTLIST,
    EAK_BINARY,
    EAK_TEXTURE,
    EAK_LIGHT,
    EAK_USER_POINTER,
    EAK_UNKNOWN = 30  // 29 is never produced
};

// The type string of a kind: "int", "float", ..., "userPointer"; "unknown" for anything else.
const wchar_t* getAttributeTypeString(E_ATTRIBUTE_KIND kind);

}  // namespace pravik::io
