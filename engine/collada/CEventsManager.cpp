#include "engine/collada/CEventsManager.h"
#include "engine/os/Printer.h"

#include <cstring>

namespace pravik::collada {

namespace {
constexpr float MS_PER_FRAME = 33.333332f;
constexpr std::uint32_t MAX_KEYS = 0x00FFFFFFu;
} // namespace

void FxEchoNotHandledEvents(const STriggeredEvent& event, void*)
{
    os::Printer::log("Warning - Event not handled : See collada::CSceneNodeAnimator::setEventsCallback", ELL_INFORMATION);
    os::Printer::log(event.name ? event.name : "", ELL_INFORMATION);
}

bool SAnimationEventsView::resolve(const IRecordSpace& space, std::uint32_t ref)
{
    *this = SAnimationEventsView();
    const unsigned char* rec = space.resolve(ref, 0x18);
    if (!rec)
        return false;
    const std::uint32_t base = loadU32(rec);
    const std::uint32_t keys = loadU32(rec + 8), listCount = loadU32(rec + 0x10);
    const std::uint32_t n = keys < listCount ? keys : listCount;
    if (n > MAX_KEYS)
        return false;
    const std::uint32_t width = base == ETB_FRAMES_U8 ? 1 : base == ETB_FRAMES_U16 ? 2 : 4;
    const unsigned char* times = n ? space.resolve(loadU32(rec + 0xC), n * width) : nullptr;
    const unsigned char* nameLists = n ? space.resolve(loadU32(rec + 0x14), n * 8) : nullptr;
    if (n && (!times || !nameLists))
        return false;
    file = &space;
    timeBase = base;
    count = n;
    keyTimes = times;
    lists = nameLists;
    return true;
}

int SAnimationEventsView::keyTimeMs(std::uint32_t k) const
{
    switch (timeBase) {
    case ETB_FRAMES_U8: return int(float(keyTimes[k]) * MS_PER_FRAME);
    case ETB_FRAMES_U16: {
        std::uint16_t v;
        std::memcpy(&v, keyTimes + 2 * k, 2);
        return int(float(v) * MS_PER_FRAME);
    }
    case ETB_MILLISECONDS: return std::int32_t(loadU32(keyTimes + 4 * k));
    default: return 0;
    }
}

std::uint32_t SAnimationEventsView::nameCount(std::uint32_t k) const { return k < count ? loadU32(lists + 8 * k) : 0; }

const char* SAnimationEventsView::name(std::uint32_t k, std::uint32_t n) const
{
    if (k >= count || n >= nameCount(k) || n > MAX_KEYS)
        return nullptr;
    const unsigned char* refs = file->resolve(loadU32(lists + 8 * k + 4), (n + 1) * 4);
    return refs ? file->resolveText(loadU32(refs + 4 * n)) : nullptr;
}

CEventsManager::CEventsManager(const SAnimationEventsView& events, EventsCallback callback, void* userData)
    : m_callback(callback), m_userData(userData), m_events(events)
{
}

bool CEventsManager::supported() const
{
    const std::uint32_t b = m_events.timeBase;
    return b == ETB_FRAMES_U8 || b == ETB_FRAMES_U16 || b == ETB_MILLISECONDS;
}

// Comparisons happen in the key's own units: frames for the frame bases.
namespace {
float keyUnits(const SAnimationEventsView& e, std::uint32_t k)
{
    if (e.timeBase == ETB_MILLISECONDS)
        return float(std::int32_t(loadU32(e.keyTimes + 4 * k)));
    if (e.timeBase == ETB_FRAMES_U8)
        return float(e.keyTimes[k]);
    std::uint16_t v;
    std::memcpy(&v, e.keyTimes + 2 * k, 2);
    return float(v);
}
float timeUnits(const SAnimationEventsView& e, int ms)
{
    return e.timeBase == ETB_MILLISECONDS ? float(ms) : float(ms) / MS_PER_FRAME;
}
} // namespace

int CEventsManager::firstAfter(int time) const
{
    const float t = timeUnits(m_events, time);
    for (std::uint32_t k = 0; k < m_events.count; ++k)
        if (keyUnits(m_events, k) > t)
            return int(k);
    return int(m_events.count);
}

int CEventsManager::lastAtOrBefore(int time) const
{
    const float t = timeUnits(m_events, time);
    for (int k = int(m_events.count) - 1; k >= 0; --k)
        if (keyUnits(m_events, std::uint32_t(k)) <= t)
            return k;
    return -1;
}

void CEventsManager::dispatchEvents(int first, int last, int reference) const
{
    if (!m_callback)
        return;
    for (int k = first < 0 ? 0 : first; k <= last && k < int(m_events.count); ++k) {
        const float keyMs = m_events.timeBase == ETB_MILLISECONDS ? keyUnits(m_events, std::uint32_t(k))
                                                                   : keyUnits(m_events, std::uint32_t(k)) * MS_PER_FRAME;
        const STriggeredEvent base{int(float(reference) - keyMs), nullptr};
        const std::uint32_t names = m_events.nameCount(std::uint32_t(k));
        for (std::uint32_t n = 0; n < names; ++n) {
            STriggeredEvent e = base;
            e.name = m_events.name(std::uint32_t(k), n);
            if (!e.name)
                break;  // the list leaves the file: no more names of this key
            m_callback(e, m_userData);
        }
    }
}

void CEventsManager::onUpdate(int previous, int current, int rangeStart, int rangeEnd)
{
    if (previous == current || !m_callback)
        return;
    int first = 1, last = 0;
    if (supported()) {
        first = firstAfter(previous - 1);
        last = lastAtOrBefore(current);
    }
    if (first == m_lastFired)
        ++first;
    if (current < previous && supported()) {
        dispatchEvents(first, lastAtOrBefore(rangeEnd), rangeEnd + current - rangeStart);
        first = firstAfter(rangeStart - 1);
    }
    dispatchEvents(first, last, current);
    m_lastFired = last;
}

void CEventsManager::onUpdate(int from, int to)
{
    if (!supported())
        return;
    dispatchEvents(firstAfter(from), lastAtOrBefore(to), to);
}

int CEventsManager::getEventTimeFromEventName(const char* name) const
{
    if (!supported())
        return 0;
    int found = -1;
    for (std::uint32_t k = 0; name && k < m_events.count; ++k)
        for (std::uint32_t n = 0; n < m_events.nameCount(k); ++n) {
            const char* e = m_events.name(k, n);
            if (!e)
                break;
            if (std::strcmp(e, name) == 0)
                found = m_events.keyTimeMs(k);
        }
    return found;
}

} // namespace pravik::collada
