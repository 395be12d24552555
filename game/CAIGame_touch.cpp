// The touch registry: screens register regions every frame; pointer events record the finger;
// Touch_update hit-tests once a frame and turns a touched region into a press and a (possibly
// delayed) release of its key, so touch and keys share one path.
#include "game/CAIGame.h"

#include <algorithm>

#include "engine/os/Timer.h"
#include "framework/ScreenGeometry.h"

namespace {

constexpr int kLayers = 3;
constexpr int kSlots = 52;
int s_lastLayer1Key = 0;

bool ValidLayer(int layer) { return layer >= 0 && layer < kLayers && layer < CAIGame::s_touch_vector.length; }

TouchLayer* Layer(int layer) { return ValidLayer(layer) ? CAIGame::s_touch_vector.data[layer] : nullptr; }

bool SlotTaken(int slot) { return CAIGame::s_slots.data && CAIGame::s_slots.data[slot] != 0; }

void SetSlot(int slot, uint8_t taken)
{
    if (slot >= 0 && slot < CAIGame::s_slots.length)
        CAIGame::s_slots.data[slot] = taken;
}

void ForgetRegion(CAITouchObj* obj)
{
    if (CAIGame::s_curObj == obj)
        CAIGame::s_curObj = nullptr;
    if (CAIGame::s_pressingObj == obj)
        CAIGame::s_pressingObj = nullptr;
    CDataArray<CAITouchObj*>& racket = CAIGame::s_Racket_button_TouchObj;
    for (int i = 0; i < racket.length; ++i) {
        if (racket.data[i] == obj)
            racket.data[i] = nullptr;
    }
}

}  // namespace

int CAITouchObj::_list_cursor_id = -1;

bool CAITouchObj::isTrigger(int x, int y) const
{
    if (m_kind == LIST) {
        if (x >= m_bounds[0] && x <= m_bounds[2] && y >= m_bounds[1] && y <= m_bounds[3]) {
            for (int i = int(m_children.size()) - 1; i >= 0; --i) {
                if (m_children[size_t(i)]->isTrigger(x, y)) {
                    _list_cursor_id = i;
                    return true;
                }
            }
        }
        _list_cursor_id = -1;
        return false;
    }
    switch (m_shape) {
    case RECT:
        return x >= m_x && x <= m_x + m_w && y >= m_y && y <= m_y + m_h;
    case CIRCLE: {
        const long long r = m_w / 2;
        const long long dx = x - m_x - r, dy = y - m_y - m_h / 2;
        return dx * dx + dy * dy - r * r <= 0;
    }
    case DIAMOND: {
        const int hw = m_w / 2, hh = m_h / 2;
        const long long a = hh + (y > m_y + hh ? y - m_h - m_y : m_y - y);
        const long long b = x > m_x + hw ? m_x + m_w - x : x - m_x;
        return (long long)m_w * a - (long long)m_h * b < 0;
    }
    default:
        return false;
    }
}

void CAITouchObj::AddChild(CAITouchObj* child)
{
    m_children.push_back(child);
    auto smaller = [](int& bound, int v) { bound = bound == -1 ? v : std::min(bound, v); };
    auto larger = [](int& bound, int v) { bound = bound == -1 ? v : std::max(bound, v); };
    smaller(m_bounds[0], child->m_x);
    smaller(m_bounds[1], child->m_y);
    larger(m_bounds[2], child->m_x + child->m_w);
    larger(m_bounds[3], child->m_y + child->m_h);
}

// ---- Pointer entry points (logical coordinates, from the touch tracker)

void CAIGame::pointerPressed(int x, int y)
{
    s_first_intoConfirm = false;
    s_touch_x = x;
    s_touch_y = y;
    s_release_x = s_release_y = 0;
    s_touchReleased = false;
    s_touchPressed = true;
    if (s_stateCurrent == STATE_INGAME) {
        const float h = float(Screen_Height());
        if (x > 0 && x <= Screen_Width() - 2 && float(y) >= h * 0.12f && float(y) <= h * 0.88f - 2)
            g_bNeedCheckPress = true;
    }
    s_touchStateNeedProcessed = true;
    s_touchStateHasProcessed = false;
    s_touchState = 1;
    s_touch_down_time = int32_t(pravik::os::Timer::getRealTime());
    s_touchPressedNew = true;
}

void CAIGame::pointerDragged(int x, int y)
{
    s_touch_x = x;
    s_touch_y = y;
    if (s_stateCurrent == STATE_ISLAND && x > 10 && x <= 164 && y > 105 && y <= 614 && !IsMove) {
        const int key = y < s_racket_target_y ? 36 : 30;
        keyPressed(key);
        keyReleased(key);
        IsMove = true;
    }
    s_touchPressed = true;
    s_touchStateNeedProcessed = true;
    s_touchStateHasProcessed = false;
    s_touchState = 4;
}

void CAIGame::pointerReleased(int x, int y)
{
    const long long dx = x - s_touch_x, dy = y - s_touch_y;
    s_touch_press_dis_pow2 = int32_t(std::min<long long>(dx * dx + dy * dy, 0x7FFFFFFF));
    IsMove = false;
    s_touch_x = s_touch_y = 0;
    s_release_x = x;
    s_release_y = y;
    s_touchReleased = true;
    s_touchPressed = false;
    g_bNeedCheckPress = false;
    s_touchStateNeedProcessed = true;
    s_touchStateHasProcessed = false;
    s_touchState = 2;
    s_touch_press_time = int32_t(pravik::os::Timer::getRealTime()) - s_touch_down_time;
    s_touchPressedNew = false;
    s_pressingObj = nullptr;
}

bool CAIGame::isClick() { return s_touch_press_dis_pow2 < 6400 && s_touch_press_time < 300; }

void CAIGame::keyPressed(int key)
{
    if (CPad* pad = KeyPad())
        pad->KeyClick(key, true);
}

void CAIGame::keyReleased(int key)
{
    if (CPad* pad = KeyPad())
        pad->KeyClick(key, false);
}

// ---- Registry

int CAIGame::Touch_Add_Button(int layer, int slot, int, int shape, int x, int y, int w, int h, int highlightFrame,
                              int key, int ticks)
{
    TouchLayer* objs = Layer(layer);
    if (!objs || slot < 0 || slot >= kSlots || SlotTaken(slot))
        return -1;
    SetSlot(slot, 1);
    auto* obj = new CAITouchObj;
    obj->m_kind = CAITouchObj::BUTTON;
    obj->m_shape = shape;
    obj->m_x = x, obj->m_y = y, obj->m_w = w, obj->m_h = h;
    obj->m_highlightFrame = highlightFrame;
    obj->m_key = key;
    obj->m_effectTicks = ticks;
    obj->m_slot = slot;
    objs->push_back(obj);
    return int(objs->size()) - 1;
}

int CAIGame::Touch_Add_List(int layer, int slot, int shape, int highlightFrame, int key, int ticks)
{
    return Touch_Add_List(layer, slot, 0, shape, 0, 0, 0, 0, highlightFrame, key, ticks);
}

int CAIGame::Touch_Add_List(int layer, int slot, int, int shape, int x, int y, int w, int h, int highlightFrame,
                            int key, int ticks)
{
    TouchLayer* objs = Layer(layer);
    if (!objs || slot < 0 || slot >= kSlots || SlotTaken(slot))
        return -1;
    SetSlot(slot, 1);
    auto* obj = new CAITouchObj;
    obj->m_kind = CAITouchObj::LIST;
    obj->m_shape = shape;
    obj->m_x = x, obj->m_y = y, obj->m_w = w, obj->m_h = h;
    obj->m_highlightFrame = highlightFrame;
    obj->m_key = key;
    obj->m_effectTicks = ticks;
    obj->m_slot = slot;
    objs->push_back(obj);
    _last_list_id = int(objs->size()) - 1;
    return _last_list_id;
}

int CAIGame::Touch_Add_List_Btn(int layer, int list, int x, int y, int w, int h)
{
    CAITouchObj* parent = Touch_GetObj(layer, list);
    if (!parent || parent->m_kind != CAITouchObj::LIST)
        return -1;
    auto* child = new CAITouchObj;
    child->m_x = x + CGame::GetLogicWidthOffset(), child->m_y = y, child->m_w = w, child->m_h = h;
    child->m_slot = parent->m_slot;
    child->m_highlightFrame = parent->m_highlightFrame;
    child->m_key = parent->m_key;
    child->m_effectTicks = parent->m_effectTicks;
    parent->AddChild(child);
    return int(parent->m_children.size()) - 1;
}

int CAIGame::Touch_Add_List_Btn(int layer, int list, int slot, int x, int y, int w, int h, int,
                                int highlightFrame, int key)
{
    CAITouchObj* parent = Touch_GetObj(layer, list);
    if (!parent || parent->m_kind != CAITouchObj::LIST)
        return -1;
    auto* child = new CAITouchObj;
    child->m_x = x, child->m_y = y, child->m_w = w, child->m_h = h;
    child->m_slot = slot;
    child->m_highlightFrame = highlightFrame;
    child->m_key = key;
    child->m_effectTicks = parent->m_effectTicks;
    parent->AddChild(child);
    return int(parent->m_children.size()) - 1;
}

int CAIGame::Touch_Add_List_Btns(int layer, int list, int slot, int count, int x, int y, int w, int h, int dx,
                                 int dy, int highlightFrame, int key)
{
    CAITouchObj* parent = Touch_GetObj(layer, list);
    if (!parent || parent->m_kind != CAITouchObj::LIST)
        return -1;
    const int before = int(parent->m_children.size());
    for (int i = 0; i < count; ++i)
        Touch_Add_List_Btn(layer, list, slot, x + i * dx, y + i * dy, w, h, 0, highlightFrame, key);
    return before;
}

void CAIGame::AddGraphItemTouch(int layer, int element, int anchor, int selectFirst, int x, int y)
{
    int rect[4];
    GetGraphItemRectTouch(rect, layer, element);
    const int w = rect[2], h = rect[3];
    x += GetParamValue(layer, element, 2);
    y += GetParamValue(layer, element, 3);
    if (anchor & 0x04)
        x -= w / 2;
    else if (anchor & 0x08)
        x -= w;
    if (anchor & 0x20)
        y -= h / 2;
    else if (anchor & 0x40)
        y -= h;
    const int child = Touch_Add_List_Btn(1, _last_list_id, x, y, w, h);
    if (CAITouchObj* list = child >= 0 ? Touch_GetObj(1, _last_list_id) : nullptr)
        list->m_children[size_t(child)]->m_selectFirst = selectFirst;
}

CAITouchObj* CAIGame::Touch_GetObj(int layer, int index)
{
    TouchLayer* objs = Layer(layer);
    if (!objs || index < 0 || index >= int(objs->size()))
        return nullptr;
    return (*objs)[size_t(index)];
}

int CAIGame::Touch_GetObjID(int layer, CAITouchObj* obj)
{
    TouchLayer* objs = Layer(layer);
    if (!objs || !obj)
        return -1;
    const auto it = std::find(objs->begin(), objs->end(), obj);
    return it == objs->end() ? -1 : int(it - objs->begin());
}

void CAIGame::Touch_RemoveObj(int layer, int index)
{
    CAITouchObj* obj = Touch_GetObj(layer, index);
    if (!obj)
        return;
    if (obj->m_kind == CAITouchObj::LIST)
        --_last_list_id;
    SetSlot(obj->m_slot, 0);
    ForgetRegion(obj);
    TouchLayer* objs = Layer(layer);
    objs->erase(objs->begin() + index);
    delete obj;
}

void CAIGame::Touch_RemoveLayer(int layer)
{
    while (TouchLayer* objs = Layer(layer)) {
        if (objs->empty())
            break;
        Touch_RemoveObj(layer, 0);
    }
}

void CAIGame::Touch_RemoveAllObj()
{
    for (int layer = kLayers - 1; layer >= 0; --layer) {
        if (TouchLayer* objs = Layer(layer)) {
            for (CAITouchObj* obj : *objs)
                delete obj;
            objs->clear();
        }
    }
    for (int i = 0; i < s_slots.length; ++i)
        s_slots.data[i] = 0;
    _last_list_id = -1;
    s_curObj = s_pressingObj = nullptr;
    s_nPressingSelectItem = -1;
    for (int i = 0; i < s_Racket_button_TouchObj.length; ++i)
        s_Racket_button_TouchObj.data[i] = nullptr;
}

void CAIGame::ResetSoftkeys() { _leftSoftkeyId = _rightSoftkeyId = 204; }

void CAIGame::Touch_add_full_screen()
{
    const int w = Screen_Width(), h = Screen_Height();
    if (s_stateCurrent == STATE_INGAME)
        Touch_Add_Button(0, 0, 0, CAITouchObj::RECT, 1, int(0.12 * h), w - 2, int(0.88 * h - 2), -1, 7, 0);
    else
        Touch_Add_Button(0, 0, 0, CAITouchObj::RECT, 1, 1, w - 2, h - 2, -1, 7, 0);
}

// The touch sprite's animation plays after an animated button is let go. A player without a
// sprite never ends by itself, so it counts as finished: otherwise a missing touch sprite would
// leave every tap ignored.
static bool TouchAniRunning()
{
    return CAIGame::s_touchAni && CAIGame::s_touchAni->GetSprite() && !CAIGame::s_touchAni->IsAnimOver();
}

// A region became current: a key other than the remembered layer-1 key clears the pressed keys.
static void MakeCurrent(CAITouchObj* obj, int layer)
{
    if (s_lastLayer1Key != 0 && obj->m_key != s_lastLayer1Key) {
        CAIGame::ResetKey();
        s_lastLayer1Key = 0;
    }
    if (layer == 1)
        s_lastLayer1Key = obj->m_key;
    CAIGame::s_curObj = obj;
}

static void FireCurrentKey()
{
    if (CAIGame::s_curObj)
        CAIGame::keyReleased(CAIGame::s_curObj->m_key);
    CAIGame::s_sel_cnt = 0;
    CAIGame::s_touch_ani_cnt = 0;
    CAITouchObj::_list_cursor_id = -1;
    CAIGame::s_frame_HL_id = -1;
    CAIGame::s_touch_ani_state = 0;
}

void CAIGame::Touch_update()
{
    if (s_touchStateNeedProcessed)
        s_touchStateHasProcessed = true;

    if (s_touch_ani_state == 1) {
        if (!TouchAniRunning()) {
            if (s_effectTick > 0 && !s_useShowNotifyCounter)
                s_can_touch = false;
            if (s_curObj)
                keyReleased(s_curObj->m_key);
            CAITouchObj::_list_cursor_id = s_frame_HL_id = -1;
            s_touch_ani_state = s_effectTick = s_sel_cnt = 0;
        } else {
            s_touchAni->Update(s_game_frameDT);
        }
        if (!s_can_touch)
            s_touch_ani_cnt = 1;
        return;
    }
    if (s_effectTick >= 1) {
        const int before = s_effectTick--;
        if (s_stateCurrent == STATE_SHOP_BUY && s_nLastShopBuyPressed != s_menuSelection && !s_bShowConfirm) {
            s_effectTick = 0;
            FireCurrentKey();
        } else if (before == 1) {
            FireCurrentKey();
        }
        return;
    }
    if (s_touchState == 0) {
        s_touch_ani_state = 0;
        return;
    }
    if (TouchAniRunning())
        return;
    if (!s_can_touch) {
        s_frame_HL_id = -1;
        return;
    }
    const bool press = (s_touchState & 1) != 0, drag = (s_touchState & 4) != 0;
    for (int layer = kLayers - 1; layer >= 0; --layer) {
        TouchLayer* objs = Layer(layer);
        if (!objs)
            continue;
        for (int i = int(objs->size()) - 1; i >= 0; --i) {
            CAITouchObj* obj = (*objs)[size_t(i)];
            if (press || drag) {
                if (!obj->isTrigger(s_touch_x, s_touch_y))
                    continue;
                MakeCurrent(obj, layer);
                s_frame_HL_id = obj->m_highlightFrame;
                if (press) {
                    keyPressed(obj->m_key);
                    if (!drag) {
                        s_pressingObj = obj;
                        s_nPressingSelectItem = CAITouchObj::_list_cursor_id;
                    }
                }
                if (obj->m_selectFirst > 0 && (CAITouchObj::_list_cursor_id != s_menuSelection || s_press_item_cnt == 0))
                    s_sel_cnt = 1;
                ++s_press_item_cnt;
                return;
            }
            if (s_touchState == 2) {
                if (!obj->isTrigger(s_release_x, s_release_y))
                    continue;
                MakeCurrent(obj, layer);
                s_effectTick = obj->m_effectTicks;
                if (obj->m_selectFirst > 0 && s_sel_cnt == 1) {
                    s_sel_cnt = 0;
                    s_effectTick = 0;
                } else if (obj->m_highlightFrame < 0 || obj->m_effectTicks < 1) {
                    s_frame_HL_id = CAITouchObj::_list_cursor_id = -1;
                    keyReleased(obj->m_key);
                    s_effectTick = 0;
                    s_touch_ani_state = 0;
                } else {
                    s_frame_HL_id = obj->m_highlightFrame;
                    const int entry = s_menuSelection >= 0 && s_menuSelection < 40 ? s_menuCurrent[s_menuSelection] : 0;
                    if ((entry & 0x10000) == 0 && (obj->m_highlightFrame == 23 || obj->m_highlightFrame == 1)) {
                        if (!s_useShowNotifyCounter)
                            s_can_touch = false;
                        s_touch_ani_state = 1;
                        if (s_touchAni && !TouchAniRunning())
                            s_touchAni->SetAnim(0, 1);
                    }
                }
                return;
            }
        }
    }
    s_frame_HL_id = CAITouchObj::_list_cursor_id = -1;
    s_touch_ani_state = 0;
    s_curObj = nullptr;
    if (press && !drag) {
        s_pressingObj = nullptr;
        s_nPressingSelectItem = -1;
    }
}
