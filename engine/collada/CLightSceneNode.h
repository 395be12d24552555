#pragma once
// The light of a light record ("lght"): colour times intensity / 255, its kind's type, and for
// point and spot lights the attenuation (and the spot's outer cone and falloff) from the
// record's parameter block. A record without a parameter block keeps the default light's values.

#include "engine/collada/IObject.h"
#include "engine/scene/CLightSceneNode.h"

namespace pravik::collada {

struct SLightParameters {
    float attenuation[3];
    float outerCone;
    float falloff;
};

class CLightSceneNode : public scene::CLightSceneNode, public IObject {
public:
    CLightSceneNode(const CColladaDatabase& db, SLight* record);

    const char* getUID() const override;
    SLight* getLightID() const { return m_record; }

private:
    SLight* m_record;
};

}  // namespace pravik::collada
