#pragma once
// Display modes kept sorted by width, height and depth, without duplicates. Nothing on this
// platform fills it.

#include "engine/video/IVideoModeList.h"

#include <vector>

namespace pravik::video {

class CVideoModeList : public IVideoModeList {
public:
    void addMode(const core::dimension2d<int>& size, int depth);
    void setDesktop(int depth, const core::dimension2d<int>& size);

    int getVideoModeCount() const override { return int(m_modes.size()); }
    core::dimension2d<int> getVideoModeResolution(int index) const override;
    int getVideoModeDepth(int index) const override;
    const core::dimension2d<int>& getDesktopResolution() const override { return m_desktopSize; }
    int getDesktopDepth() const override { return m_desktopDepth; }

private:
    struct SMode {
        int width, height, depth;
    };
    std::vector<SMode> m_modes;
    core::dimension2d<int> m_desktopSize{0, 0};
    int m_desktopDepth = 0;
};

}  // namespace pravik::video
