// Texture, light, string-array and user-pointer attributes.

#include "engine/io/CTextureAttribute.h"

#include <cinttypes>
#include <cstdio>
#include <cstring>

#include "engine/core/TextForms.h"
#include "engine/video/CLight.h"
#include "engine/video/ITexture.h"
#include "engine/video/IVideoDriver.h"

namespace pravik::io {

CTextureAttribute::CTextureAttribute(const char* name, TexturePtr value, video::IVideoDriver* driver,
                                     bool flag)
    : IAttribute(name, flag), m_driver(driver), m_texture(value)
{
}

CTextureAttribute::~CTextureAttribute() = default;

core::stringc CTextureAttribute::getString() const
{
    if (m_texture) return toString(m_texture.get(), m_driver.get());
    return m_nameText;
}

core::stringw CTextureAttribute::getStringW() const { return core::stringc2stringw(getString()); }

void CTextureAttribute::getString(char* out) const
{
    const core::stringc text = getString();
    memcpy(out, text.c_str(), text.size() + 1);
}

void CTextureAttribute::setString(const char* text)
{
    if (!text || !*text) {
        m_texture = nullptr;
        m_nameText.clear();
        return;
    }
    m_texture = fromString(text, m_driver.get());
    m_nameText = m_texture ? "" : text;
}

void CTextureAttribute::setTexture(const TexturePtr& texture)
{
    m_texture = texture;
    m_nameText.clear();
}

CLightAttribute::CLightAttribute(const char* name, LightPtr value, video::IVideoDriver* driver, bool flag)
    : IAttribute(name, flag), m_driver(driver), m_light(value)
{
}

CLightAttribute::~CLightAttribute() = default;

void CLightAttribute::setLight(LightPtr light) { m_light = light; }

void CLightAttribute::getString(char* out) const { strcpy(out, m_light ? "light" : ""); }

int CUserPointerAttribute::getInt() const { return int(uint32_t(reinterpret_cast<uintptr_t>(m_value))); }

void CUserPointerAttribute::setString(const char* text)
{
    uintptr_t value = 0;
    if (text && sscanf(text, "0x%" SCNxPTR, &value) == 1) m_value = reinterpret_cast<void*>(value);
}

void CUserPointerAttribute::getString(char* out) const
{
    sprintf(out, "0x%" PRIxPTR, reinterpret_cast<uintptr_t>(m_value));
}

}  // namespace pravik::io
