#pragma once
// The engine's typed, named property list: serialisable objects write their settings into a
// store by name and read them back by name. A store holds a tree of contexts (groups), each an
// ordered list of attributes; every operation addresses the current context, which push, pop
// and setGroup move. Nothing here reports an error: names are matched exactly (first match),
// and a missing name or index gives the family's default.

#include "engine/IReferenceCounted.h"
#include "engine/io/IAttribute.h"

namespace pravik::io {

class IAttributes : public IReferenceCounted {
public:
    virtual int getAttributeCount() const = 0;
    virtual const char* getAttributeName(int index) const = 0;              // null out of range
    virtual E_ATTRIBUTE_KIND getAttributeType(const char* name) const = 0;  // EAK_UNKNOWN when missing
    virtual E_ATTRIBUTE_KIND getAttributeType(int index) const = 0;
    virtual const wchar_t* getAttributeTypeString(const char* name) const = 0;  // "unknown" when missing
    virtual const wchar_t* getAttributeTypeString(int index) const = 0;
    virtual bool existsAttribute(const char* name) const = 0;
    virtual int findAttribute(const char* name) const = 0;  // -1 when missing
    virtual void clear() = 0;                               // everything; the root becomes current
    virtual void push(const char* name) = 0;                // enters the child, made when missing
    virtual void push(const char* name, int number) = 0;    // the name followed by the number
    virtual void push(int number) = 0;                      // "group" followed by the number
    virtual void pop() = 0;                                 // to the parent; nothing at the root
    virtual unsigned int getGroupsCount() const = 0;
    virtual void setGroup(unsigned int index) = 0;          // enters the child at index; nothing past the end
    virtual const core::stringc& getGroupName() const = 0;  // "" for the root

    // Each family: add, addStringAs (value from text), setAttribute by name (appends when
    // missing), get by name, get by index, setAttribute by index (nothing out of range).
    // vector2di shares its value type with position2d, so setAttribute with that type makes or
    // sets a position attribute.

    // Int
    virtual void addInt(const char* name, int value, bool flag = false) = 0;
    virtual void addStringAsInt(const char* name, const wchar_t* text, bool flag = false) = 0;
    virtual void setAttribute(const char* name, int value) = 0;
    virtual int getInt(const char* name) const = 0;
    virtual int getInt(int index) const = 0;
    virtual void setAttribute(int index, int value) = 0;

    // Float
    virtual void addFloat(const char* name, float value, bool flag = false) = 0;
    virtual void addStringAsFloat(const char* name, const wchar_t* text, bool flag = false) = 0;
    virtual void setAttribute(const char* name, float value) = 0;
    virtual float getFloat(const char* name) const = 0;
    virtual float getFloat(int index) const = 0;
    virtual void setAttribute(int index, float value) = 0;

    // Narrow string
    virtual void addString(const char* name, const char* value, bool flag = false) = 0;
    virtual void setAttribute(const char* name, const char* value) = 0;  // null removes the attribute
    virtual core::stringc getString(const char* name) const = 0;
    virtual void getString(const char* name, char* target) const = 0;  // target must hold the text
    virtual core::stringc getString(int index) const = 0;
    virtual void setAttribute(int index, const char* value) = 0;

    // Wide string
    virtual void addString(const char* name, const wchar_t* value, bool flag = false) = 0;
    virtual void setAttribute(const char* name, const wchar_t* value) = 0;  // null removes the attribute
    virtual core::stringw getStringW(const char* name) const = 0;
    virtual void getStringW(const char* name, wchar_t* target) const = 0;  // target must hold the text
    virtual core::stringw getStringW(int index) const = 0;
    virtual void setAttribute(int index, const wchar_t* value) = 0;

    // Binary
    virtual void addBinary(const char* name, const void* data, int size, bool flag = false) = 0;
    virtual void addStringAsBinary(const char* name, const wchar_t* text, bool flag = false) = 0;
    virtual void setAttribute(const char* name, const void* data, int size) = 0;
    virtual void getBinaryData(const char* name, void* out,
                               int size) const = 0;  // out untouched when missing
    virtual void getBinaryData(int index, void* out, int size) const = 0;
    virtual void setAttribute(int index, const void* data, int size) = 0;

    // String array
    virtual void addArray(const char* name, const StringWArray& value, bool flag = false) = 0;
    virtual void setAttribute(const char* name, const StringWArray& value) = 0;
    virtual StringWArray getArray(const char* name) const = 0;
    virtual StringWArray getArray(int index) const = 0;
    virtual void setAttribute(int index, const StringWArray& value) = 0;

    // Bool
    virtual void addBool(const char* name, bool value, bool flag = false) = 0;
    virtual void addStringAsBool(const char* name, const wchar_t* text, bool flag = false) = 0;
    virtual void setAttribute(const char* name, bool value) = 0;
    virtual bool getBool(const char* name) const = 0;
    virtual bool getBool(int index) const = 0;
    virtual void setAttribute(int index, bool value) = 0;

    // Enumeration
    virtual void addEnum(const char* name, const char* literal, const char* const* literals,
                         bool flag = false) = 0;
    virtual void addEnum(const char* name, int value, const char* const* literals, bool flag = false) = 0;
    virtual void setAttribute(const char* name, const char* literal, const char* const* literals) = 0;
    virtual const char* getEnum(const char* name) const = 0;                       // the literal, or null
    virtual int getEnum(const char* name, const char* const* literals) const = 0;  // its position, or -1
    virtual int getEnum(int index, const char* const* literals) const = 0;
    virtual const char* getEnum(int index) const = 0;
    virtual void getAttributeEnumerationLiteralsOfEnumeration(const char* name, StringCArray& out) const = 0;
    virtual void getAttributeEnumerationLiteralsOfEnumeration(int index, StringCArray& out) const = 0;
    virtual void setAttribute(int index, const char* literal, const char* const* literals) = 0;

    // Color
    virtual void addColor(const char* name, video::SColor value, bool flag = false) = 0;
    virtual void addStringAsColor(const char* name, const wchar_t* text, bool flag = false) = 0;
    virtual void setAttribute(const char* name, video::SColor value) = 0;
    virtual video::SColor getColor(const char* name) const = 0;
    virtual video::SColor getColor(int index) const = 0;
    virtual void setAttribute(int index, video::SColor value) = 0;

    // Colorf
    virtual void addColorf(const char* name, video::SColorf value, bool flag = false) = 0;
    virtual void addStringAsColorf(const char* name, const wchar_t* text, bool flag = false) = 0;
    virtual void setAttribute(const char* name, video::SColorf value) = 0;
    virtual video::SColorf getColorf(const char* name) const = 0;
    virtual video::SColorf getColorf(int index) const = 0;
    virtual void setAttribute(int index, video::SColorf value) = 0;

    // Vector2di
    virtual void addVector2di(const char* name, const core::vector2d<int>& value, bool flag = false) = 0;
    virtual void addStringAsVector2di(const char* name, const wchar_t* text, bool flag = false) = 0;
    virtual core::vector2d<int> getVector2di(const char* name) const = 0;
    virtual core::vector2d<int> getVector2di(int index) const = 0;

    // Vector3di
    virtual void addVector3di(const char* name, const core::vector3d<int>& value, bool flag = false) = 0;
    virtual void addStringAsVector3di(const char* name, const wchar_t* text, bool flag = false) = 0;
    virtual void setAttribute(const char* name, const core::vector3d<int>& value) = 0;
    virtual core::vector3d<int> getVector3di(const char* name) const = 0;
    virtual core::vector3d<int> getVector3di(int index) const = 0;
    virtual void setAttribute(int index, const core::vector3d<int>& value) = 0;

    // Vector4di
    virtual void addVector4di(const char* name, const core::vector4d<int>& value, bool flag = false) = 0;
    virtual void addStringAsVector4di(const char* name, const wchar_t* text, bool flag = false) = 0;
    virtual void setAttribute(const char* name, const core::vector4d<int>& value) = 0;
    virtual core::vector4d<int> getVector4di(const char* name) const = 0;
    virtual core::vector4d<int> getVector4di(int index) const = 0;
    virtual void setAttribute(int index, const core::vector4d<int>& value) = 0;

    // Vector2d
    virtual void addVector2d(const char* name, const core::vector2d<float>& value, bool flag = false) = 0;
    virtual void addStringAsVector2d(const char* name, const wchar_t* text, bool flag = false) = 0;
    virtual void setAttribute(const char* name, const core::vector2d<float>& value) = 0;
    virtual core::vector2d<float> getVector2d(const char* name) const = 0;
    virtual core::vector2d<float> getVector2d(int index) const = 0;
    virtual void setAttribute(int index, const core::vector2d<float>& value) = 0;

    // Vector3d
    virtual void addVector3d(const char* name, const core::vector3d<float>& value, bool flag = false) = 0;
    virtual void addStringAsVector3d(const char* name, const wchar_t* text, bool flag = false) = 0;
    virtual void setAttribute(const char* name, const core::vector3d<float>& value) = 0;
    virtual core::vector3d<float> getVector3d(const char* name) const = 0;
    virtual core::vector3d<float> getVector3d(int index) const = 0;
    virtual void setAttribute(int index, const core::vector3d<float>& value) = 0;

    // Vector4d
    virtual void addVector4d(const char* name, const core::vector4d<float>& value, bool flag = false) = 0;
    virtual void addStringAsVector4d(const char* name, const wchar_t* text, bool flag = false) = 0;
    virtual void setAttribute(const char* name, const core::vector4d<float>& value) = 0;
    virtual core::vector4d<float> getVector4d(const char* name) const = 0;
    virtual core::vector4d<float> getVector4d(int index) const = 0;
    virtual void setAttribute(int index, const core::vector4d<float>& value) = 0;

    // Position2d
    virtual void addPosition2d(const char* name, core::position2d<int> value, bool flag = false) = 0;
    virtual void addStringAsPosition2d(const char* name, const wchar_t* text, bool flag = false) = 0;
    virtual void setAttribute(const char* name, core::position2d<int> value) = 0;
    virtual core::position2d<int> getPosition2d(const char* name) const = 0;
    virtual core::position2d<int> getPosition2d(int index) const = 0;
    virtual void setAttribute(int index, core::position2d<int> value) = 0;

    // Rect
    virtual void addRect(const char* name, core::rect<int> value, bool flag = false) = 0;
    virtual void addStringAsRect(const char* name, const wchar_t* text, bool flag = false) = 0;
    virtual void setAttribute(const char* name, core::rect<int> value) = 0;
    virtual core::rect<int> getRect(const char* name) const = 0;
    virtual core::rect<int> getRect(int index) const = 0;
    virtual void setAttribute(int index, core::rect<int> value) = 0;

    // Matrix
    virtual void addMatrix(const char* name, const core::CMatrix4<float>& value, bool flag = false) = 0;
    virtual void addStringAsMatrix(const char* name, const wchar_t* text, bool flag = false) = 0;
    virtual void setAttribute(const char* name, const core::CMatrix4<float>& value) = 0;
    virtual core::CMatrix4<float> getMatrix(const char* name) const = 0;
    virtual core::CMatrix4<float> getMatrix(int index) const = 0;
    virtual void setAttribute(int index, const core::CMatrix4<float>& value) = 0;

    // Quaternion
    virtual void addQuaternion(const char* name, core::quaternion value, bool flag = false) = 0;
    virtual void addStringAsQuaternion(const char* name, const wchar_t* text, bool flag = false) = 0;
    virtual void setAttribute(const char* name, core::quaternion value) = 0;
    virtual core::quaternion getQuaternion(const char* name) const = 0;
    virtual core::quaternion getQuaternion(int index) const = 0;
    virtual void setAttribute(int index, core::quaternion value) = 0;

    // Box3d
    virtual void addBox3d(const char* name, core::aabbox3d<float> value, bool flag = false) = 0;
    virtual void addStringAsBox3d(const char* name, const wchar_t* text, bool flag = false) = 0;
    virtual void setAttribute(const char* name, core::aabbox3d<float> value) = 0;
    virtual core::aabbox3d<float> getBox3d(const char* name) const = 0;
    virtual core::aabbox3d<float> getBox3d(int index) const = 0;
    virtual void setAttribute(int index, core::aabbox3d<float> value) = 0;

    // Plane3d
    virtual void addPlane3d(const char* name, core::plane3d<float> value, bool flag = false) = 0;
    virtual void addStringAsPlane3d(const char* name, const wchar_t* text, bool flag = false) = 0;
    virtual void setAttribute(const char* name, core::plane3d<float> value) = 0;
    virtual core::plane3d<float> getPlane3d(const char* name) const = 0;
    virtual core::plane3d<float> getPlane3d(int index) const = 0;
    virtual void setAttribute(int index, core::plane3d<float> value) = 0;

    // Triangle3d
    virtual void addTriangle3d(const char* name, core::triangle3d<float> value, bool flag = false) = 0;
    virtual void addStringAsTriangle3d(const char* name, const wchar_t* text, bool flag = false) = 0;
    virtual void setAttribute(const char* name, core::triangle3d<float> value) = 0;
    virtual core::triangle3d<float> getTriangle3d(const char* name) const = 0;
    virtual core::triangle3d<float> getTriangle3d(int index) const = 0;
    virtual void setAttribute(int index, core::triangle3d<float> value) = 0;

    // Line2d
    virtual void addLine2d(const char* name, core::line2d<float> value, bool flag = false) = 0;
    virtual void addStringAsLine2d(const char* name, const wchar_t* text, bool flag = false) = 0;
    virtual void setAttribute(const char* name, core::line2d<float> value) = 0;
    virtual core::line2d<float> getLine2d(const char* name) const = 0;
    virtual core::line2d<float> getLine2d(int index) const = 0;
    virtual void setAttribute(int index, core::line2d<float> value) = 0;

    // Line3d
    virtual void addLine3d(const char* name, core::line3d<float> value, bool flag = false) = 0;
    virtual void addStringAsLine3d(const char* name, const wchar_t* text, bool flag = false) = 0;
    virtual void setAttribute(const char* name, core::line3d<float> value) = 0;
    virtual core::line3d<float> getLine3d(const char* name) const = 0;
    virtual core::line3d<float> getLine3d(int index) const = 0;
    virtual void setAttribute(int index, core::line3d<float> value) = 0;

    // Texture
    virtual void addTexture(const char* name, TexturePtr value, bool flag = false) = 0;
    virtual void addStringAsTexture(const char* name, const wchar_t* text, bool flag = false) = 0;
    virtual void setAttribute(const char* name, TexturePtr value) = 0;
    virtual TexturePtr getTexture(const char* name) const = 0;
    virtual TexturePtr getTexture(int index) const = 0;
    virtual void setAttribute(int index, TexturePtr value) = 0;

    // Light
    virtual void addLight(const char* name, LightPtr value, bool flag = false) = 0;
    virtual void addStringAsLight(const char* name, const wchar_t* text, bool flag = false) = 0;
    virtual void setAttribute(const char* name, LightPtr value) = 0;
    virtual LightPtr getLight(const char* name) const = 0;
    virtual LightPtr getLight(int index) const = 0;
    virtual void setAttribute(int index, LightPtr value) = 0;

    // UserPointer
    virtual void addUserPointer(const char* name, void* value, bool flag = false) = 0;
    virtual void addStringAsUserPointer(const char* name, const wchar_t* text, bool flag = false) = 0;
    virtual void setAttribute(const char* name, void* value) = 0;
    virtual void* getUserPointer(const char* name) const = 0;
    virtual void* getUserPointer(int index) const = 0;
    virtual void setAttribute(int index, void* value) = 0;
};

}  // namespace pravik::io
