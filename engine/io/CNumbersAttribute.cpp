// Number lists and the kinds built on them. Conversions happen on every call, from the stored
// values; only the array getters keep a scratch copy in the unused storage.

#include "engine/io/CNumbersAttribute.h"

#include <cmath>
#include <cstdio>

#include "engine/core/TextForms.h"
#include "engine/core/fast_atof.h"

namespace pravik::io {

namespace {

// The single-precision number nearest to 1/255.
constexpr float kInv255 = 0.003921569f;

uint8_t channelToByte(float channel)
{
    const double product = double(channel) * 255.0;
    if (!(product > 0.0)) return 0;
    if (product >= 4294967295.0) return 0xFF;
    return uint8_t(uint32_t(product) & 0xFF);
}

uint32_t colourWord(video::SColor c)
{
    return uint32_t(c.a) | uint32_t(c.r) << 8 | uint32_t(c.g) << 16 | uint32_t(c.b) << 24;
}

video::SColorf colourFromWord(uint32_t w)
{
    return {float((w >> 8) & 0xFF) * kInv255, float((w >> 16) & 0xFF) * kInv255,
            float((w >> 24) & 0xFF) * kInv255, float(w & 0xFF) * kInv255};
}

uint32_t wordFromFloat(float word)
{
    if (std::isnan(word) || std::fabs(word) >= 9.2e18f) return 0;
    return uint32_t(int64_t(word));
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

CNumbersAttribute::CNumbersAttribute(const char* name, video::SColorf value, bool flag)
    : CNumbersAttribute(name, 4, true, flag)
{
    setF({value.r, value.g, value.b, value.a});
}

CNumbersAttribute::CNumbersAttribute(const char* name, uint32_t count, bool isFloat, bool flag)
    : IAttribute(name, flag), m_count(count), m_isFloat(isFloat)
{
    if (isFloat)
        m_floats.assign(count, 0.f);
    else
        m_ints.assign(count, 0);
}

float CNumbersAttribute::valueF(uint32_t i) const
{
    if (i >= m_count) return 0.f;
    return m_isFloat ? m_floats[i] : float(m_ints[i]);
}

int CNumbersAttribute::valueI(uint32_t i) const
{
    if (i >= m_count) return 0;
    return m_isFloat ? core::truncateToInt(m_floats[i]) : m_ints[i];
}

void CNumbersAttribute::setF(std::initializer_list<float> components)
{
    uint32_t i = 0;
    for (uint32_t k = 0; k < m_count; ++k) {
        if (m_isFloat)
            m_floats[k] = 0.f;
        else
            m_ints[k] = 0;
    }
    for (float c : components) {
        if (i >= m_count) break;
        if (m_isFloat)
            m_floats[i] = c;
        else
            m_ints[i] = core::truncateToInt(c);
        ++i;
    }
}

void CNumbersAttribute::setI(std::initializer_list<int> components)
{
    uint32_t i = 0;
    for (uint32_t k = 0; k < m_count; ++k) {
        if (m_isFloat)
            m_floats[k] = 0.f;
        else
            m_ints[k] = 0;
    }
    for (int c : components) {
        if (i >= m_count) break;
        if (m_isFloat)
            m_floats[i] = float(c);
        else
            m_ints[i] = c;
        ++i;
    }
}

int CNumbersAttribute::getInt() const { return valueI(0); }

float CNumbersAttribute::getFloat() const { return valueF(0); }

bool CNumbersAttribute::getBool() const
{
    for (uint32_t i = 0; i < m_count; ++i)
        if (m_isFloat ? m_floats[i] != 0.f : m_ints[i] != 0) return true;
    return false;
}

video::SColorf CNumbersAttribute::getColorf() const
{
    if (m_isFloat) return {valueF(0), valueF(1), valueF(2), valueF(3)};
    auto c = [this](uint32_t i) { return float(double(valueI(i)) / 255.0); };
    return {c(0), c(1), c(2), c(3)};
}

video::SColor CNumbersAttribute::getColor() const
{
    const video::SColorf f = getColorf();
    return {channelToByte(f.r), channelToByte(f.g), channelToByte(f.b), channelToByte(f.a)};
}

core::stringc CNumbersAttribute::getString() const
{
    core::stringc out;
    for (uint32_t i = 0; i < m_count; ++i) {
        if (i) out += ", ";
        out += m_isFloat ? core::floatToText(m_floats[i]) : core::intToText(m_ints[i]);
    }
    return out;
}

core::stringw CNumbersAttribute::getStringW() const
{
    return core::stringc2stringw(CNumbersAttribute::getString());
}

core::vector2d<float> CNumbersAttribute::getVector2d() const { return {valueF(0), valueF(1)}; }

core::vector3d<float> CNumbersAttribute::getVector3d() const { return {valueF(0), valueF(1), valueF(2)}; }

core::vector4d<float> CNumbersAttribute::getVector4d() const
{
    return {valueF(0), valueF(1), valueF(2), valueF(3)};
}

core::vector2d<int> CNumbersAttribute::getVector2di() const { return {valueI(0), valueI(1)}; }

core::vector3d<int> CNumbersAttribute::getVector3di() const { return {valueI(0), valueI(1), valueI(2)}; }

core::vector4d<int> CNumbersAttribute::getVector4di() const
{
    return {valueI(0), valueI(1), valueI(2), valueI(3)};
}

core::position2d<int> CNumbersAttribute::getPosition() const { return {valueI(0), valueI(1)}; }

core::rect<int> CNumbersAttribute::getRect() const
{
    const int x = valueI(0), y = valueI(1);
    return {x, y, m_count > 2 ? valueI(2) : x, m_count > 3 ? valueI(3) : y};
}

core::quaternion CNumbersAttribute::getQuaternion() const
{
    return {valueF(0), valueF(1), valueF(2), valueF(3)};
}

core::CMatrix4<float> CNumbersAttribute::getMatrix() const
{
    core::CMatrix4<float> m;
    for (uint32_t i = 0; i < 16 && i < m_count; ++i) m[i] = valueF(i);  // clears the identity flag
    return m;
}

core::triangle3d<float> CNumbersAttribute::getTriangle() const
{
    return {{valueF(0), valueF(1), valueF(2)},
            {valueF(3), valueF(4), valueF(5)},
            {valueF(6), valueF(7), valueF(8)}};
}

core::line2d<float> CNumbersAttribute::getLine2d() const
{
    return {valueF(0), valueF(1), valueF(2), valueF(3)};
}

core::line2d<int> CNumbersAttribute::getLine2di() const
{
    return {valueI(0), valueI(1), valueI(2), valueI(3)};
}

core::line3d<float> CNumbersAttribute::getLine3d() const
{
    return {{valueF(0), valueF(1), valueF(2)}, {valueF(3), valueF(4), valueF(5)}};
}

core::line3d<int> CNumbersAttribute::getLine3di() const
{
    return {{valueI(0), valueI(1), valueI(2)}, {valueI(3), valueI(4), valueI(5)}};
}

core::dimension2d<int> CNumbersAttribute::getDimension2d() const { return {valueI(0), valueI(1)}; }

core::aabbox3d<float> CNumbersAttribute::getBBox() const
{
    return {valueF(0), valueF(1), valueF(2), valueF(3), valueF(4), valueF(5)};
}

core::plane3d<float> CNumbersAttribute::getPlane() const
{
    return {{valueF(0), valueF(1), valueF(2)}, valueF(3)};
}

CNumbersAttribute::FloatArray CNumbersAttribute::getFloatArray() const
{
    if (m_isFloat) return m_floats;
    m_floats.clear();
    for (int v : m_ints) m_floats.push_back(float(v));
    return m_floats;
}

CNumbersAttribute::IntArray CNumbersAttribute::getIntArray() const
{
    if (!m_isFloat) return m_ints;
    m_ints.clear();
    for (float v : m_floats) m_ints.push_back(core::truncateToInt(v));
    return m_ints;
}

void CNumbersAttribute::setInt(int value)
{
    for (uint32_t i = 0; i < m_count; ++i) {
        if (m_isFloat)
            m_floats[i] = float(value);
        else
            m_ints[i] = value;
    }
}

void CNumbersAttribute::setFloat(float value)
{
    for (uint32_t i = 0; i < m_count; ++i) {
        if (m_isFloat)
            m_floats[i] = value;
        else
            m_ints[i] = core::truncateToInt(value);
    }
}

void CNumbersAttribute::setBool(bool value) { setInt(value ? 1 : 0); }

void CNumbersAttribute::setString(const char* text)
{
    setI({});
    if (!text) return;
    const char* p = text;
    for (uint32_t i = 0; i < m_count && *p; ++i) {
        while (*p && !isDigit(*p) && *p != '-') ++p;
        if (!*p) break;
        float value = 0.f;
        p = core::fast_atof_move(p, value);
        if (m_isFloat)
            m_floats[i] = value;
        else
            m_ints[i] = core::truncateToInt(value);
    }
}

void CNumbersAttribute::setColor(video::SColorf c)
{
    if (m_isFloat)
        setF({c.r, c.g, c.b, c.a});
    else
        setF({float(c.r * 255.0), float(c.g * 255.0), float(c.b * 255.0), float(c.a * 255.0)});
}

void CNumbersAttribute::setColor(video::SColor c)
{
    if (m_isFloat)
        setF({float(c.r / 255.0), float(c.g / 255.0), float(c.b / 255.0), float(c.a / 255.0)});
    else
        setI({c.r, c.g, c.b, c.a});
}

void CNumbersAttribute::setVector2d(core::vector2d<float> v) { setF({v.X, v.Y}); }

void CNumbersAttribute::setVector3d(const core::vector3d<float>& v) { setF({v.X, v.Y, v.Z}); }

void CNumbersAttribute::setVector4d(const core::vector4d<float>& v) { setF({v.X, v.Y, v.Z, v.W}); }

void CNumbersAttribute::setVector2di(core::vector2d<int> v) { setI({v.X, v.Y}); }

void CNumbersAttribute::setVector3di(const core::vector3d<int>& v) { setI({v.X, v.Y, v.Z}); }

void CNumbersAttribute::setVector4di(const core::vector4d<int>& v) { setI({v.X, v.Y, v.Z, v.W}); }

void CNumbersAttribute::setPosition(core::position2d<int> v) { setI({v.X, v.Y}); }

void CNumbersAttribute::setRect(core::rect<int> r)
{
    setI({r.UpperLeftCorner.X, r.UpperLeftCorner.Y, r.LowerRightCorner.X, r.LowerRightCorner.Y});
}

void CNumbersAttribute::setQuaternion(core::quaternion q) { setF({q.X, q.Y, q.Z, q.W}); }

void CNumbersAttribute::setMatrix(const core::CMatrix4<float>& m)
{
    const float* e = m.pointer();
    setF({e[0], e[1], e[2], e[3], e[4], e[5], e[6], e[7], e[8], e[9], e[10], e[11], e[12], e[13], e[14],
          e[15]});
}

void CNumbersAttribute::setTriangle(core::triangle3d<float> t)
{
    setF({t.pointA.X, t.pointA.Y, t.pointA.Z, t.pointB.X, t.pointB.Y, t.pointB.Z, t.pointC.X, t.pointC.Y,
          t.pointC.Z});
}

void CNumbersAttribute::setLine2d(core::line2d<float> l) { setF({l.start.X, l.start.Y, l.end.X, l.end.Y}); }

void CNumbersAttribute::setLine2d(core::line2d<int> l) { setI({l.start.X, l.start.Y, l.end.X, l.end.Y}); }

void CNumbersAttribute::setLine3d(core::line3d<float> l)
{
    setF({l.start.X, l.start.Y, l.start.Z, l.end.X, l.end.Y, l.end.Z});
}

void CNumbersAttribute::setLine3d(core::line3d<int> l)
{
    setI({l.start.X, l.start.Y, l.start.Z, l.end.X, l.end.Y, l.end.Z});
}

void CNumbersAttribute::setDimension2d(core::dimension2d<int> d) { setI({d.Width, d.Height}); }

void CNumbersAttribute::setBBox(core::aabbox3d<float> b)
{
    setF({b.MinEdge.X, b.MinEdge.Y, b.MinEdge.Z, b.MaxEdge.X, b.MaxEdge.Y, b.MaxEdge.Z});
}

void CNumbersAttribute::setPlane(core::plane3d<float> p) { setF({p.Normal.X, p.Normal.Y, p.Normal.Z, p.D}); }

void CNumbersAttribute::setFloatArray(const FloatArray& values)
{
    setI({});
    for (uint32_t i = 0; i < m_count && i < values.size(); ++i) {
        if (m_isFloat)
            m_floats[i] = values[i];
        else
            m_ints[i] = core::truncateToInt(values[i]);
    }
}

void CNumbersAttribute::setIntArray(const IntArray& values)
{
    setI({});
    for (uint32_t i = 0; i < m_count && i < values.size(); ++i) {
        if (m_isFloat)
            m_floats[i] = float(values[i]);
        else
            m_ints[i] = values[i];
    }
}

// Colours: the packed word puts alpha in the low byte, then red, green, blue.

int CColorfAttribute::getInt() const { return int(colourWord(getColor())); }

float CColorfAttribute::getFloat() const { return float(colourWord(getColor())); }

void CColorfAttribute::setInt(int word)
{
    const video::SColorf c = colourFromWord(uint32_t(word));
    setF({c.r, c.g, c.b, c.a});
}

void CColorfAttribute::setFloat(float word) { setInt(int(wordFromFloat(word))); }

int CColorAttribute::getInt() const { return int(colourWord(getColor())); }

float CColorAttribute::getFloat() const { return float(colourWord(getColor())); }

void CColorAttribute::setInt(int word)
{
    const video::SColorf c = colourFromWord(uint32_t(word));
    setF({c.r, c.g, c.b, c.a});
}

void CColorAttribute::setFloat(float word) { setInt(int(wordFromFloat(word))); }

core::stringw CColorAttribute::getStringW() const
{
    const video::SColor c = getColor();
    char text[16];
    snprintf(text, sizeof text, "%02x%02x%02x%02x", c.a, c.r, c.g, c.b);
    return core::stringc2stringw(text);
}

void CColorAttribute::setString(const char* text)
{
    unsigned a = 0, r = 0, g = 0, b = 0;
    if (text) sscanf(text, "%02x%02x%02x%02x", &a, &r, &g, &b);
    setColor(video::SColor(uint8_t(r), uint8_t(g), uint8_t(b), uint8_t(a)));
}

void CColorAttribute::setString(const wchar_t* text) { setString(core::string2stringc(text).c_str()); }

// The remaining kinds.

CVector2DAttribute::CVector2DAttribute(const char* name, const core::vector2d<float>& v, bool flag)
    : CNumbersAttribute(name, 2, true, flag)
{
    setVector2d(v);
}

CVector3DAttribute::CVector3DAttribute(const char* name, const core::vector3d<float>& v, bool flag)
    : CNumbersAttribute(name, 3, true, flag)
{
    setVector3d(v);
}

CVector4DAttribute::CVector4DAttribute(const char* name, const core::vector4d<float>& v, bool flag)
    : CNumbersAttribute(name, 4, true, flag)
{
    setVector4d(v);
}

CVector2DIAttribute::CVector2DIAttribute(const char* name, const core::vector2d<int>& v, bool flag)
    : CNumbersAttribute(name, 2, false, flag)
{
    setVector2di(v);
}

CVector3DIAttribute::CVector3DIAttribute(const char* name, const core::vector3d<int>& v, bool flag)
    : CNumbersAttribute(name, 3, false, flag)
{
    setVector3di(v);
}

CVector4DIAttribute::CVector4DIAttribute(const char* name, const core::vector4d<int>& v, bool flag)
    : CNumbersAttribute(name, 4, false, flag)
{
    setVector4di(v);
}

CQuaternionAttribute::CQuaternionAttribute(const char* name, core::quaternion q, bool flag)
    : CNumbersAttribute(name, 4, true, flag)
{
    setQuaternion(q);
}

CPosition2DAttribute::CPosition2DAttribute(const char* name, core::position2d<int> v, bool flag)
    : CNumbersAttribute(name, 2, false, flag)
{
    setPosition(v);
}

CRectAttribute::CRectAttribute(const char* name, core::rect<int> r, bool flag)
    : CNumbersAttribute(name, 4, false, flag)
{
    setRect(r);
}

CBBoxAttribute::CBBoxAttribute(const char* name, core::aabbox3d<float> b, bool flag)
    : CNumbersAttribute(name, 6, true, flag)
{
    setBBox(b);
}

CPlaneAttribute::CPlaneAttribute(const char* name, core::plane3d<float> p, bool flag)
    : CNumbersAttribute(name, 4, true, flag)
{
    setPlane(p);
}

CLine2dAttribute::CLine2dAttribute(const char* name, core::line2d<float> l, bool flag)
    : CNumbersAttribute(name, 4, true, flag)
{
    setLine2d(l);
}

CLine3dAttribute::CLine3dAttribute(const char* name, core::line3d<float> l, bool flag)
    : CNumbersAttribute(name, 6, true, flag)
{
    setLine3d(l);
}

CMatrixAttribute::CMatrixAttribute(const char* name, const core::CMatrix4<float>& m, bool flag)
    : CNumbersAttribute(name, 16, true, flag)
{
    setMatrix(m);
}

CTriangleAttribute::CTriangleAttribute(const char* name, core::triangle3d<float> t, bool flag)
    : CNumbersAttribute(name, 9, true, flag)
{
    setTriangle(t);
}

namespace {

core::CMatrix4<float> identityMatrix() { return core::CMatrix4<float>(); }

}  // namespace

core::CMatrix4<float> CVector2DAttribute::getMatrix() const { return identityMatrix(); }

core::CMatrix4<float> CVector3DAttribute::getMatrix() const
{
    core::CMatrix4<float> m;
    m[12] = valueF(0);
    m[13] = valueF(1);
    m[14] = valueF(2);
    return m;
}

core::CMatrix4<float> CVector4DAttribute::getMatrix() const { return identityMatrix(); }

core::CMatrix4<float> CVector2DIAttribute::getMatrix() const { return identityMatrix(); }

core::CMatrix4<float> CVector3DIAttribute::getMatrix() const { return identityMatrix(); }

core::CMatrix4<float> CVector4DIAttribute::getMatrix() const { return identityMatrix(); }

core::CMatrix4<float> CQuaternionAttribute::getMatrix() const
{
    const core::quaternion q = getQuaternion();
    const float x = q.X, y = q.Y, z = q.Z, w = q.W;
    core::CMatrix4<float> m(core::EM4CONST_NOTHING);
    float* e = m.pointer();
    e[0] = 1.f - 2.f * y * y - 2.f * z * z;
    e[1] = 2.f * x * y - 2.f * w * z;
    e[2] = 2.f * x * z + 2.f * w * y;
    e[3] = 0.f;
    e[4] = 2.f * x * y + 2.f * w * z;
    e[5] = 1.f - 2.f * x * x - 2.f * z * z;
    e[6] = 2.f * y * z - 2.f * w * x;
    e[7] = 0.f;
    e[8] = 2.f * x * z - 2.f * w * y;
    e[9] = 2.f * y * z + 2.f * w * x;
    e[10] = 1.f - 2.f * x * x - 2.f * y * y;
    e[11] = 0.f;
    e[12] = e[13] = e[14] = 0.f;
    e[15] = 1.f;
    m.setDefinitelyIdentityMatrix(false);
    return m;
}

core::quaternion CMatrixAttribute::getQuaternion() const
{
    const core::CMatrix4<float> matrix = getMatrix();
    const float* m = matrix.pointer();
    float x, y, z, w;
    const float t = m[0] + m[5] + m[10];
    if (t > 0.f) {
        const float s = sqrtf(t + 1.f);
        w = 0.5f * s;
        const float f = 0.5f / s;
        x = f * (m[9] - m[6]);
        y = f * (m[2] - m[8]);
        z = f * (m[4] - m[1]);
    } else if (m[0] > m[5] && m[0] > m[10]) {
        const float s = sqrtf(1.f + m[0] - m[5] - m[10]);
        x = 0.5f * s;
        const float f = 0.5f / s;
        y = f * (m[1] + m[4]);
        z = f * (m[8] + m[2]);
        w = f * (m[9] - m[6]);
    } else if (m[5] > m[10]) {
        const float s = sqrtf(1.f + m[5] - m[0] - m[10]);
        y = 0.5f * s;
        const float f = 0.5f / s;
        x = f * (m[1] + m[4]);
        z = f * (m[6] + m[9]);
        w = f * (m[2] - m[8]);
    } else {
        const float s = sqrtf(1.f + m[10] - m[0] - m[5]);
        z = 0.5f * s;
        const float f = 0.5f / s;
        x = f * (m[2] + m[8]);
        y = f * (m[6] + m[9]);
        w = f * (m[4] - m[1]);
    }
    const float n = x * x + y * y + z * z + w * w;
    if (n != 1.f) {
        const float inv = 1.f / sqrtf(n);
        x *= inv;
        y *= inv;
        z *= inv;
        w *= inv;
    }
    return {x, y, z, w};
}

core::plane3d<float> CTriangleAttribute::getPlane() const
{
    const core::triangle3d<float> t = getTriangle();
    const core::vector3d<float> u = t.pointB - t.pointA;
    const core::vector3d<float> v = t.pointC - t.pointA;
    core::vector3d<float> normal(u.Z * v.Y - u.Y * v.Z, u.X * v.Z - u.Z * v.X, u.Y * v.X - u.X * v.Y);
    const float lengthSq = normal.X * normal.X + normal.Y * normal.Y + normal.Z * normal.Z;
    if (lengthSq != 0.f) {
        const float length = sqrtf(lengthSq);
        normal = {normal.X / length, normal.Y / length, normal.Z / length};
    }
    const float d = -(normal.X * t.pointA.X + normal.Y * t.pointA.Y + normal.Z * t.pointA.Z);
    return {normal, d};
}

}  // namespace pravik::io
