// A touch region of the registry's layers: a button (rectangle, circle or diamond) or a list that
// owns its child buttons. A touched region raises its key in the application's key table.
#pragma once

#include <vector>

class CAITouchObj {
public:
    enum Kind { BUTTON = 0, LIST = 1 };
    enum Shape { RECT = 0, CIRCLE = 1, DIAMOND = 2 };

    CAITouchObj() = default;
    CAITouchObj(const CAITouchObj&) = delete;
    CAITouchObj& operator=(const CAITouchObj&) = delete;
    virtual ~CAITouchObj()
    {
        for (CAITouchObj* child : m_children)
            delete child;
    }

    // Bounds inclusive; a list is hit through the last-added child under the point, which it
    // names in _list_cursor_id.
    bool isTrigger(int x, int y) const;
    void AddChild(CAITouchObj* child);   // owned; grows the list's bounds

    int m_x = 0, m_y = 0, m_w = 0, m_h = 0;
    int m_kind = BUTTON;
    int m_shape = RECT;
    std::vector<CAITouchObj*> m_children;   // lists only; owned
    int m_bounds[4] = {-1, -1, -1, -1};     // lists only: left, top, right, bottom
    int m_highlightFrame = -1;
    int m_key = 0;
    int m_effectTicks = 0;
    int m_slot = -1;                        // touch slot, -1 none
    int m_selectFirst = 0;

    static int _list_cursor_id;
};

using TouchLayer = std::vector<CAITouchObj*>;   // one layer of the registry; owns its objects
