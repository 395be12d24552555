// A touch region of the registry's layers. So far only its life in the layers: it owns its
// children. Hit-testing and key raising come with the touch registry.
#pragma once

#include <vector>

class CAITouchObj {
public:
    enum Shape { RECT = 0 };   // TEMP
    virtual ~CAITouchObj()
    {
        for (CAITouchObj* child : m_children)
            delete child;
    }

    std::vector<CAITouchObj*> m_children;   // owned
    int m_slot = -1;                        // touch slot, -1 none

    static int _list_cursor_id;
};

using TouchLayer = std::vector<CAITouchObj*>;   // one layer of the registry; owns its objects
