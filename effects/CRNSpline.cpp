#include "effects/CRNSpline.h"

#include <algorithm>
#include <cmath>

using pravik::core::vector3d;

namespace {
vector3d<float> unitOrZero(vector3d<float> v) { return v.normalize(); }
}  // namespace

void CRNSpline::Create(int n, const float* points, const vector3d<float>* startTangent,
                       const vector3d<float>* endTangent, float maxSegmentLength)
{
    m_created = false;
    if (!points || n < 1) {
        m_nodeCount = 0;
        return;
    }
    m_nodeCount = std::min(n, kMaxNodes);
    int input = 0;                 // next input point
    const int inputCount = n;
    m_cumulativeLength[0] = 0.f;
    for (int i = 0; i < m_nodeCount && input < inputCount;) {
        SNode& node = m_nodes[i];
        node.position.set(points[3 * input], points[3 * input + 1], points[3 * input + 2]);
        ++input;
        if (i > 0) {
            SNode& prev = m_nodes[i - 1];
            if (node.position == prev.position) {
                if (m_nodeCount > 2) {
                    --m_nodeCount;
                    continue;      // the next point takes this index
                }
                node.position.X += 0.1f;
            }
            vector3d<float> d = node.position - prev.position;
            float length = float(std::sqrt(double(d.getLengthSQ())));
            if (length == 0.f)
                length = 0.1f;
            prev.direction = d / length;
            prev.length = length;
            m_cumulativeLength[i] = m_cumulativeLength[i - 1] + length;
            if (maxSegmentLength > 0.f && length > maxSegmentLength) {
                int k = int(length / maxSegmentLength);
                k = std::min(k, kMaxNodes - m_nodeCount);  // the pieces must fit
                if (k > 0) {
                    const int m = k + 1;
                    const vector3d<float> origin = prev.position;
                    const vector3d<float> dir = prev.direction;
                    const vector3d<float> end = node.position;
                    for (int j = 1; j <= m; ++j) {
                        m_nodes[i - 2 + j].length = length / float(m);
                        m_nodes[i - 2 + j].direction = dir;
                        m_nodes[i - 1 + j].position =
                            j == m ? end : origin + dir * (length * float(j) / float(m));
                        m_cumulativeLength[i - 1 + j] = m_cumulativeLength[i - 2 + j] + length / float(m);
                    }
                    i += k;
                    m_nodeCount += k;
                }
            }
        }
        ++i;
    }
    if (m_nodeCount < 2) {
        m_nodes[0].tangent = vector3d<float>();
        m_created = m_nodeCount == 1;
        return;
    }
    const int last = m_nodeCount - 1;
    m_nodes[0].tangent = startTangent ? *startTangent : m_nodes[0].direction;
    m_nodes[last].tangent = endTangent ? *endTangent : m_nodes[last - 1].direction;
    m_nodes[0].tangent *= 2.f;
    m_nodes[last].tangent *= 2.f;
    for (int i = 1; i < last; ++i)
        m_nodes[i].tangent = unitOrZero(m_nodes[i - 1].direction + m_nodes[i].direction);
    for (int i = 0; i < last; ++i) {
        const float l = m_nodes[i].length;
        CreateBy2Node(m_nodes[i].position, m_nodes[i + 1].position, m_nodes[i].tangent * l,
                      m_nodes[i + 1].tangent * l, m_coefX[i], m_coefY[i], m_coefZ[i]);
    }
    m_created = true;
}

void CRNSpline::CreateBy2Node(const vector3d<float>& p0, const vector3d<float>& p1, const vector3d<float>& t0,
                              const vector3d<float>& t1, float* outX, float* outY, float* outZ)
{
    auto axis = [](float a0, float a1, float s0, float s1, float* out) {
        out[0] = 2.f * a0 - 2.f * a1 + s0 + s1;
        out[1] = 3.f * a1 - 3.f * a0 - 2.f * s0 - s1;
        out[2] = s0;
        out[3] = a0;
    };
    axis(p0.X, p1.X, t0.X, t1.X, outX);
    axis(p0.Y, p1.Y, t0.Y, t1.Y, outY);
    axis(p0.Z, p1.Z, t0.Z, t1.Z, outZ);
}

int CRNSpline::clampSegment(int segment) const
{
    return std::clamp(segment, 0, std::max(0, std::min(m_nodeCount, kMaxNodes) - 2));
}

void CRNSpline::GetPos(float t, int segment, float& x, float& y, float& z) const
{
    if (m_nodeCount < 2) {
        x = m_nodes[0].position.X;
        y = m_nodes[0].position.Y;
        z = m_nodes[0].position.Z;
        return;
    }
    const int s = clampSegment(segment);
    x = GetP(t, m_coefX[s]);
    y = GetP(t, m_coefY[s]);
    z = GetP(t, m_coefZ[s]);
}

vector3d<float> CRNSpline::GetPos(float t, int segment) const
{
    vector3d<float> p;
    GetPos(t, segment, p.X, p.Y, p.Z);
    return p;
}

void CRNSpline::GetVel(float t, int segment, float& x, float& y, float& z) const
{
    if (m_nodeCount < 2) {
        x = y = z = 0.f;
        return;
    }
    const int s = clampSegment(segment);
    x = GetV(t, m_coefX[s]);
    y = GetV(t, m_coefY[s]);
    z = GetV(t, m_coefZ[s]);
}

void CRNSpline::GetVel(float t, int segment, vector3d<float>& out) const { GetVel(t, segment, out.X, out.Y, out.Z); }

void CRNSpline::GetPosAndVelByLength(float s, float& px, float& py, float& pz, float& vx, float& vy, float& vz) const
{
    if (m_nodeCount < 2) {
        GetPos(0.f, 0, px, py, pz);
        vx = vy = vz = 0.f;
        return;
    }
    const int last = m_nodeCount - 1;
    s = std::clamp(s, 0.f, m_cumulativeLength[last]);
    int i = 1;
    if (s > m_cumulativeLength[1])
        while (i < last && m_cumulativeLength[i] < s)
            ++i;
    const float t = std::clamp((s - m_cumulativeLength[i - 1]) / m_nodes[i - 1].length, 0.f, 1.f);
    GetPos(t, i - 1, px, py, pz);
    GetVel(t, i - 1, vx, vy, vz);
}
