#include "engine/video/material/BatchUtils.h"

#include "engine/core/vector4d.h"
#include "engine/video/CLight.h"
#include "engine/video/material/IShader.h"
#include "engine/video/ITexture.h"

#include <cmath>
#include <cstring>

namespace pravik::core {

using namespace video;

namespace {

using Matrix = CMatrix4<float>;
using TexturePtr = boost::intrusive_ptr<ITexture>;
using LightPtr = boost::intrusive_ptr<CLight>;

template <class T>
bool equalValue(const T& a, const T& b) { return a == b; }

bool equalColorf(const SColorf& a, const SColorf& b)
{
    auto near = [](float x, float y) { return x <= y + 1e-6f && x >= y - 1e-6f; };
    return near(a.r, b.r) && near(a.g, b.g) && near(a.b, b.b) && near(a.a, b.a);
}

template <class T>
bool compareElements(const CMaterial& a, unsigned short ia, const CMaterial& b, unsigned short ib, unsigned count)
{
    for (unsigned i = 0; i < count; ++i) {
        T x{}, y{};
        a.getParameter(ia, i, x);
        b.getParameter(ib, i, y);
        if constexpr (std::is_same_v<T, SColorf>) {
            if (!equalColorf(x, y)) return false;
        } else if constexpr (std::is_same_v<T, Matrix>) {
            if (!(x.getDefinitelyIdentityMatrix() && y.getDefinitelyIdentityMatrix()) && !(x == y)) return false;
        } else {
            if (!(x == y)) return false;
        }
    }
    return true;
}

template <class T>
void copyElements(CMaterial& d, unsigned short id, const CMaterial& s, unsigned short is, unsigned count)
{
    for (unsigned i = 0; i < count; ++i) {
        T v{};
        if constexpr (std::is_same_v<T, SColorf>) v = SColorf(0, 0, 0, 1);
        s.getParameter(is, i, v);
        d.setParameter(id, i, v);
    }
}

}  // namespace

bool copyParameter(const boost::intrusive_ptr<CMaterial>& destination, unsigned short destinationId,
                   const boost::intrusive_ptr<const CMaterial>& source, unsigned short sourceId)
{
    const SShaderParameterDef* d = destination->getParameterDef(destinationId);
    const SShaderParameterDef* s = source->getParameterDef(sourceId);
    if (!d || !s) return true;
    const unsigned n = d->arraySize < s->arraySize ? d->arraySize : s->arraySize;
    CMaterial& D = *destination;
    const CMaterial& S = *source;
    switch (s->valueType) {
    case ESPVT_INT: copyElements<int>(D, destinationId, S, sourceId, n); break;
    case ESPVT_INT2: copyElements<vector2d<int>>(D, destinationId, S, sourceId, n); break;
    case ESPVT_INT3: copyElements<vector3d<int>>(D, destinationId, S, sourceId, n); break;
    case ESPVT_INT4: copyElements<vector4d<int>>(D, destinationId, S, sourceId, n); break;
    case ESPVT_FLOAT: copyElements<float>(D, destinationId, S, sourceId, n); break;
    case ESPVT_FLOAT2: copyElements<vector2d<float>>(D, destinationId, S, sourceId, n); break;
    case ESPVT_FLOAT3: copyElements<vector3d<float>>(D, destinationId, S, sourceId, n); break;
    case ESPVT_FLOAT4: copyElements<vector4d<float>>(D, destinationId, S, sourceId, n); break;
    case ESPVT_FLOAT4X4:
        for (unsigned i = 0; i < n; ++i) {
            Matrix m(EM4CONST_IDENTITY);
            S.getParameter(sourceId, i, m);
            D.setParameter(destinationId, i, m);
        }
        break;
    case ESPVT_SAMPLER2D:
    case ESPVT_SAMPLER3D:
    case ESPVT_SAMPLERCUBE:
    case ESPVT_SAMPLERRECT: copyElements<TexturePtr>(D, destinationId, S, sourceId, n); break;
    case ESPVT_COLOR: copyElements<SColor>(D, destinationId, S, sourceId, n); break;
    case ESPVT_COLORF: copyElements<SColorf>(D, destinationId, S, sourceId, n); break;
    case ESPVT_LIGHT: copyElements<LightPtr>(D, destinationId, S, sourceId, n); break;
    default: break;
    }
    return true;
}

bool compareParameter(const boost::intrusive_ptr<const CMaterial>& first, unsigned short firstId,
                      const boost::intrusive_ptr<const CMaterial>& second, unsigned short secondId)
{
    const SShaderParameterDef* a = first->getParameterDef(firstId);
    const SShaderParameterDef* b = second->getParameterDef(secondId);
    if (!a || !b) return a == b;
    if (a->arraySize != b->arraySize || a->valueType != b->valueType) return false;
    const unsigned n = a->arraySize;
    const CMaterial& A = *first;
    const CMaterial& B = *second;
    switch (a->valueType) {
    case ESPVT_INT: return compareElements<int>(A, firstId, B, secondId, n);
    case ESPVT_INT2: return compareElements<vector2d<int>>(A, firstId, B, secondId, n);
    case ESPVT_INT3: return compareElements<vector3d<int>>(A, firstId, B, secondId, n);
    case ESPVT_INT4: return compareElements<vector4d<int>>(A, firstId, B, secondId, n);
    case ESPVT_FLOAT: return compareElements<float>(A, firstId, B, secondId, n);
    case ESPVT_FLOAT2: return compareElements<vector2d<float>>(A, firstId, B, secondId, n);
    case ESPVT_FLOAT3: return compareElements<vector3d<float>>(A, firstId, B, secondId, n);
    case ESPVT_FLOAT4: return compareElements<vector4d<float>>(A, firstId, B, secondId, n);
    case ESPVT_FLOAT4X4: return compareElements<Matrix>(A, firstId, B, secondId, n);
    case ESPVT_SAMPLER2D:
    case ESPVT_SAMPLER3D:
    case ESPVT_SAMPLERCUBE:
    case ESPVT_SAMPLERRECT: return compareElements<TexturePtr>(A, firstId, B, secondId, n);
    case ESPVT_COLOR: return compareElements<SColor>(A, firstId, B, secondId, n);
    case ESPVT_COLORF: return compareElements<SColorf>(A, firstId, B, secondId, n);
    case ESPVT_LIGHT: return compareElements<LightPtr>(A, firstId, B, secondId, n);
    default: return true;
    }
}

void copyMaterialParameters(const boost::intrusive_ptr<CMaterial>& destination, const boost::intrusive_ptr<const CMaterial>& source)
{
    const CMaterialRenderer& dr = *destination->getMaterialRenderer();
    const CMaterialRenderer& sr = *source->getMaterialRenderer();
    const unsigned char dt = destination->getTechnique(), st = source->getTechnique();
    if (dt >= dr.getTechniqueCount() || st >= sr.getTechniqueCount()) return;
    if (!dr.getTechnique(dt).passCount || !sr.getTechnique(st).passCount) return;
    const SRenderPass& dp = dr.getTechnique(dt).passes[0];
    const SRenderPass& sp = sr.getTechnique(st).passes[0];
    if (!dp.parameterSources || !sp.parameterSources || !dp.shader || !sp.shader) return;
    const unsigned n = dp.shader->getTotalParameterCount();
    const unsigned m = sp.shader->getTotalParameterCount();
    for (unsigned i = 0; i < n && i < m; ++i) {
        const unsigned short d = dp.parameterSources[i], s = sp.parameterSources[i];
        if (d < dr.getParameterCount() && s < sr.getParameterCount()) copyParameter(destination, d, source, s);
    }
}

namespace {

unsigned readIndex(const unsigned char* base, E_INDEX_TYPE type, unsigned n)
{
    switch (type) {
    case EIT_8BIT: return base[n];
    case EIT_16BIT: { unsigned short v; std::memcpy(&v, base + size_t(n) * 2, 2); return v; }
    case EIT_32BIT: { unsigned v; std::memcpy(&v, base + size_t(n) * 4, 4); return v; }
    default: return 0;
    }
}

}  // namespace

unsigned overridePrimitiveStream(const CPrimitiveStream& source, unsigned firstPrimitive, unsigned endPrimitive,
                                 CPrimitiveStream& destination, unsigned firstTriangle, int indexOffset)
{
    if (!destination.IndexBuffer) return 0;
    auto* out = static_cast<unsigned char*>(destination.IndexBuffer->map(EBMA_CLIENT_WRITE));
    if (!out) return 0;
    const size_t destinationSize = destination.IndexBuffer->getSize();
    const size_t start = size_t(destination.IndexOffset) + size_t(firstTriangle) * 6;
    const size_t room = start <= destinationSize ? (destinationSize - start) / 6 : 0;
    unsigned written = 0;
    auto put = [&](long a, long b, long c) {
        if (written >= room) return;
        const unsigned short v[3] = {(unsigned short)(a + indexOffset), (unsigned short)(b + indexOffset),
                                     (unsigned short)(c + indexOffset)};
        std::memcpy(out + start + size_t(written) * 6, v, 6);
        ++written;
    };
    const unsigned type = source.PrimitiveType;
    if (source.IndexBuffer) {
        const auto* in = static_cast<const unsigned char*>(source.IndexBuffer->map(EBRMA_READ));
        const unsigned size = CPrimitiveStream::getIndexSize(source.IndexType);
        if (in && size) {
            const size_t sourceSize = source.IndexBuffer->getSize();
            const size_t available = source.IndexOffset <= sourceSize ? (sourceSize - source.IndexOffset) / size : 0;
            const size_t count = source.Count < available ? source.Count : available;
            const unsigned char* base = in + source.IndexOffset;
            auto s = [&](unsigned long n) -> long { return n < count ? long(readIndex(base, source.IndexType, unsigned(n))) : 0; };
            for (unsigned long p = firstPrimitive; p < endPrimitive; ++p) {
                if (type == EPT_TRIANGLES) {
                    if (3 * p + 2 >= count) break;
                    put(s(3 * p), s(3 * p + 1), s(3 * p + 2));
                } else if (type == EPT_TRIANGLE_STRIP) {
                    if (p + 2 >= count) break;
                    if (p % 2 == 0) put(s(p), s(p + 1), s(p + 2));
                    else put(s(p + 1), s(p), s(p + 2));
                } else if (type == EPT_TRIANGLE_FAN) {
                    if (p + 2 >= count) break;
                    put(s(0), s(p + 1), s(p + 2));
                } else {
                    break;
                }
            }
        }
        source.IndexBuffer->unmap();
    } else {
        // Generated indices count from the first vertex, as the copied vertices do.
        const long first = long(source.FirstVertex);
        const long n = long(source.VertexEnd) - first;
        if (type == EPT_TRIANGLES) {
            for (long j = 0; j + 2 < n; j += 3) put(first + j, first + j + 1, first + j + 2);
        } else if (type == EPT_TRIANGLE_STRIP && n >= 3) {
            for (long k = 0; k < n - 2; ++k) {
                if (k % 2 == 0) put(first + k, first + k + 1, first + k + 2);
                else put(first + k, first + k + 2, first + k + 1);
            }
        } else if (type == EPT_TRIANGLE_FAN && n >= 3) {
            for (long k = 0; k < n - 2; ++k) put(first, first + k + 1, first + k + 2);
        }
    }
    destination.IndexBuffer->unmap();
    return written;
}

template <class T>
void quantize(unsigned char* destination, unsigned destinationStride, const vector3d<float>* source, unsigned sourceStride,
              unsigned count)
{
    const float scale = sizeof(T) == 1 ? 127.f : 32767.f;
    const auto* in = reinterpret_cast<const unsigned char*>(source);
    for (unsigned i = 0; i < count; ++i) {
        vector3d<float> v;
        std::memcpy(&v, in + size_t(i) * sourceStride, sizeof v);
        const T q[3] = {T(v.X * scale), T(v.Y * scale), T(v.Z * scale)};
        std::memcpy(destination + size_t(i) * destinationStride, q, sizeof q);
    }
}
template void quantize<char>(unsigned char*, unsigned, const vector3d<float>*, unsigned, unsigned);
template void quantize<short>(unsigned char*, unsigned, const vector3d<float>*, unsigned, unsigned);

namespace {

template <unsigned N>
void quantizeComponents(unsigned char* destination, unsigned destinationStride, const float* source, unsigned sourceStride,
                        unsigned count, float* scale, float* offset, float r)
{
    float lo[N] = {}, hi[N] = {};
    const auto* in = reinterpret_cast<const unsigned char*>(source);
    for (unsigned i = 0; i < count; ++i) {
        float v[N];
        std::memcpy(v, in + size_t(i) * sourceStride, sizeof v);
        for (unsigned c = 0; c < N; ++c) {
            if (i == 0 || v[c] < lo[c]) lo[c] = v[c];
            if (i == 0 || v[c] > hi[c]) hi[c] = v[c];
        }
    }
    for (unsigned c = 0; c < N; ++c) {
        scale[c] = N == 3 ? (hi[c] - lo[c]) * r : (hi[c] - lo[c]) / 65535.f;
        offset[c] = (lo[c] + hi[c]) * 0.5f;
    }
    for (unsigned i = 0; i < count; ++i) {
        float v[N];
        std::memcpy(v, in + size_t(i) * sourceStride, sizeof v);
        short q[N];
        for (unsigned c = 0; c < N; ++c) q[c] = scale[c] == 0.f ? short(0) : short((v[c] - offset[c]) / scale[c]);
        std::memcpy(destination + size_t(i) * destinationStride, q, sizeof q);
    }
}

}  // namespace

void quantizeScaleOffset(unsigned char* destination, unsigned destinationStride, const vector3d<float>* source,
                         unsigned sourceStride, unsigned count, vector3d<float>& scale, vector3d<float>& offset)
{
    float s[3], o[3];
    const float r = float(0x10001) * std::ldexp(1.0f, -32);
    quantizeComponents<3>(destination, destinationStride, &source->X, sourceStride, count, s, o, r);
    scale = vector3d<float>(s[0], s[1], s[2]);
    offset = vector3d<float>(o[0], o[1], o[2]);
}

void quantizeScaleOffset(unsigned char* destination, unsigned destinationStride, const vector2d<float>* source,
                         unsigned sourceStride, unsigned count, vector2d<float>& scale, vector2d<float>& offset)
{
    float s[2], o[2];
    quantizeComponents<2>(destination, destinationStride, &source->X, sourceStride, count, s, o, 0.f);
    scale = vector2d<float>(s[0], s[1]);
    offset = vector2d<float>(o[0], o[1]);
}

}  // namespace pravik::core
