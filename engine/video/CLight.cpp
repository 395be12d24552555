#include "engine/video/CLight.h"

#include "engine/io/IAttributes.h"
#include "engine/os/Printer.h"

namespace pravik::video {

CLight::CLight(STransformationSource** source) { attach(source); }

CLight::CLight(const CLight& o, STransformationSource** source)
    : AmbientColor(o.AmbientColor), DiffuseColor(o.DiffuseColor), SpecularColor(o.SpecularColor),
      Attenuation(o.Attenuation), Radius(o.Radius), InnerCone(o.InnerCone), OuterCone(o.OuterCone), Falloff(o.Falloff),
      Type(o.Type), CastShadows(o.CastShadows)
{
    attach(source);
}

CLight::~CLight()
{
    if (!m_attached) delete m_transformation;
}

void CLight::attach(STransformationSource** source)
{
    if (source) {
        m_attached = 1;
        *source = &m_transformation;
    } else {
        m_attached = 0;
        m_transformation = new core::CMatrix4<float>(core::EM4CONST_IDENTITY);
    }
}

void CLight::detachTransformation()
{
    if (!m_attached) return;
    m_transformation = m_transformation ? new core::CMatrix4<float>(*m_transformation)
                                        : new core::CMatrix4<float>(core::EM4CONST_IDENTITY);
    m_attached = 0;
}

boost::intrusive_ptr<CLight> CLight::allocate(STransformationSource** source)
{
    return boost::intrusive_ptr<CLight>(new CLight(source));
}

boost::intrusive_ptr<CLight> CLight::clone(STransformationSource** source) const
{
    return boost::intrusive_ptr<CLight>(new CLight(*this, source));
}

bool CLight::setAbsoluteTransformation(const core::CMatrix4<float>& m)
{
    if (m_attached) {
        os::Printer::log("Can not set absolute transform on light attached to a transformation source", ELL_ERROR);
        return false;
    }
    *m_transformation = m;
    return true;
}

void CLight::serializeAttributes(io::IAttributes* out, io::SAttributeReadWriteOptions*) const
{
    if (!out) return;
    out->addEnum("Type", int(Type), getStringsInternal((E_LIGHT_TYPE*)nullptr));
    out->addColorf("AmbientColor", AmbientColor);
    out->addColorf("DiffuseColor", DiffuseColor);
    out->addColorf("SpecularColor", SpecularColor);
    out->addVector3d("Attenuation", Attenuation);
    out->addFloat("Radius", Radius);
    out->addFloat("InnerConeAngle", InnerCone);
    out->addFloat("OuterConeAngle", OuterCone);
    out->addFloat("Falloff", Falloff);
    out->addBool("CastShadows", CastShadows);
}

void CLight::deserializeAttributes(io::IAttributes* in, io::SAttributeReadWriteOptions*)
{
    if (!in) return;
    const int type = in->getEnum("Type", getStringsInternal((E_LIGHT_TYPE*)nullptr));
    if (type >= 0) Type = E_LIGHT_TYPE(type);  // an unknown name keeps the type
    AmbientColor = in->getColorf("AmbientColor");
    DiffuseColor = in->getColorf("DiffuseColor");
    SpecularColor = in->getColorf("SpecularColor");
    Attenuation = in->getVector3d("Attenuation");
    Radius = in->getFloat("Radius");
    InnerCone = in->getFloat("InnerConeAngle");
    OuterCone = in->getFloat("OuterConeAngle");
    Falloff = in->getFloat("Falloff");
    CastShadows = in->getBool("CastShadows");
}

}  // namespace pravik::video
