#pragma once
// An enumeration: the current literal and the list of literals it may take. The literal is kept
// even when it is not in the list; as a number it is its position, found ignoring letter case.

#include "engine/io/IAttribute.h"

namespace pravik::io {

class CEnumAttribute : public IAttribute {
public:
    CEnumAttribute(const char* name, const char* literal, const char* const* literals, bool flag);

    int getInt() const override;  // position in the list, -1 when absent
    float getFloat() const override { return float(getInt()); }
    bool getBool() const override { return getInt() != 0; }
    const char* getEnum() const override { return m_literal.c_str(); }
    core::stringc getString() const override { return m_literal; }
    core::stringw getStringW() const override;
    void setInt(int index) override;  // "" outside the list
    void setFloat(float value) override;
    void setString(const char* text) override;  // kept even when not in the list
    using IAttribute::setString;
    // Appends the null-terminated literals (a second call lengthens the list), then sets literal.
    void setEnum(const char* literal, const char* const* literals) override;
    E_ATTRIBUTE_KIND getType() const override { return EAK_ENUM; }
    const wchar_t* getTypeString() const override { return L"enum"; }

    const StringCArray& getLiterals() const { return m_literals; }

private:
    core::stringc m_literal;
    StringCArray m_literals;
};

}  // namespace pravik::io
