#pragma once
// Stand-ins for the three built-in 2D material types on the GL ES driver, made from fixed-
// function shaders: vertex colours, one modulated texture unit for the textured two, alpha
// blending, no depth test, no culling. Installed as the renderer manager's built-in builder
// until the engine's own built-in types exist.

#include "engine/video/gl/CFixedGLShaderManager.h"
#include "engine/video/gl/SFixedGLShaderState.h"
#include "engine/video/material/CMaterialRendererManager.h"
#include "engine/video/IVideoDriver.h"

namespace test::gui {

inline void buildGL2DMaterialTypes(pravik::video::CMaterialRendererManager& m)
{
    using namespace pravik::video;
    auto* shaders = static_cast<CFixedGLShaderManager*>(m.getVideoDriver()->getShaderManager());
    SFixedGLShaderVertexState vs;
    vs.setColorMaterialEnable(true);
    vs.setShadeModel(ESM_SMOOTH);
    SFixedGLShaderFragmentState solid;
    solid.setActiveUnitCount(0);
    SFixedGLShaderFragmentState textured;
    textured.setActiveUnitCount(1);
    const boost::intrusive_ptr<IShader> solidShader = shaders->createShader("gui 2d solid", vs, solid);
    const boost::intrusive_ptr<IShader> texturedShader = shaders->createShader("gui 2d textured", vs, textured);

    detail::renderpass::SRenderState state;
    state.set(1, 16, 1, 1);  // blending
    state.set(0, 0, 4, EBF_SRC_ALPHA);
    state.set(0, 4, 4, EBF_ONE_MINUS_SRC_ALPHA);
    state.set(1, 17, 1, 0);  // no culling
    state.set(1, 19, 1, 0);  // no depth test
    state.set(1, 20, 1, 0);  // no depth writes
    const struct {
        E_MATERIAL_TYPE type;
        const char* name;
        const boost::intrusive_ptr<IShader>& shader;
    } types[] = {
        {EMT_UNLIT_NON_TEXTURED_BLEND_NO_DEPTH, "gui Unlit Non Textured Blend No Depth", solidShader},
        {EMT_UNLIT_TEXTURED_BLEND_NO_DEPTH, "gui Unlit Textured Blend No Depth", texturedShader},
        {EMT_UNLIT_TEXTURED_BLEND_TEXTURE_ALPHA_NO_CULLING_NO_DEPTH,
         "gui Unlit Textured Blend Texture Alpha No Culling No Depth", texturedShader},
    };
    for (const auto& t : types) {
        m.beginMaterialRenderer(t.name, true);
        m.beginTechnique("Technique #1", true);
        m.addRenderPass(boost::intrusive_ptr<const IShader>(t.shader), state);
        m.endTechnique(true, 0);
        m.setBuiltInId(t.type, m.endMaterialRenderer());
    }
}

}  // namespace test::gui
