#pragma once
// A registry of named values with small dense ids: an id is the index of its slot, the lowest
// free id is reused first and trailing free slots are dropped, so the table stays short. Names
// live in an ordered index (byte-wise, case-sensitive) beside each entry's properties.
// insert and remove hold the mutex; every other operation is unlocked (main thread only).
// 0xffff is "no id".

#include <boost/intrusive_ptr.hpp>
#include <cstring>
#include <map>
#include <mutex>
#include <type_traits>  // before the allocator, which uses std::true_type
#include <vector>

#include "engine/core/SAllocator.h"

namespace pravik::core::detail {

namespace sidedcollection {

// Pointer registries: a slot is occupied while it holds an object; an entry is in use while
// something besides the registry holds a reference. The object must have getReferenceCount().
struct SValueTraits {
    template <class U>
    static bool isOccupied(const boost::intrusive_ptr<U>& value)
    {
        return value.get() != nullptr;
    }
    template <class U>
    static void reset(boost::intrusive_ptr<U>& value)
    {
        value.reset();
    }
    template <class U, class P>
    static bool isInUse(const boost::intrusive_ptr<U>& value, const P&)
    {
        return value->getReferenceCount() != 1;
    }
    template <class P>
    static const P& invalid()
    {
        static const P none;
        return none;
    }
};

// Properties of registries that keep nothing beside their values.
struct SNoProperties {
    void onRemove(void*, unsigned short) {}
};

}  // namespace sidedcollection

template <class T, class TId = unsigned short, bool Unused = false,
          class TProperties = sidedcollection::SNoProperties,
          class TValueTraits = sidedcollection::SValueTraits>
class SIDedCollection {
public:
    static constexpr TId InvalidId = TId(0xffff);

    // Index key; a managed key owns its characters (array new) and frees them with itself.
    class SName {
    public:
        explicit SName(const char* name) : m_name(name), m_managed(false) {}
        SName(const SName& other) : m_name(other.m_name), m_managed(false) {}  // a copy never owns
        SName& operator=(const SName&) = delete;
        ~SName()
        {
            if (m_managed) delete[] m_name;
        }
        void setManaged(bool managed) const { m_managed = managed; }
        const char* get() const { return m_name; }
        bool operator<(const SName& other) const { return std::strcmp(m_name, other.m_name) < 0; }

    private:
        const char* m_name;
        mutable bool m_managed;
    };

    struct SIdValue {
        explicit SIdValue(TId id) : properties(), id(id) {}
        TProperties properties;
        TId id;
    };

    using NameIndex =
        std::map<SName, SIdValue, std::less<SName>, SAllocator<std::pair<const SName, SIdValue>>>;
    using const_iterator = typename NameIndex::const_iterator;

    struct SEntry {
        T value;
        typename NameIndex::iterator position;
        bool indexed = false;
        void reset()
        {
            TValueTraits::reset(value);
            indexed = false;
        }
        void set(const T& v, typename NameIndex::iterator pos)
        {
            value = v;
            position = pos;
            indexed = true;
        }
    };

    SIDedCollection() = default;
    ~SIDedCollection() = default;  // releases every value and frees managed names; calls no onRemove
    SIDedCollection(const SIDedCollection&) = delete;
    SIDedCollection& operator=(const SIDedCollection&) = delete;

    // The new entry's id. A null name, a name that is already indexed and a full registry
    // (ids 0 to 0xfffe) are refused with 0xffff, a managed name handed over being freed then.
    TId insert(const char* name, const T& value, bool managedName);
    bool remove(TId id, bool force = false);  // in-use entries only go with force
    TId removeAll(bool force);                // how many were removed, in name order
    TId removeAll() { return removeAll(false); }
    TId removeUnused() { return removeAll(false); }
    bool rename(TId id, const char* name, bool managedName);  // properties start again from defaults

    const T& get(TId id) const;         // Invalid beyond the table
    TId getId(const char* name) const;  // 0xffff when not indexed
    TProperties& getProperties(TId id) { return m_slots[id].position->second.properties; }
    const TProperties& getProperties(TId id) const { return m_slots[id].position->second.properties; }
    const char* getName(TId id) const { return isOccupied(id) ? m_slots[id].position->first.get() : nullptr; }
    TId getMaxID() const { return TId(m_slots.size() - 1); }
    TId getNextId() const { return m_nextId; }
    TId size() const { return m_count; }
    const_iterator idBegin() const { return m_index.begin(); }
    const_iterator idEnd() const { return m_index.end(); }

    static const T& Invalid() { return TValueTraits::template invalid<T>(); }

protected:
    bool isOccupied(TId id) const { return id < m_slots.size() && m_slots[id].indexed; }

private:
    NameIndex m_index;
    std::vector<SEntry, SAllocator<SEntry>> m_slots;
    TId m_nextId = 0;
    TId m_count = 0;
    std::mutex m_mutex;
};

template <class T, class TId, bool U, class P, class V>
TId SIDedCollection<T, TId, U, P, V>::insert(const char* name, const T& value, bool managedName)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!name || m_nextId == InvalidId) {  // no name, or every id up to 0xfffe taken
        if (managedName) delete[] name;
        return InvalidId;
    }
    auto [pos, added] = m_index.emplace(std::piecewise_construct, std::forward_as_tuple(name),
                                        std::forward_as_tuple(m_nextId));
    if (!added) {
        if (managedName) delete[] name;
        return InvalidId;
    }
    if (managedName) pos->first.setManaged(true);
    const TId id = m_nextId;
    ++m_count;
    if (id < m_slots.size()) {
        m_slots[id].set(value, pos);
    } else {
        m_slots.emplace_back();
        m_slots.back().set(value, pos);
    }
    do {
        ++m_nextId;
    } while (m_nextId < m_slots.size() && m_slots[m_nextId].indexed);
    return id;
}

template <class T, class TId, bool U, class P, class V>
bool SIDedCollection<T, TId, U, P, V>::remove(TId id, bool force)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!isOccupied(id)) return false;
    SEntry& entry = m_slots[id];
    if (!force && V::isInUse(entry.value, entry.position->second.properties)) return false;
    entry.position->second.properties.onRemove(this, id);
    m_index.erase(entry.position);
    entry.reset();
    --m_count;
    if (id < m_nextId) m_nextId = id;
    size_t last = m_slots.size();
    while (last > 0 && !m_slots[last - 1].indexed) --last;
    if (last > 0) m_slots.resize(last);
    return true;
}

template <class T, class TId, bool U, class P, class V>
TId SIDedCollection<T, TId, U, P, V>::removeAll(bool force)
{
    TId removed = 0;
    for (auto it = m_index.begin(); it != m_index.end();) {
        auto next = std::next(it);
        if (remove(it->second.id, force)) ++removed;
        it = next;
    }
    return removed;
}

template <class T, class TId, bool U, class P, class V>
bool SIDedCollection<T, TId, U, P, V>::rename(TId id, const char* name, bool managedName)
{
    if (!name || !isOccupied(id)) return false;
    auto [pos, added] =
        m_index.emplace(std::piecewise_construct, std::forward_as_tuple(name), std::forward_as_tuple(id));
    if (!added) return false;
    m_index.erase(m_slots[id].position);
    if (managedName) pos->first.setManaged(true);
    m_slots[id].position = pos;
    return true;
}

template <class T, class TId, bool U, class P, class V>
const T& SIDedCollection<T, TId, U, P, V>::get(TId id) const
{
    if (id >= m_slots.size()) return V::template invalid<T>();
    return m_slots[id].value;
}

template <class T, class TId, bool U, class P, class V>
TId SIDedCollection<T, TId, U, P, V>::getId(const char* name) const
{
    if (!name) return InvalidId;
    auto it = m_index.find(SName(name));
    return it == m_index.end() ? InvalidId : it->second.id;
}

}  // namespace pravik::core::detail
