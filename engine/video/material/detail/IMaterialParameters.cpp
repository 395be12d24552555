#include "engine/video/material/detail/IMaterialParameters.h"

#include <new>

#include "engine/memory/Pools.h"

#if !__has_include("engine/video/ITexture.h")
namespace pravik::video {

// Handles over textures and lights count through the installed hooks.
void intrusive_ptr_add_ref(ITexture* texture) { detail::grabReference(texture); }
void intrusive_ptr_release(ITexture* texture) { detail::dropReference(texture); }
void intrusive_ptr_add_ref(CLight* light) { detail::grabReference(light); }
void intrusive_ptr_release(CLight* light) { detail::dropReference(light); }

}  // namespace pravik::video
#endif

namespace pravik::video::detail {

namespace {
SMaterialParameterReferenceHooks g_hooks;
}

void setMaterialParameterReferenceHooks(const SMaterialParameterReferenceHooks& hooks) { g_hooks = hooks; }
const SMaterialParameterReferenceHooks& getMaterialParameterReferenceHooks() { return g_hooks; }

void grabReference(ITexture* texture)
{
    if (texture && g_hooks.grabTexture) g_hooks.grabTexture(texture);
}
void dropReference(ITexture* texture)
{
    if (texture && g_hooks.dropTexture) g_hooks.dropTexture(texture);
}
void grabReference(CLight* light)
{
    if (light && g_hooks.grabLight) g_hooks.grabLight(light);
}
void dropReference(CLight* light)
{
    if (light && g_hooks.dropLight) g_hooks.dropLight(light);
}

unsigned textureSamplerType(const ITexture* texture)
{
    const unsigned type = texture && g_hooks.textureType ? g_hooks.textureType(texture) : 0u;
    return ESPVT_SAMPLER2D + (type & 3u);
}

// The matrices that parameter blocks own come from the engine's matrix pool.
core::CMatrix4<float>* takeParameterMatrix(const core::CMatrix4<float>& value)
{
    if (!memory::Matrix4Pool) memory::createPools();  // normally made by the application first
    void* block = memory::Matrix4Pool->malloc();
    if (!block) throw std::bad_alloc();
    return new (block) core::CMatrix4<float>(value);
}

void giveParameterMatrix(core::CMatrix4<float>* matrix)
{
    if (!matrix) return;
    matrix->~CMatrix4();
    memory::Matrix4Pool->free(matrix);
}

}  // namespace pravik::video::detail
