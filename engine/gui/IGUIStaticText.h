#pragma once
// A rectangle of text: caption in the skin's or an override colour and font, optional
// background and sunken border, alignment and word wrap.

#include "engine/gui/IGUIElement.h"
#include "engine/video/SColor.h"

namespace pravik::gui {

class IGUIFont;

class IGUIStaticText : public IGUIElement {
public:
    IGUIStaticText(IGUIEnvironment* environment, IGUIElement* parent, int id, const core::rect<int>& rectangle)
        : IGUIElement(EGUIET_STATIC_TEXT, environment, parent, id, rectangle) {}

    virtual void setOverrideFont(IGUIFont* font = nullptr) = 0;
    virtual IGUIFont* getOverrideFont() const = 0;
    virtual void setOverrideColor(video::SColor color) = 0;
    virtual video::SColor getOverrideColor() const = 0;
    virtual void enableOverrideColor(bool enable) = 0;
    virtual bool isOverrideColorEnabled() const = 0;
    virtual void setBackgroundColor(video::SColor color) = 0;
    virtual void setDrawBackground(bool draw) = 0;
    virtual void setDrawBorder(bool draw) = 0;
    virtual void setTextAlignment(EGUI_ALIGNMENT horizontal, EGUI_ALIGNMENT vertical) = 0;
    virtual void setWordWrap(bool enable) = 0;
    virtual bool isWordWrapEnabled() const = 0;
    virtual int getTextHeight() const = 0;  // 0 without a skin or a font
    virtual int getTextWidth() const = 0;
};

}  // namespace pravik::gui
