// Questions about the operating system. Only the version text is known on this platform.
#pragma once

#include "engine/IReferenceCounted.h"

namespace pravik {

class IOSOperator : public IReferenceCounted {
public:
    virtual const wchar_t* getOperationSystemVersion() const = 0;
    virtual void copyToClipboard(const char* text) const = 0;
    virtual const char* getTextFromClipboard() const = 0;                        // null: no clipboard
    virtual bool getProcessorSpeedMHz(unsigned int* mhz) const = 0;               // false: unknown
    virtual bool getSystemMemory(unsigned int* total, unsigned int* available) const = 0;

protected:
    explicit IOSOperator(int startCount = 1) : IReferenceCounted(startCount) {}
};

} // namespace pravik
