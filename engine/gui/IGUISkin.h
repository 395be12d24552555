#pragma once
// The look of the GUI: default colours, sizes, texts, icon sprite numbers and fonts of every
// widget, a sprite bank for the icons, and the pane-drawing operations widgets call.

#include "engine/core/rect.h"
#include "engine/gui/EGUIElementTypes.h"
#include "engine/io/IAttributeExchangingObject.h"
#include "engine/video/SColor.h"

namespace pravik::gui {

class IGUIElement;
class IGUIFont;
class IGUISpriteBank;

enum EGUI_SKIN_TYPE { EGST_WINDOWS_CLASSIC = 0, EGST_WINDOWS_METALLIC, EGST_BURNING, EGST_UNKNOWN, EGST_COUNT };
extern const char* const GUISkinTypeNames[];

enum EGUI_DEFAULT_COLOR {
    EGDC_3D_DARK_SHADOW = 0,
    EGDC_3D_SHADOW,
    EGDC_3D_FACE,
    EGDC_3D_HIGHLIGHT,
    EGDC_3D_LIGHT,
    EGDC_ACTIVE_BORDER,
    EGDC_ACTIVE_CAPTION,
    EGDC_APP_WORKSPACE,
    EGDC_BUTTON_TEXT,
    EGDC_GRAY_TEXT,
    EGDC_HIGHLIGHT,
    EGDC_HIGHLIGHT_TEXT,
    EGDC_INACTIVE_BORDER,
    EGDC_INACTIVE_CAPTION,
    EGDC_TOOLTIP,
    EGDC_TOOLTIP_BACKGROUND,
    EGDC_SCROLLBAR,
    EGDC_WINDOW,
    EGDC_WINDOW_SYMBOL,
    EGDC_ICON,
    EGDC_ICON_HIGHLIGHT,
    EGDC_COUNT
};
extern const char* const GUISkinColorNames[];

enum EGUI_DEFAULT_SIZE {
    EGDS_SCROLLBAR_SIZE = 0,
    EGDS_MENU_HEIGHT,
    EGDS_WINDOW_BUTTON_WIDTH,
    EGDS_CHECK_BOX_WIDTH,
    EGDS_MESSAGE_BOX_WIDTH,
    EGDS_MESSAGE_BOX_HEIGHT,
    EGDS_BUTTON_WIDTH,
    EGDS_BUTTON_HEIGHT,
    EGDS_TEXT_DISTANCE_X,
    EGDS_TEXT_DISTANCE_Y,
    EGDS_COUNT
};
extern const char* const GUISkinSizeNames[];

enum EGUI_DEFAULT_TEXT {
    EGDT_MESSAGE_BOX_OKAY = 0,
    EGDT_MESSAGE_BOX_CANCEL,
    EGDT_MESSAGE_BOX_YES,
    EGDT_MESSAGE_BOX_NO,
    EGDT_WINDOW_CLOSE,
    EGDT_WINDOW_MAXIMIZE,
    EGDT_WINDOW_MINIMIZE,
    EGDT_WINDOW_RESTORE,
    EGDT_COUNT
};
extern const char* const GUISkinTextNames[];

enum EGUI_DEFAULT_ICON {
    EGDI_WINDOW_MAXIMIZE = 0,
    EGDI_WINDOW_RESTORE,
    EGDI_WINDOW_CLOSE,
    EGDI_WINDOW_MINIMIZE,
    EGDI_WINDOW_RESIZE,
    EGDI_CURSOR_UP,
    EGDI_CURSOR_DOWN,
    EGDI_CURSOR_LEFT,
    EGDI_CURSOR_RIGHT,
    EGDI_MENU_MORE,
    EGDI_CHECK_BOX_CHECKED,
    EGDI_DROP_DOWN,
    EGDI_SMALL_CURSOR_UP,
    EGDI_SMALL_CURSOR_DOWN,
    EGDI_RADIO_BUTTON_CHECKED,
    EGDI_MORE_LEFT,
    EGDI_MORE_RIGHT,
    EGDI_MORE_UP,
    EGDI_MORE_DOWN,
    EGDI_EXPAND,
    EGDI_COLLAPSE,
    EGDI_FILE,
    EGDI_DIRECTORY,
    EGDI_COUNT
};
extern const char* const GUISkinIconNames[];

enum EGUI_DEFAULT_FONT { EGDF_DEFAULT = 0, EGDF_BUTTON, EGDF_WINDOW, EGDF_MENU, EGDF_TOOLTIP, EGDF_COUNT };

class IGUISkin : public virtual io::IAttributeExchangingObject {
public:
    virtual video::SColor getColor(EGUI_DEFAULT_COLOR color) const = 0;
    virtual void setColor(EGUI_DEFAULT_COLOR which, video::SColor newColor) = 0;
    virtual int getSize(EGUI_DEFAULT_SIZE size) const = 0;
    virtual const wchar_t* getDefaultText(EGUI_DEFAULT_TEXT text) const = 0;
    virtual void setDefaultText(EGUI_DEFAULT_TEXT which, const wchar_t* newText) = 0;
    virtual void setSize(EGUI_DEFAULT_SIZE which, int size) = 0;
    virtual IGUIFont* getFont(EGUI_DEFAULT_FONT which = EGDF_DEFAULT) const = 0;
    virtual void setFont(IGUIFont* font, EGUI_DEFAULT_FONT which = EGDF_DEFAULT) = 0;
    virtual IGUISpriteBank* getSpriteBank() const = 0;
    virtual void setSpriteBank(IGUISpriteBank* bank) = 0;
    virtual unsigned getIcon(EGUI_DEFAULT_ICON icon) const = 0;
    virtual void setIcon(EGUI_DEFAULT_ICON icon, unsigned index) = 0;

    virtual void draw3DButtonPaneStandard(IGUIElement* element, const core::rect<int>& rect,
                                          const core::rect<int>* clip = nullptr) = 0;
    virtual void draw3DButtonPanePressed(IGUIElement* element, const core::rect<int>& rect,
                                         const core::rect<int>* clip = nullptr) = 0;
    virtual void draw3DSunkenPane(IGUIElement* element, video::SColor bgcolor, bool flat, bool fillBackGround,
                                  const core::rect<int>& rect, const core::rect<int>* clip = nullptr) = 0;
    virtual core::rect<int> draw3DWindowBackground(IGUIElement* element, bool drawTitleBar, video::SColor titleBarColor,
                                                   const core::rect<int>& rect,
                                                   const core::rect<int>* clip = nullptr) = 0;
    virtual void draw3DMenuPane(IGUIElement* element, const core::rect<int>& rect,
                                const core::rect<int>* clip = nullptr) = 0;
    virtual void draw3DToolBar(IGUIElement* element, const core::rect<int>& rect,
                               const core::rect<int>* clip = nullptr) = 0;
    virtual void draw3DTabButton(IGUIElement* element, bool active, const core::rect<int>& rect,
                                 const core::rect<int>* clip = nullptr, EGUI_ALIGNMENT alignment = EGUIA_UPPERLEFT) = 0;
    virtual void draw3DTabBody(IGUIElement* element, bool border, bool background, const core::rect<int>& rect,
                               const core::rect<int>* clip = nullptr, int tabHeight = -1,
                               EGUI_ALIGNMENT alignment = EGUIA_UPPERLEFT) = 0;
    virtual void drawIcon(IGUIElement* element, EGUI_DEFAULT_ICON icon, const core::position2d<int> position,
                          unsigned startTime = 0, unsigned currentTime = 0, bool loop = false,
                          const core::rect<int>* clip = nullptr) = 0;
    virtual void draw2DRectangle(IGUIElement* element, video::SColor color, const core::rect<int>& pos,
                                 const core::rect<int>* clip = nullptr) = 0;
    virtual EGUI_SKIN_TYPE getType() const { return EGST_UNKNOWN; }
};

}  // namespace pravik::gui
