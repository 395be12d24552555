// Process buffers: short-lived scratch memory from a 64 KiB stack-like heap, given back in
// roughly reverse order. Each block is framed by two size words (+N in use, -N free, N in
// 4-byte words, frame included); free space under the top is retracted at once and free
// holes merge with their neighbours. Requests that do not fit use operator new[] while
// "excess" is enabled. The heap has storage between the engine's init and exit steps.
// Main thread only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>

#include "engine/ELogLevel.h"

namespace pravik {
class ILogger;
} // namespace pravik

namespace pravik::core {

void* allocProcessBuffer(int size);      // 4-byte aligned; null only when full and excess is off
void releaseProcessBuffer(void* p);      // null is ignored; memory from outside the heap is delete[]d
int setProcessBufferHeapSize(int bytes); // 0 done (or nothing to do), 1 refused: blocks in use, 2 no memory
int getProcessBufferHeapSize();          // bytes of storage
int getProcessBufferHeapAvailableMemory(); // the largest request that still fits; -8 when none
bool isProcessBufferHeapExcessEnabled();
void setProcessBufferHeapExcessEnabled(bool enabled);
int dumpProcessBufferAllocations(ILogger* logger, ELOG_LEVEL level);   // blocks in use

// Switches the fall-back for a scope and restores the previous setting.
class SScopedEnableProcessBufferHeapExcess {
public:
    explicit SScopedEnableProcessBufferHeapExcess(bool enable) : m_previous(isProcessBufferHeapExcessEnabled())
    {
        setProcessBufferHeapExcessEnabled(enable);
    }
    ~SScopedEnableProcessBufferHeapExcess() { setProcessBufferHeapExcessEnabled(m_previous); }
    SScopedEnableProcessBufferHeapExcess(const SScopedEnableProcessBufferHeapExcess&) = delete;
    SScopedEnableProcessBufferHeapExcess& operator=(const SScopedEnableProcessBufferHeapExcess&) = delete;

private:
    bool m_previous;
};

// One process buffer of count elements, released when the holder goes. T must be trivial:
// the memory is raw.
template <typename T>
class SScopedProcessArray {
public:
    SScopedProcessArray() = default;
    explicit SScopedProcessArray(std::size_t count) { reset(count); }
    ~SScopedProcessArray() { releaseProcessBuffer(m_data); }
    SScopedProcessArray(const SScopedProcessArray&) = delete;
    SScopedProcessArray& operator=(const SScopedProcessArray&) = delete;

    // Gives back the old buffer and takes one of count elements; false when none was had.
    bool reset(std::size_t count)
    {
        releaseProcessBuffer(m_data);
        m_data = nullptr;
        m_count = 0;
        if (count == 0)
            return true;
        if (count > std::size_t(0x7ffffff0) / sizeof(T))
            return false;
        m_data = static_cast<T*>(allocProcessBuffer(int(count * sizeof(T))));
        m_count = m_data ? count : 0;
        return m_data != nullptr;
    }

    T* get() const { return m_data; }
    std::size_t size() const { return m_count; }
    T& operator[](std::size_t i) const { return m_data[i]; }

private:
    T* m_data = nullptr;
    std::size_t m_count = 0;
};

// A process buffer of count elements with a 32-bit shared count in front of the data; the
// last handle gives the block back. T must be trivial.
template <typename T>
class SSharedProcessArray {
public:
    SSharedProcessArray() = default;
    explicit SSharedProcessArray(std::size_t count)
    {
        if (count > (std::size_t(0x7ffffff0) - sizeof(Header)) / sizeof(T))
            return;
        m_header = static_cast<Header*>(allocProcessBuffer(int(sizeof(Header) + count * sizeof(T))));
        if (m_header) {
            m_header->count = 1;
            m_header->size = std::uint32_t(count);
        }
    }
    SSharedProcessArray(const SSharedProcessArray& o) : m_header(o.m_header) { grab(); }
    SSharedProcessArray& operator=(const SSharedProcessArray& o)
    {
        if (o.m_header != m_header) {
            SSharedProcessArray copy(o);
            std::swap(m_header, copy.m_header);
        }
        return *this;
    }
    ~SSharedProcessArray()
    {
        if (m_header && --m_header->count == 0)
            releaseProcessBuffer(m_header);
    }

    T* get() const { return m_header ? reinterpret_cast<T*>(m_header + 1) : nullptr; }
    std::size_t size() const { return m_header ? m_header->size : 0; }
    T& operator[](std::size_t i) const { return get()[i]; }
    explicit operator bool() const { return m_header != nullptr; }

private:
    struct Header {
        std::int32_t count;
        std::uint32_t size;
    };
    void grab()
    {
        if (m_header)
            ++m_header->count;
    }
    Header* m_header = nullptr;
};

} // namespace pravik::core
