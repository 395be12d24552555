// The factory's renderers, materials and vertex attribute maps.

#include "engine/collada/CColladaFactory.h"

#include "engine/collada/CColladaDatabase.h"
#include "engine/collada/CRootSceneNode.h"
#include "engine/collada/ColladaMaterials.h"
#include "engine/collada/IMesh.h"
#include "engine/os/Printer.h"
#include "engine/video/IVideoDriver.h"
#include "engine/video/material/CMaterial.h"
#include "engine/video/material/CMaterialRenderer.h"
#include "engine/video/material/CMaterialRendererManager.h"
#include "engine/video/material/CVertexAttributeMap.h"

#include <vector>

namespace pravik::collada {

boost::intrusive_ptr<video::CMaterialRenderer> CColladaFactory::createMaterialRenderer(
    const CColladaDatabase& db, video::IVideoDriver* driver, SEffect* effect, const char* effectId, const char* fileName,
    CRootSceneNode* root)
{
    video::CMaterialRendererManager* manager = driver ? driver->getMaterialRendererManager() : nullptr;
    if (!manager) return nullptr;
    if (!effect) {
        os::Printer::log("Effect could not be loaded, using pink wireframe.", ELL_ERROR);
        return manager->createPinkWireFrameMaterialRenderer("Material PinkWireFrame");
    }
    const core::stringc name = getEffectName(db, effectId, fileName);
    const unsigned short existing = manager->getId(name.c_str());
    if (existing != 0xffff) return manager->get(existing);
    SEffectList list{{db, effect}};
    getAdditionalEffects(db, effect, list);
    return collada::createMaterialRenderer(db, driver, name.c_str(), list, root);
}

boost::intrusive_ptr<video::CMaterial> CColladaFactory::createMaterial(const CColladaDatabase& db,
                                                                       video::IVideoDriver* driver, SMaterial* material,
                                                                       CRootSceneNode* root)
{
    const CResFile* file = db.getResFile();
    if (!material || !file) return nullptr;
    if (root)
        if (auto existing = root->hasMaterial(file->cstr(material->id))) return existing;
    // The effect lies in this file or, when post-load found it there, in the external one.
    const CColladaDatabase* effectDb = &db;
    SEffect* effect = file->as<SEffect>(material->effect);
    if (!effect) effect = file->getExternalEffect(material, &effectDb);
    if (!effect) effectDb = &db;
    const char* url = file->cstr(material->effectUrl);
    auto renderer = createMaterialRenderer(*effectDb, driver, effect, url[0] ? url + 1 : "",
                                           file->str(material->externalFile), root);
    return renderer ? collada::createMaterial(db, driver, renderer, *material, root) : nullptr;
}

boost::intrusive_ptr<video::CMaterialVertexAttributeMap> CColladaFactory::createMaterialVertexAttributeMap(
    const CColladaDatabase& db, SInstanceMaterial* binding, const boost::intrusive_ptr<IMesh>& mesh,
    const boost::intrusive_ptr<video::CMaterial>& material, unsigned bufferIndex, bool rebuild)
{
    CResFile* file = db.getResFile();
    if (!binding || !file || !material || !mesh) return nullptr;
    if (!rebuild)
        if (auto cached = file->getAttributeMap(binding)) return cached;
    const auto& renderer = material->getMaterialRenderer();
    video::IVideoDriver* driver = renderer ? renderer->getVideoDriver() : nullptr;
    if (!driver) return nullptr;
    // Binding lists by driver family, tried in this order.
    const struct {
        unsigned mask;
        int list;
    } kFamilies[] = {{0x07, 1}, {0x18, 2}, {0x60, 0}, {0x300, 3}};
    const unsigned type = unsigned(driver->getDriverType());
    int list = -1;
    for (const auto& family : kFamilies)
        if (type & family.mask) {
            list = family.list;
            break;
        }
    if (list < 0) return nullptr;
    auto map = video::CMaterialVertexAttributeMap::allocate(renderer);
    if (!map) return nullptr;
    if (!file->getAttributeMap(binding)) {
        file->setAttributeMap(binding, map);
        db.linkInstanceMaterial(binding);
    }
    auto buffer = mesh->getMeshBuffer(bufferIndex);
    const video::CVertexStreams* streams = buffer ? buffer->VertexStreams.get() : nullptr;
    if (!streams) return map;
    for (const SBindingTechnique& technique : file->get(binding->bindings[list])) {
        const unsigned char t = renderer->getTechniqueID(file->cstr(technique.name));
        if (t == 255 || t >= renderer->getTechniqueCount()) continue;
        auto passes = file->get(technique.passes);
        const unsigned passCount = renderer->getTechnique(t).passCount;
        for (unsigned p = 0; p < passes.size() && p < passCount; ++p) {
            const uint32_t pairCount = passes[p].pairCount;
            const auto* pairs = static_cast<const uint8_t*>(
                pairCount < 0x10000 ? file->getFile().resolve(passes[p].pairs.ref, 2 * pairCount) : nullptr);
            // Pairs naming a slot or an attribute past the table are left out.
            std::vector<unsigned char> valid;
            for (uint32_t i = 0; pairs && i < pairCount; ++i)
                if (pairs[2 * i] < video::EVA_COUNT && pairs[2 * i + 1] < video::EVA_COUNT) {
                    valid.push_back(pairs[2 * i]);
                    valid.push_back(pairs[2 * i + 1]);
                }
            boost::intrusive_ptr<video::CVertexAttributeMap> pass(
                new video::CVertexAttributeMap(streams, unsigned(valid.size() / 2), valid.data(), false));
            map->set(t, (unsigned char)p, pass);
        }
    }
    boost::intrusive_ptr<video::CVertexAttributeMap> shared;
    for (unsigned char t = 0; t < renderer->getTechniqueCount(); ++t)
        for (unsigned char p = 0; p < renderer->getTechnique(t).passCount; ++p) {
            if (map->get(t, p)) continue;
            if (!shared) shared = new video::CVertexAttributeMap(*streams);
            map->set(t, p, shared);
        }
    return map;
}

}  // namespace pravik::collada
