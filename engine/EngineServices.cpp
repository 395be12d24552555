#include "engine/EngineServices.h"

#include "engine/IDevice.h"
#include "engine/io/IAttributeVideo.h"
#include "engine/io/IFileSystem.h"
#include "engine/video/CLight.h"
#include "engine/video/CTextureManager.h"
#include "engine/video/ITexture.h"
#include "engine/video/IVideoDriver.h"
#include "engine/video/material/IShaderManager.h"
#include "engine/video/material/detail/IMaterialParameters.h"

namespace pravik {

namespace {

int s_count = 0;

void install()
{
    using namespace video;
    detail::SMaterialParameterReferenceHooks refs;
    refs.grabTexture = [](ITexture* t) { t->grab(); };
    refs.dropTexture = [](ITexture* t) { t->drop(); };
    refs.textureType = [](const ITexture* t) { return unsigned(t->getType()); };
    refs.grabLight = [](CLight* l) { l->grab(); };
    refs.dropLight = [](CLight* l) { l->drop(); };
    detail::setMaterialParameterReferenceHooks(refs);

    detail::shadermanager::SDriverServices services;
    services.getFileSystem = [](IVideoDriver* d) -> io::IFileSystem* {
        IDevice* device = d ? d->getDevice() : nullptr;
        return device ? device->getFileSystem().get() : nullptr;
    };
    services.getShaderManager = [](IVideoDriver* d) { return d ? d->getShaderManager() : nullptr; };
    services.onShaderDestroyed = [](IVideoDriver* d, IShader* s) {
        if (d) d->onShaderDestroyed(s);
    };
    services.getTextureUnitCount = [](IVideoDriver* d) { return d ? d->getTextureUnitCount() : 0u; };
    services.getMaxDynamicLightCount = [](IVideoDriver* d) { return d ? unsigned(d->getDynamicLightParameterCount()) : 0u; };
    services.getMaxUserClipPlanes = [](IVideoDriver* d) { return d ? d->getMaxUserClipPlanes() : 0u; };
    detail::shadermanager::setDriverServices(services);

    IVideoDriver::setTextureManagerHooks(CTextureManager::driverHooks());
    io::setTextureNameHooks(CTextureManager::nameHooks());
}

void remove()
{
    video::detail::setMaterialParameterReferenceHooks({});
    video::detail::shadermanager::setDriverServices({});
    video::IVideoDriver::setTextureManagerHooks({});
    io::setTextureNameHooks({});
}

}  // namespace

bool installEngineServices()
{
    if (s_count++ != 0) return false;
    install();
    return true;
}

bool removeEngineServices()
{
    if (s_count <= 0) return false;
    if (--s_count != 0) return false;
    remove();
    return true;
}

int getEngineServicesCount() { return s_count; }

}  // namespace pravik
