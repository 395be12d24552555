#pragma once
// Options handed through attribute serialisation. Flag bit 2 asks render passes for their
// shader, scene nodes for their camera offset and layer, the global material parameters for
// their values only.

namespace pravik::io {

constexpr unsigned int EARWF_EXTENDED = 2;

struct SAttributeReadWriteOptions {
    unsigned int Flags = 0;
};

}  // namespace pravik::io
