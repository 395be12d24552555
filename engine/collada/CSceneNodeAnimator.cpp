#include "engine/collada/CSceneNodeAnimator.h"
#include "engine/collada/CRootSceneNode.h"
#include "engine/collada/SAnimationAccessor.h"
#include "engine/collada/CTimelineController.h"
#include "engine/io/IAttributes.h"
#include "engine/scene/CLightSceneNode.h"
#include "engine/video/material/CMaterial.h"
#include "engine/video/material/CMaterialRenderer.h"

#include <algorithm>
#include <cstring>

namespace pravik::collada {

namespace detail {

const std::bitset<110>* compatibilityTable()
{
    static const std::vector<std::bitset<110>> table = [] {
        std::vector<std::bitset<110>> t(110);
        for (std::size_t i = 0; i < 110; ++i)
            t[i].set(i);
        const std::vector<std::vector<int>> groups = {{1, 2, 3, 4},         {5, 6, 7, 8, 9},         {10, 11, 12, 13},
                                                      {21, 22, 23, 24, 25}, {89, 90, 91, 92, 93},    {94, 95, 96, 97, 98},
                                                      {99, 100, 101, 102, 103}, {105, 106, 107, 108, 109}};
        for (const auto& g : groups)
            for (int a : g)
                for (int b : g)
                    t[std::size_t(a)].set(std::size_t(b));
        return t;
    }();
    return table.data();
}

const char* emitterParameterName(std::uint32_t type)
{
    switch (type) {
    case 28: case 47: return "BirthRate";
    case 29: case 51: case 52: case 53: case 54: return "TargetSize";
    case 30: case 55: case 56: case 57: case 58: return "SizeVariation";
    case 31: case 63: return "Speed";
    case 32: case 64: return "SpeedVariation";
    case 33: case 66: case 67: case 68: case 69: return "Direction";
    case 34: case 70: case 71: case 72: case 73: return "DirectionVariation";
    case 35: case 79: return "SpinTime";
    case 36: case 80: return "SpinVariation";
    case 37: case 77: return "SpinPhase";
    case 38: case 78: return "SpinPhaseVariation";
    case 39: return "SpinAxis";
    case 40: return "SpinAxisVariation";
    case 41: return "AnimOffset";
    case 42: return "AnimOffsetVariation";
    case 43: return "AnimLength";
    case 44: return "AnimLengthVariation";
    case 45: return "AnimScaleMultiplier";
    case 46: return "AnimScaleMultiplierVariation";
    case 48: return "BirthRateVariation";
    case 49: return "Life";
    case 50: return "LifeVariation";
    case 59: case 60: case 61: case 62: return "SizeScale";
    case 65: return "SpeedScale";
    case 74: return "RadiusLength";
    case 75: return "Width";
    case 76: return "Height";
    case 81: return "SpinScale";
    case 82: case 83: case 84: case 85: return "SpinPivotPoint";
    case 86: return "MotionRandom";
    case 87: return "MotionRandomVariation";
    case 88: return "MotionRandomScale";
    default: return nullptr;
    }
}

int particleScaleOf(std::uint32_t type)
{
    switch (type) {
    case 59: case 60: case 61: case 62: return IParticleSystemParameters::ES_SIZE;
    case 65: return IParticleSystemParameters::ES_SPEED;
    case 81: return IParticleSystemParameters::ES_SPIN;
    case 88: return IParticleSystemParameters::ES_MOTION_RANDOM;
    default: return -1;
    }
}

} // namespace detail

const char* const CSceneNodeAnimator::InterpolationModeNames[4] = {"Default", "Step", "Linear", nullptr};

CSceneNodeAnimator::CSceneNodeAnimator(const boost::intrusive_ptr<CAnimationFileData>& file) : m_file(file)
{
    m_sharedKeyTimes = file && file->sharesKeyTimes();
    m_start = file ? file->getStart() : 0;
    m_end = file ? file->getEnd() : 0;
    CTimelineController* timeline = new CTimelineController(file && !file->getClips().empty() ? &file->getClips() : nullptr);
    if (timeline->getClipCount() > 0)
        timeline->setClip(0);
    else
        timeline->setRange(m_start, m_end, true);
    m_length = unsigned(m_end) - unsigned(m_start);  // a file's times may lie a full int apart
    setTimelineCtrl(timeline);
    timeline->drop();
}

CSceneNodeAnimator::~CSceneNodeAnimator()
{
    for (SBinding& b : m_bindings)
        delete b.info;
    m_block.reset();
    if (m_events)
        m_events->drop();
}

void CSceneNodeAnimator::serializeAttributes(io::IAttributes* out, io::SAttributeReadWriteOptions*) const
{
    out->addFloat("BlendOutWeight", m_blendOutWeight, false);
    out->addFloat("Start", float(m_start) / 1000.f, true);
    out->addFloat("End", float(m_end) / 1000.f, true);
    out->addFloat("Length", float(m_length) / 1000.f, true);
    out->addEnum("Interpolation Type", int(m_mode), InterpolationModeNames, false);
    out->addString("Binded to", m_bound ? m_bound->getUID() : "", true);
    out->addString("Source", m_file ? m_file->getName() : "", true);
}

void CSceneNodeAnimator::setEventsManager(IEventsManager* events)
{
    if (events)
        events->grab();
    if (m_events)
        m_events->drop();
    m_events = events;
}

void CSceneNodeAnimator::setEventsCallback(EventsCallback callback, void* userData)
{
    m_callback = callback;
    m_userData = userData;
    if (auto* e = dynamic_cast<CEventsManager*>(m_events))
        e->setCallback(callback, userData);
}

void CSceneNodeAnimator::updateTime(unsigned timeMs)
{
    if (m_bindings.empty())
        return;
    scene::ITimelineController* t = getTimelineCtrl();
    if (!t)
        return;
    const int previous = t->getCurrentTime();
    t->update(int(timeMs));
    if (m_events)
        m_events->onUpdate(previous, t->getCurrentTime(), t->getRangeStart(), t->getRangeEnd());
}

const char* CSceneNodeAnimator::getBindURI(int i) const
{
    const char* uri = m_bindings[std::size_t(i)].animation->channel(0).target;
    return uri ? uri : "";
}

void CSceneNodeAnimator::onBind(scene::ISceneNode* node)
{
    if (node == m_bound)
        return;
    m_bound = node;
    if (!m_bindings.empty())
        forceBind();
}

void CSceneNodeAnimator::onUnbind(scene::ISceneNode* node)
{
    if (node)
        forceUnbind(node->getUID());
}

void CSceneNodeAnimator::forceBind()
{
    if (!m_bound)
        return;
    auto* root = dynamic_cast<CRootSceneNode*>(m_bound);
    for (int i = 0; i < int(m_bindings.size()); ++i) {
        const char* id = getBindURI(i);
        const SChannelView channel = m_bindings[std::size_t(i)].animation->channel(0);
        const std::uint32_t type = channel.type;
        if (std::strstr(id, "Dummy")) {
            setTarget(i, nullptr, nullptr);
            continue;
        }
        if ((type >= 1 && type <= 5) || (type >= 9 && type <= 13) || type == 20) {
            scene::ISceneNode* node = m_bound->getSceneNodeFromUID(id);
            setTarget(i, node, nullptr);
            if (node)
                node->addBindedAnimator(this);
        } else if (type == 15) {
            setTarget(i, m_bound, nullptr);
        } else if (type == 16) {
            scene::CLightSceneNode* light = root ? root->getLight(id) : nullptr;
            setTarget(i, light && light->getLight() ? light->getLight().get() : nullptr, nullptr);
        } else if (type == 26 || (type >= 104 && type <= 109)) {
            // The binding keeps a plain pointer: the scene keeps the material alive.
            boost::intrusive_ptr<video::CMaterial> material = root ? root->getMaterial(id, nullptr) : nullptr;
            if (!material) {
                setTarget(i, nullptr, nullptr);
            } else if (type == 26) {
                setTarget(i, material.get(), nullptr);
            } else {
                const char* name = m_bindings[std::size_t(i)].animation->channelText(0);
                const auto& renderer = material->getMaterialRenderer();
                const int parameter = renderer && name ? renderer->getParameterID(name, 0) : 0xFFFF;
                const animation_track::CMaterialApplicatorInfo info(name, parameter);
                setTarget(i, material.get(), &info);
            }
        } else if (type == 14) {
            IMorphTargetWeights* mesh = root ? root->getMorphingMesh(id) : nullptr;
            setTarget(i, mesh ? mesh->getTargetWeight(int(channel.extra & 0xFF) + 1) : nullptr, nullptr);
        } else if (const char* parameter = detail::emitterParameterName(type)) {
            IParticleSystemParameters* system = root ? root->getParticleSystem(id) : nullptr;
            const int scale = detail::particleScaleOf(type);
            // A scale an over-life curve drives keeps whatever binding it has.
            if (system && scale >= 0 && system->hasOverLifeCurve(IParticleSystemParameters::E_SCALE(scale)))
                continue;
            setTarget(i, system ? system->getParticleSystemParameter(parameter) : nullptr, nullptr);
        } else {
            setTarget(i, nullptr, nullptr);
        }
    }
}

void CSceneNodeAnimator::forceUnbind(const char* id)
{
    for (int i = 0; i < int(m_bindings.size()); ++i)
        if (id && std::strcmp(getBindURI(i), id) == 0)
            setTarget(i, nullptr, nullptr);
}

void CSceneNodeAnimator::forceUnbindAll()
{
    for (int i = 0; i < int(m_bindings.size()); ++i) {
        if (scene::ISceneNode* node = m_bound ? m_bound->getSceneNodeFromUID(getBindURI(i)) : nullptr)
            node->removeBindedAnimator(this, false);
        setTarget(i, nullptr, nullptr);
    }
    m_bound = nullptr;
}

int CSceneNodeAnimator::hasCompatibleTarget(const SChannelView& channel) const
{
    if (channel.type > 109)
        return -1;
    const char* target = channel.target ? channel.target : "";
    for (int i = 0; i < int(m_bindings.size()); ++i) {
        const SChannelView mine = m_bindings[std::size_t(i)].animation->channel(0);
        if (std::strcmp(getBindURI(i), target) != 0)
            continue;
        if (channel.type == 14) {
            if ((mine.extra & 0xFF) == (channel.extra & 0xFF))
                return i;
        } else if (mine.type < 110 && detail::compatibilityTable()[mine.type].test(channel.type)) {
            return i;
        }
    }
    return -1;
}

bool CSceneNodeAnimator::setCompatibleTarget(const SChannelView& channel, void* target)
{
    const int i = hasCompatibleTarget(channel);
    if (i < 0)
        return false;
    setTarget(i, target, nullptr);
    return true;
}

void CSceneNodeAnimator::setTarget(const char* id, void* target)
{
    for (int i = 0; i < int(m_bindings.size()); ++i)
        if (id && std::strcmp(getBindURI(i), id) == 0) {
            setTarget(i, target, nullptr);
            return;
        }
}

void CSceneNodeAnimator::setTarget(int i, void* target, const CApplicatorInfo* info)
{
    SBinding& b = m_bindings[std::size_t(i)];
    b.target = target;
    delete b.info;
    b.info = info ? info->clone() : nullptr;
}

int CSceneNodeAnimator::getTargetSize(int i) const
{
    const IAnimationTrackEx* t = getAnimationTrackEx(i);
    return t ? t->getValueSize() : 0;
}

int CSceneNodeAnimator::getTargetsSize() const
{
    int sum = 0;
    for (int i = 0; i < int(m_bindings.size()); ++i)
        sum += getTargetSize(i);
    return sum;
}

void CSceneNodeAnimator::addAnimationTrack(const SAnimationView* animation) { m_bindings.push_back({animation, nullptr, nullptr, 0}); }

void CSceneNodeAnimator::addAnimationTrackVector(const std::vector<SAnimationView>& animations)
{
    m_bindings.reserve(m_bindings.size() + animations.size());
    for (const SAnimationView& a : animations)
        if (a.track)
            addAnimationTrack(&a);
}

void CSceneNodeAnimator::removeAnimationTrack(const SAnimationView* animation)
{
    const auto it = std::find_if(m_bindings.begin(), m_bindings.end(),
                                 [&](const SBinding& b) { return b.animation == animation; });
    if (it == m_bindings.end())
        return;
    delete it->info;
    m_bindings.erase(it);
}

void CSceneNodeAnimator::removeAnimationTracks()
{
    for (SBinding& b : m_bindings) {
        delete b.info;
        b.info = nullptr;
    }
}

int CSceneNodeAnimator::animationTime(unsigned ms) const
{
    if (const scene::ITimelineController* t = getTimelineCtrl())
        return t->getCurrentTime();
    return m_length ? int(ms % m_length) + m_start : m_start;
}

const SAnimationData* CSceneNodeAnimator::getAnimationData(int t)
{
    if (!m_file)
        return nullptr;
    const scene::ITimelineController* timeline = getTimelineCtrl();
    const int clip = m_file->getClips().empty() ? -1 : (timeline ? timeline->getCurrentClipIndex() : 0);
    const SAnimationClipView view = m_file->getClip(clip);
    const int frame = std::clamp(t, view.start, std::max(view.start, view.end));
    // The device owns the manager; without one there is no key data.
    CAnimationStreamingManager* streaming = CAnimationStreamingManager::Instance;
    if (!streaming)
        return nullptr;
    streaming->getAnimationBlock({m_file, clip, frame}, m_block);
    // A block of another clip or time is no answer.
    return m_block && m_block->getClip() == clip && m_block->covers(frame) ? m_block->getData() : nullptr;
}

void CSceneNodeAnimator::applyAnimationValues(unsigned timeMs)
{
    if (m_bindings.empty())
        return;
    updateTime(timeMs);
    const int t = animationTime(timeMs);
    const bool interpolate = m_mode != EIM_STEP;
    const SAnimationData* data = getAnimationData(t);
    SKeySearchCache cache;
    cache.enabled = m_sharedKeyTimes;
    for (SBinding& b : m_bindings) {
        if (!b.target)
            continue;
        const SAnimationAccessor a(b.animation, data, &cache);
        int& hint = m_sharedKeyTimes ? m_bindings[0].hint : b.hint;
        a.applyValue(t, b.target, b.info, hint, interpolate);
    }
}

void CSceneNodeAnimator::computeAnimationValues(unsigned timeMs, void* buffer)
{
    if (m_bindings.empty() || !buffer)
        return;
    updateTime(timeMs);
    const int t = animationTime(timeMs);
    const bool interpolate = m_mode != EIM_STEP;
    const SAnimationData* data = getAnimationData(t);
    SKeySearchCache cache;
    cache.enabled = m_sharedKeyTimes;
    unsigned char* out = static_cast<unsigned char*>(buffer);
    for (int i = 0; i < int(m_bindings.size()); ++i) {
        SBinding& b = m_bindings[std::size_t(i)];
        if (b.target) {
            const SAnimationAccessor a(b.animation, data, &cache);
            int& hint = m_sharedKeyTimes ? m_bindings[0].hint : b.hint;
            a.getValue(t, out, hint, interpolate);
        }
        out += getTargetSize(i);
    }
}

void CSceneNodeAnimator::getAnimationValue(int i, int ms, void* out)
{
    SBinding& b = m_bindings[std::size_t(i)];
    SKeySearchCache cache;
    const SAnimationData* data = getAnimationData(ms);
    const SAnimationAccessor a(b.animation, data, &cache);
    a.getValue(ms, out, b.hint, m_mode != EIM_STEP);
}

} // namespace pravik::collada
