// Enumeration attributes.

#include "engine/io/CEnumAttribute.h"

#include "engine/core/TextForms.h"

namespace pravik::io {

CEnumAttribute::CEnumAttribute(const char* name, const char* literal, const char* const* literals, bool flag)
    : IAttribute(name, flag)
{
    setEnum(literal, literals);
}

int CEnumAttribute::getInt() const
{
    for (size_t i = 0; i < m_literals.size(); ++i)
        if (core::equalsIgnoreCase(m_literals[i].c_str(), m_literal.c_str())) return int(i);
    return -1;
}

core::stringw CEnumAttribute::getStringW() const { return core::stringc2stringw(m_literal); }

void CEnumAttribute::setInt(int index)
{
    if (index >= 0 && size_t(index) < m_literals.size())
        m_literal = m_literals[size_t(index)];
    else
        m_literal.clear();
}

void CEnumAttribute::setFloat(float value) { setInt(core::truncateToInt(value)); }

void CEnumAttribute::setString(const char* text) { m_literal.assign(text ? text : ""); }

void CEnumAttribute::setEnum(const char* literal, const char* const* literals)
{
    if (literals)
        for (const char* const* l = literals; *l; ++l) m_literals.emplace_back(*l);
    setString(literal);
}

}  // namespace pravik::io
