#pragma once
// The built-in material types come from the effects of "DefaultEffects.bdae", one effect per
// type named as the type. The device installs this builder with the renderer manager; the
// first request of any type builds every missing one (type 5 has none).

namespace pravik::video {
class CMaterialRendererManager;
}

namespace pravik::collada {

constexpr const char* kDefaultEffectsFile = "DefaultEffects.bdae";

// A missing file or effect leaves its types at 0xffff, with one log line.
void buildBuiltInMaterialTypes(video::CMaterialRendererManager& manager);

}  // namespace pravik::collada
