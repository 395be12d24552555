#pragma once
// Material renderers and materials from the effects and materials of scene files. A renderer
// is built through the renderer manager's builder from a list of effects (their techniques
// of passes, fixed-function states, render states and parameter bindings), then given its
// parameter defaults; a material takes the values its record sets. The GL ES builder serves
// drivers with any of the type bits 0-2, the null builder the null driver.

#include "engine/collada/CColladaFactory.h"
#include "engine/collada/CResFile.h"
#include "engine/video/material/detail/renderpass/SRenderState.h"

#include <boost/intrusive_ptr.hpp>

namespace pravik::video {
class IVideoDriver;
class CMaterial;
class CMaterialRenderer;
}  // namespace pravik::video

namespace pravik::collada {

class CRootSceneNode;

// The renderer of a list of effects under a name (an existing one of that name is returned), or none.
boost::intrusive_ptr<video::CMaterialRenderer> createMaterialRenderer(const CColladaDatabase& db,
                                                                      video::IVideoDriver* driver, const char* name,
                                                                      const SEffectList& effects, CRootSceneNode* root);
// A material of the renderer with the record's values (none for no renderer).
boost::intrusive_ptr<video::CMaterial> createMaterial(const CColladaDatabase& db, video::IVideoDriver* driver,
                                                      const boost::intrusive_ptr<video::CMaterialRenderer>& renderer,
                                                      SMaterial& record, CRootSceneNode* root);
// Words 0 and 1 and the values of a pass's render state.
video::detail::renderpass::SRenderState packRenderState(const SPass& pass);

// One value into a renderer default or a material value; false when refused (logged).
// file resolves the value's references; owner names the renderer or material in messages.
struct SParamValue {
    uint32_t type;                // E_PARAM_TYPE
    const uint32_t* dimensions;   // the first is the element count; null reads as 0
    uint32_t value;               // reference to the data
};
template <class Target>
bool setParameterValue(const CResFile& file, Target& target, const char* owner, unsigned short id,
                       const SParamValue& source, CRootSceneNode* root);

const char* paramTypeName(uint32_t type);  // "int" ... "technique", "unknown" past them

}  // namespace pravik::collada
