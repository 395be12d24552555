#pragma once
// Writes an attribute store as a block of some file format.

namespace pravik::io {

class IAttributes;

class IAttributesWriter {
public:
    virtual ~IAttributesWriter() = default;
    virtual bool write(IAttributes* attributes) = 0;  // false when the output could not be written
};

}  // namespace pravik::io
