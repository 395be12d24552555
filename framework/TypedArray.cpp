#include "framework/TypedArray.h"

#include "framework/AllocationHooks.h"
#include "framework/CByteReader.h"

int TypedArrayStoredSize(int header)
{
    const int kind = header & 7;
    const int code = (header >> 4) & 15;
    switch (kind) {
    case 0: return 1;
    case 1: return code == 0 ? 1 : 2;
    case 2: return code == 0 ? 1 : code == 1 ? 2 : 4;
    default: return 0;
    }
}

static bool refuse(std::string* why, const char* reason)
{
    if (why)
        *why = reason;
    return false;
}

bool ParseTypedArray(const uint8_t* data, size_t size, STypedArray& out, std::string* why)
{
    out = STypedArray();
    CByteReader in(data, size);
    const int header = in.u8();
    if (in.failed())
        return refuse(why, "empty file");
    out.header = header;
    out.kind = TypedArrayKind(header);
    out.wideCount = TypedArrayWideCount(header);
    out.storedSize = TypedArrayStoredSize(header);
    const int count = out.wideCount ? in.s16() : in.s8();
    if (in.failed())
        return refuse(why, "the count runs past the end of the file");
    if (out.kind > 2)
        return refuse(why, "element kind 3-7 builds no array");
    if (count < 0)
        return refuse(why, "negative element count");
    if (!in.has(size_t(count) * size_t(out.storedSize)))
        return refuse(why, "the elements run past the end of the file");
    out.count = count;
    out.values.resize(size_t(count));
    for (int32_t& v : out.values) {
        switch (out.storedSize) {
        case 1: v = in.u8(); break;
        case 2: v = in.s16(); break;
        default: v = in.s32(); break;
        }
    }
    return true;
}

template <class T>
static T* copyOut(const std::vector<int32_t>& values)
{
    T* p = new (__FILE__, __LINE__, 0, 0) T[values.size()];
    if (p)
        for (size_t i = 0; i < values.size(); ++i)
            p[i] = T(values[i]);
    return p;
}

void* NewTypedArrayElements(const STypedArray& array)
{
    if (array.values.empty())
        return nullptr;
    switch (array.kind) {
    case 0: return copyOut<unsigned char>(array.values);
    case 1: return copyOut<short>(array.values);
    case 2: return copyOut<int>(array.values);
    default: return nullptr;
    }
}
