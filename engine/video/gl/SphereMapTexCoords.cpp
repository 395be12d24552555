#include "engine/video/gl/SphereMapTexCoords.h"

#include <cmath>
#include <type_traits>

namespace pravik::video {

namespace {

template <class T>
T* at(T* base, unsigned int stride, unsigned int i)
{
    using Byte = std::conditional_t<std::is_const_v<T>, const unsigned char, unsigned char>;
    return reinterpret_cast<T*>(reinterpret_cast<Byte*>(base) + size_t(stride) * i);
}

core::vector3d<float> direction(const float* m, const core::vector3d<float>& v)
{
    return {v.X * m[0] + v.Y * m[4] + v.Z * m[8], v.X * m[1] + v.Y * m[5] + v.Z * m[9],
            v.X * m[2] + v.Y * m[6] + v.Z * m[10]};
}

core::vector3d<float> point(const float* m, const core::vector3d<float>& v)
{
    const core::vector3d<float> d = direction(m, v);
    return {d.X + m[12], d.Y + m[13], d.Z + m[14]};
}

core::vector3d<float> unit(const core::vector3d<float>& v)
{
    const float lengthSq = v.X * v.X + v.Y * v.Y + v.Z * v.Z;
    if (lengthSq == 0.0f) return v;
    const float length = std::sqrt(lengthSq);
    return {v.X / length, v.Y / length, v.Z / length};
}

}  // namespace

void computeSphereMapTexCoords(const core::CMatrix4<float>& modelView,
                               const core::CMatrix4<float>* normalMatrix, unsigned int count,
                               const core::vector3d<float>* positions, unsigned int positionStride,
                               const core::vector3d<float>* normals, unsigned int normalStride,
                               core::vector2d<float>* texCoords, unsigned int texCoordStride)
{
    const float* mv = modelView.pointer();
    for (unsigned int i = 0; i < count; ++i) {
        const core::vector3d<float> u = unit(point(mv, *at(positions, positionStride, i)));
        const core::vector3d<float>& normal = *at(normals, normalStride, i);
        const core::vector3d<float> n =
            normalMatrix ? unit(direction(normalMatrix->pointer(), normal)) : direction(mv, normal);
        const float d = 2.0f * (n.X * u.X + n.Y * u.Y + n.Z * u.Z);
        const core::vector3d<float> r(u.X - d * n.X, u.Y - d * n.Y, u.Z - d * n.Z);
        const float sum = r.X * r.X + r.Y * r.Y + (r.Z + 1.0f) * (r.Z + 1.0f);
        const float m = float(std::sqrt(double(sum)));
        core::vector2d<float>& out = *at(texCoords, texCoordStride, i);
        if (m == 0.0f) {  // reflection straight back at the viewer: the map's rim, any point of it
            out.X = 0.5f;
            out.Y = 0.5f;
            continue;
        }
        const float k = 0.5f / m;
        out.X = 0.5f + k * r.X;
        out.Y = 0.5f - k * r.Y;
    }
}

void computeSimpleSphereMapTexCoords(const core::CMatrix4<float>& matrix, unsigned int count,
                                     const core::vector3d<float>* normals, unsigned int normalStride,
                                     core::vector2d<float>* texCoords, unsigned int texCoordStride,
                                     bool normalize)
{
    const float* m = matrix.pointer();
    for (unsigned int i = 0; i < count; ++i) {
        core::vector3d<float> e = direction(m, *at(normals, normalStride, i));
        if (normalize) {
            const float lengthSq = e.X * e.X + e.Y * e.Y + e.Z * e.Z;
            if (lengthSq != 0.0f) {
                const float length = std::sqrt(lengthSq);
                e.X /= length;
                e.Y /= length;
            }
        }
        core::vector2d<float>& out = *at(texCoords, texCoordStride, i);
        out.X = 0.5f + 0.5f * e.X;
        out.Y = 0.5f - 0.5f * e.Y;
    }
}

}  // namespace pravik::video
