// The program's owning array: a length and one block of elements. Nests for two- and
// three-dimensional tables (CDataArray<CDataArray<short>> is a map indexed [x][y]).
// No bounds test: callers index data directly. Arrays are passed by reference, never copied.
#pragma once

#include <cstring>
#include <new>
#include <type_traits>

#include "framework/AllocationHooks.h"

template <class T>
class CDataArray {
public:
    int length = 0;
    T* data = nullptr;

    CDataArray() = default;
    CDataArray(const CDataArray&) = delete;
    CDataArray& operator=(const CDataArray&) = delete;
    ~CDataArray()
    {
        delete[] data;
        data = nullptr;
    }

    // Frees the old elements, then holds n zeroed elements (inner arrays start empty).
    // A negative n is taken as 0.
    void NewArray(int n)
    {
        delete[] data;
        data = nullptr;
        length = 0;
        if (n < 0)
            n = 0;
        // A zero-sized request still gets a block, as an empty table is not "no table".
        data = new (__FILE__, __LINE__, 0, 0) T[n > 0 ? n : 1]();
        if (!data)
            return;
        if constexpr (std::is_trivially_copyable_v<T>)
            std::memset(static_cast<void*>(data), 0, sizeof(T) * (n > 0 ? n : 1));
        length = n;
    }
};
