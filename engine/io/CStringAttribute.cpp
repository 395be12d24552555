// Text and binary attributes.

#include "engine/io/CStringAttribute.h"

#include <cstring>

#include "engine/core/TextForms.h"
#include "engine/core/fast_atof.h"
#include "engine/io/CScalarAttributes.h"

namespace pravik::io {

namespace {

int nibbleValue(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return 0;  // upper-case letters included, as stored files expect
}

}  // namespace

CStringAttribute::CStringAttribute(const char* name, const char* value, bool flag)
    : IAttribute(name, flag), m_isWide(false), m_text(value ? value : "")
{
}

CStringAttribute::CStringAttribute(const char* name, const wchar_t* value, bool flag)
    : IAttribute(name, flag), m_isWide(true), m_wideText(value ? value : L"")
{
}

core::stringc CStringAttribute::getString() const
{
    return m_isWide ? core::stringw2stringc(m_wideText) : m_text;
}

core::stringw CStringAttribute::getStringW() const
{
    return m_isWide ? m_wideText : core::stringc2stringw(m_text);
}

int CStringAttribute::getInt() const { return textToInt(getString().c_str()); }

float CStringAttribute::getFloat() const
{
    float value = 0.f;
    core::fast_atof_move(getString().c_str(), value);
    return value;
}

bool CStringAttribute::getBool() const { return core::equalsIgnoreCase(getString().c_str(), "true"); }

void CStringAttribute::setInt(int value) { setString(core::intToText(value).c_str()); }

void CStringAttribute::setFloat(float value) { setString(core::floatToText(value).c_str()); }

void CStringAttribute::setString(const char* text)
{
    if (!text) text = "";
    if (m_isWide)
        m_wideText = core::stringc2stringw(text);
    else
        m_text = text;
}

void CStringAttribute::setString(const wchar_t* text)
{
    if (!text) text = L"";
    if (m_isWide)
        m_wideText = text;
    else
        m_text = core::string2stringc(text);
}

void CStringAttribute::setBinary(const void* data, int size)
{
    static const char kDigits[] = "0123456789abcdef";
    m_text.clear();
    const auto* bytes = static_cast<const unsigned char*>(data);
    for (int i = 0; i < size && bytes; ++i) {
        m_text.push_back(kDigits[bytes[i] >> 4]);
        m_text.push_back(kDigits[bytes[i] & 15]);
    }
}

void CStringAttribute::getBinary(void* out, int size) const
{
    if (size <= 0 || !out) return;
    auto* bytes = static_cast<unsigned char*>(out);
    memset(bytes, 0, size_t(size));
    const size_t length = m_text.size();
    int written = 0;
    for (size_t i = 0; i < length && written < size; i += 2) {
        const int high = nibbleValue(m_text[i]);
        const int low = i + 1 < length ? nibbleValue(m_text[i + 1]) : 0;
        bytes[written++] = static_cast<unsigned char>(high * 16 + low);
    }
}

CBinaryAttribute::CBinaryAttribute(const char* name, const void* data, int size, bool flag)
    : CStringAttribute(name, "", flag)
{
    setBinary(data, size);
}

}  // namespace pravik::io
