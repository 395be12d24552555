#include "tests/engine/gui/GuiTestSupport.h"

#include "engine/io/CAttributes.h"

namespace test::gui {
namespace {

class ElementTest : public GuiTest {
protected:
    RecordingElement* add(const char* name, core::rect<int> r, IGUIElement* parent = nullptr)
    {
        auto* e = new RecordingElement(env, parent ? parent : env, name, r, &events);
        e->drop();  // the parent keeps it
        return e;
    }
    std::vector<std::string> events;
};

TEST_F(ElementTest, ClippingRectangleHoldsItsEdgePointsAndTheChildIsClippedByItsParent)
{
    IGUIElement* parent = add("p", {10, 10, 50, 40});
    IGUIElement* child = add("c", {30, 20, 80, 60}, parent);
    EXPECT_EQ(child->getAbsoluteRect(), core::rect<int>(40, 30, 90, 70));
    EXPECT_EQ(child->getAbsoluteClippingRect(), core::rect<int>(40, 30, 50, 40));
    const struct {
        core::position2d<int> p;
        bool inside;
    } cases[] = {{{40, 30}, true}, {{50, 40}, true}, {{50, 35}, true}, {{51, 35}, false}, {{45, 41}, false}, {{39, 30}, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.p.X << "," << c.p.Y);
        EXPECT_EQ(child->isPointInside(c.p), c.inside);
    }

    child->setIgnoreAllClipping(true);
    child->updateAbsolutePosition();
    EXPECT_EQ(child->getAbsoluteClippingRect(), child->getAbsoluteRect());
}

TEST_F(ElementTest, SizeLimitsApplyMinimumFirstAndMaximumLast)
{
    const struct {
        const char* why;
        core::dimension2d<int> min, max;
        core::rect<int> desired;
        int width;
    } cases[] = {
        {"narrower than the minimum", {10, 10}, {0, 0}, {0, 0, 4, 20}, 10},
        {"the maximum applies last", {10, 1}, {5, 0}, {0, 0, 20, 20}, 5},
        {"the maximum tests the desired width", {10, 1}, {5, 0}, {0, 0, 4, 20}, 10},
        {"right < left counts as narrower", {10, 1}, {0, 0}, {30, 0, 20, 20}, 10},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        IGUIElement* e = add("e", {0, 0, 1, 1});
        e->setMinSize(c.min.Width, c.min.Height);
        e->setMaxSize(c.max.Width, c.max.Height);
        e->setRelativePosition(c.desired);
        EXPECT_EQ(e->getRelativeRect().getWidth(), c.width);
        EXPECT_EQ(e->getDesiredRect(), c.desired);
        e->remove();
    }
}

TEST_F(ElementTest, AlignmentFollowsTheParentsResize)
{
    IGUIElement* parent = add("p", {0, 0, 100, 100});
    IGUIElement* centre = add("c", {10, 10, 20, 20}, parent);
    centre->setAlignment(EGUIA_CENTER, EGUIA_CENTER, EGUIA_UPPERLEFT, EGUIA_LOWERRIGHT);
    IGUIElement* scaled = add("s", {25, 50, 50, 100}, parent);
    scaled->setAlignment(EGUIA_SCALE, EGUIA_SCALE, EGUIA_SCALE, EGUIA_SCALE);

    parent->setRelativePosition({0, 0, 105, 105});  // grew by 5
    EXPECT_EQ(centre->getRelativeRect(), core::rect<int>(12, 10, 22, 25));
    EXPECT_EQ(scaled->getRelativeRect(), core::rect<int>(26, 52, 52, 105));

    parent->setRelativePosition({0, 0, 100, 100});  // and shrank by 5
    EXPECT_EQ(centre->getRelativeRect(), core::rect<int>(10, 10, 20, 20));
    EXPECT_EQ(scaled->getRelativeRect(), core::rect<int>(25, 50, 50, 100));
}

TEST_F(ElementTest, HitTestFindsTheFrontMostVisibleElement)
{
    IGUIElement* a = add("a", {0, 0, 100, 100});
    IGUIElement* b = add("b", {50, 50, 150, 150});
    IGUIElement* inner = add("inner", {10, 10, 20, 20}, a);
    EXPECT_EQ(env->getElementFromPoint({60, 60}), b);
    EXPECT_EQ(env->getElementFromPoint({15, 15}), inner);
    EXPECT_EQ(env->getElementFromPoint({500, 500}), env);
    EXPECT_EQ(env->getElementFromPoint({-1, 5}), nullptr);
    a->setVisible(false);
    EXPECT_EQ(env->getElementFromPoint({15, 15}), env);  // an invisible parent hides its children
    EXPECT_TRUE(env->bringToFront(a));
    a->setVisible(true);
    EXPECT_EQ(env->getElementFromPoint({60, 60}), a);
    EXPECT_FALSE(env->bringToFront(inner));
}

TEST_F(ElementTest, AutomaticTabOrdersCountUpWithinTheGroup)
{
    std::vector<IGUIElement*> stops;
    for (int i = 0; i < 3; ++i) {
        IGUIElement* e = add("t", {0, 0, 10, 10});
        e->setTabStop(true);
        e->setTabOrder(-1);
        stops.push_back(e);
    }
    EXPECT_EQ(stops[0]->getTabOrder(), 1);
    EXPECT_EQ(stops[1]->getTabOrder(), 2);
    EXPECT_EQ(stops[2]->getTabOrder(), 3);

    IGUIElement* first = nullptr;
    IGUIElement* closest = nullptr;
    stops[1]->setTabOrder(0);
    EXPECT_TRUE(env->getNextElement(-1, false, false, first, closest));
    EXPECT_EQ(closest, stops[1]);
}

TEST_F(ElementTest, TreeOwnershipAndSearch)
{
    IGUIElement* a = add("a", {0, 0, 10, 10});
    IGUIElement* b = add("b", {0, 0, 10, 10}, a);
    b->setID(7);
    EXPECT_EQ(a->getElementFromId(7), b);
    EXPECT_EQ(env->getElementFromId(7), nullptr);
    EXPECT_EQ(env->getElementFromId(7, true), b);
    EXPECT_EQ(env->getElementById(7), b);
    EXPECT_EQ(env->getElementByName("b"), b);
    EXPECT_EQ(env->getElementByName(""), env);

    b->grab();
    a->remove();  // a goes; b survives on our reference, without a parent
    EXPECT_EQ(b->getParent(), nullptr);
    EXPECT_EQ(b->getReferenceCount(), 1);
    b->drop();
}

TEST_F(ElementTest, AttributesRoundTripAndMissingOnesReadAsDefaults)
{
    IGUIElement* e = add("named", {1, 2, 30, 40});
    e->setText(L"caption");
    e->setID(5);
    e->setMinSize(3, 4);
    e->setAlignment(EGUIA_LOWERRIGHT, EGUIA_CENTER, EGUIA_UPPERLEFT, EGUIA_LOWERRIGHT);
    e->setTabStop(true);
    e->setTabOrder(9);
    boost::intrusive_ptr<io::IAttributes> attributes(fileSystem->createEmptyAttributes(nullptr), false);
    e->serializeAttributes(attributes.get());
    EXPECT_EQ(attributes->getAttributeCount(), 17);

    IGUIElement* copy = add("other", {0, 0, 1, 1});
    copy->deserializeAttributes(attributes.get());
    EXPECT_STREQ(copy->getName(), "named");
    EXPECT_STREQ(copy->getText(), L"caption");
    EXPECT_EQ(copy->getID(), 5);
    EXPECT_EQ(copy->getRelativeRect(), core::rect<int>(1, 2, 30, 40));
    EXPECT_TRUE(copy->isTabStop());
    EXPECT_EQ(copy->getTabOrder(), 9);
    EXPECT_TRUE(copy->isVisible());
    EXPECT_STREQ(copy->getTypeName(), "element");

    attributes->clear();
    copy->deserializeAttributes(attributes.get());
    EXPECT_FALSE(copy->isVisible());  // "Visible" missing reads as false
    EXPECT_EQ(copy->getRelativeRect(), core::rect<int>(0, 0, 1, 1));  // an empty rectangle, raised to the minimum
}

}  // namespace
}  // namespace test::gui
