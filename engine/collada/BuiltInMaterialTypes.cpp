#include "engine/collada/BuiltInMaterialTypes.h"

#include "engine/collada/CColladaDatabase.h"
#include "engine/collada/CResFileManager.h"
#include "engine/os/Printer.h"
#include "engine/video/material/CMaterialRenderer.h"
#include "engine/video/material/CMaterialRendererManager.h"

namespace pravik::collada {

void buildBuiltInMaterialTypes(video::CMaterialRendererManager& manager)
{
    const char* const* names = video::getStringsInternal(static_cast<video::E_MATERIAL_TYPE*>(nullptr));
    CColladaDatabase db(kDefaultEffectsFile, &CColladaDatabase::DefaultFactory);
    if (!db.isValid()) {
        os::Printer::log("Built-in material types unavailable: cannot load", kDefaultEffectsFile, ELL_ERROR);
        return;
    }
    for (unsigned type = 0; type < video::EMT_COUNT; ++type) {
        const auto t = video::E_MATERIAL_TYPE(type);
        if (t == video::EMT_TODO || manager.getBuiltInId(t) != 0xffff) continue;
        SEffect* effect = db.getEffect(names[type]);
        // Without its effect a type stays unset rather than drawing as the pink fallback.
        auto renderer = effect ? db.constructEffect(manager.getVideoDriver(), effect, nullptr) : nullptr;
        if (!renderer) {
            os::Printer::log("Built-in material type has no effect", names[type], ELL_ERROR);
            continue;
        }
        manager.setBuiltInId(t, renderer->getId());
    }
}

boost::intrusive_ptr<video::CMaterialRenderer> buildEffectFromFile(video::IVideoDriver* driver, const char* file,
                                                                   const char* effect, CColladaFactory* factory)
{
    CColladaDatabase db(file, factory ? factory : &CColladaDatabase::DefaultFactory);
    if (!db.isValid() || !db.getEffect(effect)) return nullptr;
    return db.constructEffect(driver, effect, nullptr);
}

}  // namespace pravik::collada
