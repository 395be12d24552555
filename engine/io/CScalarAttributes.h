#pragma once
// The single-value kinds: boolean, integer and float. Floats become integers by truncation
// toward zero; integer text is read with atoi and float text with the engine's number parser.

#include "engine/io/IAttribute.h"

namespace pravik::io {

class CBoolAttribute : public IAttribute {
public:
    CBoolAttribute(const char* name, bool value, bool flag) : IAttribute(name, flag), m_value(value) {}
    int getInt() const override { return m_value ? 1 : 0; }
    float getFloat() const override { return m_value ? 1.f : 0.f; }
    bool getBool() const override { return m_value; }
    core::stringw getStringW() const override { return m_value ? L"true" : L"false"; }
    void setInt(int v) override { m_value = v != 0; }
    void setFloat(float v) override { m_value = v != 0.f; }
    void setBool(bool v) override { m_value = v; }
    void setString(const char* text) override;  // exactly "true" is true
    using IAttribute::setString;
    E_ATTRIBUTE_KIND getType() const override { return EAK_BOOL; }
    const wchar_t* getTypeString() const override { return L"bool"; }

private:
    bool m_value;
};

class CIntAttribute : public IAttribute {
public:
    CIntAttribute(const char* name, int value, bool flag) : IAttribute(name, flag), m_value(value) {}
    int getInt() const override { return m_value; }
    float getFloat() const override { return float(m_value); }
    bool getBool() const override { return m_value != 0; }
    core::stringw getStringW() const override;
    void setInt(int v) override { m_value = v; }
    void setFloat(float v) override;
    void setString(const char* text) override;
    using IAttribute::setString;
    E_ATTRIBUTE_KIND getType() const override { return EAK_INT; }
    const wchar_t* getTypeString() const override { return L"int"; }

private:
    int m_value;
};

class CFloatAttribute : public IAttribute {
public:
    CFloatAttribute(const char* name, float value, bool flag) : IAttribute(name, flag), m_value(value) {}
    int getInt() const override;
    float getFloat() const override { return m_value; }
    bool getBool() const override { return m_value != 0.f; }
    core::stringw getStringW() const override;
    void setInt(int v) override { m_value = float(v); }
    void setFloat(float v) override { m_value = v; }
    void setString(const char* text) override;
    using IAttribute::setString;
    E_ATTRIBUTE_KIND getType() const override { return EAK_FLOAT; }
    const wchar_t* getTypeString() const override { return L"float"; }

private:
    float m_value;
};

// atoi without its undefined overflow: values beyond 32 bits saturate.
int textToInt(const char* text);

}  // namespace pravik::io
