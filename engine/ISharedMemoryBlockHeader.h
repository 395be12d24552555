// Count-only header of shared blocks (materials, renderers, vertex-stream sets). It has no
// virtual table: T derives from ISharedMemoryBlockHeader<T> with the header first, and the
// last release runs T's destructor and frees the block with the global operator delete.
#pragma once

#include <boost/intrusive_ptr.hpp>

namespace pravik {

template <typename T>
class ISharedMemoryBlockHeader {
public:
    void grab() const { ++m_referenceCounter; }
    int getReferenceCount() const { return m_referenceCounter; }

    // Called by the release below; keeps the block's memory rule in one place.
    static void release(const ISharedMemoryBlockHeader* header)
    {
        if (--header->m_referenceCounter != 0)
            return;
        T* owner = static_cast<T*>(const_cast<ISharedMemoryBlockHeader*>(header));
        owner->~T();
        ::operator delete(static_cast<void*>(owner));
    }

protected:
    explicit ISharedMemoryBlockHeader(int startCount = 0) : m_referenceCounter(startCount) {}
    ISharedMemoryBlockHeader(const ISharedMemoryBlockHeader&) : m_referenceCounter(0) {}
    ISharedMemoryBlockHeader& operator=(const ISharedMemoryBlockHeader&) { return *this; }
    ~ISharedMemoryBlockHeader() = default;

private:
    mutable int m_referenceCounter;
};

template <typename T>
inline void intrusive_ptr_add_ref(const ISharedMemoryBlockHeader<T>* header) { header->grab(); }

template <typename T>
inline void intrusive_ptr_release(const ISharedMemoryBlockHeader<T>* header)
{
    ISharedMemoryBlockHeader<T>::release(header);
}

} // namespace pravik
