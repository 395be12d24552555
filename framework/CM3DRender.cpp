#include "framework/CM3DRender.h"

#include "framework/AllocationHooks.h"
#include "framework/CGame.h"
#include "framework/GLTextureName.h"
#include "framework/ScreenGeometry.h"

#include "engine/video/IVideoDriver.h"
#include "engine/video/gl/GLDispatch.h"
#include "engine/video/material/CMaterial.h"
#include "engine/video/material/CMaterialRendererManager.h"

#include <algorithm>
#include <cstring>

using pravik::video::g_gl;
using pravik::video::ITexture;
using Matrix = pravik::core::CMatrix4<float>;

namespace {

CM3DRender* g_pM3DRender = nullptr;
constexpr int kQuadBytes = 96;   // storage is sized for the largest format

int strideOf(int format)
{
    switch (format) {
    case M3DX_FVF_XYZD: return 16;
    case M3DX_FVF_XYZT: return 20;
    default: return 24;
    }
}

// Whole steps of GROW_QUADS, at least doubling, so filling a large first frame copies each
// quad a bounded number of times.
int GrownCapacity(int capacity, int more)
{
    constexpr int step = CM3DRender::GROW_QUADS;
    return std::max(capacity + (more + step - 1) / step * step, 2 * capacity);
}

int logicWidth()
{
    return CGame::GetGame() ? CGame::GetLogicWidth() : Screen_Width();
}

int logicHeight()
{
    return CGame::GetGame() ? CGame::GetLogicHeigh() : Screen_Height();
}

} // namespace

CM3DRender::CM3DRender()
{
    m_worldMatrix.makeIdentity();
    g_pM3DRender = this;
    Initialize();
}

CM3DRender::~CM3DRender()
{
    if (g_pM3DRender == this)
        g_pM3DRender = nullptr;
    FreeStorage();
}

CM3DRender* CM3DRender::GetM3DRender()
{
    return g_pM3DRender;
}

void CM3DRender::Initialize()
{
    EndFastRun();
    for (auto& g : m_groups)
        g = _GroupInfo{};
    for (auto& r : m_runs)
        r = _GroupInfo_TextureAlphaFVF{};
    m_nCurRun = 0;
    InitializeAllVertexBuffer();
    m_nBlendMode = 0;
    m_pCurTexture = nullptr;
}

void CM3DRender::InitializeAllVertexBuffer()
{
    EndFastRun();
    m_nIndexQuads = 0;
    for (int i = 0; i < GROUP_COUNT; ++i) {
        _GroupInfo& g = m_groups[i];
        g.format = i == 0 ? M3DX_FVF_XYZT : (i == GROUP_COUNT - 1 ? M3DX_FVF_XYZD : M3DX_FVF_XYZDT);
        for (auto& b : g.buffers) {
            b.count = 0;
            b.capacity = ReAllocVertexBuffer(GROW_QUADS, 0, g.format, &b.storage) ? GROW_QUADS : 0;
        }
    }
    for (auto& r : m_runs) {
        r.count = 0;
        r.capacity = 0;
    }
    m_pCurGroup = nullptr;
    m_nCurFVF = 0;
    m_bSelectGroup = true;
}

void CM3DRender::FreeStorage()
{
    EndFastRun();
    for (auto& g : m_groups)
        for (auto& b : g.buffers) {
            delete[] b.storage;
            b = _GroupInfo_OneTexture_OneState{};
        }
    for (auto& r : m_runs) {
        delete[] r.storage;
        r.storage = nullptr;
        r.count = r.capacity = 0;
    }
    delete[] m_pIndices;
    m_pIndices = nullptr;
    m_nIndexQuads = 0;
}

void CM3DRender::SetVideoDriver(pravik::video::IVideoDriver* driver)
{
    EndFastRun();
    if (driver != m_driver) {
        for (auto& g : m_groups) {
            g.texture = nullptr;
            for (auto& b : g.buffers)
                b.count = 0;
        }
        for (auto& r : m_runs) {
            r.texture = nullptr;
            r.count = 0;
        }
        m_nCurRun = 0;
        m_pCurGroup = nullptr;
        m_bSelectGroup = true;
        m_pCurTexture = nullptr;
    }
    m_driver = driver;
}

void CM3DRender::ResetAllVertexBuffer()
{
    FreeStorage();
    InitializeAllVertexBuffer();
}

bool CM3DRender::ReAllocVertexBuffer(int newCapacity, int oldCapacity, int format, unsigned char** storage)
{
    unsigned char* block = new (__FILE__, __LINE__, 1, 2) unsigned char[std::size_t(newCapacity) * kQuadBytes];
    if (!block)
        return false;
    const std::size_t stride = std::size_t(strideOf(format));
    std::memset(block, 0, std::size_t(newCapacity) * 4 * stride);
    if (*storage) {
        std::memcpy(block, *storage, std::size_t(oldCapacity) * 4 * stride);
        delete[] *storage;
    }
    // One index list serves every draw; a draw never reaches past MAX_DRAW_QUADS quads.
    const int indexQuads = std::min(newCapacity, MAX_DRAW_QUADS);
    if (indexQuads > m_nIndexQuads) {
        uint16_t* indices = new (__FILE__, __LINE__, 1, 2) uint16_t[std::size_t(indexQuads) * 6];
        if (indices) {
            for (int i = 0; i < indexQuads; ++i) {
                const uint16_t v = uint16_t(4 * i);
                uint16_t* q = indices + 6 * i;
                q[0] = v, q[1] = uint16_t(v + 1), q[2] = uint16_t(v + 2);
                q[3] = uint16_t(v + 2), q[4] = uint16_t(v + 1), q[5] = uint16_t(v + 3);
            }
            delete[] m_pIndices;
            m_pIndices = indices;
            m_nIndexQuads = indexQuads;
        }
    }
    *storage = block;
    return true;
}

void CM3DRender::SetTexture(const boost::intrusive_ptr<ITexture>& texture)
{
    if (texture == m_pCurTexture)
        return;
    m_bSelectGroup = true;
    m_pCurTexture = texture;
}

_GroupInfo_TextureAlphaFVF* CM3DRender::RunFor(int format)
{
    ITexture* texture = format == M3DX_FVF_XYZD ? nullptr : m_pCurTexture.get();
    _GroupInfo_TextureAlphaFVF* run = &m_runs[m_nCurRun];
    if (run->count != 0) {
        if (run->blend == m_nBlendMode && run->format == format &&
            (format == M3DX_FVF_XYZD || run->texture.get() == texture))
            return run;
        if (m_nCurRun + 1 >= RUN_COUNT)
            return nullptr;
        run = &m_runs[++m_nCurRun];
        run->count = 0;
    }
    run->format = format;
    run->blend = m_nBlendMode;
    run->texture = texture;
    return run;
}

int CM3DRender::Blt_TAF(const void* quad, int format)
{
    EndFastRun();
    _GroupInfo_TextureAlphaFVF* run = RunFor(format);
    if (!run)
        return M3D_E_FAIL;
    if (run->count + 1 > run->capacity) {
        const int capacity = GrownCapacity(run->capacity, 1);
        if (!ReAllocVertexBuffer(capacity, run->capacity, format, &run->storage))
            return M3D_E_FAIL;
        run->capacity = capacity;
    }
    unsigned char* at = run->storage + std::size_t(run->count) * 4 * std::size_t(strideOf(format));
    switch (format) {
    case M3DX_FVF_XYZD: CopyQuadFlat<M3DXVertex_XYZD>(at, quad); break;
    case M3DX_FVF_XYZT: CopyQuadFlat<M3DXVertex_XYZT>(at, quad); break;
    default: CopyQuadFlat<M3DXVertex_XYZDT>(at, quad); break;
    }
    ++run->count;
    m_fastRun = run;
    m_fastStride = strideOf(format);
    m_fastAt = at + 4 * m_fastStride;
    m_fastEnd = run->storage + std::size_t(run->capacity) * 4 * std::size_t(m_fastStride);
    m_fastKey = format << 8 ^ run->blend;
    m_fastTexture = run->texture.get();
    return 0;
}

_GroupInfo_OneTexture_OneState* CM3DRender::Get2DGroupIDByTexture_XYZDT(int n)
{
    if (m_nCurFVF != M3DX_FVF_XYZDT) {
        m_nCurFVF = M3DX_FVF_XYZDT;
        m_bSelectGroup = true;
    }
    if (m_bSelectGroup) {
        _GroupInfo* found = nullptr;
        for (int i = m_firstGroup[1]; i <= m_lastGroup[1]; ++i) {
            _GroupInfo& g = m_groups[i];
            if (g.texture == m_pCurTexture || !g.texture) {
                found = &g;
                break;
            }
        }
        if (!found)
            return nullptr;
        m_bSelectGroup = false;
        m_pCurGroup = found;
    }
    if (!m_pCurGroup)
        return nullptr;
    m_pCurGroup->texture = m_pCurTexture;
    const int blend = std::clamp(m_nBlendMode, 0, 2);
    _GroupInfo_OneTexture_OneState* b = &m_pCurGroup->buffers[blend];
    if (b->count + n > b->capacity) {
        const int capacity = GrownCapacity(b->capacity, n);
        if (!ReAllocVertexBuffer(capacity, b->capacity, M3DX_FVF_XYZDT, &b->storage))
            return nullptr;
        b->capacity = capacity;
    }
    return b;
}

int CM3DRender::Blt(const M3DXVertex_XYZDT* quads, int n)
{
    if (!m_pCurTexture || n < 0)
        return M3D_E_FAIL;
    _GroupInfo_OneTexture_OneState* b = Get2DGroupIDByTexture_XYZDT(n);
    if (!b)
        return M3D_E_FAIL;
    M3DXVertex_XYZDT* out = reinterpret_cast<M3DXVertex_XYZDT*>(b->storage) + std::size_t(b->count) * 4;
    std::memcpy(out, quads, std::size_t(n) * kQuadBytes);
    // An emitter in local or parent space hands its transformation in; world-space ones identity.
    if (!m_worldMatrix.getDefinitelyIdentityMatrix()) {
        for (int v = 0; v < 4 * n; ++v) {
            pravik::core::vector3d<float> p(out[v].x, out[v].y, out[v].z);
            m_worldMatrix.transformVect(p);
            out[v].x = p.X, out[v].y = p.Y, out[v].z = p.Z;
        }
    }
    b->count += n;
    return 0;
}

void CM3DRender::BeginScene()
{
    for (auto& g : m_groups) {
        for (auto& b : g.buffers)
            b.count = 0;
        g.texture = nullptr;
    }
    m_pCurGroup = nullptr;
    m_nCurFVF = 0;
    m_bSelectGroup = true;
}

void CM3DRender::Clear(int r, int g, int b)
{
    g_gl.glClearColor(float(r) / 256.0f, float(g) / 256.0f, float(b) / 256.0f, 1.0f);
    g_gl.glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void CM3DRender::Begin2DRender()
{
    EndFastRun();
    for (auto& r : m_runs) {
        r.count = 0;
        r.texture = nullptr;
    }
    m_nCurRun = 0;
}

void CM3DRender::fixUpProjectionMatrix(Matrix& m)
{
    if (m[11] != 0.f) {
        m[10] = 2 * m[10] - 1;
        m[14] = 2 * m[14];
    } else {
        m[14] = 2 * m[14] - 1;
        m[10] = 2 * m[10];
    }
    m.setDefinitelyIdentityMatrix(false);
}

void CM3DRender::SetGLPointer(int format, const unsigned char* buffer)
{
    const int stride = strideOf(format);
    g_gl.glVertexPointer(3, GL_FLOAT, stride, buffer);
    if (format == M3DX_FVF_XYZT) {
        g_gl.glTexCoordPointer(2, GL_FLOAT, stride, buffer + 12);
    } else if (format == M3DX_FVF_XYZDT) {
        g_gl.glColorPointer(4, GL_UNSIGNED_BYTE, stride, buffer + 12);
        g_gl.glTexCoordPointer(2, GL_FLOAT, stride, buffer + 16);
    } else {
        g_gl.glColorPointer(4, GL_UNSIGNED_BYTE, stride, buffer + 12);
    }
}

void CM3DRender::SwitchClientState(int format, bool runPass)
{
    if (format == M3DX_FVF_XYZT) {
        g_gl.glDisableClientState(GL_NORMAL_ARRAY);
        g_gl.glDisableClientState(GL_COLOR_ARRAY);
        g_gl.glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        g_gl.glColor4f(1, 1, 1, 1);
        g_gl.glEnable(GL_TEXTURE_2D);
    } else if (format == M3DX_FVF_XYZDT) {
        g_gl.glDisableClientState(GL_NORMAL_ARRAY);
        g_gl.glEnableClientState(GL_COLOR_ARRAY);
        g_gl.glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        g_gl.glEnable(GL_TEXTURE_2D);
    } else {
        g_gl.glDisableClientState(GL_NORMAL_ARRAY);
        g_gl.glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        g_gl.glEnableClientState(GL_COLOR_ARRAY);
        g_gl.glDisable(GL_TEXTURE_2D);
        if (!runPass)
            g_gl.glBindTexture(GL_TEXTURE_2D, 0);
    }
    if (runPass)
        g_gl.glShadeModel(format == M3DX_FVF_XYZD ? GL_SMOOTH : GL_FLAT);
}

void CM3DRender::SetBlend(int blend)
{
    if (blend == 0) {
        g_gl.glDisable(GL_BLEND);
    } else {
        g_gl.glEnable(GL_BLEND);
        g_gl.glBlendFunc(GL_SRC_ALPHA, blend == 2 ? GL_ONE : GL_ONE_MINUS_SRC_ALPHA);
    }
    g_gl.glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
}

void CM3DRender::DrawQuads(int format, const unsigned char* storage, int count)
{
    if (!m_pIndices)
        return;
    const std::size_t pieceBytes = std::size_t(MAX_DRAW_QUADS) * 4 * std::size_t(strideOf(format));
    for (int first = 0; first < count; first += MAX_DRAW_QUADS) {
        const int quads = std::min({count - first, MAX_DRAW_QUADS, m_nIndexQuads});
        SetGLPointer(format, storage + std::size_t(first / MAX_DRAW_QUADS) * pieceBytes);
        g_gl.glDrawElements(GL_TRIANGLES, quads * 6, GL_UNSIGNED_SHORT, m_pIndices);
    }
}

bool CM3DRender::BindLiveTexture(ITexture* texture)
{
    // A texture the driver never uploaded has no GL name yet: the driver makes it once.
    unsigned name = GLTextureName(texture);
    if (name == 0) {
        texture->bind();
        g_gl.glActiveTexture(GL_TEXTURE0);   // the driver binds on its spare unit
        name = GLTextureName(texture);
    }
    if (name == 0 || !g_gl.glIsTexture(name))
        return false;
    g_gl.glBindTexture(GL_TEXTURE_2D, name);
    return true;
}

void CM3DRender::RememberState()
{
    const GLenum caps[8] = {GL_DEPTH_TEST,   GL_BLEND,        GL_COLOR_MATERIAL, GL_CULL_FACE,
                            GL_VERTEX_ARRAY, GL_NORMAL_ARRAY, GL_COLOR_ARRAY,    GL_TEXTURE_COORD_ARRAY};
    for (int i = 0; i < 8; ++i)
        m_saved[i] = g_gl.glIsEnabled(caps[i]) != GL_FALSE;
}

void CM3DRender::RestoreState()
{
    const GLenum caps[4] = {GL_DEPTH_TEST, GL_BLEND, GL_COLOR_MATERIAL, GL_CULL_FACE};
    for (int i = 0; i < 4; ++i)
        m_saved[i] ? g_gl.glEnable(caps[i]) : g_gl.glDisable(caps[i]);
    g_gl.glDisable(GL_TEXTURE_2D);
    g_gl.glBindTexture(GL_TEXTURE_2D, 0);
    g_gl.glEnableClientState(GL_VERTEX_ARRAY);
    const GLenum arrays[4] = {GL_VERTEX_ARRAY, GL_NORMAL_ARRAY, GL_COLOR_ARRAY, GL_TEXTURE_COORD_ARRAY};
    for (int i = 0; i < 4; ++i)
        m_saved[4 + i] ? g_gl.glEnableClientState(arrays[i]) : g_gl.glDisableClientState(arrays[i]);
    // The driver's shadow of GL (bound textures, render states, matrices, pointers) no longer
    // holds: it sends its state again, so its next draw binds what it needs.
    if (m_driver)
        m_driver->restoreShadowState();
}

namespace {

void commonPassState(bool smooth)
{
    g_gl.glDisable(GL_DEPTH_TEST);
    g_gl.glDepthMask(GL_FALSE);
    g_gl.glDepthFunc(GL_LESS);
    g_gl.glDisable(GL_BLEND);
    g_gl.glDisable(GL_COLOR_MATERIAL);
    g_gl.glDisable(GL_CULL_FACE);
    g_gl.glShadeModel(smooth ? GL_SMOOTH : GL_FLAT);
    g_gl.glDisable(GL_LIGHTING);
    g_gl.glDisable(GL_FOG);
    g_gl.glDisable(GL_NORMALIZE);
    g_gl.glDisable(GL_ALPHA_TEST);
}

void resetPointers()
{
    g_gl.glEnableClientState(GL_VERTEX_ARRAY);
    g_gl.glVertexPointer(3, GL_FLOAT, 0, nullptr);
    g_gl.glColorPointer(4, GL_UNSIGNED_BYTE, 0, nullptr);
    g_gl.glTexCoordPointer(2, GL_FLOAT, 0, nullptr);
    g_gl.glNormalPointer(GL_FLOAT, 0, nullptr);
}

void boundTextureSampling(GLint minFilter)
{
    g_gl.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, minFilter);
    g_gl.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    g_gl.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    g_gl.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
}

} // namespace

void CM3DRender::End2DRender()
{
    EndFastRun();
    boost::intrusive_ptr<pravik::video::CMaterial> material;
    if (m_driver) {
        // Let the driver settle its own state before the batcher takes GL over.
        if (auto* renderers = m_driver->getMaterialRendererManager()) {
            unsigned short id = renderers->getBuiltInId(pravik::video::EMT_UNLIT_NON_TEXTURED_BLEND);
            if (id == 0xffff)
                id = renderers->createMaterialRenderer(pravik::video::EMT_UNLIT_NON_TEXTURED_BLEND);
            if (id != 0xffff)
                material = renderers->getMaterialInstance(id);
        }
        m_driver->setMaterial(material, material ? material->getTechnique() : 0xff);
        m_driver->draw2DLine({0, 0}, {0, 0}, pravik::video::SColor());
    }
    g_gl.glActiveTexture(GL_TEXTURE0);
    g_gl.glClientActiveTexture(GL_TEXTURE0);
    RememberState();
    commonPassState(true);
    const int mode = ScreenGeometry_Mode();
    boundTextureSampling(mode == RESOLUTION_MODE_3 ? GL_LINEAR : GL_NEAREST);
    resetPointers();

    const float w = float(logicWidth()), h = float(logicHeight());
    Matrix projection(pravik::core::EM4CONST_NOTHING);
    if (mode == RESOLUTION_MODE_3) {
        projection = pravik::core::buildProjectionMatrixOrtho(0.f, w, h, 0.f, -100.f, 100.f);
        projection[12] += projection[0] * 0.5f;
        projection[13] += projection[5] * 0.5f;
    } else if (mode == RESOLUTION_MODE_480X800) {
        projection[0] = 0.003125f, projection[5] = -0.001874f, projection[10] = 0.01f;
        projection[12] = -0.998828f, projection[13] = 0.999297f, projection[15] = 1.f;
    } else {
        // glOrthof(0, w, h, 0, -1, 1): (0, 0) the top-left pixel, y downwards.
        projection[0] = 2.f / w, projection[5] = -2.f / h, projection[10] = -1.f;
        projection[12] = -1.f, projection[13] = 1.f, projection[15] = 1.f;
    }
    g_gl.glMatrixMode(GL_PROJECTION);
    g_gl.glLoadMatrixf(projection.pointer());
    g_gl.glMatrixMode(GL_MODELVIEW);
    g_gl.glLoadIdentity();
    g_gl.glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    g_gl.glBindBuffer(GL_ARRAY_BUFFER, 0);

    int format = -1, blend = -1;
    ITexture* texture = nullptr;
    bool first = true;
    for (int i = 0; i <= m_nCurRun; ++i) {
        _GroupInfo_TextureAlphaFVF& r = m_runs[i];
        if (r.count == 0)
            break;
        if (first || r.format != format) {
            SwitchClientState(r.format, true);
            format = r.format;
        }
        if (first || r.blend != blend) {
            SetBlend(r.blend);
            blend = r.blend;
        }
        if (r.format != M3DX_FVF_XYZD && (first || r.texture.get() != texture)) {
            texture = r.texture.get();
            if (texture && BindLiveTexture(texture))
                g_gl.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER,
                                     texture->getMagFilter() == pravik::video::ETFT_LINEAR ? GL_LINEAR : GL_NEAREST);
        }
        first = false;
        DrawQuads(r.format, r.storage, r.count);
    }
    RestoreState();
}

void CM3DRender::Flsh3DRender()
{
    if (m_driver)
        m_driver->flush();   // merged scene draws go out before the batcher takes GL over
    RememberState();
    commonPassState(false);
    boundTextureSampling(GL_NEAREST);
    resetPointers();

    Matrix projection = pravik::core::buildProjectionMatrixPerspectiveFov(
        1.5707964f, float(Screen_Width()) / float(Screen_Height()), 1.f, 10000.f);
    fixUpProjectionMatrix(projection);
    Matrix view = pravik::core::buildCameraLookAtMatrix(m_vCameraPos, m_vCameraTarget, m_vCameraUp);
    g_gl.glMatrixMode(GL_PROJECTION);
    g_gl.glLoadMatrixf(projection.pointer());
    g_gl.glMatrixMode(GL_MODELVIEW);
    g_gl.glLoadMatrixf(view.pointer());
    g_gl.glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    g_gl.glBindBuffer(GL_ARRAY_BUFFER, 0);

    int format = -1;
    for (_GroupInfo& g : m_groups) {
        if (g.buffers[0].count == 0 && g.buffers[1].count == 0 && g.buffers[2].count == 0)
            continue;
        if (g.texture && !BindLiveTexture(g.texture.get()))
            continue;   // its texture is gone from GL: the whole group is left out
        if (g.format != format) {
            SwitchClientState(g.format, false);
            format = g.format;
        }
        for (int blend = 0; blend < 3; ++blend) {
            const _GroupInfo_OneTexture_OneState& b = g.buffers[blend];
            if (b.count == 0)
                continue;
            SetBlend(blend);
            DrawQuads(g.format, b.storage, b.count);
        }
    }
    RestoreState();
}
