// The vertex copy of the batch bakers.

#include "engine/video/material/BatchUtils.h"
#include "engine/video/material/CVertexStreams.h"
#include "engine/video/material/IShader.h"
#include "engine/video/IVideoDriver.h"

#include <cstring>

namespace pravik::core {

using namespace video;

namespace {

using Matrix = CMatrix4<float>;

// Reads component c of a vertex element of any value type as float.
float readComponent(const unsigned char* at, unsigned valueType, unsigned c)
{
    switch (valueType) {
    case EVAVT_BYTE: return float(reinterpret_cast<const signed char*>(at)[c]);
    case EVAVT_UBYTE: return float(at[c]);
    case EVAVT_SHORT: { short v; std::memcpy(&v, at + c * 2, 2); return float(v); }
    case EVAVT_USHORT: { unsigned short v; std::memcpy(&v, at + c * 2, 2); return float(v); }
    case EVAVT_INT: { int v; std::memcpy(&v, at + c * 4, 4); return float(v); }
    case EVAVT_UINT: { unsigned v; std::memcpy(&v, at + c * 4, 4); return float(v); }
    case EVAVT_FLOAT: { float v; std::memcpy(&v, at + c * 4, 4); return v; }
    default: return 0.f;
    }
}

void writeFloats(unsigned char* at, const float* v, unsigned n) { std::memcpy(at, v, n * sizeof(float)); }

bool isDirection(unsigned a) { return a == EVA_NORMAL || (a >= EVA_TANGENT0 && a <= EVA_BINORMAL3); }

}  // namespace

void overrideVertexStreams(const IShader& shader, const CVertexStreams& source, const unsigned char* sourceMap,
                           CVertexStreams& batch, const CMaterial* material, const IVideoDriver& driver, unsigned vertexStart,
                           unsigned vertexEnd, unsigned firstVertex, unsigned attributeMask, bool bakeTextureMatrices,
                           unsigned extraAttributes)
{
    if (vertexEnd <= vertexStart) return;
    const unsigned n = (vertexEnd - vertexStart) & 0xffffu;
    const Matrix& world = driver.getTransform(ETS_WORLD);
    const bool identity = world.getDefinitelyIdentityMatrix();
    const float* m = world.M;
    unsigned short matrixSearch = 0;
    bool diffuseRead = false;
    SColor diffuse(255, 255, 255, 255);

    // Shader inputs in their order, then the extra attributes (no allocation: this runs per draw).
    unsigned attributes[EVA_COUNT + 28];
    unsigned count = 0;
    const SShaderVertexAttributeDef* inputs = shader.getVertexAttributeDefs();
    for (unsigned i = 0; i < shader.getVertexAttributeCount() && count < EVA_COUNT; ++i) attributes[count++] = inputs[i].attribute;
    for (unsigned a = 0; extraAttributes && a < 28; ++a)
        if (extraAttributes & (1u << a)) attributes[count++] = a;
    for (unsigned k = 0; k < count; ++k) {
        const unsigned a = attributes[k];
        if (a >= 28 || !(attributeMask & (1u << a))) continue;
        SVertexStream* out = batch.getStream(a);
        if (out == batch.end() || !out->buffer) continue;
        auto* dst = static_cast<unsigned char*>(out->buffer->map(EBMA_CLIENT_WRITE));
        if (!dst) continue;
        const size_t outStride = out->stride;
        const size_t outSize = out->buffer->getSize();
        dst += out->offset;
        // Never write past the batch buffer.
        const size_t last = out->offset + (size_t(firstVertex) + n) * outStride;
        if (outStride == 0 || last > outSize + outStride - out->elementSize()) {
            out->buffer->unmap();
            continue;
        }
        unsigned char* d0 = dst + size_t(firstVertex) * outStride;

        const unsigned char slot = sourceMap ? sourceMap[a] : 0xff;
        const SVertexStream* in = slot != 0xff && slot < source.getStreamCount() ? source.begin() + slot : nullptr;
        if (in && !in->buffer) in = nullptr;
        const unsigned char* src = in ? static_cast<const unsigned char*>(in->buffer->map(EBRMA_READ)) : nullptr;
        if (in && !src) in = nullptr;
        if (in) {
            // Reads stay inside the source buffer.
            const size_t need = in->offset + (size_t(vertexEnd) - 1) * in->stride + in->elementSize();
            if (need > in->buffer->getSize()) {
                in->buffer->unmap();
                in = nullptr;
                src = nullptr;
            } else {
                src += in->offset + size_t(vertexStart) * in->stride;
            }
        }

        if (in) {
            const unsigned vt = in->valueType, comps = in->componentCount;
            if (a == EVA_POSITION) {
                const bool decode = (vt == EVAVT_SHORT) && (source.getFlags() & 4u);
                const CVertexStreams::SScaleOffset& so = source.getScaleAndOffsets()[0];
                if (vt == EVAVT_FLOAT && comps == 3) {
                    // The common case: float positions, copied or moved without conversion.
                    for (unsigned v = 0; v < n; ++v) {
                        float p[3];
                        std::memcpy(p, src + size_t(v) * in->stride, sizeof p);
                        if (!identity) {
                            const float x = p[0], y = p[1], z = p[2];
                            p[0] = m[0] * x + m[4] * y + m[8] * z + m[12];
                            p[1] = m[1] * x + m[5] * y + m[9] * z + m[13];
                            p[2] = m[2] * x + m[6] * y + m[10] * z + m[14];
                        }
                        writeFloats(d0 + size_t(v) * outStride, p, 3);
                    }
                } else if (vt == EVAVT_FLOAT || vt == EVAVT_SHORT) {
                    for (unsigned v = 0; v < n; ++v) {
                        const unsigned char* e = src + size_t(v) * in->stride;
                        float p[3] = {comps > 0 ? readComponent(e, vt, 0) : 0.f, comps > 1 ? readComponent(e, vt, 1) : 0.f,
                                      comps > 2 ? readComponent(e, vt, 2) : 0.f};
                        if (decode) {
                            p[0] = p[0] * so.scale.X + so.offset.X;
                            p[1] = p[1] * so.scale.Y + so.offset.Y;
                            p[2] = p[2] * so.scale.Z + so.offset.Z;
                        }
                        if (!identity) {
                            const float x = p[0], y = p[1], z = p[2];
                            p[0] = m[0] * x + m[4] * y + m[8] * z + m[12];
                            p[1] = m[1] * x + m[5] * y + m[9] * z + m[13];
                            p[2] = m[2] * x + m[6] * y + m[10] * z + m[14];
                        }
                        writeFloats(d0 + size_t(v) * outStride, p, 3);
                    }
                }
            } else if (a >= EVA_TEXCOORD0 && a < EVA_TEXCOORD0 + 8) {
                const unsigned set = a - EVA_TEXCOORD0;
                Matrix tm(EM4CONST_IDENTITY);
                bool useMatrix = false;
                if (bakeTextureMatrices && material) {
                    const unsigned short id = material->getMaterialRenderer()->getParameterID(ESPT_TEXTURE_MATRIX, matrixSearch);
                    if (id != 0xffff) {
                        material->getParameter(id, 0, tm);
                        matrixSearch = (unsigned short)(id + 1);
                        useMatrix = !tm.getDefinitelyIdentityMatrix();
                    }
                }
                const bool decode = vt == EVAVT_SHORT && set + 1 < unsigned(source.getTexCoordSetCount()) + 1u &&
                                    (source.getFlags() & (8u << set));
                const CVertexStreams::SScaleOffset& so = source.getScaleAndOffsets()[decode ? set + 1 : 0];
                if (vt == EVAVT_FLOAT || vt == EVAVT_SHORT) {
                    for (unsigned v = 0; v < n; ++v) {
                        const unsigned char* e = src + size_t(v) * in->stride;
                        float u = readComponent(e, vt, 0), w = comps > 1 ? readComponent(e, vt, 1) : 0.f;
                        if (decode) {
                            u = u * so.scale.X + so.offset.X;
                            w = w * so.scale.Y + so.offset.Y;
                        }
                        float t[2] = {u, w};
                        if (useMatrix) {
                            t[0] = tm.M[0] * u + tm.M[4] * w + tm.M[8];
                            t[1] = tm.M[1] * u + tm.M[5] * w + tm.M[9];
                        }
                        writeFloats(d0 + size_t(v) * outStride, t, 2);
                    }
                }
            } else if (isDirection(a)) {
                const float k = vt == EVAVT_BYTE ? 1.f / 127.f : vt == EVAVT_SHORT ? float(1.0 / 32767.0) : 1.f;
                if (vt == EVAVT_FLOAT || vt == EVAVT_BYTE || vt == EVAVT_SHORT) {
                    for (unsigned v = 0; v < n; ++v) {
                        const unsigned char* e = src + size_t(v) * in->stride;
                        const float x = readComponent(e, vt, 0) * k, y = readComponent(e, vt, 1) * k, z = readComponent(e, vt, 2) * k;
                        float r[3] = {x, y, z};
                        if (!identity) {
                            r[0] = m[0] * x + m[4] * y + m[8] * z;
                            r[1] = m[1] * x + m[5] * y + m[9] * z;
                            r[2] = m[2] * x + m[6] * y + m[10] * z;
                        }
                        writeFloats(d0 + size_t(v) * outStride, r, 3);
                    }
                }
            } else if (a == EVA_COLOR0) {
                for (unsigned v = 0; v < n; ++v) std::memcpy(d0 + size_t(v) * outStride, src + size_t(v) * in->stride, 4);
            }
            in->buffer->unmap();
        } else {
            if (isDirection(a)) {
                const float up[3] = {0.f, 1.f, 0.f};
                for (unsigned v = 0; v < n; ++v) writeFloats(d0 + size_t(v) * outStride, up, 3);
            } else if (a == EVA_COLOR0) {
                if (!diffuseRead) {
                    diffuseRead = true;
                    const unsigned short id =
                        material ? material->getMaterialRenderer()->getParameterID(ESPT_DIFFUSE_COLOR, 0) : (unsigned short)0xffff;
                    if (id != 0xffff) material->getParameterCvt(id, 0, diffuse);
                }
                for (unsigned v = 0; v < n; ++v) std::memcpy(d0 + size_t(v) * outStride, &diffuse, 4);
            } else if (a >= EVA_TEXCOORD0 && a < EVA_TEXCOORD0 + 8) {
                const float zero[2] = {0.f, 0.f};
                for (unsigned v = 0; v < n; ++v) writeFloats(d0 + size_t(v) * outStride, zero, 2);
            }
        }
        out->buffer->unmap();
    }
}

}  // namespace pravik::core
