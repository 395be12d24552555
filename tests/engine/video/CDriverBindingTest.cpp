#include "engine/video/CDriverBinding.h"
#include "engine/video/material/CVertexStreams.h"
#include "tests/engine/video/DriverTestSupport.h"

#include <gtest/gtest.h>

using namespace pravik;
using namespace pravik::video;

namespace {

class DriverProcessBufferTest : public ::testing::Test {
protected:
    boost::intrusive_ptr<CVertexStreams> positionsAndColours()
    {
        auto s = CVertexStreams::allocate((1u << EVA_POSITION) | (1u << EVA_COLOR0));
        SVertexStream* p = s->getStream(EVA_POSITION);
        p->valueType = EVAVT_FLOAT;
        p->componentCount = 3;
        SVertexStream* c = s->getStream(EVA_COLOR0);
        c->valueType = EVAVT_UBYTE;
        c->componentCount = 4;
        return s;
    }
    const unsigned mask = (1u << EVA_POSITION) | (1u << EVA_COLOR0);
    test::ProcessBufferHeap heap;
    boost::intrusive_ptr<CNullDriver> driver = test::makeNullDriver();
};

TEST_F(DriverProcessBufferTest, InterleavedLayoutOfTheMask)
{
    auto s = positionsAndColours();
    EXPECT_EQ(detail::getStrides(mask, *s), 16);
    EXPECT_EQ(s->getStream(EVA_POSITION)->offset, 0u);
    EXPECT_EQ(s->getStream(EVA_COLOR0)->offset, 12u);
}

TEST_F(DriverProcessBufferTest, FrameBuffersComeFromThePoolAndGoBack)
{
    const size_t pool = driver->getProcessBufferPoolSize();
    auto s = positionsAndColours();
    EXPECT_EQ(driver->getProcessBuffer(EPBT_FRAME, 5, 5, mask, s, nullptr, true), EDAR_NOTHING);
    EXPECT_EQ(driver->getProcessBufferPoolSize(), pool);

    EXPECT_EQ(driver->getProcessBuffer(EPBT_FRAME, 10, 20, mask, s, nullptr, true), EDAR_SUCCESS);
    EXPECT_EQ(driver->getProcessBufferPoolSize(), pool - 1);
    ASSERT_TRUE(s->getStream(EVA_POSITION)->buffer);
    EXPECT_EQ(s->getStream(EVA_POSITION)->buffer->getSize(), 160u);
    // Vertex 10 lands at the start of the buffer.
    EXPECT_EQ(int(s->getStream(EVA_POSITION)->offset) + 10 * 16, 0);
    auto t = positionsAndColours();
    EXPECT_EQ(driver->getProcessBuffer(EPBT_FRAME, 0, 4, mask, t, nullptr, true), EDAR_SUCCESS);  // the pool grows

    driver->releaseProcessBuffer(EPBT_FRAME, s, 10, mask, nullptr);
    driver->releaseProcessBuffer(EPBT_FRAME, t, 0, mask, nullptr);
    EXPECT_EQ(driver->getProcessBufferPoolSize(), pool + 1);
    EXPECT_FALSE(s->getStream(EVA_POSITION)->buffer);
    EXPECT_EQ(core::getProcessBufferHeapAvailableMemory(), core::getProcessBufferHeapSize() - 8);
}

TEST_F(DriverProcessBufferTest, BindingBuffersPersistForTheirRange)
{
    auto s = positionsAndColours();
    CDriverBinding* binding = nullptr;
    EXPECT_EQ(driver->getProcessBuffer(EPBT_BINDING, 0, 8, mask, s, &binding, true), EDAR_SUCCESS);
    ASSERT_NE(binding, nullptr);
    IBuffer* first = binding->Buffer.get();
    EXPECT_EQ(driver->getProcessBuffer(EPBT_BINDING, 0, 8, mask, s, &binding, true), EDAR_SUCCESS);
    EXPECT_EQ(binding->Buffer.get(), first);
    EXPECT_EQ(driver->getProcessBuffer(EPBT_BINDING, 0, 9, mask, s, &binding, false), EDAR_MISMATCH);
    // A frame request on a binding that already has client data is not needed.
    EXPECT_EQ(driver->getProcessBuffer(EPBT_FRAME, 0, 8, mask, s, &binding, true), EDAR_NOT_NEEDED);
    delete binding;
}

}  // namespace
