#include "engine/collada/ColladaMaterials.h"

#include <gtest/gtest.h>

namespace pravik::collada {
namespace {

// Each field of pass words A and B lands in its place of render-state words 0 and 1.
TEST(ColladaMaterials, PackedRenderStateWords)
{
    const struct {
        const char* why;
        uint32_t a, b, stencilEnable;
        uint8_t factors, ref, mask;
        uint32_t word0, word1;
    } cases[] = {
        {"all clear", 0, 0, 0, 0, 0, 0, 0, 0},
        {"blend factors, stencil ref and mask", 0, 0, 0, 0x76, 0x12, 0x34, 0x00341276u, 0},
        {"blend equation A12-14", 5u << 12, 0, 0, 0, 0, 0, 5u << 24, 0},
        {"depth function B12-14", 0, 3u << 12, 0, 0, 0, 0, 3u << 27, 0},
        {"cull face A30-31", 2u << 30, 0, 0, 0, 0, 0, 2u << 30, 0},
        {"stencil function and operations A18-29", (7u << 18) | (1u << 21) | (2u << 24) | (3u << 27), 0, 0, 0, 0, 0, 0,
         7u | (1u << 3) | (2u << 6) | (3u << 9)},
        {"polygon modes B15-18", 0, (1u << 15) | (2u << 17), 0, 0, 0, 0, 0, (1u << 12) | (2u << 14)},
        {"flags B19-23", 0, 0x1Fu << 19, 0, 0, 0, 0, 0, 0x1Fu << 16},
        {"flags B25-30, B24 ignored", 0, (0x3Fu << 25) | (1u << 24), 0, 0, 0, 0, 0, 0x3Fu << 21},
        {"stencil test", 0, 0, 1, 0, 0, 0, 0, 1u << 27},
        {"unread bits stay out", 0x00000FFFu, 0x80000FFFu, 0xFEu, 0, 0, 0, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        SPass pass{};
        pass.wordA = c.a;
        pass.wordB = c.b;
        pass.stencilEnable = c.stencilEnable;
        pass.blendFactors = c.factors;
        pass.stencilRef = c.ref;
        pass.stencilMask = c.mask;
        pass.lineWidth = 2;
        pass.coverage = 0.5f;
        const auto s = packRenderState(pass);
        EXPECT_EQ(s.word0, c.word0);
        EXPECT_EQ(s.word1, c.word1);
        EXPECT_EQ(s.lineWidth, 2.f);
        EXPECT_EQ(s.sampleCoverageValue, 0.5f);
    }
}

}  // namespace
}  // namespace pravik::collada
