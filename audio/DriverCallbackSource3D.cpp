// 3D factors of a mixer source: distance models 1..6, the sound cone, equal-power panning and
// doppler. Results are 14-bit fixed point (16384 = 1.0), truncated toward zero; distance gains
// are held to [0, 1] so that no model can overflow the gain chain.
#include <algorithm>
#include <cmath>

#include "audio/DriverCallbackSourceInterface.h"
#include "audio/KezEngineInternal.h"

namespace kez {

ListenerParameters DriverCallbackSourceInterface::s_listenerParameters;
int DriverCallbackSourceInterface::s_distanceModel = 2;
float DriverCallbackSourceInterface::s_dopplerFactor = 1.0f;
int DriverCallbackSourceInterface::s_enable3dSimulation = 0;
float DriverCallbackSourceInterface::s_alteredSpeedOfSound = 343.3f;

namespace {

double dot(const double* a, const double* b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
double length(const double* a) { return std::sqrt(dot(a, a)); }
constexpr double kPi = 3.14159265358979323846;

}  // namespace

void DriverCallbackSourceInterface::Set3DParameters(const ListenerParameters& listener,
                                                    const Kez3DGeneralParameters& general) {
    s_listenerParameters = listener;
    s_distanceModel = general.distanceModel;
    s_dopplerFactor = general.dopplerFactor;
    s_enable3dSimulation = general.enable3D;
    s_alteredSpeedOfSound = general.dopplerFactor > 0.0f ? general.speedOfSound / general.dopplerFactor
                                                         : general.speedOfSound;
}

int DriverCallbackSourceInterface::GetDistanceGain() const {
    double v[3];
    for (int k = 0; k < 3; ++k)
        v[k] = m_relative ? m_position[k] : double(m_position[k]) - s_listenerParameters.position[k];
    const double d = length(v), ref = m_referenceDistance, max = m_maxDistance, r = m_rolloff;
    const double dc = d < ref ? ref : d > max ? max : d;
    double g = 1.0;
    switch (s_distanceModel) {
        case 1: { const double den = ref + r * (d - ref); g = den > 0 ? ref / den : 1.0; break; }
        case 2: { const double den = ref + r * (dc - ref); g = den > 0 ? ref / den : 1.0; break; }
        case 3: g = (max - ref) > 0 ? std::max(0.0, 1.0 - r * (d - ref) / (max - ref)) : 1.0; break;
        case 4: g = (max - ref) > 0 ? std::max(0.0, 1.0 - r * (dc - ref) / (max - ref)) : 1.0; break;
        case 5: g = (r > 0 && ref > 0) ? std::pow(d / ref, -r) : 1.0; break;
        case 6: g = (r > 0 && ref > 0) ? std::pow(dc / ref, -r) : 1.0; break;
        default: g = 1.0; break;
    }
    if (!(g >= 0.0)) g = 0.0;  // NaN as well
    if (g > 1.0) g = 1.0;
    return int(g * 16384.0);
}

int DriverCallbackSourceInterface::GetDirectionalGain() const {
    const double u[3] = {m_direction[0], m_direction[1], m_direction[2]};
    if (m_coneInner >= 360.0f || (u[0] == 0 && u[1] == 0 && u[2] == 0)) return 16384;
    double t[3];
    for (int k = 0; k < 3; ++k)
        t[k] = -(m_relative ? m_position[k] : double(m_position[k]) - s_listenerParameters.position[k]);
    const double tt = dot(t, t), uu = dot(u, u), ut = dot(u, t);
    if (tt == 0.0) return 16384;
    double angle = std::acos(std::min(1.0, std::sqrt(ut * ut / (tt * uu)))) * 180.0 / kPi;
    if (ut < 0) angle = 180.0 - angle;
    const double hi = m_coneInner / 2.0, ho = m_coneOuter / 2.0;
    if (angle <= hi) return 16384;
    if (angle >= ho) return int(m_coneOuterGain * 16384.0);
    if (ho - hi <= 0) return 16384;
    return int(((ho - angle) + m_coneOuterGain * (angle - hi)) / (ho - hi) * 16384.0);
}

void DriverCallbackSourceInterface::GetStereoPanning(int* left, int* right) const {
    double v[3];
    for (int k = 0; k < 3; ++k)
        v[k] = m_relative ? m_position[k] : double(m_position[k]) - s_listenerParameters.position[k];
    const double vl = length(v);
    double p = 0.0;
    if (m_relative) {
        if (vl > 0) p = v[0] / vl;
    } else {
        const float* f = s_listenerParameters.forward;
        const float* u = s_listenerParameters.up;
        const double right3[3] = {double(f[1]) * u[2] - double(f[2]) * u[1], double(f[2]) * u[0] - double(f[0]) * u[2],
                                  double(f[0]) * u[1] - double(f[1]) * u[0]};
        const double rl = length(right3);
        if (vl > 0 && rl > 0) p = dot(v, right3) / (vl * rl);
    }
    p = std::clamp(p, -1.0, 1.0);
    const double R = std::sqrt(0.5 + 0.5 * p);
    const double L = std::sqrt(std::max(0.0, 1.0 - R * R));
    if (left) *left = int(L * 16384.0);
    if (right) *right = int(R * 16384.0);
}

int DriverCallbackSourceInterface::GetDopplerPitch() const {
    if (s_dopplerFactor <= 0.0f) return 16384;
    double t[3];
    for (int k = 0; k < 3; ++k)
        t[k] = m_relative ? -double(m_position[k]) : double(s_listenerParameters.position[k]) - m_position[k];
    const double c = length(t) * s_alteredSpeedOfSound;
    const double lv[3] = {s_listenerParameters.velocity[0], s_listenerParameters.velocity[1],
                          s_listenerParameters.velocity[2]};
    const double sv[3] = {m_velocity[0], m_velocity[1], m_velocity[2]};
    const double vl = m_relative ? 0.0 : dot(t, lv);
    const double vs = dot(t, sv);
    if (c - vs <= 0) return 16384;
    double ratio = (c - std::min(c, vl)) / (c - vs);
    ratio = std::clamp(ratio, 0.001, 2.9);
    return int(ratio * 16384.0);
}

void DriverCallbackSourceInterface::GetNormalizedPosition(float* x, float* y, float* z) const {
    double v[3];
    for (int k = 0; k < 3; ++k)
        v[k] = m_relative ? m_position[k] : double(m_position[k]) - s_listenerParameters.position[k];
    const double vl = length(v);
    float out[3] = {0, 0, 0};
    if (vl > 0) {
        if (m_relative) {
            for (int k = 0; k < 3; ++k) out[k] = float(v[k] / vl);
        } else {
            const float* f = s_listenerParameters.forward;
            const float* u = s_listenerParameters.up;
            const double fw[3] = {f[0], f[1], f[2]}, up[3] = {u[0], u[1], u[2]};
            const double rt[3] = {fw[1] * up[2] - fw[2] * up[1], fw[2] * up[0] - fw[0] * up[2],
                                  fw[0] * up[1] - fw[1] * up[0]};
            const double lf = length(fw), lu = length(up), lr = length(rt);
            if (lf > 0 && lu > 0 && lr > 0) {
                out[0] = float(dot(v, rt) / (vl * lr));
                out[1] = float(dot(v, up) / (vl * lu));
                out[2] = float(dot(v, fw) / (vl * lf));
            }
        }
    }
    if (x) *x = out[0];
    if (y) *y = out[1];
    if (z) *z = out[2];
}

}  // namespace kez
