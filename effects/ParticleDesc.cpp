#include "effects/ParticleDesc.h"

#include "effects/IEmitter.h"
#include "effects/ParticleKinds.h"
#include "effects/ParticleStripes.h"
#include "effects/ZuduvaHost.h"
#include "engine/video/CTextureManager.h"
#include "engine/video/IVideoDriver.h"
#include "engine/video/material/CMaterialRenderer.h"
#include "engine/video/material/EShaderParameterType.h"

#include <new>
#include <string>

namespace {
pravik::video::CTextureManager* textureManager()
{
    IZuduvaHost* host = ZuduvaGetHost();
    pravik::video::IVideoDriver* driver = host ? host->getVideoDriver() : nullptr;
    return driver ? driver->getTextureManager() : nullptr;
}
}  // namespace

ParticleDesc::ParticleDesc(IEmitter* owner) : m_emitter(owner) { SetBlendType(1, false); }

ParticleDesc::~ParticleDesc()
{
    m_material = nullptr;
    if (m_texture) {
        // The name leaves the registry with the effect that used it, even while another
        // definition holds the texture; the next request loads it again.
        boost::intrusive_ptr<pravik::video::ITexture> texture = std::move(m_texture);
        if (pravik::video::CTextureManager* manager = textureManager()) {
            auto& registry = manager->getRegistry();
            const unsigned short id = registry.getId(texture->getName().c_str());
            if (id != registry.InvalidId && registry.get(id) == texture && registry.remove(id, true))
                manager->clearPlaceHolder(texture->getType(), texture.get());
        }
    }
}

namespace {
template <typename T>
IParticle* build(void* storage, IEmitter* owner)
{
    return storage ? new (storage) T(owner) : new T(owner);
}
}  // namespace

IParticle* ParticleDesc::GetParticle() const { return GetParticle(nullptr); }

std::size_t ParticleDesc::GetParticleSize() const
{
    switch (m_particleType) {
    case 0: return sizeof(ParticleBillboard);
    case 1: return sizeof(ParticleFree);
    case 2: return sizeof(ParticleDirectionalFree);
    case 3: return sizeof(ParticleDirectional);
    case 4: return sizeof(ParticleLineStripe);
    case 5: return sizeof(ParticleLineStripeBillboard);
    case 6: return sizeof(ParticleStripe);
    default: return 0;
    }
}

IParticle* ParticleDesc::GetParticle(void* storage) const
{
    switch (m_particleType) {
    case 0: return build<ParticleBillboard>(storage, m_emitter);
    case 1: return build<ParticleFree>(storage, m_emitter);
    case 2: return build<ParticleDirectionalFree>(storage, m_emitter);
    case 3: return build<ParticleDirectional>(storage, m_emitter);
    case 4: return build<ParticleLineStripe>(storage, m_emitter);
    case 5: return build<ParticleLineStripeBillboard>(storage, m_emitter);
    case 6: return build<ParticleStripe>(storage, m_emitter);
    default: return nullptr;
    }
}

void ParticleDesc::SetParticleType(int type)
{
    if (type == m_particleType)
        return;
    m_particleType = type;
    if (m_emitter)
        m_emitter->releaseAllParticles();
}

void ParticleDesc::SetTextureName(const char* name, bool withSearchPath)
{
    if (!name)
        name = "";
    std::string path = withSearchPath ? std::string(ZuduvaGetTextureSearchPath()) + name : std::string(name);
    m_textureName = pravik::core::stringc(path.c_str());
    if (!m_texture)
        if (pravik::video::CTextureManager* manager = textureManager())
            m_texture = manager->getTexture(m_textureName.c_str(), nullptr);
    if (m_material && m_texture) {
        const unsigned short id = m_material->getMaterialRenderer()->getParameterID(pravik::video::ESPT_TEXTURE, 0);
        if (id != 0xFFFF) {
            if (m_texture->getWrapS() != pravik::video::ETC_CLAMP)
                m_texture->setWrapS(pravik::video::ETC_CLAMP);
            if (m_texture->getWrapT() != pravik::video::ETC_CLAMP)
                m_texture->setWrapT(pravik::video::ETC_CLAMP);
            m_material->setParameter(id, 0, m_texture);
        }
    }
}

void ParticleDesc::SetBlendType(int type, bool applyMaterial)
{
    m_blendType = type;
    if (applyMaterial && (type == 0 || type == 1))
        m_material = ZuduvaGetMaterial(type);
}

ParticleDesc& ParticleDesc::operator=(const ParticleDesc& other)
{
    if (this == &other)
        return *this;
    m_blendType = other.m_blendType;
    m_particleType = other.m_particleType;
    m_life = other.m_life;
    m_lifeVariation = other.m_lifeVariation;
    m_red.addAll(other.m_red);
    m_green.addAll(other.m_green);
    m_blue.addAll(other.m_blue);
    m_alpha.addAll(other.m_alpha);
    m_width.addAll(other.m_width);
    m_height.addAll(other.m_height);
    m_spinX.addAll(other.m_spinX);
    m_spinY.addAll(other.m_spinY);
    m_spinZ.addAll(other.m_spinZ);
    m_widthScale.addAll(other.m_widthScale);
    m_heightScale.addAll(other.m_heightScale);
    m_sizeVariation = other.m_sizeVariation;
    m_uniformSize = other.m_uniformSize;
    m_angleX = other.m_angleX;
    m_angleVariationX = other.m_angleVariationX;
    m_angleY = other.m_angleY;
    m_angleVariationY = other.m_angleVariationY;
    m_angleZ = other.m_angleZ;
    m_angleVariationZ = other.m_angleVariationZ;
    m_spinVariationX = other.m_spinVariationX;
    m_spinVariationY = other.m_spinVariationY;
    m_spinVariationZ = other.m_spinVariationZ;
    m_anchorX = other.m_anchorX;
    m_anchorY = other.m_anchorY;
    m_uvRotation = other.m_uvRotation;
    m_flipU = other.m_flipU;
    m_flipV = other.m_flipV;
    SetTextureName(other.m_textureName.c_str(), false);
    return *this;
}
