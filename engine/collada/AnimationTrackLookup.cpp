#include "engine/collada/AnimationTrackLookup.h"
#include "engine/collada/AnimationTrackKinds.h"
#include "engine/collada/CColladaAnimationTrackFloat.h"
#include "engine/collada/CColladaAnimationTrackOffsetUV.h"
#include "engine/collada/CColladaAnimationTrackVisibility.h"

#include <string>
#include <utility>
#include <vector>

namespace pravik::collada {

using namespace animation_track;

namespace {

enum : std::uint32_t {
    CT_POSITION = 1,
    CT_POSITION_Z = 4,
    CT_ROTATION = 5,
    CT_ROTATION_ANGLE_LAST = 9,
    CT_SCALE = 10,
    CT_SCALE_Z = 13,
    CT_MORPH_WEIGHT = 14,
    CT_LIGHT_COLOR = 16,
    CT_VISIBILITY = 20,
    CT_MATERIAL_PARAMETER = 104,
    CT_TEXTURE_FIRST = 105,
    CT_TEXTURE_LAST = 109,
};

template <class K>
const IAnimationTrackEx* transformTrack(std::uint32_t type)
{
    switch (type) {
    case 1: return &PositionTrack<K>::getInstance();
    case 2: return &PositionXTrack<K>::getInstance();
    case 3: return &PositionYTrack<K>::getInstance();
    case 4: return &PositionZTrack<K>::getInstance();
    case 5: return &RotationTrack<K>::getInstance();
    case 6: case 7: case 8: case 9: return &RotationAngleTrack<K>::getInstance();
    case 10: return &ScaleTrack<K>::getInstance();
    case 11: return &ScaleXTrack<K>::getInstance();
    case 12: return &ScaleYTrack<K>::getInstance();
    case 13: return &ScaleZTrack<K>::getInstance();
    default: return nullptr;
    }
}

// Particle-emitter parameters: three floats whole, or their X, Y, Z.
enum EEmitterKind { EK_NONE, EK_FLOAT, EK_VECTOR, EK_X, EK_Y, EK_Z };

EEmitterKind emitterKind(std::uint32_t type)
{
    switch (type) {
    case 33: case 39: case 51: case 55: case 59: case 66: case 70: case 82: return EK_VECTOR;
    case 52: case 56: case 60: case 67: case 71: case 83: return EK_X;
    case 53: case 57: case 61: case 68: case 72: case 84: return EK_Y;
    case 54: case 58: case 62: case 69: case 73: case 85: return EK_Z;
    default: break;
    }
    if ((type >= 28 && type <= 32) || (type >= 34 && type <= 38) || (type >= 40 && type <= 50) ||
        (type >= 63 && type <= 65) || (type >= 74 && type <= 81) || (type >= 86 && type <= 88))
        return EK_FLOAT;
    return EK_NONE;
}

// The component a mask names: 1..4 for one of components 0..3, 0 for none.
int maskComponent(std::uint32_t mask)
{
    switch (mask) {
    case 1: return 1;
    case 2: return 2;
    case 4: return 3;
    case 8: return 4;
    default: return 0;
    }
}

// Floats, one per key: rows arity 1..4, columns whole then components 0..3.
const IAnimationTrackEx* floatMaterialTrack(std::uint32_t arity, int c)
{
    static const IAnimationTrackEx* const animatorsEx[20] = {
        &MaterialFloatTrack<1, -1>::getInstance(), &MaterialFloatTrack<1, -1>::getInstance(), nullptr, nullptr, nullptr,
        &MaterialFloatTrack<2, -1>::getInstance(), &MaterialFloatTrack<2, 0>::getInstance(),
        &MaterialFloatTrack<2, 1>::getInstance(), nullptr, nullptr,
        &MaterialFloatTrack<3, -1>::getInstance(), &MaterialFloatTrack<3, 0>::getInstance(),
        &MaterialFloatTrack<3, 1>::getInstance(), &MaterialFloatTrack<3, 2>::getInstance(), nullptr,
        &MaterialFloatTrack<4, -1>::getInstance(), &MaterialFloatTrack<4, 0>::getInstance(),
        &MaterialFloatTrack<4, 1>::getInstance(), &MaterialFloatTrack<4, 2>::getInstance(),
        &MaterialFloatTrack<4, 3>::getInstance(),
    };
    if (arity < 1 || arity > 4)
        return nullptr;
    return animatorsEx[(arity - 1) * 5 + std::uint32_t(c)];
}

const IAnimationTrackEx* materialTrack(const SAnimationView& a, bool floatKeys)
{
    const SSamplerView s0 = a.sampler(0);
    const bool hasDefault = a.hasDescriptor && a.defaultRef != 0;
    if (s0.valueType == EKVT_FLOAT) {
        if (!floatKeys)
            return nullptr;
        switch (s0.components) {
        case 2: return &MaterialFloatTrack<2, -1>::getInstance();
        case 3: return &MaterialFloatTrack<3, -1>::getInstance();
        case 4: return &MaterialFloatTrack<4, -1>::getInstance();
        case 1: break;
        default: return nullptr;
        }
        if (!a.hasDescriptor)
            return nullptr;
        const int c = maskComponent(a.mask);
        const IAnimationTrackEx* t = floatMaterialTrack(a.arity, c);
        // A component kind takes the rest of the parameter from the default value; a
        // material cannot be read back in its place.
        if (t && c != 0 && a.arity > 1 && !hasDefault)
            return nullptr;
        return t;
    }
    if (s0.valueType == EKVT_UBYTE) {
        switch (s0.components) {
        case 3: return &MaterialColorTrack<3, -1>::getInstance();
        case 4: return &MaterialColorTrack<4, -1>::getInstance();
        case 1: break;
        default: return nullptr;
        }
        if (!a.hasDescriptor || a.arity <= 1)
            return nullptr;
        if (a.mask == 15)
            return &MaterialColorTrack<4, -1>::getInstance();
        if (!hasDefault)
            return nullptr;
        switch (a.mask) {
        case 1: return &MaterialColorTrack<4, 0>::getInstance();
        case 2: return &MaterialColorTrack<4, 1>::getInstance();
        case 4: return &MaterialColorTrack<4, 2>::getInstance();
        case 8: return &MaterialColorTrack<4, 3>::getInstance();
        default: return nullptr;
        }
    }
    return nullptr;
}

} // namespace

const IAnimationTrackEx* getAnimationTrackEx(const SAnimationView* animation)
{
    if (!animation || !animation->record || animation->channelCount == 0)
        return nullptr;
    const SAnimationView& a = *animation;
    const std::uint32_t type = a.channel(0).type;
    if (type == 0 || type > CT_TEXTURE_LAST)
        return nullptr;
    const std::uint32_t storage = a.hasQuantisation ? a.storage : EKS_FLOAT;
    const SSamplerView s0 = a.sampler(0);
    const bool floatKeys = storage == EKS_FLOAT && s0.valueType == EKVT_FLOAT;

    if (type <= CT_SCALE_Z) {
        switch (storage) {
        case EKS_FLOAT: return transformTrack<float>(type);
        case EKS_S16: return transformTrack<short>(type);
        case EKS_S8: return transformTrack<s8key>(type);
        default: return nullptr;
        }
    }
    if (type == CT_MORPH_WEIGHT)
        return floatKeys ? &CWeightEx::s_Instance : nullptr;
    if (type == CT_LIGHT_COLOR)
        return s0.valueType == EKVT_UBYTE && s0.components == 3 ? &LightColorTrack::getInstance() : nullptr;
    if (type == CT_VISIBILITY)
        return floatKeys ? &CVisibilityEx::s_Instance : nullptr;
    if (type == CT_MATERIAL_PARAMETER)
        return materialTrack(a, floatKeys);
    if (type >= CT_TEXTURE_FIRST)
        return floatKeys ? &CTextureTransformEx::s_Instance : nullptr;
    if (!floatKeys)
        return nullptr;
    switch (emitterKind(type)) {
    case EK_FLOAT: return &CFloatEx::s_Instance;
    case EK_VECTOR: return &Emitter3dParamTrack::getInstance();
    case EK_X: return &Emitter3dParamXTrack::getInstance();
    case EK_Y: return &Emitter3dParamYTrack::getInstance();
    case EK_Z: return &Emitter3dParamZTrack::getInstance();
    default: return nullptr;
    }
}

const char* getAnimationTrackName(const IAnimationTrackEx* track)
{
    if (!track)
        return "none";
    static const std::vector<std::pair<const IAnimationTrackEx*, const char*>> names = [] {
        std::vector<std::pair<const IAnimationTrackEx*, const char*>> n;
        const char* const transform[] = {"position", "position x", "position y", "position z", "rotation",
                                         "rotation angle", "", "", "", "scale", "scale x", "scale y", "scale z"};
        static std::vector<std::string> keep;
        keep.reserve(64);
        for (std::uint32_t t = 1; t <= 13; ++t) {
            if (t >= 7 && t <= 9)
                continue;
            keep.push_back(std::string(transform[t - 1]) + "<float>");
            n.emplace_back(transformTrack<float>(t), keep.back().c_str());
            keep.push_back(std::string(transform[t - 1]) + "<short>");
            n.emplace_back(transformTrack<short>(t), keep.back().c_str());
            keep.push_back(std::string(transform[t - 1]) + "<char>");
            n.emplace_back(transformTrack<s8key>(t), keep.back().c_str());
        }
        n.emplace_back(&CWeightEx::s_Instance, "morph weight");
        n.emplace_back(&LightColorTrack::getInstance(), "light colour");
        n.emplace_back(&CVisibilityEx::s_Instance, "visibility");
        n.emplace_back(&CTextureTransformEx::s_Instance, "texture transform");
        n.emplace_back(&CFloatEx::s_Instance, "emitter float");
        n.emplace_back(&Emitter3dParamTrack::getInstance(), "emitter vector");
        n.emplace_back(&Emitter3dParamXTrack::getInstance(), "emitter vector x");
        n.emplace_back(&Emitter3dParamYTrack::getInstance(), "emitter vector y");
        n.emplace_back(&Emitter3dParamZTrack::getInstance(), "emitter vector z");
        n.emplace_back(&MaterialFloatTrack<1, -1>::getInstance(), "material float");
        n.emplace_back(&MaterialFloatTrack<2, -1>::getInstance(), "material float[2]");
        n.emplace_back(&MaterialFloatTrack<2, 0>::getInstance(), "material float[2] component 0");
        n.emplace_back(&MaterialFloatTrack<2, 1>::getInstance(), "material float[2] component 1");
        n.emplace_back(&MaterialFloatTrack<3, -1>::getInstance(), "material float[3]");
        n.emplace_back(&MaterialFloatTrack<3, 0>::getInstance(), "material float[3] component 0");
        n.emplace_back(&MaterialFloatTrack<3, 1>::getInstance(), "material float[3] component 1");
        n.emplace_back(&MaterialFloatTrack<3, 2>::getInstance(), "material float[3] component 2");
        n.emplace_back(&MaterialFloatTrack<4, -1>::getInstance(), "material float[4]");
        n.emplace_back(&MaterialFloatTrack<4, 0>::getInstance(), "material float[4] component 0");
        n.emplace_back(&MaterialFloatTrack<4, 1>::getInstance(), "material float[4] component 1");
        n.emplace_back(&MaterialFloatTrack<4, 2>::getInstance(), "material float[4] component 2");
        n.emplace_back(&MaterialFloatTrack<4, 3>::getInstance(), "material float[4] component 3");
        n.emplace_back(&MaterialColorTrack<3, -1>::getInstance(), "material colour[3]");
        n.emplace_back(&MaterialColorTrack<4, -1>::getInstance(), "material colour[4]");
        n.emplace_back(&MaterialColorTrack<4, 0>::getInstance(), "material colour[4] component 0");
        n.emplace_back(&MaterialColorTrack<4, 1>::getInstance(), "material colour[4] component 1");
        n.emplace_back(&MaterialColorTrack<4, 2>::getInstance(), "material colour[4] component 2");
        n.emplace_back(&MaterialColorTrack<4, 3>::getInstance(), "material colour[4] component 3");
        return n;
    }();
    for (const auto& [t, name] : names)
        if (t == track)
            return name;
    return "unknown";
}

} // namespace pravik::collada
