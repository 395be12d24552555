#include "engine/video/material/CGlobalMaterialParameterManager.h"
#include "engine/video/material/CMaterialRendererManager.h"
#include "engine/video/material/CNullShaderManager.h"
#include "tests/engine/video/DriverTestSupport.h"
#include "tests/engine/video/ImageTestSupport.h"

#include <gtest/gtest.h>

#include <string>

using namespace pravik;
using namespace pravik::video;

namespace {

class ManagerTest : public ::testing::Test {
protected:
    test::ProcessBufferHeap heap;
    boost::intrusive_ptr<CNullDriver> driver = test::makeNullDriver();
    CMaterialRendererManager& m = *driver->getMaterialRendererManager();
};

// The framework's renderers as it builds them at start-up and after every state exit.
struct FrameworkRenderer {
    const char* name;
    const char* shader;
    unsigned word0, word1;
};
const FrameworkRenderer kFramework[4] = {
    {"MaterialRenderer Texture Additive #1", "Shader Textrue Addition Shader #1", 0x18FF0014u, 0x00010007u},
    {"MaterialRenderer Texture Blend No Depth #1", "Shader Textrue Blend Shader #1", 0x18FF0054u, 0x00010007u},
    {"MaterialRenderer Texture Solid No Depth #1", "Shader Textrue Solid Shader #1", 0x18FF0054u, 0x00000007u},
    {"MaterialRenderer Texture Font No Depth #1", "Shader Textrue Blend Shader #1", 0x18FF0054u, 0x00010007u},
};

std::vector<unsigned short> initializeMaterialRender(CNullDriver& driver)
{
    CMaterialRendererManager& m = *driver.getMaterialRendererManager();
    auto* shaders = static_cast<CNullShaderManager*>(driver.getShaderManager());
    std::vector<unsigned short> ids;
    for (const FrameworkRenderer& f : kFramework) {
        boost::intrusive_ptr<IShader> shader = shaders->createShader(f.shader);
        unsigned short id = 0xffff;
        if (m.beginMaterialRenderer(f.name, true)) {
            m.beginTechnique("Technique #1", true);
            detail::renderpass::SRenderState state;
            state.word0 = f.word0;
            state.word1 = f.word1;
            m.addRenderPass(boost::intrusive_ptr<const IShader>(shader), state);
            m.endTechnique(true, 0);
            id = m.endMaterialRenderer();
        } else {
            id = m.endMaterialRenderer();  // the surviving renderer's id
        }
        m.getMaterialInstance(id, true);
        ids.push_back(id);
    }
    return ids;
}

TEST_F(ManagerTest, FrameworkRenderersAreBuiltSurviveWhileHeldAndAreRebuilt)
{
    const std::vector<unsigned short> ids = initializeMaterialRender(*driver);
    for (size_t i = 0; i < 4; ++i) {
        SCOPED_TRACE(kFramework[i].name);
        const boost::intrusive_ptr<CMaterialRenderer>& r = m.get(ids[i]);
        ASSERT_TRUE(r);
        EXPECT_STREQ(r->getName(), kFramework[i].name);
        ASSERT_EQ(r->getTechniqueCount(), 1);
        EXPECT_STREQ(r->getTechnique(0).name.c_str(), "Technique #1");
        const SRenderPass& pass = r->getTechnique(0).passes[0];
        EXPECT_EQ(pass.shader->getName(), kFramework[i].shader);
        EXPECT_EQ(pass.renderState.word0, kFramework[i].word0);
        EXPECT_EQ(pass.renderState.word1, kFramework[i].word1);
    }
    EXPECT_EQ(m.get(ids[1])->getTechnique(0).passes[0].shader, m.get(ids[3])->getTechnique(0).passes[0].shader);

    // A game state exits while something holds the blend material: that renderer survives.
    boost::intrusive_ptr<CMaterial> held = m.getMaterialInstance(ids[1]);
    driver->removeUnused();
    EXPECT_TRUE(m.get(ids[1]));
    EXPECT_FALSE(m.get(ids[0]));
    const std::vector<unsigned short> again = initializeMaterialRender(*driver);
    EXPECT_EQ(again[1], ids[1]);  // the forced name was taken: the stored id stays valid
    for (size_t i = 0; i < 4; ++i) {
        ASSERT_TRUE(m.get(again[i]));
        EXPECT_STREQ(m.get(again[i])->getName(), kFramework[i].name);
    }
    EXPECT_EQ(m.getPendingId(), 0xffff);
}

TEST_F(ManagerTest, UnnamedRenderersAndTechniquesGetLetteredNames)
{
    auto shader = test::addTestShader(*driver, "plain", {}, {EVA_POSITION});
    std::vector<std::string> names;
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(m.beginMaterialRenderer());
        for (int t = 0; t < 2; ++t) {
            ASSERT_TRUE(m.beginTechnique());
            m.addRenderPass(boost::intrusive_ptr<const IShader>(shader), {});
            m.endTechnique();
        }
        const unsigned short id = m.endMaterialRenderer();
        names.push_back(m.get(id)->getName());
        EXPECT_STREQ(m.get(id)->getTechnique(0).name.c_str(), "Technique");
        EXPECT_STREQ(m.get(id)->getTechnique(1).name.c_str(), "TechniqueA");
    }
    EXPECT_EQ(names, (std::vector<std::string>{"MaterialRenderer", "MaterialRendererA", "MaterialRendererB"}));
    for (int i = 3; i < 56; ++i) {
        m.beginMaterialRenderer();
        m.beginTechnique();
        m.addRenderPass(boost::intrusive_ptr<const IShader>(shader), {});
        m.endTechnique();
        names.push_back(m.get(m.endMaterialRenderer())->getName());
    }
    EXPECT_EQ(names[26], "MaterialRendererZ");
    EXPECT_EQ(names[27], "MaterialRendererAA");
    EXPECT_EQ(names[52], "MaterialRendererAZ");
    EXPECT_EQ(names[53], "MaterialRendererBAA");
}

TEST_F(ManagerTest, RendererWithoutTechniqueGetsTheInvalidFallback)
{
    test::LogCapture log;
    ASSERT_TRUE(m.beginMaterialRenderer("empty", true));
    ASSERT_TRUE(m.beginTechnique("no passes", true));
    EXPECT_FALSE(m.endTechnique());  // a technique without a pass is dropped
    const unsigned short id = m.endMaterialRenderer();
    const boost::intrusive_ptr<CMaterialRenderer>& r = m.get(id);
    ASSERT_TRUE(r);
    ASSERT_EQ(r->getTechniqueCount(), 1);
    EXPECT_STREQ(r->getTechnique(0).name.c_str(), "**invalid**");
    const SRenderPass& pass = r->getTechnique(0).passes[0];
    EXPECT_EQ(pass.shader->getName(), "Pink Bad Shader");
    EXPECT_EQ(pass.renderState.word0, 0x18FF0001u);
    EXPECT_EQ(pass.renderState.word1, 0x00185007u);

    // A pass without a shader becomes the wire-frame pass and reports false.
    ASSERT_TRUE(m.beginMaterialRenderer("broken", true));
    ASSERT_TRUE(m.beginTechnique("t", true));
    EXPECT_FALSE(m.addRenderPass(boost::intrusive_ptr<const IShader>(), {}));
    m.endTechnique();
    const unsigned short broken = m.endMaterialRenderer();
    EXPECT_EQ(m.get(broken)->getTechnique(0).passes[0].shader->getName(), "Pink Bad Shader");
}

TEST_F(ManagerTest, BuilderRefusals)
{
    test::LogCapture log;
    auto shader = test::addTestShader(*driver, "plain", {}, {EVA_POSITION});
    EXPECT_FALSE(m.beginTechnique("x", true));
    EXPECT_TRUE(log.contains("Trying to create a technique with no renderer in construction"));
    ASSERT_TRUE(m.beginMaterialRenderer("eight", true));
    EXPECT_FALSE(m.beginMaterialRenderer("other", true));
    for (int t = 0; t < 8; ++t) {
        ASSERT_TRUE(m.beginTechnique(nullptr, false));
        m.addRenderPass(boost::intrusive_ptr<const IShader>(shader), {});
        m.endTechnique();
    }
    log.clear();
    EXPECT_FALSE(m.beginTechnique("ninth", true));
    EXPECT_TRUE(log.contains("maximum number of techniques reached (8)"));
    const unsigned short id = m.endMaterialRenderer();
    EXPECT_EQ(m.get(id)->getTechniqueCount(), 8);

    log.clear();
    EXPECT_FALSE(m.beginMaterialRenderer("eight", true));
    EXPECT_TRUE(log.contains("Material renderer name exists already"));
    EXPECT_EQ(m.endMaterialRenderer(), id);
    EXPECT_EQ(m.getPendingId(), 0xffff);
}

TEST_F(ManagerTest, FailedBindingLeavesTheSharedShaderAlone)
{
    test::LogCapture log;
    auto shader = test::addTestShader(*driver, "colours", {{"DiffuseColor", ESPT_DIFFUSE_COLOR, ESPVT_COLOR}}, {EVA_POSITION});
    ASSERT_TRUE(m.beginMaterialRenderer("binder", true));
    ASSERT_TRUE(m.beginTechnique("t", true));
    m.addRenderPass(boost::intrusive_ptr<const IShader>(shader), {});
    const auto technique = m.endTechnique(false, 0);
    auto texture = m.addParameterInternal("tex", ESPT_TEXTURE, ESPVT_SAMPLER2D, 1, true);
    EXPECT_FALSE(m.bindParameter(texture, ESPT_TEXTURE, technique, 0, 0, ESS_STAGE0));
    EXPECT_TRUE(log.contains("invalid subtype") || log.contains("texture parameter type mismatch") ||
                log.contains("parameter value type mismatch"));
    // A retyping bind whose value type check fails must not retype the shader's parameter.
    auto wrong = m.addParameterInternal("wrong", ESPT_AMBIENT_COLOR, ESPVT_FLOAT4X4, 1, true);
    EXPECT_FALSE(m.bindParameter(wrong, ESPT_AMBIENT_COLOR, technique, 0, 0, ESS_STAGE0));
    EXPECT_EQ(shader->getParameters(ESS_STAGE0)[0].type, ESPT_DIFFUSE_COLOR);
    m.endMaterialRenderer();
}

TEST_F(ManagerTest, LightsBindToDynamicLightsAndUnboundSlotsAreSkipped)
{
    auto shader = test::addTestShader(*driver, "lit",
                                      {{"Light0", ESPT_LIGHT, ESPVT_LIGHT, 0}, {"ClipPlane0", ESPT_CLIP_PLANE, ESPVT_FLOAT4, 0},
                                       {"Diffuse", ESPT_DIFFUSE_COLOR, ESPVT_COLOR}},
                                      {EVA_POSITION});
    const unsigned short id = test::buildRenderer(*driver, "lit renderer", shader);
    const SRenderPass& pass = m.get(id)->getTechnique(0).passes[0];
    const unsigned short light = driver->getGlobalMaterialParameterManager()->getId("DynamicLight0");
    EXPECT_EQ(pass.parameterSources[0], 0x8000 | light);
    EXPECT_EQ(pass.parameterSources[1], CMaterialRenderer::NoParameter);  // clip planes stay unbound
    EXPECT_EQ(pass.parameterSources[2], 0);
    // Bindings regrouped: the direct colour first, then the global light.
    EXPECT_EQ(pass.directBindingCount, 1);
    EXPECT_EQ(pass.indirectBindingCount, 0);
    EXPECT_EQ(pass.bindings[0].shaderParameter, 2);
    EXPECT_EQ(pass.bindings[1].source, light);

    // A material of it hashes and compares without touching the unbound slot.
    boost::intrusive_ptr<CMaterial> a = m.getMaterialInstance(id), b = a->clone();
    EXPECT_TRUE(*a == *b);
}

}  // namespace
