#pragma once
// A texture, and the driver whose texture manager names and finds it. As text it is the
// registry name and the texture's own name joined by ';'. Until the texture layer installs its
// hooks (IAttributeVideo.h), an attribute set from text keeps that text, so the name survives a
// trip through an attribute file even when no texture can be found for it.

#include <boost/intrusive_ptr.hpp>

#include "engine/io/IAttribute.h"

namespace pravik::io {

class CTextureAttribute : public IAttribute {
public:
    CTextureAttribute(const char* name, TexturePtr value, video::IVideoDriver* driver, bool flag);
    ~CTextureAttribute() override;

    TexturePtr getTexture() const override { return m_texture.get(); }  // valid while held here
    bool getBool() const override { return m_texture != nullptr; }
    core::stringc getString() const override;
    core::stringw getStringW() const override;  // "" without a texture or a name
    void setString(const char* text) override;  // "" or null: no texture
    using IAttribute::setString;
    void setTexture(const TexturePtr& texture) override;
    E_ATTRIBUTE_KIND getType() const override { return EAK_TEXTURE; }
    const wchar_t* getTypeString() const override { return L"texture"; }

    virtual void getString(char* out) const;  // the caller's buffer must hold the text

private:
    boost::intrusive_ptr<video::IVideoDriver> m_driver;  // released after the texture
    boost::intrusive_ptr<video::ITexture> m_texture;
    core::stringc m_nameText;  // the text last set, while it resolves to nothing
};

class CLightAttribute : public IAttribute {
public:
    CLightAttribute(const char* name, LightPtr value, video::IVideoDriver* driver, bool flag);
    ~CLightAttribute() override;

    LightPtr getLight() const override { return m_light.get(); }  // valid while held here
    bool getBool() const override { return m_light != nullptr; }
    core::stringc getString() const override { return "light"; }
    core::stringw getStringW() const override { return m_light ? L"light" : L""; }
    void setLight(LightPtr light) override;
    E_ATTRIBUTE_KIND getType() const override { return EAK_LIGHT; }
    const wchar_t* getTypeString() const override { return L"light"; }

    virtual void getString(char* out) const;

private:
    boost::intrusive_ptr<video::IVideoDriver> m_driver;  // kept for the light's owner, never used here
    boost::intrusive_ptr<video::CLight> m_light;
};

class CStringWArrayAttribute : public IAttribute {
public:
    CStringWArrayAttribute(const char* name, const StringWArray& value, bool flag)
        : IAttribute(name, flag), m_values(value)
    {
    }

    StringWArray getArray() const override { return m_values; }
    void setArray(const StringWArray& values) override { m_values = values; }
    E_ATTRIBUTE_KIND getType() const override { return EAK_STRINGWARRAY; }
    const wchar_t* getTypeString() const override { return L"stringwarray"; }

private:
    StringWArray m_values;
};

// An untyped pointer, never owned. Its integer form is the low 32 bits of the address; its
// text form is the full address in hexadecimal after "0x".
class CUserPointerAttribute : public IAttribute {
public:
    CUserPointerAttribute(const char* name, void* value, bool flag) : IAttribute(name, flag), m_value(value)
    {
    }

    void* getUserPointer() const override { return m_value; }
    void setUserPointer(void* value) override { m_value = value; }
    int getInt() const override;
    bool getBool() const override { return m_value != nullptr; }
    void setString(const char* text) override;  // "0x..."; anything else leaves the pointer
    using IAttribute::setString;
    E_ATTRIBUTE_KIND getType() const override { return EAK_USER_POINTER; }
    const wchar_t* getTypeString() const override { return L"userPointer"; }

    virtual void getString(char* out) const;

private:
    void* m_value;
};

}  // namespace pravik::io
