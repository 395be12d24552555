#pragma once
// Fills an attribute store from a block of some file format.

namespace pravik::io {

class IAttributes;

class IAttributesReader {
public:
    virtual ~IAttributesReader() = default;
    virtual bool read(IAttributes* attributes) = 0;  // replaces the store's whole content
};

}  // namespace pravik::io
