#pragma once
// Text held narrow or wide (as it was first given), and the binary kind, which keeps its bytes
// as lower-case hexadecimal narrow text. Widening and narrowing apply no encoding.

#include "engine/io/IAttribute.h"

namespace pravik::io {

class CStringAttribute : public IAttribute {
public:
    CStringAttribute(const char* name, const char* value, bool flag);     // narrow; null is ""
    CStringAttribute(const char* name, const wchar_t* value, bool flag);  // wide; null is ""

    int getInt() const override;      // atoi
    float getFloat() const override;  // the engine's number parser
    bool getBool() const override;    // "true" in any letter case
    core::stringc getString() const override;
    core::stringw getStringW() const override;
    void getBinary(void* out, int size) const override;  // zero-fills out, then decodes the hex text
    void setInt(int value) override;
    void setFloat(float value) override;
    void setString(const char* text) override;
    void setString(const wchar_t* text) override;
    void setBinary(const void* data, int size) override;  // the narrow text becomes hex
    E_ATTRIBUTE_KIND getType() const override { return EAK_STRING; }
    const wchar_t* getTypeString() const override { return L"string"; }

protected:
    bool m_isWide;
    core::stringc m_text;
    core::stringw m_wideText;
};

class CBinaryAttribute : public CStringAttribute {
public:
    CBinaryAttribute(const char* name, const void* data, int size, bool flag);
    E_ATTRIBUTE_KIND getType() const override { return EAK_BINARY; }
    const wchar_t* getTypeString() const override { return L"binary"; }
};

}  // namespace pravik::io
