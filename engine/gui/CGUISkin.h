#pragma once
// The skin of the three looks: type 0 and 1 take the classic colours and sizes, every other
// type the burning ones; gradients are drawn for types 1 and 2 only. The driver is not
// counted: the skin does not keep it alive.

#include "engine/gui/IGUISkin.h"

namespace pravik::video {
class IVideoDriver;
}

namespace pravik::gui {

class CGUISkin : public IGUISkin {
public:
    CGUISkin(EGUI_SKIN_TYPE type, video::IVideoDriver* driver);
    ~CGUISkin() override;

    video::SColor getColor(EGUI_DEFAULT_COLOR color) const override;
    void setColor(EGUI_DEFAULT_COLOR which, video::SColor newColor) override;
    int getSize(EGUI_DEFAULT_SIZE size) const override;
    const wchar_t* getDefaultText(EGUI_DEFAULT_TEXT text) const override;
    void setDefaultText(EGUI_DEFAULT_TEXT which, const wchar_t* newText) override;
    void setSize(EGUI_DEFAULT_SIZE which, int size) override;
    IGUIFont* getFont(EGUI_DEFAULT_FONT which = EGDF_DEFAULT) const override;
    void setFont(IGUIFont* font, EGUI_DEFAULT_FONT which = EGDF_DEFAULT) override;
    IGUISpriteBank* getSpriteBank() const override { return m_spriteBank; }
    void setSpriteBank(IGUISpriteBank* bank) override;
    unsigned getIcon(EGUI_DEFAULT_ICON icon) const override;
    void setIcon(EGUI_DEFAULT_ICON icon, unsigned index) override;

    void draw3DButtonPaneStandard(IGUIElement* element, const core::rect<int>& rect,
                                  const core::rect<int>* clip = nullptr) override;
    void draw3DButtonPanePressed(IGUIElement* element, const core::rect<int>& rect,
                                 const core::rect<int>* clip = nullptr) override;
    void draw3DSunkenPane(IGUIElement* element, video::SColor bgcolor, bool flat, bool fillBackGround,
                          const core::rect<int>& rect, const core::rect<int>* clip = nullptr) override;
    core::rect<int> draw3DWindowBackground(IGUIElement* element, bool drawTitleBar, video::SColor titleBarColor,
                                           const core::rect<int>& rect, const core::rect<int>* clip = nullptr) override;
    void draw3DMenuPane(IGUIElement* element, const core::rect<int>& rect, const core::rect<int>* clip = nullptr) override;
    void draw3DToolBar(IGUIElement* element, const core::rect<int>& rect, const core::rect<int>* clip = nullptr) override;
    void draw3DTabButton(IGUIElement* element, bool active, const core::rect<int>& rect,
                         const core::rect<int>* clip = nullptr, EGUI_ALIGNMENT alignment = EGUIA_UPPERLEFT) override;
    void draw3DTabBody(IGUIElement* element, bool border, bool background, const core::rect<int>& rect,
                       const core::rect<int>* clip = nullptr, int tabHeight = -1,
                       EGUI_ALIGNMENT alignment = EGUIA_UPPERLEFT) override;
    void drawIcon(IGUIElement* element, EGUI_DEFAULT_ICON icon, const core::position2d<int> position,
                  unsigned startTime = 0, unsigned currentTime = 0, bool loop = false,
                  const core::rect<int>* clip = nullptr) override;
    void draw2DRectangle(IGUIElement* element, video::SColor color, const core::rect<int>& pos,
                         const core::rect<int>* clip = nullptr) override;
    EGUI_SKIN_TYPE getType() const override { return m_type; }

    void serializeAttributes(io::IAttributes* out, io::SAttributeReadWriteOptions* options = nullptr) const override;
    void deserializeAttributes(io::IAttributes* in, io::SAttributeReadWriteOptions* options = nullptr) override;

    // P moved f of the way to Q, per byte in float, clamped and truncated.
    static video::SColor mix(video::SColor p, video::SColor q, float f);

private:
    void fill(video::SColor color, const core::rect<int>& r, const core::rect<int>* clip);
    void fill(const core::rect<int>& r, video::SColor upperLeft, video::SColor upperRight, video::SColor lowerLeft,
              video::SColor lowerRight, const core::rect<int>* clip);
    void verticalGradient(const core::rect<int>& r, video::SColor top, video::SColor bottom, const core::rect<int>* clip)
    {
        fill(r, top, top, bottom, bottom, clip);
    }
    void horizontalGradient(const core::rect<int>& r, video::SColor left, video::SColor right,
                            const core::rect<int>* clip)
    {
        fill(r, left, right, left, right, clip);
    }

    video::SColor m_colors[EGDC_COUNT];
    int m_sizes[EGDS_COUNT];
    unsigned m_icons[EGDI_COUNT];
    IGUIFont* m_fonts[EGDF_COUNT] = {};
    IGUISpriteBank* m_spriteBank = nullptr;
    core::stringw m_texts[EGDT_COUNT];
    video::IVideoDriver* m_driver;
    bool m_useGradient;
    EGUI_SKIN_TYPE m_type;
};

}  // namespace pravik::gui
