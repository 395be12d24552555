#pragma once
// One light: type, colours, attenuation, range, cone, and the transformation that places it.
// A light made for a scene node is attached to a transformation source: the node receives the
// address of the light's matrix pointer and points it at its own absolute transformation, so
// the light may not have a transformation set on it. A free light owns an identity matrix.
// Counted without a virtual table; held in intrusive pointers (count 0 until wrapped).

#include "engine/core/CMatrix4.h"
#include "engine/core/vector3d.h"
#include "engine/video/EDriverTypes.h"
#include "engine/video/SColor.h"

#include <boost/intrusive_ptr.hpp>

#include <cfloat>

namespace pravik::io {
class IAttributes;
struct SAttributeReadWriteOptions;
}  // namespace pravik::io

namespace pravik::video {

// What a transformation source receives: the address of the light's matrix pointer.
using STransformationSource = core::CMatrix4<float>*;

class CLight {
public:
    explicit CLight(STransformationSource** source = nullptr);
    CLight(const CLight& other, STransformationSource** source);
    ~CLight();
    CLight& operator=(const CLight&) = delete;

    static boost::intrusive_ptr<CLight> allocate(STransformationSource** source = nullptr);
    boost::intrusive_ptr<CLight> clone(STransformationSource** source = nullptr) const;

    bool setAbsoluteTransformation(const core::CMatrix4<float>& m);  // false when attached
    const core::CMatrix4<float>* getTransformation() const { return m_transformation; }
    bool isAttached() const { return m_attached != 0; }
    // Ends the attachment: the light owns a copy of the matrix it pointed at, so it keeps its
    // last placement after its source is gone.
    void detachTransformation();

    void serializeAttributes(io::IAttributes* out, io::SAttributeReadWriteOptions* options = nullptr) const;
    void deserializeAttributes(io::IAttributes* in, io::SAttributeReadWriteOptions* options = nullptr);

    void grab() const { ++m_referenceCount; }
    void drop() const { if (--m_referenceCount == 0) delete this; }
    unsigned getReferenceCount() const { return m_referenceCount; }

    SColorf AmbientColor{0.f, 0.f, 0.f, 1.f};
    SColorf DiffuseColor{1.f, 1.f, 1.f, 1.f};
    SColorf SpecularColor{1.f, 1.f, 1.f, 1.f};
    core::vector3d<float> Attenuation{1.f, 0.f, 0.f};
    float Radius = FLT_MAX;
    float InnerCone = 0.f;
    float OuterCone = 45.f;
    float Falloff = 2.f;
    E_LIGHT_TYPE Type = ELT_POINT;
    bool CastShadows = true;

private:
    void attach(STransformationSource** source);

    mutable unsigned m_referenceCount = 0;
    core::CMatrix4<float>* m_transformation = nullptr;
    unsigned char m_attached = 0;
};

inline void intrusive_ptr_add_ref(const CLight* light) { light->grab(); }
inline void intrusive_ptr_release(const CLight* light) { light->drop(); }

}  // namespace pravik::video
