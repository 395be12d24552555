#include "engine/collada/CAnimationStreamingManager.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

using namespace pravik;
using namespace pravik::collada;

namespace {

// Key data of one segment: n, descriptors {count, offset from the offset field}, then arrays.
std::vector<unsigned char> keyData(const std::vector<std::vector<std::int32_t>>& arrays)
{
    std::vector<std::uint32_t> words{std::uint32_t(arrays.size())};
    std::uint32_t payload = 4 + 8 * std::uint32_t(arrays.size());
    for (std::size_t i = 0; i < arrays.size(); ++i) {
        const std::uint32_t field = 8 + 8 * std::uint32_t(i);
        words.push_back(std::uint32_t(arrays[i].size()));
        words.push_back(payload - field);
        payload += 4 * std::uint32_t(arrays[i].size());
    }
    for (const auto& a : arrays)
        for (std::int32_t v : a)
            words.push_back(std::uint32_t(v));
    std::vector<unsigned char> out(words.size() * 4);
    std::memcpy(out.data(), words.data(), out.size());
    return out;
}

// A file in memory: clips, segments (streamed ones in one streamed area) and a read counter.
class MemorySource : public IAnimationStreamSource {
public:
    std::vector<SAnimationClipView> clips;
    SAnimationClipView whole{"", 0, 3000};
    std::vector<SAnimationSegmentInfo> segments;
    std::vector<unsigned char> area;
    std::vector<std::vector<unsigned char>> residents;
    int opens = 0, reads = 0;
    bool failReads = false;

    void addStreamed(int first, int end, const std::vector<unsigned char>& data)
    {
        SAnimationSegmentInfo s;
        s.first = first;
        s.end = end;
        s.streamed = true;
        s.offset = std::uint32_t(area.size());
        s.size = std::uint32_t(data.size());
        area.insert(area.end(), data.begin(), data.end());
        segments.push_back(s);
    }
    void addResident(int first, int end, const std::vector<unsigned char>& data)
    {
        residents.push_back(data);
        SAnimationSegmentInfo s;
        s.first = first;
        s.end = end;
        s.resident = residents.back().data();
        s.size = std::uint32_t(data.size());
        segments.push_back(s);
    }

    bool hasAnimations() const override { return true; }
    int getSegmentCount() const override { return int(segments.size()); }
    SAnimationSegmentInfo getSegment(int i) const override { return segments[std::size_t(i)]; }
    SAnimationClipView getClip(int i) const override { return i < 0 ? whole : clips[std::size_t(i)]; }
    std::uint32_t getStreamedSize() const override { return std::uint32_t(area.size()); }
    std::unique_ptr<IStreamedReader> openStreamed() override
    {
        struct SReader : IStreamedReader {
            MemorySource& src;
            explicit SReader(MemorySource& s) : src(s) {}
            bool read(std::uint32_t offset, std::uint32_t size, void* out) override
            {
                ++src.reads;
                if (src.failReads || offset > src.area.size() || size > src.area.size() - offset)
                    return false;
                std::memcpy(out, src.area.data() + offset, size);
                return true;
            }
        };
        ++opens;
        return std::make_unique<SReader>(*this);
    }
    const char* getName() const override { return "memory"; }
};

class Streaming : public ::testing::Test {
protected:
    void SetUp() override
    {
        src = new MemorySource;  // count 1: ours
        src->clips = {{"idle", 0, 1000}, {"move", 1000, 3000}};
        src->addStreamed(0, 500, keyData({{0, 250}, {1, 2}}));
        src->addStreamed(500, 1000, keyData({{500, 1000}, {3, 4}}));
        src->addStreamed(1000, 3000, keyData({{1000, 3000}, {5, 6}}));
    }
    void TearDown() override { src->drop(); }
    SAnimationBlockSearchKey key(int clip, int frame) { return {boost::intrusive_ptr<IAnimationStreamSource>(src), clip, frame}; }

    CAnimationStreamingManager manager;
    MemorySource* src = nullptr;
};

TEST_F(Streaming, OneSegmentClipLinksToItself)
{
    boost::intrusive_ptr<CAnimationBlock> current;
    manager.getAnimationBlock(key(1, 1500), current);
    ASSERT_TRUE(current);
    EXPECT_EQ(current->getNext(), current.get());
    manager.getAnimationBlock(key(1, 3000), current);  // the clip's end frame
    EXPECT_EQ(manager.getRegistry().size(), 1u);
    EXPECT_EQ(src->reads, 1);
    ASSERT_TRUE(current->getData());
    EXPECT_EQ(current->getData()->arrays[1].at<std::int32_t>(1), 6);
}

TEST_F(Streaming, NextBlockIsPreparedAndFoundThroughTheLinks)
{
    boost::intrusive_ptr<CAnimationBlock> current;
    for (int t = 0; t <= 1000; t += 16) {
        CAnimationBlock* before = current.get();
        CAnimationBlock* prepared = before ? before->getNext() : nullptr;
        manager.getAnimationBlock(key(0, t), current);
        ASSERT_TRUE(current);
        EXPECT_TRUE(current->covers(t));
        if (before && current.get() != before) {
            EXPECT_EQ(current.get(), prepared) << t;  // it existed before the play position got there
        }
        EXPECT_LE(manager.getRegistry().size(), 2u);
        ASSERT_NE(current->getNext(), nullptr);
    }
    // The last segment of the clip prepares the first again (loop).
    EXPECT_EQ(current->getSegment(), 1);
    EXPECT_EQ(current->getNext()->getSegment(), 0);
    EXPECT_EQ(src->reads, 2);
    EXPECT_EQ(src->opens, 2);  // one open a block load
}

TEST_F(Streaming, OneOpenReaderServesManySegments)
{
    std::unique_ptr<IStreamedReader> reader = src->openStreamed();
    for (int s = 0; s < src->getSegmentCount(); ++s)
        EXPECT_TRUE(loadSegmentKeyData(*src, src->getSegment(s), nullptr, reader.get())) << s;
    EXPECT_EQ(src->opens, 1);
    EXPECT_EQ(src->reads, 3);
}

TEST_F(Streaming, SharedBlocksAndFreeing)
{
    {
        boost::intrusive_ptr<CAnimationBlock> a, b;
        manager.getAnimationBlock(key(0, 100), a);
        manager.getAnimationBlock(key(0, 200), b);
        EXPECT_EQ(a.get(), b.get());
        EXPECT_EQ(a->getData(), b->getData());  // one copy of the data
        EXPECT_EQ(src->segmentState(0).users, 1);
        EXPECT_EQ(manager.getRegistry().size(), 2u);  // and the prepared next
        a.reset();
        EXPECT_EQ(manager.getRegistry().size(), 2u);
    }
    // The only user gone: the block and its unused successor are freed, with their data.
    EXPECT_TRUE(manager.getRegistry().empty());
    EXPECT_EQ(src->segmentState(0).users, 0);
    EXPECT_FALSE(src->segmentState(0).data);
    EXPECT_FALSE(src->segmentState(1).data);
}

TEST_F(Streaming, BlockInUseOutlivesItsManager)
{
    boost::intrusive_ptr<CAnimationBlock> current;
    {
        CAnimationStreamingManager gone;
        gone.getAnimationBlock(key(0, 100), current);
        ASSERT_TRUE(current);
    }
    EXPECT_EQ(current->getData()->arrays[1].at<std::int32_t>(0), 1);
    EXPECT_FALSE(src->segmentState(1).data);  // the unused prepared block went with the manager
    current.reset();
    EXPECT_EQ(src->segmentState(0).users, 0);
    EXPECT_FALSE(src->segmentState(0).data);
}

TEST_F(Streaming, ResidentSegmentsResolveOnce)
{
    MemorySource* res = new MemorySource;
    res->whole = {"", 0, 100};
    res->addResident(0, 100, keyData({{0, 100}, {7, 8}}));
    const SAnimationBlockSearchKey k{boost::intrusive_ptr<IAnimationStreamSource>(res), -1, 50};
    for (int pass = 0; pass < 2; ++pass) {
        boost::intrusive_ptr<CAnimationBlock> current;
        manager.getAnimationBlock(k, current);
        ASSERT_TRUE(current);
        EXPECT_EQ(current->getData()->arrays[1].at<std::int32_t>(0), 7);
    }
    EXPECT_EQ(res->segmentState(0).resolutions, 1);
    EXPECT_EQ(res->opens, 0);  // a resident segment never reopens the file
    res->drop();
}

TEST_F(Streaming, HostileSegmentsGiveNoBlock)
{
    std::vector<unsigned char> good = keyData({{0, 10}, {1, 2}});
    auto withWord = [&](std::size_t at, std::uint32_t v) {
        std::vector<unsigned char> d = good;
        std::memcpy(&d[at], &v, 4);
        return d;
    };
    struct Case {
        const char* why;
        std::vector<unsigned char> data;
        std::uint32_t offsetShift;  // added to the segment's offset
        std::uint32_t sizeShift;    // added to its size
        bool failRead;
    } cases[] = {
        {"size not a multiple of 4", good, 0, 2, false},
        {"size past the streamed area", good, 0, 4, false},
        {"offset past the streamed area", good, 1u << 30, 0, false},
        {"descriptor count past the segment", withWord(0, 1000), 0, 0, false},
        {"array start past the segment", withWord(8, 4096), 0, 0, false},
        {"short read", good, 0, 0, true},
        {"empty segment", {}, 0, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        MemorySource* s = new MemorySource;
        s->whole = {"", 0, 100};
        s->addStreamed(0, 100, c.data);
        s->segments[0].offset += c.offsetShift;
        s->segments[0].size += c.sizeShift;
        s->failReads = c.failRead;
        boost::intrusive_ptr<CAnimationBlock> current;
        manager.getAnimationBlock({boost::intrusive_ptr<IAnimationStreamSource>(s), -1, 10}, current);
        EXPECT_FALSE(current);
        EXPECT_TRUE(manager.getRegistry().empty());
        s->drop();
    }
    // Arrays that run to the segment's end are bounded there, whatever their count says.
    auto d = resolveSegmentKeyData(good.data(), std::uint32_t(good.size()));
    ASSERT_TRUE(d);
    std::vector<unsigned char> longCount = withWord(4, 1000);
    auto l = resolveSegmentKeyData(longCount.data(), std::uint32_t(longCount.size()));
    ASSERT_TRUE(l);
    EXPECT_EQ(l->arrays[0].at<std::int32_t>(999), 0);
    EXPECT_FALSE(l->arrays[0].holds(4));
}

} // namespace
