#include "engine/collada/CColladaDatabase.h"

#include "engine/collada/CColladaFactory.h"
#include "engine/collada/CImage.h"
#include "engine/collada/CResFileManager.h"
#include "engine/collada/CRootSceneNode.h"
#include "engine/collada/CSceneNode.h"
#include "engine/collada/IMesh.h"
#include "engine/core/pravikString.h"
#include "engine/os/Printer.h"
#include "engine/scene/ISceneNodeAnimator.h"
#include "engine/video/ITexture.h"
#include "engine/video/material/CMaterial.h"
#include "engine/video/material/CMaterialRenderer.h"
#include "engine/video/material/CVertexAttributeMap.h"

#include <strings.h>

#include <cstring>

namespace pravik::collada {

CColladaFactory CColladaDatabase::DefaultFactory;

namespace {

CResFileManager* manager() { return CResFileManager::Inst; }

template <class T>
T* findById(const CResFile* file, const res::vector<T>& library, const char* id)
{
    if (!file || !id) return nullptr;
    for (T& record : file->get(library))
        if (std::strcmp(file->cstr(record.id), id) == 0) return &record;
    return nullptr;
}

}  // namespace

// ---- construction and release ----

CColladaDatabase::CColladaDatabase(const char* path, CColladaFactory* factory) : m_factory(factory)
{
    if (manager() && path) m_file = manager()->load(path);
    if (m_file) m_file->grab();
}

CColladaDatabase::CColladaDatabase(io::IReadFile* file, bool keepInMemory, CColladaFactory* factory) : m_factory(factory)
{
    if (manager() && file) m_file = manager()->load(file, false, nullptr, keepInMemory);
    if (m_file) m_file->grab();
}

CColladaDatabase::CColladaDatabase(io::IReadFile* file, CColladaFactory* factory) : CColladaDatabase(file, false, factory) {}

CColladaDatabase::CColladaDatabase(const CColladaDatabase* other, const char* path, CColladaFactory* factory)
    : m_factory(factory)
{
    if (manager() && path) m_file = manager()->get(other ? other->m_file : nullptr, path, true);
    if (m_file) m_file->grab();
}

CColladaDatabase::CColladaDatabase(CResFile* file, CColladaFactory* factory) : m_file(file), m_factory(factory)
{
    if (m_file && m_file->getReferenceCount() != 0) m_file->grab();
    else m_file = nullptr;
}

CColladaDatabase::CColladaDatabase(const CColladaDatabase& other) : m_file(other.m_file), m_factory(other.m_factory)
{
    if (m_file) m_file->grab();
}

CColladaDatabase& CColladaDatabase::operator=(const CColladaDatabase& other)
{
    if (this == &other) return *this;
    if (other.m_file) other.m_file->grab();
    release();
    m_file = other.m_file;
    m_factory = other.m_factory;
    return *this;
}

void CColladaDatabase::release()
{
    CResFile* file = m_file;
    m_file = nullptr;
    if (!file || file->getReferenceCount() == 0) return;
    if (file->drop()) return;
    CResFileManager* m = manager();
    if (m && m->getAutomaticUnloading() && file->getReferenceCount() == 1) {
        const core::stringc path = file->getPath();
        m->unload(path.c_str(), false);
    }
}

CColladaFactory* CColladaDatabase::getFactory() const { return m_factory ? m_factory : &DefaultFactory; }

const char* CColladaDatabase::getPath() const { return m_file ? m_file->getPath().c_str() : nullptr; }

// ---- records ----

#define PRAVIK_LIBRARY(Type, Name, field)                                                     \
    Type* CColladaDatabase::get##Name(int i) const                                            \
    {                                                                                         \
        SCollada* root = getRoot();                                                           \
        return root ? m_file->at(root->field, i) : nullptr;                                   \
    }                                                                                         \
    Type* CColladaDatabase::get##Name(const char* id) const                                   \
    {                                                                                         \
        SCollada* root = getRoot();                                                           \
        return root ? findById(m_file, root->field, id) : nullptr;                            \
    }
PRAVIK_LIBRARY(SAnimation, Animation, animations)
PRAVIK_LIBRARY(SAnimationClip, AnimationClip, clips)
PRAVIK_LIBRARY(SCamera, Camera, cameras)
PRAVIK_LIBRARY(SLight, Light, lights)
PRAVIK_LIBRARY(SImage, Image, images)
PRAVIK_LIBRARY(SEffect, Effect, effects)
PRAVIK_LIBRARY(SMaterial, Material, materials)
PRAVIK_LIBRARY(SGeometry, Geometry, geometries)
PRAVIK_LIBRARY(SForce, Force, forces)
PRAVIK_LIBRARY(SEmitter, Emitter, emitters)
PRAVIK_LIBRARY(SPNPSEmitter, PNPSEmitter, pnpsEmitters)
PRAVIK_LIBRARY(SCoronas, Coronas, coronas)
PRAVIK_LIBRARY(SVisualScene, VisualScene, visualScenes)
#undef PRAVIK_LIBRARY

SController* CColladaDatabase::getController(int i) const
{
    SCollada* root = getRoot();
    return root ? m_file->at(root->controllers, i) : nullptr;
}

// The controller's id is its second field.
SController* CColladaDatabase::getController(const char* id) const
{
    SCollada* root = getRoot();
    if (!root || !id) return nullptr;
    for (SController& c : m_file->get(root->controllers))
        if (std::strcmp(m_file->cstr(c.id), id) == 0) return &c;
    return nullptr;
}

SMaterial* CColladaDatabase::getMaterial(const char* file, const char* id, CColladaDatabase& out) const
{
    out = CColladaDatabase(this, file, &DefaultFactory);
    return out.getMaterial(id);
}

const char* CColladaDatabase::getVersion() const
{
    SCollada* root = getRoot();
    return root ? m_file->str(root->version) : nullptr;
}

std::span<SInstanceEntry> CColladaDatabase::getScene() const
{
    SCollada* root = getRoot();
    return root ? m_file->get(root->scene) : std::span<SInstanceEntry>();
}

SLibraryAnimationClips* CColladaDatabase::getAnimationClipLibrary() const
{
    SCollada* root = getRoot();
    return root ? &root->clips : nullptr;
}

SNode* CColladaDatabase::searchNode(const char* id, SNode& from, std::unordered_set<uint32_t>& visited, int depth) const
{
    if (depth >= kMaxNodeDepth) return nullptr;
    for (SNode& child : m_file->get(from.children)) {
        if (!visited.insert(m_file->refOf(&child)).second) continue;
        if (std::strcmp(m_file->cstr(child.id), id) == 0) return &child;
        if (SNode* hit = searchNode(id, child, visited, depth + 1)) return hit;
    }
    return nullptr;
}

SNode* CColladaDatabase::getNode(const char* id) const
{
    SVisualScene* scene = getVisualScene(0);
    if (!scene || !id) return nullptr;
    std::unordered_set<uint32_t> visited;
    for (SNode& node : m_file->get(scene->nodes)) {
        if (!visited.insert(m_file->refOf(&node)).second) continue;
        if (std::strcmp(m_file->cstr(node.id), id) == 0) return &node;
        if (SNode* hit = searchNode(id, node, visited)) return hit;
    }
    return nullptr;
}

SNode* CColladaDatabase::getNode(const char* id, SNode& below) const
{
    if (!m_file || !id) return nullptr;
    std::unordered_set<uint32_t> visited{m_file->refOf(&below)};
    return searchNode(id, below, visited);
}

void* CColladaDatabase::find(const char* id, unsigned& mask) const
{
    const unsigned asked = mask;
    struct Lookup {
        unsigned bit;
        void* (*get)(const CColladaDatabase&, const char*);
    };
    static const Lookup kLibraries[] = {
        {ELM_ANIMATIONS, [](const CColladaDatabase& d, const char* i) -> void* { return d.getAnimation(i); }},
        {ELM_CLIPS, [](const CColladaDatabase& d, const char* i) -> void* { return d.getAnimationClip(i); }},
        {ELM_IMAGES, [](const CColladaDatabase& d, const char* i) -> void* { return d.getImage(i); }},
        {ELM_EFFECTS, [](const CColladaDatabase& d, const char* i) -> void* { return d.getEffect(i); }},
        {ELM_MATERIALS, [](const CColladaDatabase& d, const char* i) -> void* { return d.getMaterial(i); }},
        {ELM_GEOMETRIES, [](const CColladaDatabase& d, const char* i) -> void* { return d.getGeometry(i); }},
        {ELM_CONTROLLERS, [](const CColladaDatabase& d, const char* i) -> void* { return d.getController(i); }},
        {ELM_VISUAL_SCENES, [](const CColladaDatabase& d, const char* i) -> void* { return d.getVisualScene(i); }},
    };
    for (const Lookup& library : kLibraries) {
        if (!(asked & library.bit)) continue;
        if (void* hit = library.get(*this, id)) {
            mask = library.bit;
            return hit;
        }
    }
    return nullptr;
}

SAnimationSegment* CColladaDatabase::getAnimationSegment(int frame) const
{
    SCollada* root = getRoot();
    res::vector<SAnimationSegment>* library = root ? m_file->get(root->segments) : nullptr;
    if (!library) return nullptr;
    auto segments = m_file->get(*library);
    if (segments.empty()) return nullptr;
    for (SAnimationSegment& s : segments)
        if (s.firstFrame <= frame && frame < s.endFrame) return &s;
    return &segments.back();
}

namespace {

// Channel types that stand for one another in lookups.
bool compatibleTypes(uint32_t asked, uint32_t type)
{
    if (asked >= 1 && asked <= 4) return type >= 1 && type <= 4;
    if (asked == 5 || asked == 9) return type == 5 || type == 9;
    if ((asked >= 105 && asked <= 109) || asked == 256) return type >= 105 && type <= 109;
    return false;
}

}  // namespace

SAnimation* CColladaDatabase::getAnimation(const char* target, uint32_t type, unsigned char subIndex) const
{
    SCollada* root = getRoot();
    if (!root || !target) return nullptr;
    for (SAnimation& a : m_file->get(root->animations)) {
        SChannel* c = m_file->get(a.channel);
        if (!c || std::strcmp(m_file->cstr(c->target), target) != 0) continue;
        if (compatibleTypes(type, c->type) || (c->type == type && uint8_t(c->subIndex) == subIndex)) return &a;
    }
    return nullptr;
}

SAnimation* CColladaDatabase::getAnimation(const char* target, uint32_t type, const char* parameter) const
{
    SCollada* root = getRoot();
    if (!root || !target || !parameter) return nullptr;
    for (SAnimation& a : m_file->get(root->animations)) {
        SChannel* c = m_file->get(a.channel);
        if (!c || c->type != type) continue;
        const char* name = m_file->str(res::String{c->subIndex});
        if (name && strcasecmp(name, parameter) == 0 && std::strcmp(m_file->cstr(c->target), target) == 0) return &a;
    }
    return nullptr;
}

SAnimation* CColladaDatabase::getBlendableAnimation(const SChannel* channel) const
{
    if (!channel || !m_file) return nullptr;
    return getAnimation(m_file->cstr(channel->target), channel->type, uint8_t(channel->subIndex));
}

SAnimation* CColladaDatabase::getBlendableAnimation(const SAnimation* animation) const
{
    return animation && m_file ? getBlendableAnimation(m_file->get(animation->channel)) : nullptr;
}

int CColladaDatabase::getDefaultValue(const char* target, uint32_t type, void** out, void* extra) const
{
    if (!out || !m_file) return 0;
    *out = nullptr;
    if ((type >= 1 && type <= 13) || type == 20) {
        SNode* node = getNode(target);
        if (!node) return 0;
        if (type <= 4) *out = node->position;
        else if (type <= 9) *out = node->rotation;
        else if (type <= 11) *out = node->scale;
        else if (type == 12) *out = &node->scale[1];
        else if (type == 13) *out = &node->scale[2];
        else *out = &node->visible;
        return 1;
    }
    if (type == 14) {
        SController* controller = getController(target);
        SMorph* morph = controller && controller->type == 1 ? m_file->as<SMorph>(controller->data) : nullptr;
        const unsigned sub = extra ? *static_cast<const uint8_t*>(extra) : 0;
        float* weights = morph ? static_cast<float*>(m_file->getFile().resolve(morph->weights.ref, 4 * (sub + 1), 4))
                               : nullptr;
        if (!weights) return 0;
        *out = weights + sub;
        return 1;
    }
    if (type == 16) {
        SLight* light = getLight(target);
        if (!light) return 0;
        *out = &light->color;
        return 1;
    }
    if (type == 104) {
        SMaterial* material = getMaterial(target);
        if (!material) {
            const std::string text = std::string("Material \"") + (target ? target : "") + "\" not found.";
            os::Printer::log(text.c_str(), ELL_WARNING);
            return 0;
        }
        const uint32_t name = extra ? *static_cast<const uint32_t*>(extra) : 0;
        for (SMaterialParam& p : m_file->get(material->params))
            if (name && p.name.ref == name) os::Printer::log("TODO - SetParam Default Values", ELL_INFORMATION);
        return 0;
    }
    return 0;
}

int CColladaDatabase::getDefaultValue(const SChannel* channel, void** out) const
{
    if (!channel || !m_file) return 0;
    return getDefaultValue(m_file->cstr(channel->target), channel->type, out, const_cast<uint32_t*>(&channel->subIndex));
}

int CColladaDatabase::getDefaultValue(const SAnimation* animation, void** out) const
{
    return animation && m_file ? getDefaultValue(m_file->get(animation->channel), out) : 0;
}

void CColladaDatabase::linkInstanceMaterial(SInstanceMaterial*) const
{
    // The cached maps live in the file's side table and go with the file.
}

scene::ISceneNode* CColladaDatabase::getExternalLightSceneNode(const boost::intrusive_ptr<video::CMaterial>& material,
                                                               unsigned short parameter, unsigned index,
                                                               const char* url) const
{
    return getFactory()->getExternalLightSceneNode(*this, material, parameter, index, url);
}

scene::ISceneNode* CColladaDatabase::getExternalLightSceneNode(
    const boost::intrusive_ptr<video::CMaterialRenderer>& renderer, unsigned short parameter, unsigned index,
    const char* url) const
{
    return getFactory()->getExternalLightSceneNode(*this, renderer, parameter, index, url);
}

}  // namespace pravik::collada
