// The regular attribute families of the store (AttributeFamilies.h): each makes its own attribute
// class and reads and writes it through that class's typed getter and setter.

#include <type_traits>

#include "engine/io/AttributeFamilies.h"
#include "engine/io/CAttributes.h"
#include "engine/io/CNumbersAttribute.h"
#include "engine/io/CScalarAttributes.h"
#include "engine/io/CTextureAttribute.h"

namespace pravik::io {

namespace {

// Texture and light attributes also keep the store's driver.
template <class A, class V>
IAttribute* makeAttribute(const char* name, const V& value, video::IVideoDriver* driver, bool flag)
{
    if constexpr (std::is_constructible_v<A, const char*, V, video::IVideoDriver*, bool>)
        return new A(name, value, driver, flag);
    else
        return new A(name, value, flag);
}

}  // namespace

#define PRAVIK_DEFINE_FAMILY_GETTERS(Family, Value, Param, Stored, Class, Get, Missing, FromText)             \
    void CAttributes::add##Family(const char* name, Param value, bool flag)                                  \
    {                                                                                                        \
        append(makeAttribute<Class>(name, static_cast<Stored>(value), m_driver, flag));                       \
    }                                                                                                        \
    void CAttributes::addStringAs##Family(const char* name, const wchar_t* text, bool flag)                  \
    {                                                                                                        \
        appendFromText(makeAttribute<Class>(name, static_cast<Stored>(FromText), m_driver, flag), text);      \
    }                                                                                                        \
    Value CAttributes::get##Family(const char* name) const                                                   \
    {                                                                                                        \
        const IAttribute* a = getAttributeP(name);                                                           \
        return a ? a->Get() : Missing;                                                                       \
    }                                                                                                        \
    Value CAttributes::get##Family(int index) const                                                          \
    {                                                                                                        \
        const IAttribute* a = getAttributeAt(index);                                                         \
        return a ? a->Get() : Missing;                                                                       \
    }

#define PRAVIK_DEFINE_FAMILY(Family, Value, Param, Stored, Class, Get, Set, FromText, Missing)               \
    PRAVIK_DEFINE_FAMILY_GETTERS(Family, Value, Param, Stored, Class, Get, Missing, FromText)                 \
    void CAttributes::setAttribute(const char* name, Param value)                                            \
    {                                                                                                        \
        if (IAttribute* a = getAttributeP(name))                                                             \
            a->Set(value);                                                                                   \
        else                                                                                                 \
            append(makeAttribute<Class>(name, static_cast<Stored>(value), m_driver, false));                  \
    }                                                                                                        \
    void CAttributes::setAttribute(int index, Param value)                                                   \
    {                                                                                                        \
        if (IAttribute* a = getAttributeAt(index)) a->Set(value);                                            \
    }

#define PRAVIK_DEFINE_FAMILY_WITHOUT_SET(Family, Value, Param, Stored, Class, Get, Set, FromText, Missing)   \
    PRAVIK_DEFINE_FAMILY_GETTERS(Family, Value, Param, Stored, Class, Get, Missing, FromText)

PRAVIK_ATTRIBUTE_FAMILIES(PRAVIK_DEFINE_FAMILY)
PRAVIK_ATTRIBUTE_FAMILIES_WITHOUT_SET(PRAVIK_DEFINE_FAMILY_WITHOUT_SET)

}  // namespace pravik::io
