#pragma once
// The engine's typed, named property list: serialisable objects write their settings into a
// store by name and read them back by name. A store holds a tree of contexts (groups), each an
// ordered list of attributes; every operation addresses the current context, which push, pop
// and setGroup move. Nothing here reports an error: names are matched exactly (first match),
// and a missing name or index gives the family's default.

#include "engine/IReferenceCounted.h"
#include "engine/io/AttributeFamilies.h"
#include "engine/io/IAttribute.h"

namespace pravik::io {

class IAttributes : public IReferenceCounted {
public:
    virtual int getAttributeCount() const = 0;
    virtual const char* getAttributeName(int index) const = 0;              // null out of range
    virtual E_ATTRIBUTE_KIND getAttributeType(const char* name) const = 0;  // EAK_UNKNOWN when missing
    virtual E_ATTRIBUTE_KIND getAttributeType(int index) const = 0;
    virtual const wchar_t* getAttributeTypeString(const char* name) const = 0;  // "unknown" when missing
    virtual const wchar_t* getAttributeTypeString(int index) const = 0;
    virtual bool existsAttribute(const char* name) const = 0;
    virtual int findAttribute(const char* name) const = 0;  // -1 when missing
    virtual void clear() = 0;                               // everything; the root becomes current
    virtual void push(const char* name) = 0;                // enters the child, made when missing
    virtual void push(const char* name, int number) = 0;    // the name followed by the number
    virtual void push(int number) = 0;                      // "group" followed by the number
    virtual void pop() = 0;                                 // to the parent; nothing at the root
    virtual unsigned int getGroupsCount() const = 0;
    virtual void setGroup(unsigned int index) = 0;          // enters the child at index; nothing past the end
    virtual const core::stringc& getGroupName() const = 0;  // "" for the root

    // Each family: add, addStringAs (value from text), setAttribute by name (appends when
    // missing), get by name, get by index, setAttribute by index (nothing out of range). The
    // regular ones are listed in AttributeFamilies.h (int, float, bool, colours, vectors,
    // position, rect, matrix, quaternion, box, plane, triangle, lines, texture, light, user
    // pointer); vector2di shares its value type with position2d, so setAttribute with that type
    // makes or sets a position attribute.
    PRAVIK_ATTRIBUTE_FAMILIES(PRAVIK_ATTRIBUTE_FAMILY_INTERFACE)
    PRAVIK_ATTRIBUTE_FAMILIES_WITHOUT_SET(PRAVIK_ATTRIBUTE_FAMILY_INTERFACE_WITHOUT_SET)

    // Narrow string
    virtual void addString(const char* name, const char* value, bool flag = false) = 0;
    virtual void setAttribute(const char* name, const char* value) = 0;  // null removes the attribute
    virtual core::stringc getString(const char* name) const = 0;
    virtual void getString(const char* name, char* target) const = 0;  // target must hold the text
    virtual core::stringc getString(int index) const = 0;
    virtual void setAttribute(int index, const char* value) = 0;

    // Wide string
    virtual void addString(const char* name, const wchar_t* value, bool flag = false) = 0;
    virtual void setAttribute(const char* name, const wchar_t* value) = 0;  // null removes the attribute
    virtual core::stringw getStringW(const char* name) const = 0;
    virtual void getStringW(const char* name, wchar_t* target) const = 0;  // target must hold the text
    virtual core::stringw getStringW(int index) const = 0;
    virtual void setAttribute(int index, const wchar_t* value) = 0;

    // Binary
    virtual void addBinary(const char* name, const void* data, int size, bool flag = false) = 0;
    virtual void addStringAsBinary(const char* name, const wchar_t* text, bool flag = false) = 0;
    virtual void setAttribute(const char* name, const void* data, int size) = 0;
    virtual void getBinaryData(const char* name, void* out,
                               int size) const = 0;  // out untouched when missing
    virtual void getBinaryData(int index, void* out, int size) const = 0;
    virtual void setAttribute(int index, const void* data, int size) = 0;

    // String array
    virtual void addArray(const char* name, const StringWArray& value, bool flag = false) = 0;
    virtual void setAttribute(const char* name, const StringWArray& value) = 0;
    virtual StringWArray getArray(const char* name) const = 0;
    virtual StringWArray getArray(int index) const = 0;
    virtual void setAttribute(int index, const StringWArray& value) = 0;

    // Enumeration
    virtual void addEnum(const char* name, const char* literal, const char* const* literals,
                         bool flag = false) = 0;
    virtual void addEnum(const char* name, int value, const char* const* literals, bool flag = false) = 0;
    virtual void setAttribute(const char* name, const char* literal, const char* const* literals) = 0;
    virtual const char* getEnum(const char* name) const = 0;                       // the literal, or null
    virtual int getEnum(const char* name, const char* const* literals) const = 0;  // its position, or -1
    virtual int getEnum(int index, const char* const* literals) const = 0;
    virtual const char* getEnum(int index) const = 0;
    virtual void getAttributeEnumerationLiteralsOfEnumeration(const char* name, StringCArray& out) const = 0;
    virtual void getAttributeEnumerationLiteralsOfEnumeration(int index, StringCArray& out) const = 0;
    virtual void setAttribute(int index, const char* literal, const char* const* literals) = 0;

};

}  // namespace pravik::io
