// The program's owning array: a length and one block of zero-filled elements. Nests for two- and
// three-dimensional tables (CDataArray<CDataArray<short>> is a level map [x][y]); inner arrays start
// empty. No bounds test: elements are reached through data[i]. Never copied. Arrays of pointers
// own the pointer block only.
#pragma once

#include "framework/AllocationHooks.h"

template <typename T>
class CDataArray {
public:
    int length = 0;
    T* data = nullptr;

    CDataArray() = default;
    ~CDataArray()
    {
        delete[] data;
        data = nullptr;
    }
    CDataArray(const CDataArray&) = delete;
    CDataArray& operator=(const CDataArray&) = delete;

    // Replaces the elements with n zeroed ones. A negative count, or a refused allocation, leaves
    // the array empty.
    void NewArray(int n)
    {
        delete[] data;
        data = nullptr;
        length = 0;
        if (n < 0)
            return;
        data = n == 0 ? new T[0] : new (__FILE__, __LINE__, 1, 2) T[std::size_t(n)]();
        if (data)
            length = n;
    }
};
