#pragma once
// A parameter block owner built in code, with counted stand-ins for textures and lights that
// go through the block's reference hooks.

#include <cstring>
#include <vector>

#include "engine/video/material/detail/IMaterialParameters.h"

namespace test {

struct FakeTexture {
    int refs = 1;       // the test's own
    unsigned type = 0;  // 0 2D, 1 3D, 2 cube, 3 rectangle
    pravik::video::ITexture* get() { return reinterpret_cast<pravik::video::ITexture*>(this); }
};

struct FakeLight {
    int refs = 1;
    pravik::video::CLight* get() { return reinterpret_cast<pravik::video::CLight*>(this); }
};

// Installs counting through the stand-ins for the life of a test; the previous hooks return.
class CFakeReferenceHooks {
public:
    CFakeReferenceHooks() : m_saved(pravik::video::detail::getMaterialParameterReferenceHooks())
    {
        install();
    }
    ~CFakeReferenceHooks() { pravik::video::detail::setMaterialParameterReferenceHooks(m_saved); }
    CFakeReferenceHooks(const CFakeReferenceHooks&) = delete;
    CFakeReferenceHooks& operator=(const CFakeReferenceHooks&) = delete;

private:
    static void install();
    pravik::video::detail::SMaterialParameterReferenceHooks m_saved;
};

// Stores a light into element `index` of a parameter the way a byte copy and grabParameters
// would: the pointer, then one reference.
template <class Owner>
void putLight(Owner& owner, unsigned short id, unsigned index, FakeLight& light)
{
    const pravik::video::SShaderParameterDef* d = owner.getParameterDef(id);
    pravik::video::CLight* p = light.get();
    std::memcpy(owner.getParameterBlock() + d->index + index * sizeof(void*), &p, sizeof(p));
    pravik::video::detail::grabReference(p);
}

inline void CFakeReferenceHooks::install()
{
    pravik::video::detail::SMaterialParameterReferenceHooks hooks;
    hooks.grabTexture = [](pravik::video::ITexture* t) { ++reinterpret_cast<FakeTexture*>(t)->refs; };
    hooks.dropTexture = [](pravik::video::ITexture* t) { --reinterpret_cast<FakeTexture*>(t)->refs; };
    hooks.textureType = [](const pravik::video::ITexture* t) {
        return reinterpret_cast<const FakeTexture*>(t)->type;
    };
    hooks.grabLight = [](pravik::video::CLight* l) { ++reinterpret_cast<FakeLight*>(l)->refs; };
    hooks.dropLight = [](pravik::video::CLight* l) { --reinterpret_cast<FakeLight*>(l)->refs; };
    pravik::video::detail::setMaterialParameterReferenceHooks(hooks);
}

struct SNoBase {};

class CBlock : public pravik::video::detail::IMaterialParameters<CBlock, SNoBase> {
public:
    unsigned short add(const char* name, unsigned type, unsigned valueType, unsigned arraySize)
    {
        using I = pravik::video::detail::SShaderParameterTypeInspection;
        pravik::video::SShaderParameterDef d;
        d.name = name;
        d.type = (unsigned short)type;
        d.valueType = (unsigned char)valueType;
        d.arraySize = arraySize;
        d.index = (unsigned)I::alignUp(m_used, valueType);
        m_used = d.index + I::ValueTypeSize[valueType] * arraySize;
        m_defs.push_back(d);
        m_bytes.assign(m_used, 0);
        return (unsigned short)(m_defs.size() - 1);
    }
    unsigned char* getParameterBlock() { return m_bytes.data(); }
    const pravik::video::SShaderParameterDef* getParameterDef(unsigned short id) const
    {
        return id < m_defs.size() ? &m_defs[id] : nullptr;
    }
    void setDirty() { ++dirty; }
    template <class F>
    void forEachParameter(F f) const
    {
        for (unsigned short i = 0; i < m_defs.size(); ++i) f(i);
    }
    template <class P>
    P* pointerAt(unsigned short id, unsigned index)
    {
        return loadPointer<P>(element(&m_defs[id], index));
    }
    std::vector<unsigned char>& bytes() { return m_bytes; }

    int dirty = 0;

private:
    std::vector<pravik::video::SShaderParameterDef> m_defs;
    std::vector<unsigned char> m_bytes;
    size_t m_used = 0;
};

}  // namespace test
