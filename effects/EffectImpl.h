// One playable instance of an effect file: the scene roots and emitters read from it, a uniform
// scale, visibility and pause. It does no work per frame: its nodes live in the scene graph.
// m_nodes holds the top-level nodes in file order (scene roots, emitters that stayed under the
// scene root); m_emitters every emitter, children before parents. The instance owns both.
// Without nodes the getters answer the origin, scale 1, identity and an empty box.
#pragma once

#include "effects/BeffFile.h"
#include "engine/core/aabbox3d.h"
#include "engine/core/quaternion.h"
#include "engine/core/vector3d.h"
#include "engine/video/SColor.h"

#include <string>
#include <vector>

class IAffector;
class IEmitter;
class ParticleDesc;

namespace pravik::scene {
class ISceneNode;
}

class EffectImpl {
public:
    EffectImpl() = default;
    ~EffectImpl();
    EffectImpl(const EffectImpl&) = delete;
    EffectImpl& operator=(const EffectImpl&) = delete;

    // 1 loaded; 0 for a missing file or one the reader refuses (nothing is built then).
    int LoadEffect(const char* path);
    // Builds a parsed description into this instance (scenes through the host).
    void Build(const beff::SFile& file);

    void SetName(const char* name);
    const char* GetName() const { return m_hasName ? m_name.c_str() : nullptr; }
    void SetPosition(const pravik::core::vector3d<float>& p);
    void SetRotate(const pravik::core::quaternion& q);
    pravik::core::vector3d<float> GetPosition() const;
    pravik::core::vector3d<float> GetScale() const;
    pravik::core::quaternion GetRotate() const;
    pravik::core::aabbox3d<float> GetBBox() const;
    pravik::core::vector3d<float> GetAbsolutePosition() const;
    void SetVisible(bool v);
    bool IsVisible() const { return m_visible; }
    void SetScale(float s) { m_scale = s; }
    void SetScale(const pravik::core::vector3d<float>& v);
    float GetUniformScale() const { return m_scale; }
    void ProcessScale(float factor);
    void ResetAll();
    void Pause();
    void Resume();
    bool IsPaused() const { return m_paused; }
    bool IsFinished() const;
    bool IsLoop() const;
    void AttachToNode(pravik::scene::ISceneNode* node);
    pravik::scene::ISceneNode* GetParent() const { return m_parent; }
    void AddNode(pravik::scene::ISceneNode* node);
    void AddEmitter(IEmitter* emitter);
    void SetStripeColor(const pravik::video::SColor& c);
    bool GetIntersectionWithLine(const pravik::core::vector3d<float>& start,
                                 const pravik::core::vector3d<float>& direction, pravik::core::vector3d<float>& out) const;

    const std::vector<pravik::scene::ISceneNode*>& GetNodes() const { return m_nodes; }
    const std::vector<IEmitter*>& GetEmitters() const { return m_emitters; }

private:
    IEmitter* buildEmitter(const beff::SEmitter& record, pravik::scene::ISceneNode* scene, bool topLevel);

    float m_scale = 1.f;
    std::vector<pravik::scene::ISceneNode*> m_nodes;
    std::vector<IEmitter*> m_emitters;
    std::string m_name;
    bool m_hasName = false;
    pravik::scene::ISceneNode* m_parent = nullptr;
    bool m_paused = false;
    bool m_visible = true;
};

// Fills a definition and its emitter from their records (the reader's own steps, shared by
// tests that build emitters in code).
void applyEmitterRecord(IEmitter& emitter, const beff::SEmitter& record);
IAffector* makeAffector(const beff::SAffector& record);  // null for an unknown type
