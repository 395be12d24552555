#include "engine/collada/CTimelineController.h"

#include <cmath>
#include <strings.h>

namespace pravik::collada {

CTimelineController::CTimelineController(const SAnimationClipLibrary* clips) : m_clips(clips) {}

const SAnimationClipView* CTimelineController::clip(int index) const
{
    if (!m_clips || index < 0 || index >= int(m_clips->size()))
        return nullptr;
    return &(*m_clips)[std::size_t(index)];
}

void CTimelineController::update(int ms)
{
    const float now = float(ms) / 1000.f;
    float step = 0.f;
    if (!m_started) {
        m_started = true;
    } else {
        step = (now - m_lastClock) * m_scale;
        m_position += step;
    }
    m_lastClock = now;

    const bool forward = step >= 0.f;
    const float bound = float(forward ? m_rangeEnd : m_rangeStart) / 1000.f;
    const bool overrun = forward ? m_position > bound : m_position < bound;
    if (overrun) {
        if (m_loop) {
            const float r = m_lengthSeconds != 0.f ? std::fmod(m_position - bound, m_lengthSeconds) : 0.f;
            m_position = forward ? m_startSeconds + r : (m_startSeconds + m_lengthSeconds) + r;
            if (Callback)
                Callback(this, CallbackUserData);
        } else {
            m_position = bound;
            if (!m_ended) {
                m_ended = true;
                if (Callback)
                    Callback(this, CallbackUserData);
            }
        }
    }
    CurrentTime = int(1000.f * m_position);
}

void CTimelineController::jumpTo(int ms)
{
    CurrentTime = ms;
    m_position = float(ms) / 1000.f;
    m_ended = false;
    m_started = false;
}

int CTimelineController::setClip(int index)
{
    m_clip = index;
    m_ended = false;
    m_started = false;
    m_rangeStart = getCurrentClipStart();
    m_rangeEnd = getCurrentClipEnd();
    m_startSeconds = float(m_rangeStart) / 1000.f;
    m_lengthSeconds = float(static_cast<long long>(m_rangeEnd) - m_rangeStart) / 1000.f;
    m_position = float(m_rangeStart) / 1000.f;
    CurrentTime = m_rangeStart;
    return int(unsigned(m_rangeEnd) - unsigned(m_rangeStart));  // clip times from a file may lie a full int apart
}

int CTimelineController::setClip(const char* name)
{
    const int index = getClipIndex(name);
    if (index >= 0)
        setClip(index);
    return index;
}

int CTimelineController::getClipIndex(const char* name) const
{
    if (!m_clips || !name)
        return -1;
    for (std::size_t i = 0; i < m_clips->size(); ++i) {
        const char* n = (*m_clips)[i].name;
        if (n && strcasecmp(n, name) == 0)
            return int(i);
    }
    return -1;
}

int CTimelineController::getClipCount() const { return m_clips ? int(m_clips->size()) : 0; }

int CTimelineController::getClipStart(int index) const
{
    const SAnimationClipView* c = clip(index);
    return c ? c->start : 0;
}

int CTimelineController::getClipEnd(int index) const
{
    const SAnimationClipView* c = clip(index);
    return c ? c->end : 0;
}

const char* CTimelineController::getClipName(int index) const
{
    const SAnimationClipView* c = clip(index);
    return c ? c->name : nullptr;
}

void CTimelineController::setRange(int start, int end, bool jump)
{
    if (!m_clips) {
        m_rangeStart = start;
        m_rangeEnd = end;
        m_startSeconds = float(start) / 1000.f;
        m_lengthSeconds = float(static_cast<long long>(end) - start) / 1000.f;
    }
    if (jump)
        jumpTo(m_rangeStart);
}

} // namespace pravik::collada
