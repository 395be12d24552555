#include "engine/scene/CAppendMeshBuffer.h"
#include "engine/video/material/BatchUtils.h"
#include "tests/engine/video/DriverTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

using namespace pravik;
using namespace pravik::video;

namespace {

class BatchUtilsTest : public ::testing::Test {
protected:
    boost::intrusive_ptr<IBuffer> indexBuffer(const std::vector<unsigned short>& v)
    {
        auto b = driver->createBuffer(EBT_INDEX, EBU_CLIENT_ONLY, unsigned(v.size() * 2), new unsigned char[v.size() * 2], true);
        std::memcpy(b->getData(), v.data(), v.size() * 2);
        return b;
    }
    std::vector<unsigned short> rewrite(const CPrimitiveStream& source, unsigned first, unsigned end, int offset)
    {
        CPrimitiveStream out(indexBuffer(std::vector<unsigned short>(30, 0xdead)), 0, 0, 0, 0, EIT_16BIT, EPT_TRIANGLES);
        const unsigned n = core::overridePrimitiveStream(source, first, end, out, 0, offset);
        const auto* p = static_cast<const unsigned short*>(out.IndexBuffer->getData());
        return std::vector<unsigned short>(p, p + 3 * n);
    }
    test::ProcessBufferHeap heap;
    boost::intrusive_ptr<CNullDriver> driver = test::makeNullDriver();
};

TEST_F(BatchUtilsTest, PrimitivesBecomeRebasedTriangleLists)
{
    using V = std::vector<unsigned short>;
    const struct {
        const char* why;
        CPrimitiveStream source;
        unsigned first, end;
        int offset;
        V expected;
    } cases[] = {
        {"indexed fan", CPrimitiveStream(indexBuffer({10, 11, 12, 13}), 0, 4, 10, 14, EIT_16BIT, EPT_TRIANGLE_FAN), 0, 2, 5,
         V{15, 16, 17, 15, 17, 18}},
        {"indexed strip keeps its winding", CPrimitiveStream(indexBuffer({0, 1, 2, 3}), 0, 4, 0, 4, EIT_16BIT, EPT_TRIANGLE_STRIP), 0,
         2, 0, V{0, 1, 2, 2, 1, 3}},
        {"indexed list copied", CPrimitiveStream(indexBuffer({3, 1, 2, 0, 2, 1}), 0, 6, 0, 4, EIT_16BIT, EPT_TRIANGLES), 0, 2, 0,
         V{3, 1, 2, 0, 2, 1}},
        {"non-indexed strip", CPrimitiveStream(nullptr, 0, 4, 0, 4, EIT_NONE, EPT_TRIANGLE_STRIP), 0, 2, 100,
         V{100, 101, 102, 101, 103, 102}},
        // Copied vertices 5..8 land at merged 20..23: the bakers pass 20 - 5 as the offset.
        {"non-indexed list not starting at 0", CPrimitiveStream(nullptr, 0, 3, 5, 8, EIT_NONE, EPT_TRIANGLES), 0, 1, 15,
         V{20, 21, 22}},
        {"quads write nothing", CPrimitiveStream(nullptr, 0, 4, 0, 4, EIT_NONE, EPT_QUADS), 0, 1, 0, V{}},
        {"indices past the buffer are not read", CPrimitiveStream(indexBuffer({0, 1, 2}), 0, 9, 0, 3, EIT_16BIT, EPT_TRIANGLES), 0,
         3, 0, V{0, 1, 2}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(rewrite(c.source, c.first, c.end, c.offset), c.expected);
    }
}

TEST_F(BatchUtilsTest, QuantisersScaleAndCentre)
{
    const core::vector3d<float> normal[1] = {{1.f, -1.f, 0.5f}};
    signed char q[3];
    core::quantize<char>(reinterpret_cast<unsigned char*>(q), 3, normal, 12, 1);
    EXPECT_EQ(q[0], 127);
    EXPECT_EQ(q[1], -127);
    EXPECT_EQ(q[2], 63);

    const core::vector3d<float> positions[2] = {{0, 0, 0}, {2, 4, 0}};
    short s[6];
    core::vector3d<float> scale, offset;
    core::quantizeScaleOffset(reinterpret_cast<unsigned char*>(s), 6, positions, 12, 2, scale, offset);
    const float r = float(0x10001) * std::ldexp(1.0f, -32);
    EXPECT_FLOAT_EQ(scale.X, 2 * r);
    EXPECT_FLOAT_EQ(scale.Y, 4 * r);
    EXPECT_EQ(scale.Z, 0.f);
    EXPECT_EQ(offset, core::vector3d<float>(1, 2, 0));
    EXPECT_EQ(std::vector<short>(s, s + 6), (std::vector<short>{-32767, -32767, 0, 32767, 32767, 0}));
}

TEST_F(BatchUtilsTest, ParameterComparisonRules)
{
    auto shader = test::addTestShader(*driver, "params",
                                      {{"f", ESPT_SHININESS, ESPVT_FLOAT}, {"i4", ESPT_CONSTANT, ESPVT_INT4},
                                       {"cf", ESPT_AMBIENT_COLOR, ESPVT_COLORF}, {"m", ESPT_TEXTURE_MATRIX, ESPVT_FLOAT4X4}},
                                      {EVA_POSITION});
    auto renderer = driver->getMaterialRendererManager()->get(test::buildRenderer(*driver, "params", shader));
    auto a = CMaterial::allocate(renderer), b = CMaterial::allocate(renderer);
    auto idOf = [&](const char* n) { return renderer->getParameterID(n); };
    a->setParameter(idOf("f"), 0, 1.f);
    b->setParameter(idOf("f"), 0, 2.f);
    EXPECT_FALSE(core::compareParameter(a, idOf("f"), b, idOf("f")));
    a->setParameter(idOf("i4"), 0, core::vector4d<int>(1, 2, 3, 4));
    b->setParameter(idOf("i4"), 0, core::vector4d<int>(1, 2, 3, 5));
    EXPECT_FALSE(core::compareParameter(a, idOf("i4"), b, idOf("i4")));
    a->setParameter(idOf("cf"), 0, SColorf(0.5f, 0.5f, 0.5f, 1.f));
    b->setParameter(idOf("cf"), 0, SColorf(0.5000005f, 0.5f, 0.5f, 1.f));
    EXPECT_TRUE(core::compareParameter(a, idOf("cf"), b, idOf("cf")));
    core::CMatrix4<float> flagged(core::EM4CONST_IDENTITY);
    a->setParameter(idOf("m"), 0, flagged);
    EXPECT_TRUE(core::compareParameter(a, idOf("m"), b, idOf("m")));

    core::copyParameter(b, idOf("f"), a, idOf("f"));
    EXPECT_TRUE(core::compareParameter(a, idOf("f"), b, idOf("f")));
}

TEST_F(BatchUtilsTest, AppendBufferLayoutAndLifecycle)
{
    scene::CAppendMeshBuffer buffer(1024, 256, driver.get(), EBU_CLIENT_ONLY, 0xffffffffu);
    EXPECT_EQ(buffer.VertexFill, 0u);
    EXPECT_EQ(buffer.VertexStride, 1u);
    EXPECT_EQ(buffer.IndexSize, 2u);
    EXPECT_EQ(buffer.getPrimitiveStream().PrimitiveType, EPT_TRIANGLES);
    EXPECT_EQ(buffer.getPrimitiveStream().IndexType, EIT_16BIT);
    buffer.configureStream(EVA_POSITION, 0, EVAVT_FLOAT, 3);
    buffer.configureStream(EVA_TEXCOORD0, 12, EVAVT_FLOAT, 2);
    buffer.configureStream(EVA_COLOR0, 20, EVAVT_UBYTE, 4);
    buffer.adjustStride(24);
    EXPECT_EQ(buffer.ConfiguredStreams, (std::vector<unsigned char>{0, 1, 18}));
    for (unsigned char s : buffer.ConfiguredStreams) EXPECT_EQ(buffer.getVertexStreams()->begin()[s].stride, 24);
    ASSERT_TRUE(buffer.map());
    buffer.VertexFill = 96;
    buffer.clear();
    EXPECT_TRUE(buffer.isMapped());  // clear keeps the mapping
    buffer.VertexFill = 96;
    auto copy = buffer.allocateConfiguredVertexStreams(buffer.VertexBuffer);
    EXPECT_EQ(copy->getVertexCount(), 4u);
    buffer.reset();
    EXPECT_FALSE(buffer.isMapped());
    EXPECT_TRUE(buffer.ConfiguredStreams.empty());
    EXPECT_FALSE(buffer.getVertexStreams()->begin()[EVA_COLOR0].buffer);
}

}  // namespace
