// Vector helpers over the engine's vector3d<float>: planar angles, thrown-object steps and aims.
#pragma once

#include "engine/core/vector3d.h"

class IUtility {
public:
    using vector3df = pravik::core::vector3d<float>;

    static float CalcAngle(const vector3df& v);                     // of (x, -z), in [0, 2pi)
    static float CalcAngle(const vector3df& a, const vector3df& b); // a - b, in [-pi, pi]
    static bool IsVector3df0(const vector3df& v, float e);
    static void ParabolaMove(int t, vector3df& position, vector3df& velocity, float g);
    static void ParabolaAimat(const vector3df& from, const vector3df& to, const vector3df& axis, float height,
                              vector3df& velocity, float g, bool high);
    static void TraceVector3df(const vector3df& v, const char* label);
    static void FloatToInt(vector3df& v);   // rounds a fraction above 0.5 up; nothing truncated
};
