#include "engine/io/CAttributes.h"
#include "engine/video/material/CGlobalMaterialParameterManager.h"
#include "engine/video/material/CMaterial.h"
#include "engine/video/material/CMaterialRendererManager.h"
#include "tests/engine/video/DriverTestSupport.h"

#include <gtest/gtest.h>

using namespace pravik;
using namespace pravik::video;

namespace {

class MaterialTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        shader = test::addTestShader(*driver, "lit",
                                     {{"Shininess", ESPT_SHININESS, ESPVT_FLOAT}, {"Texture0", ESPT_TEXTURE, ESPVT_SAMPLER2D, 0},
                                      {"Bones", ESPT_BONE_MATRICES, ESPVT_FLOAT4X4}},
                                     {EVA_POSITION});
        renderer = m.get(test::buildRenderer(*driver, "single", shader));
        ASSERT_TRUE(renderer);
        STextureDesc d;
        d.width = d.height = 4;
        t1 = driver->createTexture("a", d);
        t2 = driver->createTexture("b", d);
    }
    boost::intrusive_ptr<CMaterial> make() { return CMaterial::allocate(renderer); }
    unsigned short id(const char* name) const { return renderer->getParameterID(name); }

    pravik::CEngineServicesScope services;  // outlives the driver
    test::ProcessBufferHeap heap;
    boost::intrusive_ptr<CNullDriver> driver = test::makeNullDriver();
    CMaterialRendererManager& m = *driver->getMaterialRendererManager();
    boost::intrusive_ptr<IShader> shader;
    boost::intrusive_ptr<CMaterialRenderer> renderer;
    boost::intrusive_ptr<ITexture> t1, t2;
};

TEST_F(MaterialTest, HashWordIsCompleteFromConstruction)
{
    auto a = make();
    EXPECT_EQ(a->getBaseTechnique(), 0);
    EXPECT_EQ(a->getChangedMask(), 0xff);
    EXPECT_EQ(a->getHashMask(), 0xff);
    const unsigned word = a->getHashWord(0);
    const unsigned shaderId = shader->getId();
    EXPECT_EQ(word >> 24, ((shaderId & 0xffu) ^ (shaderId >> 8)));
    EXPECT_EQ((word >> 8) & 0xfu, 1u);  // source blend factor of word 0x18FF0001
    EXPECT_EQ(a->getHashCode(), word);   // the first refresh agrees with construction
    EXPECT_EQ(a->getHashMask() & 1u, 0u);
    // A clone carries a complete word too, whatever its masks say.
    auto c = a->clone();
    EXPECT_EQ(c->getHashWord(0), word);
}

TEST_F(MaterialTest, EqualityAndOrderCases)
{
    struct Case {
        const char* why;
        float shininessA, shininessB;
        bool textureDiffers, bonesDiffer;
        bool equal;
    } cases[] = {
        {"same values", 1.f, 1.f, false, false, true},
        {"plain parameter differs", 1.f, 2.f, false, false, false},
        {"texture differs", 1.f, 1.f, true, false, false},
        {"bone matrices differ (hash blind to them)", 1.f, 1.f, false, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        auto a = make(), b = make();
        a->setParameter(id("Shininess"), 0, c.shininessA);
        b->setParameter(id("Shininess"), 0, c.shininessB);
        a->setParameter(id("Texture0"), 0, t1);
        b->setParameter(id("Texture0"), 0, c.textureDiffers ? t2 : t1);
        if (c.bonesDiffer) {
            core::CMatrix4<float> moved;
            moved.setTranslation({1, 0, 0});
            b->setParameter(id("Bones"), 0, moved);
            EXPECT_EQ(a->getHashCode(), b->getHashCode());
        }
        EXPECT_EQ(*a == *b, c.equal);
        EXPECT_FALSE(*a < *a);
        if (!c.equal) {
            EXPECT_NE(*a < *b, *b < *a);
        }
    }
}

TEST_F(MaterialTest, TexturesDecideTheOrderBeforeEarlierPlainValues)
{
    auto a = make(), b = make();
    a->setParameter(id("Shininess"), 0, 1.f);
    b->setParameter(id("Shininess"), 0, 9.f);
    ITexture* low = std::min(t1.get(), t2.get());
    a->setParameter(id("Texture0"), 0, boost::intrusive_ptr<ITexture>(low == t1.get() ? t2 : t1));
    b->setParameter(id("Texture0"), 0, boost::intrusive_ptr<ITexture>(low));
    // Equal hash words are needed for compare to decide; force the comparison itself.
    EXPECT_TRUE(b->compare(0, 1, *a, 0));
    EXPECT_FALSE(a->compare(0, 1, *b, 0));
}

TEST_F(MaterialTest, SettingTheSameValueLeavesTheMasks)
{
    auto a = make();
    a->setParameter(id("Shininess"), 0, 3.f);
    a->getHashCode();
    a->clearChangedBit(0);
    a->setParameter(id("Shininess"), 0, 3.f);
    EXPECT_EQ(a->getChangedMask() & 1u, 0u);
    a->setParameter(id("Shininess"), 0, 4.f);
    EXPECT_EQ(a->getChangedMask(), 0xff);
    EXPECT_EQ(a->getHashMask(), 0xff);
}

TEST_F(MaterialTest, IdentityMatrixEqualsANullElement)
{
    auto a = make(), b = make();
    b->setParameter(id("Bones"), 0, core::CMatrix4<float>(core::EM4CONST_IDENTITY));
    EXPECT_TRUE(a->areParametersEqual(0, 1, *b, 0));
}

TEST_F(MaterialTest, TwoPassTechniquesHashToAllOnesAndOrderByShader)
{
    auto other = test::addTestShader(*driver, "second", {}, {EVA_POSITION});
    auto build = [&](const char* name, const boost::intrusive_ptr<IShader>& first) {
        m.beginMaterialRenderer(name, true);
        m.beginTechnique("two", true);
        m.addRenderPass(boost::intrusive_ptr<const IShader>(first), {});
        m.addRenderPass(boost::intrusive_ptr<const IShader>(other), {});
        m.endTechnique();
        return m.get(m.endMaterialRenderer());
    };
    auto lowFirst = CMaterial::allocate(build("low", shader)), highFirst = CMaterial::allocate(build("high", other));
    EXPECT_EQ(lowFirst->getHashCode(), 0xffffffffu);
    EXPECT_EQ(highFirst->getHashCode(), 0xffffffffu);
    EXPECT_LT(shader->getId(), other->getId());
    EXPECT_TRUE(*lowFirst < *highFirst);
    EXPECT_FALSE(*highFirst < *lowFirst);
    auto same = CMaterial::allocate(lowFirst->getMaterialRenderer());
    EXPECT_TRUE(*lowFirst == *same);
}

TEST_F(MaterialTest, ClonesKeepNameAndOwnTheirReferences)
{
    auto a = CMaterial::allocate(renderer, "named");
    a->setParameter(id("Texture0"), 0, t1);
    const int before = t1->getReferenceCount();
    auto c = a->clone();
    EXPECT_STREQ(c->getName(), "named");
    EXPECT_EQ(t1->getReferenceCount(), before + 1);
    a.reset();
    boost::intrusive_ptr<ITexture> held;
    c->getParameter(id("Texture0"), 0, held);
    EXPECT_EQ(held, t1);

    CMaterial* heapCopy = c->cloneHeap();
    ASSERT_NE(heapCopy, nullptr);
    EXPECT_EQ(reinterpret_cast<size_t>(heapCopy) % 8, 0u);
    EXPECT_TRUE(*heapCopy == *c);
    CMaterial::destroyProcessBufferHeap(heapCopy);
}

TEST_F(MaterialTest, AttributesRoundTripTheBaseTechniqueAndValues)
{
    auto a = make();
    a->setParameter(id("Shininess"), 0, 7.5f);
    boost::intrusive_ptr<io::CAttributes> store(new io::CAttributes(nullptr), false);
    a->serializeAttributes(store.get());
    EXPECT_STREQ(store->getString("Material Renderer").c_str(), "single");
    EXPECT_STREQ(store->getString("BDAE File").c_str(), "");
    auto b = make();
    b->deserializeAttributes(store.get());
    float v = 0;
    b->getParameter(id("Shininess"), 0, v);
    EXPECT_FLOAT_EQ(v, 7.5f);
    EXPECT_EQ(b->getBaseTechnique(), 0);
}

TEST_F(MaterialTest, RendererBindingsAreRegroupedDirectIndirectGlobal)
{
    auto mixed = test::addTestShader(*driver, "mixed",
                                     {{"Diffuse", ESPT_DIFFUSE_COLOR, ESPVT_COLOR}, {"Ambient", ESPT_SCENE_AMBIENT_LIGHT, ESPVT_COLORF},
                                      {"Texture0", ESPT_TEXTURE, ESPVT_SAMPLER2D, 0}, {"Shininess", ESPT_SHININESS, ESPVT_FLOAT}},
                                     {EVA_POSITION});
    auto r = m.get(test::buildRenderer(*driver, "mixed renderer", mixed));
    const SRenderPass& p = r->getTechnique(0).passes[0];
    EXPECT_EQ(p.directBindingCount, 2);
    EXPECT_EQ(p.indirectBindingCount, 1);
    const unsigned short order[4] = {0, 3, 2, 1};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(p.bindings[i].shaderParameter, order[i]);

    // Two passes binding one global parameter hold it twice; the renderer gives both back.
    CGlobalMaterialParameterManager& g = *driver->getGlobalMaterialParameterManager();
    const unsigned short ambient = g.getId("SceneAmbientLight");
    const unsigned before = g.getProperties(ambient).useCount;
    m.beginMaterialRenderer("two globals", true);
    m.beginTechnique("t", true);
    m.addRenderPass(boost::intrusive_ptr<const IShader>(mixed), {});
    m.addRenderPass(boost::intrusive_ptr<const IShader>(mixed), {});
    m.endTechnique();
    const unsigned short twice = m.endMaterialRenderer();
    EXPECT_EQ(CMaterialVertexAttributeMap::totalMapCount(*m.get(twice)), 2u);
    EXPECT_EQ(g.getProperties(ambient).useCount, before + 2);
    m.clearUnusedInstance(twice);
    EXPECT_TRUE(m.remove(twice));
    EXPECT_EQ(g.getProperties(ambient).useCount, before);
}

}  // namespace
