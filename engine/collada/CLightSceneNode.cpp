#include "engine/collada/CLightSceneNode.h"

#include "engine/collada/CResFile.h"

#include <cstring>

namespace pravik::collada {

CLightSceneNode::CLightSceneNode(const CColladaDatabase& db, SLight* record)
    : scene::CLightSceneNode(false), IObject(db, ""), m_record(record)
{
    video::CLight* light = Light.get();
    if (!record || !light) return;
    float intensity;
    std::memcpy(&intensity, &record->fields10[0], 4);
    const float s = intensity / 255.f;
    const uint32_t c = record->color;  // red, green, blue, alpha bytes in order
    const video::SColorf color(float(c & 0xff) * s, float(c >> 8 & 0xff) * s, float(c >> 16 & 0xff) * s,
                               float(c >> 24 & 0xff) * s);
    light->SpecularColor = color;
    const CResFile* file = db.getResFile();
    const auto* parameters = file ? file->as<SLightParameters>(record->fields10[1]) : nullptr;
    const uint32_t kind = record->fields04[1];
    switch (kind) {
    case 0:
        light->Type = video::ELT_AMBIENT;
        light->AmbientColor = color;
        light->DiffuseColor = video::SColorf(0, 0, 0, 0);
        light->SpecularColor = video::SColorf(0, 0, 0, 0);
        break;
    case 1:
    case 2:
        light->Type = kind == 1 ? video::ELT_POINT : video::ELT_SPOT;
        light->DiffuseColor = color;
        if (parameters) {
            light->Attenuation.set(parameters->attenuation[0], parameters->attenuation[1], parameters->attenuation[2]);
            if (kind == 2) {
                light->OuterCone = parameters->outerCone;
                light->Falloff = parameters->falloff;
            }
        }
        break;
    case 3:
        light->Type = video::ELT_DIRECTIONAL;
        light->DiffuseColor = color;
        break;
    default:
        break;
    }
    doLightRecalc();
}

const char* CLightSceneNode::getUID() const { return m_record ? m_database.str(m_record->id) : ""; }

}  // namespace pravik::collada
