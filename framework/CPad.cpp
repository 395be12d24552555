#include "framework/CPad.h"

#include "framework/CGame.h"

#include <cstring>

CPad::CPad()
{
    std::memset(m_reserved, 0xFF, sizeof m_reserved);
    std::memset(m_held, 0, sizeof m_held);
    std::memset(m_released, 0, sizeof m_released);
    std::memset(m_pressed, 0, sizeof m_pressed);
    std::memset(m_double, 0, sizeof m_double);
}

void CPad::KeyClick(int key, bool down)
{
    if (!Valid(key))
        return;
    TranslateControlMessage(key, down);
    OnKeyClick(key, down);
    if (CGame* game = CGame::GetGame())
        game->OnKeyClick(key, down);
}

void CPad::TranslateControlMessage(int key, bool down)
{
    m_held[key] = down ? 1 : 0;
    SDouble& d = m_double[key];
    if (down) {
        SPressed& p = m_pressed[key];
        if (p.latch == 0) {
            p.flag = 1;
            p.aged = 0;
            p.latch = 1;
        }
        if (d.phase == 0 || (d.phase == 2 && d.frames > 9)) {
            d.phase = 1;
            d.frames = 0;
            d.flag = 0;
            d.aged = 0;
        } else if (d.phase == 2) {
            d.flag = 1;
            d.aged = 0;
            d.phase = 3;
        }
    } else {
        m_released[key].flag = 1;
        m_released[key].aged = 0;
        m_pressed[key].latch = 0;
        if (d.phase == 1)
            d.phase = 2;
    }
}

void CPad::Age(bool countFrames)
{
    for (int k = 0; k < KEY_COUNT; ++k) {
        SDouble& d = m_double[k];
        if (d.flag) {
            if (!d.aged)
                d.aged = 1;
            else
                d = SDouble{};
        }
        if (countFrames && d.phase != 0 && d.frames < 0xFFFF)
            ++d.frames;
        SPressed& p = m_pressed[k];
        if (p.flag) {
            if (!p.aged)
                p.aged = 1;
            else
                p.flag = p.aged = 0;
        }
        SReleased& r = m_released[k];
        if (r.flag) {
            if (!r.aged)
                r.aged = 1;
            else
                r.flag = r.aged = 0;
        }
    }
}

void CPad::UpdateKeyStatus()
{
    Age(true);
}

void CPad::UpdateKeyStatusRemote(unsigned short)
{
    Age(false);
}

int CPad::IsKeyPressed(int key) const
{
    return Valid(key) && m_pressed[key].flag ? 1 : 0;
}

int CPad::IsKeyHold(int key) const
{
    return Valid(key) && m_held[key] ? 1 : 0;
}

int CPad::IsKeyReleased(int key) const
{
    return Valid(key) && m_released[key].flag ? 1 : 0;
}

int CPad::IsKeyDoublePressed(int key) const
{
    return Valid(key) && m_double[key].flag ? 1 : 0;
}

bool CPad::IsAnyKeyPressed() const
{
    for (const SPressed& p : m_pressed)
        if (p.flag)
            return true;
    return false;
}

bool CPad::IsResetKeyHold() const
{
    return m_held[5] && m_held[6] && m_held[7] && m_held[8];
}

void CPad::ClearKeyPress()
{
    std::memset(m_held, 0, sizeof m_held);
    std::memset(m_released, 0, sizeof m_released);
    std::memset(m_pressed, 0, sizeof m_pressed);
    std::memset(m_double, 0, sizeof m_double);
}

void CPad::CheckKeyStatus(unsigned mask, unsigned key)
{
    if (key >= unsigned(KEY_COUNT))
        return;
    const bool set = (m_keyMask & mask) != 0;
    if (set && !m_held[key]) {
        KeyClick(int(key), true);
        m_held[key] = 1;
    } else if (!set && m_held[key]) {
        KeyClick(int(key), false);
        m_held[key] = 0;
    }
}
