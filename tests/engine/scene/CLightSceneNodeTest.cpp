#include "engine/scene/CLightSceneNode.h"

#include <gtest/gtest.h>

#include "engine/scene/CSceneManager.h"
#include "tests/engine/scene/SceneTestSupport.h"
#include "tests/engine/video/DriverTestSupport.h"

namespace pravik::scene {
namespace {

using core::aabbox3d;
using core::vector3d;

TEST(CLightSceneNode, BoxAndCullingFollowTheLightType)
{
    CLightSceneNode fresh;
    EXPECT_EQ(fresh.getType(), ESNT_LIGHT);
    EXPECT_EQ(fresh.getID(), -1);
    EXPECT_EQ(fresh.getAutomaticCulling(), EAC_OFF);  // unbounded radius
    EXPECT_EQ(fresh.getBoundingBox(), aabbox3d<float>(-1, -1, -1, 1, 1, 1));

    CLightSceneNode point(3, {1, 2, 3}, video::SColorf(1, 0.5f, 0, 1), 10.f);
    EXPECT_EQ(point.getBoundingBox(), aabbox3d<float>(-50, -50, -50, 50, 50, 50));
    EXPECT_EQ(point.getAutomaticCulling(), EAC_BOX);
    EXPECT_FLOAT_EQ(point.getLight()->SpecularColor.g, 0.3f + 0.7f * 0.5f);
    point.getLight()->Type = video::ELT_DIRECTIONAL;
    EXPECT_EQ(point.getBoundingBox(), aabbox3d<float>(0, 0, 0, 0, 0, 0));
    EXPECT_EQ(point.getAutomaticCulling(), EAC_OFF);
}

class CLightSceneNodeDrawTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_driver = ::test::makeNullDriver();
        m_manager = new CSceneManager(m_driver.get(), nullptr);
    }
    void TearDown() override { m_manager->drop(); }

    pravik::CEngineServicesScope m_services;  // outlives the driver
    ::test::ProcessBufferHeap m_heap;
    boost::intrusive_ptr<video::CNullDriver> m_driver;
    CSceneManager* m_manager = nullptr;
};

TEST_F(CLightSceneNodeDrawTest, RenderedLightIsTheFirstDynamicLightAndFollowsTheNode)
{
    ISceneNode* node = m_manager->addSceneNode("light");
    ASSERT_NE(node, nullptr);
    auto* light = static_cast<CLightSceneNode*>(node);
    m_manager->update(16);
    m_manager->drawAll();
    ASSERT_GE(m_driver->getDynamicLightCount(), 1);
    EXPECT_EQ(m_driver->getDynamicLight(0).get(), light->getLight().get());

    node->setPosition(vector3d<float>(7, 8, 9));
    m_manager->update(16);
    EXPECT_EQ(light->getLight()->getTransformation()->getTranslation(), vector3d<float>(7, 8, 9));
}

TEST_F(CLightSceneNodeDrawTest, LightHeldByTheDriverKeepsTheDestroyedNodesPlace)
{
    ISceneNode* node = m_manager->addSceneNode("light");
    node->setPosition(vector3d<float>(4, 5, 6));
    m_manager->update(16);
    m_manager->drawAll();
    boost::intrusive_ptr<video::CLight> held = m_driver->getDynamicLight(0);
    node->remove();  // the node goes; the driver still holds its light
    EXPECT_FALSE(held->isAttached());
    EXPECT_EQ(held->getTransformation()->getTranslation(), vector3d<float>(4, 5, 6));
}

}  // namespace
}  // namespace pravik::scene
