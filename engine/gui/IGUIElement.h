#pragma once
// The base of every GUI element: the tree (a parent holds one reference on each child; later
// children draw later and are hit first), the rectangles (desired, relative, absolute and
// clipping, with per-edge alignment to the parent), flags, texts, tab navigation, the default
// event routing (unhandled events go to the parent) and the base attributes.
// Main thread only.

#include "engine/IEventReceiver.h"
#include "engine/core/pravikString.h"
#include "engine/core/rect.h"
#include "engine/gui/EGUIElementTypes.h"
#include "engine/io/IAttributeExchangingObject.h"

#include <list>

namespace pravik::gui {

class IGUIEnvironment;

class IGUIElement : public IEventReceiver, public virtual io::IAttributeExchangingObject {
public:
    IGUIElement(EGUI_ELEMENT_TYPE type, IGUIEnvironment* environment, IGUIElement* parent, int id,
                const core::rect<int>& rectangle);
    ~IGUIElement() override;

    bool onEvent(const SEvent& event) override;  // the parent's answer; false without one

    virtual void updateAbsolutePosition();
    virtual bool isPointInside(const core::position2d<int>& point) const;  // edges included
    virtual void addChild(IGUIElement* child);
    virtual void removeChild(IGUIElement* child);
    virtual void remove();
    virtual void draw();
    virtual void OnPostRender(unsigned timeMs);
    virtual void move(core::position2d<int> offset);
    virtual bool isVisible() const { return m_visible; }
    virtual void setVisible(bool visible) { m_visible = visible; }
    virtual bool isSubElement() const { return m_subElement; }
    virtual void setSubElement(bool subElement) { m_subElement = subElement; }
    virtual bool isEnabled() const { return m_enabled; }
    virtual void setEnabled(bool enabled) { m_enabled = enabled; }
    virtual void setText(const wchar_t* text);
    virtual const wchar_t* getText() const { return m_text.c_str(); }
    virtual void setToolTipText(const wchar_t* text) { m_toolTipText = text ? text : L""; }
    virtual const core::stringw& getToolTipText() const { return m_toolTipText; }
    virtual int getID() const { return m_id; }
    virtual void setID(int id) { m_id = id; }
    virtual const char* getName() const { return m_name.c_str(); }
    virtual void setName(const char* name) { m_name = name ? name : ""; }
    virtual bool bringToFront(IGUIElement* element);
    virtual const std::list<IGUIElement*>& getChildren() const { return m_children; }
    virtual IGUIElement* getElementFromId(int id, bool searchChildren = false) const;
    virtual const char* getTypeName() const;  // "element" for the plain kind
    void serializeAttributes(io::IAttributes* out, io::SAttributeReadWriteOptions* options = nullptr) const override;
    void deserializeAttributes(io::IAttributes* in, io::SAttributeReadWriteOptions* options = nullptr) override;

    // Front-most visible element under the point: children last to first, then this one.
    IGUIElement* getElementFromPoint(const core::position2d<int>& point);

    IGUIElement* getParent() const { return m_parent; }
    EGUI_ELEMENT_TYPE getType() const { return m_type; }
    IGUIEnvironment* getEnvironment() const { return m_environment; }

    void setRelativePosition(const core::rect<int>& r);
    const core::rect<int>& getRelativeRect() const { return m_relativeRect; }
    const core::rect<int>& getAbsoluteRect() const { return m_absoluteRect; }
    const core::rect<int>& getAbsoluteClippingRect() const { return m_absoluteClippingRect; }
    const core::rect<int>& getDesiredRect() const { return m_desiredRect; }
    void setAlignment(EGUI_ALIGNMENT left, EGUI_ALIGNMENT right, EGUI_ALIGNMENT top, EGUI_ALIGNMENT bottom);
    void setMaxSize(int width, int height);  // 0 = no limit
    void setMinSize(int width, int height);  // below 1 counts as 1
    void setNoClip(bool noClip) { m_noClip = noClip; }
    bool isNotClipped() const { return m_noClip; }
    void setIgnoreAllClipping(bool ignore) { m_ignoreAllClipping = ignore; }

    // Tab navigation. A negative order numbers the element one above the highest in its group.
    void setTabStop(bool enable) { m_tabStop = enable; }
    bool isTabStop() const { return m_tabStop; }
    void setTabOrder(int index);
    int getTabOrder() const { return m_tabOrder; }
    void setTabGroup(bool isGroup) { m_tabGroup = isGroup; }
    bool isTabGroup() const { return m_tabGroup; }
    IGUIElement* getTabGroup();  // this element or the nearest ancestor that opens a group
    // Searches the subtree for the tab stop wanted after startOrder; true when it was found
    // exactly (closest), otherwise first and closest carry the best candidates.
    bool getNextElement(int startOrder, bool reverse, bool group, IGUIElement*& first, IGUIElement*& closest,
                        bool includeInvisible = false) const;

protected:
    std::list<IGUIElement*> m_children;
    core::stringc m_name;
    IGUIElement* m_parent = nullptr;
    core::rect<int> m_relativeRect;
    core::rect<int> m_absoluteRect;
    core::rect<int> m_absoluteClippingRect;
    core::rect<int> m_desiredRect;
    core::rect<int> m_lastParentRect;
    core::rect<float> m_scaleRect;
    core::dimension2d<int> m_maxSize{0, 0};
    core::dimension2d<int> m_minSize{1, 1};
    bool m_visible = true;
    bool m_enabled = true;
    bool m_subElement = false;
    bool m_noClip = false;
    bool m_ignoreAllClipping = false;
    core::stringw m_text;
    core::stringw m_toolTipText;
    int m_id;
    bool m_tabStop = false;
    int m_tabOrder = -1;
    bool m_tabGroup = false;
    EGUI_ALIGNMENT m_alignLeft = EGUIA_UPPERLEFT;
    EGUI_ALIGNMENT m_alignRight = EGUIA_UPPERLEFT;
    EGUI_ALIGNMENT m_alignTop = EGUIA_UPPERLEFT;
    EGUI_ALIGNMENT m_alignBottom = EGUIA_UPPERLEFT;
    IGUIEnvironment* m_environment;
    EGUI_ELEMENT_TYPE m_type;

private:
    void recalculateScaleFractions(const core::rect<int>& r);
};

}  // namespace pravik::gui
