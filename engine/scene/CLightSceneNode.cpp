#include "engine/scene/CLightSceneNode.h"

#include "engine/io/IAttributes.h"
#include "engine/scene/CSceneManager.h"
#include "engine/video/IVideoDriver.h"

#include <cfloat>
#include <climits>

namespace pravik::scene {

namespace {
constexpr float kUnboundedRadius = FLT_MAX;  // a new light's radius
}

CLightSceneNode::CLightSceneNode(bool) : ISceneNode(-1)
{
    Light = video::CLight::allocate(&TransformationSource);
    LightType = unsigned(Light->Type);
    attachLight();
    doLightRecalc();
}

CLightSceneNode::CLightSceneNode(int id, const core::vector3d<float>& position, const video::SColorf& color, float radius)
    : ISceneNode(id, position)
{
    Light = video::CLight::allocate(&TransformationSource);
    LightType = unsigned(Light->Type);
    attachLight();
    Light->Radius = radius;
    Light->DiffuseColor = color;
    Light->SpecularColor = video::SColorf(0.3f + 0.7f * color.r, 0.3f + 0.7f * color.g, 0.3f + 0.7f * color.b,
                                          0.3f + 0.7f * color.a);
    doLightRecalc();
}

CLightSceneNode::CLightSceneNode(const CLightSceneNode& from) : ISceneNode(-1)
{
    Light = from.Light->clone(&TransformationSource);
    LightType = unsigned(Light->Type);
    BoundingBox = from.BoundingBox;
    attachLight();
    cloneMembers(&from);
}

CLightSceneNode::~CLightSceneNode()
{
    // The driver may still hold the light: it keeps the node's last placement.
    if (Light && Light->getReferenceCount() > 1 && Light->isAttached()) Light->detachTransformation();
}

void CLightSceneNode::attachLight()
{
    *TransformationSource = &AbsoluteTransformation;
}

void CLightSceneNode::doLightRecalc() const
{
    const unsigned type = unsigned(Light->Type);
    auto* self = const_cast<CLightSceneNode*>(this);
    if (type < video::ELT_DIRECTIONAL) {
        if (Light->Radius == kUnboundedRadius) {
            self->AutomaticCulling = EAC_OFF;
        } else {
            const float h = Light->Radius * Light->Radius * 0.5f;
            BoundingBox = core::aabbox3d<float>(-h, -h, -h, h, h, h);
            self->AutomaticCulling = EAC_BOX;
        }
    } else if (type == video::ELT_DIRECTIONAL) {
        BoundingBox = core::aabbox3d<float>(0, 0, 0, 0, 0, 0);
        self->AutomaticCulling = EAC_OFF;
    }
    LightType = type;
}

const core::aabbox3d<float>& CLightSceneNode::getBoundingBox() const
{
    if (unsigned(Light->Type) != LightType) doLightRecalc();
    return BoundingBox;
}

bool CLightSceneNode::onRegisterSceneNode()
{
    if (SceneManager)
        SceneManager->registerNodeForRendering(this, nullptr, nullptr, ESNRP_LIGHT, nullptr, INT_MAX);
    return true;
}

void CLightSceneNode::render(void*)
{
    if (SceneManager && SceneManager->getVideoDriver()) SceneManager->getVideoDriver()->addDynamicLight(Light);
}

ISceneNode* CLightSceneNode::clone() const { return new CLightSceneNode(*this); }

void CLightSceneNode::serializeAttributes(io::IAttributes* out, io::SAttributeReadWriteOptions* options) const
{
    if (!out) return;
    ISceneNode::serializeAttributes(out, options);
    out->push("Light");
    Light->serializeAttributes(out, options);
    out->pop();
}

void CLightSceneNode::deserializeAttributes(io::IAttributes* in, io::SAttributeReadWriteOptions* options)
{
    if (!in) return;
    ISceneNode::deserializeAttributes(in, options);
    in->push("Light");
    Light->deserializeAttributes(in, options);
    in->pop();
}

}  // namespace pravik::scene
