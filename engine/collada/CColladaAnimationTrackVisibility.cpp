#include "engine/collada/CColladaAnimationTrackVisibility.h"
#include "engine/collada/SAnimationAccessor.h"
#include "engine/scene/ISceneNode.h"

#include <cstdint>
#include <cstring>

namespace pravik::collada::animation_track {

namespace {

bool visibleKey(const SAnimationAccessor& a, int k) { return a.getOutput(0).at<float>(std::uint32_t(k)) >= 1.f; }
std::int32_t valueAt(const void* values, int i)
{
    std::int32_t v;
    std::memcpy(&v, static_cast<const unsigned char*>(values) + 4 * i, 4);
    return v;
}
void put(void* out, bool visible)
{
    const std::int32_t v = visible ? 1 : 0;
    std::memcpy(out, &v, 4);
}
scene::ISceneNode* node(void* target) { return static_cast<scene::ISceneNode*>(target); }

} // namespace

const CVisibilityEx CVisibilityEx::s_Instance;

void CVisibilityEx::getIdentityValue(void* out) const { put(out, true); }

void CVisibilityEx::getBlendedValue(void* values, float* weights, int count, void* out) const
{
    bool visible = true;
    for (int i = 0; i < count && visible; ++i)
        if (weights[i] != 0.f && valueAt(values, i) == 0)
            visible = false;
    put(out, visible);
}

void CVisibilityEx::getAddedValue(void* values, float* weights, int count, void* out) const
{
    bool visible = false;
    for (int i = 0; i < count && !visible; ++i)
        if (weights[i] != 0.f && valueAt(values, i) == 1)
            visible = true;
    put(out, visible);
}

void CVisibilityEx::applyBlendedValue(void* values, float* weights, int count, void* target, CApplicatorInfo*) const
{
    node(target)->setVisible(true);
    for (int i = 0; i < count; ++i)
        if (weights[i] != 0.f && valueAt(values, i) == 0) {
            node(target)->setVisible(false);
            return;
        }
}

void CVisibilityEx::applyAddedValue(void* values, float* weights, int count, void* target, CApplicatorInfo*) const
{
    node(target)->setVisible(false);
    for (int i = 0; i < count; ++i)
        if (weights[i] != 0.f && valueAt(values, i) == 1) {
            node(target)->setVisible(true);
            return;
        }
}

void CVisibilityEx::getKeyBasedValue(const Accessor& a, int key0, int, float, void* out) const
{
    put(out, visibleKey(a, key0));
}
void CVisibilityEx::getKeyBasedValue(const Accessor& a, int, int key0, int, float, void* out) const
{
    put(out, visibleKey(a, key0));
}
void CVisibilityEx::getKeyBasedValue(const Accessor& a, int key, void* out) const { put(out, visibleKey(a, key)); }
void CVisibilityEx::getKeyBasedValue(const Accessor& a, int, int key, void* out) const
{
    put(out, visibleKey(a, key));
}
void CVisibilityEx::applyKeyBasedValue(const Accessor& a, int key0, int, float, void* target, CApplicatorInfo*) const
{
    node(target)->setVisible(visibleKey(a, key0));
}
void CVisibilityEx::applyKeyBasedValue(const Accessor& a, int, int key0, int, float, void* target) const
{
    node(target)->setVisible(visibleKey(a, key0));
}
void CVisibilityEx::applyKeyBasedValue(const Accessor& a, int key, void* target, CApplicatorInfo*) const
{
    node(target)->setVisible(visibleKey(a, key));
}
void CVisibilityEx::applyKeyBasedValue(const Accessor& a, int, int key, void* target) const
{
    node(target)->setVisible(visibleKey(a, key));
}

void CVisibilityEx::applyValue(void* value, void* target, CApplicatorInfo*) const
{
    node(target)->setVisible(*static_cast<const unsigned char*>(value) != 0);
}

void CVisibilityEx::retrieveValue(void* target, void* out) const
{
    *static_cast<unsigned char*>(out) = node(target)->isVisible() ? 1 : 0;
}

} // namespace pravik::collada::animation_track
