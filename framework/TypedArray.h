// Typed array files, little-endian:
//   u8 header h; count: s8 when bit 3 of h is clear, s16 when set; then count stored elements.
//   h bits 0-2: kind built in memory (0 bytes, 1 int16, 2 int32; 3-7 build nothing).
//   h bits 4-7: stored size code s. Kind 0 reads raw bytes. Kind 1: s = 0 u8, else int16.
//   Kind 2: s = 0 u8, s = 1 int16 (sign-extended), else int32.
// A negative count, a kind above 2 or a file shorter than its count is refused whole.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct STypedArray {
    int header = 0;
    int kind = 0;          // 0 bytes, 1 int16, 2 int32
    int storedSize = 1;    // bytes per stored element: 1, 2 or 4
    bool wideCount = false;
    int count = 0;
    std::vector<int32_t> values;   // every element, widened
};

inline int TypedArrayKind(int header) { return header & 7; }
inline bool TypedArrayWideCount(int header) { return (header & 8) != 0; }
// Bytes per stored element for a header, 0 for kinds that build nothing.
int TypedArrayStoredSize(int header);

// Fills out from a whole file; false with a one-line reason in why when it is refused.
bool ParseTypedArray(const uint8_t* data, size_t size, STypedArray& out, std::string* why = nullptr);

// The array the game keeps: new[] of bytes, int16 or int32 by kind, owned by the caller
// (delete[] through the element type). Null for an empty or refused array.
void* NewTypedArrayElements(const STypedArray& array);
