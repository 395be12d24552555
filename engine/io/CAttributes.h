#pragma once
// The attribute store: a root context (named "") with child contexts below it, each holding its
// attributes in insertion order. Lookups are linear scans of the current context only. pop at
// the root and setGroup past the last child change nothing, so a stray closing group in a file
// cannot move the store above its root.

#include <vector>

#include "engine/io/IAttributes.h"

namespace pravik::io {

class CAttributes : public IAttributes {
public:
    explicit CAttributes(
        video::IVideoDriver* driver);  // count 1; the driver is handed to textures and lights
    ~CAttributes() override;
    CAttributes(const CAttributes&) = delete;
    CAttributes& operator=(const CAttributes&) = delete;

    int getAttributeCount() const override;
    const char* getAttributeName(int index) const override;
    E_ATTRIBUTE_KIND getAttributeType(const char* name) const override;
    E_ATTRIBUTE_KIND getAttributeType(int index) const override;
    const wchar_t* getAttributeTypeString(const char* name) const override;
    const wchar_t* getAttributeTypeString(int index) const override;
    bool existsAttribute(const char* name) const override;
    int findAttribute(const char* name) const override;
    void clear() override;
    void push(const char* name) override;
    void push(const char* name, int number) override;
    void push(int number) override;
    void pop() override;
    unsigned int getGroupsCount() const override;
    void setGroup(unsigned int index) override;
    const core::stringc& getGroupName() const override;

    // The regular families (AttributeFamilies.h): add, addStringAs, setAttribute by name (appends
    // when missing), get by name, get by index, setAttribute by index (nothing out of range).
    PRAVIK_ATTRIBUTE_FAMILIES(PRAVIK_ATTRIBUTE_FAMILY_OVERRIDES)
    PRAVIK_ATTRIBUTE_FAMILIES_WITHOUT_SET(PRAVIK_ATTRIBUTE_FAMILY_OVERRIDES_WITHOUT_SET)

    // Narrow string
    void addString(const char* name, const char* value, bool flag = false) override;
    void setAttribute(const char* name, const char* value) override;  // null removes the attribute
    core::stringc getString(const char* name) const override;
    void getString(const char* name, char* target) const override;  // target must hold the text
    core::stringc getString(int index) const override;
    void setAttribute(int index, const char* value) override;

    // Wide string
    void addString(const char* name, const wchar_t* value, bool flag = false) override;
    void setAttribute(const char* name, const wchar_t* value) override;  // null removes the attribute
    core::stringw getStringW(const char* name) const override;
    void getStringW(const char* name, wchar_t* target) const override;  // target must hold the text
    core::stringw getStringW(int index) const override;
    void setAttribute(int index, const wchar_t* value) override;

    // Binary
    void addBinary(const char* name, const void* data, int size, bool flag = false) override;
    void addStringAsBinary(const char* name, const wchar_t* text, bool flag = false) override;
    void setAttribute(const char* name, const void* data, int size) override;
    void getBinaryData(const char* name, void* out, int size) const override;  // out untouched when missing
    void getBinaryData(int index, void* out, int size) const override;
    void setAttribute(int index, const void* data, int size) override;

    // String array
    void addArray(const char* name, const StringWArray& value, bool flag = false) override;
    void setAttribute(const char* name, const StringWArray& value) override;
    StringWArray getArray(const char* name) const override;
    StringWArray getArray(int index) const override;
    void setAttribute(int index, const StringWArray& value) override;

    // Enumeration
    void addEnum(const char* name, const char* literal, const char* const* literals,
                 bool flag = false) override;
    void addEnum(const char* name, int value, const char* const* literals, bool flag = false) override;
    void setAttribute(const char* name, const char* literal, const char* const* literals) override;
    const char* getEnum(const char* name) const override;                       // the literal, or null
    int getEnum(const char* name, const char* const* literals) const override;  // its position, or -1
    int getEnum(int index, const char* const* literals) const override;
    const char* getEnum(int index) const override;
    void getAttributeEnumerationLiteralsOfEnumeration(const char* name, StringCArray& out) const override;
    void getAttributeEnumerationLiteralsOfEnumeration(int index, StringCArray& out) const override;
    void setAttribute(int index, const char* literal, const char* const* literals) override;

    IAttribute* getAttributeP(const char* name) const;  // first of that name, or null
    IAttribute* getAttributeAt(int index) const;        // null out of range

private:
    using AttributeList = std::vector<IAttribute*, core::SAllocator<IAttribute*>>;

    class SContext : public IReferenceCounted {
    public:
        explicit SContext(const char* name);
        ~SContext() override;
        SContext* getContext(const char* name, bool create);  // first child of that name
        SContext* hasContext(const char* name);
        void clear();  // children first, then the attributes

        core::stringc Name;
        AttributeList Attributes;
        std::vector<SContext*, core::SAllocator<SContext*>> Children;
        SContext* Parent = nullptr;
    };

    void append(IAttribute* attribute);
    void appendFromText(IAttribute* attribute, const wchar_t* text);
    template <class C>
    void setText(const char* name, const C* value);  // null removes the attribute
    void enter(SContext* context);

    SContext m_root;
    SContext* m_current;
    AttributeList* m_list;
    video::IVideoDriver* m_driver;
};

}  // namespace pravik::io
