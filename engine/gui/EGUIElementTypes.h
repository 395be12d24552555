#pragma once
// Element kinds, per-edge alignment and GUI event kinds, with their name tables.

namespace pravik::gui {

enum EGUI_ELEMENT_TYPE {
    EGUIET_BUTTON = 0,
    EGUIET_CHECK_BOX,
    EGUIET_COMBO_BOX,
    EGUIET_CONTEXT_MENU,
    EGUIET_MENU,
    EGUIET_EDIT_BOX,
    EGUIET_FILE_OPEN_DIALOG,
    EGUIET_COLOR_SELECT_DIALOG,
    EGUIET_IN_OUT_FADER,
    EGUIET_IMAGE,
    EGUIET_LIST_BOX,
    EGUIET_MESH_VIEWER,
    EGUIET_MESSAGE_BOX,
    EGUIET_MODAL_SCREEN,
    EGUIET_SCROLL_BAR,
    EGUIET_SPIN_BOX,
    EGUIET_STATIC_TEXT,
    EGUIET_TAB,
    EGUIET_TAB_CONTROL,
    EGUIET_TABLE,
    EGUIET_TOOL_BAR,
    EGUIET_WINDOW,
    EGUIET_COUNT,        // 22 standard kinds; no kind of its own
    EGUIET_ELEMENT = 23  // the plain element (the environment's root); not in the name table
};

// The 22 type names in kind order, then null.
extern const char* const GUIElementTypeNames[];

enum EGUI_ALIGNMENT {
    EGUIA_UPPERLEFT = 0,   // keeps its distance to the parent's upper or left side
    EGUIA_LOWERRIGHT = 1,  // keeps its distance to the lower or right side
    EGUIA_CENTER = 2,      // moves by half the parent's growth
    EGUIA_SCALE = 3        // stays at a fixed fraction of the parent's size
};

// "upperLeft", "lowerRight", "center", "scale", then null.
extern const char* const GUIAlignmentNames[];

enum EGUI_EVENT_TYPE {
    EGUIE_FOCUS_LOST = 0,
    EGUIE_FOCUSED,
    EGUIE_HOVERED,
    EGUIE_LEFT,
    EGUIE_CLOSED,
    EGUIE_BUTTON_CLICKED,
    EGUIE_SCROLL_BAR_CHANGED,
    EGUIE_CHECK_BOX_CHANGED,
    EGUIE_LIST_BOX_CHANGED,
    EGUIE_LIST_BOX_SELECTED_AGAIN,
    EGUIE_FILE_SELECTED,
    EGUIE_DIALOG_CANCELLED,
    EGUIE_MESSAGE_BOX_YES,
    EGUIE_MESSAGE_BOX_NO,
    EGUIE_MESSAGE_BOX_OK,
    EGUIE_MESSAGE_BOX_CANCEL,
    EGUIE_EDIT_BOX_ENTER,
    EGUIE_TAB_CHANGED,
    EGUIE_MENU_ITEM_SELECTED,
    EGUIE_COMBO_BOX_CHANGED,
    EGUIE_SPIN_BOX_CHANGED,
    EGUIE_TABLE_CHANGED,
    EGUIE_TABLE_HEADER_CHANGED,
    EGUIE_TABLE_SELECTED_AGAIN
};

}  // namespace pravik::gui
