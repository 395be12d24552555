#include "engine/video/CNullDriver.h"

#include "engine/os/Printer.h"
#include "engine/video/material/CNullShaderManager.h"

#include <string>

namespace pravik::video {

CNullDriver::CNullDriver(IDevice* device, const core::dimension2d<int>& screenSize)
    : IVideoDriver(device, new CNullShaderManager(), nullptr, nullptr, nullptr, nullptr), m_screenSize(screenSize),
      m_ownsData(true)
{
    for (auto& m : m_transforms) m = core::CMatrix4<float>(core::EM4CONST_IDENTITY);
    m_name = "NullDriver";
    m_vendorName = "Not available on this driver.";
    initDriver();
    init(1, 1, 0);
}

CNullDriver::CNullDriver(IVideoDriver* other)
    : IVideoDriver(other->getDevice(), new CNullShaderManager(), other->getMaterialRendererManager(),
                   other->getTextureManager(), other->getGlobalMaterialParameterManager(), other->getDefaultLight()),
      m_screenSize(other->getCurrentRenderTarget() ? other->getCurrentRenderTarget()->getSize() : core::dimension2d<int>{600, 1024})
{
    for (auto& m : m_transforms) m = core::CMatrix4<float>(core::EM4CONST_IDENTITY);
    initDriver();
}

CNullDriver::~CNullDriver() { clearImplementationDependentData(); }

bool CNullDriver::initDriver() { return pushRenderTarget(new CFramebuffer(this, m_screenSize)); }

void CNullDriver::printVersion() const
{
    std::wstring text = L"Using renderer: ";
    for (char c : m_name) text += wchar_t((unsigned char)c);
    os::Printer::log(text.c_str(), ELL_INFORMATION);
}

core::rect<int> CNullDriver::getScissor() const
{
    const IRenderTarget* top = getCurrentRenderTarget();
    return top ? top->getViewport() : core::rect<int>();
}

CNullDriver* createNullDriver(IDevice* device, const core::dimension2d<int>& screenSize) { return new CNullDriver(device, screenSize); }

}  // namespace pravik::video
