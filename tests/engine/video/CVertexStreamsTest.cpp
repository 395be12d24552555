#include <gtest/gtest.h>

#include <vector>

#include "engine/video/material/CVertexAttributeMap.h"
#include "engine/video/material/CVertexStreams.h"

using namespace pravik;
using namespace pravik::video;

namespace {

// Client memory only: no device copy, so every mapping is of the data itself.
class CClientBuffer : public IBuffer {
public:
    explicit CClientBuffer(unsigned size)
        : IBuffer(EBT_VERTEX, EBU_CLIENT_ONLY, size, new unsigned char[size](), 1)
    {
    }

protected:
    void bindImpl(bool) override {}
    void unbindImpl() override {}
    void* mapImpl(unsigned) const override { return nullptr; }
    void unmapImpl() const override {}
    void* getMappedPtr() const override { return nullptr; }
    boost::intrusive_ptr<IBuffer> cloneImpl() const override { return new CClientBuffer(getSize()); }
};

boost::intrusive_ptr<IBuffer> buffer(unsigned size) { return new CClientBuffer(size); }

constexpr unsigned bit(unsigned a) { return 1u << a; }

}  // namespace

TEST(CVertexStreams, AllocateFormsFixMaskRecordsAndTable)
{
    const struct {
        const char* why;
        boost::intrusive_ptr<CVertexStreams> set;
        unsigned mask;
        unsigned records, texCoordSets;
    } kCases[] = {
        {"allocate(0): position only", CVertexStreams::allocate(0u), 1u, 1, 0},
        {"allocate(mask) counts texture sets",
         CVertexStreams::allocate(bit(EVA_TEXCOORD0) | bit(EVA_TEXCOORD0 + 3) | bit(EVA_NORMAL)),
         1u | bit(1) | bit(4) | bit(17), 4, 2},
        {"allocate(2, Normal)", CVertexStreams::allocate((unsigned char)2, bit(EVA_NORMAL)), 0x20007u, 4, 2},
        {"allocate(n, mask) drops bits 30 and 31",
         CVertexStreams::allocate((unsigned char)0, 0xC0000000u | bit(EVA_COLOR0)), 1u | bit(EVA_COLOR0), 2,
         0},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.why);
        ASSERT_TRUE(c.set);
        EXPECT_EQ(c.set->getAttributeMask(), c.mask);
        EXPECT_EQ(c.set->getStreamCount(), c.records);
        EXPECT_EQ(unsigned(c.set->end() - c.set->begin()), c.records);
        EXPECT_EQ(c.set->getTexCoordSetCount(), c.texCoordSets);
        EXPECT_EQ(c.set->getFlags(), 3);
        EXPECT_EQ(c.set->getVertexCount(), 0u);
        EXPECT_EQ(c.set->begin()->attribute, EVA_POSITION);
        unsigned previous = 0;
        for (const SVertexStream* s = c.set->begin(); s != c.set->end(); ++s) {
            EXPECT_TRUE(s == c.set->begin() || s->attribute > previous);
            EXPECT_EQ(s->valueType, EVAVT_NONE);
            previous = s->attribute;
        }
        for (unsigned i = 0; i <= c.texCoordSets; ++i) {
            EXPECT_EQ(c.set->getScaleAndOffsets()[i].scale, core::vector3d<float>(0, 0, 0));
            EXPECT_EQ(c.set->getScaleAndOffsets()[i].offset, core::vector3d<float>(0, 0, 0));
        }
    }
}

TEST(CVertexStreams, InterleavedLayoutsUseDefaultFormats)
{
    const unsigned setMask = bit(EVA_TEXCOORD0) | bit(EVA_COLOR0) | bit(EVA_NORMAL);  // plus Position
    const struct {
        const char* why;
        unsigned mask;
        unsigned short size;
        std::vector<int> offsets;  // per record (Position, TexCoord0, Normal, Color0); -1 blank
    } kCases[] = {
        {"position, texcoord0, color0", 0x40003u, 24, {0, 12, -1, 20}},
        {"all four", 0x60003u, 36, {0, 12, 20, 32}},
        {"an attribute the set lacks is ignored", 0x40001u | bit(EVA_TANGENT0), 16, {0, -1, -1, 12}},
        {"empty mask blanks every record", 0u, 0, {-1, -1, -1, -1}},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.why);
        auto set = CVertexStreams::allocate(setMask);
        set->setFlags(0);
        auto vb = buffer(256);
        EXPECT_EQ(set->setupStreams(vb, c.mask), c.size);
        EXPECT_EQ(set->getFlags() & 1, 1);
        unsigned k = 0;
        for (const SVertexStream* s = set->begin(); s != set->end(); ++s, ++k) {
            SCOPED_TRACE(k);
            if (c.offsets[k] < 0) {
                EXPECT_FALSE(s->buffer);
                EXPECT_EQ(s->valueType, EVAVT_NONE);
                EXPECT_EQ(s->stride, 0);
            } else {
                EXPECT_EQ(s->buffer, vb);
                EXPECT_EQ(int(s->offset), c.offsets[k]);
                EXPECT_EQ(s->stride, c.size);
            }
        }
        EXPECT_EQ(set->getActiveAttributeMask(), c.mask & (setMask | 1u));
    }
}

TEST(CVertexStreams, CopyStreamsCopiesOnlyMatchingFormatsAcrossStrides)
{
    auto source = CVertexStreams::allocate(bit(EVA_NORMAL));
    auto dest = CVertexStreams::allocate(bit(EVA_NORMAL));
    auto sb = buffer(256), db = buffer(256);
    source->setupStreams(sb, 0x20001u);  // position 0, normal 12, stride 24
    SVertexStreamData layout[2];
    layout[0] = {db, 0, EVAVT_SHORT, 3, 8};    // position as shorts: formats differ
    layout[1] = {db, 64, EVAVT_FLOAT, 3, 16};  // normal as floats, another stride
    dest->setupStreams(layout, 0x20001u, false);

    auto* src = static_cast<float*>(sb->getData());
    for (int v = 0; v < 3; ++v)
        for (int c = 0; c < 3; ++c) src[v * 6 + 3 + c] = float(10 * v + c);

    EXPECT_EQ(dest->copyStreams(*source, 1, 3, 0, ~0u), bit(EVA_NORMAL));
    const auto* out = reinterpret_cast<const float*>(static_cast<const unsigned char*>(db->getData()) + 64);
    EXPECT_EQ(out[0], 10.0f);
    EXPECT_EQ(out[2], 12.0f);
    EXPECT_EQ(out[4], 20.0f);
    EXPECT_EQ(out[6], 22.0f);
    EXPECT_EQ(sb->getMapState(), 0);
    EXPECT_EQ(db->getMapState(), 0);
}

TEST(CVertexStreams, HomogeneityIgnoresMissingBuffersOnlyWhenUpdating)
{
    auto set = CVertexStreams::allocate(bit(EVA_TEXCOORD0) | bit(EVA_NORMAL));
    SVertexStreamData layout[3] = {
        {buffer(16), 0, EVAVT_FLOAT, 3, 12}, {}, {buffer(16), 0, EVAVT_FLOAT, 3, 12}};
    set->setupStreams(layout, ~0u, false);
    EXPECT_EQ(set->getFlags() & 1, 1);  // A, none, B: neighbours never both buffered and different
    EXPECT_FALSE(set->isHomogeneous(~0u));
    EXPECT_TRUE(set->isHomogeneous(1u));
    set->updateHomogeneityInternal(true);
    EXPECT_EQ(set->getFlags() & 1, 0);
    set->updateStatesInternal(false);
    EXPECT_EQ(set->getFlags() & 3, 3);  // neighbours never differ; both buffers keep client data
    set->updateStatesInternal(true);
    EXPECT_EQ(set->getFlags() & 3, 2);

    auto adjacent = CVertexStreams::allocate(bit(EVA_NORMAL));
    SVertexStreamData two[2] = {{buffer(16), 0, EVAVT_FLOAT, 3, 12}, {buffer(16), 0, EVAVT_FLOAT, 3, 12}};
    adjacent->setupStreams(two, ~0u, false);
    EXPECT_EQ(adjacent->getFlags() & 1, 0);
    adjacent->updateStatesInternal(false);
    EXPECT_EQ(adjacent->getFlags() & 3, 2);
}

TEST(CVertexStreams, CloneSharesBuffersAndSetStreamsOffsets)
{
    auto set = CVertexStreams::allocate(bit(EVA_COLOR0));
    auto vb = buffer(64);
    set->setupStreams(vb, ~0u);
    set->setVertexCount(2);
    auto copy = set->clone();
    EXPECT_EQ(copy->begin()->buffer, vb);
    EXPECT_EQ(copy->getVertexCount(), 2u);
    EXPECT_EQ(vb->getReferenceCount(), 5);  // ours and two records in each set

    auto other = CVertexStreams::allocate(bit(EVA_COLOR0) | bit(EVA_NORMAL));
    EXPECT_EQ(other->setStreams(*set, ~0u, 8, false), 1u | bit(EVA_COLOR0));
    EXPECT_EQ(other->getStream(EVA_COLOR0)->offset, 20u);
    EXPECT_EQ(other->getStream(EVA_NORMAL)->buffer, nullptr);
}

TEST(CVertexAttributeMap, MapsSlotsToRecords)
{
    auto set = CVertexStreams::allocate(bit(EVA_NORMAL) | bit(EVA_COLOR0));
    CVertexAttributeMap map(*set);
    for (unsigned slot = 0; slot < EVA_COUNT; ++slot) {
        SCOPED_TRACE(slot);
        const int expected = slot == 0 ? 0 : slot == EVA_NORMAL ? 1 : slot == EVA_COLOR0 ? 2 : 0xff;
        EXPECT_EQ(map[slot], expected);
    }

    const unsigned char twice[] = {0, EVA_POSITION, 1, EVA_POSITION, 5, EVA_TANGENT0};
    auto single = CVertexStreams::allocate(0u);
    CVertexAttributeMap sequential(single.get(), 3, twice, true);
    EXPECT_EQ(sequential[0], 0);
    EXPECT_EQ(sequential[1], 0);     // the search resumes at the previous hit
    EXPECT_EQ(sequential[5], 0xff);  // no record: the entry keeps its value
}

TEST(ComputeBoundingBox, ComparesInTheValueType)
{
    const unsigned char bytes[] = {200, 1, 2, 10, 3, 4};
    const float floats[] = {1, 2, 9, -1, 5, 9};
    const struct {
        const char* why;
        const void* data;
        unsigned type, components, stride, count;
        core::aabbox3d<float> box;
    } kCases[] = {
        {"unsigned bytes", bytes, EVAVT_UBYTE, 3, 3, 2, {{10, 1, 2}, {200, 3, 4}}},
        {"signed bytes", bytes, EVAVT_BYTE, 3, 3, 2, {{-56, 1, 2}, {10, 3, 4}}},
        {"two components leave z at 0", floats, EVAVT_FLOAT, 2, 12, 2, {{-1, 2, 0}, {1, 5, 0}}},
        {"one vertex is a point", floats, EVAVT_FLOAT, 3, 12, 1, {{1, 2, 9}, {1, 2, 9}}},
        {"no vertices", floats, EVAVT_FLOAT, 3, 12, 0, {{0, 0, 0}, {0, 0, 0}}},
        {"stride 0 reads one vertex", floats, EVAVT_FLOAT, 3, 0, 2, {{1, 2, 9}, {1, 2, 9}}},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.why);
        core::aabbox3d<float> box({7, 7, 7}, {8, 8, 8});
        core::computeBoundingBox(c.data, c.type, c.components, c.stride, c.count, box);
        EXPECT_EQ(box, c.box);
    }
    core::aabbox3d<float> untouched({7, 7, 7}, {8, 8, 8});
    core::computeBoundingBox(floats, 9, 3, 12, 2, untouched);
    EXPECT_EQ(untouched.MinEdge.X, 7);
}

TEST(CVertexStreams, BoundingBoxAppliesPositionQuantisation)
{
    auto set = CVertexStreams::allocate(0u);
    auto vb = buffer(12);
    SVertexStreamData layout[1] = {{vb, 0, EVAVT_SHORT, 3, 6}};
    set->setupStreams(layout, 1u, false);
    const short points[6] = {-2, 0, 4, 6, 8, 1};
    std::memcpy(vb->getData(), points, sizeof(points));
    set->getScaleAndOffsets()[0] = {{0.5f, 1, 2}, {1, 0, -1}};
    set->setFlags(set->getFlags() | 4);
    core::aabbox3d<float> box;
    set->computeBoundingBox(0, 2, box);
    EXPECT_EQ(box.MinEdge, core::vector3d<float>(0, 0, 1));
    EXPECT_EQ(box.MaxEdge, core::vector3d<float>(4, 8, 7));
    EXPECT_EQ(vb->getMapState(), 0);
}
