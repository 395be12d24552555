// The particle definition of one emitter and its particle factory: the kind, how particles are
// drawn (texture, blend type, anchors, texture rotation and mirroring), how long they live and
// the key tracks of their colour, size and spin. Colour, spin and size-scale tracks are read at
// the particle's age; width and height at the emitter's time of birth.
// Kinds: 0 billboard, 1 free, 2 directional free, 3 directional, 4 line stripe,
// 5 line stripe billboard, 6 weapon stripe; any other kind makes no particles.
#pragma once

#include "effects/CKeyData.h"
#include "engine/video/ITexture.h"
#include "engine/video/material/CMaterial.h"
#include "engine/core/pravikString.h"

#include <boost/intrusive_ptr.hpp>

#include <cstddef>

class IEmitter;
class IParticle;

class ParticleDesc {
public:
    explicit ParticleDesc(IEmitter* owner);
    ~ParticleDesc();
    ParticleDesc(const ParticleDesc&) = delete;
    ParticleDesc& operator=(const ParticleDesc& other);  // merges tracks; texture fetched by path

    IParticle* GetParticle() const;  // a new particle of the kind, owned by the caller; null for an unknown kind
    // The bytes a particle of the kind takes (0 for an unknown kind), and one built in place in
    // storage of that size; the caller destroys it in place.
    std::size_t GetParticleSize() const;
    IParticle* GetParticle(void* storage) const;
    void SetParticleType(int type);  // another kind empties the emitter's pool
    void SetTextureName(const char* name, bool withSearchPath);
    void SetBlendType(int type, bool applyMaterial);
    const char* GetTextureName() const { return m_textureName.c_str(); }
    int GetBlendType() const { return m_blendType; }
    const boost::intrusive_ptr<pravik::video::ITexture>& GetTexture() const { return m_texture; }
    const boost::intrusive_ptr<pravik::video::CMaterial>& GetMaterial() const { return m_material; }
    IEmitter* GetEmitter() const { return m_emitter; }

    IEmitter* m_emitter;
    int m_blendType = 1;
    int m_particleType = 0;
    pravik::core::stringc m_textureName;
    boost::intrusive_ptr<pravik::video::ITexture> m_texture;
    int m_life = 100;          // frames
    int m_lifeVariation = 0;   // signed percent
    int m_anchorX = 0;
    int m_anchorY = 0;
    int m_uvRotation = 0;
    short m_flipU = 0;
    short m_flipV = 0;
    CKeyData<int> m_red{255};
    CKeyData<int> m_green{255};
    CKeyData<int> m_blue{255};
    CKeyData<int> m_alpha{255};
    CKeyData<float> m_width{1.f};
    CKeyData<float> m_height{1.f};
    int m_sizeVariation = 0;
    bool m_uniformSize = false;
    float m_angleX = 0.f;
    int m_angleVariationX = 0;
    float m_angleY = 0.f;
    int m_angleVariationY = 0;
    float m_angleZ = 0.f;
    int m_angleVariationZ = 0;
    CKeyData<float> m_spinX{0.f};
    CKeyData<float> m_spinY{0.f};
    CKeyData<float> m_spinZ{0.f};
    int m_spinVariationX = 0;
    int m_spinVariationY = 0;
    int m_spinVariationZ = 0;
    CKeyData<float> m_widthScale{1.f};
    CKeyData<float> m_heightScale{1.f};
    boost::intrusive_ptr<pravik::video::CMaterial> m_material;
};
