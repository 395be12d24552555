#include <gtest/gtest.h>

#include "engine/io/CAttributes.h"
#include "engine/io/CFileSystem.h"
#include "engine/io/CXMLAttributesReader.h"
#include "engine/io/CXMLAttributesWriter.h"
#include "engine/video/material/detail/renderpass/SRenderState.h"
#include "tests/support/TempDir.h"

using namespace pravik;
using namespace pravik::video;
using detail::renderpass::SRenderState;

namespace {

// Writes the store to an XML attribute file and reads it back into a fresh store.
void throughFile(io::IAttributes& in, io::CAttributes& out, const std::string& path)
{
    boost::intrusive_ptr<io::IFileSystem> fs(io::createFileSystem());
    io::IXMLWriter* writer = fs->createXMLWriter(path.c_str());
    ASSERT_NE(writer, nullptr);
    {
        io::CXMLAttributesWriter w(writer, true, nullptr);
        EXPECT_TRUE(w.write(&in));
    }
    writer->drop();
    io::IXMLReader* reader = fs->createXMLReader(path.c_str());
    ASSERT_NE(reader, nullptr);
    {
        io::CXMLAttributesReader r(reader, false, nullptr);
        EXPECT_TRUE(r.read(&out));
    }
    reader->drop();
}

SRenderState unusual()
{
    SRenderState s;
    s.word0 = 0x7A00FF53u;  // cull front, depth Greater, equation Min... ref 0xFF, mask 0
    s.set(0, 24, 3, EBE_MAX);
    s.word1 = 0x0FFF6DBCu;  // every flag set, modes Point/Line, stencil ops and function mixed
    s.set(1, 12, 2, EPM_POINT);
    s.set(1, 14, 2, EPM_LINE);
    s.blendColor = SColor(10, 20, 30, 40);
    s.lineWidth = 2.5f;
    s.pointSize = 7.0f;
    s.polygonOffsetFactor = -1.5f;
    s.polygonOffsetUnits = 3.0f;
    s.sampleCoverageValue = 0.25f;
    return s;
}

}  // namespace

TEST(SRenderState, NeutralStateWords)
{
    const SRenderState s;
    EXPECT_EQ(s.word0, 0x18FF0001u);
    EXPECT_EQ(s.word1, 0x00180007u);
    EXPECT_EQ(s.getBlendFactorSrc(), EBF_ONE);
    EXPECT_EQ(s.getBlendFactorDest(), EBF_ZERO);
    EXPECT_EQ(s.getDepthFunc(), ECF_LEQUAL);
    EXPECT_EQ(s.getStencilFunc(), ECF_ALWAYS);
    EXPECT_EQ(s.getStencilFuncMask(), 0xFF);
    EXPECT_TRUE(s.getDepthTestEnable());
    EXPECT_TRUE(s.getDepthMask());
    EXPECT_FALSE(s.getBlendEnable());
}

TEST(SRenderState, RoundTripsThroughStoresAndXmlFiles)
{
    test::TempDir dir;
    const SRenderState states[] = {SRenderState(), unusual()};
    for (const SRenderState& original : states) {
        SCOPED_TRACE(original.word0);
        io::CAttributes store(nullptr);
        original.serializeAttributes(&store);
        EXPECT_EQ(store.getAttributeCount(), 31);
        EXPECT_STREQ(store.getAttributeName(0), "BlendEnable");
        EXPECT_STREQ(store.getAttributeName(30), "StencilOpZPass");

        SRenderState inMemory;
        inMemory.word0 = inMemory.word1 = 0;
        inMemory.deserializeAttributes(&store);
        EXPECT_EQ(inMemory, original);

        io::CAttributes fromFile(nullptr);
        throughFile(store, fromFile, dir.file("state.xml"));
        SRenderState read;
        read.deserializeAttributes(&fromFile);
        EXPECT_EQ(read, original);
    }
    io::CAttributes store(nullptr);
    unusual().serializeAttributes(&store);
    EXPECT_STREQ(store.getEnum("BlendEquation"), "Max");
    EXPECT_STREQ(store.getEnum("PolygonModeFront"), "Point");
    EXPECT_EQ(store.getInt("StencilFuncRef"), 255);
    EXPECT_EQ(store.getInt("StencilFuncMask"), 0);
}

// Fields read one by one from a hand-made group: bytes keep 8 bits; an enumeration that is
// missing, unknown or too wide for its field keeps the value it had.
TEST(SRenderState, ReadingFieldsByTheirRules)
{
    const struct {
        const char* why;
        const char* name;
        const char* text;  // enumeration text, or null for an integer
        int number;
        unsigned word, shift, width, expected;
    } kCases[] = {
        {"stencil reference keeps 8 bits", "StencilFuncRef", nullptr, 300, 0, 8, 8, 44},
        {"stencil mask 0", "StencilFuncMask", nullptr, 0, 0, 16, 8, 0},
        {"known name", "DepthFunc", "Greater", 0, 0, 27, 3, ECF_GREATER},
        {"Separate does not fit 3 bits", "DepthFunc", "Separate", 0, 0, 27, 3, ECF_LEQUAL},
        {"unknown name", "BlendFactorSrc", "Sideways", 0, 0, 0, 4, EBF_ONE},
        {"missing name", "CullFace", "", 0, 0, 30, 2, EFS_BACK},
        {"stencil op Separate refused", "StencilOpFail", "Separate", 0, 1, 3, 3, ESO_KEEP},
        {"winding", "FrontFace", "Clockwise", 0, 1, 18, 1, EFW_CW},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.why);
        SRenderState reference;
        io::CAttributes store(nullptr);
        reference.serializeAttributes(&store);
        const int at = store.findAttribute(c.name);
        ASSERT_GE(at, 0);
        if (c.text) {
            const char* const* none = nullptr;
            store.setAttribute(at, c.text, none);
        } else {
            store.setAttribute(at, c.number);
        }
        SRenderState s;
        s.deserializeAttributes(&store);
        EXPECT_EQ(s.get(int(c.word), c.shift, c.width), c.expected);
        SRenderState others = s;  // nothing else moved
        others.set(int(c.word), c.shift, c.width, reference.get(int(c.word), c.shift, c.width));
        EXPECT_EQ(others, reference);
    }

    // An empty group: flags off, numbers and colour 0; enumerations keep their values.
    io::CAttributes empty(nullptr);
    SRenderState s;
    s.deserializeAttributes(&empty);
    EXPECT_FALSE(s.getDepthTestEnable());
    EXPECT_FALSE(s.getDepthMask());
    EXPECT_EQ(s.lineWidth, 0.0f);
    EXPECT_EQ(s.polygonOffsetUnits, 0.0f);
    EXPECT_EQ(s.blendColor, SColor(0, 0, 0, 0));
    EXPECT_EQ(s.getStencilFuncMask(), 0);
    EXPECT_EQ(s.getDepthFunc(), ECF_LEQUAL);
}
