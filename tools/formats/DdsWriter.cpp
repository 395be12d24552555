#include "tools/formats/DdsWriter.h"

#include "tools/formats/Bytes.h"

namespace formats::dds {

std::string File::bytes() const
{
    Bytes b;
    b.raw("DDS ").u32(124).u32(flags).u32(height).u32(width).u32(0).u32(depth).u32(mips).zeros(44);
    b.u32(32).u32(pfFlags).fixed(fourCC, 4).u32(bits);
    for (uint32_t mask : masks)
        b.u32(mask);
    b.u32(caps).u32(caps2).zeros(12);
    return b.raw(data).data;
}

}  // namespace formats::dds
