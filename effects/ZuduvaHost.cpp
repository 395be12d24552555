#include "effects/ZuduvaHost.h"

#include "engine/video/material/CMaterial.h"

namespace {
IZuduvaHost* g_host = nullptr;
}

IZuduvaHost* ZuduvaSetHost(IZuduvaHost* host)
{
    IZuduvaHost* previous = g_host;
    g_host = host;
    return previous;
}

IZuduvaHost* ZuduvaGetHost() { return g_host; }

pravik::IDevice* ZuduvaGetPravikDevice() { return g_host ? g_host->getDevice() : nullptr; }

const char* ZuduvaGetTextureSearchPath() { return "SFX/"; }

boost::intrusive_ptr<pravik::video::CMaterial> ZuduvaGetMaterial(int blendType)
{
    if (!g_host || (blendType != 0 && blendType != 1))
        return nullptr;
    return g_host->getMaterial(blendType);
}

pravik::collada::CColladaFactory* ZuduvaGetColladaFactory() { return nullptr; }
