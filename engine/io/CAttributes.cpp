// The attribute store: contexts, lookups, and the string, binary, array and enumeration
// families, which do not follow the regular pattern of CAttributes_families.cpp.

#include "engine/io/CAttributes.h"

#include <cstring>
#include <cwchar>

#include "engine/core/TextForms.h"
#include "engine/io/CEnumAttribute.h"
#include "engine/io/CStringAttribute.h"
#include "engine/io/CTextureAttribute.h"

namespace pravik::io {

namespace {

bool sameName(const core::stringc& a, const char* b)
{
    return a.size() == strlen(b) && memcmp(a.data(), b, a.size()) == 0;
}

}  // namespace

// Contexts

CAttributes::SContext::SContext(const char* name) : Name(name ? name : "") {}

CAttributes::SContext::~SContext() { clear(); }

CAttributes::SContext* CAttributes::SContext::getContext(const char* name, bool create)
{
    if (!name) name = "";
    for (SContext* child : Children)
        if (sameName(child->Name, name)) return child;
    if (!create) return nullptr;
    SContext* child = new SContext(name);
    child->Parent = this;
    Children.push_back(child);
    return child;
}

CAttributes::SContext* CAttributes::SContext::hasContext(const char* name) { return getContext(name, false); }

void CAttributes::SContext::clear()
{
    for (SContext* child : Children) child->drop();
    Children.clear();
    for (IAttribute* a : Attributes) a->drop();
    Attributes.clear();
}

// The store

CAttributes::CAttributes(video::IVideoDriver* driver)
    : m_root(""), m_current(&m_root), m_list(&m_root.Attributes), m_driver(driver)
{
}

CAttributes::~CAttributes() { clear(); }

void CAttributes::enter(SContext* context)
{
    m_current = context;
    m_list = &context->Attributes;
}

IAttribute* CAttributes::getAttributeP(const char* name) const
{
    if (!name) return nullptr;
    for (IAttribute* a : *m_list)
        if (sameName(a->getName(), name)) return a;
    return nullptr;
}

IAttribute* CAttributes::getAttributeAt(int index) const
{
    if (index < 0 || size_t(index) >= m_list->size()) return nullptr;
    return (*m_list)[size_t(index)];
}

void CAttributes::append(IAttribute* attribute) { m_list->push_back(attribute); }

void CAttributes::appendFromText(IAttribute* attribute, const wchar_t* text)
{
    append(attribute);
    attribute->setString(text);
}

int CAttributes::getAttributeCount() const { return int(m_list->size()); }

const char* CAttributes::getAttributeName(int index) const
{
    const IAttribute* a = getAttributeAt(index);
    return a ? a->getName().c_str() : nullptr;
}

E_ATTRIBUTE_KIND CAttributes::getAttributeType(const char* name) const
{
    const IAttribute* a = getAttributeP(name);
    return a ? a->getType() : EAK_UNKNOWN;
}

E_ATTRIBUTE_KIND CAttributes::getAttributeType(int index) const
{
    const IAttribute* a = getAttributeAt(index);
    return a ? a->getType() : EAK_UNKNOWN;
}

const wchar_t* CAttributes::getAttributeTypeString(const char* name) const
{
    const IAttribute* a = getAttributeP(name);
    return a ? a->getTypeString() : L"unknown";
}

const wchar_t* CAttributes::getAttributeTypeString(int index) const
{
    const IAttribute* a = getAttributeAt(index);
    return a ? a->getTypeString() : L"unknown";
}

bool CAttributes::existsAttribute(const char* name) const { return getAttributeP(name) != nullptr; }

int CAttributes::findAttribute(const char* name) const
{
    if (!name) return -1;
    for (size_t i = 0; i < m_list->size(); ++i)
        if (sameName((*m_list)[i]->getName(), name)) return int(i);
    return -1;
}

void CAttributes::clear()
{
    m_root.clear();
    enter(&m_root);
}

void CAttributes::push(const char* name) { enter(m_current->getContext(name, true)); }

void CAttributes::push(const char* name, int number)
{
    core::stringc full(name ? name : "");
    full += core::intToText(number);
    push(full.c_str());
}

void CAttributes::push(int number) { push("group", number); }

void CAttributes::pop()
{
    if (m_current->Parent) enter(m_current->Parent);
}

unsigned int CAttributes::getGroupsCount() const { return unsigned(m_current->Children.size()); }

void CAttributes::setGroup(unsigned int index)
{
    if (index < m_current->Children.size()) enter(m_current->Children[index]);
}

const core::stringc& CAttributes::getGroupName() const { return m_current->Name; }

// Narrow and wide strings

void CAttributes::addString(const char* name, const char* value, bool flag)
{
    append(new CStringAttribute(name, value, flag));
}

void CAttributes::addString(const char* name, const wchar_t* value, bool flag)
{
    append(new CStringAttribute(name, value, flag));
}

void CAttributes::setAttribute(const char* name, const char* value)
{
    if (!name) return;
    for (auto it = m_list->begin(); it != m_list->end(); ++it) {
        if (!sameName((*it)->getName(), name)) continue;
        if (value) {
            (*it)->setString(value);
        } else {
            IAttribute* removed = *it;
            m_list->erase(it);
            removed->drop();
        }
        return;
    }
    if (value) append(new CStringAttribute(name, value, false));
}

void CAttributes::setAttribute(const char* name, const wchar_t* value)
{
    if (!name) return;
    for (auto it = m_list->begin(); it != m_list->end(); ++it) {
        if (!sameName((*it)->getName(), name)) continue;
        if (value) {
            (*it)->setString(value);
        } else {
            IAttribute* removed = *it;
            m_list->erase(it);
            removed->drop();
        }
        return;
    }
    if (value) append(new CStringAttribute(name, value, false));
}

core::stringc CAttributes::getString(const char* name) const
{
    const IAttribute* a = getAttributeP(name);
    return a ? a->getString() : core::stringc();
}

void CAttributes::getString(const char* name, char* target) const
{
    const core::stringc text = getString(name);
    memcpy(target, text.c_str(), text.size() + 1);
}

core::stringc CAttributes::getString(int index) const
{
    const IAttribute* a = getAttributeAt(index);
    return a ? a->getString() : core::stringc();
}

void CAttributes::setAttribute(int index, const char* value)
{
    if (IAttribute* a = getAttributeAt(index)) a->setString(value);
}

core::stringw CAttributes::getStringW(const char* name) const
{
    const IAttribute* a = getAttributeP(name);
    return a ? a->getStringW() : core::stringw();
}

void CAttributes::getStringW(const char* name, wchar_t* target) const
{
    const core::stringw text = getStringW(name);
    wmemcpy(target, text.c_str(), text.size() + 1);
}

core::stringw CAttributes::getStringW(int index) const
{
    const IAttribute* a = getAttributeAt(index);
    return a ? a->getStringW() : core::stringw();
}

void CAttributes::setAttribute(int index, const wchar_t* value)
{
    if (IAttribute* a = getAttributeAt(index)) a->setString(value);
}

// Binary

void CAttributes::addBinary(const char* name, const void* data, int size, bool flag)
{
    append(new CBinaryAttribute(name, data, size, flag));
}

void CAttributes::addStringAsBinary(const char* name, const wchar_t* text, bool flag)
{
    appendFromText(new CBinaryAttribute(name, nullptr, 0, flag), text);
}

void CAttributes::setAttribute(const char* name, const void* data, int size)
{
    if (IAttribute* a = getAttributeP(name))
        a->setBinary(data, size);
    else
        append(new CBinaryAttribute(name, data, size, false));
}

void CAttributes::getBinaryData(const char* name, void* out, int size) const
{
    if (const IAttribute* a = getAttributeP(name)) a->getBinary(out, size);
}

void CAttributes::getBinaryData(int index, void* out, int size) const
{
    if (const IAttribute* a = getAttributeAt(index)) a->getBinary(out, size);
}

void CAttributes::setAttribute(int index, const void* data, int size)
{
    if (IAttribute* a = getAttributeAt(index)) a->setBinary(data, size);
}

// String arrays

void CAttributes::addArray(const char* name, const StringWArray& value, bool flag)
{
    append(new CStringWArrayAttribute(name, value, flag));
}

void CAttributes::setAttribute(const char* name, const StringWArray& value)
{
    if (IAttribute* a = getAttributeP(name))
        a->setArray(value);
    else
        append(new CStringWArrayAttribute(name, value, false));
}

StringWArray CAttributes::getArray(const char* name) const
{
    const IAttribute* a = getAttributeP(name);
    return a ? a->getArray() : StringWArray();
}

StringWArray CAttributes::getArray(int index) const
{
    const IAttribute* a = getAttributeAt(index);
    return a ? a->getArray() : StringWArray();
}

void CAttributes::setAttribute(int index, const StringWArray& value)
{
    if (IAttribute* a = getAttributeAt(index)) a->setArray(value);
}

// Enumerations

namespace {

int literalPosition(const IAttribute* a, const char* const* literals)
{
    if (!a || !literals) return -1;
    const char* literal = a->getEnum();
    if (!literal) return -1;
    for (int i = 0; literals[i]; ++i)
        if (strcmp(literals[i], literal) == 0) return i;
    return -1;
}

void copyLiterals(const IAttribute* a, StringCArray& out)
{
    if (a && a->getType() == EAK_ENUM) out = static_cast<const CEnumAttribute*>(a)->getLiterals();
}

}  // namespace

void CAttributes::addEnum(const char* name, const char* literal, const char* const* literals, bool flag)
{
    append(new CEnumAttribute(name, literal, literals, flag));
}

void CAttributes::addEnum(const char* name, int value, const char* const* literals, bool flag)
{
    addEnum(name, "", literals, flag);
    m_list->back()->setInt(value);
}

void CAttributes::setAttribute(const char* name, const char* literal, const char* const* literals)
{
    if (IAttribute* a = getAttributeP(name))
        a->setEnum(literal, literals);
    else
        append(new CEnumAttribute(name, literal, literals, false));
}

const char* CAttributes::getEnum(const char* name) const
{
    const IAttribute* a = getAttributeP(name);
    return a ? a->getEnum() : nullptr;
}

int CAttributes::getEnum(const char* name, const char* const* literals) const
{
    return literalPosition(getAttributeP(name), literals);
}

int CAttributes::getEnum(int index, const char* const* literals) const
{
    return literalPosition(getAttributeAt(index), literals);
}

const char* CAttributes::getEnum(int index) const
{
    const IAttribute* a = getAttributeAt(index);
    return a ? a->getEnum() : nullptr;
}

void CAttributes::getAttributeEnumerationLiteralsOfEnumeration(const char* name, StringCArray& out) const
{
    copyLiterals(getAttributeP(name), out);
}

void CAttributes::getAttributeEnumerationLiteralsOfEnumeration(int index, StringCArray& out) const
{
    copyLiterals(getAttributeAt(index), out);
}

void CAttributes::setAttribute(int index, const char* literal, const char* const* literals)
{
    if (IAttribute* a = getAttributeAt(index)) a->setEnum(literal, literals);
}

}  // namespace pravik::io
