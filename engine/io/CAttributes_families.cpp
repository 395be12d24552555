// The regular attribute families of the store: each makes its own attribute class and reads
// and writes it through that class's typed getter and setter.

#include "engine/io/CAttributes.h"
#include "engine/io/CNumbersAttribute.h"
#include "engine/io/CScalarAttributes.h"
#include "engine/io/CTextureAttribute.h"

namespace pravik::io {

// Int

void CAttributes::addInt(const char* name, int value, bool flag)
{
    append(new CIntAttribute(name, value, flag));
}

void CAttributes::addStringAsInt(const char* name, const wchar_t* text, bool flag)
{
    appendFromText(new CIntAttribute(name, 0, flag), text);
}

void CAttributes::setAttribute(const char* name, int value)
{
    if (IAttribute* a = getAttributeP(name))
        a->setInt(value);
    else
        append(new CIntAttribute(name, value, false));
}

int CAttributes::getInt(const char* name) const
{
    const IAttribute* a = getAttributeP(name);
    return a ? a->getInt() : 0;
}

int CAttributes::getInt(int index) const
{
    const IAttribute* a = getAttributeAt(index);
    return a ? a->getInt() : 0;
}

void CAttributes::setAttribute(int index, int value)
{
    if (IAttribute* a = getAttributeAt(index)) a->setInt(value);
}

// Float

void CAttributes::addFloat(const char* name, float value, bool flag)
{
    append(new CFloatAttribute(name, value, flag));
}

void CAttributes::addStringAsFloat(const char* name, const wchar_t* text, bool flag)
{
    appendFromText(new CFloatAttribute(name, 0.f, flag), text);
}

void CAttributes::setAttribute(const char* name, float value)
{
    if (IAttribute* a = getAttributeP(name))
        a->setFloat(value);
    else
        append(new CFloatAttribute(name, value, false));
}

float CAttributes::getFloat(const char* name) const
{
    const IAttribute* a = getAttributeP(name);
    return a ? a->getFloat() : 0.f;
}

float CAttributes::getFloat(int index) const
{
    const IAttribute* a = getAttributeAt(index);
    return a ? a->getFloat() : 0.f;
}

void CAttributes::setAttribute(int index, float value)
{
    if (IAttribute* a = getAttributeAt(index)) a->setFloat(value);
}

// Bool

void CAttributes::addBool(const char* name, bool value, bool flag)
{
    append(new CBoolAttribute(name, value, flag));
}

void CAttributes::addStringAsBool(const char* name, const wchar_t* text, bool flag)
{
    appendFromText(new CBoolAttribute(name, false, flag), text);
}

void CAttributes::setAttribute(const char* name, bool value)
{
    if (IAttribute* a = getAttributeP(name))
        a->setBool(value);
    else
        append(new CBoolAttribute(name, value, false));
}

bool CAttributes::getBool(const char* name) const
{
    const IAttribute* a = getAttributeP(name);
    return a ? a->getBool() : false;
}

bool CAttributes::getBool(int index) const
{
    const IAttribute* a = getAttributeAt(index);
    return a ? a->getBool() : false;
}

void CAttributes::setAttribute(int index, bool value)
{
    if (IAttribute* a = getAttributeAt(index)) a->setBool(value);
}

// Color

void CAttributes::addColor(const char* name, video::SColor value, bool flag)
{
    append(new CColorAttribute(name, video::SColorf(value), flag));
}

void CAttributes::addStringAsColor(const char* name, const wchar_t* text, bool flag)
{
    appendFromText(new CColorAttribute(name, video::SColorf(video::SColor(0, 0, 0, 0)), flag), text);
}

void CAttributes::setAttribute(const char* name, video::SColor value)
{
    if (IAttribute* a = getAttributeP(name))
        a->setColor(value);
    else
        append(new CColorAttribute(name, video::SColorf(value), false));
}

video::SColor CAttributes::getColor(const char* name) const
{
    const IAttribute* a = getAttributeP(name);
    return a ? a->getColor() : video::SColor(0, 0, 0, 0);
}

video::SColor CAttributes::getColor(int index) const
{
    const IAttribute* a = getAttributeAt(index);
    return a ? a->getColor() : video::SColor(0, 0, 0, 0);
}

void CAttributes::setAttribute(int index, video::SColor value)
{
    if (IAttribute* a = getAttributeAt(index)) a->setColor(value);
}

// Colorf

void CAttributes::addColorf(const char* name, video::SColorf value, bool flag)
{
    append(new CColorfAttribute(name, value, flag));
}

void CAttributes::addStringAsColorf(const char* name, const wchar_t* text, bool flag)
{
    appendFromText(new CColorfAttribute(name, video::SColorf(0.f, 0.f, 0.f, 1.f), flag), text);
}

void CAttributes::setAttribute(const char* name, video::SColorf value)
{
    if (IAttribute* a = getAttributeP(name))
        a->setColor(value);
    else
        append(new CColorfAttribute(name, value, false));
}

video::SColorf CAttributes::getColorf(const char* name) const
{
    const IAttribute* a = getAttributeP(name);
    return a ? a->getColorf() : video::SColorf(0.f, 0.f, 0.f, 1.f);
}

video::SColorf CAttributes::getColorf(int index) const
{
    const IAttribute* a = getAttributeAt(index);
    return a ? a->getColorf() : video::SColorf(0.f, 0.f, 0.f, 1.f);
}

void CAttributes::setAttribute(int index, video::SColorf value)
{
    if (IAttribute* a = getAttributeAt(index)) a->setColor(value);
}

// Vector2di

void CAttributes::addVector2di(const char* name, const core::vector2d<int>& value, bool flag)
{
    append(new CVector2DIAttribute(name, value, flag));
}

void CAttributes::addStringAsVector2di(const char* name, const wchar_t* text, bool flag)
{
    appendFromText(new CVector2DIAttribute(name, core::vector2d<int>(), flag), text);
}

core::vector2d<int> CAttributes::getVector2di(const char* name) const
{
    const IAttribute* a = getAttributeP(name);
    return a ? a->getVector2di() : core::vector2d<int>();
}

core::vector2d<int> CAttributes::getVector2di(int index) const
{
    const IAttribute* a = getAttributeAt(index);
    return a ? a->getVector2di() : core::vector2d<int>();
}

// Vector3di

void CAttributes::addVector3di(const char* name, const core::vector3d<int>& value, bool flag)
{
    append(new CVector3DIAttribute(name, value, flag));
}

void CAttributes::addStringAsVector3di(const char* name, const wchar_t* text, bool flag)
{
    appendFromText(new CVector3DIAttribute(name, core::vector3d<int>(), flag), text);
}

void CAttributes::setAttribute(const char* name, const core::vector3d<int>& value)
{
    if (IAttribute* a = getAttributeP(name))
        a->setVector3di(value);
    else
        append(new CVector3DIAttribute(name, value, false));
}

core::vector3d<int> CAttributes::getVector3di(const char* name) const
{
    const IAttribute* a = getAttributeP(name);
    return a ? a->getVector3di() : core::vector3d<int>();
}

core::vector3d<int> CAttributes::getVector3di(int index) const
{
    const IAttribute* a = getAttributeAt(index);
    return a ? a->getVector3di() : core::vector3d<int>();
}

void CAttributes::setAttribute(int index, const core::vector3d<int>& value)
{
    if (IAttribute* a = getAttributeAt(index)) a->setVector3di(value);
}

// Vector4di

void CAttributes::addVector4di(const char* name, const core::vector4d<int>& value, bool flag)
{
    append(new CVector4DIAttribute(name, value, flag));
}

void CAttributes::addStringAsVector4di(const char* name, const wchar_t* text, bool flag)
{
    appendFromText(new CVector4DIAttribute(name, core::vector4d<int>(), flag), text);
}

void CAttributes::setAttribute(const char* name, const core::vector4d<int>& value)
{
    if (IAttribute* a = getAttributeP(name))
        a->setVector4di(value);
    else
        append(new CVector4DIAttribute(name, value, false));
}

core::vector4d<int> CAttributes::getVector4di(const char* name) const
{
    const IAttribute* a = getAttributeP(name);
    return a ? a->getVector4di() : core::vector4d<int>();
}

core::vector4d<int> CAttributes::getVector4di(int index) const
{
    const IAttribute* a = getAttributeAt(index);
    return a ? a->getVector4di() : core::vector4d<int>();
}

void CAttributes::setAttribute(int index, const core::vector4d<int>& value)
{
    if (IAttribute* a = getAttributeAt(index)) a->setVector4di(value);
}

// Vector2d

void CAttributes::addVector2d(const char* name, const core::vector2d<float>& value, bool flag)
{
    append(new CVector2DAttribute(name, value, flag));
}

void CAttributes::addStringAsVector2d(const char* name, const wchar_t* text, bool flag)
{
    appendFromText(new CVector2DAttribute(name, core::vector2d<float>(), flag), text);
}

void CAttributes::setAttribute(const char* name, const core::vector2d<float>& value)
{
    if (IAttribute* a = getAttributeP(name))
        a->setVector2d(value);
    else
        append(new CVector2DAttribute(name, value, false));
}

core::vector2d<float> CAttributes::getVector2d(const char* name) const
{
    const IAttribute* a = getAttributeP(name);
    return a ? a->getVector2d() : core::vector2d<float>();
}

core::vector2d<float> CAttributes::getVector2d(int index) const
{
    const IAttribute* a = getAttributeAt(index);
    return a ? a->getVector2d() : core::vector2d<float>();
}

void CAttributes::setAttribute(int index, const core::vector2d<float>& value)
{
    if (IAttribute* a = getAttributeAt(index)) a->setVector2d(value);
}

// Vector3d

void CAttributes::addVector3d(const char* name, const core::vector3d<float>& value, bool flag)
{
    append(new CVector3DAttribute(name, value, flag));
}

void CAttributes::addStringAsVector3d(const char* name, const wchar_t* text, bool flag)
{
    appendFromText(new CVector3DAttribute(name, core::vector3d<float>(), flag), text);
}

void CAttributes::setAttribute(const char* name, const core::vector3d<float>& value)
{
    if (IAttribute* a = getAttributeP(name))
        a->setVector3d(value);
    else
        append(new CVector3DAttribute(name, value, false));
}

core::vector3d<float> CAttributes::getVector3d(const char* name) const
{
    const IAttribute* a = getAttributeP(name);
    return a ? a->getVector3d() : core::vector3d<float>();
}

core::vector3d<float> CAttributes::getVector3d(int index) const
{
    const IAttribute* a = getAttributeAt(index);
    return a ? a->getVector3d() : core::vector3d<float>();
}

void CAttributes::setAttribute(int index, const core::vector3d<float>& value)
{
    if (IAttribute* a = getAttributeAt(index)) a->setVector3d(value);
}

// Vector4d

void CAttributes::addVector4d(const char* name, const core::vector4d<float>& value, bool flag)
{
    append(new CVector4DAttribute(name, value, flag));
}

void CAttributes::addStringAsVector4d(const char* name, const wchar_t* text, bool flag)
{
    appendFromText(new CVector4DAttribute(name, core::vector4d<float>(), flag), text);
}

void CAttributes::setAttribute(const char* name, const core::vector4d<float>& value)
{
    if (IAttribute* a = getAttributeP(name))
        a->setVector4d(value);
    else
        append(new CVector4DAttribute(name, value, false));
}

core::vector4d<float> CAttributes::getVector4d(const char* name) const
{
    const IAttribute* a = getAttributeP(name);
    return a ? a->getVector4d() : core::vector4d<float>();
}

core::vector4d<float> CAttributes::getVector4d(int index) const
{
    const IAttribute* a = getAttributeAt(index);
    return a ? a->getVector4d() : core::vector4d<float>();
}

void CAttributes::setAttribute(int index, const core::vector4d<float>& value)
{
    if (IAttribute* a = getAttributeAt(index)) a->setVector4d(value);
}

// Position2d

void CAttributes::addPosition2d(const char* name, core::position2d<int> value, bool flag)
{
    append(new CPosition2DAttribute(name, value, flag));
}

void CAttributes::addStringAsPosition2d(const char* name, const wchar_t* text, bool flag)
{
    appendFromText(new CPosition2DAttribute(name, core::position2d<int>(), flag), text);
}

void CAttributes::setAttribute(const char* name, core::position2d<int> value)
{
    if (IAttribute* a = getAttributeP(name))
        a->setPosition(value);
    else
        append(new CPosition2DAttribute(name, value, false));
}

core::position2d<int> CAttributes::getPosition2d(const char* name) const
{
    const IAttribute* a = getAttributeP(name);
    return a ? a->getPosition() : core::position2d<int>();
}

core::position2d<int> CAttributes::getPosition2d(int index) const
{
    const IAttribute* a = getAttributeAt(index);
    return a ? a->getPosition() : core::position2d<int>();
}

void CAttributes::setAttribute(int index, core::position2d<int> value)
{
    if (IAttribute* a = getAttributeAt(index)) a->setPosition(value);
}

// Rect

void CAttributes::addRect(const char* name, core::rect<int> value, bool flag)
{
    append(new CRectAttribute(name, value, flag));
}

void CAttributes::addStringAsRect(const char* name, const wchar_t* text, bool flag)
{
    appendFromText(new CRectAttribute(name, core::rect<int>(), flag), text);
}

void CAttributes::setAttribute(const char* name, core::rect<int> value)
{
    if (IAttribute* a = getAttributeP(name))
        a->setRect(value);
    else
        append(new CRectAttribute(name, value, false));
}

core::rect<int> CAttributes::getRect(const char* name) const
{
    const IAttribute* a = getAttributeP(name);
    return a ? a->getRect() : core::rect<int>();
}

core::rect<int> CAttributes::getRect(int index) const
{
    const IAttribute* a = getAttributeAt(index);
    return a ? a->getRect() : core::rect<int>();
}

void CAttributes::setAttribute(int index, core::rect<int> value)
{
    if (IAttribute* a = getAttributeAt(index)) a->setRect(value);
}

// Matrix

void CAttributes::addMatrix(const char* name, const core::CMatrix4<float>& value, bool flag)
{
    append(new CMatrixAttribute(name, value, flag));
}

void CAttributes::addStringAsMatrix(const char* name, const wchar_t* text, bool flag)
{
    appendFromText(new CMatrixAttribute(name, core::CMatrix4<float>(), flag), text);
}

void CAttributes::setAttribute(const char* name, const core::CMatrix4<float>& value)
{
    if (IAttribute* a = getAttributeP(name))
        a->setMatrix(value);
    else
        append(new CMatrixAttribute(name, value, false));
}

core::CMatrix4<float> CAttributes::getMatrix(const char* name) const
{
    const IAttribute* a = getAttributeP(name);
    return a ? a->getMatrix() : core::CMatrix4<float>();
}

core::CMatrix4<float> CAttributes::getMatrix(int index) const
{
    const IAttribute* a = getAttributeAt(index);
    return a ? a->getMatrix() : core::CMatrix4<float>();
}

void CAttributes::setAttribute(int index, const core::CMatrix4<float>& value)
{
    if (IAttribute* a = getAttributeAt(index)) a->setMatrix(value);
}

// Quaternion

void CAttributes::addQuaternion(const char* name, core::quaternion value, bool flag)
{
    append(new CQuaternionAttribute(name, value, flag));
}

void CAttributes::addStringAsQuaternion(const char* name, const wchar_t* text, bool flag)
{
    appendFromText(new CQuaternionAttribute(name, core::quaternion(0.f, 0.f, 0.f, 1.f), flag), text);
}

void CAttributes::setAttribute(const char* name, core::quaternion value)
{
    if (IAttribute* a = getAttributeP(name))
        a->setQuaternion(value);
    else
        append(new CQuaternionAttribute(name, value, false));
}

core::quaternion CAttributes::getQuaternion(const char* name) const
{
    const IAttribute* a = getAttributeP(name);
    return a ? a->getQuaternion() : core::quaternion(0.f, 1.f, 0.f, 0.f);
}

core::quaternion CAttributes::getQuaternion(int index) const
{
    const IAttribute* a = getAttributeAt(index);
    return a ? a->getQuaternion() : core::quaternion(0.f, 1.f, 0.f, 0.f);
}

void CAttributes::setAttribute(int index, core::quaternion value)
{
    if (IAttribute* a = getAttributeAt(index)) a->setQuaternion(value);
}

// Box3d

void CAttributes::addBox3d(const char* name, core::aabbox3d<float> value, bool flag)
{
    append(new CBBoxAttribute(name, value, flag));
}

void CAttributes::addStringAsBox3d(const char* name, const wchar_t* text, bool flag)
{
    appendFromText(new CBBoxAttribute(name, core::aabbox3d<float>(-1.f, -1.f, -1.f, 1.f, 1.f, 1.f), flag),
                   text);
}

void CAttributes::setAttribute(const char* name, core::aabbox3d<float> value)
{
    if (IAttribute* a = getAttributeP(name))
        a->setBBox(value);
    else
        append(new CBBoxAttribute(name, value, false));
}

core::aabbox3d<float> CAttributes::getBox3d(const char* name) const
{
    const IAttribute* a = getAttributeP(name);
    return a ? a->getBBox() : core::aabbox3d<float>(0.f, 0.f, 0.f, 0.f, 0.f, 0.f);
}

core::aabbox3d<float> CAttributes::getBox3d(int index) const
{
    const IAttribute* a = getAttributeAt(index);
    return a ? a->getBBox() : core::aabbox3d<float>(0.f, 0.f, 0.f, 0.f, 0.f, 0.f);
}

void CAttributes::setAttribute(int index, core::aabbox3d<float> value)
{
    if (IAttribute* a = getAttributeAt(index)) a->setBBox(value);
}

// Plane3d

void CAttributes::addPlane3d(const char* name, core::plane3d<float> value, bool flag)
{
    append(new CPlaneAttribute(name, value, flag));
}

void CAttributes::addStringAsPlane3d(const char* name, const wchar_t* text, bool flag)
{
    appendFromText(new CPlaneAttribute(name, core::plane3d<float>({0.f, 1.f, 0.f}, -0.f), flag), text);
}

void CAttributes::setAttribute(const char* name, core::plane3d<float> value)
{
    if (IAttribute* a = getAttributeP(name))
        a->setPlane(value);
    else
        append(new CPlaneAttribute(name, value, false));
}

core::plane3d<float> CAttributes::getPlane3d(const char* name) const
{
    const IAttribute* a = getAttributeP(name);
    return a ? a->getPlane() : core::plane3d<float>({0.f, 1.f, 0.f}, -0.f);
}

core::plane3d<float> CAttributes::getPlane3d(int index) const
{
    const IAttribute* a = getAttributeAt(index);
    return a ? a->getPlane() : core::plane3d<float>({0.f, 1.f, 0.f}, -0.f);
}

void CAttributes::setAttribute(int index, core::plane3d<float> value)
{
    if (IAttribute* a = getAttributeAt(index)) a->setPlane(value);
}

// Triangle3d

void CAttributes::addTriangle3d(const char* name, core::triangle3d<float> value, bool flag)
{
    append(new CTriangleAttribute(name, value, flag));
}

void CAttributes::addStringAsTriangle3d(const char* name, const wchar_t* text, bool flag)
{
    appendFromText(new CTriangleAttribute(name, core::triangle3d<float>(), flag), text);
}

void CAttributes::setAttribute(const char* name, core::triangle3d<float> value)
{
    if (IAttribute* a = getAttributeP(name))
        a->setTriangle(value);
    else
        append(new CTriangleAttribute(name, value, false));
}

core::triangle3d<float> CAttributes::getTriangle3d(const char* name) const
{
    const IAttribute* a = getAttributeP(name);
    return a ? a->getTriangle() : core::triangle3d<float>();
}

core::triangle3d<float> CAttributes::getTriangle3d(int index) const
{
    const IAttribute* a = getAttributeAt(index);
    return a ? a->getTriangle() : core::triangle3d<float>();
}

void CAttributes::setAttribute(int index, core::triangle3d<float> value)
{
    if (IAttribute* a = getAttributeAt(index)) a->setTriangle(value);
}

// Line2d

void CAttributes::addLine2d(const char* name, core::line2d<float> value, bool flag)
{
    append(new CLine2dAttribute(name, value, flag));
}

void CAttributes::addStringAsLine2d(const char* name, const wchar_t* text, bool flag)
{
    appendFromText(new CLine2dAttribute(name, core::line2d<float>(0.f, 0.f, 1.f, 1.f), flag), text);
}

void CAttributes::setAttribute(const char* name, core::line2d<float> value)
{
    if (IAttribute* a = getAttributeP(name))
        a->setLine2d(value);
    else
        append(new CLine2dAttribute(name, value, false));
}

core::line2d<float> CAttributes::getLine2d(const char* name) const
{
    const IAttribute* a = getAttributeP(name);
    return a ? a->getLine2d() : core::line2d<float>(0.f, 0.f, 0.f, 0.f);
}

core::line2d<float> CAttributes::getLine2d(int index) const
{
    const IAttribute* a = getAttributeAt(index);
    return a ? a->getLine2d() : core::line2d<float>(0.f, 0.f, 0.f, 0.f);
}

void CAttributes::setAttribute(int index, core::line2d<float> value)
{
    if (IAttribute* a = getAttributeAt(index)) a->setLine2d(value);
}

// Line3d

void CAttributes::addLine3d(const char* name, core::line3d<float> value, bool flag)
{
    append(new CLine3dAttribute(name, value, flag));
}

void CAttributes::addStringAsLine3d(const char* name, const wchar_t* text, bool flag)
{
    appendFromText(new CLine3dAttribute(name, core::line3d<float>({0.f, 0.f, 0.f}, {1.f, 1.f, 1.f}), flag),
                   text);
}

void CAttributes::setAttribute(const char* name, core::line3d<float> value)
{
    if (IAttribute* a = getAttributeP(name))
        a->setLine3d(value);
    else
        append(new CLine3dAttribute(name, value, false));
}

core::line3d<float> CAttributes::getLine3d(const char* name) const
{
    const IAttribute* a = getAttributeP(name);
    return a ? a->getLine3d() : core::line3d<float>();
}

core::line3d<float> CAttributes::getLine3d(int index) const
{
    const IAttribute* a = getAttributeAt(index);
    return a ? a->getLine3d() : core::line3d<float>();
}

void CAttributes::setAttribute(int index, core::line3d<float> value)
{
    if (IAttribute* a = getAttributeAt(index)) a->setLine3d(value);
}

// Texture

void CAttributes::addTexture(const char* name, TexturePtr value, bool flag)
{
    append(new CTextureAttribute(name, value, m_driver, flag));
}

void CAttributes::addStringAsTexture(const char* name, const wchar_t* text, bool flag)
{
    appendFromText(new CTextureAttribute(name, nullptr, m_driver, flag), text);
}

void CAttributes::setAttribute(const char* name, TexturePtr value)
{
    if (IAttribute* a = getAttributeP(name))
        a->setTexture(value);
    else
        append(new CTextureAttribute(name, value, m_driver, false));
}

TexturePtr CAttributes::getTexture(const char* name) const
{
    const IAttribute* a = getAttributeP(name);
    return a ? a->getTexture() : nullptr;
}

TexturePtr CAttributes::getTexture(int index) const
{
    const IAttribute* a = getAttributeAt(index);
    return a ? a->getTexture() : nullptr;
}

void CAttributes::setAttribute(int index, TexturePtr value)
{
    if (IAttribute* a = getAttributeAt(index)) a->setTexture(value);
}

// Light

void CAttributes::addLight(const char* name, LightPtr value, bool flag)
{
    append(new CLightAttribute(name, value, m_driver, flag));
}

void CAttributes::addStringAsLight(const char* name, const wchar_t* text, bool flag)
{
    appendFromText(new CLightAttribute(name, nullptr, m_driver, flag), text);
}

void CAttributes::setAttribute(const char* name, LightPtr value)
{
    if (IAttribute* a = getAttributeP(name))
        a->setLight(value);
    else
        append(new CLightAttribute(name, value, m_driver, false));
}

LightPtr CAttributes::getLight(const char* name) const
{
    const IAttribute* a = getAttributeP(name);
    return a ? a->getLight() : nullptr;
}

LightPtr CAttributes::getLight(int index) const
{
    const IAttribute* a = getAttributeAt(index);
    return a ? a->getLight() : nullptr;
}

void CAttributes::setAttribute(int index, LightPtr value)
{
    if (IAttribute* a = getAttributeAt(index)) a->setLight(value);
}

// UserPointer

void CAttributes::addUserPointer(const char* name, void* value, bool flag)
{
    append(new CUserPointerAttribute(name, value, flag));
}

void CAttributes::addStringAsUserPointer(const char* name, const wchar_t* text, bool flag)
{
    appendFromText(new CUserPointerAttribute(name, nullptr, flag), text);
}

void CAttributes::setAttribute(const char* name, void* value)
{
    if (IAttribute* a = getAttributeP(name))
        a->setUserPointer(value);
    else
        append(new CUserPointerAttribute(name, value, false));
}

void* CAttributes::getUserPointer(const char* name) const
{
    const IAttribute* a = getAttributeP(name);
    return a ? a->getUserPointer() : nullptr;
}

void* CAttributes::getUserPointer(int index) const
{
    const IAttribute* a = getAttributeAt(index);
    return a ? a->getUserPointer() : nullptr;
}

void CAttributes::setAttribute(int index, void* value)
{
    if (IAttribute* a = getAttributeAt(index)) a->setUserPointer(value);
}

}  // namespace pravik::io
