// The name table of an engine enumeration: each enumeration provides an overload
// getStringsInternal(E*) in its own namespace returning its names in value order, closed by
// a null entry; getStrings<E>() finds it by argument-dependent lookup.
#pragma once

namespace pravik::core {

template <typename E>
const char* const* getStrings()
{
    return getStringsInternal(static_cast<E*>(nullptr));
}

} // namespace pravik::core
