#pragma once
// The generated track kinds by target: scene-node position, rotation (quaternion or an angle
// about a fixed axis) and scale, each whole or by component and for float, 16-bit and 8-bit
// keys; the diffuse colour of a light (three key bytes); three-float particle-system
// parameters; and material parameters (one to four floats or a three- or four-byte colour,
// whole or by component), written through the material's converting setter, element 0.

#include "engine/collada/CAnimationTrackTemplate.h"
#include "engine/core/vector2d.h"
#include "engine/core/vector3d.h"
#include "engine/core/vector4d.h"
#include "engine/scene/ISceneNode.h"
#include "engine/video/CLight.h"
#include "engine/video/SColor.h"
#include "engine/video/material/CMaterial.h"

namespace pravik::collada::animation_track {

// ---- applicators ---------------------------------------------------------------------------

struct SSceneNodePosition {
    static constexpr bool kReadsBack = true;
    static void apply(void* t, const SFloats<3>& v, CApplicatorInfo*)
    {
        static_cast<scene::ISceneNode*>(t)->setPosition(core::vector3d<float>(v.v[0], v.v[1], v.v[2]));
    }
    static void retrieve(void* t, SFloats<3>& out)
    {
        const core::vector3d<float>& p = static_cast<scene::ISceneNode*>(t)->getPosition();
        out = {{p.X, p.Y, p.Z}};
    }
};

struct SSceneNodeScale {
    static constexpr bool kReadsBack = true;
    static void apply(void* t, const SFloats<3>& v, CApplicatorInfo*)
    {
        static_cast<scene::ISceneNode*>(t)->setScale(core::vector3d<float>(v.v[0], v.v[1], v.v[2]));
    }
    static void retrieve(void* t, SFloats<3>& out)
    {
        const core::vector3d<float>& s = static_cast<scene::ISceneNode*>(t)->getScale();
        out = {{s.X, s.Y, s.Z}};
    }
};

struct SSceneNodeRotation {
    static constexpr bool kReadsBack = true;
    static void apply(void* t, const core::quaternion& q, CApplicatorInfo*)
    {
        static_cast<scene::ISceneNode*>(t)->setRotation(q);
    }
    static void retrieve(void* t, core::quaternion& out) { out = static_cast<scene::ISceneNode*>(t)->getRotation(); }
};

// The diffuse colour of light parameters: bytes / 255, alpha 1.
struct SLightColor {
    static constexpr bool kReadsBack = true;
    static void apply(void* t, const SBytes<3>& v, CApplicatorInfo*)
    {
        static_cast<video::CLight*>(t)->DiffuseColor =
            video::SColorf(float(v.v[0]) / 255.f, float(v.v[1]) / 255.f, float(v.v[2]) / 255.f, 1.f);
    }
    static void retrieve(void* t, SBytes<3>& out)
    {
        const video::SColorf& c = static_cast<video::CLight*>(t)->DiffuseColor;
        out.v[0] = saturateByte(255.f * c.r);
        out.v[1] = saturateByte(255.f * c.g);
        out.v[2] = saturateByte(255.f * c.b);
    }
};

// Twelve bytes of a particle-system parameter.
struct SEmitter3dParam {
    static constexpr bool kReadsBack = true;
    static void apply(void* t, const SFloats<3>& v, CApplicatorInfo*) { std::memcpy(t, v.v, 12); }
    static void retrieve(void* t, SFloats<3>& out) { std::memcpy(out.v, t, 12); }
};

// Value type V handed to the material as A.
template <class V, class A>
struct SAnimationTypes {};

template <class Types>
struct SMaterialSetParam;

template <class V, class A>
struct SMaterialSetParam<SAnimationTypes<V, A>> {
    static constexpr bool kReadsBack = false;  // a material parameter is never read back

    static A convert(const SFloats<1>& v) { return v.v[0]; }
    static A convert(const SFloats<2>& v) { return A(v.v[0], v.v[1]); }
    static A convert(const SFloats<3>& v) { return A(v.v[0], v.v[1], v.v[2]); }
    static A convert(const SFloats<4>& v) { return A(v.v[0], v.v[1], v.v[2], v.v[3]); }
    static A convert(const SBytes<3>& v) { return video::SColor(v.v[0], v.v[1], v.v[2], 255); }
    static A convert(const SBytes<4>& v) { return video::SColor(v.v[0], v.v[1], v.v[2], v.v[3]); }

    template <class Storage>
    static void apply(void* t, const Storage& v, CApplicatorInfo* info)
    {
        const auto* m = static_cast<const CMaterialApplicatorInfo*>(info);
        const unsigned short id = m ? static_cast<unsigned short>(m->ParameterID) : 0xFFFF;
        static_cast<video::CMaterial*>(t)->setParameterCvt(id, 0, convert(v));
    }
    template <class Storage>
    static void retrieve(void*, Storage&) {}
};

// ---- mixins --------------------------------------------------------------------------------

template <class K>
struct CSceneNodePositionMixin : CMixin<float, 3, SSceneNodePosition, -1, K> {};
template <class K>
struct CSceneNodeScaleMixin : CMixin<float, 3, SSceneNodeScale, -1, K> {};
template <class Self, int Index, class K>
struct CSceneNodePositionComponentMixin : CMixin<float, 3, SSceneNodePosition, Index, K> {};
template <class Self, int Index, class K>
struct CSceneNodeScaleComponentMixin : CMixin<float, 3, SSceneNodeScale, Index, K> {};
template <class K> struct CSceneNodePositionXEx {};
template <class K> struct CSceneNodePositionYEx {};
template <class K> struct CSceneNodePositionZEx {};
template <class K> struct CSceneNodeScaleXEx {};
template <class K> struct CSceneNodeScaleYEx {};
template <class K> struct CSceneNodeScaleZEx {};
template <class K>
struct CSceneNodeQuaternionMixin : SMixinOf<CInterpreterQuaternion<K>, SSceneNodeRotation> {};
template <class K>
struct CSceneNodeQuaternionAngleMixin : SMixinOf<CInterpreterQuaternionAngle<K>, SSceneNodeRotation> {};

template <class K>
struct CLightColorMixin : CMixin<unsigned char, 3, SLightColor, -1, unsigned char> {};
template <class K>
struct CEmitter3dParamMixin : CMixin<float, 3, SEmitter3dParam, -1, K> {};
template <class Self, int Index, class K>
struct CEmitter3dParamComponentMixin : CMixin<float, 3, SEmitter3dParam, Index, K> {};
template <class K> struct CEmitter3dParamXEx {};
template <class K> struct CEmitter3dParamYEx {};
template <class K> struct CEmitter3dParamZEx {};

// ---- instantiations --------------------------------------------------------------------------

using vector3df = core::vector3d<float>;
using s8key = signed char;  // "char" keys: signed 8-bit

template <class K> using PositionTrack = CVirtualEx<CApplyValueEx<vector3df, CSceneNodePositionMixin<K>>>;
template <class K> using PositionXTrack =
    CVirtualEx<CApplyValueEx<vector3df, CSceneNodePositionComponentMixin<CSceneNodePositionXEx<K>, 0, K>>>;
template <class K> using PositionYTrack =
    CVirtualEx<CApplyValueEx<vector3df, CSceneNodePositionComponentMixin<CSceneNodePositionYEx<K>, 1, K>>>;
template <class K> using PositionZTrack =
    CVirtualEx<CApplyValueEx<vector3df, CSceneNodePositionComponentMixin<CSceneNodePositionZEx<K>, 2, K>>>;
template <class K> using RotationTrack = CVirtualEx<CApplyValueEx<core::quaternion, CSceneNodeQuaternionMixin<K>>>;
template <class K> using RotationAngleTrack =
    CVirtualEx<CApplyValueEx<core::quaternion, CSceneNodeQuaternionAngleMixin<K>>>;
template <class K> using ScaleTrack = CVirtualEx<CApplyValueEx<vector3df, CSceneNodeScaleMixin<K>>>;
template <class K> using ScaleXTrack =
    CVirtualEx<CApplyValueEx<vector3df, CSceneNodeScaleComponentMixin<CSceneNodeScaleXEx<K>, 0, K>>>;
template <class K> using ScaleYTrack =
    CVirtualEx<CApplyValueEx<vector3df, CSceneNodeScaleComponentMixin<CSceneNodeScaleYEx<K>, 1, K>>>;
template <class K> using ScaleZTrack =
    CVirtualEx<CApplyValueEx<vector3df, CSceneNodeScaleComponentMixin<CSceneNodeScaleZEx<K>, 2, K>>>;

using LightColorTrack = CVirtualEx<CApplyValueEx<vector3df, CLightColorMixin<unsigned char>>>;
using Emitter3dParamTrack = CVirtualEx<CApplyValueEx<vector3df, CEmitter3dParamMixin<float>>>;
using Emitter3dParamXTrack =
    CVirtualEx<CApplyValueEx<vector3df, CEmitter3dParamComponentMixin<CEmitter3dParamXEx<float>, 0, float>>>;
using Emitter3dParamYTrack =
    CVirtualEx<CApplyValueEx<vector3df, CEmitter3dParamComponentMixin<CEmitter3dParamYEx<float>, 1, float>>>;
using Emitter3dParamZTrack =
    CVirtualEx<CApplyValueEx<vector3df, CEmitter3dParamComponentMixin<CEmitter3dParamZEx<float>, 2, float>>>;

// Material parameters: N floats (as float, vector2d, vector3d, vector4d) or a byte colour.
template <int N> struct SMaterialFloatTypes;
template <> struct SMaterialFloatTypes<1> { using V = float; using A = float; };
template <> struct SMaterialFloatTypes<2> { using V = float[2]; using A = core::vector2d<float>; };
template <> struct SMaterialFloatTypes<3> { using V = float[3]; using A = core::vector3d<float>; };
template <> struct SMaterialFloatTypes<4> { using V = float[4]; using A = core::vector4d<float>; };

template <int N, int Index>
using MaterialFloatTrack = CVirtualEx<CApplyValueEx<typename SMaterialFloatTypes<N>::V,
    CMixin<float, N, SMaterialSetParam<SAnimationTypes<typename SMaterialFloatTypes<N>::V, typename SMaterialFloatTypes<N>::A>>,
           Index, float>>>;
template <int N, int Index>
using MaterialColorTrack = CVirtualEx<CApplyValueEx<unsigned char[N],
    CMixin<unsigned char, N, SMaterialSetParam<SAnimationTypes<unsigned char[N], video::SColor>>, Index, unsigned char>>>;

} // namespace pravik::collada::animation_track
