// Emission shapes: a point, an ellipsoid shell and a disc (flat, or facing the camera, with
// random or fixed directions). Each takes a particle from the pool, sets its start position and
// velocity from the emitter's tracks at the emitter's time, and places both in the right space.
#include "effects/IEmitter.h"

#include "effects/IParticle.h"
#include "effects/ZuduvaRandom.h"
#include "engine/core/quaternion.h"
#include "engine/scene/CSceneManager.h"
#include "engine/scene/ICameraSceneNode.h"

#include <cmath>

using pravik::core::vector3d;

namespace {

constexpr float kDegToRad = 0.017453292f;

// A radius drawn within the shell: between (100 - t)% and 100% of r (or 100% and (100 + |t|)%).
float shell(int t, float r)
{
    const int lo = std::min(t, 0), hi = std::max(t, 0);
    const int q = 100 - lo - zuduva::rand() % (hi - lo + 1);
    return float(q) * r * 0.01f;
}

float withVariation(float speed, int n)
{
    if (n != 0)
        speed *= 1.f + float(zuduva::signedPercent(n)) * 0.01f;
    return speed;
}

// Rotation by a quaternion that need not be of unit length.
vector3d<float> rotateBy(float x, float y, float z, float w, const vector3d<float>& d)
{
    const float m0 = 1 - 2 * y * y - 2 * z * z, m1 = 2 * x * y + 2 * z * w, m2 = 2 * x * z - 2 * y * w;
    const float m4 = 2 * x * y - 2 * z * w, m5 = 1 - 2 * x * x - 2 * z * z, m6 = 2 * y * z + 2 * x * w;
    const float m8 = 2 * x * z + 2 * y * w, m9 = 2 * y * z - 2 * x * w, m10 = 1 - 2 * x * x - 2 * y * y;
    return {d.X * m0 + d.Y * m4 + d.Z * m8, d.X * m1 + d.Y * m5 + d.Z * m9, d.X * m2 + d.Y * m6 + d.Z * m10};
}

// Tilts d by up to a degrees about the unnormalised axis reference x d.
vector3d<float> spread(const vector3d<float>& d, const vector3d<float>& reference, int a)
{
    const vector3d<float> axis = reference.crossProduct(d);
    const float h = float(a) * kDegToRad * 0.5f;
    const float s = std::sin(h);
    return rotateBy(axis.X * s, axis.Y * s, axis.Z * s, std::cos(h), d);
}

vector3d<float> unit(vector3d<float> v) { return v.normalize(); }

}  // namespace

void IEmitter::addDirected(vector3d<float>& velocity, const vector3d<float>* reference) const
{
    const float N = withVariation(m_directedSpeed.getDataAtTime(m_elapsed), m_directedSpeedVariation);
    if (N == 0.f)
        return;
    vector3d<float> d = unit(m_direction.getDataAtTime(m_elapsed));
    const int a = m_spreadAngle.getDataAtTime(m_elapsed);
    if (a != 0)
        d = spread(d, reference ? *reference : zuduva::randomDirection(), a);
    velocity += d * N;
}

void IEmitter::placeWorld(vector3d<float>& position, vector3d<float>& velocity, bool rotateVelocity) const
{
    if (m_localSpace)
        return;
    const pravik::core::CMatrix4<float>& A = getAbsoluteTransformation();
    A.transformVect(position);
    if (m_parentSpace && getParent())
        position -= getParent()->getAbsolutePosition();
    if (rotateVelocity)
        A.rotateVect(velocity);
}

IParticle* IEmitter::emit_point()
{
    IParticle* p = emit();
    if (!p)
        return nullptr;
    vector3d<float> position(m_offsetX.getDataAtTime(m_elapsed), m_offsetY.getDataAtTime(m_elapsed),
                             m_offsetZ.getDataAtTime(m_elapsed));
    vector3d<float> velocity;
    float R = m_radialSpeed.getDataAtTime(m_elapsed);
    if (R != 0.f) {
        R = withVariation(R, m_radialSpeedVariation);
        velocity = zuduva::randomDirection() * R;
    }
    if (!m_targetMode)
        addDirected(velocity, nullptr);
    placeWorld(position, velocity, true);
    p->m_position = position;
    p->setSpeed(velocity);
    return p;
}

IParticle* IEmitter::emit_sphere()
{
    IParticle* p = emit();
    if (!p)
        return nullptr;
    const vector3d<float> u = zuduva::randomDirection();
    const int t = m_shellThickness.getDataAtTime(m_elapsed);
    const float rx = shell(t, m_radiusX.getDataAtTime(m_elapsed));
    const float ry = shell(t, m_radiusY.getDataAtTime(m_elapsed));
    const float rz = shell(t, m_radiusZ.getDataAtTime(m_elapsed));
    vector3d<float> position(u.X * rx, u.Y * ry, u.Z * rz);
    vector3d<float> velocity;
    float R = m_radialSpeed.getDataAtTime(m_elapsed);
    if (R != 0.f) {
        R = withVariation(R, m_radialSpeedVariation);
        velocity = unit(position) * R;
    }
    if (!m_targetMode) {
        const vector3d<float> inward = unit(-position);
        addDirected(velocity, &inward);
    }
    position += vector3d<float>(m_offsetX.getDataAtTime(m_elapsed), m_offsetY.getDataAtTime(m_elapsed),
                                m_offsetZ.getDataAtTime(m_elapsed));
    placeWorld(position, velocity, m_orient);
    p->m_position = position;
    p->setSpeed(velocity);
    return p;
}

IParticle* IEmitter::emit_disc()
{
    if (m_targetMode && !m_targetNode)
        return nullptr;
    IParticle* p = emit();
    if (!p)
        return nullptr;
    const int n = int(m_radiusY.getFirstValue());
    float c, s;
    if (n <= 1) {
        c = float((zuduva::rand() & 0x3FF) - 512);
        zuduva::rand();
        s = float((zuduva::rand() & 0x3FF) - 512);
    } else {
        const int step = 360 / n;
        const int k = p->m_serial % n;
        const float angle = float(k * step) * kDegToRad;
        c = std::cos(angle);
        s = std::sin(angle);
    }
    const float len2 = c * c + s * s;
    if (len2 != 0.f) {
        const float inv = 1.f / std::sqrt(len2);
        c *= inv;
        s *= inv;
    }
    const int t = m_shellThickness.getDataAtTime(m_elapsed);
    const float a = c * shell(t, m_radiusX.getDataAtTime(m_elapsed));
    const float b = s * shell(t, m_radiusZ.getDataAtTime(m_elapsed));

    pravik::scene::CSceneManager* smgr = getSceneManager();
    pravik::scene::ICameraSceneNode* camera = m_faceCamera && smgr ? smgr->getActiveCamera() : nullptr;
    const bool facing = camera != nullptr;  // without a camera the disc lies flat
    vector3d<float> position, view;
    if (facing) {
        view = unit(camera->getAbsolutePosition() - camera->getTarget());
        const vector3d<float>& up = camera->getUpVector();
        vector3d<float> right = view.crossProduct(up);
        if (right.getLengthSQ() == 0.f)
            right.set(up.Y, up.X, up.Z);
        right.normalize();
        const vector3d<float> up2 = unit(view.crossProduct(right));
        position = right * a + up2 * b;
    } else {
        position.set(a, 0.f, b);
    }

    vector3d<float> velocity;
    float R = m_radialSpeed.getDataAtTime(m_elapsed);
    if (R != 0.f) {
        R = withVariation(R, m_radialSpeedVariation);
        velocity = unit(position) * R;
    }
    if (!m_targetMode) {
        const float N = withVariation(m_directedSpeed.getDataAtTime(m_elapsed), m_directedSpeedVariation);
        if (N != 0.f) {
            vector3d<float> d = m_direction.getDataAtTime(m_elapsed);
            if (facing) {
                const float dot = view.Y;
                if (dot <= -1.f) {
                    pravik::core::quaternion q;
                    q.fromAngleAxis(3.14159265f, vector3d<float>(0.f, 0.f, -1.f));
                    d = rotateBy(q.X, q.Y, q.Z, q.W, d);
                } else if (dot < 1.f) {
                    const float sq = std::sqrt((1.f + dot) * 2.f);
                    const vector3d<float> axis = vector3d<float>(0.f, 1.f, 0.f).crossProduct(view) / sq;
                    d = rotateBy(axis.X, axis.Y, axis.Z, sq * 0.5f, d);
                }
            }
            d.normalize();
            const int angle = m_spreadAngle.getDataAtTime(m_elapsed);
            if (angle != 0)
                d = spread(d, unit(-position), angle);
            velocity += d * N;
        }
    }
    position += vector3d<float>(m_offsetX.getDataAtTime(m_elapsed), m_offsetY.getDataAtTime(m_elapsed),
                                m_offsetZ.getDataAtTime(m_elapsed));
    if (!m_localSpace) {
        if (facing) {
            position += getAbsolutePosition();
            if (m_parentSpace && getParent())
                position -= getParent()->getAbsolutePosition();
        } else {
            const pravik::core::CMatrix4<float>& A = getAbsoluteTransformation();
            A.transformVect(position);
            if (m_orient)
                A.rotateVect(velocity);
        }
    }
    p->m_position = position;
    p->setSpeed(velocity);
    return p;
}
