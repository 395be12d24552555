// The platform device's cursor control (count 1). Relative positions scale by the window size,
// or by the reference rectangle's size when one is set (its left and top do not shift them).
#pragma once

#include "engine/core/dimension2d.h"
#include "engine/gui/ICursorControl.h"

namespace pravik {

class CAndroidOSDevice;

class CCursorControl : public gui::ICursorControl {
public:
    CCursorControl(const core::dimension2d<int>& windowSize, CAndroidOSDevice* device);   // device not owned

    void setVisible(bool visible) override { m_visible = visible; }
    bool isVisible() const override { return m_visible; }
    void setPosition(const core::position2d<float>& position) override { setPosition(position.X, position.Y); }
    void setPosition(float x, float y) override;
    void setPosition(const core::position2d<int>& position) override;
    void setPosition(int x, int y) override
    {
        m_x = x;
        m_y = y;
    }
    core::position2d<int> getPosition() override { return {m_x, m_y}; }
    core::position2d<float> getRelativePosition() override;
    void setReferenceRect(core::rect<int>* rect = nullptr) override;

    const core::rect<int>& getReferenceRect() const { return m_referenceRect; }
    bool usesReferenceRect() const { return m_useReferenceRect; }

private:
    int m_x = 0, m_y = 0;
    int m_windowWidth, m_windowHeight;
    float m_invWindowWidth, m_invWindowHeight;
    core::rect<int> m_referenceRect{0, 0, 0, 0};
    CAndroidOSDevice* m_device;
    bool m_visible = true;
    bool m_useReferenceRect = false;
};

} // namespace pravik
