#include "engine/gui/CGUIEnvironment.h"

#include "engine/IOSOperator.h"
#include "engine/gui/CDefaultGUIElementFactory.h"
#include "engine/gui/CGUISkin.h"
#include "engine/gui/CGUIStaticText.h"
#include "engine/gui/IGUIElementFactory.h"
#include "engine/gui/IGUIFont.h"
#include "engine/gui/IGUISpriteBank.h"
#include "engine/os/Timer.h"
#include "engine/video/IVideoDriver.h"

#include <cstring>

namespace pravik::gui {

namespace {

core::rect<int> screenRect(video::IVideoDriver* driver)
{
    if (!driver || !driver->getCurrentRenderTarget())
        return {0, 0, 0, 0};
    const core::dimension2d<int>& size = driver->getCurrentRenderTarget()->getSize();
    return {0, 0, size.Width, size.Height};
}

SEvent guiEvent(IGUIElement* caller, IGUIElement* element, EGUI_EVENT_TYPE kind)
{
    SEvent e{};
    e.EventType = EET_GUI_EVENT;
    e.GUIEvent.Caller = caller;
    e.GUIEvent.Element = element;
    e.GUIEvent.EventType = kind;
    return e;
}

}  // namespace

IGUIEnvironment* createGUIEnvironment(io::IFileSystem* fileSystem, video::IVideoDriver* driver, IOSOperator* op)
{
    return new CGUIEnvironment(fileSystem, driver, op);
}

CGUIEnvironment::CGUIEnvironment(io::IFileSystem* fileSystem, video::IVideoDriver* driver, IOSOperator* op)
    : IGUIElement(EGUIET_ELEMENT, nullptr, nullptr, 0, screenRect(driver)), m_driver(driver),
      m_fileSystem(fileSystem), m_operator(op)
{
    if (m_driver)
        m_driver->grab();
    if (m_operator)
        m_operator->grab();
    m_environment = this;
    setTabGroup(true);

    IGUIElementFactory* factory = new CDefaultGUIElementFactory(this);
    registerGUIElementFactory(factory);
    factory->drop();

    loadBuiltInFont();

    IGUISkin* skin = createSkin(EGST_WINDOWS_METALLIC);
    setSkin(skin);
    skin->drop();
}

CGUIEnvironment::~CGUIEnvironment()
{
    if (m_hovered && m_hovered != this)
        m_hovered->drop();
    m_hovered = nullptr;
    if (m_driver)
        m_driver->drop();
    if (m_focus)
        m_focus->drop();
    m_focus = nullptr;
    if (m_toolTip)
        m_toolTip->drop();
    m_toolTip = nullptr;
    if (m_operator)
        m_operator->drop();
    if (m_skin)
        m_skin->drop();
    for (SSpriteBank& b : m_banks)
        b.bank->drop();
    for (SFont& f : m_fonts)
        f.font->drop();
    releaseTrueTypeCaches();
    for (IGUIElementFactory* f : m_factories)
        f->drop();
    m_fileSystem.reset();
}

// --- focus ---------------------------------------------------------------------------------

bool CGUIEnvironment::setFocus(IGUIElement* element)
{
    if (element == m_focus)
        return false;
    if (element == this)
        element = nullptr;
    if (element)
        element->grab();
    if (m_focus && m_focus->onEvent(guiEvent(m_focus, element, EGUIE_FOCUS_LOST))) {
        if (element)
            element->drop();
        return false;
    }
    if (element && element->onEvent(guiEvent(element, m_focus, EGUIE_FOCUSED))) {
        element->drop();
        return false;
    }
    if (m_focus)
        m_focus->drop();
    m_focus = element;
    return true;
}

bool CGUIEnvironment::removeFocus(IGUIElement* element)
{
    if (!m_focus)
        return true;
    if (element == m_focus && m_focus->onEvent(guiEvent(m_focus, nullptr, EGUIE_FOCUS_LOST)))
        return false;
    m_focus->drop();
    m_focus = nullptr;
    return true;
}

// --- events --------------------------------------------------------------------------------

bool CGUIEnvironment::postEventFromUser(const SEvent& event)
{
    switch (event.EventType) {
        case EET_MOUSE_INPUT_EVENT: {
            updateHoveredElement({event.MouseInput.X, event.MouseInput.Y});
            if (event.MouseInput.Event == EMIE_LMOUSE_PRESSED_DOWN) {
                if ((m_hovered && m_hovered != m_focus) || !m_focus)
                    setFocus(m_hovered);
            }
            if (m_focus) {
                if (m_focus->onEvent(event))
                    return true;
                if (m_focus)
                    return false;
            }
            return m_hovered ? m_hovered->onEvent(event) : false;
        }
        case EET_KEY_INPUT_EVENT: {
            if (event.KeyInput.PressedDown && event.KeyInput.Key == KEY_TAB) {
                IGUIElement* next = getNextElement(event.KeyInput.Shift, event.KeyInput.Control);
                if (next && next != m_focus && setFocus(next))
                    return true;
            }
            return m_focus ? m_focus->onEvent(event) : false;
        }
        default:
            return false;
    }
}

bool CGUIEnvironment::onEvent(const SEvent& event)
{
    if (m_userReceiver && event.EventType != EET_MOUSE_INPUT_EVENT && event.EventType != EET_KEY_INPUT_EVENT &&
        !(event.EventType == EET_GUI_EVENT && event.GUIEvent.Caller == this))
        return m_userReceiver->onEvent(event);
    return false;
}

void CGUIEnvironment::updateHoveredElement(core::position2d<int> pos)
{
    IGUIElement* last = m_hovered;
    m_lastHoveredMousePos = pos;
    m_hovered = getElementFromPoint(pos);
    if (m_hovered) {
        const unsigned now = os::Timer::getTime();
        if (m_hovered != this)
            m_hovered->grab();
        if (m_hovered != last) {
            if (last)
                last->onEvent(guiEvent(last, nullptr, EGUIE_LEFT));
            if (m_toolTip) {
                m_toolTip->remove();
                m_toolTip->drop();
                m_toolTip = nullptr;
                m_toolTipEnterTime += 500;
            } else if (now - m_toolTipEnterTime < m_toolTipEnterTime) {
                // Hovering again soon after a tool tip: the next one comes sooner.
                m_toolTipEnterTime += 500;
            } else {
                m_toolTipEnterTime = now;
            }
            m_hovered->onEvent(guiEvent(m_hovered, nullptr, EGUIE_HOVERED));
        }
    }
    if (last && last != this)
        last->drop();
}

IGUIElement* CGUIEnvironment::getNextElement(bool reverse, bool group)
{
    IGUIElement* start = m_focus ? m_focus->getTabGroup() : nullptr;
    int startOrder = -1;
    if (group && start) {
        startOrder = start->getTabOrder();
    } else if (m_focus && !m_focus->isTabGroup()) {
        startOrder = m_focus->getTabOrder();
        for (IGUIElement* e = m_focus; startOrder == -1 && e->getParent();) {
            e = e->getParent();
            startOrder = e->getTabOrder();
        }
    }
    if (group || !start)
        start = this;
    IGUIElement* first = nullptr;
    IGUIElement* closest = nullptr;
    start->getNextElement(startOrder, reverse, group, first, closest, false);
    if (closest)
        return closest;
    if (first)
        return first;
    return group ? this : nullptr;
}

// --- skin, search, tree ----------------------------------------------------------------------

void CGUIEnvironment::setSkin(IGUISkin* skin)
{
    if (skin == m_skin)
        return;
    if (skin)
        skin->grab();
    if (m_skin)
        m_skin->drop();
    m_skin = skin;
}

IGUISkin* CGUIEnvironment::createSkin(EGUI_SKIN_TYPE type)
{
    CGUISkin* skin = new CGUISkin(type, m_driver);
    IGUIFont* builtIn = getBuiltInFont();
    skin->setFont(builtIn, EGDF_DEFAULT);
    if (builtIn && builtIn->getType() == EGFT_BITMAP)
        skin->setSpriteBank(static_cast<IGUIFontBitmap*>(builtIn)->getSpriteBank());
    else
        skin->setSpriteBank(nullptr);
    return skin;
}

IGUIElement* CGUIEnvironment::getElementById(int id, IGUIElement* start)
{
    if (!start)
        start = this;
    if (start->getID() == id)
        return start;
    for (IGUIElement* child : start->getChildren())
        if (IGUIElement* found = getElementById(id, child))
            return found;
    return nullptr;
}

IGUIElement* CGUIEnvironment::getElementByName(const char* name, IGUIElement* start)
{
    if (!start)
        start = this;
    if (std::strcmp(start->getName(), name ? name : "") == 0)
        return start;
    for (IGUIElement* child : start->getChildren())
        if (IGUIElement* found = getElementByName(name, child))
            return found;
    return nullptr;
}

void CGUIEnvironment::clear()
{
    if (m_focus)
        m_focus->drop();
    m_focus = nullptr;
    if (m_hovered && m_hovered != this)
        m_hovered->drop();
    m_hovered = nullptr;
    while (!m_children.empty())
        m_children.back()->remove();
}

// --- drawing -------------------------------------------------------------------------------

void CGUIEnvironment::drawAll()
{
    if (m_driver && m_driver->getCurrentRenderTarget()) {
        const core::dimension2d<int>& size = m_driver->getCurrentRenderTarget()->getSize();
        if (m_absoluteRect.LowerRightCorner != core::position2d<int>(size.Width, size.Height)) {
            m_desiredRect.LowerRightCorner = {size.Width, size.Height};
            m_absoluteRect = m_desiredRect;
            m_absoluteClippingRect = m_desiredRect;
            updateAbsolutePosition();
        }
    }
    if (m_toolTip)
        bringToFront(m_toolTip);
    draw();
    OnPostRender(os::Timer::getTime());
}

void CGUIEnvironment::OnPostRender(unsigned timeMs)
{
    makeToolTip(timeMs);
    IGUIElement::OnPostRender(timeMs);
}

void CGUIEnvironment::makeToolTip(unsigned timeMs)
{
    if (timeMs - m_toolTipEnterTime < m_toolTipDelay || !m_hovered || m_hovered == this || m_toolTip ||
        m_hovered->getToolTipText().empty() || !m_skin || !m_skin->getFont(EGDF_TOOLTIP))
        return;
    IGUIFont* font = m_skin->getFont(EGDF_TOOLTIP);
    const core::dimension2d<int> d = font->getDimension(m_hovered->getToolTipText().c_str());
    const int dx = m_skin->getSize(EGDS_TEXT_DISTANCE_X);
    const int dy = m_skin->getSize(EGDS_TEXT_DISTANCE_Y);
    const int x = m_lastHoveredMousePos.X, y = m_lastHoveredMousePos.Y;
    core::rect<int> r(x, y - (d.Height + 2 * dy) - 1, x + d.Width + 2 * dx, y - 2);

    const core::rect<int>& root = m_absoluteRect;
    if (r.getWidth() <= root.getWidth() && r.getHeight() <= root.getHeight()) {
        if (r.LowerRightCorner.X > root.LowerRightCorner.X)
            r -= core::position2d<int>(r.LowerRightCorner.X - root.LowerRightCorner.X, 0);
        if (r.LowerRightCorner.Y > root.LowerRightCorner.Y)
            r -= core::position2d<int>(0, r.LowerRightCorner.Y - root.LowerRightCorner.Y);
        if (r.UpperLeftCorner.X < root.UpperLeftCorner.X)
            r += core::position2d<int>(root.UpperLeftCorner.X - r.UpperLeftCorner.X, 0);
        if (r.UpperLeftCorner.Y < root.UpperLeftCorner.Y)
            r += core::position2d<int>(0, root.UpperLeftCorner.Y - r.UpperLeftCorner.Y);
    }

    IGUIStaticText* tip = addStaticText(m_hovered->getToolTipText().c_str(), r, true, true, this, -1, true);
    tip->setOverrideColor(m_skin->getColor(EGDC_TOOLTIP));
    tip->setBackgroundColor(m_skin->getColor(EGDC_TOOLTIP_BACKGROUND));
    tip->setOverrideFont(font);
    tip->setSubElement(true);
    tip->grab();
    m_toolTip = tip;

    core::rect<int> sized = tip->getRelativeRect();
    sized.LowerRightCorner.Y = sized.UpperLeftCorner.Y + tip->getTextHeight();
    tip->setRelativePosition(sized);
}

// --- creators and factories ------------------------------------------------------------------

IGUIStaticText* CGUIEnvironment::addStaticText(const wchar_t* text, const core::rect<int>& rectangle, bool border,
                                               bool wordWrap, IGUIElement* parent, int id, bool fillBackground)
{
    CGUIStaticText* t = new CGUIStaticText(text, border, this, parent ? parent : this, id, rectangle, fillBackground);
    t->setWordWrap(wordWrap);
    t->drop();
    return t;
}

void CGUIEnvironment::registerGUIElementFactory(IGUIElementFactory* factory)
{
    if (!factory)
        return;
    factory->grab();
    m_factories.push_back(factory);
}

IGUIElementFactory* CGUIEnvironment::getGUIElementFactory(unsigned index) const
{
    return index < m_factories.size() ? m_factories[index] : nullptr;
}

IGUIElement* CGUIEnvironment::addGUIElement(const char* typeName, IGUIElement* parent)
{
    for (IGUIElementFactory* factory : m_factories)
        if (IGUIElement* e = factory->addGUIElement(typeName, parent ? parent : this))
            return e;
    return nullptr;
}

}  // namespace pravik::gui
