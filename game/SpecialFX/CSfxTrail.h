// A ribbon that follows a moving object: the owner feeds pairs of edge points; each edge is a
// rail of up to 255 nodes smoothed into a Hermite spline, and every update lays a 64-vertex
// triangle strip over the most recent stretch of the rails. The visible length grows as points
// arrive (up to the maximum) and shrinks by the shrink speed a millisecond; below zero the
// trail resets. Drawn in world coordinates with its own material and texture.
#pragma once

#include "engine/core/vector3d.h"
#include "engine/video/SColor.h"
#include "engine/video/ITexture.h"
#include "engine/video/material/CMaterial.h"

#include <boost/intrusive_ptr.hpp>

#include <cstdint>
#include <vector>

class CGame;

namespace pravik::video {
class CVertexStreams;
}

namespace pravik::core {
template <typename T>
class CMatrix4;
}

struct RNSBuffer {
    std::vector<const pravik::core::vector3d<float>*> points;
};

// A rail of up to 255 nodes; the 256th point starts a new rail.
class RNS {
public:
    struct SNode {
        pravik::core::vector3d<float> position;
        pravik::core::vector3d<float> tangent;
        float distance = 0.f;      // to the next node
        float distanceFrom0 = 0.f;
    };
    static constexpr int kMaxNodes = 255;

    void Init() { m_totalLength = 0.f, m_nodeCount = 0; }
    void AddNode(const pravik::core::vector3d<float>& p);
    void BuildSpline(int from);
    pravik::core::vector3d<float> GetStartVelocity(int i) const;
    pravik::core::vector3d<float> GetEndVelocity(int i) const;
    pravik::core::vector3d<float> GetPosition(int i, int, float t) const;
    pravik::core::vector3d<float> GetPosition(float f) const;  // f a share of the length, kept in 0..1
    pravik::core::vector3d<float> GetLastPosition() const;
    void AddNodeFromBuffer(const RNSBuffer* buffer, const pravik::core::CMatrix4<float>& m);
    bool AddExtraNodeFromBuffer(const RNSBuffer* buffer, const pravik::core::CMatrix4<float>& m, int index);
    void RemoveExtraNode();
    void RemoveAdditionalNodes(int count);

    int GetNodeCount() const { return m_nodeCount; }
    float GetTotalLength() const { return m_totalLength; }
    float GetLastDistance() const { return m_nodeCount > 1 ? m_nodes[size_t(m_nodeCount - 2)].distance : 0.f; }
    const SNode& GetNode(int i) const { return m_nodes[size_t(i)]; }

private:
    SNode m_nodes[256];
    float m_totalLength = 0.f;
    int m_nodeCount = 0;
};

pravik::core::vector3d<float> GetPositionOnCubic(const pravik::core::vector3d<float>& p0,
                                                 const pravik::core::vector3d<float>& t0,
                                                 const pravik::core::vector3d<float>& p1,
                                                 const pravik::core::vector3d<float>& t1, float t);

class CSfxTrail {
public:
    struct SVertex {  // x, y, z, u, v, colour: the trail's own 24-byte layout
        float x = 0, y = 0, z = 0, u = 0, v = 0;
        std::uint8_t r = 0, g = 0, b = 0, a = 0;
    };
    static_assert(sizeof(SVertex) == 24);

    explicit CSfxTrail(CGame* game);
    ~CSfxTrail();
    CSfxTrail(const CSfxTrail&) = delete;
    CSfxTrail& operator=(const CSfxTrail&) = delete;

    void Custom(float maxLength, float shrinkSpeed, float width);
    void Custom(int) {}
    void SetVertexColor(const pravik::video::SColor& c);
    void SetMaterialType(int type);  // 18 alpha blending, 17 additive; others none
    void SetTexture(const char* name);  // nothing without a material with a texture parameter
    void SetTexture(const boost::intrusive_ptr<pravik::video::ITexture>& texture);
    void AddTrackPoint(const pravik::core::vector3d<float>& top, const pravik::core::vector3d<float>& bottom);
    void AddTrackPointWithNormal(const pravik::core::vector3d<float>& centre, const pravik::core::vector3d<float>& normal);
    pravik::core::vector3d<float> GetLastTopPoint(float t) const;
    pravik::core::vector3d<float> GetLastBtmPoint(float t) const;
    void Reset();
    void Update(int ms);
    void Render();

    bool IsActive() const { return m_active; }
    float GetLength() const { return m_length; }
    const SVertex& GetVertex(int i) const { return m_vertices[i]; }
    const RNS& GetTop() const { return m_top; }
    const RNS& GetBottom() const { return m_bottom; }

private:
    CGame* m_game;
    boost::intrusive_ptr<pravik::video::CMaterial> m_material;
    boost::intrusive_ptr<pravik::video::CVertexStreams> m_streams;
    SVertex m_vertices[64];
    std::uint16_t m_indices[64];
    pravik::video::SColor m_vertexColor{255, 255, 255, 255};
    bool m_active = false;
    float m_length = 0.f;
    RNS m_top, m_bottom;
    float m_maxLength = 500.f;
    float m_shrinkSpeed = 1.f;
    float m_trailWidth = 100.f;
};
