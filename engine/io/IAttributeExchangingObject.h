#pragma once
// An object that writes its settings into an attribute store and reads them back by name.
// Derives virtually from the counted base so that classes with a second counted base (GUI
// elements, scene nodes) keep one count.

#include "engine/IReferenceCounted.h"
#include "engine/io/IAttributes.h"
#include "engine/io/SAttributeReadWriteOptions.h"

namespace pravik::io {

class IAttributeExchangingObject : public virtual IReferenceCounted {
public:
    virtual void serializeAttributes(IAttributes* out, SAttributeReadWriteOptions* options = nullptr) const
    {
        (void)out, (void)options;
    }
    virtual void deserializeAttributes(IAttributes* in, SAttributeReadWriteOptions* options = nullptr)
    {
        (void)in, (void)options;
    }
};

}  // namespace pravik::io
