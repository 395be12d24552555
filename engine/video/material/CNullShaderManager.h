#pragma once
// The null driver's shader manager: shaders are CNullShaders, created and registered by name.

#include "engine/video/material/IShaderManager.h"

namespace pravik::video {

class CNullShaderManager : public IShaderManager {
public:
    // The registered shader of that name, or a new one registered under the next id.
    boost::intrusive_ptr<IShader> createShader(const char* name);
    boost::intrusive_ptr<IShader> createEmptyShader(const char* name) override;  // id 0, no name
};

}  // namespace pravik::video
