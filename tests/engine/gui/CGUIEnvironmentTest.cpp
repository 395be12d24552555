#include "tests/engine/gui/GuiTestSupport.h"

#include "engine/gui/CDefaultGUIElementFactory.h"
#include "engine/gui/CGUIStaticText.h"
#include "engine/gui/IGUIElementFactory.h"

namespace test::gui {
namespace {

// Three elements side by side, A and B tab stops, and a receiver for what reaches the root.
class EnvironmentEvents : public GuiTest {
protected:
    EnvironmentEvents()
    {
        a = add("A", {0, 0, 100, 100});
        b = add("B", {200, 0, 300, 100});
        c = add("C", {400, 0, 500, 100});
        a->setTabStop(true);
        a->setTabOrder(-1);
        b->setTabStop(true);
        b->setTabOrder(-1);
        env->setUserEventReceiver(&user);
    }
    RecordingElement* add(const char* name, core::rect<int> r)
    {
        auto* e = new RecordingElement(env, env, name, r, &events);
        e->drop();
        return e;
    }
    std::vector<std::string> take()
    {
        std::vector<std::string> all = events;
        all.insert(all.end(), user.log.begin(), user.log.end());
        events.clear();
        user.log.clear();
        return all;
    }
    using Log = std::vector<std::string>;
    RecordingElement *a, *b, *c;
    std::vector<std::string> events;
    RecordingReceiver user;
};

TEST_F(EnvironmentEvents, PressMovesTheFocusAndGuiEventsReachTheUserReceiver)
{
    EXPECT_FALSE(env->postEventFromUser(mouse(EMIE_LMOUSE_PRESSED_DOWN, 50, 50)));
    EXPECT_EQ(env->getFocus(), a);
    EXPECT_EQ(take(), (Log{"A:HOVERED", "A:FOCUSED(null)", "A:mouse", "user:A:HOVERED", "user:A:FOCUSED"}));

    // Tab and Shift+Tab walk the tab order; the key events themselves stay with the GUI.
    EXPECT_TRUE(env->postEventFromUser(key(KEY_TAB)));
    EXPECT_EQ(env->getFocus(), b);
    EXPECT_EQ(take(), (Log{"A:FOCUS_LOST(B)", "B:FOCUSED(A)", "user:A:FOCUS_LOST", "user:B:FOCUSED"}));
    EXPECT_TRUE(env->postEventFromUser(key(KEY_TAB, true)));
    EXPECT_EQ(env->getFocus(), a);
    take();

    // An element that refuses to lose the focus keeps it through Tab and through clicks.
    a->refuseFocusLoss = true;
    EXPECT_FALSE(env->postEventFromUser(key(KEY_TAB)));
    EXPECT_EQ(env->getFocus(), a);
    env->postEventFromUser(mouse(EMIE_LMOUSE_PRESSED_DOWN, 250, 50));
    EXPECT_EQ(env->getFocus(), a);
    a->refuseFocusLoss = false;
    take();

    // A press on empty space clears the focus after a loss with no second element.
    env->postEventFromUser(mouse(EMIE_LMOUSE_PRESSED_DOWN, 50, 500));
    EXPECT_EQ(env->getFocus(), nullptr);
    EXPECT_EQ(take(), (Log{"B:LEFT", "A:FOCUS_LOST(null)", "user:B:LEFT", "user:A:FOCUS_LOST"}));
}

TEST_F(EnvironmentEvents, FocusRulesForTheRootAndRefusals)
{
    EXPECT_TRUE(env->setFocus(env));  // nothing had the focus: the root reads as null
    EXPECT_FALSE(env->setFocus(nullptr));
    b->refuseFocus = true;
    EXPECT_FALSE(env->setFocus(b));
    EXPECT_EQ(env->getFocus(), nullptr);
    EXPECT_TRUE(env->setFocus(a));
    EXPECT_FALSE(env->setFocus(a));
    EXPECT_TRUE(env->hasFocus(a));

    // Control+Tab without group tab stops gives the root, which clears the focus.
    EXPECT_TRUE(env->postEventFromUser(key(KEY_TAB, false, true)));
    EXPECT_EQ(env->getFocus(), nullptr);
    EXPECT_TRUE(env->postEventFromUser(key(KEY_TAB, false, true)));

    env->setFocus(a);
    a->refuseFocusLoss = true;
    EXPECT_FALSE(env->removeFocus(a));
    EXPECT_TRUE(env->removeFocus(b));  // any other element: the focus is dropped all the same
    EXPECT_EQ(env->getFocus(), nullptr);
}

TEST_F(EnvironmentEvents, HoverAndToolTipsRunOnTheEngineClock)
{
    b->setToolTipText(L"tip b");
    c->setToolTipText(L"tip c");

    setTime(10000);
    env->postEventFromUser(mouse(EMIE_MOUSE_MOVED, 50, 50));
    setTime(10100);
    env->postEventFromUser(mouse(EMIE_MOUSE_MOVED, 250, 50));
    // Without a focus the hovered element gets the move itself.
    EXPECT_EQ(take(), (Log{"A:HOVERED", "A:mouse", "A:LEFT", "B:HOVERED", "B:mouse", "user:A:HOVERED", "user:A:LEFT",
                           "user:B:HOVERED"}));
    const unsigned enter = env->getToolTipEnterTime();

    setTime(enter + 999);
    env->drawAll();
    EXPECT_EQ(env->getToolTip(), nullptr);
    setTime(enter + 1000);
    env->drawAll();
    IGUIStaticText* tip = env->getToolTip();
    ASSERT_NE(tip, nullptr);
    EXPECT_STREQ(tip->getText(), L"tip b");
    EXPECT_TRUE(tip->isSubElement());
    EXPECT_EQ(tip->getOverrideColor(), env->getSkin()->getColor(EGDC_TOOLTIP));
    EXPECT_EQ(static_cast<CGUIStaticText*>(tip)->getBackgroundColor(), env->getSkin()->getColor(EGDC_TOOLTIP_BACKGROUND));
    EXPECT_EQ(tip->getOverrideFont(), env->getSkin()->getFont(EGDF_TOOLTIP));
    // Above the pointer: the text's size plus the skin's text distances.
    const core::dimension2d<int> d = env->getSkin()->getFont(EGDF_TOOLTIP)->getDimension(L"tip b");
    const int dx = env->getSkin()->getSize(EGDS_TEXT_DISTANCE_X), dy = env->getSkin()->getSize(EGDS_TEXT_DISTANCE_Y);
    EXPECT_EQ(tip->getRelativeRect().UpperLeftCorner, core::position2d<int>(250, 50 - (d.Height + 2 * dy) - 1));
    EXPECT_EQ(tip->getRelativeRect().LowerRightCorner.X, 250 + d.Width + 2 * dx);
    EXPECT_EQ(tip->getRelativeRect().getHeight(), tip->getTextHeight());

    // Another element is added after the tip: drawing brings the tip back to the front.
    RecordingElement* late = add("late", {0, 0, 1, 1});
    env->drawAll();
    EXPECT_EQ(env->getChildren().back(), tip);
    late->remove();

    // Moving to C removes B's tip, and C's comes 500 ms sooner than a fresh hover's.
    const unsigned moved = enter + 1000;
    env->postEventFromUser(mouse(EMIE_MOUSE_MOVED, 450, 50));
    EXPECT_EQ(env->getToolTip(), nullptr);
    setTime(moved + 499);
    env->drawAll();
    EXPECT_EQ(env->getToolTip(), nullptr);
    setTime(moved + 500);
    env->drawAll();
    ASSERT_NE(env->getToolTip(), nullptr);
    EXPECT_STREQ(env->getToolTip()->getText(), L"tip c");
    take();

    // Off every element: nothing is sent and nothing is hovered.
    env->postEventFromUser(mouse(EMIE_MOUSE_MOVED, 5000, 5000));
    EXPECT_EQ(env->getHoveredElement(), nullptr);
    EXPECT_TRUE(take().empty());
}

TEST_F(EnvironmentEvents, ToolTipIsKeptOnScreenUnlessItIsWiderThanTheScreen)
{
    a->setToolTipText(L"near the edge");
    env->postEventFromUser(mouse(EMIE_MOUSE_MOVED, 2, 2));
    setTime(env->getToolTipEnterTime() + 1000);
    env->drawAll();
    ASSERT_NE(env->getToolTip(), nullptr);
    EXPECT_EQ(env->getToolTip()->getRelativeRect().UpperLeftCorner.Y, 0);

    env->clear();  // takes the tool tip out of the tree too
    EXPECT_TRUE(env->getChildren().empty());
}

TEST_F(GuiTest, FactoryMakesStaticTextsAndKnowsEveryName)
{
    IGUIElementFactory* factory = env->getDefaultGUIElementFactory();
    ASSERT_NE(factory, nullptr);
    EXPECT_EQ(env->getRegisteredGUIElementFactoryCount(), 1u);
    EXPECT_EQ(factory->getCreatableGUIElementTypeCount(), 22);
    EXPECT_STREQ(factory->getCreateableGUIElementTypeName(21), "window");
    EXPECT_EQ(factory->getCreateableGUIElementTypeName(22), nullptr);
    EXPECT_EQ(factory->getCreateableGUIElementType(22), EGUIET_ELEMENT);
    EXPECT_EQ(CDefaultGUIElementFactory::getTypeFromName("checkBox"), EGUIET_CHECK_BOX);
    EXPECT_EQ(CDefaultGUIElementFactory::getTypeFromName("CheckBox"), EGUIET_ELEMENT);

    IGUIElement* text = env->addGUIElement("staticText");
    ASSERT_NE(text, nullptr);
    EXPECT_STREQ(text->getTypeName(), "staticText");
    EXPECT_EQ(text->getParent(), env);
    EXPECT_EQ(text->getRelativeRect(), core::rect<int>(0, 0, 100, 100));
    EXPECT_TRUE(static_cast<IGUIStaticText*>(text)->isWordWrapEnabled());
    EXPECT_EQ(env->addGUIElement("window"), nullptr);  // not built yet
    EXPECT_EQ(env->addGUIElement("StaticText"), nullptr);
}

TEST_F(GuiTest, RootSpansTheRenderTargetAndFollowsItsSize)
{
    EXPECT_EQ(env->getAbsoluteRect(), core::rect<int>(0, 0, 600, 1024));
    EXPECT_TRUE(env->isTabGroup());
    EXPECT_EQ(env->getID(), 0);
    EXPECT_EQ(env->getType(), EGUIET_ELEMENT);
    EXPECT_EQ(env->getSkin()->getType(), EGST_WINDOWS_METALLIC);

    CGUIEnvironment* bare = new CGUIEnvironment(nullptr, nullptr, nullptr);
    EXPECT_EQ(bare->getAbsoluteRect(), core::rect<int>(0, 0, 0, 0));
    EXPECT_EQ(bare->getBuiltInFont(), nullptr);  // no driver: nothing to load the image with
    bare->drawAll();
    bare->drop();
}

}  // namespace
}  // namespace test::gui
