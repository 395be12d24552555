#pragma once
// The built-in material types come from the effects of "DefaultEffects.bdae", one effect per
// type named as the type. The device installs this builder with the renderer manager; the
// first request of any type builds every missing one (type 5 has none).

#include <boost/intrusive_ptr.hpp>

namespace pravik::video {
class CMaterialRendererManager;
class CMaterialRenderer;
class IVideoDriver;
}

namespace pravik::collada {

class CColladaFactory;

constexpr const char* kDefaultEffectsFile = "DefaultEffects.bdae";

// A missing file or effect leaves its types at 0xffff, with one log line.
void buildBuiltInMaterialTypes(video::CMaterialRendererManager& manager);
// The renderer of a scene file's effect, for the technique maps' renderer urls; null when the
// file or the effect is missing. A null factory means the default one.
boost::intrusive_ptr<video::CMaterialRenderer> buildEffectFromFile(video::IVideoDriver* driver, const char* file,
                                                                   const char* effect, CColladaFactory* factory);

}  // namespace pravik::collada
