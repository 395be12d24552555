#include "engine/core/ProcessBuffer.h"

#include <cstdint>
#include <cstdio>
#include <new>

#include "engine/ILogger.h"
#include "engine/Initialization.h"
#include "engine/core/SSharedString.h"
#include "engine/os/Printer.h"
#include "engine/thread/CMutex.h"

namespace pravik::core {

namespace {

using Word = std::int32_t;

class CProcessBufferHeap {
public:
    ~CProcessBufferHeap();

    void* alloc(int size);
    void release(void* p);
    int resize(int bytes, bool force);
    int size() const { return int(m_end - m_begin) * 4; }
    int available() const { return int(((m_end - m_top) * 4) & ~std::ptrdiff_t(3)) - 8; }
    int dump(ILogger* logger, ELOG_LEVEL level) const;

    bool excessEnabled = true;

private:
    bool contains(const void* p) const
    {
        // Compared as integers: pointers into other allocations may not be ordered against ours.
        const auto a = reinterpret_cast<std::uintptr_t>(p);
        return m_begin && a >= reinterpret_cast<std::uintptr_t>(m_begin) && a < reinterpret_cast<std::uintptr_t>(m_end);
    }
    void freeStorage();

    Word* m_storage = nullptr;   // the sentinel word, then the usable words
    Word* m_begin = nullptr;
    Word* m_end = nullptr;
    Word* m_top = nullptr;
    int m_defaultSize = 0;       // storage is never made on demand
    thread::CMutex m_mutex;      // kept for the heap's shape; the heap belongs to the main thread
};

CProcessBufferHeap& heap()
{
    static CProcessBufferHeap instance;
    return instance;
}

void* CProcessBufferHeap::alloc(int size)
{
    if (size < 0)
        return nullptr;
    const std::int64_t words = (std::int64_t(size) + 3) / 4 + 2;
    if (m_end - m_top < words) {
        if (!excessEnabled)
            return nullptr;
        return ::operator new[](std::size_t(size), std::nothrow);
    }
    Word* block = m_top;
    block[0] = Word(words);
    m_top += words;
    m_top[-1] = Word(words);
    return block + 1;
}

void CProcessBufferHeap::release(void* p)
{
    if (!p)
        return;
    if (!contains(p)) {
        ::operator delete[](p);
        return;
    }
    Word* block = static_cast<Word*>(p) - 1;
    Word n = block[0];
    // A block given back twice (or a pointer into the middle of one) would corrupt the chain.
    if (n < 2 || block + n > m_top || block[n - 1] != n) {
        os::Printer::log("releaseProcessBuffer: not a block in use", ELL_ERROR);
        return;
    }
    block[0] = block[n - 1] = -n;

    if (m_top[-1] < 0) {
        // The top block: retract over it and over a free block right below it.
        m_top += m_top[-1];
        if (m_top[-1] < 0)
            m_top += m_top[-1];
        return;
    }
    if (block[-1] < 0) {   // the sentinel 0 stops this at the bottom
        const Word below = -block[-1];
        block -= below;
        n += below;
    }
    if (block[n] < 0)
        n += -block[n];
    block[0] = block[n - 1] = -n;
}

void CProcessBufferHeap::freeStorage()
{
    delete[] m_storage;
    m_storage = m_begin = m_end = m_top = nullptr;
}

int CProcessBufferHeap::resize(int bytes, bool force)
{
    if (bytes < 0)
        bytes = 0;
    const std::int64_t words = (std::int64_t(bytes) + 3) / 4;
    if (m_storage) {
        if (m_end - m_begin == words)
            return 0;
        if (m_top > m_begin && !force)
            return 1;
        freeStorage();
    }
    if (words == 0)
        return 0;
    m_storage = new (std::nothrow) Word[std::size_t(words) + 1];
    if (!m_storage)
        return 2;
    m_storage[0] = 0;
    m_begin = m_top = m_storage + 1;
    m_end = m_begin + words;
    return 0;
}

int CProcessBufferHeap::dump(ILogger* logger, ELOG_LEVEL level) const
{
    int inUse = 0;
    for (const Word* block = m_begin; block && block < m_top;) {
        const Word n = block[0] < 0 ? -block[0] : block[0];
        if (n <= 0)
            break;   // never happens in a sound heap; stops a corrupt one from looping
        if (block[0] > 0) {
            ++inUse;
            if (logger) {
                char line[64];
                std::snprintf(line, sizeof(line), "0x%08lx: %8d", (unsigned long)(std::uintptr_t)(block + 1),
                              (n - 2) * 4);
                logger->log(line, level);
            }
        }
        block += n;
    }
    return inUse;
}

CProcessBufferHeap::~CProcessBufferHeap()
{
    if (resize(0, false) == 1) {
        os::Printer::log("Destroying process buffer heap with allocated blocks:", ELL_ERROR);
        dump(os::Printer::Logger, ELL_ERROR);
        freeStorage();
    }
}

void processBufferInitStep(bool start)
{
    if (start) {
        setProcessBufferHeapSize(0x10000);
        return;
    }
    if (setProcessBufferHeapSize(0) == 1) {
        os::Printer::log("Freeing process buffer heap would fail due to the following allocated blocks:", ELL_ERROR);
        dumpProcessBufferAllocations(os::Printer::Logger, ELL_ERROR);
        os::Printer::log("Freeing anyways (at Pravik exit)", ELL_ERROR);
        heap().resize(0, true);
    }
}

// The shared-string step goes first whatever order the units start in.
const bool g_registered = (detail::registerSharedStringHeapInit(), registerInitStep(processBufferInitStep), true);

} // namespace

void* allocProcessBuffer(int size) { return heap().alloc(size); }
void releaseProcessBuffer(void* p) { heap().release(p); }
int setProcessBufferHeapSize(int bytes) { return heap().resize(bytes, false); }
int getProcessBufferHeapSize() { return heap().size(); }
int getProcessBufferHeapAvailableMemory() { return heap().available(); }
bool isProcessBufferHeapExcessEnabled() { return heap().excessEnabled; }
void setProcessBufferHeapExcessEnabled(bool enabled) { heap().excessEnabled = enabled; }
int dumpProcessBufferAllocations(ILogger* logger, ELOG_LEVEL level) { return heap().dump(logger, level); }

} // namespace pravik::core
