#include "engine/IReferenceCounted.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/ISharedMemoryBlockHeader.h"

namespace {

std::vector<std::string> g_events;

class CProbe : public pravik::IReferenceCounted {
public:
    explicit CProbe(int start) : IReferenceCounted(start) {}
    ~CProbe() override { g_events.push_back("destructor"); }

protected:
    void onDelete() override { g_events.push_back("onDelete"); }
};

struct SBlock : pravik::ISharedMemoryBlockHeader<SBlock> {
    ~SBlock() { g_events.push_back("block destructor"); }
    int payload = 7;
};

} // namespace

TEST(IReferenceCounted, DropReportsDestructionAndCallsOnDeleteFirst)
{
    g_events.clear();
    auto* p = new CProbe(2);
    EXPECT_FALSE(p->drop());
    EXPECT_TRUE(g_events.empty());
    EXPECT_EQ(p->getReferenceCount(), 1);
    EXPECT_TRUE(p->drop());
    EXPECT_EQ(g_events, (std::vector<std::string>{"onDelete", "destructor"}));
}

TEST(IReferenceCounted, IntrusivePointerStartsAtZeroAndReleasesWithTheLastHandle)
{
    g_events.clear();
    {
        boost::intrusive_ptr<CProbe> a(new CProbe(0));
        EXPECT_EQ(a->getReferenceCount(), 1);
        boost::intrusive_ptr<CProbe> b = a;
        EXPECT_EQ(a->getReferenceCount(), 2);
        a.reset();
        EXPECT_TRUE(g_events.empty());
    }
    EXPECT_EQ(g_events, (std::vector<std::string>{"onDelete", "destructor"}));
}

TEST(ISharedMemoryBlockHeader, LastReleaseRunsTheOwnersDestructor)
{
    g_events.clear();
    boost::intrusive_ptr<SBlock> a(new SBlock);
    static_assert(sizeof(pravik::ISharedMemoryBlockHeader<SBlock>) == 4);
    EXPECT_EQ(static_cast<void*>(a.get()), static_cast<void*>(static_cast<pravik::ISharedMemoryBlockHeader<SBlock>*>(a.get())));
    {
        boost::intrusive_ptr<SBlock> b = a;
        EXPECT_EQ(b->getReferenceCount(), 2);
    }
    EXPECT_TRUE(g_events.empty());
    a.reset();
    EXPECT_EQ(g_events, (std::vector<std::string>{"block destructor"}));
}
