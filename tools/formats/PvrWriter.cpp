#include "tools/formats/PvrWriter.h"

#include "tools/formats/Bytes.h"

namespace formats::pvr {

std::string File::bytes() const
{
    Bytes b;
    if (prefixed)
        b.raw(std::string_view("BTEXpvr", 8));
    b.u32(52).u32(height).u32(width).u32(mips).u32(flags).u32(dataSize).u32(bits);
    for (uint32_t mask : masks)
        b.u32(mask);
    b.raw("PVR!").u32(surfaces);
    return b.raw(data).data;
}

}  // namespace formats::pvr
