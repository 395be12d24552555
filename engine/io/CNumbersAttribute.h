#pragma once
// Number lists: a fixed count of values held as floats or as integers, and the kinds built on
// them (colours, vectors, position, rect, matrix, quaternion, box, plane, triangle, lines).
// Reading takes value i for component i and 0 past the count; writing zeroes every value, then
// writes the components that fit. The count and the storage type never change.
// The integer-typed vector, line and dimension operations convert like their float twins, so a
// vector2di, vector3di or vector4di attribute reads back what was written to it.

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "engine/io/IAttribute.h"

namespace pravik::io {

class CNumbersAttribute : public IAttribute {
public:
    using FloatArray = std::vector<float, core::SAllocator<float>>;
    using IntArray = std::vector<int, core::SAllocator<int>>;

    CNumbersAttribute(const char* name, video::SColorf value, bool flag);  // four floats

    int getInt() const override;
    float getFloat() const override;
    bool getBool() const override;  // any value non-zero
    video::SColorf getColorf() const override;
    video::SColor getColor() const override;
    core::stringc getString() const override;  // values joined by ", "
    core::stringw getStringW() const override;
    core::vector2d<float> getVector2d() const override;
    core::vector3d<float> getVector3d() const override;
    core::vector4d<float> getVector4d() const override;
    core::vector2d<int> getVector2di() const override;
    core::vector3d<int> getVector3di() const override;
    core::vector4d<int> getVector4di() const override;
    core::position2d<int> getPosition() const override;
    core::rect<int> getRect() const override;  // a missing corner repeats the first
    core::quaternion getQuaternion() const override;
    core::CMatrix4<float> getMatrix() const override;
    core::triangle3d<float> getTriangle() const override;
    core::line2d<float> getLine2d() const override;
    core::line2d<int> getLine2di() const override;
    core::line3d<float> getLine3d() const override;
    core::line3d<int> getLine3di() const override;
    core::dimension2d<int> getDimension2d() const override;
    core::aabbox3d<float> getBBox() const override;
    core::plane3d<float> getPlane() const override;

    void setInt(int value) override;  // every value
    void setFloat(float value) override;
    void setBool(bool value) override;
    void setString(const char* text) override;  // numbers separated by anything else
    using IAttribute::setString;
    void setColor(video::SColorf color) override;
    void setColor(video::SColor color) override;
    void setVector2d(core::vector2d<float> v) override;
    void setVector3d(const core::vector3d<float>& v) override;
    void setVector4d(const core::vector4d<float>& v) override;
    void setVector2di(core::vector2d<int> v) override;
    void setVector3di(const core::vector3d<int>& v) override;
    void setVector4di(const core::vector4d<int>& v) override;
    void setPosition(core::position2d<int> v) override;
    void setRect(core::rect<int> r) override;
    void setQuaternion(core::quaternion q) override;
    void setMatrix(const core::CMatrix4<float>& m) override;
    void setTriangle(core::triangle3d<float> t) override;
    void setLine2d(core::line2d<float> l) override;
    void setLine2d(core::line2d<int> l) override;
    void setLine3d(core::line3d<float> l) override;
    void setLine3d(core::line3d<int> l) override;
    void setDimension2d(core::dimension2d<int> d) override;
    void setBBox(core::aabbox3d<float> b) override;
    void setPlane(core::plane3d<float> p) override;

    E_ATTRIBUTE_KIND getType() const override { return m_isFloat ? EAK_FLOATLIST : EAK_INTLIST; }
    const wchar_t* getTypeString() const override { return getAttributeTypeString(getType()); }

    virtual FloatArray getFloatArray() const;
    virtual IntArray getIntArray() const;
    virtual void setBoundingBox(core::aabbox3d<float> b) { setBBox(b); }
    virtual void setTriangle3d(core::triangle3d<float> t) { setTriangle(t); }
    virtual void setVector2d(core::vector2d<int> v) { setVector2di(v); }
    virtual void setFloatArray(const FloatArray& values);
    virtual void setIntArray(const IntArray& values);
    virtual bool isNumberList() const { return true; }
    virtual bool isFloat() const { return m_isFloat; }

    uint32_t getCount() const { return m_count; }

protected:
    CNumbersAttribute(const char* name, uint32_t count, bool isFloat, bool flag);

    float valueF(uint32_t i) const;  // 0 past the count
    int valueI(uint32_t i) const;
    void setF(std::initializer_list<float> components);  // zero all, then the ones that fit
    void setI(std::initializer_list<int> components);

    mutable IntArray m_ints;  // the other storage doubles as the array getters' scratch
    mutable FloatArray m_floats;
    uint32_t m_count;
    bool m_isFloat;
};

// The kinds below differ from the plain list in their constructor, kind and type string, and
// in the few operations they replace.

class CColorfAttribute : public CNumbersAttribute {
public:
    CColorfAttribute(const char* name, video::SColorf value, bool flag) : CNumbersAttribute(name, value, flag)
    {
    }
    int getInt() const override;  // the colour word 0xBBGGRRAA
    float getFloat() const override;
    void setInt(int word) override;
    void setFloat(float word) override;
    E_ATTRIBUTE_KIND getType() const override { return EAK_COLORF; }
    const wchar_t* getTypeString() const override { return L"colorf"; }
};

class CColorAttribute : public CNumbersAttribute {
public:
    CColorAttribute(const char* name, video::SColorf value, bool flag) : CNumbersAttribute(name, value, flag)
    {
    }
    int getInt() const override;  // the colour word, as for colorf
    float getFloat() const override;
    void setInt(int word) override;
    void setFloat(float word) override;
    core::stringw getStringW() const override;  // "aarrggbb" of getColor()
    void setString(const char* text) override;  // reads "aarrggbb"; pairs not read are 0
    void setString(const wchar_t* text) override;
    E_ATTRIBUTE_KIND getType() const override { return EAK_COLOR; }
    const wchar_t* getTypeString() const override { return L"color"; }
};

#define PRAVIK_NUMBERS_KIND(Class, Value, Count, IsFloat, Kind, Text)  \
    class Class : public CNumbersAttribute {                           \
    public:                                                            \
        Class(const char* name, Value value, bool flag);               \
        E_ATTRIBUTE_KIND getType() const override { return Kind; }     \
        const wchar_t* getTypeString() const override { return Text; } \
        core::CMatrix4<float> getMatrix() const override;              \
    };

// Vectors read as a matrix give the identity (vector3d: with the translation set).
PRAVIK_NUMBERS_KIND(CVector2DAttribute, const core::vector2d<float>&, 2, true, EAK_VECTOR2D, L"vector2d")
PRAVIK_NUMBERS_KIND(CVector3DAttribute, const core::vector3d<float>&, 3, true, EAK_VECTOR3D, L"vector3d")
PRAVIK_NUMBERS_KIND(CVector4DAttribute, const core::vector4d<float>&, 4, true, EAK_VECTOR4D, L"vector4d")
PRAVIK_NUMBERS_KIND(CVector2DIAttribute, const core::vector2d<int>&, 2, false, EAK_VECTOR2DI, L"vector2di")
PRAVIK_NUMBERS_KIND(CVector3DIAttribute, const core::vector3d<int>&, 3, false, EAK_VECTOR3DI, L"vector3di")
PRAVIK_NUMBERS_KIND(CVector4DIAttribute, const core::vector4d<int>&, 4, false, EAK_VECTOR4DI, L"vector4di")
PRAVIK_NUMBERS_KIND(CQuaternionAttribute, core::quaternion, 4, true, EAK_QUATERNION, L"quaternion")
#undef PRAVIK_NUMBERS_KIND

#define PRAVIK_NUMBERS_KIND(Class, Value, Kind, Text)                  \
    class Class : public CNumbersAttribute {                           \
    public:                                                            \
        Class(const char* name, Value value, bool flag);               \
        E_ATTRIBUTE_KIND getType() const override { return Kind; }     \
        const wchar_t* getTypeString() const override { return Text; } \
    };

PRAVIK_NUMBERS_KIND(CPosition2DAttribute, core::position2d<int>, EAK_POSITION, L"position")
PRAVIK_NUMBERS_KIND(CRectAttribute, core::rect<int>, EAK_RECT, L"rect")
PRAVIK_NUMBERS_KIND(CBBoxAttribute, core::aabbox3d<float>, EAK_BOX3D, L"box3d")
PRAVIK_NUMBERS_KIND(CPlaneAttribute, core::plane3d<float>, EAK_PLANE, L"plane")
PRAVIK_NUMBERS_KIND(CLine2dAttribute, core::line2d<float>, EAK_LINE2D, L"line2d")
PRAVIK_NUMBERS_KIND(CLine3dAttribute, core::line3d<float>, EAK_LINE3D, L"line3d")
#undef PRAVIK_NUMBERS_KIND

class CMatrixAttribute : public CNumbersAttribute {
public:
    CMatrixAttribute(const char* name, const core::CMatrix4<float>& value, bool flag);  // flag not kept
    core::quaternion getQuaternion() const override;  // the rotation of the matrix, normalised
    E_ATTRIBUTE_KIND getType() const override { return EAK_MATRIX; }
    const wchar_t* getTypeString() const override { return L"matrix"; }
};

class CTriangleAttribute : public CNumbersAttribute {
public:
    CTriangleAttribute(const char* name, core::triangle3d<float> value, bool flag);
    core::plane3d<float> getPlane() const override;  // the plane through the three points
    E_ATTRIBUTE_KIND getType() const override { return EAK_TRIANGLE; }
    const wchar_t* getTypeString() const override { return L"triangle"; }
};

}  // namespace pravik::io
