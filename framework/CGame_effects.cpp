// Placing effects on screen, in logic space or on a scene node.
#include "framework/CGame.h"

#include "framework/GameInterface.h"
#include "framework/ScreenGeometry.h"

#include "effects/EffectImpl.h"
#include "engine/scene/ISceneNode.h"

using pravik::core::vector3d;

namespace {

// Negated before the shift, so y = 1 lands on -1; wraps rather than overflows for INT_MIN.
int negShift(int y) { return int(0u - unsigned(y)) >> 8; }

vector3d<float> logicToWorld(int x, int y) { return {float(x >> 8), float(negShift(y)), 0.f}; }

void setUniformScale(EffectImpl* effect, float scale) { effect->SetScale(vector3d<float>(scale, scale, scale)); }

} // namespace

void CGame::SetEffectPosition(EffectImpl* effect, int x, int y) const
{
    if (effect)
        effect->SetPosition(logicToWorld(x, y));
}

void CGame::SetEffectPositionByRealScr(EffectImpl* effect, int x, int y) const
{
    if (!effect)
        return;
    const int cx = GameInterface().CameraX() >> 8;
    const int cy = GameInterface().CameraY() >> 8;
    effect->SetPosition(vector3d<float>(float(x + cx - Display_Border_Left()), float(Display_Border_Top() - y - cy), 0.f));
}

void CGame::SetEffectPositionByRealScrNoCaeram(EffectImpl* effect, int x, int y) const
{
    if (effect)
        effect->SetPosition(vector3d<float>(float(x) - 0.5f * float(Screen_Width()), 0.5f * float(Screen_Height()) - float(y), 0.f));
}

void CGame::PlayEffect(int type, int x, int y, float scale)
{
    EffectImpl* effect = GameInterface().GetEffect(type);
    if (!effect)
        return;
    SetEffectPositionByRealScrNoCaeram(effect, x, y);
    setUniformScale(effect, scale);
}

EffectImpl* CGame::PlayEffectAtRealSrcPos(int type, int x, int y, float scale, pravik::scene::ISceneNode*,
                                          const pravik::core::quaternion*)
{
    EffectImpl* effect = GameInterface().GetEffect(type);
    if (!effect)
        return nullptr;
    SetEffectPositionByRealScr(effect, x, y);
    setUniformScale(effect, scale);
    return effect;
}

EffectImpl* CGame::PlayEffectAtLogicPos(int type, int x, int y, float scale, pravik::scene::ISceneNode* node,
                                        const pravik::core::quaternion* rotation)
{
    EffectImpl* effect = GameInterface().GetEffect(type);
    if (!effect)
        return nullptr;
    if (!node) {
        SetEffectPosition(effect, x, y);
        setUniformScale(effect, scale);
        return effect;
    }
    node->removeAll();
    if (rotation)
        node->setRotation(*rotation);
    node->setPosition(logicToWorld(x, y));
    effect->ResetAll();
    effect->AttachToNode(node);
    setUniformScale(effect, scale);
    return effect;
}
