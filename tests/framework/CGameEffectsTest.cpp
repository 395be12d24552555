#include "framework/CGame.h"
#include "framework/GameInterface.h"

#include "effects/EffectImpl.h"
#include "engine/scene/CEmptySceneNode.h"
#include "tests/effects/EffectsTestSupport.h"
#include "tools/formats/BeffWriter.h"

#include <map>

namespace {

using pravik::core::vector3d;

// The game's effect pool as the framework sees it: one instance per known type.
struct EffectPoolStub : IGameInterface {
    EffectPoolStub() { SetGameInterface(this); }
    ~EffectPoolStub() override { SetGameInterface(nullptr); }
    EffectImpl* GetEffect(int type) override
    {
        asked.push_back(type);
        auto it = effects.find(type);
        return it == effects.end() ? nullptr : it->second;
    }
    int CameraX() override { return cameraX; }
    int CameraY() override { return cameraY; }

    std::map<int, EffectImpl*> effects;
    std::vector<int> asked;
    int cameraX = 0, cameraY = 0;
};

class GameEffects : public test::EffectsTest {
protected:
    GameEffects()
    {
        game.SetResolutionMode(2);   // 600x1024, borders 21 and 94
        effect.Build(formats::effects::minimalEffect());
        pool.effects[5] = &effect;
    }
    vector3d<float> placed() const { return effect.GetNodes().at(0)->getPosition(); }

    CGame game;
    EffectImpl effect;
    EffectPoolStub pool;
};

TEST_F(GameEffects, PlacementFromLogicScreenAndCentre)
{
    ASSERT_FALSE(effect.GetNodes().empty());
    pool.cameraX = 100 << 8;
    pool.cameraY = 50 << 8;
    const struct {
        int how;   // 0 logic, 1 screen with camera, 2 screen from the centre
        int x, y;
        vector3d<float> at;
    } kCases[] = {
        {0, 256, -256, {1.f, 1.f, 0.f}},
        {0, 0, 1, {0.f, -1.f, 0.f}},           // negated before the shift
        {0, -384, 512, {-2.f, -2.f, 0.f}},
        {1, 30, 40, {109.f, 4.f, 0.f}},        // 30 + 100 - 21, 94 - 40 - 50
        {2, 300, 512, {0.f, 0.f, 0.f}},
        {2, 0, 0, {-300.f, 512.f, 0.f}},
        {2, 601, 1025, {301.f, -513.f, 0.f}},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(testing::Message() << c.how << ": " << c.x << ", " << c.y);
        if (c.how == 0)
            game.SetEffectPosition(&effect, c.x, c.y);
        else if (c.how == 1)
            game.SetEffectPositionByRealScr(&effect, c.x, c.y);
        else
            game.SetEffectPositionByRealScrNoCaeram(&effect, c.x, c.y);
        EXPECT_EQ(placed(), c.at);
    }
    game.SetEffectPosition(nullptr, 1, 1);   // nothing to place
    game.SetEffectPositionByRealScr(nullptr, 1, 1);
    game.SetEffectPositionByRealScrNoCaeram(nullptr, 1, 1);
}

TEST_F(GameEffects, PlayTakesAnInstanceFromTheGameAndScalesIt)
{
    game.PlayEffect(5, 300, 100, 2.f);
    EXPECT_EQ(placed(), vector3d<float>(0.f, 412.f, 0.f));
    EXPECT_FLOAT_EQ(effect.GetUniformScale(), 2.f);

    pool.cameraX = 10 << 8;
    EXPECT_EQ(game.PlayEffectAtRealSrcPos(5, 21, 94, 1.f), &effect);
    EXPECT_EQ(placed(), vector3d<float>(10.f, 0.f, 0.f));
    EXPECT_FLOAT_EQ(effect.GetUniformScale(), 1.f);

    EXPECT_EQ(game.PlayEffectAtLogicPos(5, 3 << 8, 4 << 8, 0.5f), &effect);
    EXPECT_EQ(placed(), vector3d<float>(3.f, -4.f, 0.f));
    EXPECT_FLOAT_EQ(effect.GetUniformScale(), 0.5f);
    EXPECT_EQ(effect.GetParent(), nullptr);

    // A type the game has no instance for: nothing, and null where an instance is returned.
    game.PlayEffect(6, 0, 0, 1.f);
    EXPECT_EQ(game.PlayEffectAtRealSrcPos(6, 0, 0, 1.f), nullptr);
    EXPECT_EQ(game.PlayEffectAtLogicPos(6, 0, 0, 1.f), nullptr);
    EXPECT_EQ(pool.asked, (std::vector<int>{5, 5, 5, 6, 6, 6}));
}

TEST_F(GameEffects, PlayOnANodeReplacesItsChildrenAndMovesTheNode)
{
    auto* node = new pravik::scene::CEmptySceneNode();
    sceneManager->getRootSceneNode()->addChild(node);
    auto* old = new pravik::scene::CEmptySceneNode();
    node->addChild(old);
    old->drop();
    IEmitter* emitter = effect.GetEmitters().at(0);
    animate(emitter, 40, 33);
    ASSERT_FALSE(emitter->m_active);   // past its life
    const pravik::core::quaternion turn(0.f, 0.f, 1.f);

    EXPECT_EQ(game.PlayEffectAtLogicPos(5, 2 << 8, -(3 << 8), 3.f, node, &turn), &effect);
    EXPECT_EQ(node->getPosition(), vector3d<float>(2.f, 3.f, 0.f));
    EXPECT_EQ(node->getRotation(), turn);
    ASSERT_EQ(node->getChildren().size(), 1u);
    EXPECT_EQ(*node->getChildren().begin(), effect.GetNodes().at(0));
    EXPECT_EQ(effect.GetParent(), node);
    EXPECT_TRUE(emitter->m_active);   // reset
    EXPECT_FLOAT_EQ(effect.GetUniformScale(), 3.f);

    // Without a rotation the node keeps its own.
    game.PlayEffectAtLogicPos(5, 0, 0, 3.f, node);
    EXPECT_EQ(node->getRotation(), turn);
    EXPECT_EQ(node->getChildren().size(), 1u);
    node->remove();
    node->drop();
}

}  // namespace
