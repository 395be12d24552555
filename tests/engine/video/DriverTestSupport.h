#pragma once
// What the driver tests share: a process-buffer heap for the test's lifetime and a null
// driver with its implementation data.

#include "engine/core/ProcessBuffer.h"
#include "engine/video/CNullDriver.h"

#include <gtest/gtest.h>

namespace test {

class ProcessBufferHeap {
public:
    ProcessBufferHeap() { pravik::core::setProcessBufferHeapSize(0x10000); }
    ~ProcessBufferHeap() { pravik::core::setProcessBufferHeapSize(0); }
};

inline boost::intrusive_ptr<pravik::video::CNullDriver> makeNullDriver()
{
    boost::intrusive_ptr<pravik::video::CNullDriver> driver(new pravik::video::CNullDriver(static_cast<pravik::IDevice*>(nullptr)), false);
    driver->initImplementationDependentData();
    return driver;
}

}  // namespace test
