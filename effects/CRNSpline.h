// A piecewise cubic Hermite curve through up to 64 nodes; each node's tangent comes from its
// neighbouring segments so the curve turns smoothly; long segments may first be cut into equal
// straight pieces. A fixed-size value: callers build it on the stack every frame.
// Node counts beyond the capacity are cut at 64; distances beyond the curve are clamped.
#pragma once

#include "engine/core/vector3d.h"

class CRNSpline {
public:
    static constexpr int kMaxNodes = 64;

    struct SNode {
        pravik::core::vector3d<float> position;
        pravik::core::vector3d<float> tangent;
        float length = 0.f;                       // distance to the next node
        pravik::core::vector3d<float> direction;  // unit vector toward the next node
    };

    CRNSpline() = default;

    // n points as 3n floats; absent tangents come from the end segments; maxSegmentLength <= 0
    // means no subdivision.
    void Create(int n, const float* points, const pravik::core::vector3d<float>* startTangent,
                const pravik::core::vector3d<float>* endTangent, float maxSegmentLength);
    static void CreateBy2Node(const pravik::core::vector3d<float>& p0, const pravik::core::vector3d<float>& p1,
                              const pravik::core::vector3d<float>& t0, const pravik::core::vector3d<float>& t1,
                              float* outX, float* outY, float* outZ);

    static float GetP(float t, const float* coef) { return ((coef[0] * t + coef[1]) * t + coef[2]) * t + coef[3]; }
    static float GetV(float t, const float* coef) { return (3.f * coef[0] * t + 2.f * coef[1]) * t + coef[2]; }

    void GetPos(float t, int segment, float& x, float& y, float& z) const;
    pravik::core::vector3d<float> GetPos(float t, int segment) const;
    void GetVel(float t, int segment, float& x, float& y, float& z) const;
    void GetVel(float t, int segment, pravik::core::vector3d<float>& out) const;
    // Position and derivative at distance s from node 0 (s clamped to the curve).
    void GetPosAndVelByLength(float s, float& px, float& py, float& pz, float& vx, float& vy, float& vz) const;
    void GetPosByTotalTime(float, pravik::core::vector3d<float>&) const {}
    void Render3d() {}

    int GetNodeCount() const { return m_nodeCount; }
    const SNode& GetNode(int i) const { return m_nodes[i]; }
    float GetCumulativeLength(int i) const { return m_cumulativeLength[i]; }
    bool IsCreated() const { return m_created; }

private:
    int clampSegment(int segment) const;

    SNode m_nodes[kMaxNodes];
    float m_coefX[kMaxNodes - 1][4] = {};
    float m_coefY[kMaxNodes - 1][4] = {};
    float m_coefZ[kMaxNodes - 1][4] = {};
    float m_cumulativeLength[kMaxNodes] = {};
    int m_nodeCount = 0;
    bool m_created = false;
};
