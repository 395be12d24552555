#include "engine/gui/IGUIElement.h"

#include <algorithm>

namespace pravik::gui {

const char* const GUIElementTypeNames[] = {
    "button", "checkBox", "comboBox", "contextMenu", "menu", "editBox", "fileOpenDialog", "colorSelectDialog",
    "inOutFader", "image", "listBox", "meshViewer", "messageBox", "modalScreen", "scrollBar", "spinBox",
    "staticText", "tab", "tabControl", "table", "toolBar", "window", nullptr};

const char* const GUIAlignmentNames[] = {"upperLeft", "lowerRight", "center", "scale", nullptr};

IGUIElement::IGUIElement(EGUI_ELEMENT_TYPE type, IGUIEnvironment* environment, IGUIElement* parent, int id,
                         const core::rect<int>& rectangle)
    : m_relativeRect(rectangle), m_absoluteRect(rectangle), m_absoluteClippingRect(rectangle),
      m_desiredRect(rectangle), m_lastParentRect(0, 0, 0, 0), m_scaleRect(0.f, 0.f, 0.f, 0.f), m_id(id),
      m_environment(environment), m_type(type)
{
    if (parent)
        parent->addChild(this);
    if (m_parent) {
        m_lastParentRect = m_parent->getAbsoluteRect();
        m_absoluteRect += m_parent->getAbsoluteRect().UpperLeftCorner;
        m_absoluteClippingRect = m_absoluteRect;
        m_absoluteClippingRect.clipAgainst(m_parent->getAbsoluteClippingRect());
    }
}

IGUIElement::~IGUIElement()
{
    for (IGUIElement* child : m_children) {
        child->m_parent = nullptr;
        child->drop();
    }
}

bool IGUIElement::onEvent(const SEvent& event) { return m_parent ? m_parent->onEvent(event) : false; }

// --- tree ----------------------------------------------------------------------------------

void IGUIElement::addChild(IGUIElement* child)
{
    if (!child)
        return;
    child->grab();
    child->remove();
    child->m_lastParentRect = getAbsoluteRect();
    child->m_parent = this;
    m_children.push_back(child);
}

void IGUIElement::removeChild(IGUIElement* child)
{
    auto it = std::find(m_children.begin(), m_children.end(), child);
    if (it == m_children.end())
        return;
    m_children.erase(it);
    child->m_parent = nullptr;
    child->drop();
}

void IGUIElement::remove()
{
    if (m_parent)
        m_parent->removeChild(this);
}

bool IGUIElement::bringToFront(IGUIElement* element)
{
    auto it = std::find(m_children.begin(), m_children.end(), element);
    if (it == m_children.end())
        return false;
    m_children.erase(it);
    m_children.push_back(element);
    return true;
}

IGUIElement* IGUIElement::getElementFromId(int id, bool searchChildren) const
{
    for (IGUIElement* child : m_children) {
        if (child->getID() == id)
            return child;
        if (searchChildren) {
            if (IGUIElement* found = child->getElementFromId(id, true))
                return found;
        }
    }
    return nullptr;
}

IGUIElement* IGUIElement::getElementFromPoint(const core::position2d<int>& point)
{
    if (!isVisible())
        return nullptr;
    for (auto it = m_children.rbegin(); it != m_children.rend(); ++it) {
        if (IGUIElement* hit = (*it)->getElementFromPoint(point))
            return hit;
    }
    return isPointInside(point) ? this : nullptr;
}

const char* IGUIElement::getTypeName() const
{
    return m_type >= 0 && m_type < EGUIET_COUNT ? GUIElementTypeNames[m_type] : "element";
}

// --- geometry ------------------------------------------------------------------------------

bool IGUIElement::isPointInside(const core::position2d<int>& point) const
{
    return m_absoluteClippingRect.isPointInside(point);
}

void IGUIElement::recalculateScaleFractions(const core::rect<int>& r)
{
    if (!m_parent)
        return;
    // A parent without width or height gives fraction 0 rather than a division by zero.
    const float w = float(m_parent->getAbsoluteRect().getWidth());
    const float h = float(m_parent->getAbsoluteRect().getHeight());
    auto fraction = [](int edge, float size) { return size != 0.f ? float(edge) / size : 0.f; };
    if (m_alignLeft == EGUIA_SCALE)
        m_scaleRect.UpperLeftCorner.X = fraction(r.UpperLeftCorner.X, w);
    if (m_alignRight == EGUIA_SCALE)
        m_scaleRect.LowerRightCorner.X = fraction(r.LowerRightCorner.X, w);
    if (m_alignTop == EGUIA_SCALE)
        m_scaleRect.UpperLeftCorner.Y = fraction(r.UpperLeftCorner.Y, h);
    if (m_alignBottom == EGUIA_SCALE)
        m_scaleRect.LowerRightCorner.Y = fraction(r.LowerRightCorner.Y, h);
}

void IGUIElement::setRelativePosition(const core::rect<int>& r)
{
    recalculateScaleFractions(r);
    m_desiredRect = r;
    updateAbsolutePosition();
}

void IGUIElement::move(core::position2d<int> offset) { setRelativePosition(m_desiredRect + offset); }

void IGUIElement::setAlignment(EGUI_ALIGNMENT left, EGUI_ALIGNMENT right, EGUI_ALIGNMENT top, EGUI_ALIGNMENT bottom)
{
    m_alignLeft = left;
    m_alignRight = right;
    m_alignTop = top;
    m_alignBottom = bottom;
    recalculateScaleFractions(m_desiredRect);
}

void IGUIElement::setMaxSize(int width, int height)
{
    m_maxSize = {width, height};
    updateAbsolutePosition();
}

void IGUIElement::setMinSize(int width, int height)
{
    m_minSize = {std::max(width, 1), std::max(height, 1)};
    updateAbsolutePosition();
}

namespace {

void moveEdge(int& edge, EGUI_ALIGNMENT alignment, int difference, float size, float fraction)
{
    switch (alignment) {
        case EGUIA_LOWERRIGHT: edge += difference; break;
        case EGUIA_CENTER: edge += difference / 2; break;
        case EGUIA_SCALE: edge = int(fraction * size); break;
        default: break;  // upper-left, and an unknown alignment read from a file
    }
}

}  // namespace

void IGUIElement::updateAbsolutePosition()
{
    core::rect<int> parentRect(0, 0, 0, 0);
    core::rect<int> clipReference;
    if (m_parent) {
        parentRect = m_parent->getAbsoluteRect();
        if (m_noClip) {
            const IGUIElement* top = this;
            while (top->m_parent)
                top = top->m_parent;
            clipReference = top->getAbsoluteClippingRect();
        } else {
            clipReference = m_parent->getAbsoluteClippingRect();
        }
    }

    const int dx = parentRect.getWidth() - m_lastParentRect.getWidth();
    const int dy = parentRect.getHeight() - m_lastParentRect.getHeight();
    const float fw = (m_alignLeft == EGUIA_SCALE || m_alignRight == EGUIA_SCALE) ? float(parentRect.getWidth()) : 0.f;
    const float fh = (m_alignTop == EGUIA_SCALE || m_alignBottom == EGUIA_SCALE) ? float(parentRect.getHeight()) : 0.f;

    moveEdge(m_desiredRect.UpperLeftCorner.X, m_alignLeft, dx, fw, m_scaleRect.UpperLeftCorner.X);
    moveEdge(m_desiredRect.LowerRightCorner.X, m_alignRight, dx, fw, m_scaleRect.LowerRightCorner.X);
    moveEdge(m_desiredRect.UpperLeftCorner.Y, m_alignTop, dy, fh, m_scaleRect.UpperLeftCorner.Y);
    moveEdge(m_desiredRect.LowerRightCorner.Y, m_alignBottom, dy, fh, m_scaleRect.LowerRightCorner.Y);

    m_relativeRect = m_desiredRect;
    const int w = m_relativeRect.getWidth();
    const int h = m_relativeRect.getHeight();
    if (w < m_minSize.Width)
        m_relativeRect.LowerRightCorner.X = m_relativeRect.UpperLeftCorner.X + m_minSize.Width;
    if (h < m_minSize.Height)
        m_relativeRect.LowerRightCorner.Y = m_relativeRect.UpperLeftCorner.Y + m_minSize.Height;
    if (m_maxSize.Width && m_maxSize.Width < w)
        m_relativeRect.LowerRightCorner.X = m_relativeRect.UpperLeftCorner.X + m_maxSize.Width;
    if (m_maxSize.Height && m_maxSize.Height < h)
        m_relativeRect.LowerRightCorner.Y = m_relativeRect.UpperLeftCorner.Y + m_maxSize.Height;
    m_relativeRect.repair();

    m_absoluteRect = m_relativeRect + parentRect.UpperLeftCorner;
    if (!m_parent)
        clipReference = m_absoluteRect;

    m_absoluteClippingRect = m_absoluteRect;
    if (!m_ignoreAllClipping)
        m_absoluteClippingRect.clipAgainst(clipReference);

    m_lastParentRect = parentRect;

    for (IGUIElement* child : m_children)
        child->updateAbsolutePosition();
}

// --- drawing and texts -----------------------------------------------------------------------

void IGUIElement::draw()
{
    if (!isVisible())
        return;
    for (IGUIElement* child : m_children)
        child->draw();
}

void IGUIElement::OnPostRender(unsigned timeMs)
{
    if (!isVisible())
        return;
    for (IGUIElement* child : m_children)
        child->OnPostRender(timeMs);
}

void IGUIElement::setText(const wchar_t* text)
{
    // The source may point into the current text: copy before assigning.
    core::stringw copy(text ? text : L"");
    m_text.swap(copy);
}

// --- tab navigation --------------------------------------------------------------------------

IGUIElement* IGUIElement::getTabGroup()
{
    IGUIElement* e = this;
    while (e && !e->isTabGroup())
        e = e->getParent();
    return e;
}

void IGUIElement::setTabOrder(int index)
{
    if (index >= 0) {
        m_tabOrder = index;
        return;
    }
    m_tabOrder = 0;
    IGUIElement* start = getTabGroup();
    if (start && start == this) {
        while (start->getParent())
            start = start->getParent();
    }
    if (!start)
        return;
    IGUIElement* first = nullptr;
    IGUIElement* closest = nullptr;
    start->getNextElement(-1, true, m_tabGroup, first, closest, true);
    if (first)
        m_tabOrder = first->getTabOrder() + 1;
}

bool IGUIElement::getNextElement(int startOrder, bool reverse, bool group, IGUIElement*& first,
                                 IGUIElement*& closest, bool includeInvisible) const
{
    int wanted = startOrder + (reverse ? -1 : 1);
    if (wanted == -2)
        wanted = 1073741824;

    for (IGUIElement* child : m_children) {
        if ((!child->isVisible() && !includeInvisible) || (!group && child->isTabGroup()))
            continue;
        if (child->isTabStop() && child->isTabGroup() == group) {
            const int c = child->getTabOrder();
            if (c == wanted) {
                closest = child;
                return true;
            }
            if (!closest) {
                if ((reverse && c < startOrder) || (!reverse && c > startOrder))
                    closest = child;
            } else {
                const int o = closest->getTabOrder();
                if ((reverse && o < c && c < startOrder) || (!reverse && startOrder < c && c < o))
                    closest = child;
            }
            if (!first || (reverse && first->getTabOrder() < c) || (!reverse && first->getTabOrder() > c))
                first = child;
        }
        if (child->getNextElement(startOrder, reverse, group, first, closest, false))
            return true;
    }
    return false;
}

// --- attributes ------------------------------------------------------------------------------

void IGUIElement::serializeAttributes(io::IAttributes* out, io::SAttributeReadWriteOptions*) const
{
    out->addInt("Id", m_id);
    out->addString("Name", m_name.c_str());
    out->addString("Caption", m_text.c_str());
    out->addRect("Rect", m_desiredRect);
    out->addPosition2d("MinSize", core::position2d<int>(m_minSize.Width, m_minSize.Height));
    out->addPosition2d("MaxSize", core::position2d<int>(m_maxSize.Width, m_maxSize.Height));
    out->addBool("NoClip", m_noClip);
    out->addBool("IgnoreAllClipping", m_ignoreAllClipping);
    out->addEnum("LeftAlign", m_alignLeft, GUIAlignmentNames);
    out->addEnum("RightAlign", m_alignRight, GUIAlignmentNames);
    out->addEnum("TopAlign", m_alignTop, GUIAlignmentNames);
    out->addEnum("BottomAlign", m_alignBottom, GUIAlignmentNames);
    out->addBool("Visible", m_visible);
    out->addBool("Enabled", m_enabled);
    out->addBool("TabStop", m_tabStop);
    out->addBool("TabGroup", m_tabGroup);
    out->addInt("TabOrder", m_tabOrder);
}

void IGUIElement::deserializeAttributes(io::IAttributes* in, io::SAttributeReadWriteOptions*)
{
    setID(in->getInt("Id"));
    setName(in->getString("Name").c_str());
    setText(in->getStringW("Caption").c_str());
    setVisible(in->getBool("Visible"));
    setEnabled(in->getBool("Enabled"));
    m_tabStop = in->getBool("TabStop");
    m_tabGroup = in->getBool("TabGroup");
    m_tabOrder = in->getInt("TabOrder");

    const core::position2d<int> maxSize = in->getPosition2d("MaxSize");
    m_maxSize = {maxSize.X, maxSize.Y};
    updateAbsolutePosition();
    const core::position2d<int> minSize = in->getPosition2d("MinSize");
    m_minSize = {std::max(minSize.X, 1), std::max(minSize.Y, 1)};
    updateAbsolutePosition();

    m_noClip = in->getBool("NoClip");
    m_ignoreAllClipping = in->getBool("IgnoreAllClipping");
    m_alignLeft = EGUI_ALIGNMENT(in->getEnum("LeftAlign", GUIAlignmentNames));
    m_alignRight = EGUI_ALIGNMENT(in->getEnum("RightAlign", GUIAlignmentNames));
    m_alignTop = EGUI_ALIGNMENT(in->getEnum("TopAlign", GUIAlignmentNames));
    m_alignBottom = EGUI_ALIGNMENT(in->getEnum("BottomAlign", GUIAlignmentNames));
    recalculateScaleFractions(m_desiredRect);

    setRelativePosition(in->getRect("Rect"));
}

}  // namespace pravik::gui
