#include "engine/collada/CBillboardSceneNode.h"

#include "engine/scene/CSceneManager.h"
#include "engine/scene/ICameraSceneNode.h"
#include "engine/scene/SceneMath.h"

#include <algorithm>
#include <cmath>

namespace pravik::collada {

namespace {

using vec3 = core::vector3d<float>;

vec3 normalizedUnlessZero(vec3 v)
{
    if (v.getLengthSQ() != 0.f) v.normalize();
    return v;
}

vec3 rotated(const core::CMatrix4<float>& m, vec3 v)
{
    m.rotateVect(v);
    return v;
}

// A matrix whose first three rows are the given vectors.
core::CMatrix4<float> rows(const vec3& x, const vec3& y, const vec3& z)
{
    core::CMatrix4<float> m(core::EM4CONST_NOTHING);
    float* M = m.pointer();
    const vec3* r[3] = {&x, &y, &z};
    for (int i = 0; i < 3; ++i) {
        M[4 * i] = r[i]->X;
        M[4 * i + 1] = r[i]->Y;
        M[4 * i + 2] = r[i]->Z;
        M[4 * i + 3] = 0.f;
    }
    M[12] = M[13] = M[14] = 0.f;
    M[15] = 1.f;
    return m;
}

}  // namespace

CBillboardSceneNode::CBillboardSceneNode(const CColladaDatabase& db, SNode* record) : CSceneNode(db, record)
{
    if (record && record->billboard && db.getResFile()) m_billboard = db.getResFile()->as<SBillboard>(record->billboard);
}

void CBillboardSceneNode::updateAbsolutePosition(bool recursive)
{
    scene::ICameraSceneNode* camera = SceneManager ? SceneManager->getActiveCamera() : nullptr;
    if (!camera || !m_billboard) {
        CSceneNode::updateAbsolutePosition(recursive);
        return;
    }
    // A billboard without a parent turns about the origin.
    static const core::CMatrix4<float> kIdentity;
    const core::CMatrix4<float>& parent = Parent ? Parent->getAbsoluteTransformation() : kIdentity;
    core::CMatrix4<float> P(parent);
    P.setTranslation(vec3(0, 0, 0));
    P.setDefinitelyIdentityMatrix(false);
    const vec3 o = parent.getTranslation();
    const vec3 e = camera->getAbsolutePosition();
    const float* V = camera->getViewMatrix().pointer();

    const SBillboard& b = *m_billboard;
    const vec3 a = normalizedUnlessZero(rotated(P, vec3(b.axis[0], b.axis[1], b.axis[2])));
    const vec3 f = normalizedUnlessZero(rotated(P, vec3(b.up[0], b.up[1], b.up[2])));
    const vec3 r = normalizedUnlessZero(f.crossProduct(a));
    const vec3 u = normalizedUnlessZero(a.crossProduct(r));
    const vec3 d = b.facingMode == 2 ? -vec3(V[2], V[6], V[10]) : normalizedUnlessZero(e - o);

    core::CMatrix4<float> M(core::EM4CONST_NOTHING);
    if (b.kind == 2) {
        const vec3 p = normalizedUnlessZero(f.crossProduct(d).crossProduct(f));
        const vec3 q = normalizedUnlessZero(r.crossProduct(f));
        float theta = std::acos(std::clamp(q.dotProduct(p), -1.f, 1.f));
        if (q.crossProduct(p).dotProduct(f) >= 0.f) theta = -theta;
        core::quaternion turn;
        turn.fromAngleAxis(theta, f);
        M = turn.getMatrix().getTransposed();  // the node-rotation form of the quaternion
        M.setDefinitelyIdentityMatrix(false);
    } else {
        vec3 right, upward;
        if (b.facingMode == 2) {
            right.set(V[0], V[4], V[8]);
            upward.set(V[1], V[5], V[9]);
        } else {
            const vec3 s = normalizedUnlessZero(d.crossProduct(vec3(V[1], V[5], V[9])));
            right = -s;
            upward = normalizedUnlessZero(s.crossProduct(d));
        }
        const core::CMatrix4<float> W = rows(right, upward, d);
        core::CMatrix4<float> inverse(core::EM4CONST_NOTHING);
        if (scene::inverseOf(rows(r, u, a), inverse)) {
            M = W * inverse;
        } else {
            std::fill(M.pointer(), M.pointer() + 16, 0.f);  // axes parallel or zero: collapses
        }
        M.setDefinitelyIdentityMatrix(false);
    }
    core::CMatrix4<float> relative(getRelativeTransformation());
    relative.setDefinitelyIdentityMatrix(false);
    AbsoluteTransformation = M * (P * relative);
    // The translation to the parent's position is added, so a collapsed turn still places
    // everything below at the parent.
    float* A = AbsoluteTransformation.pointer();
    A[12] += o.X;
    A[13] += o.Y;
    A[14] += o.Z;
    A[15] = 1.f;
    Flags = (Flags | scene::ESNF_ABSOLUTE_CHANGED | scene::ESNF_BOUNDING_BOX_DIRTY) &
            ~(scene::ESNF_RELATIVE_CHANGED | scene::ESNF_PARENT_CHANGED);
    ++AbsoluteUpdate;
    if (recursive)
        for (scene::ISceneNode* child : Children) child->updateAbsolutePosition(true);
}

void CBillboardSceneNode::computeBoundingBox()
{
    CSceneNode::computeBoundingBox();
    auto length = [](const vec3& v) { return std::sqrt(double(v.X) * v.X + double(v.Y) * v.Y + double(v.Z) * v.Z); };
    const float b = float(std::max(length(BoundingBox.MinEdge), length(BoundingBox.MaxEdge)));
    core::aabbox3d<float> box(-b, -b, -b, b, b, b);
    if (m_billboard && m_billboard->kind == 2) {
        const float* F = m_billboard->up;
        if (F[0] == 1.f && F[1] == 0.f && F[2] == 0.f) {
            box.MinEdge.X = BoundingBox.MinEdge.X;
            box.MaxEdge.X = BoundingBox.MaxEdge.X;
        } else if (F[0] == 0.f && F[1] == 1.f && F[2] == 0.f) {
            box.MinEdge.Y = BoundingBox.MinEdge.Y;
            box.MaxEdge.Y = BoundingBox.MaxEdge.Y;
        } else if (F[0] == 0.f && F[1] == 0.f && F[2] == 1.f) {
            box.MinEdge.Z = BoundingBox.MinEdge.Z;
            box.MaxEdge.Z = BoundingBox.MaxEdge.Z;
        }
    }
    BoundingBox = box;
}

const core::aabbox3d<float>& CBillboardSceneNode::getTransformedBoundingBox() const
{
    if (!(Flags & scene::ESNF_BOUNDING_BOX_DIRTY)) return TransformedBoundingBox;
    // The node's own matrix changes with the camera; the parent's places the box.
    static const core::CMatrix4<float> kIdentity;
    const float* A = (Parent ? Parent->getAbsoluteTransformation() : kIdentity).pointer();
    const float mins[3] = {BoundingBox.MinEdge.X, BoundingBox.MinEdge.Y, BoundingBox.MinEdge.Z};
    const float maxs[3] = {BoundingBox.MaxEdge.X, BoundingBox.MaxEdge.Y, BoundingBox.MaxEdge.Z};
    float lo[3], hi[3];
    for (int i = 0; i < 3; ++i) {
        lo[i] = hi[i] = A[12 + i];
        for (int j = 0; j < 3; ++j) {
            const float x = A[4 * j + i] * mins[j], y = A[4 * j + i] * maxs[j];
            lo[i] += std::min(x, y);
            hi[i] += std::max(x, y);
        }
    }
    TransformedBoundingBox = core::aabbox3d<float>(lo[0], lo[1], lo[2], hi[0], hi[1], hi[2]);
    Flags &= ~scene::ESNF_BOUNDING_BOX_DIRTY;
    return TransformedBoundingBox;
}

}  // namespace pravik::collada
