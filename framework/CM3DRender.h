// The quad batcher: collects the quads of a frame and draws them with OpenGL ES client arrays and
// indexed triangles (through the engine's GL dispatch table), beside the engine's driver.
//  - Runs: 128, in call order. Each single quad joins the current run when its format, blend mode
//    and texture match, else opens the next run; End2DRender draws the runs in order through an
//    orthographic projection, so 2D drawing lands in painter's order. A quad that would need a
//    129th run is dropped (0x80004005).
//  - Groups: 48 keyed by texture (0 XYZT, 1-46 XYZDT, 47 XYZD), each with one buffer per blend
//    mode; particle blocks (Blt(quads, n)) go there, moved by the current world matrix, and
//    Flsh3DRender draws them after the scene through the camera's perspective.
// Blend modes: 0 opaque, 1 alpha, 2 additive. Storage grows in whole steps of 64 quads, at least
// doubling, never per quad.
// A run or group beyond 16384 quads draws in pieces, so 16-bit indices never wrap.
// Main thread only, on the thread that owns the GL context.
#pragma once

#include "framework/M3DXVertex.h"

#include "engine/core/CMatrix4.h"
#include "engine/core/vector3d.h"
#include "engine/video/ITexture.h"

#include <boost/intrusive_ptr.hpp>

#include <cstdint>
#include <cstring>

namespace pravik::video {
class IVideoDriver;
}

constexpr int M3D_E_FAIL = int(0x80004005);

struct _GroupInfo_OneTexture_OneState {
    unsigned char* storage = nullptr;
    int count = 0;      // quads stored
    int capacity = 0;   // quads the storage holds
};

struct _GroupInfo {
    _GroupInfo_OneTexture_OneState buffers[3];   // by blend mode
    int format = 0;
    boost::intrusive_ptr<pravik::video::ITexture> texture;   // null: free this frame
};

struct _GroupInfo_TextureAlphaFVF {
    unsigned char* storage = nullptr;
    int count = 0;
    int capacity = 0;
    int format = 0;
    boost::intrusive_ptr<pravik::video::ITexture> texture;   // null for XYZD runs
    int blend = 0;
};

class CM3DRender {
public:
    static constexpr int RUN_COUNT = 128;
    static constexpr int GROUP_COUNT = 48;
    static constexpr int GROW_QUADS = 64;
    static constexpr int MAX_DRAW_QUADS = 16384;   // the reach of 16-bit indices

    CM3DRender();
    virtual ~CM3DRender();
    CM3DRender(const CM3DRender&) = delete;
    CM3DRender& operator=(const CM3DRender&) = delete;

    static CM3DRender* GetM3DRender();

    // The driver whose material End2DRender applies first; none in tests of the batcher alone.
    // Another driver (or none) lets go of every texture the batcher still holds: they belong
    // to the old driver, which may be gone before the batcher.
    void SetVideoDriver(pravik::video::IVideoDriver* driver);

    void SetTexture(const boost::intrusive_ptr<pravik::video::ITexture>& texture);
    pravik::video::ITexture* CurrentTexture() const { return m_pCurTexture.get(); }
    int Blt(const M3DXVertex_XYZD* quad) { return BltOne<M3DX_FVF_XYZD>(quad); }   // 0 or 0x80004005
    int Blt(const M3DXVertex_XYZT* quad) { return BltOne<M3DX_FVF_XYZT>(quad); }
    int Blt(const M3DXVertex_XYZDT* quad) { return BltOne<M3DX_FVF_XYZDT>(quad); }
    int Blt(const M3DXVertex_XYZDT* quads, int n);   // a block into the current texture's group
    // Room for one more single quad of V's format that joins the current run with room to spare:
    // the caller writes all four vertices (z 0) before anything else reaches the batcher. Null
    // otherwise: hand the quad to Blt.
    template <typename V>
    [[gnu::always_inline]] V* ReserveQuad()
    {
        constexpr int Format = FormatOf(static_cast<const V*>(nullptr));
        if (!JoinsFast<Format>())
            return nullptr;
        V* out = reinterpret_cast<V*>(m_fastAt);
        m_fastAt += 4 * sizeof(V);
        return out;
    }
    _GroupInfo_OneTexture_OneState* Get2DGroupIDByTexture_XYZDT(int n);

    void BeginScene();
    void Clear(int r, int g, int b);   // divides by 256
    void Begin2DRender();
    void End2DRender();
    void Flsh3DRender();
    void EndScene() {}
    void SwapBuffer() {}               // the shell presents

    static void fixUpProjectionMatrix(pravik::core::CMatrix4<float>& m);
    void Initialize();
    void InitializeAllVertexBuffer();
    void ResetAllVertexBuffer();
    // Grows *storage to newCapacity quads; false when the memory was refused (storage kept).
    bool ReAllocVertexBuffer(int newCapacity, int oldCapacity, int format, unsigned char** storage);

    // Inspection.
    int CurrentRun() const { return m_nCurRun; }
    const _GroupInfo_TextureAlphaFVF& Run(int i) const
    {
        const_cast<CM3DRender*>(this)->EndFastRun();
        return m_runs[i];
    }
    const _GroupInfo& Group(int i) const { return m_groups[i]; }
    int IndexQuads() const { return m_nIndexQuads; }

    int m_nBlendMode = 0;
    pravik::core::CMatrix4<float> m_worldMatrix;
    pravik::core::vector3d<float> m_vCameraPos{0, 0, 100};
    pravik::core::vector3d<float> m_vCameraTarget{0, 0, 0};
    pravik::core::vector3d<float> m_vCameraUp{0, 1, 0};

private:
    // One quad into the runs: inline while it joins the current run with room to spare. The
    // current run's write position lives in m_fastAt (its count is brought up to date by
    // EndFastRun before anything else reads it), so the common case is one bounds test and
    // two state compares (format and blend mode share one key).
    static constexpr int FormatOf(const M3DXVertex_XYZD*) { return M3DX_FVF_XYZD; }
    static constexpr int FormatOf(const M3DXVertex_XYZT*) { return M3DX_FVF_XYZT; }
    static constexpr int FormatOf(const M3DXVertex_XYZDT*) { return M3DX_FVF_XYZDT; }
    template <int Format>
    [[gnu::always_inline]] bool JoinsFast() const
    {
        return m_fastAt != m_fastEnd && m_fastKey == (Format << 8 ^ m_nBlendMode) &&
               (Format == M3DX_FVF_XYZD || m_fastTexture == m_pCurTexture.get());
    }
    template <int Format, typename V>
    [[gnu::always_inline]] int BltOne(const V* quad)
    {
        if (!JoinsFast<Format>())
            return Blt_TAF(quad, Format);
        CopyQuadFlat<V>(m_fastAt, quad);
        m_fastAt += 4 * sizeof(V);
        return 0;
    }
    void EndFastRun()
    {
        if (m_fastRun)
            m_fastRun->count = int((m_fastAt - m_fastRun->storage) / (4 * m_fastStride));
        m_fastRun = nullptr;
        m_fastAt = m_fastEnd = nullptr;
    }
    int Blt_TAF(const void* quad, int format);
    _GroupInfo_TextureAlphaFVF* RunFor(int format);   // the run this quad joins, or null when full
    template <typename V>
    static void CopyQuadFlat(unsigned char* at, const void* quad)
    {
        V* out = reinterpret_cast<V*>(at);
        std::memcpy(static_cast<void*>(out), quad, 4 * sizeof(V));   // a fixed size: copied inline
        out[0].z = out[1].z = out[2].z = out[3].z = 0.f;
    }
    void SetGLPointer(int format, const unsigned char* buffer);
    void SwitchClientState(int format, bool runPass);
    void SetBlend(int blend);
    void DrawQuads(int format, const unsigned char* storage, int count);
    bool BindLiveTexture(pravik::video::ITexture* texture);
    void FreeStorage();
    void RememberState();
    void RestoreState();

    _GroupInfo_TextureAlphaFVF* m_fastRun = nullptr;   // the run m_fastAt writes into
    unsigned char* m_fastAt = nullptr;
    unsigned char* m_fastEnd = nullptr;
    std::ptrdiff_t m_fastStride = 24;
    const pravik::video::ITexture* m_fastTexture = nullptr;
    int m_fastKey = -1;   // format << 8 ^ blend mode of the run
    int m_nCurFVF = 0;
    bool m_bSelectGroup = true;
    _GroupInfo* m_pCurGroup = nullptr;
    int m_firstGroup[3] = {0, 1, 47};   // XYZT, XYZDT, XYZD
    int m_lastGroup[3] = {0, 46, 47};
    _GroupInfo m_groups[GROUP_COUNT];
    _GroupInfo_TextureAlphaFVF m_runs[RUN_COUNT];
    int m_nCurRun = 0;
    int m_nIndexQuads = 0;
    uint16_t* m_pIndices = nullptr;
    boost::intrusive_ptr<pravik::video::ITexture> m_pCurTexture;
    pravik::video::IVideoDriver* m_driver = nullptr;

    bool m_saved[8] = {};   // depth, blend, colour material, cull; vertex, normal, colour, texcoord arrays
};
