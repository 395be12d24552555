// Type strings of the attribute kinds, in kind order.

#include "engine/io/E_ATTRIBUTE_KIND.h"

namespace pravik::io {

const wchar_t* getAttributeTypeString(E_ATTRIBUTE_KIND kind)
{
    static const wchar_t* const kNames[] = {
        L"int",       L"float",    L"string",   L"bool",     L"enum",         L"color",
        L"colorf",    L"vector2d", L"vector3d", L"vector4d", L"vector2di",    L"vector3di",
        L"vector4di", L"position", L"rect",     L"matrix",   L"quaternion",   L"box3d",
        L"plane",     L"triangle", L"line2d",   L"line3d",   L"stringwarray", L"floatlist",
        L"intlist",   L"binary",   L"texture",  L"light",    L"userPointer"};
    static_assert(sizeof kNames / sizeof kNames[0] == EAK_USER_POINTER + 1);
    if (kind < 0 || kind > EAK_USER_POINTER) return L"unknown";
    return kNames[kind];
}

}  // namespace pravik::io
