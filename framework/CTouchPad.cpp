#include "framework/CTouchPad.h"

#include "framework/CGame.h"
#include "framework/GameInterface.h"
#include "framework/ScreenGeometry.h"
#include "framework/Trace.h"

int CTouchPad::m_nLastX = 0;
int CTouchPad::m_nLastY = 0;

namespace {

void pointerPressed(int x, int y)
{
    Trace("pointer pressed %d %d", x, y);
    GameInterface().pointerPressed(x, y);
}

void pointerDragged(int x, int y)
{
    Trace("pointer dragged %d %d", x, y);
    GameInterface().pointerDragged(x, y);
}

void pointerReleased(int x, int y)
{
    Trace("pointer released %d %d", x, y);
    GameInterface().pointerReleased(x, y);
}

} // namespace

void CTouchPad::Record(int x, int y, void* id, int kind, int value, int& lx, int& ly)
{
    int slot = 0;
    if (m_slots[0].live) {
        for (int i = 1; i < SLOT_COUNT; ++i)
            if (!m_slots[i].live) {
                slot = i;
                break;
            }
    }
    SEvent& e = m_slots[slot];
    e.x = x;
    e.y = y;
    e.id = id;
    e.kind = kind;
    e.value = value;
    e.aged = false;
    e.live = true;
    ++m_liveCount;
    m_nLastX = x;
    m_nLastY = y;
    lx = int(float(x) * float(Screen_Width()) / 320.0f);
    ly = int(float(y) * float(Screen_Height()) / 480.0f);
}

void CTouchPad::PadTouchEvent(int x, int y, void* id, int value)
{
    int lx, ly;
    Record(x, y, id, KIND_PRESS, value, lx, ly);
    pointerPressed(lx, ly);
    for (const SFinger& f : m_fingers)
        if (f.id == id)
            return;
    m_fingers.push_back(SFinger{0, id, lx, ly});
    if (m_fingers.size() == 1)
        GameInterface().RacketOnClick(lx, ly, true);
}

void CTouchPad::PadMoveEvent(int x, int y, void* id)
{
    int lx, ly;
    Record(x, y, id, KIND_MOVE, 0, lx, ly);
    if (m_fingers.size() != 1)
        return;
    GameInterface().RacketOnMove(lx, ly);
    pointerDragged(lx, ly);
}

void CTouchPad::PadUntouchEvent(int x, int y, void* id, int value)
{
    int lx, ly;
    Record(x, y, id, KIND_RELEASE, value, lx, ly);
    pointerReleased(lx, ly);
    int rx = lx, ry = ly;
    for (auto it = m_fingers.begin(); it != m_fingers.end(); ++it)
        if (it->id == id) {
            rx = it->x;
            ry = it->y;
            m_fingers.erase(it);
            break;
        }
    GameInterface().RacketOnClick(rx, ry, false);
    if (m_fingers.size() == 1)
        GameInterface().RacketOnClick(m_fingers.front().x, m_fingers.front().y, true);
}

void CTouchPad::PadCancelEvent(int x, int y, void* id)
{
    if (CGame* game = CGame::GetGame())
        game->ClearKeyPress();
    Clear();
    int lx, ly;
    Record(x, y, id, KIND_CANCEL, 0, lx, ly);
    pointerReleased(lx, ly);
}

void CTouchPad::Update()
{
    for (int i = SLOT_COUNT - 1; i >= 0; --i) {
        SEvent& e = m_slots[i];
        if (!e.live)
            continue;
        if (!e.aged) {
            e.aged = true;
        } else {
            e.live = false;
            --m_liveCount;
        }
    }
}

void CTouchPad::Clear()
{
    m_liveCount = 0;
    m_fingers.clear();
}

void CTouchPad::Pause()
{
    m_fingers.clear();
}

template <typename Test>
int* CTouchPad::Find(Test test)
{
    for (int i = SLOT_COUNT - 1; i >= 0; --i)
        if (m_slots[i].live && test(m_slots[i]))
            return &m_slots[i].x;
    return nullptr;
}

namespace {
bool inside(const CTouchPad::SRect& r, const CTouchPad::SEvent& e)
{
    return r.x1 <= e.x && e.x <= r.x2 && r.y1 <= e.y && e.y <= r.y2;
}
bool matches(void* id, const CTouchPad::SEvent& e)
{
    return !id || e.id == id;
}
} // namespace

int* CTouchPad::CheckClicked()
{
    return Find([](const SEvent& e) { return e.kind == KIND_PRESS; });
}

int* CTouchPad::CheckClickedInRegion(const SRect& r)
{
    return Find([&](const SEvent& e) { return e.kind == KIND_PRESS && inside(r, e); });
}

int* CTouchPad::CheckUnClicked(void* id)
{
    return Find([&](const SEvent& e) { return (e.kind == KIND_RELEASE || e.kind == KIND_CANCEL) && matches(id, e); });
}

int* CTouchPad::CheckUnClickedInRegion(const SRect& r, void* id)
{
    return Find([&](const SEvent& e) {
        return (e.kind == KIND_RELEASE || e.kind == KIND_CANCEL) && matches(id, e) && inside(r, e);
    });
}

int* CTouchPad::CheckMoved(void* id)
{
    return Find([&](const SEvent& e) { return e.kind == KIND_MOVE && matches(id, e); });
}

int* CTouchPad::CheckMovedInRegion(const SRect& r, void* id)
{
    return Find([&](const SEvent& e) { return e.kind == KIND_MOVE && matches(id, e) && inside(r, e); });
}

int* CTouchPad::CheckUnMovedInRegion(const SRect& r)
{
    return Find([&](const SEvent& e) { return e.kind == KIND_CANCEL && inside(r, e); });
}

void CTouchPad::GetCoorRate(float& rx, float& ry) const
{
    const CGame* game = CGame::GetGame();
    const int w = game ? game->GetWindowWidth() : Screen_Width();
    const int h = game ? game->GetWindowHeigh() : Screen_Height();
    const bool retina = w == 640 && h == 960;
    rx = float(Screen_Width()) / float(retina ? 320 : (w ? w : 1));
    ry = float(Screen_Height()) / float(retina ? 480 : (h ? h : 1));
}
