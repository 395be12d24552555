#pragma once
// One render pass: the fixed-function render state, the shader drawn with, and for each
// shader parameter (stage 0 then stage 1) the renderer or global parameter feeding it.
// Parameter sources: below 0x8000 a renderer parameter id, bit 15 set a global parameter id in
// bits 0-14. Bindings come in three groups: direct material bindings, indirect ones (texture,
// light and texture-bias parameters), then global ones. A finished renderer owns both arrays;
// the pass does not. `changed` tells the driver the state must be applied again.

#include <boost/intrusive_ptr.hpp>

#include "engine/video/material/IShader.h"
#include "engine/video/material/detail/renderpass/SRenderState.h"

namespace pravik::io {
class IAttributes;
struct SAttributeReadWriteOptions;
}  // namespace pravik::io

namespace pravik::video {

struct SShaderParameterBinding {
    unsigned short shaderParameter = 0;  // bits 0-14 index in the stage's table, bit 15 the stage
    unsigned short source = 0;           // renderer or global parameter id, no marker bit
};

struct SRenderPass {
    detail::renderpass::SRenderState renderState;
    boost::intrusive_ptr<const IShader> shader;
    unsigned short* parameterSources = nullptr;
    SShaderParameterBinding* bindings = nullptr;
    unsigned short directBindingCount = 0;
    unsigned short indirectBindingCount = 0;
    unsigned char changed = 0;

    // "Shader" first when the options ask for it (flag 2), then "Render States"; never the bindings.
    void serializeAttributes(io::IAttributes* out, io::SAttributeReadWriteOptions* options) const;
    // Reads "Render States" over a neutral state and marks the pass changed; shader and bindings stay.
    void deserializeAttributes(io::IAttributes* in, io::SAttributeReadWriteOptions* options);
};

}  // namespace pravik::video
