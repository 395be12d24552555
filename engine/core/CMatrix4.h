// 4x4 matrix in OpenGL ES order: element 4c + r is row r of column c, the translation lies in
// elements 12-14. The is-identity flag is true only while the matrix is known to be the
// identity; anything that may change an element clears it.
#pragma once

#include <cmath>
#include <cstring>

#include "engine/core/aabbox3d.h"
#include "engine/core/vector3d.h"

namespace pravik::core {

enum eConstructor : unsigned {
    EM4CONST_NOTHING = 0,
    EM4CONST_COPY = 1,
    EM4CONST_IDENTITY = 2,
    EM4CONST_TRANSPOSED = 3,
    EM4CONST_INVERSE = 4,
    EM4CONST_INVERSE_TRANSPOSED = 5,
};

template <typename T>
class CMatrix4 {
public:
    // Kinds 0 and 1 leave the elements zero with the flag clear; any other kind is the identity.
    constexpr explicit CMatrix4(eConstructor kind = EM4CONST_IDENTITY);
    // From another matrix: 1 copy, 2 identity, 3 transposed, 4 inverse, 5 transposed inverse
    // (the zero matrix when there is no inverse); any other mode gives zeros, flag clear.
    CMatrix4(const CMatrix4& other, eConstructor mode);
    CMatrix4(const CMatrix4&) = default;
    CMatrix4& operator=(const CMatrix4&) = default;

    T& operator[](unsigned i) { m_isIdentity = false; return M[i]; }
    const T& operator[](unsigned i) const { return M[i]; }
    T& operator()(unsigned row, unsigned col) { m_isIdentity = false; return M[col * 4 + row]; }
    const T& operator()(unsigned row, unsigned col) const { return M[col * 4 + row]; }
    const T* pointer() const { return M; }
    T* pointer() { m_isIdentity = false; return M; }

    bool operator==(const CMatrix4& o) const;   // the elements only
    bool operator!=(const CMatrix4& o) const { return !(*this == o); }
    CMatrix4 operator*(const CMatrix4& o) const;   // this applied after o
    CMatrix4& operator*=(const CMatrix4& o) { return *this = *this * o; }

    constexpr CMatrix4& makeIdentity();
    bool isIdentity() const;                        // by value (exact), whatever the flag
    bool getDefinitelyIdentityMatrix() const { return m_isIdentity; }
    void setDefinitelyIdentityMatrix(bool isIdentity) { m_isIdentity = isIdentity; }

    CMatrix4& setTranslation(const vector3d<T>& t);
    vector3d<T> getTranslation() const { return {M[12], M[13], M[14]}; }
    CMatrix4& setScale(const vector3d<T>& s);
    vector3d<T> getScale() const;
    CMatrix4& setRotationRadians(const vector3d<T>& r);   // X, then Y, then Z
    CMatrix4& setRotationDegrees(const vector3d<T>& r);

    void transformVect(vector3d<T>& v) const;                        // full transform of a point
    void transformVect(vector3d<T>& out, const vector3d<T>& in) const;
    void transformVect(T* out4, const vector3d<T>& in) const;          // homogeneous result
    void rotateVect(vector3d<T>& v) const;                            // the upper 3x3 only
    void translateVect(vector3d<T>& v) const { v.X += M[12]; v.Y += M[13]; v.Z += M[14]; }
    void transformBox(aabbox3d<T>& box) const;                        // box of the moved corners

    bool getInverse(CMatrix4& out) const;           // false (out untouched) when singular
    bool makeInverse();
    void getTransposed(CMatrix4& out) const;         // copies the flag too
    CMatrix4 getTransposed() const;

    T M[16];

private:
    bool m_isIdentity;
};

extern const CMatrix4<float> IdentityMatrix;
using matrix4 = CMatrix4<float>;

template <typename T>
constexpr CMatrix4<T>::CMatrix4(eConstructor kind) : M{}, m_isIdentity(false)
{
    if (kind != EM4CONST_NOTHING && kind != EM4CONST_COPY)
        makeIdentity();
}

template <typename T>
CMatrix4<T>::CMatrix4(const CMatrix4& other, eConstructor mode) : M{}, m_isIdentity(false)
{
    switch (mode) {
    case EM4CONST_COPY:
        *this = other;
        break;
    case EM4CONST_IDENTITY:
        makeIdentity();
        break;
    case EM4CONST_TRANSPOSED:
        other.getTransposed(*this);
        break;
    case EM4CONST_INVERSE:
        if (!other.getInverse(*this))
            std::memset(M, 0, sizeof(M));
        break;
    case EM4CONST_INVERSE_TRANSPOSED:
        if (!other.getInverse(*this))
            std::memset(M, 0, sizeof(M));
        else
            *this = getTransposed();
        break;
    default:
        break;
    }
}

template <typename T>
bool CMatrix4<T>::operator==(const CMatrix4& o) const
{
    for (int i = 0; i < 16; ++i)
        if (M[i] != o.M[i])
            return false;
    return true;
}

template <typename T>
CMatrix4<T> CMatrix4<T>::operator*(const CMatrix4& o) const
{
    if (m_isIdentity)
        return o;
    if (o.m_isIdentity)
        return *this;
    CMatrix4 r(EM4CONST_NOTHING);
    for (int c = 0; c < 4; ++c)
        for (int row = 0; row < 4; ++row)
            r.M[c * 4 + row] = M[row] * o.M[c * 4] + M[4 + row] * o.M[c * 4 + 1] + M[8 + row] * o.M[c * 4 + 2] +
                               M[12 + row] * o.M[c * 4 + 3];
    return r;
}

template <typename T>
constexpr CMatrix4<T>& CMatrix4<T>::makeIdentity()
{
    for (T& e : M)
        e = T(0);
    M[0] = M[5] = M[10] = M[15] = T(1);
    m_isIdentity = true;
    return *this;
}

template <typename T>
bool CMatrix4<T>::isIdentity() const
{
    for (int i = 0; i < 16; ++i)
        if (M[i] != ((i % 5 == 0) ? T(1) : T(0)))
            return false;
    return true;
}

template <typename T>
CMatrix4<T>& CMatrix4<T>::setTranslation(const vector3d<T>& t)
{
    M[12] = t.X;
    M[13] = t.Y;
    M[14] = t.Z;
    m_isIdentity = false;
    return *this;
}

template <typename T>
CMatrix4<T>& CMatrix4<T>::setScale(const vector3d<T>& s)
{
    M[0] = s.X;
    M[5] = s.Y;
    M[10] = s.Z;
    m_isIdentity = false;
    return *this;
}

template <typename T>
vector3d<T> CMatrix4<T>::getScale() const
{
    return {vector3d<T>(M[0], M[1], M[2]).getLength(), vector3d<T>(M[4], M[5], M[6]).getLength(),
            vector3d<T>(M[8], M[9], M[10]).getLength()};
}

template <typename T>
CMatrix4<T>& CMatrix4<T>::setRotationRadians(const vector3d<T>& r)
{
    const double cr = std::cos(r.X), sr = std::sin(r.X);
    const double cp = std::cos(r.Y), sp = std::sin(r.Y);
    const double cy = std::cos(r.Z), sy = std::sin(r.Z);
    M[0] = T(cp * cy);
    M[1] = T(cp * sy);
    M[2] = T(-sp);
    const double srsp = sr * sp, crsp = cr * sp;
    M[4] = T(srsp * cy - cr * sy);
    M[5] = T(srsp * sy + cr * cy);
    M[6] = T(sr * cp);
    M[8] = T(crsp * cy + sr * sy);
    M[9] = T(crsp * sy - sr * cy);
    M[10] = T(cr * cp);
    m_isIdentity = false;
    return *this;
}

template <typename T>
CMatrix4<T>& CMatrix4<T>::setRotationDegrees(const vector3d<T>& r)
{
    const T k = T(0.017453292519943295);
    return setRotationRadians(vector3d<T>(r.X * k, r.Y * k, r.Z * k));
}

template <typename T>
void CMatrix4<T>::transformVect(vector3d<T>& out, const vector3d<T>& in) const
{
    out.X = in.X * M[0] + in.Y * M[4] + in.Z * M[8] + M[12];
    out.Y = in.X * M[1] + in.Y * M[5] + in.Z * M[9] + M[13];
    out.Z = in.X * M[2] + in.Y * M[6] + in.Z * M[10] + M[14];
}

template <typename T>
void CMatrix4<T>::transformVect(vector3d<T>& v) const
{
    const vector3d<T> in = v;
    transformVect(v, in);
}

template <typename T>
void CMatrix4<T>::transformVect(T* out4, const vector3d<T>& in) const
{
    for (int r = 0; r < 4; ++r)
        out4[r] = in.X * M[r] + in.Y * M[4 + r] + in.Z * M[8 + r] + M[12 + r];
}

template <typename T>
void CMatrix4<T>::rotateVect(vector3d<T>& v) const
{
    const vector3d<T> in = v;
    v.X = in.X * M[0] + in.Y * M[4] + in.Z * M[8];
    v.Y = in.X * M[1] + in.Y * M[5] + in.Z * M[9];
    v.Z = in.X * M[2] + in.Y * M[6] + in.Z * M[10];
}

template <typename T>
void CMatrix4<T>::transformBox(aabbox3d<T>& box) const
{
    if (m_isIdentity)
        return;
    vector3d<T> edges[8];
    box.getEdges(edges);
    transformVect(edges[0]);
    box.reset(edges[0]);
    for (int i = 1; i < 8; ++i) {
        transformVect(edges[i]);
        box.addInternalPoint(edges[i]);
    }
}

template <typename T>
bool CMatrix4<T>::getInverse(CMatrix4& out) const
{
    if (m_isIdentity) {
        out = *this;
        return true;
    }
    // Cofactor expansion in double precision, so near-singular inputs keep what accuracy they have.
    const T* m = M;
    double inv[16];
    inv[0] = double(m[5]) * m[10] * m[15] - double(m[5]) * m[11] * m[14] - double(m[9]) * m[6] * m[15] +
             double(m[9]) * m[7] * m[14] + double(m[13]) * m[6] * m[11] - double(m[13]) * m[7] * m[10];
    inv[4] = -double(m[4]) * m[10] * m[15] + double(m[4]) * m[11] * m[14] + double(m[8]) * m[6] * m[15] -
             double(m[8]) * m[7] * m[14] - double(m[12]) * m[6] * m[11] + double(m[12]) * m[7] * m[10];
    inv[8] = double(m[4]) * m[9] * m[15] - double(m[4]) * m[11] * m[13] - double(m[8]) * m[5] * m[15] +
             double(m[8]) * m[7] * m[13] + double(m[12]) * m[5] * m[11] - double(m[12]) * m[7] * m[9];
    inv[12] = -double(m[4]) * m[9] * m[14] + double(m[4]) * m[10] * m[13] + double(m[8]) * m[5] * m[14] -
              double(m[8]) * m[6] * m[13] - double(m[12]) * m[5] * m[10] + double(m[12]) * m[6] * m[9];
    inv[1] = -double(m[1]) * m[10] * m[15] + double(m[1]) * m[11] * m[14] + double(m[9]) * m[2] * m[15] -
             double(m[9]) * m[3] * m[14] - double(m[13]) * m[2] * m[11] + double(m[13]) * m[3] * m[10];
    inv[5] = double(m[0]) * m[10] * m[15] - double(m[0]) * m[11] * m[14] - double(m[8]) * m[2] * m[15] +
             double(m[8]) * m[3] * m[14] + double(m[12]) * m[2] * m[11] - double(m[12]) * m[3] * m[10];
    inv[9] = -double(m[0]) * m[9] * m[15] + double(m[0]) * m[11] * m[13] + double(m[8]) * m[1] * m[15] -
             double(m[8]) * m[3] * m[13] - double(m[12]) * m[1] * m[11] + double(m[12]) * m[3] * m[9];
    inv[13] = double(m[0]) * m[9] * m[14] - double(m[0]) * m[10] * m[13] - double(m[8]) * m[1] * m[14] +
              double(m[8]) * m[2] * m[13] + double(m[12]) * m[1] * m[10] - double(m[12]) * m[2] * m[9];
    inv[2] = double(m[1]) * m[6] * m[15] - double(m[1]) * m[7] * m[14] - double(m[5]) * m[2] * m[15] +
             double(m[5]) * m[3] * m[14] + double(m[13]) * m[2] * m[7] - double(m[13]) * m[3] * m[6];
    inv[6] = -double(m[0]) * m[6] * m[15] + double(m[0]) * m[7] * m[14] + double(m[4]) * m[2] * m[15] -
             double(m[4]) * m[3] * m[14] - double(m[12]) * m[2] * m[7] + double(m[12]) * m[3] * m[6];
    inv[10] = double(m[0]) * m[5] * m[15] - double(m[0]) * m[7] * m[13] - double(m[4]) * m[1] * m[15] +
              double(m[4]) * m[3] * m[13] + double(m[12]) * m[1] * m[7] - double(m[12]) * m[3] * m[5];
    inv[14] = -double(m[0]) * m[5] * m[14] + double(m[0]) * m[6] * m[13] + double(m[4]) * m[1] * m[14] -
              double(m[4]) * m[2] * m[13] - double(m[12]) * m[1] * m[6] + double(m[12]) * m[2] * m[5];
    inv[3] = -double(m[1]) * m[6] * m[11] + double(m[1]) * m[7] * m[10] + double(m[5]) * m[2] * m[11] -
             double(m[5]) * m[3] * m[10] - double(m[9]) * m[2] * m[7] + double(m[9]) * m[3] * m[6];
    inv[7] = double(m[0]) * m[6] * m[11] - double(m[0]) * m[7] * m[10] - double(m[4]) * m[2] * m[11] +
             double(m[4]) * m[3] * m[10] + double(m[8]) * m[2] * m[7] - double(m[8]) * m[3] * m[6];
    inv[11] = -double(m[0]) * m[5] * m[11] + double(m[0]) * m[7] * m[9] + double(m[4]) * m[1] * m[11] -
              double(m[4]) * m[3] * m[9] - double(m[8]) * m[1] * m[7] + double(m[8]) * m[3] * m[5];
    inv[15] = double(m[0]) * m[5] * m[10] - double(m[0]) * m[6] * m[9] - double(m[4]) * m[1] * m[10] +
              double(m[4]) * m[2] * m[9] + double(m[8]) * m[1] * m[6] - double(m[8]) * m[2] * m[5];
    const double det = m[0] * inv[0] + m[1] * inv[4] + m[2] * inv[8] + m[3] * inv[12];
    if (det == 0.0 || !std::isfinite(det))
        return false;
    const double k = 1.0 / det;
    for (int i = 0; i < 16; ++i)
        out.M[i] = T(inv[i] * k);
    out.m_isIdentity = false;
    return true;
}

template <typename T>
bool CMatrix4<T>::makeInverse()
{
    CMatrix4 t(EM4CONST_NOTHING);
    if (!getInverse(t))
        return false;
    *this = t;
    return true;
}

template <typename T>
void CMatrix4<T>::getTransposed(CMatrix4& out) const
{
    const CMatrix4 in = *this;   // out may be this matrix
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r)
            out.M[c * 4 + r] = in.M[r * 4 + c];
    out.m_isIdentity = in.m_isIdentity;
}

template <typename T>
CMatrix4<T> CMatrix4<T>::getTransposed() const
{
    CMatrix4 t(EM4CONST_NOTHING);
    getTransposed(t);
    return t;
}

// Orthographic projection to the depth range [0, 1], depth growing away from the viewer.
template <typename T>
CMatrix4<T> buildProjectionMatrixOrtho(T left, T right, T bottom, T top, T zNear, T zFar)
{
    CMatrix4<T> m(EM4CONST_NOTHING);
    m.M[0] = T(2) / (right - left);
    m.M[5] = T(2) / (top - bottom);
    m.M[10] = T(1) / (zFar - zNear);
    m.M[12] = -(left + right) / (right - left);
    m.M[13] = -(bottom + top) / (top - bottom);
    m.M[14] = zNear / (zNear - zFar);
    m.M[15] = T(1);
    return m;
}

// Perspective projection looking along +z, depth mapped to [0, 1]; aspect is width / height.
template <typename T>
CMatrix4<T> buildProjectionMatrixPerspectiveFov(T fieldOfViewRadians, T aspectRatio, T zNear, T zFar)
{
    const double h = 1.0 / std::tan(double(fieldOfViewRadians) * 0.5);
    CMatrix4<T> m(EM4CONST_NOTHING);
    m.M[0] = T(h / double(aspectRatio));
    m.M[5] = T(h);
    m.M[10] = zFar / (zFar - zNear);
    m.M[11] = T(1);
    m.M[14] = -(zNear * zFar) / (zFar - zNear);
    return m;
}

// View matrix: side = forward x up, up' = side x forward; the third column holds +forward
// (view space looks along +z, as the projections above expect).
template <typename T>
CMatrix4<T> buildCameraLookAtMatrix(const vector3d<T>& eye, const vector3d<T>& target, const vector3d<T>& up)
{
    vector3d<T> f = target - eye;
    f.normalize();
    vector3d<T> s(f.Y * up.Z - f.Z * up.Y, f.Z * up.X - f.X * up.Z, f.X * up.Y - f.Y * up.X);
    s.normalize();
    const vector3d<T> u = s.crossProduct(f);
    CMatrix4<T> m(EM4CONST_NOTHING);
    m.M[0] = s.X; m.M[1] = u.X; m.M[2] = f.X;  m.M[3] = T(0);
    m.M[4] = s.Y; m.M[5] = u.Y; m.M[6] = f.Y;  m.M[7] = T(0);
    m.M[8] = s.Z; m.M[9] = u.Z; m.M[10] = f.Z; m.M[11] = T(0);
    m.M[12] = -s.dotProduct(eye);
    m.M[13] = -u.dotProduct(eye);
    m.M[14] = -f.dotProduct(eye);
    m.M[15] = T(1);
    return m;
}

} // namespace pravik::core
