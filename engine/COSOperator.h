// The device's OS operator (count 1): the version text it was given; no clipboard, no
// hardware figures.
#pragma once

#include "engine/IOSOperator.h"
#include "engine/core/pravikString.h"

namespace pravik {

class COSOperator : public IOSOperator {
public:
    explicit COSOperator(const char* version);   // widened byte by byte

    const wchar_t* getOperationSystemVersion() const override { return m_version.c_str(); }
    void copyToClipboard(const char*) const override {}
    const char* getTextFromClipboard() const override { return nullptr; }
    bool getProcessorSpeedMHz(unsigned int*) const override { return false; }
    bool getSystemMemory(unsigned int*, unsigned int*) const override { return false; }

private:
    core::stringw m_version;
};

} // namespace pravik
