// The engine's service tables: how texture names reach a texture manager, what shaders need of
// their driver, how material parameters count their textures and lights, and how a driver
// makes its texture manager. One counted pair installs and removes all four, like init/exit:
// the device installs them before it creates its driver and removes them after the driver is
// gone; with two live devices they stay until the last one goes. Code that builds a driver
// without a device holds a CEngineServicesScope. Main thread only.
#pragma once

namespace pravik {

bool installEngineServices();   // true on the call that installed the tables
bool removeEngineServices();    // true on the call that emptied them; an unmatched call does nothing
int getEngineServicesCount();

class CEngineServicesScope {
public:
    CEngineServicesScope() { installEngineServices(); }
    ~CEngineServicesScope() { removeEngineServices(); }
    CEngineServicesScope(const CEngineServicesScope&) = delete;
    CEngineServicesScope& operator=(const CEngineServicesScope&) = delete;
};

}  // namespace pravik
