#pragma once
// Stored forms of the pointer fields of a relocated scene-file image. Every field keeps its
// 4-byte width: after relocation it holds a reference (an offset into the owning file's
// regions: the image from 0, then each streamed segment; bit 31 set for the dependency
// image), 0 for null. A reference becomes memory only through its res::File, which checks
// that the whole target lies inside one region, so a record read from a file never reaches
// outside the file's memory.

#include <cstdint>

namespace pravik::res {

template <class T>
struct Ptr {
    uint32_t ref = 0;
    bool isNull() const { return ref == 0; }
};

// {count, reference to count records}.
template <class T>
struct vector {
    int32_t count = 0;
    Ptr<T> data;
};

// Reference to zero-terminated characters.
struct String {
    uint32_t ref = 0;
    bool isNull() const { return ref == 0; }
};

static_assert(sizeof(Ptr<int>) == 4 && sizeof(vector<int>) == 8 && sizeof(String) == 4);

}  // namespace pravik::res
