#pragma once
// The animator of one scene built from a scene file: one binding per animation record with a
// track, each resolved to its target in the scene (a node, a light's parameters, a material
// with the parameter named by the channel; "Dummy" targets and rotation-angle types 6 to 8 stay
// unbound; morph weights and particle-system parameters bind through the root's registries).
// Every frame it advances its timeline, fires the file's events, fetches the key
// data of the current time and applies every bound channel. Channel types of one group
// (position 1-4, rotation 5-9, scale 10-13, 21-25, 89-93, 94-98, 99-103, texture 105-109)
// may share a target.

#include "engine/collada/CAnimationFileData.h"
#include "engine/collada/CEventsManager.h"
#include "engine/collada/IAnimationTrackEx.h"
#include "engine/scene/ISceneNodeAnimator.h"

#include <bitset>
#include <boost/intrusive_ptr.hpp>
#include <vector>

namespace pravik::collada {

class CColladaDatabase;

namespace detail {
// Row: channel type of a binding; bit: channel type asked about (0 to 109).
const std::bitset<110>* compatibilityTable();
// The particle-system parameter a channel type binds, or null.
const char* emitterParameterName(std::uint32_t type);
// The over-life scale (IParticleSystemParameters::E_SCALE) a particle-scale type animates, or -1.
int particleScaleOf(std::uint32_t type);
} // namespace detail

class CSceneNodeAnimator : public scene::ISceneNodeAnimator {
public:
    enum E_INTERPOLATION_MODE { EIM_DEFAULT = 0, EIM_STEP = 1, EIM_LINEAR = 2 };
    static const char* const InterpolationModeNames[4];

    struct SBinding {
        const SAnimationView* animation = nullptr;
        void* target = nullptr;
        CApplicatorInfo* info = nullptr;  // owned clone
        int hint = 0;
    };

    explicit CSceneNodeAnimator(const boost::intrusive_ptr<CAnimationFileData>& file);
    ~CSceneNodeAnimator() override;

    void serializeAttributes(io::IAttributes* out, io::SAttributeReadWriteOptions* options = nullptr) const override;
    void animateNode(scene::ISceneNode*, unsigned timeMs) override { applyAnimationValues(timeMs); }
    void updateTime(unsigned timeMs) override;
    ISceneNodeAnimator* createClone() const override { return nullptr; }
    void onBind(scene::ISceneNode* node) override;
    void onUnbind(scene::ISceneNode* node) override;
    unsigned getLength() const override { return m_length; }
    void applyAnimationValues(unsigned timeMs) override;
    // Writes every bound value into buffer, laid out binding after binding by getTargetSize.
    void computeAnimationValues(unsigned timeMs, void* buffer);

    void onUnbindAll() { forceUnbindAll(); }
    void forceBind();
    void forceUnbind(const char* id);
    void forceUnbindAll();
    int hasCompatibleTarget(const SChannelView& channel) const;  // binding index, or -1
    bool setCompatibleTarget(const SChannelView& channel, void* target);
    void setTarget(const char* id, void* target);
    void setTarget(int i, void* target, const CApplicatorInfo* info);

    SChannelView getAnimationTrack(int i) const { return m_bindings[std::size_t(i)].animation->channel(0); }
    const IAnimationTrackEx* getAnimationTrackEx(int i) const { return m_bindings[std::size_t(i)].animation->track; }
    const char* getBindURI(int i) const;
    int getTargetCount() const { return int(m_bindings.size()); }
    int getTargetSize(int i) const;
    int getTargetsSize() const;
    void getAnimationValue(int i, int ms, void* out);
    const SBinding& getBinding(int i) const { return m_bindings[std::size_t(i)]; }

    void addAnimationTrack(const SAnimationView* animation);
    void addAnimationTrackVector(const std::vector<SAnimationView>& animations);  // those with a track
    void removeAnimationTrack(const SAnimationView* animation);
    void removeAnimationTracks();

    void setEventsManager(IEventsManager* events);  // takes a reference
    IEventsManager* getEventsManager() const { return m_events; }
    void setEventsCallback(EventsCallback callback, void* userData);
    void setInterpolationMode(E_INTERPOLATION_MODE mode) { m_mode = mode; }
    scene::ISceneNode* getBoundNode() const { return m_bound; }
    const SAnimationData* getAnimationData(int t);
    CAnimationBlock* getCurrentBlock() const { return m_block.get(); }

private:
    int animationTime(unsigned ms) const;

    boost::intrusive_ptr<CAnimationFileData> m_file;
    E_INTERPOLATION_MODE m_mode = EIM_DEFAULT;
    scene::ISceneNode* m_bound = nullptr;
    unsigned m_length = 0;
    IEventsManager* m_events = nullptr;
    EventsCallback m_callback = FxEchoNotHandledEvents;
    void* m_userData = nullptr;
    float m_blendOutWeight = 1.f;
    bool m_sharedKeyTimes = false;
    int m_start = 0, m_end = 0;
    std::vector<SBinding> m_bindings;
    boost::intrusive_ptr<CAnimationBlock> m_block;
};

} // namespace pravik::collada
