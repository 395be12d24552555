#include "engine/scene/ISceneNode.h"

#include "engine/core/TextForms.h"
#include "engine/io/IAttributes.h"
#include "engine/io/SAttributeReadWriteOptions.h"
#include "engine/os/Printer.h"
#include "engine/scene/CSceneManager.h"
#include "engine/scene/ISceneNodeAnimator.h"
#include "engine/scene/ITriangleSelector.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <cwchar>

namespace pravik::scene {

const char* const AutomaticCullingNames[6] = {"false", "box", "frustum_box", "frustum_sphere", "frustum_box_3", nullptr};

// Names by real value: 8 is "frustum_box_3", so a saved node keeps its culling.
const char* cullingTypeName(int value)
{
    switch (value) {
    case EAC_OFF: return "false";
    case EAC_BOX: return "box";
    case EAC_FRUSTUM_BOX: return "frustum_box";
    case 3: return "frustum_sphere";
    case EAC_FRUSTUM_BOX_3: return "frustum_box_3";
    default: return "";
    }
}

int cullingTypeFromName(const char* name)
{
    if (!name) return -1;
    static const struct { const char* name; int value; } kNames[] = {
        {"false", EAC_OFF}, {"box", EAC_BOX}, {"frustum_box", EAC_FRUSTUM_BOX}, {"frustum_sphere", 3},
        {"frustum_box_3", EAC_FRUSTUM_BOX_3}};
    for (const auto& n : kNames)
        if (std::strcmp(n.name, name) == 0) return n.value;
    return -1;
}

unsigned ISceneNode::RelativeTranslationUpdate = 0;
unsigned ISceneNode::RelativeRotationUpdate = 0;
unsigned ISceneNode::RelativeUpdate = 0;
unsigned ISceneNode::AbsoluteUpdate = 0;
unsigned ISceneNode::AnimatedCount = 0;
unsigned ISceneNode::NodeCount = 0;

void ISceneNode::resetXFormDebugCounters()
{
    RelativeTranslationUpdate = RelativeRotationUpdate = RelativeUpdate = 0;
    AbsoluteUpdate = AnimatedCount = NodeCount = 0;
}

ISceneNode::ISceneNode(int id, const core::vector3d<float>& position, const core::quaternion& rotation,
                       const core::vector3d<float>& scale)
    : Position(position), Rotation(rotation), Scale(scale), ID(id)
{
    ISceneNode::updateAbsolutePosition(false);
}

ISceneNode::~ISceneNode()
{
    removeAll();
    if (TriangleSelector) TriangleSelector->drop();
}

void ISceneNode::onDelete()
{
    removeBindedAnimators();
    removeAnimators();
}

// ---- tree ----

void ISceneNode::addChild(ISceneNode* child)
{
    if (!child || child == this) return;
    child->grab();
    child->remove();
    child->m_prevSibling = Children.m_last;
    child->m_nextSibling = nullptr;
    if (Children.m_last) Children.m_last->m_nextSibling = child;
    else Children.m_first = child;
    Children.m_last = child;
    ++Children.m_count;
    child->setParent(this);
    if (SceneManager) SceneManager->notifyHierarchyChanged();
}

void ISceneNode::setParent(ISceneNode* newParent)
{
    grab();
    remove();
    Parent = newParent;
    Flags |= ESNF_PARENT_CHANGED;
    if (newParent && newParent->SceneManager != SceneManager) giveSceneManager(newParent->SceneManager);
    drop();
}

void ISceneNode::giveSceneManager(CSceneManager* manager)
{
    SceneManager = manager;
    for (ISceneNode* child : Children) child->giveSceneManager(manager);
    onChangedSceneManager();
}

void ISceneNode::unlinkChild(ISceneNode* child)
{
    if (child->m_prevSibling) child->m_prevSibling->m_nextSibling = child->m_nextSibling;
    else Children.m_first = child->m_nextSibling;
    if (child->m_nextSibling) child->m_nextSibling->m_prevSibling = child->m_prevSibling;
    else Children.m_last = child->m_prevSibling;
    child->m_nextSibling = child->m_prevSibling = nullptr;
    --Children.m_count;
    child->Parent = nullptr;
}

bool ISceneNode::removeChild(ISceneNode* child)
{
    if (!child || child->Parent != this) return false;
    unlinkChild(child);
    child->drop();
    return true;
}

void ISceneNode::removeAll()
{
    while (ISceneNode* child = Children.m_first) {
        unlinkChild(child);
        child->drop();
    }
    if (SceneManager) SceneManager->notifyHierarchyChanged();
}

void ISceneNode::remove()
{
    if (Parent) Parent->removeChild(this);
}

// ---- animators ----

void ISceneNode::addAnimator(ISceneNodeAnimator* animator)
{
    if (!animator) return;
    Animators.push_back(animator);
    animator->grab();
    animator->onBind(this);
}

void ISceneNode::removeAnimator(ISceneNodeAnimator* animator, bool recursive)
{
    auto it = std::find(Animators.begin(), Animators.end(), animator);
    if (animator && it != Animators.end()) {
        animator->onUnbind(this);
        animator->drop();
        Animators.erase(it);
    }
    if (recursive)
        for (ISceneNode* child : Children) child->removeAnimator(animator, true);
}

void ISceneNode::removeAnimators()
{
    for (ISceneNodeAnimator* a : Animators) {
        a->onUnbind(this);
        a->drop();
    }
    Animators.clear();
}

void ISceneNode::addBindedAnimator(ISceneNodeAnimator* animator)
{
    if (!animator || std::find(BindedAnimators.begin(), BindedAnimators.end(), animator) != BindedAnimators.end()) return;
    animator->grab();
    BindedAnimators.push_back(animator);
}

void ISceneNode::removeBindedAnimator(ISceneNodeAnimator* animator, bool recursive)
{
    auto it = std::find(BindedAnimators.begin(), BindedAnimators.end(), animator);
    if (animator && it != BindedAnimators.end()) {
        animator->onUnbind(this);
        animator->drop();
        BindedAnimators.erase(it);
    }
    if (recursive)
        for (ISceneNode* child : Children) child->removeBindedAnimator(animator, true);
}

void ISceneNode::removeBindedAnimators()
{
    for (ISceneNodeAnimator* a : BindedAnimators) {
        a->onUnbind(this);
        a->drop();
    }
    BindedAnimators.clear();
}

// ---- state ----

void ISceneNode::setVisible(bool visible)
{
    Flags = visible ? (Flags | ESNF_VISIBLE) : (Flags & ~ESNF_VISIBLE);
}

void ISceneNode::setTriangleSelector(ITriangleSelector* selector)
{
    if (selector == TriangleSelector) return;
    if (selector) selector->grab();
    if (TriangleSelector) TriangleSelector->drop();
    TriangleSelector = selector;
}

void ISceneNode::setNodeHierarchyAsShadowCaster(bool caster)
{
    for (ISceneNode* child : Children) child->setNodeHierarchyAsShadowCaster(caster);
}

// ---- lookups ----

namespace {

template <class Node, class Match>
Node* findPreOrder(Node* node, const Match& match)
{
    if (match(node)) return node;
    for (ISceneNode* child : node->getChildren())
        if (Node* hit = findPreOrder<Node>(child, match)) return hit;
    return nullptr;
}

bool typeMatches(E_SCENE_NODE_TYPE wanted, E_SCENE_NODE_TYPE actual) { return wanted == ESNT_ANY || wanted == actual; }

}  // namespace

ISceneNode* ISceneNode::getSceneNodeFromName(const char* name)
{
    return findPreOrder<ISceneNode>(this, [name](const ISceneNode* n) { return core::equalsIgnoreCase(n->getName(), name); });
}
const ISceneNode* ISceneNode::getSceneNodeFromName(const char* name) const
{
    return const_cast<ISceneNode*>(this)->getSceneNodeFromName(name);
}
ISceneNode* ISceneNode::getSceneNodeFromUID(const char* uid)
{
    return findPreOrder<ISceneNode>(this, [uid](const ISceneNode* n) { return core::equalsIgnoreCase(n->getUID(), uid); });
}
const ISceneNode* ISceneNode::getSceneNodeFromUID(const char* uid) const
{
    return const_cast<ISceneNode*>(this)->getSceneNodeFromUID(uid);
}
ISceneNode* ISceneNode::getSceneNodeFromScopeID(const char* scope)
{
    return findPreOrder<ISceneNode>(this,
                                    [scope](const ISceneNode* n) { return core::equalsIgnoreCase(n->getScopeID(), scope); });
}
const ISceneNode* ISceneNode::getSceneNodeFromScopeID(const char* scope) const
{
    return const_cast<ISceneNode*>(this)->getSceneNodeFromScopeID(scope);
}
ISceneNode* ISceneNode::getSceneNodeFromType(E_SCENE_NODE_TYPE type)
{
    return findPreOrder<ISceneNode>(this, [type](const ISceneNode* n) { return typeMatches(type, n->getType()); });
}
const ISceneNode* ISceneNode::getSceneNodeFromType(E_SCENE_NODE_TYPE type) const
{
    return const_cast<ISceneNode*>(this)->getSceneNodeFromType(type);
}
ISceneNode* ISceneNode::getSceneNodeFromId(int id)
{
    return findPreOrder<ISceneNode>(this, [id](const ISceneNode* n) { return n->getID() == id; });
}

void ISceneNode::getSceneNodesFromType(E_SCENE_NODE_TYPE type, std::vector<ISceneNode*>& out)
{
    if (typeMatches(type, getType())) out.push_back(this);
    for (ISceneNode* child : Children) child->getSceneNodesFromType(type, out);
}

// ---- transformation ----

void ISceneNode::setScale(const core::vector3d<float>& scale)
{
    Scale = scale;
    Flags |= ESNF_SCALE_CHANGED;
}

void ISceneNode::setRotation(const core::quaternion& rotation)
{
    Rotation = rotation;
    Flags |= ESNF_ROTATION_CHANGED;
}

void ISceneNode::setPosition(const core::vector3d<float>& position)
{
    Position = position;
    Flags |= ESNF_POSITION_CHANGED;
}

const core::CMatrix4<float>& ISceneNode::getRelativeTransformation() const
{
    if (!(Flags & ESNF_LOCAL_CHANGES)) return RelativeTransformation;
    float* M = RelativeTransformation.pointer();
    if (Flags & (ESNF_SCALE_CHANGED | ESNF_ROTATION_CHANGED)) {
        const float x = Rotation.X, y = Rotation.Y, z = Rotation.Z, w = Rotation.W;
        M[0] = 1 - 2 * y * y - 2 * z * z;
        M[1] = 2 * x * y - 2 * z * w;
        M[2] = 2 * x * z + 2 * y * w;
        M[3] = 0;
        M[4] = 2 * x * y + 2 * z * w;
        M[5] = 1 - 2 * x * x - 2 * z * z;
        M[6] = 2 * y * z - 2 * x * w;
        M[7] = 0;
        M[8] = 2 * x * z - 2 * y * w;
        M[9] = 2 * y * z + 2 * x * w;
        M[10] = 1 - 2 * x * x - 2 * y * y;
        M[11] = 0;
        M[15] = 1;
        if (!(Scale.X == 1.f && Scale.Y == 1.f && Scale.Z == 1.f)) {
            for (int i = 0; i < 3; ++i) {
                M[i] *= Scale.X;
                M[4 + i] *= Scale.Y;
                M[8 + i] *= Scale.Z;
            }
        }
        ++RelativeRotationUpdate;
    } else {
        ++RelativeTranslationUpdate;
    }
    M[12] = Position.X;
    M[13] = Position.Y;
    M[14] = Position.Z;
    Flags = (Flags & ~ESNF_LOCAL_CHANGES) | ESNF_RELATIVE_CHANGED;
    ++RelativeUpdate;
    return RelativeTransformation;
}

void ISceneNode::updateAbsolutePosition(bool recursive)
{
    if ((Flags & ESNF_NEEDS_ABSOLUTE) || (Parent && (Parent->Flags & ESNF_ABSOLUTE_CHANGED)))
        recomputeAbsoluteTransformation();
    if (recursive)
        for (ISceneNode* child : Children) child->updateAbsolutePosition(true);
}

[[gnu::noinline]] void ISceneNode::recomputeAbsoluteTransformation()
{
    if (!Parent) {
        AbsoluteTransformation = getRelativeTransformation();
    } else {
        const core::CMatrix4<float>& P = Parent->getAbsoluteTransformation();
        const core::CMatrix4<float>& R = getRelativeTransformation();
        if (P.getDefinitelyIdentityMatrix()) {
            AbsoluteTransformation = R;
        } else if (R.getDefinitelyIdentityMatrix()) {
            AbsoluteTransformation = P;
        } else {
            // Affine product: the bottom row of both is (0, 0, 0, 1).
            const float* p = P.M;
            const float* r = R.M;
            float* o = AbsoluteTransformation.pointer();
            for (int c = 0; c < 4; ++c) {
                const float r0 = r[4 * c], r1 = r[4 * c + 1], r2 = r[4 * c + 2];
                const float t = c == 3 ? 1.f : 0.f;
                o[4 * c + 0] = p[0] * r0 + p[4] * r1 + p[8] * r2 + p[12] * t;
                o[4 * c + 1] = p[1] * r0 + p[5] * r1 + p[9] * r2 + p[13] * t;
                o[4 * c + 2] = p[2] * r0 + p[6] * r1 + p[10] * r2 + p[14] * t;
            }
            o[3] = o[7] = o[11] = 0.f;
            o[15] = 1.f;
        }
    }
    Flags = (Flags | ESNF_ABSOLUTE_CHANGED | ESNF_BOUNDING_BOX_DIRTY) & ~(ESNF_RELATIVE_CHANGED | ESNF_PARENT_CHANGED);
    ++AbsoluteUpdate;
}

core::quaternion ISceneNode::rotationFromMatrix(const float* m)
{
    core::quaternion q;
    const float t = m[0] + m[5] + m[10];
    if (t > 0) {
        const float s = std::sqrt(t + 1.f), k = 0.5f / s;
        q.W = s / 2;
        q.X = k * (m[9] - m[6]);
        q.Y = k * (m[2] - m[8]);
        q.Z = k * (m[4] - m[1]);
    } else if (m[0] > m[5] && m[0] > m[10]) {
        const float s = std::sqrt(m[0] + 1.f - m[5] - m[10]), k = 0.5f / s;
        q.X = s / 2;
        q.Y = k * (m[1] + m[4]);
        q.Z = k * (m[8] + m[2]);
        q.W = k * (m[9] - m[6]);
    } else if (m[5] > m[10]) {
        const float s = std::sqrt(m[5] + 1.f - m[0] - m[10]), k = 0.5f / s;
        q.Y = s / 2;
        q.X = k * (m[1] + m[4]);
        q.Z = k * (m[6] + m[9]);
        q.W = k * (m[2] - m[8]);
    } else {
        const float s = std::sqrt(m[10] + 1.f - m[0] - m[5]), k = 0.5f / s;
        q.Z = s / 2;
        q.X = k * (m[2] + m[8]);
        q.Y = k * (m[6] + m[9]);
        q.W = k * (m[4] - m[1]);
    }
    const float n = q.X * q.X + q.Y * q.Y + q.Z * q.Z + q.W * q.W;
    if (n != 1.f) {
        const float l = std::sqrt(n);
        q.X /= l;
        q.Y /= l;
        q.Z /= l;
        q.W /= l;
    }
    return q;
}

namespace {

float columnLength(const float* m, int c)
{
    const double x = m[4 * c], y = m[4 * c + 1], z = m[4 * c + 2];
    return float(std::sqrt(x * x + y * y + z * z));
}

}  // namespace

void ISceneNode::setRelativeTransformation(const core::CMatrix4<float>& m)
{
    setPosition(core::vector3d<float>(m[12], m[13], m[14]));
    setRotation(rotationFromMatrix(m.M));
    setScale(core::vector3d<float>(columnLength(m.M, 0), columnLength(m.M, 1), columnLength(m.M, 2)));
    RelativeTransformation = m;
    Flags = (Flags & ~ESNF_LOCAL_CHANGES) | ESNF_RELATIVE_CHANGED;
}

void ISceneNode::setAbsoluteTransformation(const core::CMatrix4<float>& m)
{
    AbsoluteTransformation = m;
    core::CMatrix4<float> relative = m;
    if (Parent) {
        const core::CMatrix4<float>& P = Parent->getAbsoluteTransformation();
        core::CMatrix4<float> inverse = P;
        if (!P.getDefinitelyIdentityMatrix()) {
            // A singular parent has no inverse: the identity stands in, so the relative
            // matrix stays defined (the node keeps m as its local placement).
            if (!P.getInverse(inverse)) inverse.makeIdentity();
            else inverse.setDefinitelyIdentityMatrix(false);
        }
        if (inverse.getDefinitelyIdentityMatrix()) relative = m;
        else if (m.getDefinitelyIdentityMatrix()) relative = inverse;
        else relative = inverse * m;
    }
    RelativeTransformation = relative;
    const float* R = relative.M;
    Position.set(R[12], R[13], R[14]);
    Scale.set(columnLength(R, 0), columnLength(R, 1), columnLength(R, 2));
    float N[16] = {};
    for (int c = 0; c < 3; ++c)
        for (int r = 0; r < 3; ++r) N[4 * c + r] = (&Scale.X)[c] != 0.f ? R[4 * c + r] / (&Scale.X)[c] : R[4 * c + r];
    Rotation = rotationFromMatrix(N);
    // The cached world box follows the new matrix.
    Flags |= ESNF_ABSOLUTE_CHANGED | ESNF_BOUNDING_BOX_DIRTY;
}

const core::aabbox3d<float>& ISceneNode::getTransformedBoundingBox() const
{
    if (!(Flags & ESNF_BOUNDING_BOX_DIRTY)) return TransformedBoundingBox;
    return recomputeTransformedBoundingBox();
}

[[gnu::noinline]] const core::aabbox3d<float>& ISceneNode::recomputeTransformedBoundingBox() const
{
    const core::aabbox3d<float>& B = getBoundingBox();
    const float* A = AbsoluteTransformation.M;
    core::aabbox3d<float> box(A[12], A[13], A[14], A[12], A[13], A[14]);
    const float bmin[3] = {B.MinEdge.X, B.MinEdge.Y, B.MinEdge.Z};
    const float bmax[3] = {B.MaxEdge.X, B.MaxEdge.Y, B.MaxEdge.Z};
    float* omin = &box.MinEdge.X;
    float* omax = &box.MaxEdge.X;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
            const float a = A[4 * j + i] * bmin[j], b = A[4 * j + i] * bmax[j];
            if (a < b) {
                omin[i] += a;
                omax[i] += b;
            } else {
                omin[i] += b;
                omax[i] += a;
            }
        }
    TransformedBoundingBox = box;
    Flags &= ~ESNF_BOUNDING_BOX_DIRTY;
    return TransformedBoundingBox;
}

// ---- passes ----

void ISceneNode::onAnimate(unsigned timeMs)
{
    ++AnimatedCount;
    if (((Flags & ESNF_ANIMATE_ONLY_IF_VISIBLE) && !(Flags & ESNF_VISIBLE)) || !(Flags & ESNF_ANIMATED)) return;
    ++NodeCount;
    for (size_t i = 0; i < Animators.size(); ++i) Animators[i]->animateNode(this, timeMs);
    updateAbsolutePosition(false);
    for (ISceneNode* child : Children) child->onAnimate(timeMs);
    Flags &= ~ESNF_ABSOLUTE_CHANGED;
}

void ISceneNode::onUpdateTime(unsigned timeMs)
{
    if ((Flags & (ESNF_VISIBLE | ESNF_ANIMATED)) != (ESNF_VISIBLE | ESNF_ANIMATED)) return;
    for (size_t i = 0; i < Animators.size(); ++i) Animators[i]->updateTime(timeMs);
    for (ISceneNode* child : Children) child->onUpdateTime(timeMs);
}

// ---- attributes ----

void ISceneNode::serializeAttributes(io::IAttributes* out, io::SAttributeReadWriteOptions* options) const
{
    if (!out) return;
    out->addString("Name", Name.c_str(), false);
    out->addInt("Id", ID, false);
    out->addVector3d("Position", getPosition(), false);
    out->addQuaternion("Rotation", getRotation(), false);
    out->addVector3d("Scale", getScale(), false);
    out->addBool("Visible", (Flags & ESNF_VISIBLE) != 0, false);
    out->addEnum("AutomaticCulling", cullingTypeName(AutomaticCulling), AutomaticCullingNames, false);
    out->addBool("IsDebugObject", isDebugObject(), false);
    if (options && options->Flags == io::EARWF_EXTENDED) {
        out->addFloat("Camera Offset", getCameraOffset(), false);
        out->addInt("Rendering Layer", getRenderingLayer(), false);
    }
}

core::quaternion ISceneNode::rotationFromDegrees(const core::vector3d<float>& degrees)
{
    const float toRadians = 0.0174532942f;
    const double hx = double(degrees.X * toRadians) * 0.5, hy = double(degrees.Y * toRadians) * 0.5,
                 hz = double(degrees.Z * toRadians) * 0.5;
    const double sr = std::sin(hx), cr = std::cos(hx), sp = std::sin(hy), cp = std::cos(hy), sy = std::sin(hz),
                 cy = std::cos(hz);
    core::quaternion q(float(sr * cp * cy - cr * sp * sy), float(cr * sp * cy + sr * cp * sy),
                       float(cr * cp * sy - sr * sp * cy), float(cr * cp * cy + sr * sp * sy));
    return q.normalize();
}

void ISceneNode::deserializeAttributes(io::IAttributes* in, io::SAttributeReadWriteOptions* options)
{
    if (!in) return;
    Name = in->getString("Name");
    ID = in->getInt("Id");
    setPosition(in->getVector3d("Position"));
    const wchar_t* rotationType = in->getAttributeTypeString("Rotation");
    if (rotationType && std::wcscmp(rotationType, L"vector3d") == 0)
        setRotation(rotationFromDegrees(in->getVector3d("Rotation")));
    else
        setRotation(in->getQuaternion("Rotation"));
    setScale(in->getVector3d("Scale"));
    setVisible(in->getBool("Visible"));
    const char* culling = in->getEnum("AutomaticCulling");
    AutomaticCulling = E_CULLING_TYPE(cullingTypeFromName(culling));
    setIsDebugObject(in->getBool("IsDebugObject"));
    if (options && options->Flags == io::EARWF_EXTENDED) {
        setCameraOffset(in->getFloat("Camera Offset"));
        setRenderingLayer(in->getInt("Rendering Layer"));
    }
    updateAbsolutePosition(false);
}

// ---- copy and log ----

void ISceneNode::cloneMembers(const ISceneNode* from)
{
    Name = from->Name;
    AbsoluteTransformation = from->AbsoluteTransformation;
    RelativeTransformation = from->RelativeTransformation;
    Position = from->Position;
    Rotation = from->Rotation;
    Scale = from->Scale;
    ID = from->ID;
    setTriangleSelector(from->TriangleSelector);
    AutomaticCulling = from->AutomaticCulling;
    Flags = from->Flags;
    SceneManager = nullptr;
    for (ISceneNode* child : from->Children) {
        if (ISceneNode* copy = child->clone()) {
            addChild(copy);
            copy->drop();
        }
    }
    for (ISceneNodeAnimator* a : from->Animators) {
        if (ISceneNodeAnimator* copy = a->createClone()) {
            addAnimator(copy);
            copy->drop();
        }
    }
}

void ISceneNode::logTree(int depth, int maxDepth) const
{
    if (maxDepth != 0 && depth >= maxDepth) return;
    char line[256];
    // Deep trees keep a readable line: the indentation stops at a quarter of the buffer.
    const int indent = std::clamp(depth, 0, 64);
    std::memset(line, ' ', size_t(indent));
    const unsigned t = getType();
    std::snprintf(line + indent, sizeof line - size_t(indent), "uid=%s name=%s scope=%s type=%c%c%c%c", getUID(),
                  getName(), getScopeID(), char(t & 0xff), char((t >> 8) & 0xff), char((t >> 16) & 0xff),
                  char(t >> 24));
    os::Printer::print("%s", line);
    for (ISceneNode* child : Children) child->logTree(depth + 1, maxDepth);
}

}  // namespace pravik::scene
