#include "engine/scene/CGeometryCreator.h"

#include "engine/video/IVideoDriver.h"
#include "engine/video/image/CImage.h"
#include "engine/video/material/EVertexAttribute.h"

#include <cmath>
#include <cstring>

namespace pravik::scene {

namespace {

using core::vector3d;
using video::SColor;

constexpr unsigned kMaxVertices = 65536;  // 16-bit indices

// Writes straight into the new buffers: positions always, the other three attributes only
// when the stream set has them.
class CShapeWriter {
public:
    CShapeWriter(unsigned mask, video::IVideoDriver* driver, unsigned vertexCount, unsigned indexCount)
        : m_vertexCount(vertexCount)
    {
        if (!driver || vertexCount == 0 || vertexCount >= kMaxVertices) return;
        auto* indices = new unsigned char[2 * size_t(indexCount)]();
        boost::intrusive_ptr<video::IBuffer> indexBuffer =
            driver->createBuffer(video::EBT_INDEX, video::EBU_CLIENT_ONLY, 2 * indexCount, indices, true);
        if (!indexBuffer) {
            delete[] indices;
            return;
        }
        boost::intrusive_ptr<video::CVertexStreams> streams = video::CVertexStreams::allocate(mask);
        boost::intrusive_ptr<video::IBuffer> vertices =
            driver->createBuffer(video::EBT_VERTEX, video::EBU_CLIENT_ONLY, 0, nullptr, false);
        if (!streams || !vertices) return;
        const unsigned short stride = streams->setupStreams(vertices, 0xFFFFFFFFu);
        streams->setVertexCount(vertexCount);
        vertices->reset(unsigned(stride) * vertexCount, new unsigned char[size_t(stride) * vertexCount](), true);
        m_buffer = new CMeshBuffer(streams, video::CPrimitiveStream(indexBuffer, 0, indexCount, 0, vertexCount,
                                                                      video::EIT_16BIT, video::EPT_TRIANGLES));
        m_vertices = static_cast<unsigned char*>(vertices->map(video::EBMA_CLIENT_WRITE));
        m_indices = static_cast<unsigned short*>(indexBuffer->map(video::EBMA_CLIENT_WRITE));
        m_vertexBuffer = vertices;
        m_indexBuffer = indexBuffer;
        m_position = streams->getStream(video::EVA_POSITION);
        m_tex = streams->getStream(video::EVA_TEXCOORD0);
        m_normal = streams->getStream(video::EVA_NORMAL);
        m_color = streams->getStream(video::EVA_COLOR0);
        if (!m_vertices || !m_indices) m_buffer.reset();
    }
    ~CShapeWriter() { close(); }

    bool ok() const { return m_buffer != nullptr; }
    bool hasTexture() const { return m_tex && m_tex->buffer; }
    bool hasNormal() const { return m_normal && m_normal->buffer; }

    vector3d<float>& position(unsigned i) { return *at<vector3d<float>>(m_position, i); }
    void setPosition(unsigned i, const vector3d<float>& p) { position(i) = p; }
    void setNormal(unsigned i, const vector3d<float>& n)
    {
        if (hasNormal()) *at<vector3d<float>>(m_normal, i) = n;
    }
    vector3d<float> getNormal(unsigned i) { return hasNormal() ? *at<vector3d<float>>(m_normal, i) : vector3d<float>(); }
    void setTexture(unsigned i, float u, float v)
    {
        if (!hasTexture()) return;
        float* t = at<float>(m_tex, i);
        t[0] = u;
        t[1] = v;
    }
    float getU(unsigned i) { return hasTexture() ? at<float>(m_tex, i)[0] : 0.f; }
    void setColor(unsigned i, const SColor& c)
    {
        if (m_color && m_color->buffer) *at<SColor>(m_color, i) = c;
    }
    void copyVertex(unsigned to, unsigned from)
    {
        std::memcpy(m_vertices + m_position->offset + size_t(to) * m_position->stride,
                    m_vertices + m_position->offset + size_t(from) * m_position->stride, m_position->stride);
    }
    unsigned short* indices() { return m_indices; }
    void triangle(unsigned& k, unsigned a, unsigned b, unsigned c)
    {
        m_indices[k++] = (unsigned short)a;
        m_indices[k++] = (unsigned short)b;
        m_indices[k++] = (unsigned short)c;
    }

    // Ends the mappings and hands the buffer over in a new mesh.
    boost::intrusive_ptr<CMesh> finish(const boost::intrusive_ptr<video::CMaterial>& material = nullptr,
                                       const boost::intrusive_ptr<video::CMaterialVertexAttributeMap>& map = nullptr)
    {
        close();
        if (!m_buffer) return nullptr;
        boost::intrusive_ptr<CMesh> mesh(new CMesh());
        mesh->addMeshBuffer(m_buffer, material, map);
        mesh->recalculateBoundingBox();
        return mesh;
    }

private:
    template <class T>
    T* at(const video::SVertexStream* s, unsigned i)
    {
        return reinterpret_cast<T*>(m_vertices + s->offset + size_t(i) * s->stride);
    }
    void close()
    {
        if (m_vertexBuffer && m_vertices) m_vertexBuffer->unmap();
        if (m_indexBuffer && m_indices) m_indexBuffer->unmap();
        m_vertices = nullptr;
        m_indices = nullptr;
    }

    unsigned m_vertexCount;
    boost::intrusive_ptr<CMeshBuffer> m_buffer;
    boost::intrusive_ptr<video::IBuffer> m_vertexBuffer, m_indexBuffer;
    unsigned char* m_vertices = nullptr;
    unsigned short* m_indices = nullptr;
    const video::SVertexStream* m_position = nullptr;
    const video::SVertexStream* m_tex = nullptr;
    const video::SVertexStream* m_normal = nullptr;
    const video::SVertexStream* m_color = nullptr;
};

struct STableVertex {
    float position[3], normal[3], tex[2];
};

vector3d<float> unitOrSelf(vector3d<float> v)
{
    if (v.getLength() != 0.f) v.normalize();
    return v;
}

}  // namespace

boost::intrusive_ptr<CMesh> createPlaneMesh(unsigned mask, video::IVideoDriver* driver, float size, const SColor& color)
{
    static const STableVertex meshData[4] = {{{-0.5f, 0, -0.5f}, {0, 1, 0}, {1, 1}},
                                             {{0.5f, 0, -0.5f}, {0, 1, 0}, {1, 0}},
                                             {{0.5f, 0, 0.5f}, {0, 1, 0}, {0, 0}},
                                             {{-0.5f, 0, 0.5f}, {0, 1, 0}, {0, 1}}};
    static const unsigned short indices[6] = {0, 2, 1, 0, 3, 2};
    CShapeWriter w(mask, driver, 4, 6);
    if (!w.ok()) return nullptr;
    std::memcpy(w.indices(), indices, sizeof indices);
    for (unsigned i = 0; i < 4; ++i) {
        const STableVertex& v = meshData[i];
        w.setPosition(i, vector3d<float>(v.position[0], v.position[1], v.position[2]) * size);
        w.setNormal(i, {v.normal[0], v.normal[1], v.normal[2]});
        w.setTexture(i, v.tex[0], v.tex[1]);
        w.setColor(i, color);
    }
    return w.finish();
}

boost::intrusive_ptr<CMesh> createCubeMesh(unsigned mask, video::IVideoDriver* driver, float size)
{
    struct STable {
        STableVertex v[24];
    };
    static const STable cubeTable = [] {
        const float p[6][4][3] = {
            {{-0.5f, -0.5f, -0.5f}, {-0.5f, 0.5f, -0.5f}, {0.5f, 0.5f, -0.5f}, {0.5f, -0.5f, -0.5f}},
            {{0.5f, -0.5f, -0.5f}, {0.5f, 0.5f, -0.5f}, {0.5f, 0.5f, 0.5f}, {0.5f, -0.5f, 0.5f}},
            {{0.5f, -0.5f, 0.5f}, {0.5f, 0.5f, 0.5f}, {-0.5f, 0.5f, 0.5f}, {-0.5f, -0.5f, 0.5f}},
            {{-0.5f, -0.5f, 0.5f}, {-0.5f, 0.5f, 0.5f}, {-0.5f, 0.5f, -0.5f}, {-0.5f, -0.5f, -0.5f}},
            {{0.5f, 0.5f, 0.5f}, {0.5f, 0.5f, -0.5f}, {-0.5f, 0.5f, -0.5f}, {-0.5f, 0.5f, 0.5f}},
            {{-0.5f, -0.5f, -0.5f}, {0.5f, -0.5f, -0.5f}, {0.5f, -0.5f, 0.5f}, {-0.5f, -0.5f, 0.5f}}};
        const float n[6][3] = {{0, 0, -1}, {1, 0, 0}, {0, 0, 1}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}};
        const float t[4][2] = {{1, 1}, {1, 0}, {0, 0}, {0, 1}};
        STable table{};
        for (int f = 0; f < 6; ++f)
            for (int k = 0; k < 4; ++k) {
                STableVertex& v = table.v[4 * f + k];
                std::memcpy(v.position, p[f][k], sizeof v.position);
                std::memcpy(v.normal, n[f], sizeof v.normal);
                std::memcpy(v.tex, t[k], sizeof v.tex);
            }
        return table;
    }();
    const STableVertex* cubeData = cubeTable.v;
    CShapeWriter w(mask, driver, 24, 36);
    if (!w.ok()) return nullptr;
    unsigned k = 0;
    for (unsigned f = 0; f < 6; ++f) {
        w.triangle(k, 4 * f, 4 * f + 1, 4 * f + 2);
        w.triangle(k, 4 * f, 4 * f + 2, 4 * f + 3);
    }
    for (unsigned i = 0; i < 24; ++i) {
        const STableVertex& v = cubeData[i];
        w.setPosition(i, vector3d<float>(v.position[0], v.position[1], v.position[2]) * size);
        w.setNormal(i, {v.normal[0], v.normal[1], v.normal[2]});
        w.setTexture(i, v.tex[0], v.tex[1]);
        w.setColor(i, SColor(255, 255, 255, 255));
    }
    return w.finish();
}

boost::intrusive_ptr<CMesh> createSphereMesh(unsigned mask, video::IVideoDriver* driver, float radius, unsigned c,
                                             unsigned r)
{
    if (c < 2) c = 2;
    if (r < 2) r = 2;
    if ((unsigned long long)c * r >= 32768) {
        if (c > r) c = 32767 / r - 1;
        else r = 32767 / (c + 1);
    }
    if (c < 1 || r < 1) return nullptr;  // adjusted away: nothing to build
    const unsigned p = c + 1, T = r * p, U = r * p + 1, L = (r - 1) * p;
    CShapeWriter w(mask, driver, r * p + 2, 6 * c * r);
    if (!w.ok()) return nullptr;
    unsigned k = 0;
    for (unsigned y = 0; y + 1 < r; ++y)
        for (unsigned x = 0; x < c; ++x) {
            const unsigned a = (y + 1) * p + x, b = y * p + x;
            w.triangle(k, a, b, b + 1);
            w.triangle(k, a, b + 1, a + 1);
        }
    for (unsigned x = 0; x < c; ++x) {
        w.triangle(k, T, x + 1, x);
        w.triangle(k, L + x, L + x + 1, U);
    }
    const double columnStep = double(6.2831855f / float(c));
    const double rowStep = double(3.1415927f / float(r));
    const SColor color(255, 255, 255, 100);
    double phi = rowStep;
    for (unsigned y = 0; y < r; ++y, phi += rowStep) {
        const double s = std::sin(phi);
        double theta = 0;
        for (unsigned x = 0; x < c; ++x, theta += columnStep) {
            const unsigned i = y * p + x;
            const vector3d<float> pos(float(radius * std::cos(theta) * s), float(radius * std::cos(phi)),
                                      float(radius * std::sin(theta) * s));
            const vector3d<float> n = unitOrSelf(pos);
            w.setPosition(i, pos);
            w.setNormal(i, n);
            float u;
            if (y == 0) {
                if (n.Y == 1.f || n.Y == -1.f) u = 0.5f;
                else u = float(std::acos(std::clamp(double(n.X) / s, -1.0, 1.0)) * 0.5 * 0.3183098861837907);
                if (n.Z < 0) u = 1 - u;
            } else {
                u = w.hasTexture() ? w.getU(i - p) : 0.5f;
            }
            w.setTexture(i, u, float(phi * 0.3183098861837907));
            w.setColor(i, color);
        }
        w.copyVertex(y * p + c, y * p);
        w.setTexture(y * p + c, 1.f, float(phi * 0.3183098861837907));
    }
    w.setPosition(T, {0, radius, 0});
    w.setNormal(T, {0, 1, 0});
    w.setTexture(T, 0.5f, 0);
    w.setColor(T, color);
    w.setPosition(U, {0, -radius, 0});
    w.setNormal(U, {0, -1, 0});
    w.setTexture(U, 0.5f, 1);
    w.setColor(U, color);
    return w.finish();
}

boost::intrusive_ptr<CMesh> createConeMesh(unsigned mask, video::IVideoDriver* driver, float radius, float length,
                                           unsigned t, const SColor& top, const SColor& bottom, float oblique)
{
    if (t == 0 || 2ull * t + 2 >= kMaxVertices) return nullptr;
    const unsigned N = 2 * t;
    CShapeWriter w(mask, driver, N + 2, 12 * t);
    if (!w.ok()) return nullptr;
    const float step = 6.2831855f / float(t), half = step * 0.5f;
    for (unsigned i = 0; i < t; ++i) {
        const float a = float(i) * step;
        for (unsigned j = 0; j < 2; ++j) {
            const float angle = j ? a + half : a;
            const vector3d<float> pos(radius * std::cos(angle), 0, radius * std::sin(angle));
            w.setPosition(2 * i + j, pos);
            w.setNormal(2 * i + j, unitOrSelf(pos));
            w.setColor(2 * i + j, top);
        }
    }
    w.setPosition(N, {oblique, length, 0});
    w.setNormal(N, {0, 1, 0});
    w.setColor(N, top);
    w.setPosition(N + 1, {0, 0, 0});
    w.setNormal(N + 1, {0, -1, 0});
    w.setColor(N + 1, bottom);
    unsigned k = 0;
    for (unsigned j = 0; j + 1 < N; ++j) w.triangle(k, j, N, j + 1);
    w.triangle(k, N - 1, N, 0);
    for (unsigned j = 0; j + 1 < N; ++j) w.triangle(k, N + 1, j, j + 1);
    w.triangle(k, N + 1, N - 1, 0);
    return w.finish();
}

boost::intrusive_ptr<CMesh> createCylinderMesh(unsigned mask, video::IVideoDriver* driver, float radius, float length,
                                               unsigned t, const SColor& color, bool closeTop, float oblique)
{
    if (t == 0 || 4ull * t + 2 >= kMaxVertices) return nullptr;
    const unsigned N = 4 * t;
    CShapeWriter w(mask, driver, closeTop ? N + 2 : N + 1, closeTop ? 24 * t : 18 * t);
    if (!w.ok()) return nullptr;
    const float r = 1.f / float(t), step = r * 6.2831855f, half = step * 0.5f;
    float u = 0;
    for (unsigned i = 0; i < t; ++i, u += r) {
        const unsigned k = 4 * i;
        const float a = float(i) * step, b = a + half;
        const vector3d<float> pos[4] = {{radius * std::cos(a), 0, radius * std::sin(a)},
                                        {radius * std::cos(a) + oblique, length, radius * std::sin(a)},
                                        {radius * std::cos(b), 0, radius * std::sin(b)},
                                        {radius * std::cos(b) + oblique, length, radius * std::sin(b)}};
        const float tex[4][2] = {{u, 0}, {u, 1}, {u + r * 0.5f, 0}, {u + r * 0.5f, 1}};
        for (unsigned j = 0; j < 4; ++j) {
            w.setPosition(k + j, pos[j]);
            w.setNormal(k + j, unitOrSelf(pos[j]));
            w.setTexture(k + j, tex[j][0], tex[j][1]);
            w.setColor(k + j, color);
        }
    }
    w.setPosition(N, {0, 0, 0});
    w.setNormal(N, {0, -1, 0});
    w.setTexture(N, 1, 1);
    w.setColor(N, color);
    if (closeTop) {
        w.setPosition(N + 1, {oblique, length, 0});
        w.setNormal(N + 1, {0, 1, 0});
        w.setTexture(N + 1, 0, 0);
        w.setColor(N + 1, color);
    }
    unsigned k = 0;
    for (unsigned j = 0; j + 4 <= N; j += 2) {
        w.triangle(k, j + 2, j, j + 1);
        w.triangle(k, j + 2, j + 1, j + 3);
    }
    w.triangle(k, 0, N - 2, N - 1);
    w.triangle(k, 0, N - 1, 1);
    for (unsigned j = 0; j + 4 <= N; j += 2) w.triangle(k, N, j, j + 2);
    w.triangle(k, N, N - 2, 0);
    if (closeTop) {
        for (unsigned j = 0; j + 4 <= N; j += 2) w.triangle(k, j + 1, N + 1, j + 3);
        w.triangle(k, N - 1, N + 1, 1);
    }
    return w.finish();
}

boost::intrusive_ptr<CMesh> createArrowMesh(unsigned mask, video::IVideoDriver* driver, unsigned tesselationCylinder,
                                            unsigned tesselationCone, float height, float cylinderHeight,
                                            float widthCylinder, float widthCone, SColor colorCylinder, SColor colorCone)
{
    boost::intrusive_ptr<CMesh> arrow =
        createCylinderMesh(mask, driver, widthCylinder, cylinderHeight, tesselationCylinder, colorCylinder, false, 0);
    boost::intrusive_ptr<CMesh> cone = createConeMesh(mask, driver, widthCone, height - cylinderHeight, tesselationCone,
                                                      colorCone, colorCylinder, 0);
    if (!arrow || !cone) return nullptr;
    for (unsigned b = 0; b < cone->getMeshBufferCount(); ++b) {
        boost::intrusive_ptr<CMeshBuffer> buffer = cone->getMeshBuffer(b);
        video::SVertexStream* s = buffer->VertexStreams->getStream(video::EVA_POSITION);
        auto* data = static_cast<unsigned char*>(s->buffer->map(video::EBMA_DEVICE_READ_WRITE));
        if (data) {
            for (unsigned i = 0; i < buffer->VertexStreams->getVertexCount(); ++i)
                reinterpret_cast<vector3d<float>*>(data + s->offset + size_t(i) * s->stride)->Y += cylinderHeight;
            s->buffer->unmap();
        }
        arrow->addMeshBuffer(buffer);
    }
    arrow->recalculateBoundingBox();
    return arrow;
}

boost::intrusive_ptr<CMesh> createHillPlaneMesh(unsigned mask, video::IVideoDriver* driver,
                                                const core::dimension2d<float>& tileSize,
                                                const core::dimension2d<unsigned>& tileCount,
                                                const boost::intrusive_ptr<video::CMaterial>& material,
                                                const boost::intrusive_ptr<video::CMaterialVertexAttributeMap>& map,
                                                float hillHeight, const core::dimension2d<float>& countHills,
                                                const core::dimension2d<float>& textureRepeatCount)
{
    const unsigned W = tileCount.Width, H = tileCount.Height;
    const unsigned long long vertexCount = (unsigned long long)(W + 1ull) * (H + 1ull);
    if (W == 0 || H == 0 || vertexCount >= kMaxVertices) return nullptr;
    const float cx = countHills.Width < 0.01f ? 1.f : countHills.Width;
    const float cy = countHills.Height < 0.01f ? 1.f : countHills.Height;
    const float hx = float(W) * tileSize.Width * 0.5f, hz = float(H) * tileSize.Height * 0.5f;
    const float su = textureRepeatCount.Width / float(W), sv = textureRepeatCount.Height / float(H);
    CShapeWriter w(mask, driver, unsigned(vertexCount), 6 * W * H);
    if (!w.ok()) return nullptr;
    const float pi = 3.1415927f;
    float X = 0, U = 0;
    for (unsigned i = 0; i <= W; ++i, X += tileSize.Width, U += su) {
        float Z = 0, V = 0;
        for (unsigned j = 0; j <= H; ++j, Z += tileSize.Height, V += sv) {
            const unsigned n = i * (H + 1) + j;
            const float x = X - hx, z = Z - hz;
            const float y = hillHeight == 0 ? 0.f
                                            : std::sin(x * cx * pi / hx) * std::cos(z * cy * pi / hz) * hillHeight;
            w.setPosition(n, {x, y, z});
            w.setTexture(n, U, 1 - V);
            w.setColor(n, SColor(255, 255, 255, 255));
        }
    }
    unsigned k = 0;
    for (unsigned i = 0; i < W; ++i) {
        const unsigned c0 = i * (H + 1), c1 = (i + 1) * (H + 1);
        for (unsigned j = 0; j < H; ++j) {
            w.triangle(k, c0 + j, c0 + j + 1, c1 + j);
            w.triangle(k, c0 + j + 1, c1 + j + 1, c1 + j);
        }
    }
    if (w.hasNormal()) {
        const unsigned short* idx = w.indices();
        for (unsigned t = 0; t < k; t += 3) {
            const vector3d<float> p0 = w.position(idx[t]), p1 = w.position(idx[t + 1]), p2 = w.position(idx[t + 2]);
            const vector3d<float> n = unitOrSelf((p2 - p0).crossProduct(p1 - p0));
            for (unsigned e = 0; e < 3; ++e) w.setNormal(idx[t + e], n);
        }
    }
    return w.finish(material, map);
}

boost::intrusive_ptr<CMesh> createTerrainMesh(const boost::intrusive_ptr<video::CImage>&,
                                              const boost::intrusive_ptr<video::CImage>&,
                                              const core::dimension2d<float>&, float, video::IVideoDriver*,
                                              const core::dimension2d<int>&, bool)
{
    return nullptr;
}

}  // namespace pravik::scene
