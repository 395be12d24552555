#include "framework/ViDuzPlayer.h"

#include "framework/CAISprite.h"
#include "framework/GameInterface.h"
#include "framework/ScreenGeometry.h"

namespace {
constexpr int kAFrameMs = 33;   // one unit of an animation frame's duration
constexpr int kSpriteAnimFPS = 30;
}

void ViDuzPlayer::Reset()
{
    m_nPosX = m_nPosY = 0;
    m_nAnim = -1;
    m_nFrame = 0;
    m_nElapsed = 0;
    m_nTransform = 0;
    m_nLoops = 1;
    m_nPalette = -1;
    m_bAnimOver = 1;
    m_nScale = -1;
    m_pSprite = nullptr;
}

void ViDuzPlayer::SetSprite(CAISprite* sprite)
{
    m_pSprite = sprite;
    if (sprite)
        SetAnim(-1, -1);
    else
        m_nAnim = -1;
}

void ViDuzPlayer::SetAnim(int anim, int loops)
{
    if (!m_pSprite)
        return;
    if (!m_bAnimOver && anim == m_nAnim)
        return;
    m_nAnim = anim;
    SetFrame(0);
    m_nLoops = loops - 1;
    m_bAnimOver = 0;
}

void ViDuzPlayer::SetAnim(int anim, int loops, unsigned char restart)
{
    if (restart)
        SetAnim(-1, 1);
    SetAnim(anim, loops);
}

int ViDuzPlayer::SetFrame(int frame)
{
    if (!m_pSprite)
        return 0;
    if (m_nAnim < 0)
        return -1;
    const int n = m_pSprite->AnimAFrameCount(m_nAnim);
    if (n > 0)
        while (frame >= n)
            frame -= n;
    m_nFrame = frame;
    m_nElapsed = 0;
    return frame;
}

int ViDuzPlayer::GetNbFrame() const
{
    if (!m_pSprite)
        return 0;
    if (m_nAnim < 0)
        return -1;
    return m_pSprite->AnimAFrameCount(m_nAnim);
}

bool ViDuzPlayer::IsAnimOver() const
{
    if (!m_pSprite)
        return false;
    if (m_nAnim < 0)
        return true;
    if (m_nLoops < 0)
        return false;
    return m_bAnimOver;
}

void ViDuzPlayer::Update(int ms)
{
    if (ms < 0)
        ms = 1;
    if (m_bAnimOver || m_nAnim < 0 || !m_pSprite)
        return;
    const int n = m_pSprite->AnimAFrameCount(m_nAnim);
    if (n <= 0)
        return;
    const int first = m_pSprite->AnimFirstAFrame(m_nAnim);
    // A pass over an endless loop that consumes no time ends the stepping for this update.
    int zeroSteps = 0;
    while (true) {
        const int duration = m_pSprite->AFrame(first + m_nFrame).time * kAFrameMs;
        if (m_nElapsed < duration)
            break;
        m_nElapsed -= duration;
        zeroSteps = duration == 0 ? zeroSteps + 1 : 0;
        if (m_nFrame < n - 1) {
            ++m_nFrame;
        } else if (m_nLoops == 0) {
            m_bAnimOver = 1;
            break;
        } else {
            if (m_nLoops > 0)
                --m_nLoops;
            m_nFrame = 0;
        }
        if (zeroSteps >= n)
            break;
    }
    m_nElapsed += ms;
}

void ViDuzPlayer::Update()
{
    Update(kSpriteAnimFPS == 1000 ? 1 : GameInterface().FrameDT());
}

static const int kTransformSwap[8] = {0, 2, 1, 3, 5, 4, 7, 6};

void ViDuzPlayer::SetTransform(int t)
{
    if (t >= 0 && t <= 7)
        m_nTransform = kTransformSwap[t];
}

int ViDuzPlayer::GetTransform() const
{
    return m_nTransform >= 0 && m_nTransform <= 7 ? kTransformSwap[m_nTransform] : -1;
}

int ViDuzPlayer::GetNbanim() const
{
    return m_pSprite ? m_pSprite->m_animCount : 0;
}

void ViDuzPlayer::Render()
{
    if (!m_pSprite || m_nAnim < 0)
        return;
    const int saved = m_pSprite->m_palette;
    if (m_nPalette != -1)
        m_pSprite->m_palette = m_nPalette;
    m_pSprite->PaintAFrame(m_nAnim, m_nFrame, m_nPosX, m_nPosY, m_nTransform, 0, 0, 255, 0, 100, 100, nullptr);
    m_pSprite->m_palette = saved;
}

bool ViDuzPlayer::GetModulePos(int module, int& x, int& y)
{
    if (!m_pSprite || m_nAnim < 0)
        return false;
    return m_pSprite->PaintAFrame_ForModulePosFind(module, &x, &y, m_nAnim, m_nFrame, m_nPosX, m_nPosY, m_nTransform,
                                                    0, 0, nullptr) != 0;
}

int ViDuzPlayer::GetScreenWidth() { return Screen_Width(); }
int ViDuzPlayer::GetScreenHeight() { return Screen_Height(); }
