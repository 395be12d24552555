#include "effects/EffectImpl.h"

#include "effects/IAffector.h"
#include "effects/IEmitter.h"
#include "effects/ParticleDesc.h"
#include "effects/ZuduvaHost.h"
#include "engine/io/IFileSystem.h"
#include "engine/io/IReadFile.h"
#include "engine/scene/CSceneManager.h"
#include "engine/scene/ISceneNodeAnimator.h"
#include "engine/scene/ITimelineController.h"

#include <algorithm>
#include <cstdio>
#include <vector>

using pravik::core::vector3d;
using pravik::scene::ISceneNode;

namespace {

constexpr unsigned kSceneRootType = pravik::scene::makeNodeTypeCode('d', 'a', 'e', 'r');
constexpr unsigned kEmitterType = pravik::scene::makeNodeTypeCode('e', 'm', 'i', 't');

template <typename T>
void load(CKeyData<T>& track, const beff::STrack<T>& t)
{
    track.setLoop(t.loop);
    for (const auto& k : t.keys)
        track.addKeyData({k.first, k.second});
}

bool isEmitter(const ISceneNode* n) { return unsigned(n->getType()) == kEmitterType; }
bool isSceneRoot(const ISceneNode* n) { return unsigned(n->getType()) == kSceneRootType; }

}  // namespace

IAffector* makeAffector(const beff::SAffector& r)
{
    switch (r.type) {
    case 0: {
        auto* a = new AffectorGravity(r.id);
        load(a->m_strength, r.strength);
        load(a->m_direction, r.direction);
        return a;
    }
    case 1: {
        auto* a = new AffectorAcc(r.id);
        load(a->m_factor, r.strength);
        return a;
    }
    case 2: {
        auto* a = new AffectorRandom(r.id);
        a->m_strengthX = r.strengths[0];
        a->m_strengthY = r.strengths[1];
        a->m_strengthZ = r.strengths[2];
        a->m_interval = r.interval;
        return a;
    }
    case 3: {
        auto* a = new AffectorVortex(r.id);
        load(a->m_strength, r.strength);
        load(a->m_axis, r.direction);
        a->m_mode = r.mode;
        return a;
    }
    default: return nullptr;
    }
}

void applyEmitterRecord(IEmitter& e, const beff::SEmitter& r)
{
    const auto& b = r.block;
    e.m_shape = b[0];
    e.m_faceCamera = b[1] > 0;
    e.m_localSpace = (b[2] & 1) != 0;
    e.m_orient = (b[2] & 2) != 0;
    e.m_parentSpace = (b[2] & 4) != 0;
    e.m_lifetime = b[4];
    e.m_startDelay = b[5];
    e.m_emitInterval = b[6];
    e.m_endWithEmitter = b[8] > 0;
    e.m_targetMode = b[9] > 0;
    e.m_radialSpeedVariation = b[10];
    e.m_directedSpeedVariation = b[11];
    load(e.m_radiusX, r.radius[0]);
    load(e.m_radiusY, r.radius[1]);
    load(e.m_radiusZ, r.radius[2]);
    load(e.m_shellThickness, r.shellThickness);
    load(e.m_rotationX, r.rotation[0]);
    load(e.m_rotationY, r.rotation[1]);
    load(e.m_rotationZ, r.rotation[2]);
    load(e.m_offsetX, r.offset[0]);
    load(e.m_offsetY, r.offset[1]);
    load(e.m_offsetZ, r.offset[2]);
    load(e.m_burstCount, r.burstCount);
    load(e.m_radialSpeed, r.radialSpeed);
    load(e.m_directedSpeed, r.directedSpeed);
    load(e.m_spreadAngle, r.spreadAngle);
    load(e.m_direction, r.direction);

    ParticleDesc& d = *e.GetParticleDesc();
    const beff::SParticle& p = r.particle;
    d.m_particleType = p.kind;
    d.m_life = p.life;
    d.m_lifeVariation = p.lifeVariation;
    d.m_sizeVariation = p.sizeVariation;
    d.m_uniformSize = p.uniformSize > 0;
    d.m_angleX = p.angleX;
    d.m_angleVariationX = p.angleVariationX;
    d.m_angleY = p.angleY;
    d.m_angleVariationY = p.angleVariationY;
    d.m_angleZ = p.angleZ;
    d.m_angleVariationZ = p.angleVariationZ;
    d.m_spinVariationX = p.spinVariationX;
    d.m_spinVariationY = p.spinVariationY;
    d.m_spinVariationZ = p.spinVariationZ;
    d.SetBlendType(p.blend, false);
    d.m_anchorX = p.anchorX;
    d.m_anchorY = p.anchorY;
    d.m_uvRotation = p.uvRotation;
    d.m_flipU = p.flipU;
    d.m_flipV = p.flipV;
    d.SetTextureName(p.texture.c_str(), true);
    load(d.m_red, p.colour[0]);
    load(d.m_green, p.colour[1]);
    load(d.m_blue, p.colour[2]);
    load(d.m_alpha, p.colour[3]);
    CKeyData<float>* sizes[7] = {&d.m_width, &d.m_height, &d.m_spinX, &d.m_spinY, &d.m_spinZ, &d.m_widthScale,
                                 &d.m_heightScale};
    for (int i = 0; i < 7; ++i)
        load(*sizes[i], p.sizes[size_t(i)]);
    for (const auto& a : r.affectors)
        e.AddAffector(makeAffector(a));
}

EffectImpl::~EffectImpl()
{
    for (ISceneNode* n : m_nodes)
        if (isSceneRoot(n)) {
            n->remove();
            n->drop();
        }
    for (IEmitter* e : m_emitters) {
        e->remove();
        e->drop();
    }
}

int EffectImpl::LoadEffect(const char* path)
{
    IZuduvaHost* host = ZuduvaGetHost();
    pravik::io::IFileSystem* fs = host ? host->getFileSystem() : nullptr;
    pravik::io::IReadFile* file = fs && path ? fs->createAndOpenFile(path) : nullptr;
    if (!file)
        return 0;
    const std::int32_t size = file->getSize();
    std::vector<std::uint8_t> bytes(size_t(std::max<std::int32_t>(size, 0)));
    const std::int32_t got = bytes.empty() ? 0 : file->read(bytes.data(), std::uint32_t(bytes.size()));
    file->drop();
    if (got != size)
        return 0;
    beff::SFile description;
    std::string error;
    if (!beff::parse(bytes.data(), bytes.size(), description, error))
        return 0;
    Build(description);
    SetName(path);
    return 1;
}

void EffectImpl::Build(const beff::SFile& file)
{
    IZuduvaHost* host = ZuduvaGetHost();
    pravik::scene::CSceneManager* smgr = host ? host->getSceneManager() : nullptr;
    ISceneNode* root = smgr ? smgr->getRootSceneNode() : nullptr;
    ISceneNode* lastScene = nullptr;
    for (const beff::SEntry& entry : file.entries) {
        if (entry.kind != 0) {
            ISceneNode* scene = host ? host->constructScene(entry.scenePath.c_str()) : nullptr;
            if (scene) {
                if (root)
                    root->addChild(scene);
                m_nodes.push_back(scene);  // our reference
            }
            lastScene = scene;
            continue;
        }
        IEmitter* e = buildEmitter(entry.emitter, lastScene, true);
        if (e->getParent() == root)
            m_nodes.push_back(e);
    }
}

IEmitter* EffectImpl::buildEmitter(const beff::SEmitter& record, ISceneNode* scene, bool topLevel)
{
    IEmitter* e = new IEmitter(this);
    if (topLevel && scene && !record.nodeId.empty()) {
        ISceneNode* at = scene->getSceneNodeFromUID(record.nodeId.c_str());
        if (at)
            at->addChild(e);
    }
    applyEmitterRecord(*e, record);
    for (const beff::SEmitter& child : record.children)
        e->addChild(buildEmitter(child, nullptr, false));
    m_emitters.push_back(e);  // children before their parent; ours holds the reference
    return e;
}

void EffectImpl::SetName(const char* name)
{
    m_hasName = name != nullptr;
    m_name = name ? name : "";
}

void EffectImpl::SetPosition(const vector3d<float>& p)
{
    for (ISceneNode* n : m_nodes)
        n->setPosition(p);
}

void EffectImpl::SetRotate(const pravik::core::quaternion& q)
{
    for (ISceneNode* n : m_nodes)
        n->setRotation(q);
}

vector3d<float> EffectImpl::GetPosition() const { return m_nodes.empty() ? vector3d<float>() : m_nodes[0]->getPosition(); }
vector3d<float> EffectImpl::GetScale() const
{
    return m_nodes.empty() ? vector3d<float>(1.f, 1.f, 1.f) : m_nodes[0]->getScale();
}
pravik::core::quaternion EffectImpl::GetRotate() const
{
    return m_nodes.empty() ? pravik::core::quaternion(0.f, 0.f, 0.f, 1.f) : m_nodes[0]->getRotation();
}
pravik::core::aabbox3d<float> EffectImpl::GetBBox() const
{
    return m_nodes.empty() ? pravik::core::aabbox3d<float>(0, 0, 0, 0, 0, 0) : m_nodes[0]->getTransformedBoundingBox();
}
vector3d<float> EffectImpl::GetAbsolutePosition() const
{
    return m_nodes.empty() ? vector3d<float>() : m_nodes[0]->getAbsolutePosition();
}

void EffectImpl::SetVisible(bool v)
{
    m_visible = v;
    for (ISceneNode* n : m_nodes)
        n->setVisible(v);
}

void EffectImpl::SetScale(const vector3d<float>& v)
{
    for (ISceneNode* n : m_nodes)
        if (isSceneRoot(n))
            n->setScale(v);
    const float s = (v.X + v.Y + v.Z) * 0.3333333f;
    if (s == 0.f)
        return;
    if (s != m_scale) {
        ProcessScale(s / m_scale);
        m_scale = s;
    }
}

void EffectImpl::ProcessScale(float factor)
{
    for (IEmitter* e : m_emitters) {
        e->Scale(factor);
        e->setScale(vector3d<float>(1.f, 1.f, 1.f));
    }
}

void EffectImpl::ResetAll()
{
    for (IEmitter* e : m_emitters)
        e->reset();
    // Scene animations start again from time 0.
    for (ISceneNode* n : m_nodes) {
        if (!isSceneRoot(n))
            continue;
        for (pravik::scene::ISceneNodeAnimator* a : n->getAnimators())
            if (pravik::scene::ITimelineController* t = a ? a->getTimelineCtrl() : nullptr)
                t->setRange(0, t->getRangeEnd(), true);
    }
}

void EffectImpl::Pause()
{
    m_paused = true;
    for (ISceneNode* n : m_nodes)
        if (isEmitter(n))
            static_cast<IEmitter*>(n)->SetPaused(true);
}

void EffectImpl::Resume()
{
    m_paused = false;
    for (ISceneNode* n : m_nodes)
        if (isEmitter(n))
            static_cast<IEmitter*>(n)->SetPaused(false);
}

bool EffectImpl::IsFinished() const
{
    // Every emitter that is not a sub-emitter counts, those under scene nodes included.
    for (IEmitter* e : m_emitters) {
        const ISceneNode* parent = e->getParent();
        if (parent && isEmitter(parent))
            continue;
        if (!e->IsFinished())
            return false;
    }
    return true;
}

bool EffectImpl::IsLoop() const
{
    return std::any_of(m_emitters.begin(), m_emitters.end(), [](const IEmitter* e) { return e->m_lifetime < 0; });
}

void EffectImpl::AttachToNode(ISceneNode* node)
{
    if (!node)
        return;
    m_parent = node;
    for (ISceneNode* n : m_nodes)
        node->addChild(n);
}

void EffectImpl::AddNode(ISceneNode* node)
{
    if (node) {
        node->grab();
        m_nodes.push_back(node);
    }
}

void EffectImpl::AddEmitter(IEmitter* emitter)
{
    if (emitter) {
        emitter->grab();
        m_emitters.push_back(emitter);
    }
}

void EffectImpl::SetStripeColor(const pravik::video::SColor& c)
{
    for (ISceneNode* n : m_nodes)
        if (isEmitter(n)) {
            ParticleDesc& d = *static_cast<IEmitter*>(n)->GetParticleDesc();
            if (d.m_particleType != 6)
                continue;
            d.m_alpha.addKeyData({0, int(c.getAlpha())});
            d.m_red.addKeyData({0, int(c.getRed())});
            d.m_green.addKeyData({0, int(c.getGreen())});
            d.m_blue.addKeyData({0, int(c.getBlue())});
        }
}

bool EffectImpl::GetIntersectionWithLine(const vector3d<float>& start, const vector3d<float>& direction,
                                         vector3d<float>& out) const
{
    const vector3d<float> end = start + direction * 10000.f;
    for (ISceneNode* n : m_nodes) {
        const pravik::core::aabbox3d<float>& box = n->getTransformedBoundingBox();
        const float s[3] = {start.X, start.Y, start.Z}, t[3] = {end.X, end.Y, end.Z};
        const float lo[3] = {box.MinEdge.X, box.MinEdge.Y, box.MinEdge.Z};
        const float hi[3] = {box.MaxEdge.X, box.MaxEdge.Y, box.MaxEdge.Z};
        float enter = 0.f, exit = 1.f;
        bool hit = true;
        for (int i = 0; i < 3 && hit; ++i) {
            if ((s[i] < lo[i] && t[i] < lo[i]) || (s[i] > hi[i] && t[i] > hi[i])) {
                hit = false;
                break;
            }
            const float d = t[i] - s[i];
            if (d == 0.f)
                continue;
            float a = (lo[i] - s[i]) / d, b = (hi[i] - s[i]) / d;
            if (a > b)
                std::swap(a, b);
            enter = std::max(enter, std::clamp(a, 0.f, 1.f));
            exit = std::min(exit, std::clamp(b, 0.f, 1.f));
            if (enter > exit)
                hit = false;
        }
        if (hit) {
            out = n->getPosition();
            return true;
        }
    }
    return false;
}
