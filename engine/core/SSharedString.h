// Interned, reference-counted strings: equal texts share one block and compare by pointer.
// A block is a 32-bit count followed by the characters and their NUL. The heap that finds
// blocks by text exists between the engine's init and exit steps. Main thread only.
#pragma once

#include <cstdint>
#include <cstring>

namespace pravik::core {

namespace detail {

struct SSharedStringHeapEntry {
    struct SData {
        std::int32_t count;
        char text[4];   // really as long as the text needs

        // The interned block for text, or null. With insert, a missing text is added (count 0:
        // the caller takes the first reference). Null text gives null, "" gives EmptyString.
        static SData* get(const char* text, bool insert);
        // Takes the block out of the heap (when there is one) and frees it; called when its
        // count reaches 0.
        static void release(SData* data);

        const char* c_str() const { return text; }
    };

    // A stored entry points at its block; during a lookup it points at a key record (the text
    // pointer, then a zero word) instead, which never stays in the heap.
    mutable SData* data = nullptr;
    mutable const char* key = nullptr;

    bool isKey() const { return key != nullptr; }
    const char* text() const { return isKey() ? key : data->text; }
    void commit() const;   // turns a key entry into a stored block
};

extern SSharedStringHeapEntry::SData EmptyString;

void registerSharedStringHeapInit();   // once only; later calls do nothing
std::uint32_t sharedStringHash(const char* text);
std::size_t sharedStringHeapSize();    // blocks in the heap; 0 without a heap
bool sharedStringHeapExists();

} // namespace detail

class SSharedString {
public:
    using SData = detail::SSharedStringHeapEntry::SData;

    SSharedString() = default;
    SSharedString(const char* text) { *this = text; }   // NOLINT: handles convert from text
    SSharedString(const SSharedString& o) : m_data(o.m_data) { grab(m_data); }
    SSharedString(SSharedString&& o) noexcept : m_data(o.m_data) { o.m_data = nullptr; }
    ~SSharedString() { drop(m_data); }

    SSharedString& operator=(const char* text);
    SSharedString& operator=(const SSharedString& o)
    {
        grab(o.m_data);
        drop(m_data);
        m_data = o.m_data;
        return *this;
    }
    SSharedString& operator=(SSharedString&& o) noexcept
    {
        if (this != &o) {
            drop(m_data);
            m_data = o.m_data;
            o.m_data = nullptr;
        }
        return *this;
    }

    // Equal texts share a block, so equality is identity.
    bool operator==(const SSharedString& o) const { return m_data == o.m_data; }
    bool operator!=(const SSharedString& o) const { return m_data != o.m_data; }
    bool operator<(const SSharedString& o) const { return m_data < o.m_data; }

    const char* c_str() const { return m_data ? m_data->text : nullptr; }
    bool empty() const { return !m_data || m_data->text[0] == '\0'; }
    SData* get() const { return m_data; }

private:
    static void grab(SData* d)
    {
        if (d)
            ++d->count;
    }
    static void drop(SData* d)
    {
        if (d && --d->count == 0)
            SData::release(d);
    }

    SData* m_data = nullptr;
};

} // namespace pravik::core
