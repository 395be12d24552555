#include "effects/IEmitter.h"

#include "effects/IAffector.h"
#include "effects/IParticle.h"
#include "effects/ParticleDesc.h"
#include "effects/ParticleStripes.h"
#include "effects/ZuduvaHost.h"
#include "engine/scene/CSceneManager.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <new>

using pravik::core::vector3d;
using pravik::scene::ISceneNode;

namespace {
constexpr unsigned kEmitTypeCode = pravik::scene::makeNodeTypeCode('e', 'm', 'i', 't');

// Burst sizes from files may be anything: saturate, NaN gives none.
int burstSize(float value)
{
    if (!(value == value))
        return 0;
    if (value >= float(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    if (value <= float(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    return int(value);
}
}  // namespace

IEmitter::IEmitter(EffectImpl* effect)
    : ISceneNode(-1, vector3d<float>(0.f, 0.f, 0.f), pravik::core::quaternion(0.f, 0.f, 0.f, 1.f),
                 vector3d<float>(1.f, 1.f, 1.f)),
      m_effect(effect)
{
    IZuduvaHost* host = ZuduvaGetHost();
    if (pravik::scene::CSceneManager* smgr = host ? host->getSceneManager() : nullptr) {
        setSceneManager(smgr);
        if (ISceneNode* root = smgr->getRootSceneNode())
            root->addChild(this);
    }
    m_particleDesc = new ParticleDesc(this);
    setAutomaticCulling(pravik::scene::EAC_FRUSTUM_BOX);
}

IEmitter::~IEmitter()
{
    releaseAllParticles();
    for (IAffector* a : m_affectors)
        delete a;
    m_affectors.clear();
    delete m_particleDesc;
    m_particleDesc = nullptr;
}

pravik::scene::E_SCENE_NODE_TYPE IEmitter::getType() const
{
    return pravik::scene::E_SCENE_NODE_TYPE(kEmitTypeCode);
}

void IEmitter::setPosition(const vector3d<float>& position)
{
    ISceneNode::setPosition(position);
    if (!m_localSpace)
        Flags |= pravik::scene::ESNF_BOUNDING_BOX_DIRTY;
}

bool IEmitter::onRegisterSceneNode()
{
    if (!isVisible())
        return false;
    if (pravik::scene::CSceneManager* smgr = getSceneManager())
        smgr->registerNodeForRendering(this, nullptr, nullptr, pravik::scene::ESNRP_TRANSPARENT, nullptr, 0x7FFFFFFF);
    return true;
}

void IEmitter::onAnimate(unsigned timeMs)
{
    if (!isVisible() || !m_active)
        return;
    if (!m_paused) {
        const float angles[3] = {m_rotationX.getDataAtTime(m_elapsed), m_rotationY.getDataAtTime(m_elapsed),
                                 m_rotationZ.getDataAtTime(m_elapsed)};
        if (!std::equal(angles, angles + 3, m_rotationAngles)) {
            m_rotationFromTracks.set(angles[0], angles[1], angles[2]);
            std::copy(angles, angles + 3, m_rotationAngles);
        }
        // The same rotation again leaves the transformation as it is.
        if (!(getRotation() == m_rotationFromTracks))
            setRotation(m_rotationFromTracks);
    }
    ISceneNode::onAnimate(timeMs);
    unsigned dt = timeMs - m_lastAnimateTime;
    if (dt > 2000)
        dt = 33;
    if (!m_paused)
        update(dt);
    m_lastAnimateTime = timeMs;
}

bool IEmitter::emitting() const
{
    if (m_lifetime == -1)
        return true;
    const float L = float(m_lifetime) * zuduva::kFrameMs;
    const float D = float(m_startDelay) * zuduva::kFrameMs;
    const float t = float(m_elapsed);
    return t < L || (t > L && float(m_lastEmitTime) <= D);
}

vector3d<float> IEmitter::boxOrigin() const
{
    return m_localSpace ? vector3d<float>() : getAbsolutePosition();
}

void IEmitter::update(unsigned dt)
{
    if (!isVisible() || !m_active)
        return;
    if (IsFinished())
        setVisible(false);

    const int delayMs = framesToMs(m_startDelay);
    if (m_delayElapsed < delayMs) {
        m_delayElapsed += int(dt);
        if (m_delayElapsed > delayMs)
            m_elapsed += m_delayElapsed - delayMs;
        return;
    }
    m_elapsed += int(dt);

    const bool isEmitting = emitting();
    if (isEmitting && m_elapsed - m_lastEmitTime > framesToMs(m_emitInterval)) {
        const int n = burstSize(m_burstCount.getDataAtTime(m_elapsed));
        for (int i = 0; i < n; ++i) {
            emitByType();
            if (!m_lastParticle && int(m_particles.size()) >= kMaxParticles)
                break;  // pool full: the rest of this burst has no room
        }
        m_lastEmitTime = m_elapsed;
    }

    if (m_endWithEmitter && !isEmitting) {
        endAllParticles();
        return;
    }

    m_box = pravik::core::aabbox3d<float>(-0.4f, -0.4f, -0.4f, 0.4f, 0.4f, 0.4f);
    prepareAffectors();

    const int kind = m_particleDesc->m_particleType;
    if (kind == 4 || kind == 5) {
        m_blockFresh = false;
        m_idleSlotsKnown = false;
        if (kind == 4)
            OrderedUpdateParticles<ParticleLineStripe>(dt);
        else
            OrderedUpdateParticles<ParticleLineStripeBillboard>(dt);
    } else {
        const bool processed = updateQuadPool(dt, boxOrigin());
        if (!processed && !isEmitting)
            m_active = false;
    }
    m_cameraStale = true;
}

template <typename T>
void IEmitter::OrderedUpdateParticles(unsigned ms)
{
    std::vector<T*> live;
    live.reserve(m_particles.size());
    for (IParticle* p : m_particles)
        if (!p->m_idle)
            if (T* t = dynamic_cast<T*>(p))
                live.push_back(t);
    if (live.empty())
        return;
    std::stable_sort(live.begin(), live.end(), [](const T* a, const T* b) { return *a < *b; });
    m_stripeOldestAge = live.front()->m_age;
    m_stripeNewestAge = live.back()->m_age;
    const vector3d<float> origin = boxOrigin();
    for (T* p : live) {
        p->update(ms);
        affectAndGrowBox(p, origin, m_box);
    }
}

template void IEmitter::OrderedUpdateParticles<ParticleLineStripe>(unsigned);
template void IEmitter::OrderedUpdateParticles<ParticleLineStripeBillboard>(unsigned);

void IEmitter::reset()
{
    m_delayElapsed = 0;
    m_elapsed = 0;
    m_lastEmitTime = kNoEmission;
    m_active = true;
    endAllParticles();
}

void IEmitter::endAllParticles()
{
    m_blockFresh = false;
    m_idleSlotsKnown = false;
    for (IParticle* p : m_particles)
        p->m_idle = true;
}

void IEmitter::releaseAllParticles()
{
    for (IParticle* p : m_particles)
        p->~IParticle();
    m_particles.clear();
    m_slabs.clear();
    m_idleCursor = 0;
    m_poolKind = kNoKind;
    m_blockFresh = false;
    m_idleSlotsKnown = false;
    m_lastParticle = nullptr;
}

bool IEmitter::IsFinished() const
{
    if (m_lifetime == -1)
        return false;
    // The start delay is counted twice: m_elapsed already excludes it.
    const int frames = m_endWithEmitter ? m_lifetime + m_startDelay
                                        : m_lifetime + m_startDelay + m_particleDesc->m_life;
    return float(m_elapsed) >= float(frames) * zuduva::kFrameMs;
}

void IEmitter::SetPaused(bool paused)
{
    m_paused = paused;
    for (ISceneNode* child : getChildren())
        if (IEmitter* e = dynamic_cast<IEmitter*>(child))
            e->SetPaused(paused);
}

int IEmitter::GetAliveParticles() const
{
    int n = 0;
    for (const IParticle* p : m_particles) {
        if (!p->m_idle)
            ++n;
        n += p->GetChildrenParticleCnt();
    }
    return n;
}

void IEmitter::Scale(float factor)
{
    m_radiusX.scaleValues(factor);
    // For discs the first key of the Y radius is the number of fixed directions.
    if (m_shape != 2 && m_shape != 3)
        m_radiusY.scaleValues(factor);
    m_radiusZ.scaleValues(factor);
    m_offsetX.scaleValues(factor);
    m_offsetY.scaleValues(factor);
    m_offsetZ.scaleValues(factor);
    m_radialSpeed.scaleValues(factor);
    m_directedSpeed.scaleValues(factor);
    m_particleDesc->m_width.scaleValues(factor);
    m_particleDesc->m_height.scaleValues(factor);
    for (IAffector* a : m_affectors)
        a->scale(factor);
}

IEmitter* IEmitter::Clone()
{
    IEmitter* e = new IEmitter(m_effect);
    char name[256];
    std::snprintf(name, sizeof name, "%s_clone", getName());
    e->setName(name);
    e->m_box = m_box;
    for (const IAffector* a : m_affectors)
        e->m_affectors.push_back(a->clone());
    *e->m_particleDesc = *m_particleDesc;
    e->m_shape = m_shape;
    e->m_startDelay = m_startDelay;
    e->m_radiusX.addAll(m_radiusX);
    e->m_radiusY.addAll(m_radiusY);
    e->m_radiusZ.addAll(m_radiusZ);
    e->m_shellThickness.addAll(m_shellThickness);
    e->m_rotationX.addAll(m_rotationX);
    e->m_rotationY.addAll(m_rotationY);
    e->m_rotationZ.addAll(m_rotationZ);
    e->m_offsetX.addAll(m_offsetX);
    e->m_offsetY.addAll(m_offsetY);
    e->m_offsetZ.addAll(m_offsetZ);
    e->m_burstCount.addAll(m_burstCount);
    e->m_radialSpeed.addAll(m_radialSpeed);
    e->m_directedSpeed.addAll(m_directedSpeed);
    e->m_spreadAngle.addAll(m_spreadAngle);
    e->m_direction.addAll(m_direction);
    e->m_faceCamera = m_faceCamera;
    e->m_localSpace = m_localSpace;
    e->m_lifetime = m_lifetime;
    e->m_emitInterval = m_emitInterval;
    e->m_endWithEmitter = m_endWithEmitter;
    e->m_radialSpeedVariation = m_radialSpeedVariation;
    e->m_directedSpeedVariation = m_directedSpeedVariation;
    return e;
}

IParticle* IEmitter::GetIdleParticle()
{
    m_blockFresh = false;  // a new life changes the pool before the next pass
    const int size = int(m_particles.size());
    bool known = false;
    if (IParticle* p = takeKnownIdle(known))
        return p;
    for (int attempt = 0; attempt < size && !known; ++attempt) {
        if (m_idleCursor >= size)
            m_idleCursor = 0;
        if (m_particles[size_t(m_idleCursor)]->m_idle)
            return m_particles[size_t(m_idleCursor)];
        ++m_idleCursor;
    }
    if (size >= kMaxParticles)
        return nullptr;
    const std::size_t bytes = m_particleDesc->GetParticleSize();
    if (bytes == 0)
        return nullptr;
    IParticle* p = m_particleDesc->GetParticle(takeSlot(bytes));
    const int kind = m_particleDesc->m_particleType;
    m_poolKind = m_particles.empty() || m_poolKind == kind ? kind : kMixedKinds;
    m_particles.push_back(p);
    return p;
}

IParticle* IEmitter::takeKnownIdle(bool& known)
{
    known = false;
    if (!m_idleSlotsKnown)
        return nullptr;
    const int size = int(m_particles.size());
    const int n = int(m_idleSlots.size());
    if (m_idleSlotsTaken == n) {
        // None idle: the search would have come round to where it started.
        m_idleCursor = std::min(m_idleCursor, size);
        known = true;
        return nullptr;
    }
    if (m_idleSlotFirst < 0) {
        const int from = m_idleCursor >= size ? 0 : m_idleCursor;
        m_idleSlotFirst = int(std::lower_bound(m_idleSlots.begin(), m_idleSlots.end(), from) - m_idleSlots.begin());
    }
    const int slot = m_idleSlots[size_t((m_idleSlotFirst + m_idleSlotsTaken) % n)];
    IParticle* p = m_particles[size_t(slot)];
    if (!p->m_idle) {  // changed behind the pass's back: search the pool
        m_idleSlotsKnown = false;
        return nullptr;
    }
    ++m_idleSlotsTaken;
    m_idleCursor = slot;
    known = true;
    return p;
}

namespace {
constexpr std::align_val_t kSlabAlignment{64};  // a cache line
}  // namespace

void IEmitter::SlabFree::operator()(std::byte* p) const { ::operator delete[](p, kSlabAlignment); }

void* IEmitter::takeSlot(std::size_t bytes)
{
    // Slots start on cache lines, so a particle's hot fields span as few of them as they can.
    bytes = (bytes + 63) & ~std::size_t(63);
    if (m_slabs.empty() || m_slabs.back().size - m_slabs.back().used < bytes) {
        // Blocks double from 8 particles to 64, so a small emitter keeps a small footprint.
        const std::size_t size =
            m_slabs.empty() ? bytes * 8 : std::max(bytes * 8, std::min(m_slabs.back().size * 2, bytes * 64));
        auto* block = static_cast<std::byte*>(::operator new[](size, kSlabAlignment));
        m_slabs.push_back({std::unique_ptr<std::byte[], SlabFree>(block), size, 0});
    }
    Slab& slab = m_slabs.back();
    void* at = slab.bytes.get() + slab.used;
    slab.used += bytes;
    return at;
}

IParticle* IEmitter::emit()
{
    IParticle* p = GetIdleParticle();
    if (p)
        p->init(*m_particleDesc);
    return p;
}

void IEmitter::emitByType()
{
    IParticle* p = nullptr;
    switch (m_shape) {
    case 0: p = emit_point(); break;
    case 1: p = emit_sphere(); break;
    case 2:
    case 3: p = emit_disc(); break;
    default: break;
    }
    m_lastParticle = p;
}

void IEmitter::AddAffector(IAffector* affector)
{
    if (affector)
        m_affectors.push_back(affector);
}

IAffector* IEmitter::AddAffector(int kind)
{
    IAffector* a = nullptr;
    const int id = GetAvailbleId();
    switch (kind) {
    case 0: a = new AffectorGravity(id); break;
    case 1: a = new AffectorAcc(id); break;
    case 2: a = new AffectorRandom(id); break;
    case 3: a = new AffectorVortex(id); break;
    default: return nullptr;
    }
    m_affectors.push_back(a);
    return a;
}

int IEmitter::GetAvailbleId() const { return m_affectors.empty() ? 1 : m_affectors.back()->m_id + 1; }

IAffector* IEmitter::GetAffector(int id) const
{
    for (IAffector* a : m_affectors)
        if (a->m_id == id)
            return a;
    return nullptr;
}

void IEmitter::RemoveAffector(int id) { RemoveAffector(GetAffector(id)); }

void IEmitter::RemoveAffector(IAffector* affector)
{
    auto it = std::find(m_affectors.begin(), m_affectors.end(), affector);
    if (!affector || it == m_affectors.end())
        return;
    m_affectors.erase(it);
    delete affector;
}

void IEmitter::InitForStripeEffect(ISceneNode* parent)
{
    m_radialSpeed.addKeyData({0, 0.f});
    m_particleDesc->m_particleType = 6;  // directly: the pool is kept
    m_particleDesc->m_life = 8;
    m_particleDesc->m_red.addKeyData({0, 255});
    m_particleDesc->m_green.addKeyData({0, 255});
    m_particleDesc->m_blue.addKeyData({0, 255});
    m_particleDesc->m_alpha.addKeyData({0, 200});
    m_particleDesc->SetBlendType(1, false);
    m_particleDesc->SetTextureName("blade/trail_golden.tga", true);
    if (parent)
        parent->addChild(this);
}
