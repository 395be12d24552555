#include "engine/collada/BuiltInMaterialTypes.h"

#include "engine/collada/ColladaMaterials.h"
#include "engine/video/gl/COpenGLESDriver.h"
#include "engine/video/material/CMaterialRendererManager.h"
#include "tests/engine/collada/SceneFileTestSupport.h"
#include "tests/engine/video/GLTestContext.h"
#include "tools/formats/DefaultEffects.h"

namespace pravik::collada {
namespace {

using video::CMaterialRendererManager;
using video::E_MATERIAL_TYPE;

class BuiltInMaterialTypesTest : public test::SceneFileFixture {
protected:
    void SetUp() override
    {
        SceneFileFixture::SetUp();
        CMaterialRendererManager::setBuiltInBuilder(&buildBuiltInMaterialTypes);
    }
    void TearDown() override
    {
        CMaterialRendererManager::setBuiltInBuilder(nullptr);
        SceneFileFixture::TearDown();
    }
    void mountDefaultEffects()
    {
        dir.write("data/DefaultEffects.bdae", formats::bres::defaultEffectsFile());
        ASSERT_TRUE(fileSystem->addFolderFileArchive((dir.path() / "data").string().c_str(), true, true));
    }
    size_t opened()
    {
        size_t n = 0;
        for (const auto& m : log.logger().messages()) n += m.text.find("PATH ABSOLUTO") != std::string::npos;
        return n;
    }
};

// Words of the first pass as the type's name asks: blend factors, depth test and writes, blending.
void expectStateFromName(const video::CMaterialRenderer& renderer, const std::string& name)
{
    SCOPED_TRACE(name);
    const video::detail::renderpass::SRenderState& s = renderer.getPasses()[0].renderState;
    const bool blend = name.find("Blend") != std::string::npos;
    const bool depth = name.find("No Depth") == std::string::npos;
    EXPECT_EQ(s.getBlendEnable(), blend);
    EXPECT_EQ(s.getDepthTestEnable(), depth);
    EXPECT_EQ(s.getDepthMask(), depth);
    EXPECT_EQ(s.getBlendFactorSrc(), blend ? video::EBF_SRC_ALPHA : video::EBF_ONE);
    const auto dst = name.find("Additive") != std::string::npos ? video::EBF_ONE
                     : blend                                    ? video::EBF_ONE_MINUS_SRC_ALPHA
                                                                : video::EBF_ZERO;
    EXPECT_EQ(s.getBlendFactorDest(), dst);
    EXPECT_EQ(s.getDepthFunc(), video::ECF_LEQUAL);
    EXPECT_EQ(s.get(1, 17, 1), 0u);  // culling off
}

// The null driver's shaders have no parameters to bind, so its renderers have none.
void expectAllTypes(CMaterialRendererManager& manager, bool parameters)
{
    const char* const* names = video::getStringsInternal(static_cast<E_MATERIAL_TYPE*>(nullptr));
    for (unsigned type = 0; type < video::EMT_COUNT; ++type) {
        const auto t = E_MATERIAL_TYPE(type);
        const unsigned short id = manager.createMaterialRenderer(t);
        if (t == video::EMT_TODO) {
            EXPECT_EQ(id, 0xffff);
            continue;
        }
        ASSERT_NE(id, 0xffff) << names[type];
        const auto& renderer = manager.get(id);
        EXPECT_STREQ(renderer->getName(), names[type]);
        expectStateFromName(*renderer, names[type]);
        if (t == video::EMT_FORCE_COMMIT_TEXTURE) {
            // Technique and parameter t serve a texture of type t.
            EXPECT_EQ(renderer->getTechniqueCount(), 4);
            const char* const samplers[] = {"Texture2D", "Texture3D", "TextureCube", "TextureRect"};
            for (unsigned short k = 0; parameters && k < 4; ++k) EXPECT_EQ(renderer->getParameterID(samplers[k]), k);
        }
        if (parameters && (t == video::EMT_UNLIT_TEXTURED_NO_DEPTH || t == video::EMT_UNLIT_TEXTURED_BLEND_TEXTURE_ALPHA_NO_CULLING)) {
            EXPECT_NE(renderer->getParameterID("Texture"), 0xffff);
            EXPECT_NE(renderer->getParameterID("Diffuse Color"), 0xffff);
        }
    }
}

TEST_F(BuiltInMaterialTypesTest, NullDriverBuildsEveryTypeOnce)
{
    mountDefaultEffects();
    CMaterialRendererManager& manager = *driver->getMaterialRendererManager();
    EXPECT_EQ(manager.createMaterialRenderer(video::EMT_UNLIT_TEXTURED_BLEND) != 0xffff, true);
    const size_t afterFirst = opened();
    EXPECT_EQ(afterFirst, 1u);
    expectAllTypes(manager, false);
    EXPECT_EQ(opened(), afterFirst);  // every type came with the first request
    EXPECT_NE(manager.createMaterialInstance(video::EMT_UNLIT_NON_TEXTURED), nullptr);
    // The file went back once the types were built.
    EXPECT_EQ(manager.get(manager.getBuiltInId(video::EMT_UNLIT_NON_TEXTURED))->getTechniqueCount(), 1);
}

TEST_F(BuiltInMaterialTypesTest, WithoutTheFileEveryTypeStaysUnset)
{
    CMaterialRendererManager& manager = *driver->getMaterialRendererManager();
    for (unsigned type = 0; type < video::EMT_COUNT; ++type)
        EXPECT_EQ(manager.createMaterialRenderer(E_MATERIAL_TYPE(type)), 0xffff);
    EXPECT_TRUE(log.logger().contains("Built-in material types unavailable: cannot load: DefaultEffects.bdae"));
    EXPECT_FALSE(log.logger().contains("PinkWireFrame"));
}

TEST_F(BuiltInMaterialTypesTest, GLESDriverBuildsEveryType)
{
    mountDefaultEffects();
    video::test::GLTestContext context;
    ASSERT_TRUE(context.ok());
    video::COpenGLESDriver* gles = video::createOpenGLES1Driver(nullptr, {64, 64});
    ASSERT_NE(gles, nullptr);
    auto* glesManager = new CResFileManager(fileSystem, gles, nullptr);
    expectAllTypes(*gles->getMaterialRendererManager(), true);
    glesManager->drop();
    gles->drop();
}

}  // namespace
}  // namespace pravik::collada
