// Free texture names: the order of the letter suffixes, and names that cannot be made longer.

#include "engine/video/CTextureManagerNames.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

using pravik::core::SScopedProcessArray;
using pravik::video::detail::texturemanager::createUniqueName;
using pravik::video::detail::texturemanager::MAX_TEXTURE_NAME_LENGTH;

namespace {

// The name createUniqueName gives after the first `taken` candidates of the sequence are taken.
std::string nth(const std::string& base, int taken, unsigned maxLength = MAX_TEXTURE_NAME_LENGTH)
{
    int asked = 0;
    SScopedProcessArray<char> buffer;
    const char* name = createUniqueName(base.c_str(), maxLength, [&](const char*) { return asked++ < taken; }, buffer);
    return name ? name : "<null>";
}

}  // namespace

TEST(TextureNames, SuffixesRunThroughTheLettersWithTheirCarry)
{
    const struct {
        int taken;
        const char* name;
    } kCases[] = {{0, "tex"},      {1, "texA"},     {2, "texB"},     {26, "texZ"},
                  {27, "texAA"},   {52, "texAZ"},   {53, "texBAA"},  {78, "texBAZ"},
                  {79, "texBBAA"}, {80, "texBBAB"}};
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.taken);
        EXPECT_EQ(nth("tex", c.taken), c.name);
    }
}

TEST(TextureNames, RegisteredNamesAreSkipped)
{
    const std::set<std::string> registered = {"x", "xA", "xB"};
    SScopedProcessArray<char> buffer;
    const char* name = createUniqueName("x", MAX_TEXTURE_NAME_LENGTH,
                                        [&](const char* n) { return registered.count(n) != 0; }, buffer);
    ASSERT_NE(name, nullptr);
    EXPECT_STREQ(name, "xC");
    EXPECT_EQ(name, buffer.get());
}

TEST(TextureNames, NamesThatDoNotFitAreRefused)
{
    // Base names of the maximum length or more are refused, never cut or copied past the buffer.
    EXPECT_EQ(nth(std::string(MAX_TEXTURE_NAME_LENGTH, 'n'), 1), "<null>");
    EXPECT_EQ(nth(std::string(5000, 'n'), 0), "<null>");
    EXPECT_EQ(nth(std::string(MAX_TEXTURE_NAME_LENGTH - 1, 'n'), 1), std::string(MAX_TEXTURE_NAME_LENGTH - 1, 'n') + "A");
    // With room for two letters, "Z" grows to "AA" but "AZ" cannot grow to "BAA".
    EXPECT_EQ(nth("ab", 27, 4), "abAA");
    EXPECT_EQ(nth("ab", 53, 4), "<null>");
    SScopedProcessArray<char> buffer;
    EXPECT_EQ(createUniqueName(nullptr, 8, [](const char*) { return false; }, buffer), nullptr);
}
