#pragma once
// A side table from record references (non-zero offsets into a file's image) to run-time
// objects: open addressing over one array kept at most half full, so a lookup or an insertion
// probes a few slots and never allocates a node, whatever order the records come in.
// Reference 0 names no record and is never stored.

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace pravik::collada {

template <class T>
class CRecordTable {
public:
    T* find(uint32_t ref);  // null when absent
    const T* find(uint32_t ref) const { return const_cast<CRecordTable*>(this)->find(ref); }
    T* insert(uint32_t ref, T value);  // replaces what ref held; null (nothing stored) for 0
    void clear();                      // also gives the slots back
    void reserve(size_t count);        // room for count entries without growing
    size_t size() const { return m_size; }
    bool empty() const { return m_size == 0; }
    template <class F>
    void forEach(F f);  // f(ref, value&) for every entry, in no particular order

private:
    struct SSlot {
        uint32_t ref = 0;
        T value{};
    };
    size_t home(uint32_t ref) const { return size_t((ref * 0x9E3779B9u) >> m_shift); }
    void rehash(size_t slots);  // a power of two above twice the entries

    std::vector<SSlot> m_slots;  // empty or a power of two long
    size_t m_size = 0;
    unsigned m_shift = 32;
};

template <class T>
T* CRecordTable<T>::find(uint32_t ref)
{
    if (ref == 0 || m_slots.empty()) return nullptr;
    const size_t mask = m_slots.size() - 1;
    for (size_t i = home(ref);; i = (i + 1) & mask) {
        SSlot& slot = m_slots[i];
        if (slot.ref == ref) return &slot.value;
        if (slot.ref == 0) return nullptr;
    }
}

template <class T>
T* CRecordTable<T>::insert(uint32_t ref, T value)
{
    if (ref == 0) return nullptr;
    if ((m_size + 1) * 2 > m_slots.size()) rehash(m_slots.empty() ? 16 : m_slots.size() * 2);
    const size_t mask = m_slots.size() - 1;
    size_t i = home(ref);
    while (m_slots[i].ref != 0 && m_slots[i].ref != ref) i = (i + 1) & mask;
    SSlot& slot = m_slots[i];
    if (slot.ref == 0) ++m_size;
    slot.ref = ref;
    slot.value = std::move(value);
    return &slot.value;
}

template <class T>
void CRecordTable<T>::reserve(size_t count)
{
    size_t slots = 16;
    while (slots < count * 2) slots *= 2;
    if (slots > m_slots.size()) rehash(slots);
}

template <class T>
void CRecordTable<T>::rehash(size_t slots)
{
    std::vector<SSlot> old(slots);
    old.swap(m_slots);
    m_shift = 32;
    for (size_t n = m_slots.size(); n > 1; n >>= 1) --m_shift;
    const size_t mask = m_slots.size() - 1;
    for (SSlot& entry : old) {
        if (entry.ref == 0) continue;
        size_t i = home(entry.ref);
        while (m_slots[i].ref != 0) i = (i + 1) & mask;
        m_slots[i].ref = entry.ref;
        m_slots[i].value = std::move(entry.value);
    }
}

template <class T>
void CRecordTable<T>::clear()
{
    std::vector<SSlot>().swap(m_slots);
    m_size = 0;
    m_shift = 32;
}

template <class T>
template <class F>
void CRecordTable<T>::forEach(F f)
{
    for (SSlot& slot : m_slots)
        if (slot.ref != 0) f(slot.ref, slot.value);
}

}  // namespace pravik::collada
