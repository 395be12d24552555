// Text forms of the single-value kinds.

#include "engine/io/CScalarAttributes.h"

#include <climits>
#include <cstdlib>
#include <cstring>

#include "engine/core/TextForms.h"
#include "engine/core/fast_atof.h"

namespace pravik::io {

int textToInt(const char* text)
{
    if (!text) return 0;
    const long long v = strtoll(text, nullptr, 10);
    if (v > INT_MAX) return INT_MAX;
    if (v < INT_MIN) return INT_MIN;
    return int(v);
}

void CBoolAttribute::setString(const char* text) { m_value = text && strcmp(text, "true") == 0; }

core::stringw CIntAttribute::getStringW() const { return core::stringc2stringw(core::intToText(m_value)); }

void CIntAttribute::setFloat(float v) { m_value = core::truncateToInt(v); }

void CIntAttribute::setString(const char* text) { m_value = textToInt(text); }

int CFloatAttribute::getInt() const { return core::truncateToInt(m_value); }

core::stringw CFloatAttribute::getStringW() const
{
    return core::stringc2stringw(core::floatToText(m_value));
}

void CFloatAttribute::setString(const char* text)
{
    m_value = 0.f;
    if (text) core::fast_atof_move(text, m_value);
}

}  // namespace pravik::io
