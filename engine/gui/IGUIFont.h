#pragma once
// The font of every text-drawing element: draw, measure and hit-test text, kerning, tracking
// and border. Bitmap fonts answer EGFT_BITMAP, every other font EGFT_CUSTOM.

#include "engine/IReferenceCounted.h"
#include "engine/core/dimension2d.h"
#include "engine/core/rect.h"
#include "engine/video/SColor.h"

#include <boost/intrusive_ptr.hpp>

namespace pravik::video {
class ITexture;
}

namespace pravik::gui {

class IGUISpriteBank;

enum EGUI_FONT_TYPE { EGFT_BITMAP = 0, EGFT_VECTOR, EGFT_OS, EGFT_CUSTOM };

class IGUIFont : public virtual IReferenceCounted {
public:
    virtual void draw(const wchar_t* text, const core::rect<int>& position, video::SColor color, bool hcenter = false,
                      bool vcenter = false, const core::rect<int>* clip = nullptr) = 0;
    virtual void draw(const char* text, const core::rect<int>& position, video::SColor color, bool hcenter = false,
                      bool vcenter = false, const core::rect<int>* clip = nullptr) = 0;
    virtual void drawInTexture(const wchar_t* text, const boost::intrusive_ptr<video::ITexture>& target,
                               core::rect<int> position, video::SColor color, bool hcenter = false,
                               bool vcenter = false) = 0;
    virtual void drawInTexture(const char* text, const boost::intrusive_ptr<video::ITexture>& target,
                               core::rect<int> position, video::SColor color, bool hcenter = false,
                               bool vcenter = false) = 0;
    virtual core::dimension2d<int> getDimension(const wchar_t* text) const = 0;
    virtual core::dimension2d<int> getDimension(const char* text) const = 0;
    virtual int getCharacterFromPos(const wchar_t* text, int pixelX) const = 0;  // -1 past the end
    virtual EGUI_FONT_TYPE getType() const { return EGFT_CUSTOM; }
    virtual void setKerningWidth(int kerning) = 0;
    virtual void setKerningHeight(int kerning) = 0;
    virtual void setBorder(unsigned size, video::SColor color) = 0;
    virtual int getKerningWidth(const wchar_t* thisLetter = nullptr, const wchar_t* previousLetter = nullptr) const = 0;
    virtual int getKerningHeight() const = 0;
    virtual void setTracking(int tracking) = 0;
    virtual int getTracking() const = 0;
};

class IGUIFontBitmap : public IGUIFont {
public:
    EGUI_FONT_TYPE getType() const override { return EGFT_BITMAP; }
    virtual IGUISpriteBank* getSpriteBank() const = 0;
    virtual unsigned getSpriteNoFromChar(const wchar_t* c) const = 0;
};

}  // namespace pravik::gui
