// The attribute store: duplicates, conversions through setAttribute, removal, defaults,
// contexts and the enumeration queries.

#include <gtest/gtest.h>

#include <cmath>

#include "engine/io/CAttributes.h"

using namespace pravik;
using namespace pravik::io;

TEST(Attributes, DuplicateNamesAndConversionsOnSet)
{
    CAttributes store(nullptr);
    store.addInt("a", 1);
    store.addInt("a", 2);
    EXPECT_EQ(store.getAttributeCount(), 2);
    EXPECT_EQ(store.getInt("a"), 1);
    EXPECT_EQ(store.getInt(1), 2);

    store.setAttribute("a", 2.5f);  // stays an integer
    EXPECT_EQ(store.getAttributeType("a"), EAK_INT);
    EXPECT_EQ(store.getInt("a"), 2);
    EXPECT_EQ(store.getAttributeCount(), 2);

    store.setAttribute("new", true);  // appended with flag false
    EXPECT_EQ(store.getAttributeType(2), EAK_BOOL);
    EXPECT_EQ(store.findAttribute("new"), 2);
    EXPECT_EQ(store.findAttribute("New"), -1);
    EXPECT_STREQ(store.getAttributeTypeString("new"), L"bool");
}

TEST(Attributes, NullTextRemovesTheFirstStringOnly)
{
    CAttributes store(nullptr);
    store.addString("s", "one");
    store.addString("s", L"two");
    store.addInt("t", 3);
    store.setAttribute("s", static_cast<const char*>(nullptr));
    ASSERT_EQ(store.getAttributeCount(), 2);
    EXPECT_EQ(store.getStringW("s"), L"two");
    store.setAttribute("missing", static_cast<const wchar_t*>(nullptr));
    EXPECT_EQ(store.getAttributeCount(), 2);
    store.setAttribute("u", "text");
    EXPECT_EQ(store.getString("u"), "text");
    char buffer[16] = "xxxx";
    store.getString("nothing", buffer);
    EXPECT_STREQ(buffer, "");
    store.addString("n", static_cast<const char*>(nullptr));
    EXPECT_EQ(store.getString("n"), "");
}

TEST(Attributes, DefaultsOfMissingAttributes)
{
    CAttributes store(nullptr);
    EXPECT_EQ(store.getQuaternion("missing"), core::quaternion(0.f, 1.f, 0.f, 0.f));
    store.addStringAsQuaternion("q", L"1 2");  // the text zeroes every value before reading
    EXPECT_EQ(store.getQuaternion("q"), core::quaternion(1.f, 2.f, 0.f, 0.f));
    const core::plane3d<float> plane = store.getPlane3d("missing");
    EXPECT_EQ(plane.Normal, core::vector3d<float>(0.f, 1.f, 0.f));
    EXPECT_TRUE(std::signbit(plane.D));
    EXPECT_EQ(store.getBox3d("missing"), core::aabbox3d<float>(0, 0, 0, 0, 0, 0));
    EXPECT_EQ(store.getColor("missing"), video::SColor(0, 0, 0, 0));
    EXPECT_EQ(store.getColorf("missing"), video::SColorf(0, 0, 0, 1));
    EXPECT_TRUE(store.getMatrix("missing").getDefinitelyIdentityMatrix());
    EXPECT_EQ(store.getAttributeName(store.getAttributeCount()), nullptr);
    EXPECT_EQ(store.getInt(-1), 0);
    EXPECT_EQ(store.getAttributeType(99), EAK_UNKNOWN);
    EXPECT_STREQ(store.getAttributeTypeString("missing"), L"unknown");
    EXPECT_EQ(store.getEnum("missing"), nullptr);
    unsigned char out[2] = {7, 7};
    store.getBinaryData("missing", out, 2);
    EXPECT_EQ(out[0], 7);
}

TEST(Attributes, AddStringAsStartsFromTheFamilyStartValue)
{
    CAttributes store(nullptr);
    store.addStringAsBox3d("b", L"1 2 3");
    EXPECT_EQ(store.getBox3d("b"), core::aabbox3d<float>(1, 2, 3, 0, 0, 0));
    store.addStringAsBinary("bin", L"00ab", true);
    EXPECT_EQ(store.getAttributeType("bin"), EAK_BINARY);
    unsigned char out[2] = {};
    store.getBinaryData("bin", out, 2);
    EXPECT_EQ(out[1], 0xAB);
    store.addColor("c", video::SColor(255, 0, 0, 255));
    EXPECT_EQ(store.getStringW("c"), L"ffff0000");
}

TEST(Attributes, ContextsAreEnteredByName)
{
    CAttributes store(nullptr);
    store.addInt("root", 1);
    store.push(2);
    store.addInt("inside", 2);
    EXPECT_EQ(store.getGroupName(), "group2");
    store.pop();
    store.push("group", 2);
    EXPECT_EQ(store.getInt("inside"), 2);
    EXPECT_FALSE(store.existsAttribute("root"));  // parents are not consulted
    store.pop();
    EXPECT_EQ(store.getGroupsCount(), 1u);

    store.push("a");
    store.addInt("x", 5);
    store.pop();
    store.push("a");
    EXPECT_EQ(store.getInt("x"), 5);
    store.push("deeper");
    store.clear();  // from anywhere: everything, and the root is current
    EXPECT_EQ(store.getGroupName(), "");
    EXPECT_EQ(store.getGroupsCount(), 0u);
    EXPECT_EQ(store.getAttributeCount(), 0);
}

TEST(Attributes, PopAtTheRootAndBadGroupIndexChangeNothing)
{
    CAttributes store(nullptr);
    store.addInt("r", 1);
    store.pop();
    store.pop();
    EXPECT_EQ(store.getInt("r"), 1);
    store.setGroup(0);
    store.setGroup(7);
    EXPECT_EQ(store.getInt("r"), 1);
    store.push("g");
    store.pop();
    store.setGroup(0);
    EXPECT_EQ(store.getGroupName(), "g");
}

TEST(Attributes, EnumerationQueries)
{
    const char* const literals[] = {"low", "mid", "high", nullptr};
    CAttributes store(nullptr);
    store.addEnum("e", "mid", literals);
    store.addEnum("n", 2, literals);
    store.addEnum("x", "other", literals);
    store.addInt("i", 1);
    EXPECT_EQ(store.getEnum("e", literals), 1);
    EXPECT_STREQ(store.getEnum("n"), "high");
    EXPECT_EQ(store.getEnum("x", literals), -1);
    EXPECT_EQ(store.getEnum("e", nullptr), -1);
    EXPECT_EQ(store.getEnum(1, literals), 2);

    StringCArray out{"keep"};
    store.getAttributeEnumerationLiteralsOfEnumeration("i", out);
    EXPECT_EQ(out, StringCArray{"keep"});
    store.getAttributeEnumerationLiteralsOfEnumeration("e", out);
    EXPECT_EQ(out, (StringCArray{"low", "mid", "high"}));
}
