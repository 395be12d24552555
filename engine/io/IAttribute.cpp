// The interface's own text forms; every other default lives in the header.

#include "engine/io/IAttribute.h"

#include "engine/core/TextForms.h"

namespace pravik::io {

IAttribute::IAttribute(const char* name, bool flag) : m_name(name ? name : ""), m_flag(flag) {}

core::stringc IAttribute::getString() const { return core::stringw2stringc(getStringW()); }

void IAttribute::setString(const wchar_t* text)
{
    const core::stringc narrow = core::string2stringc(text);
    setString(text ? narrow.c_str() : nullptr);
}

}  // namespace pravik::io
