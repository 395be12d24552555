#pragma once
// Engine objects of one kind keyed by id, in ascending id order. The container owns what it
// holds: Erase, Clear and destruction destroy; Detach and a Merge into another hand over.
// Callers hold the matching AccessController.

#include <cstdint>
#include <functional>
#include <map>

#include "audio/Handlable.h"
#include "audio/KezMemory.h"

namespace kez {

struct HandleIdCompStruct {
    bool operator()(int64_t a, int64_t b) const { return a < b; }
};

class HandlableContainer {
public:
    using Map = std::map<int64_t, Handlable*, HandleIdCompStruct,
                         SAllocator<std::pair<const int64_t, Handlable*>>>;

    HandlableContainer() = default;
    HandlableContainer(const HandlableContainer&) = delete;
    HandlableContainer& operator=(const HandlableContainer&) = delete;
    ~HandlableContainer();

    int64_t GetFreeHandleId() { return m_nextId++; }  // ids start at 1 and are never reused
    Handlable* Find(int64_t id) const;                // null when absent
    void Add(Handlable* object);                      // replaces an entry of the same id, destroys nothing
    void Merge(HandlableContainer* other);            // adds every object of other; other unchanged
    Handlable* Detach(int64_t id);                    // removed, not destroyed; null when absent
    void Erase(int64_t id);                           // removed and destroyed
    void Clear();                                     // destroys everything
    void Reset() { m_map.clear(); }                   // forgets everything (after a Merge)
    size_t Size() const { return m_map.size(); }
    bool Empty() const { return m_map.empty(); }

    Map::iterator begin() { return m_map.begin(); }
    Map::iterator end() { return m_map.end(); }

private:
    Map m_map;
    int64_t m_nextId = 1;
};

}  // namespace kez
