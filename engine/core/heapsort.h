// In-place heap sort by the element type's less-than; ascending, not stable. The exact sift
// order is kept because lookups by bisection rely on which of several equal keys lands first.
#pragma once

#include <cstdint>

namespace pravik::core {

namespace detail {

// Sinks element e of the one-based view (element i of the view is array[i - 1]) below the
// bound m.
template <typename T>
inline void heapsink(T* array, std::int32_t e, std::int32_t m)
{
    while (2 * e < m) {
        std::int32_t j = 2 * e;
        if (j + 1 < m && array[j - 1] < array[j])
            ++j;
        if (!(array[e - 1] < array[j - 1]))
            return;
        T t = array[j - 1];
        array[j - 1] = array[e - 1];
        array[e - 1] = t;
        e = j;
    }
}

} // namespace detail

template <typename T>
inline void heapsort(T* array, std::int32_t count)
{
    if (!array || count < 2)
        return;
    for (std::int32_t i = (count - 1) / 2; i >= 0; --i)
        detail::heapsink(array, i + 1, count + 1);
    for (std::int32_t i = count - 1; i >= 0; --i) {
        T t = array[0];
        array[0] = array[i];
        array[i] = t;
        detail::heapsink(array, 1, i + 1);
    }
}

} // namespace pravik::core
