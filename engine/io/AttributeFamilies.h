#pragma once
// The regular attribute families of the store, one line each. The store's interface
// (IAttributes.h), its declaration (CAttributes.h) and its definitions (CAttributes_families.cpp)
// expand this list, so a family is added or changed in one place.
//
//   X(Family, Value, Param, Stored, Class, Get, Set, FromText, Missing)
//
// Family names the methods: addFamily(name, Param, flag), addStringAsFamily(name, text, flag),
// setAttribute(name, Param) (appends when missing), getFamily(name), getFamily(index) returning
// Value, setAttribute(index, Param) (nothing out of range). Class is the attribute made, from
// the value converted to Stored (texture and light attributes also get the store's driver); Get
// and Set are its typed accessors. FromText is the value an attribute holds before its text is
// parsed; Missing is what a getter answers when there is no such attribute.
// Vector2di shares its value type with Position2d, so setAttribute with that type is
// Position2d's: Vector2di has the four methods without it.

#define PRAVIK_ATTRIBUTE_FAMILIES(X)                                                                      \
    X(Int, int, int, int, CIntAttribute, getInt, setInt, 0, 0)                                               \
    X(Float, float, float, float, CFloatAttribute, getFloat, setFloat, 0.f, 0.f)                             \
    X(Bool, bool, bool, bool, CBoolAttribute, getBool, setBool, false, false)                                \
    X(Color, video::SColor, video::SColor, video::SColorf, CColorAttribute, getColor, setColor,              \
      video::SColor(0, 0, 0, 0), video::SColor(0, 0, 0, 0))                                                  \
    X(Colorf, video::SColorf, video::SColorf, video::SColorf, CColorfAttribute, getColorf, setColor,         \
      video::SColorf(0.f, 0.f, 0.f, 1.f), video::SColorf(0.f, 0.f, 0.f, 1.f))                                \
    X(Vector3di, core::vector3d<int>, const core::vector3d<int>&, core::vector3d<int>, CVector3DIAttribute,  \
      getVector3di, setVector3di, core::vector3d<int>(), core::vector3d<int>())                              \
    X(Vector4di, core::vector4d<int>, const core::vector4d<int>&, core::vector4d<int>, CVector4DIAttribute,  \
      getVector4di, setVector4di, core::vector4d<int>(), core::vector4d<int>())                              \
    X(Vector2d, core::vector2d<float>, const core::vector2d<float>&, core::vector2d<float>,                  \
      CVector2DAttribute, getVector2d, setVector2d, core::vector2d<float>(), core::vector2d<float>())        \
    X(Vector3d, core::vector3d<float>, const core::vector3d<float>&, core::vector3d<float>,                  \
      CVector3DAttribute, getVector3d, setVector3d, core::vector3d<float>(), core::vector3d<float>())        \
    X(Vector4d, core::vector4d<float>, const core::vector4d<float>&, core::vector4d<float>,                  \
      CVector4DAttribute, getVector4d, setVector4d, core::vector4d<float>(), core::vector4d<float>())        \
    X(Position2d, core::position2d<int>, core::position2d<int>, core::position2d<int>, CPosition2DAttribute, \
      getPosition, setPosition, core::position2d<int>(), core::position2d<int>())                            \
    X(Rect, core::rect<int>, core::rect<int>, core::rect<int>, CRectAttribute, getRect, setRect,             \
      core::rect<int>(), core::rect<int>())                                                                  \
    X(Matrix, core::CMatrix4<float>, const core::CMatrix4<float>&, core::CMatrix4<float>, CMatrixAttribute,  \
      getMatrix, setMatrix, core::CMatrix4<float>(), core::CMatrix4<float>())                                \
    X(Quaternion, core::quaternion, core::quaternion, core::quaternion, CQuaternionAttribute, getQuaternion, \
      setQuaternion, core::quaternion(0.f, 0.f, 0.f, 1.f), core::quaternion(0.f, 1.f, 0.f, 0.f))             \
    X(Box3d, core::aabbox3d<float>, core::aabbox3d<float>, core::aabbox3d<float>, CBBoxAttribute, getBBox,   \
      setBBox, core::aabbox3d<float>(-1.f, -1.f, -1.f, 1.f, 1.f, 1.f),                                       \
      core::aabbox3d<float>(0.f, 0.f, 0.f, 0.f, 0.f, 0.f))                                                   \
    X(Plane3d, core::plane3d<float>, core::plane3d<float>, core::plane3d<float>, CPlaneAttribute, getPlane,  \
      setPlane, core::plane3d<float>({0.f, 1.f, 0.f}, -0.f), core::plane3d<float>({0.f, 1.f, 0.f}, -0.f))    \
    X(Triangle3d, core::triangle3d<float>, core::triangle3d<float>, core::triangle3d<float>,                 \
      CTriangleAttribute, getTriangle, setTriangle, core::triangle3d<float>(), core::triangle3d<float>())    \
    X(Line2d, core::line2d<float>, core::line2d<float>, core::line2d<float>, CLine2dAttribute, getLine2d,    \
      setLine2d, core::line2d<float>(0.f, 0.f, 1.f, 1.f), core::line2d<float>(0.f, 0.f, 0.f, 0.f))           \
    X(Line3d, core::line3d<float>, core::line3d<float>, core::line3d<float>, CLine3dAttribute, getLine3d,    \
      setLine3d, core::line3d<float>({0.f, 0.f, 0.f}, {1.f, 1.f, 1.f}), core::line3d<float>())               \
    X(Texture, TexturePtr, TexturePtr, TexturePtr, CTextureAttribute, getTexture, setTexture, nullptr,       \
      nullptr)                                                                                               \
    X(Light, LightPtr, LightPtr, LightPtr, CLightAttribute, getLight, setLight, nullptr, nullptr)            \
    X(UserPointer, void*, void*, void*, CUserPointerAttribute, getUserPointer, setUserPointer, nullptr,      \
      nullptr)

// The families without setAttribute (see above); same columns, Set unused.
#define PRAVIK_ATTRIBUTE_FAMILIES_WITHOUT_SET(X)                                                          \
    X(Vector2di, core::vector2d<int>, const core::vector2d<int>&, core::vector2d<int>, CVector2DIAttribute,  \
      getVector2di, -, core::vector2d<int>(), core::vector2d<int>())

// The interface's pure declarations and the store's overrides, generated from the lists above.
#define PRAVIK_ATTRIBUTE_FAMILY_GETTERS(Family, Value, Param, VIRTUAL, END)                                  \
    VIRTUAL void add##Family(const char* name, Param value, bool flag = false) END;                          \
    VIRTUAL void addStringAs##Family(const char* name, const wchar_t* text, bool flag = false) END;          \
    VIRTUAL Value get##Family(const char* name) const END;                                                   \
    VIRTUAL Value get##Family(int index) const END;
#define PRAVIK_ATTRIBUTE_FAMILY_SETTERS(Param, VIRTUAL, END)                                                 \
    VIRTUAL void setAttribute(const char* name, Param value) END;                                            \
    VIRTUAL void setAttribute(int index, Param value) END;

#define PRAVIK_ATTRIBUTE_FAMILY_INTERFACE(Family, Value, Param, Stored, Class, Get, Set, FromText, Missing)  \
    PRAVIK_ATTRIBUTE_FAMILY_GETTERS(Family, Value, Param, virtual, = 0)                                      \
    PRAVIK_ATTRIBUTE_FAMILY_SETTERS(Param, virtual, = 0)
#define PRAVIK_ATTRIBUTE_FAMILY_INTERFACE_WITHOUT_SET(Family, Value, Param, Stored, Class, Get, Set, FromText, \
                                                      Missing)                                               \
    PRAVIK_ATTRIBUTE_FAMILY_GETTERS(Family, Value, Param, virtual, = 0)
#define PRAVIK_ATTRIBUTE_FAMILY_OVERRIDES(Family, Value, Param, Stored, Class, Get, Set, FromText, Missing)  \
    PRAVIK_ATTRIBUTE_FAMILY_GETTERS(Family, Value, Param, , override)                                        \
    PRAVIK_ATTRIBUTE_FAMILY_SETTERS(Param, , override)
#define PRAVIK_ATTRIBUTE_FAMILY_OVERRIDES_WITHOUT_SET(Family, Value, Param, Stored, Class, Get, Set, FromText, \
                                                      Missing)                                               \
    PRAVIK_ATTRIBUTE_FAMILY_GETTERS(Family, Value, Param, , override)
