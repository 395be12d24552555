// Building engine objects from the records: scenes, node trees and what their instances name.

#include "engine/collada/CColladaDatabase.h"
#include "engine/collada/CSceneNodeAnimator.h"

#include "engine/collada/CColladaFactory.h"
#include "engine/collada/CImage.h"
#include "engine/collada/CResFileManager.h"
#include "engine/collada/CRootSceneNode.h"
#include "engine/collada/CSceneNode.h"
#include "engine/collada/IMesh.h"
#include "engine/os/Printer.h"
#include "engine/scene/ISceneNodeAnimator.h"
#include "engine/video/ITexture.h"
#include "engine/video/material/CMaterial.h"
#include "engine/video/material/CMaterialRenderer.h"
#include "engine/video/material/CVertexAttributeMap.h"
#include "engine/video/material/CMaterialRenderer.h"
#include "engine/video/material/CVertexAttributeMap.h"

#include <cstring>

namespace pravik::collada {

namespace detail {
scene::ISceneNode* cameraNode(CCameraSceneNode* node);
scene::ISceneNode* coronasNode(CCoronasSceneNode* node);
}  // namespace detail

namespace {

using detail::cameraNode;
using detail::coronasNode;

const char* afterHash(const char* url) { return url && url[0] ? url + 1 : ""; }

// Attaches a built node to its parent and lets go of the build's reference.
void attach(scene::ISceneNode* parent, scene::ISceneNode* child)
{
    if (!child) return;
    parent->addChild(child);
    child->drop();
}

}  // namespace

// ---- scenes ----

CRootSceneNode* CColladaDatabase::constructScene(video::IVideoDriver* driver, bool animator) const
{
    if (!m_file || !getRoot()) return nullptr;
    CRootSceneNode* root = getFactory()->createScene(*this);
    if (!root) return nullptr;
    for (SInstanceEntry& entry : getScene()) {
        if (entry.kind != EIK_VISUAL_SCENE) continue;
        auto* instance = m_file->as<SInstanceUrl>(entry.record);
        if (instance) constructVisualScene(driver, afterHash(m_file->str(instance->url)), root);
    }
    root->onPostLoad();
    root->resolveURLs();
    if (animator)
        if (scene::ISceneNodeAnimator* a = constructAnimator()) {
            root->addAnimator(a);
            a->drop();
        }
    return root;
}

CRootSceneNode* CColladaDatabase::constructScene(video::IVideoDriver* driver, const char* path, CColladaFactory* factory)
{
    return constructScene(driver, path, true, factory);
}

namespace {

// What every static entry point shares: the file through the manager, unloading suspended.
template <class Build>
auto buildFrom(CResFile* file, CColladaFactory* factory, Build build) -> decltype(build(CColladaDatabase()))
{
    if (!file) return nullptr;
    SSuspendAutomaticUnloading suspend(CResFileManager::Inst);
    CColladaDatabase db(file, factory ? factory : &CColladaDatabase::DefaultFactory);
    return build(db);
}

CResFile* loadPath(const char* path)
{
    return CResFileManager::Inst && path ? CResFileManager::Inst->load(path) : nullptr;
}

CResFile* loadFile(io::IReadFile* file, bool keepInMemory)
{
    return CResFileManager::Inst && file ? CResFileManager::Inst->load(file, false, nullptr, keepInMemory) : nullptr;
}

}  // namespace

CRootSceneNode* CColladaDatabase::constructScene(video::IVideoDriver* driver, const char* path, bool animator,
                                                 CColladaFactory* factory)
{
    return buildFrom(loadPath(path), factory,
                     [&](const CColladaDatabase& db) { return db.constructScene(driver, animator); });
}

CRootSceneNode* CColladaDatabase::constructScene(video::IVideoDriver* driver, io::IReadFile* file, bool animator,
                                                 bool keepInMemory, CColladaFactory* factory)
{
    return buildFrom(loadFile(file, keepInMemory), factory,
                     [&](const CColladaDatabase& db) { return db.constructScene(driver, animator); });
}

CRootSceneNode* CColladaDatabase::constructScene(video::IVideoDriver* driver, io::IReadFile* file, bool animator,
                                                 CColladaFactory* factory)
{
    return constructScene(driver, file, animator, false, factory);
}

CRootSceneNode* CColladaDatabase::constructVisualScene(video::IVideoDriver* driver, SVisualScene* scene,
                                                       CRootSceneNode* root) const
{
    if (!scene || !m_file) return nullptr;
    if (!root) root = getFactory()->createScene(*this);
    if (!root) return nullptr;
    root->setName(m_file->cstr(scene->name));
    std::unordered_set<uint32_t> visited;
    for (SNode& node : m_file->get(scene->nodes)) attach(root, buildNode(driver, &node, root, visited));
    return root;
}

CRootSceneNode* CColladaDatabase::constructVisualScene(video::IVideoDriver* driver, int index, CRootSceneNode* root) const
{
    return constructVisualScene(driver, getVisualScene(index), root);
}

CRootSceneNode* CColladaDatabase::constructVisualScene(video::IVideoDriver* driver, const char* id,
                                                       CRootSceneNode* root) const
{
    return constructVisualScene(driver, getVisualScene(id), root);
}

// ---- nodes ----

scene::ISceneNode* CColladaDatabase::constructNode(video::IVideoDriver* driver, SNode* node, CRootSceneNode* root) const
{
    std::unordered_set<uint32_t> visited;
    return buildNode(driver, node, root, visited);
}

scene::ISceneNode* CColladaDatabase::buildNode(video::IVideoDriver* driver, SNode* node, CRootSceneNode* root,
                                               std::unordered_set<uint32_t>& visited, int depth) const
{
    if (!node || !m_file) return nullptr;
    if (depth >= kMaxNodeDepth) {
        os::Printer::log("Scene-file node tree cut: deeper than 256", m_file->getPath().c_str(), ELL_ERROR);
        return nullptr;
    }
    // A record reached twice (a cycle or a shared subtree) is built once.
    if (!visited.insert(m_file->refOf(node)).second) return nullptr;
    CColladaFactory* factory = getFactory();
    CSceneNode* result = node->billboard ? factory->createBillboard(*this, node) : factory->createNode(*this, node);
    if (!result) return nullptr;
    void* userProperty = node->userProperty ? m_file->as<res::String>(node->userProperty) : nullptr;

    for (SInstanceEntry& entry : m_file->get(node->instances)) {
        switch (entry.kind) {
        case EIK_CAMERA: {
            auto* instance = m_file->as<SInstanceUrl>(entry.record);
            if (instance) attach(result, cameraNode(constructCamera(afterHash(m_file->str(instance->url)), root)));
            break;
        }
        case EIK_CONTROLLER: {
            auto* instance = m_file->as<SInstance>(entry.record);
            auto mesh = instance ? constructController(driver, instance, root, true) : nullptr;
            if (!mesh) break;
            const int type = mesh->getType();
            scene::ISceneNode* meshNode = (type == ECMT_SKINNED || type == ECMT_MODULAR_SKINNED)
                                              ? factory->createSkinNode(*this, mesh, userProperty)
                                              : factory->createMeshNode(*this, mesh, userProperty);
            if (meshNode) {
                meshNode->setRenderingLayer(instance->renderingLayer);
                meshNode->setAutomaticCulling(scene::EAC_FRUSTUM_BOX);
                attach(result, meshNode);
            }
            break;
        }
        case EIK_GEOMETRY: {
            auto* instance = m_file->as<SInstance>(entry.record);
            auto mesh = instance ? constructGeometry(driver, instance, root) : nullptr;
            if (!mesh) break;
            if (scene::ISceneNode* meshNode = factory->createMeshNode(*this, mesh, userProperty)) {
                meshNode->setRenderingLayer(instance->renderingLayer);
                attach(result, meshNode);
            }
            break;
        }
        case EIK_LIGHT:
            break;  // lights build no node
        case EIK_EMITTER:
        case EIK_PNPS_EMITTER:
            break;  // particle systems come with their own layer
        case EIK_CORONAS: {
            auto* instance = m_file->as<SInstance>(entry.record);
            if (instance) attach(result, coronasNode(constructCoronas(instance, driver, root)));
            break;
        }
        case EIK_FORCE: {
            auto* instance = m_file->as<SInstanceUrl>(entry.record);
            if (instance) attach(result, constructForce(getForce(afterHash(m_file->str(instance->url))), root));
            break;
        }
        case EIK_MODULAR_SKIN: {
            auto* instance = m_file->as<SInstance>(entry.record);
            auto mesh = instance ? factory->createModularSkin(*this, instance, root) : nullptr;
            if (!mesh) break;
            if (scene::ISceneNode* meshNode = factory->createModularSkinNode(*this, mesh, userProperty)) {
                meshNode->setRenderingLayer(instance->renderingLayer);
                meshNode->setAutomaticCulling(scene::EAC_FRUSTUM_BOX);
                attach(result, meshNode);
            }
            break;
        }
        default:
            break;
        }
    }

    result->setName(m_file->cstr(node->name));
    result->setPosition(core::vector3d<float>(node->position[0], node->position[1], node->position[2]));
    result->setRotation(core::quaternion(node->rotation[0], node->rotation[1], node->rotation[2], node->rotation[3]));
    result->setScale(core::vector3d<float>(node->scale[0], node->scale[1], node->scale[2]));
    result->setVisible(node->visible != 0);

    for (SNode& child : m_file->get(node->children)) attach(result, buildNode(driver, &child, root, visited, depth + 1));
    return result;
}

CRootSceneNode* CColladaDatabase::constructNode(video::IVideoDriver* driver, SNode* node) const
{
    if (!node || !m_file) return nullptr;
    CRootSceneNode* root = getFactory()->createScene(*this);
    if (!root) return nullptr;
    attach(root, constructNode(driver, node, root));
    root->onPostLoad();
    return root;
}

CRootSceneNode* CColladaDatabase::constructNode(video::IVideoDriver* driver, const char* id) const
{
    return constructNode(driver, getNode(id));
}

CRootSceneNode* CColladaDatabase::constructNode(video::IVideoDriver* driver, io::IReadFile* file, const char* id,
                                                bool keepInMemory, CColladaFactory* factory)
{
    return buildFrom(loadFile(file, keepInMemory), factory,
                     [&](const CColladaDatabase& db) { return db.constructNode(driver, id); });
}

CRootSceneNode* CColladaDatabase::constructNode(video::IVideoDriver* driver, io::IReadFile* file, const char* id,
                                                CColladaFactory* factory)
{
    return constructNode(driver, file, id, false, factory);
}

CRootSceneNode* CColladaDatabase::constructNode(video::IVideoDriver* driver, const char* path, const char* id,
                                                CColladaFactory* factory)
{
    return buildFrom(loadPath(path), factory, [&](const CColladaDatabase& db) { return db.constructNode(driver, id); });
}

// ---- animators: none until the animation runtime builds them ----

scene::ISceneNodeAnimator* CColladaDatabase::constructAnimator() const
{
    SCollada* root = getRoot();
    if (!root || (root->animations.count <= 0 && root->events == 0))
        return nullptr;
    scene::ISceneNodeAnimator* animator = getFactory()->createAnimator(*this, &root->clips);
    auto* fileAnimator = dynamic_cast<CSceneNodeAnimator*>(animator);
    if (!fileAnimator)
        return animator;
    boost::intrusive_ptr<CAnimationFileData> data = CAnimationFileData::get(m_file);
    fileAnimator->addAnimationTrackVector(data->getAnimations());
    if (const SAnimationEventsView* events = data->getEvents()) {
        CEventsManager* manager = new CEventsManager(*events);
        fileAnimator->setEventsManager(manager);
        manager->drop();
    }
    return animator;
}

scene::ISceneNodeAnimator* CColladaDatabase::constructAnimator(io::IReadFile* file, bool keepInMemory,
                                                               CColladaFactory* factory)
{
    return buildFrom(loadFile(file, keepInMemory), factory,
                     [&](const CColladaDatabase& db) { return db.constructAnimator(); });
}

scene::ISceneNodeAnimator* CColladaDatabase::constructAnimator(io::IReadFile* file, CColladaFactory* factory)
{
    return constructAnimator(file, false, factory);
}

scene::ISceneNodeAnimator* CColladaDatabase::constructAnimator(const char* path, CColladaFactory* factory)
{
    return buildFrom(loadPath(path), factory, [&](const CColladaDatabase& db) { return db.constructAnimator(); });
}

// ---- meshes ----

boost::intrusive_ptr<IMesh> CColladaDatabase::constructGeometry(video::IVideoDriver* driver, SGeometry* geometry) const
{
    if (!geometry || geometry->noMesh) return nullptr;
    return getFactory()->createGeometry(*this, driver, geometry);
}

boost::intrusive_ptr<IMesh> CColladaDatabase::constructGeometry(video::IVideoDriver* driver, int index) const
{
    return constructGeometry(driver, getGeometry(index));
}

boost::intrusive_ptr<IMesh> CColladaDatabase::constructGeometry(video::IVideoDriver* driver, const char* id) const
{
    return constructGeometry(driver, getGeometry(id));
}

boost::intrusive_ptr<IMesh> CColladaDatabase::constructGeometry(video::IVideoDriver* driver, const char* file,
                                                                const char* id) const
{
    CResFileManager* manager = CResFileManager::Inst;
    CResFile* other = manager ? manager->get(m_file, file, true) : nullptr;
    if (!other) {
        os::Printer::log("File not found", ELL_ERROR);
        os::Printer::log(file ? file : "", ELL_ERROR);
        return nullptr;
    }
    SSuspendAutomaticUnloading suspend(manager);
    CColladaDatabase db(other, m_factory);
    auto mesh = db.constructGeometry(driver, id);
    if (!mesh) {
        os::Printer::log("Geometry not found", ELL_ERROR);
        os::Printer::log(file ? file : "", ELL_ERROR);
        os::Printer::log(id ? id : "", ELL_ERROR);
    }
    return mesh;
}

SMaterial* CColladaDatabase::bindingMaterial(const SInstanceMaterial& binding, CColladaDatabase& out) const
{
    const char* file = m_file ? m_file->str(binding.file) : nullptr;
    if (file) return getMaterial(file, afterHash(m_file->str(binding.url)), out);
    return getMaterial(binding.materialIndex);
}

boost::intrusive_ptr<IMesh> CColladaDatabase::constructGeometry(video::IVideoDriver* driver, SInstance* instance,
                                                                CRootSceneNode* root) const
{
    if (!instance || !m_file) return nullptr;
    const char* file = m_file->str(instance->file);
    const char* id = afterHash(m_file->str(instance->url));
    auto mesh = file ? constructGeometry(driver, file, id) : constructGeometry(driver, id);
    if (!mesh) return nullptr;
    unsigned i = 0;
    for (SInstanceMaterial& binding : m_file->get(instance->materials)) {
        CColladaDatabase external;
        SMaterial* record = bindingMaterial(binding, external);
        boost::intrusive_ptr<video::CMaterial> material = root && record ? root->getMaterial(record, driver) : nullptr;
        auto map = getFactory()->createMaterialVertexAttributeMap(*this, &binding, mesh, material, i, false);
        mesh->setMaterial(i, material, map);
        ++i;
    }
    return mesh;
}

boost::intrusive_ptr<IMesh> CColladaDatabase::constructController(video::IVideoDriver* driver, SController* controller,
                                                                  CRootSceneNode* root) const
{
    if (!controller) return nullptr;
    if (controller->type == 0) return getFactory()->createSkin(*this, driver, controller, root);
    if (controller->type == 1) return getFactory()->createMorph(*this, driver, controller, root);
    return nullptr;
}

boost::intrusive_ptr<IMesh> CColladaDatabase::constructController(video::IVideoDriver* driver, SInstance* instance,
                                                                  CRootSceneNode* root, bool) const
{
    if (!instance || !m_file) return nullptr;
    SController* controller = getController(afterHash(m_file->str(instance->url)));
    auto mesh = constructController(driver, controller, root);
    if (!mesh) return nullptr;
    auto bindings = m_file->get(instance->materials);
    for (unsigned i = 0; i < bindings.size(); ++i) {
        CColladaDatabase external;
        SMaterial* record = bindingMaterial(bindings[i], external);
        mesh->setMaterial(i, root && record ? root->getMaterial(record, driver) : nullptr, nullptr);
    }
    CColladaFactory* factory = getFactory();
    mesh->init(driver, controller->type == 0 ? factory->isSharingSkinningBuffer(*this, controller)
                                             : factory->isSharingMorphingBuffer(*this, controller));
    for (unsigned i = 0; i < bindings.size(); ++i) {
        auto material = mesh->getMaterial(i);
        mesh->setMaterial(i, material,
                          factory->createMaterialVertexAttributeMap(*this, &bindings[i], mesh, material, i, false));
    }
    return mesh;
}

// ---- materials, effects, images ----

boost::intrusive_ptr<video::CMaterial> CColladaDatabase::constructMaterial(video::IVideoDriver* driver,
                                                                           SMaterial* material,
                                                                           CRootSceneNode* root) const
{
    if (!material) return nullptr;
    return getFactory()->createMaterial(*this, driver, material, root);
}

boost::intrusive_ptr<video::CMaterial> CColladaDatabase::constructMaterial(video::IVideoDriver* driver, int index,
                                                                           CRootSceneNode* root) const
{
    return constructMaterial(driver, getMaterial(index), root);
}

boost::intrusive_ptr<video::CMaterial> CColladaDatabase::constructMaterial(video::IVideoDriver* driver, const char* id,
                                                                           CRootSceneNode* root) const
{
    return constructMaterial(driver, getMaterial(id), root);
}

boost::intrusive_ptr<video::CMaterialRenderer> CColladaDatabase::constructEffect(video::IVideoDriver* driver,
                                                                                 SEffect* effect,
                                                                                 CRootSceneNode* root) const
{
    return getFactory()->createMaterialRenderer(*this, driver, effect, effect ? str(effect->id) : "", getPath(), root);
}

boost::intrusive_ptr<video::CMaterialRenderer> CColladaDatabase::constructEffect(video::IVideoDriver* driver, int index,
                                                                                 CRootSceneNode* root) const
{
    return constructEffect(driver, getEffect(index), root);
}

boost::intrusive_ptr<video::CMaterialRenderer> CColladaDatabase::constructEffect(video::IVideoDriver* driver,
                                                                                 const char* id,
                                                                                 CRootSceneNode* root) const
{
    return constructEffect(driver, getEffect(id), root);
}

boost::intrusive_ptr<CImage> CColladaDatabase::constructImage(SImage* image, CRootSceneNode*) const
{
    if (!image || !m_file) return nullptr;
    return new CImage(*this, image, m_file->getTexture(image));
}

boost::intrusive_ptr<CImage> CColladaDatabase::constructImage(const char* id, CRootSceneNode* root) const
{
    return constructImage(getImage(id), root);
}

boost::intrusive_ptr<CImage> CColladaDatabase::constructImage(int index, CRootSceneNode* root) const
{
    return constructImage(getImage(index), root);
}

// ---- cameras, coronas, forces ----

CCameraSceneNode* CColladaDatabase::constructCamera(SCamera* camera, CRootSceneNode* root) const
{
    if (!camera) return nullptr;
    CCameraSceneNode* node = getFactory()->createCameraNode(*this, camera);
    if (node && root) root->addCamera(node);
    return node;
}

CCameraSceneNode* CColladaDatabase::constructCamera(int index, CRootSceneNode* root) const
{
    return constructCamera(getCamera(index), root);
}

CCameraSceneNode* CColladaDatabase::constructCamera(const char* id, CRootSceneNode* root) const
{
    return constructCamera(getCamera(id), root);
}

CCoronasSceneNode* CColladaDatabase::constructCoronas(SCoronas* coronas, video::IVideoDriver* driver,
                                                      CRootSceneNode* root) const
{
    return coronas ? getFactory()->createCoronas(*this, driver, coronas, root) : nullptr;
}

CCoronasSceneNode* CColladaDatabase::constructCoronas(const char* id, video::IVideoDriver* driver,
                                                      CRootSceneNode* root) const
{
    return constructCoronas(getCoronas(id), driver, root);
}

scene::ISceneNode* CColladaDatabase::constructForce(SForce* force, CRootSceneNode*) const
{
    if (!force) return nullptr;
    CColladaFactory* factory = getFactory();
    switch (force->kind) {
    case 0: return factory->createParticleSystemGravityForce(*this, force);
    case 1: return factory->createParticleSystemWindForce(*this, force);
    case 2: return factory->createParticleSystemDeflectorForce(*this, force);
    default: return nullptr;
    }
}

}  // namespace pravik::collada
