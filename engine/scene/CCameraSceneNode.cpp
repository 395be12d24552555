#include "engine/scene/CCameraSceneNode.h"

#include "engine/io/IAttributes.h"
#include "engine/scene/CSceneManager.h"
#include "engine/scene/ISceneNodeAnimator.h"
#include "engine/scene/SceneMath.h"
#include "engine/video/IRenderTarget.h"
#include "engine/video/IVideoDriver.h"

#include <cmath>

namespace pravik::scene {

namespace {

core::vector3d<float> normalizedUnlessZero(core::vector3d<float> v)
{
    if (v.getLengthSQ() != 0.f) v.normalize();
    return v;
}

void perspective(float* M, float fovy, float aspect, float zNear, float zFar, bool farToInfinity)
{
    const double h = 1.0 / std::tan(double(fovy) / 2.0);
    for (int i = 0; i < 16; ++i) M[i] = 0.f;
    M[0] = float(h / aspect);
    M[5] = float(h);
    M[11] = 1.f;
    if (farToInfinity) {
        M[10] = 1.f;
        M[14] = -zNear;
    } else {
        M[10] = zFar / (zFar - zNear);
        M[14] = -zNear * zFar / (zFar - zNear);
    }
}

}  // namespace

CCameraSceneNode::CCameraSceneNode(int id, const core::vector3d<float>& position, const core::vector3d<float>& lookAt,
                                   bool farToInfinity)
    : ICameraSceneNode(id, position), Target(lookAt), FarToInfinity(farToInfinity)
{
    recalculateProjectionMatrix();
    AutomaticCulling = EAC_OFF;
}

void CCameraSceneNode::setProjectionMatrix(const core::CMatrix4<float>& projection, bool isOrthogonal)
{
    IsOrthogonal = isOrthogonal;
    ViewArea.Matrices[SViewFrustum::ETS_PROJECTION] = projection;
}

void CCameraSceneNode::setNearValue(float zn)
{
    ZNear = zn;
    recalculateProjectionMatrix();
}
void CCameraSceneNode::setFarValue(float zf)
{
    ZFar = zf;
    recalculateProjectionMatrix();
}
void CCameraSceneNode::setAspectRatio(float aspect)
{
    Aspect = aspect;
    recalculateProjectionMatrix();
}
void CCameraSceneNode::setFOV(float fovy)
{
    Fovy = fovy;
    recalculateProjectionMatrix();
}
void CCameraSceneNode::setFarToInifinity(bool on)
{
    FarToInfinity = on;
    recalculateProjectionMatrix();
}
void CCameraSceneNode::setMAG(float mag)
{
    MAG = mag;
    recalculateProjectionMatrix();
}

void CCameraSceneNode::recalculateProjectionMatrix()
{
    core::CMatrix4<float>& P = ViewArea.Matrices[SViewFrustum::ETS_PROJECTION];
    float* M = P.pointer();
    if (isOrthogonal()) {
        const float w = 2 * MAG * Aspect, v = 2 * MAG;
        for (int i = 0; i < 16; ++i) M[i] = 0.f;
        M[0] = 2 / w;
        M[5] = 2 / v;
        M[10] = 1 / (ZFar - ZNear);
        M[14] = ZNear / (ZNear - ZFar);
        M[15] = 1;
    } else {
        perspective(M, Fovy, Aspect, ZNear, ZFar, FarToInfinity);
    }
    P.setDefinitelyIdentityMatrix(false);
}

void CCameraSceneNode::recalculateMatrices()
{
    const core::vector3d<float> eye = getAbsolutePosition();
    const core::vector3d<float> f = normalizedUnlessZero(Target - eye);
    core::vector3d<float> u = normalizedUnlessZero(UpVector);
    const float dot = std::fabs(f.dotProduct(u));
    if (dot + 1e-6f >= 1.f && dot - 1e-6f <= 1.f) u.X += 0.5f;

    const core::vector3d<float> z = f;
    const core::vector3d<float> x = normalizedUnlessZero(z.crossProduct(u));
    const core::vector3d<float> y = x.crossProduct(z);
    core::CMatrix4<float>& V = ViewArea.Matrices[SViewFrustum::ETS_VIEW];
    float* M = V.pointer();
    M[0] = x.X; M[1] = y.X; M[2] = z.X; M[3] = 0;
    M[4] = x.Y; M[5] = y.Y; M[6] = z.Y; M[7] = 0;
    M[8] = x.Z; M[9] = y.Z; M[10] = z.Z; M[11] = 0;
    M[12] = -x.dotProduct(eye); M[13] = -y.dotProduct(eye); M[14] = -z.dotProduct(eye); M[15] = 1;
    V.setDefinitelyIdentityMatrix(false);

    ViewArea.Matrices[SViewFrustum::ETS_VIEW_PROJECTION] = ViewArea.Matrices[SViewFrustum::ETS_PROJECTION] * V;
    ViewArea.Matrices[SViewFrustum::ETS_VIEW_PROJECTION].setDefinitelyIdentityMatrix(false);

    core::CMatrix4<float>& inverse = ViewArea.Matrices[SViewFrustum::ETS_VIEW_INVERSE];
    inverse = V;
    if (!inverse.getDefinitelyIdentityMatrix()) {
        core::CMatrix4<float> t(core::EM4CONST_NOTHING);
        if (inverseOf(V, t)) inverse = t;
    }
    recalculateViewArea();
}

void CCameraSceneNode::recalculateViewArea()
{
    ViewArea.cameraPosition = getAbsolutePosition();
    core::CMatrix4<float> VP = ViewArea.Matrices[SViewFrustum::ETS_VIEW_PROJECTION];
    if (FarToInfinity && !isOrthogonal()) {
        // The far plane at infinity has no normal: the volume is bounded at a far finite
        // distance instead, so planes and box stay finite.
        core::CMatrix4<float> P(core::EM4CONST_NOTHING);
        perspective(P.pointer(), Fovy, Aspect, ZNear, kInfiniteFarStandIn, false);
        VP = P * ViewArea.Matrices[SViewFrustum::ETS_VIEW];
    }
    auto form = [&VP](int j) { return core::plane3d<float>({VP[j], VP[4 + j], VP[8 + j]}, VP[12 + j]); };
    auto sub = [](const core::plane3d<float>& a, const core::plane3d<float>& b) {
        return core::plane3d<float>(a.Normal - b.Normal, a.D - b.D);
    };
    auto add = [](const core::plane3d<float>& a, const core::plane3d<float>& b) {
        return core::plane3d<float>(a.Normal + b.Normal, a.D + b.D);
    };
    const core::plane3d<float> c0 = form(0), c1 = form(1), c2 = form(2), c3 = form(3);
    core::plane3d<float>* p = ViewArea.planes;
    p[SViewFrustum::VF_FAR_PLANE] = sub(c3, c2);
    p[SViewFrustum::VF_NEAR_PLANE] = c2;
    p[SViewFrustum::VF_LEFT_PLANE] = add(c3, c0);
    p[SViewFrustum::VF_RIGHT_PLANE] = sub(c3, c0);
    p[SViewFrustum::VF_BOTTOM_PLANE] = add(c3, c1);
    p[SViewFrustum::VF_TOP_PLANE] = sub(c3, c1);
    for (int i = 0; i < SViewFrustum::VF_PLANE_COUNT; ++i) {
        const float k = -1.f / p[i].Normal.getLength();
        p[i].Normal *= k;
        p[i].D *= k;
    }
    ViewArea.boundingBox.reset(ViewArea.cameraPosition);
    ViewArea.boundingBox.addInternalPoint(ViewArea.getFarLeftUp());
    ViewArea.boundingBox.addInternalPoint(ViewArea.getFarRightUp());
    ViewArea.boundingBox.addInternalPoint(ViewArea.getFarLeftDown());
    ViewArea.boundingBox.addInternalPoint(ViewArea.getFarRightDown());
}

bool CCameraSceneNode::onRegisterSceneNode()
{
    recalculateMatrices();
    if (SceneManager && SceneManager->getActiveCamera() == this)
        SceneManager->registerNodeForRendering(this, nullptr, nullptr, ESNRP_CAMERA, nullptr, 0x7FFFFFFF);
    return true;
}

void CCameraSceneNode::render(void*)
{
    video::IVideoDriver* driver = SceneManager ? SceneManager->getVideoDriver() : nullptr;
    if (!driver) return;
    driver->setTransform(video::ETS_PROJECTION, ViewArea.Matrices[SViewFrustum::ETS_PROJECTION]);
    driver->setTransform(video::ETS_VIEW, ViewArea.Matrices[SViewFrustum::ETS_VIEW]);
}

bool CCameraSceneNode::onEvent(const SEvent& event)
{
    if (!InputReceiverEnabled) return false;
    for (ISceneNodeAnimator* a : Animators)
        if (a->isEventReceiverEnabled() && a->onEvent(event)) return true;
    return false;
}

float CCameraSceneNode::aspectFromManager() const
{
    video::IVideoDriver* driver = SceneManager ? SceneManager->getVideoDriver() : nullptr;
    if (driver && driver->getCurrentRenderTarget()) {
        const auto& size = driver->getCurrentRenderTarget()->getSize();
        if (size.Height != 0) return float(size.Width) / float(size.Height);
    }
    return 4.f / 3.f;
}

void CCameraSceneNode::onChangedSceneManager()
{
    Aspect = aspectFromManager();
    recalculateProjectionMatrix();
    recalculateViewArea();
}

void CCameraSceneNode::remove()
{
    if (SceneManager && SceneManager->getActiveCamera() == this) SceneManager->setActiveCamera(nullptr);
    ISceneNode::remove();
}

void CCameraSceneNode::serializeAttributes(io::IAttributes* out, io::SAttributeReadWriteOptions* options) const
{
    if (!out) return;
    ISceneNode::serializeAttributes(out, options);
    out->addVector3d("Target", Target);
    out->addVector3d("UpVector", UpVector);
    out->addFloat("Fovy", Fovy);
    out->addFloat("Aspect", Aspect);
    out->addFloat("ZNear", ZNear);
    out->addFloat("ZFar", ZFar);
}

void CCameraSceneNode::deserializeAttributes(io::IAttributes* in, io::SAttributeReadWriteOptions* options)
{
    if (!in) return;
    ISceneNode::deserializeAttributes(in, options);
    Target = in->getVector3d("Target");
    UpVector = in->getVector3d("UpVector");
    Fovy = in->getFloat("Fovy");
    Aspect = aspectFromManager();
    ZNear = in->getFloat("ZNear");
    ZFar = in->getFloat("ZFar");
    recalculateProjectionMatrix();
    recalculateViewArea();
}

}  // namespace pravik::scene
