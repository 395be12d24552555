#include "engine/video/CVideoModeList.h"

#include <algorithm>
#include <tuple>

namespace pravik::video {

void CVideoModeList::addMode(const core::dimension2d<int>& size, int depth)
{
    for (const SMode& m : m_modes)
        if (m.width == size.Width && m.height == size.Height && m.depth == depth) return;
    m_modes.push_back({size.Width, size.Height, depth});
    std::sort(m_modes.begin(), m_modes.end(), [](const SMode& a, const SMode& b) {
        return std::tie(a.width, a.height, a.depth) < std::tie(b.width, b.height, b.depth);
    });
}

void CVideoModeList::setDesktop(int depth, const core::dimension2d<int>& size)
{
    m_desktopDepth = depth;
    m_desktopSize = size;
}

core::dimension2d<int> CVideoModeList::getVideoModeResolution(int index) const
{
    if (index < 0 || index >= int(m_modes.size())) return {0, 0};
    return {m_modes[size_t(index)].width, m_modes[size_t(index)].height};
}

int CVideoModeList::getVideoModeDepth(int index) const
{
    if (index < 0 || index >= int(m_modes.size())) return 0;
    return m_modes[size_t(index)].depth;
}

}  // namespace pravik::video
