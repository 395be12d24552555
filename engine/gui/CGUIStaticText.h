#pragma once
// Static text: word wrap breaks the caption into lines narrower than the rectangle less 6
// pixels; each line is aligned on its own.

#include "engine/gui/IGUIStaticText.h"

#include <vector>

namespace pravik::gui {

class CGUIStaticText : public IGUIStaticText {
public:
    CGUIStaticText(const wchar_t* text, bool border, IGUIEnvironment* environment, IGUIElement* parent, int id,
                   const core::rect<int>& rectangle, bool background = false);
    ~CGUIStaticText() override;

    void draw() override;
    void setText(const wchar_t* text) override;
    void updateAbsolutePosition() override;

    void setOverrideFont(IGUIFont* font = nullptr) override;
    IGUIFont* getOverrideFont() const override { return m_overrideFont; }
    void setOverrideColor(video::SColor color) override;
    video::SColor getOverrideColor() const override { return m_overrideColor; }
    void enableOverrideColor(bool enable) override { m_overrideColorEnabled = enable; }
    bool isOverrideColorEnabled() const override { return m_overrideColorEnabled; }
    void setBackgroundColor(video::SColor color) override;
    video::SColor getBackgroundColor() const { return m_backgroundColor; }
    void setDrawBackground(bool draw) override { m_background = draw; }
    bool isDrawBackgroundEnabled() const { return m_background; }
    void setDrawBorder(bool draw) override { m_border = draw; }
    bool isDrawBorderEnabled() const { return m_border; }
    void setTextAlignment(EGUI_ALIGNMENT horizontal, EGUI_ALIGNMENT vertical) override;
    void setWordWrap(bool enable) override;
    bool isWordWrapEnabled() const override { return m_wordWrap; }
    int getTextHeight() const override;
    int getTextWidth() const override;

    void serializeAttributes(io::IAttributes* out, io::SAttributeReadWriteOptions* options = nullptr) const override;
    void deserializeAttributes(io::IAttributes* in, io::SAttributeReadWriteOptions* options = nullptr) override;

    const std::vector<core::stringw>& getBrokenText() const { return m_brokenText; }

private:
    void breakText();
    IGUIFont* currentFont() const;  // the override font, else the skin's default; null without a skin

    std::vector<core::stringw> m_brokenText;
    bool m_border;
    EGUI_ALIGNMENT m_hAlign = EGUIA_UPPERLEFT;
    EGUI_ALIGNMENT m_vAlign = EGUIA_UPPERLEFT;
    bool m_overrideColorEnabled = false;
    bool m_wordWrap = false;
    bool m_background;
    video::SColor m_overrideColor{255, 255, 255, 101};
    video::SColor m_backgroundColor{210, 210, 210, 101};
    IGUIFont* m_overrideFont = nullptr;
    IGUIFont* m_lastBreakFont = nullptr;  // not owned
};

}  // namespace pravik::gui
