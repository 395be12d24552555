#pragma once
// A font drawn from an outline font file: heights, transparency, anti-aliasing, space width.

#include "engine/gui/IGUIFont.h"

namespace pravik::gui {

class IGUITTFont : public IGUIFont {
public:
    virtual int getHeight(const char* text) const = 0;
    virtual int getHeight(const wchar_t* text) const = 0;
    virtual void setTransparency(bool flag) = 0;
    virtual bool getTransparency() const = 0;
    virtual void setAntiAlias(bool flag) = 0;
    virtual bool getAntiAlias() const = 0;
    virtual void clearGlyphs() {}
    virtual void setSpaceWidth(int width) = 0;
    virtual int getSpaceWidth() const = 0;
};

}  // namespace pravik::gui
