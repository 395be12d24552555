#include "tests/engine/gui/GuiTestSupport.h"

#include "engine/gui/CGUISpriteBank.h"
#include "engine/video/ITexture.h"

namespace test::gui {
namespace {

class SpriteBankTest : public GuiTest {
protected:
    SpriteBankTest()
    {
        bank = env->addEmptySpriteBank("bank");
        video::CImagePtr image = new video::CImage(video::EPF_A8R8G8B8, core::dimension2d<int>(32, 32));
        texture = driver->getTextureManager()->addTexture("sheet", image, true);
        bank->addTexture(texture);
        for (int i = 0; i < 3; ++i)
            bank->getPositions().push_back({10 * i, 0, 10 * i + 10, 7});
        SGUISprite sprite;
        sprite.frameTime = 100;
        for (unsigned i = 0; i < 3; ++i)
            sprite.Frames.push_back({0, i});
        bank->getSprites().push_back(sprite);
    }
    CGUISpriteBank* bankImpl() { return static_cast<CGUISpriteBank*>(bank); }
    IGUISpriteBank* bank;
    boost::intrusive_ptr<video::ITexture> texture;
};

TEST_F(SpriteBankTest, FrameFollowsTheTimeWithAndWithoutLooping)
{
    const struct {
        unsigned start, now;
        bool loop;
        int frame;
    } cases[] = {
        {0, 0, true, 0},     {0, 250, false, 2},  {0, 350, false, 2}, {0, 350, true, 0},
        {0, 150, true, 1},   {500, 100, false, 2},  // the clock before the start: a huge elapsed time
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.start << " " << c.now << " " << c.loop);
        EXPECT_EQ(bankImpl()->getFrameNumber(0, c.start, c.now, c.loop), c.frame);
        driver->draws.clear();
        bank->draw2DSprite(0, {100, 100}, nullptr, video::SColor(1, 2, 3, 4), c.start, c.now, c.loop);
        ASSERT_EQ(driver->draws.size(), 1u);
        EXPECT_EQ(driver->draws[0].source, bank->getPositions()[size_t(c.frame)]);
        EXPECT_EQ(driver->draws[0].colors[0], video::SColor(1, 2, 3, 4));
    }
    bank->getSprites()[0].frameTime = 0;
    EXPECT_EQ(bankImpl()->getFrameNumber(0, 0, 100000, false), 0);
}

TEST_F(SpriteBankTest, CentredDrawAndIndexesOutsideTheListsDrawNothing)
{
    const core::rect<int> clip(0, 0, 50, 50);
    bank->draw2DSprite(0, {100, 100}, &clip, video::SColor(), 0, 0, true, true);
    ASSERT_EQ(driver->draws.size(), 1u);
    EXPECT_EQ(driver->draws[0].dest, core::rect<int>(95, 97, 105, 104));  // a 10x7 rectangle centred
    EXPECT_TRUE(driver->draws[0].clipped);

    driver->draws.clear();
    bank->draw2DSprite(1, {0, 0}, nullptr, video::SColor());  // no such sprite
    bank->getSprites().push_back({{{5, 0}}, 0});             // texture slot 5 does not exist
    bank->draw2DSprite(1, {0, 0}, nullptr, video::SColor());
    bank->getSprites().push_back({{{0, 9}}, 0});             // neither does rectangle 9
    bank->draw2DSprite(2, {0, 0}, nullptr, video::SColor());
    bank->getSprites().push_back({{}, 0});                   // nor any frame
    bank->draw2DSprite(3, {0, 0}, nullptr, video::SColor());
    EXPECT_TRUE(driver->draws.empty());
}

TEST_F(SpriteBankTest, TextureSlotsGrowOnSetAndBanksAreCachedByName)
{
    IGUISpriteBank* other = env->addEmptySpriteBank("Other");
    other->setTexture(3, texture);
    EXPECT_EQ(other->getTextureCount(), 4u);
    for (unsigned i = 0; i < 3; ++i)
        EXPECT_EQ(other->getTexture(i), nullptr);
    EXPECT_EQ(other->getTexture(3), texture);
    EXPECT_EQ(other->getTexture(4), nullptr);

    EXPECT_EQ(env->addEmptySpriteBank("bank"), nullptr);  // the name is taken
    EXPECT_EQ(env->getSpriteBank("BANK"), bank);
    log.clear();
    EXPECT_EQ(env->getSpriteBank("Other"), nullptr);  // added with a capital: not found by a lowered name
    EXPECT_TRUE(log.contains("Could not load sprite bank because the file does not exist"));
}

}  // namespace
}  // namespace test::gui
