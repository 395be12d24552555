#pragma once
// The attribute store: a root context (named "") with child contexts below it, each holding its
// attributes in insertion order. Lookups are linear scans of the current context only. pop at
// the root and setGroup past the last child change nothing, so a stray closing group in a file
// cannot move the store above its root.

#include <vector>

#include "engine/io/IAttributes.h"

namespace pravik::io {

class CAttributes : public IAttributes {
public:
    explicit CAttributes(
        video::IVideoDriver* driver);  // count 1; the driver is handed to textures and lights
    ~CAttributes() override;
    CAttributes(const CAttributes&) = delete;
    CAttributes& operator=(const CAttributes&) = delete;

    int getAttributeCount() const override;
    const char* getAttributeName(int index) const override;
    E_ATTRIBUTE_KIND getAttributeType(const char* name) const override;
    E_ATTRIBUTE_KIND getAttributeType(int index) const override;
    const wchar_t* getAttributeTypeString(const char* name) const override;
    const wchar_t* getAttributeTypeString(int index) const override;
    bool existsAttribute(const char* name) const override;
    int findAttribute(const char* name) const override;
    void clear() override;
    void push(const char* name) override;
    void push(const char* name, int number) override;
    void push(int number) override;
    void pop() override;
    unsigned int getGroupsCount() const override;
    void setGroup(unsigned int index) override;
    const core::stringc& getGroupName() const override;

    // Int
    void addInt(const char* name, int value, bool flag = false) override;
    void addStringAsInt(const char* name, const wchar_t* text, bool flag = false) override;
    void setAttribute(const char* name, int value) override;
    int getInt(const char* name) const override;
    int getInt(int index) const override;
    void setAttribute(int index, int value) override;

    // Float
    void addFloat(const char* name, float value, bool flag = false) override;
    void addStringAsFloat(const char* name, const wchar_t* text, bool flag = false) override;
    void setAttribute(const char* name, float value) override;
    float getFloat(const char* name) const override;
    float getFloat(int index) const override;
    void setAttribute(int index, float value) override;

    // Narrow string
    void addString(const char* name, const char* value, bool flag = false) override;
    void setAttribute(const char* name, const char* value) override;  // null removes the attribute
    core::stringc getString(const char* name) const override;
    void getString(const char* name, char* target) const override;  // target must hold the text
    core::stringc getString(int index) const override;
    void setAttribute(int index, const char* value) override;

    // Wide string
    void addString(const char* name, const wchar_t* value, bool flag = false) override;
    void setAttribute(const char* name, const wchar_t* value) override;  // null removes the attribute
    core::stringw getStringW(const char* name) const override;
    void getStringW(const char* name, wchar_t* target) const override;  // target must hold the text
    core::stringw getStringW(int index) const override;
    void setAttribute(int index, const wchar_t* value) override;

    // Binary
    void addBinary(const char* name, const void* data, int size, bool flag = false) override;
    void addStringAsBinary(const char* name, const wchar_t* text, bool flag = false) override;
    void setAttribute(const char* name, const void* data, int size) override;
    void getBinaryData(const char* name, void* out, int size) const override;  // out untouched when missing
    void getBinaryData(int index, void* out, int size) const override;
    void setAttribute(int index, const void* data, int size) override;

    // String array
    void addArray(const char* name, const StringWArray& value, bool flag = false) override;
    void setAttribute(const char* name, const StringWArray& value) override;
    StringWArray getArray(const char* name) const override;
    StringWArray getArray(int index) const override;
    void setAttribute(int index, const StringWArray& value) override;

    // Bool
    void addBool(const char* name, bool value, bool flag = false) override;
    void addStringAsBool(const char* name, const wchar_t* text, bool flag = false) override;
    void setAttribute(const char* name, bool value) override;
    bool getBool(const char* name) const override;
    bool getBool(int index) const override;
    void setAttribute(int index, bool value) override;

    // Enumeration
    void addEnum(const char* name, const char* literal, const char* const* literals,
                 bool flag = false) override;
    void addEnum(const char* name, int value, const char* const* literals, bool flag = false) override;
    void setAttribute(const char* name, const char* literal, const char* const* literals) override;
    const char* getEnum(const char* name) const override;                       // the literal, or null
    int getEnum(const char* name, const char* const* literals) const override;  // its position, or -1
    int getEnum(int index, const char* const* literals) const override;
    const char* getEnum(int index) const override;
    void getAttributeEnumerationLiteralsOfEnumeration(const char* name, StringCArray& out) const override;
    void getAttributeEnumerationLiteralsOfEnumeration(int index, StringCArray& out) const override;
    void setAttribute(int index, const char* literal, const char* const* literals) override;

    // Color
    void addColor(const char* name, video::SColor value, bool flag = false) override;
    void addStringAsColor(const char* name, const wchar_t* text, bool flag = false) override;
    void setAttribute(const char* name, video::SColor value) override;
    video::SColor getColor(const char* name) const override;
    video::SColor getColor(int index) const override;
    void setAttribute(int index, video::SColor value) override;

    // Colorf
    void addColorf(const char* name, video::SColorf value, bool flag = false) override;
    void addStringAsColorf(const char* name, const wchar_t* text, bool flag = false) override;
    void setAttribute(const char* name, video::SColorf value) override;
    video::SColorf getColorf(const char* name) const override;
    video::SColorf getColorf(int index) const override;
    void setAttribute(int index, video::SColorf value) override;

    // Vector2di
    void addVector2di(const char* name, const core::vector2d<int>& value, bool flag = false) override;
    void addStringAsVector2di(const char* name, const wchar_t* text, bool flag = false) override;
    core::vector2d<int> getVector2di(const char* name) const override;
    core::vector2d<int> getVector2di(int index) const override;

    // Vector3di
    void addVector3di(const char* name, const core::vector3d<int>& value, bool flag = false) override;
    void addStringAsVector3di(const char* name, const wchar_t* text, bool flag = false) override;
    void setAttribute(const char* name, const core::vector3d<int>& value) override;
    core::vector3d<int> getVector3di(const char* name) const override;
    core::vector3d<int> getVector3di(int index) const override;
    void setAttribute(int index, const core::vector3d<int>& value) override;

    // Vector4di
    void addVector4di(const char* name, const core::vector4d<int>& value, bool flag = false) override;
    void addStringAsVector4di(const char* name, const wchar_t* text, bool flag = false) override;
    void setAttribute(const char* name, const core::vector4d<int>& value) override;
    core::vector4d<int> getVector4di(const char* name) const override;
    core::vector4d<int> getVector4di(int index) const override;
    void setAttribute(int index, const core::vector4d<int>& value) override;

    // Vector2d
    void addVector2d(const char* name, const core::vector2d<float>& value, bool flag = false) override;
    void addStringAsVector2d(const char* name, const wchar_t* text, bool flag = false) override;
    void setAttribute(const char* name, const core::vector2d<float>& value) override;
    core::vector2d<float> getVector2d(const char* name) const override;
    core::vector2d<float> getVector2d(int index) const override;
    void setAttribute(int index, const core::vector2d<float>& value) override;

    // Vector3d
    void addVector3d(const char* name, const core::vector3d<float>& value, bool flag = false) override;
    void addStringAsVector3d(const char* name, const wchar_t* text, bool flag = false) override;
    void setAttribute(const char* name, const core::vector3d<float>& value) override;
    core::vector3d<float> getVector3d(const char* name) const override;
    core::vector3d<float> getVector3d(int index) const override;
    void setAttribute(int index, const core::vector3d<float>& value) override;

    // Vector4d
    void addVector4d(const char* name, const core::vector4d<float>& value, bool flag = false) override;
    void addStringAsVector4d(const char* name, const wchar_t* text, bool flag = false) override;
    void setAttribute(const char* name, const core::vector4d<float>& value) override;
    core::vector4d<float> getVector4d(const char* name) const override;
    core::vector4d<float> getVector4d(int index) const override;
    void setAttribute(int index, const core::vector4d<float>& value) override;

    // Position2d
    void addPosition2d(const char* name, core::position2d<int> value, bool flag = false) override;
    void addStringAsPosition2d(const char* name, const wchar_t* text, bool flag = false) override;
    void setAttribute(const char* name, core::position2d<int> value) override;
    core::position2d<int> getPosition2d(const char* name) const override;
    core::position2d<int> getPosition2d(int index) const override;
    void setAttribute(int index, core::position2d<int> value) override;

    // Rect
    void addRect(const char* name, core::rect<int> value, bool flag = false) override;
    void addStringAsRect(const char* name, const wchar_t* text, bool flag = false) override;
    void setAttribute(const char* name, core::rect<int> value) override;
    core::rect<int> getRect(const char* name) const override;
    core::rect<int> getRect(int index) const override;
    void setAttribute(int index, core::rect<int> value) override;

    // Matrix
    void addMatrix(const char* name, const core::CMatrix4<float>& value, bool flag = false) override;
    void addStringAsMatrix(const char* name, const wchar_t* text, bool flag = false) override;
    void setAttribute(const char* name, const core::CMatrix4<float>& value) override;
    core::CMatrix4<float> getMatrix(const char* name) const override;
    core::CMatrix4<float> getMatrix(int index) const override;
    void setAttribute(int index, const core::CMatrix4<float>& value) override;

    // Quaternion
    void addQuaternion(const char* name, core::quaternion value, bool flag = false) override;
    void addStringAsQuaternion(const char* name, const wchar_t* text, bool flag = false) override;
    void setAttribute(const char* name, core::quaternion value) override;
    core::quaternion getQuaternion(const char* name) const override;
    core::quaternion getQuaternion(int index) const override;
    void setAttribute(int index, core::quaternion value) override;

    // Box3d
    void addBox3d(const char* name, core::aabbox3d<float> value, bool flag = false) override;
    void addStringAsBox3d(const char* name, const wchar_t* text, bool flag = false) override;
    void setAttribute(const char* name, core::aabbox3d<float> value) override;
    core::aabbox3d<float> getBox3d(const char* name) const override;
    core::aabbox3d<float> getBox3d(int index) const override;
    void setAttribute(int index, core::aabbox3d<float> value) override;

    // Plane3d
    void addPlane3d(const char* name, core::plane3d<float> value, bool flag = false) override;
    void addStringAsPlane3d(const char* name, const wchar_t* text, bool flag = false) override;
    void setAttribute(const char* name, core::plane3d<float> value) override;
    core::plane3d<float> getPlane3d(const char* name) const override;
    core::plane3d<float> getPlane3d(int index) const override;
    void setAttribute(int index, core::plane3d<float> value) override;

    // Triangle3d
    void addTriangle3d(const char* name, core::triangle3d<float> value, bool flag = false) override;
    void addStringAsTriangle3d(const char* name, const wchar_t* text, bool flag = false) override;
    void setAttribute(const char* name, core::triangle3d<float> value) override;
    core::triangle3d<float> getTriangle3d(const char* name) const override;
    core::triangle3d<float> getTriangle3d(int index) const override;
    void setAttribute(int index, core::triangle3d<float> value) override;

    // Line2d
    void addLine2d(const char* name, core::line2d<float> value, bool flag = false) override;
    void addStringAsLine2d(const char* name, const wchar_t* text, bool flag = false) override;
    void setAttribute(const char* name, core::line2d<float> value) override;
    core::line2d<float> getLine2d(const char* name) const override;
    core::line2d<float> getLine2d(int index) const override;
    void setAttribute(int index, core::line2d<float> value) override;

    // Line3d
    void addLine3d(const char* name, core::line3d<float> value, bool flag = false) override;
    void addStringAsLine3d(const char* name, const wchar_t* text, bool flag = false) override;
    void setAttribute(const char* name, core::line3d<float> value) override;
    core::line3d<float> getLine3d(const char* name) const override;
    core::line3d<float> getLine3d(int index) const override;
    void setAttribute(int index, core::line3d<float> value) override;

    // Texture
    void addTexture(const char* name, TexturePtr value, bool flag = false) override;
    void addStringAsTexture(const char* name, const wchar_t* text, bool flag = false) override;
    void setAttribute(const char* name, TexturePtr value) override;
    TexturePtr getTexture(const char* name) const override;
    TexturePtr getTexture(int index) const override;
    void setAttribute(int index, TexturePtr value) override;

    // Light
    void addLight(const char* name, LightPtr value, bool flag = false) override;
    void addStringAsLight(const char* name, const wchar_t* text, bool flag = false) override;
    void setAttribute(const char* name, LightPtr value) override;
    LightPtr getLight(const char* name) const override;
    LightPtr getLight(int index) const override;
    void setAttribute(int index, LightPtr value) override;

    // UserPointer
    void addUserPointer(const char* name, void* value, bool flag = false) override;
    void addStringAsUserPointer(const char* name, const wchar_t* text, bool flag = false) override;
    void setAttribute(const char* name, void* value) override;
    void* getUserPointer(const char* name) const override;
    void* getUserPointer(int index) const override;
    void setAttribute(int index, void* value) override;

    IAttribute* getAttributeP(const char* name) const;  // first of that name, or null
    IAttribute* getAttributeAt(int index) const;        // null out of range

private:
    using AttributeList = std::vector<IAttribute*, core::SAllocator<IAttribute*>>;

    class SContext : public IReferenceCounted {
    public:
        explicit SContext(const char* name);
        ~SContext() override;
        SContext* getContext(const char* name, bool create);  // first child of that name
        SContext* hasContext(const char* name);
        void clear();  // children first, then the attributes

        core::stringc Name;
        AttributeList Attributes;
        std::vector<SContext*, core::SAllocator<SContext*>> Children;
        SContext* Parent = nullptr;
    };

    void append(IAttribute* attribute);
    void appendFromText(IAttribute* attribute, const wchar_t* text);
    void enter(SContext* context);

    SContext m_root;
    SContext* m_current;
    AttributeList* m_list;
    video::IVideoDriver* m_driver;
};

}  // namespace pravik::io
