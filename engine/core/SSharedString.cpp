#include "engine/core/SSharedString.h"

#include <algorithm>
#include <cstddef>
#include <boost/unordered_set.hpp>
#include <new>

#include "engine/Initialization.h"
#include "engine/os/Printer.h"

namespace pravik::core::detail {

SSharedStringHeapEntry::SData EmptyString = {1, {0, 0, 0, 0}};

namespace {

using SData = SSharedStringHeapEntry::SData;

struct SHash {
    std::size_t operator()(const SSharedStringHeapEntry& e) const { return sharedStringHash(e.text()); }
};

struct SEqual {
    bool operator()(const SSharedStringHeapEntry& a, const SSharedStringHeapEntry& b) const
    {
        if (!a.isKey() && !b.isKey())
            return a.data == b.data;
        return std::strcmp(a.text(), b.text()) == 0;
    }
};

using CSharedStringHeap = boost::unordered_set<SSharedStringHeapEntry, SHash, SEqual>;

CSharedStringHeap* g_heap = nullptr;

void sharedStringInitStep(bool start)
{
    if (start) {
        if (!g_heap) {
            g_heap = new CSharedStringHeap(11);
            g_heap->max_load_factor(1.0f);
        }
        return;
    }
    if (!g_heap)
        return;
    if (!g_heap->empty())
        os::Printer::log("Shared string objects not properly cleaned up", ELL_ERROR);
    // Blocks still held stay with their handles, which free them alone later.
    delete g_heap;
    g_heap = nullptr;
}

} // namespace

std::uint32_t sharedStringHash(const char* text)
{
    std::uint32_t h = 0;
    for (const char* p = text; *p; ++p) {
        const std::uint32_t c = std::uint32_t(std::int32_t(static_cast<signed char>(*p)));
        h ^= (h << 6) + c + 0x9e3779b9u + (h >> 2);
    }
    return h;
}

void SSharedStringHeapEntry::commit() const
{
    const std::size_t length = std::strlen(key);
    const std::size_t bytes = std::max<std::size_t>(length + 5, 8);
    auto* block = reinterpret_cast<SData*>(new char[bytes]);
    block->count = 0;
    std::memcpy(reinterpret_cast<char*>(block) + offsetof(SData, text), key, length + 1);
    data = block;
    key = nullptr;
}

SData* SSharedStringHeapEntry::SData::get(const char* text, bool insert)
{
    if (!text)
        return nullptr;
    if (!*text)
        return &EmptyString;
    if (!g_heap) {
        if (!insert)
            return nullptr;
        // Interning before the engine's init step (tools, tests) makes the heap early rather
        // than hand out blocks that would not compare equal.
        sharedStringInitStep(true);
    }
    SSharedStringHeapEntry key;
    key.key = text;
    if (!insert) {
        auto it = g_heap->find(key);
        return it == g_heap->end() ? nullptr : it->data;
    }
    auto [it, added] = g_heap->insert(key);
    if (added)
        it->commit();   // same text, same hash: the entry stays where it is
    return it->data;
}

void SSharedStringHeapEntry::SData::release(SData* data)
{
    if (!data || data == &EmptyString)
        return;
    if (g_heap && !g_heap->empty()) {
        SSharedStringHeapEntry stored;
        stored.data = data;
        auto it = g_heap->find(stored);
        if (it != g_heap->end())
            g_heap->erase(it);
    }
    delete[] reinterpret_cast<char*>(data);
}

void registerSharedStringHeapInit()
{
    static bool registered = false;
    if (registered)
        return;
    registered = true;
    registerInitStep(sharedStringInitStep);
}

std::size_t sharedStringHeapSize()
{
    return g_heap ? g_heap->size() : 0;
}

bool sharedStringHeapExists()
{
    return g_heap != nullptr;
}

namespace {
const bool g_registered = (registerSharedStringHeapInit(), true);
} // namespace

} // namespace pravik::core::detail

namespace pravik::core {

SSharedString& SSharedString::operator=(const char* text)
{
    SData* next = SData::get(text, true);
    grab(next);
    drop(m_data);
    m_data = next;
    return *this;
}

} // namespace pravik::core
