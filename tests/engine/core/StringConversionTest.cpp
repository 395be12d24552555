#include "engine/core/StringConversion.h"

#include <gtest/gtest.h>

using namespace pravik::core;

TEST(StringConversion, WideningSignExtendsEachByte)
{
    const struct {
        const char* why;
        const char* in;
        std::vector<std::uint32_t> out;
    } kCases[] = {
        {"null", nullptr, {}},
        {"empty", "", {}},
        {"ascii and a high byte", "A\xe9" "B", {0x41, 0xFFFFFFE9u, 0x42}},
        {"the ends of the byte range", "\x7f\x80\xff", {0x7f, 0xFFFFFF80u, 0xFFFFFFFFu}},
        {"no multi-byte decoding", "\xc3\xa9", {0xFFFFFFC3u, 0xFFFFFFA9u}},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.why);
        const stringw w = stringc2stringw(c.in);
        ASSERT_EQ(w.size(), c.out.size());
        for (std::size_t i = 0; i < w.size(); ++i)
            EXPECT_EQ(std::uint32_t(w[i]), c.out[i]);
        // Narrowing keeps the low 8 bits, so every narrow text survives the round trip.
        EXPECT_EQ(stringw2stringc(w), stringc(c.in ? c.in : ""));
    }
}

TEST(StringConversion, NarrowingKeepsTheLowByte)
{
    const wchar_t text[] = {0x141, 0x41, wchar_t(0xFFFFFFE9u), 0};
    EXPECT_EQ(stringw2stringc(text), stringc("AA\xe9"));
    EXPECT_EQ(string2stringc(text), stringc("AA\xe9"));
    EXPECT_EQ(stringw2stringc(static_cast<const wchar_t*>(nullptr)), stringc());
}

namespace probe {
enum E_PROBE { EP_A, EP_B };
const char* const kProbeNames[] = {"A", "B", nullptr};
inline const char* const* getStringsInternal(E_PROBE*) { return kProbeNames; }
} // namespace probe

#include "engine/core/getStrings.h"

TEST(GetStrings, FindsTheEnumerationsOwnTable)
{
    EXPECT_EQ(pravik::core::getStrings<probe::E_PROBE>(), probe::kProbeNames);
}
