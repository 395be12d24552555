#include "engine/collada/ColladaMaterials.h"

#include "engine/collada/CColladaDatabase.h"
#include "engine/video/material/CMaterial.h"
#include "engine/video/material/CMaterialRenderer.h"
#include "engine/video/material/detail/SShaderParameterTypeInspection.h"
#include "tests/engine/collada/SceneFileTestSupport.h"
#include "tools/formats/BresWriter.h"

#include <gtest/gtest.h>

#include <cstring>

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

class MaterialValuesTest : public test::SceneFileFixture {};

std::string floatBytes(std::initializer_list<float> values)
{
    std::string out(values.size() * 4, '\0');
    std::memcpy(out.data(), values.begin(), out.size());
    return out;
}

// A material record's value against a renderer of "Pair" (float4 x 2) and "Matrix" (float4x4),
// whose matrix default is a scale of 2, and techniques "Default" and "Alt".
TEST_F(MaterialValuesTest, RecordValuesAreCheckedBeforeTheyAreSet)
{
    using namespace video;
    using I = detail::SShaderParameterTypeInspection;
    SShaderParameterDef pair, matrix;
    pair.name = "Pair";
    pair.valueType = ESPVT_FLOAT4;
    pair.arraySize = 2;
    pair.index = 0;
    matrix.name = "Matrix";
    matrix.valueType = ESPVT_FLOAT4X4;
    matrix.arraySize = 1;
    matrix.index = unsigned(I::alignUp(2 * I::ValueTypeSize[ESPVT_FLOAT4], ESPVT_FLOAT4X4));
    const SShaderParameterDef* defs[2] = {&pair, &matrix};
    detail::material_renderer_manager::STechniqueList techniques(2);
    techniques[0].name = "Default";
    techniques[1].name = "Alt";
    auto renderer = CMaterialRenderer::allocate(driver.get(), 0, "R", techniques, 2, defs,
                                                unsigned(matrix.index + I::ValueTypeSize[ESPVT_FLOAT4X4]), 0, nullptr);
    ASSERT_TRUE(renderer);
    core::CMatrix4<float> scale2;
    scale2.setScale({2, 2, 2});
    ASSERT_TRUE(renderer->setParameter(1, 0, scale2));
    core::CMatrix4<float> moved;
    moved.setTranslation({1, 2, 3});

    auto param = [](const char* name, uint32_t type, uint32_t elements, std::string bytes) {
        formats::bres::SParamSpec p;
        p.name = name;
        p.type = type;
        p.elements = elements;
        p.bytes = std::move(bytes);
        return p;
    };
    formats::bres::SParamSpec alt = param("Mode", EPT_TECHNIQUE, 1, ""), none = alt;
    alt.texts = {"Alt"};
    none.texts = {"Nope"};
    const std::string eight = floatBytes({1, 2, 3, 4, 5, 6, 7, 8});
    const std::string identity(reinterpret_cast<const char*>(core::IdentityMatrix.pointer()), 64);
    const std::string translation(reinterpret_cast<const char*>(moved.pointer()), 64);
    const struct {
        const char* why;
        formats::bres::SParamSpec record;
        float pairFirst;       // element 0, x
        float matrixScale;     // M[0]
        float matrixMoveX;     // M[12]
        unsigned char technique;
        const char* logged;    // "" for nothing
    } cases[] = {
        {"set", param("Pair", EPT_FLOAT4, 2, eight), 1, 2, 0, 0, ""},
        {"too few elements", param("Pair", EPT_FLOAT4, 1, eight.substr(0, 16)), 0, 2, 0, 0,
         "Not enough elements in parameter array"},
        {"type mismatch", param("Pair", EPT_INT, 2, std::string(8, '\1')), 0, 2, 0, 0,
         "parameter type mismatch when setting"},
        {"identity float4x4 is not written", param("Matrix", EPT_FLOAT4X4, 1, identity), 0, 2, 0, 0, ""},
        {"another float4x4 is", param("Matrix", EPT_FLOAT4X4, 1, translation), 0, 1, 1, 0, ""},
        {"technique record selects by name", alt, 0, 2, 0, 1, ""},
        {"technique record naming none", none, 0, 2, 0, 0, ""},
    };
    formats::bres::Writer w;
    std::vector<formats::bres::SMaterialSpec> materials;
    for (const auto& c : cases) {
        formats::bres::SMaterialSpec m;
        m.id = c.why;
        m.params = {c.record};
        materials.push_back(m);
    }
    formats::bres::addMaterials(w, materials);
    CColladaDatabase db(write("values.bdae", w.finish()).c_str());
    ASSERT_TRUE(db.isValid());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        log.logger().clear();
        SMaterial* record = db.getMaterial(c.why);
        ASSERT_NE(record, nullptr);
        auto material = createMaterial(db, driver.get(), renderer, *record, nullptr);
        ASSERT_TRUE(material);
        float values[8] = {};
        ASSERT_TRUE(material->getParameter(0, ESPVT_FLOAT4, values, 16));
        EXPECT_EQ(values[0], c.pairFirst);
        core::CMatrix4<float> m;
        ASSERT_TRUE(material->getParameter(1, 0, m));
        EXPECT_EQ(m[0], c.matrixScale);
        EXPECT_EQ(m[12], c.matrixMoveX);
        EXPECT_EQ(material->getTechnique(), c.technique);
        const auto& messages = log.logger().messages();
        if (*c.logged) {
            ASSERT_EQ(messages.size(), 1u);
            EXPECT_NE(messages[0].text.find(c.logged), std::string::npos) << messages[0].text;
        } else {
            EXPECT_TRUE(messages.empty()) << messages[0].text;
        }
    }
}

}  // namespace
}  // namespace pravik::collada
