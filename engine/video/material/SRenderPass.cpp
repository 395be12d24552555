#include "engine/video/material/SRenderPass.h"

#include "engine/io/IAttributes.h"
#include "engine/io/SAttributeReadWriteOptions.h"

namespace pravik::video {

void SRenderPass::serializeAttributes(io::IAttributes* out, io::SAttributeReadWriteOptions* options) const
{
    if (options && (options->Flags & io::EARWF_EXTENDED) && shader) {
        out->push("Shader");
        shader->serializeAttributes(out);
        out->pop();
    }
    out->push("Render States");
    renderState.serializeAttributes(out);
    out->pop();
}

void SRenderPass::deserializeAttributes(io::IAttributes* in, io::SAttributeReadWriteOptions*)
{
    in->push("Render States");
    detail::renderpass::SRenderState state;
    state.deserializeAttributes(in);
    renderState = state;
    changed = 1;
    in->pop();
}

}  // namespace pravik::video
