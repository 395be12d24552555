#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/core/detail/SIDedCollection.h"

namespace {

struct Counted {
    int refs = 0;
    int getReferenceCount() const { return refs; }
};
void intrusive_ptr_add_ref(Counted* c) { ++c->refs; }
void intrusive_ptr_release(Counted* c)
{
    if (--c->refs == 0) delete c;
}

int g_removed = 0;
struct Props {
    int tag = 7;  // default, so renames can be seen to reset it
    void onRemove(void*, unsigned short) { ++g_removed; }
};

using Ptr = boost::intrusive_ptr<Counted>;
using Registry = pravik::core::detail::SIDedCollection<Ptr, unsigned short, false, Props>;

const char* kNames[] = {"a", "b", "c", "d", "e", "f", "g"};

void fill(Registry& r, int n)
{
    for (int i = 0; i < n; ++i) ASSERT_EQ(r.insert(kNames[i], Ptr(new Counted), false), i);
}

char* owned(const char* text)
{
    char* copy = new char[std::strlen(text) + 1];
    std::strcpy(copy, text);
    return copy;
}

}  // namespace

TEST(SIDedCollection, ReusesLowestFreeIdFirst)
{
    Registry r;
    fill(r, 5);
    EXPECT_TRUE(r.remove(3));
    EXPECT_TRUE(r.remove(1));
    EXPECT_EQ(r.getNextId(), 1);
    EXPECT_EQ(r.insert("x", Ptr(new Counted), false), 1);
    EXPECT_EQ(r.insert("y", Ptr(new Counted), false), 3);
    EXPECT_EQ(r.insert("z", Ptr(new Counted), false), 5);
    EXPECT_EQ(r.size(), 6);
    EXPECT_EQ(r.getId("y"), 3);
    EXPECT_EQ(r.getId("b"), 0xffff);
}

TEST(SIDedCollection, TrimsTrailingFreeSlotsButKeepsAnEmptyTable)
{
    Registry r;
    fill(r, 4);
    EXPECT_EQ(r.getMaxID(), 3);
    EXPECT_TRUE(r.remove(2));
    EXPECT_EQ(r.getMaxID(), 3);  // a hole below the top keeps the table
    EXPECT_TRUE(r.remove(3));
    EXPECT_EQ(r.getMaxID(), 1);  // trailing slots 2 and 3 dropped
    EXPECT_TRUE(r.remove(0));
    EXPECT_TRUE(r.remove(1));
    EXPECT_EQ(r.size(), 0);
    EXPECT_EQ(r.getMaxID(), 1);  // nothing occupied: the table keeps its length
    EXPECT_EQ(r.insert("n", Ptr(new Counted), false), 0);
    EXPECT_EQ(Registry().getMaxID(), 0xffff);
}

TEST(SIDedCollection, InUseNeedsForceAndOnRemoveRunsEitherWay)
{
    const struct {
        const char* why;
        bool heldOutside, force, removed;
    } kCases[] = {
        {"unused, unforced", false, false, true},
        {"in use, unforced", true, false, false},
        {"in use, forced", true, true, true},
        {"unused, forced", false, true, true},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.why);
        Registry r;
        Ptr outside(new Counted);
        r.insert("p", c.heldOutside ? outside : Ptr(new Counted), false);
        g_removed = 0;
        EXPECT_EQ(r.remove(0, c.force), c.removed);
        EXPECT_EQ(g_removed, c.removed ? 1 : 0);
        EXPECT_EQ(r.size(), c.removed ? 0 : 1);
        EXPECT_EQ(r.getId("p"), c.removed ? 0xffff : 0);
        EXPECT_EQ(outside->refs, c.heldOutside && !c.removed ? 2 : 1);
    }
}

TEST(SIDedCollection, RemoveAllAndRemoveUnusedLeaveEntriesInUse)
{
    for (int form = 0; form < 3; ++form) {
        SCOPED_TRACE(form);
        Registry r;
        fill(r, 4);
        Ptr held = r.get(2);
        const unsigned short removed = form == 0   ? r.removeAll()
                                       : form == 1 ? r.removeUnused()
                                                   : r.removeAll(true);
        EXPECT_EQ(removed, form == 2 ? 4 : 3);
        EXPECT_EQ(r.size(), form == 2 ? 0 : 1);
        EXPECT_EQ(r.getId("c"), form == 2 ? 0xffff : 2);
    }
}

TEST(SIDedCollection, GetAnswersInvalidBeyondTableAndEmptyForFreeSlot)
{
    Registry r;
    fill(r, 3);
    r.remove(1);
    EXPECT_EQ(r.get(1), nullptr);
    EXPECT_EQ(r.get(40), nullptr);
    EXPECT_EQ(&r.get(40), &Registry::Invalid());
    EXPECT_NE(r.get(2), nullptr);
}

TEST(SIDedCollection, RenameMovesNameAndResetsProperties)
{
    Registry r;
    fill(r, 2);
    r.getProperties(1).tag = 99;
    EXPECT_FALSE(r.rename(1, "b", false));  // its own name is indexed
    EXPECT_FALSE(r.rename(1, "a", false));  // another entry's name
    EXPECT_FALSE(r.rename(5, "q", false));  // beyond the table
    EXPECT_EQ(r.getProperties(1).tag, 99);
    EXPECT_TRUE(r.rename(1, "q", false));
    EXPECT_EQ(r.getId("b"), 0xffff);
    EXPECT_EQ(r.getId("q"), 1);
    EXPECT_EQ(r.getProperties(1).tag, 7);
}

TEST(SIDedCollection, IteratesInByteOrderOfNames)
{
    Registry r;
    r.insert("beta", Ptr(new Counted), false);
    r.insert("Zeta", Ptr(new Counted), false);
    r.insert("alpha", Ptr(new Counted), false);
    std::string order;
    for (auto it = r.idBegin(); it != r.idEnd(); ++it)
        order += std::string(it->first.get()) + std::to_string(it->second.id) + " ";
    EXPECT_EQ(order, "Zeta1 alpha2 beta0 ");
}

// Managed names are freed by remove, by rename away and by destruction; leaks and double frees
// show under the sanitizer build.
TEST(SIDedCollection, ManagedNamesAreFreedOnce)
{
    Registry r;
    r.insert(owned("one"), Ptr(new Counted), true);
    r.insert(owned("two"), Ptr(new Counted), true);
    r.insert(owned("three"), Ptr(new Counted), true);
    EXPECT_EQ(r.insert(owned("two"), Ptr(new Counted), true), 0xffff);  // refused, its copy freed
    EXPECT_TRUE(r.remove(0));
    EXPECT_TRUE(r.rename(1, owned("deux"), true));
    EXPECT_EQ(r.getId("deux"), 1);
    EXPECT_EQ(r.size(), 2);
}

TEST(SIDedCollection, RefusesAFullTableAndNullNames)
{
    Registry r;
    std::vector<std::string> names;
    names.reserve(0xffff);
    for (unsigned i = 0; i < 0xffff; ++i) names.push_back("n" + std::to_string(i));
    for (unsigned i = 0; i < 0xfffe; ++i) ASSERT_EQ(r.insert(names[i].c_str(), Ptr(new Counted), false), i);
    EXPECT_EQ(r.insert(names[0xfffe].c_str(), Ptr(new Counted), false), 0xfffe);
    EXPECT_EQ(r.insert(owned("one too many"), Ptr(new Counted), true), 0xffff);
    EXPECT_EQ(r.size(), 0xffff);
    EXPECT_TRUE(r.remove(7));
    EXPECT_EQ(r.insert("again", Ptr(new Counted), false), 7);
    EXPECT_EQ(r.insert(nullptr, Ptr(new Counted), false), 0xffff);
    EXPECT_FALSE(r.rename(7, nullptr, false));
}
